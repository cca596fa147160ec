// ThreadOwned: one object per thread, made on the thread's first use, destroyed when it ends.
#pragma once

#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

/// The calling thread's T, made from make() (which returns a T) the first time.
///
/// On Windows, MinGW keeps thread_local variables in storage that it frees when the thread ends,
/// before it runs the destructors of the objects in it: one of the library's threads then crashed
/// in a destructor. There the object lives on the heap and a fiber-local slot's callback, which is
/// handed the object itself, destroys it.
template <typename T, typename Make>
T& threadOwned(Make make)
{
#if defined(_WIN32)
    static const DWORD slot = FlsAlloc([](void* object) { delete static_cast<T*>(object); });
    thread_local T* object = nullptr;
    if (object == nullptr) {
        object = new T(make());
        if (slot != FLS_OUT_OF_INDEXES) {
            FlsSetValue(slot, object);
        }
    }
    return *object;
#else
    thread_local T object = make();
    return object;
#endif
}
