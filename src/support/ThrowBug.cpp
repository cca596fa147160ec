// ThrowBug: internal-fault report and exit.
#include "support/ThrowBug.h"

#include "support/Logging.h"

#include <cstdlib>
#include <cstring>

namespace {

// The build maps source paths relative to the source tree; should a build
// not do so, cut everything up to the tree's own folder name.
const char* relativeSourcePath(const char* file)
{
    const char* cut = std::strstr(file, "/src/");
    const char* last = nullptr;
    while (cut != nullptr) {
        last = cut;
        cut = std::strstr(cut + 1, "/src/");
    }
    return last != nullptr ? last + 5 : file;
}

thread_local bool faultsThrow = false;

} // namespace

InternalFaultsThrow::InternalFaultsThrow() : outer_(faultsThrow)
{
    faultsThrow = true;
}

InternalFaultsThrow::~InternalFaultsThrow()
{
    faultsThrow = outer_;
}

void throwBug(const char* file, int line, const char* function, const std::string& error)
{
    if (Logging::getLogLevel() >= Logging::EMERGENCY) {
        Logging::write(Logging::EMERGENCY, "THROW_BUG: file='%s', line=%d, function='%s', error='%s'",
                       relativeSourcePath(file), line, function, error.c_str());
    }
    if (faultsThrow) {
        throw InternalFault("internal fault in " + std::string(function) + " (" + relativeSourcePath(file) + ":" +
                            std::to_string(line) + "): " + error);
    }
    std::exit(1);
}
