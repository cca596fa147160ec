// InputFile: a file read as a std::istream that tells a read error from the end of the file.
#include "support/InputFile.h"

#include <cerrno>
#include <ios>
#include <system_error>

namespace {

std::FILE* openFile(const std::filesystem::path& path, bool binary)
{
#ifdef _WIN32
    // Windows names files in UTF-16; the narrow fopen would take the ANSI code page.
    return _wfopen(path.c_str(), binary ? L"rb" : L"r");
#else
    return std::fopen(path.c_str(), binary ? "rb" : "r");
#endif
}

/// fseek and ftell take a long, which is 32 bits on Windows.
bool seekFile(std::FILE* file, long long offset, int origin)
{
#ifdef _WIN32
    return _fseeki64(file, offset, origin) == 0;
#else
    return std::fseek(file, static_cast<long>(offset), origin) == 0;
#endif
}

long long tellFile(std::FILE* file)
{
#ifdef _WIN32
    return _ftelli64(file);
#else
    return std::ftell(file);
#endif
}

}  // namespace

// ---- InputFileBuf ----

bool InputFileBuf::open(const std::filesystem::path& path, std::ios::openmode mode)
{
    if (file_) {
        return false;
    }
    errno = 0;
    file_ = openFile(path, (mode & std::ios::binary) != 0);
    if (!file_) {
        error_ = std::error_code(errno != 0 ? errno : EIO, std::generic_category());
        return false;
    }
    error_.clear();
    // buffer_ is the only buffer: stdio would copy every byte once more.
    std::setvbuf(file_, nullptr, _IONBF, 0);
    setg(buffer_.data(), buffer_.data(), buffer_.data());
    return true;
}

bool InputFileBuf::close() noexcept
{
    if (!file_) {
        return false;
    }
    std::fclose(file_);
    file_ = nullptr;
    setg(nullptr, nullptr, nullptr);
    return true;
}

InputFileBuf::int_type InputFileBuf::underflow()
{
    if (gptr() < egptr()) {
        return traits_type::to_int_type(*gptr());
    }
    if (!file_) {
        return traits_type::eof();
    }
    errno = 0;
    const size_t count = std::fread(buffer_.data(), 1, buffer_.size(), file_);
    if (count == 0) {
        if (std::ferror(file_)) {
            error_ = std::error_code(errno != 0 ? errno : EIO, std::generic_category());
            // A later read may try again.
            std::clearerr(file_);
            throw std::ios_base::failure("read error", error_);
        }
        return traits_type::eof();
    }
    setg(buffer_.data(), buffer_.data(), buffer_.data() + count);
    return traits_type::to_int_type(*gptr());
}

InputFileBuf::pos_type InputFileBuf::seekoff(off_type offset, std::ios::seekdir direction, std::ios::openmode which)
{
    const pos_type failed(off_type(-1));
    if (!file_ || (which & std::ios::in) == 0) {
        return failed;
    }
    // The file stands after the buffered characters, not after the ones read so far.
    const off_type unread = egptr() - gptr();
    if (direction == std::ios::cur && offset == 0) {
        const long long position = tellFile(file_);
        return position < 0 ? failed : pos_type(off_type(position) - unread);
    }
    const int origin = direction == std::ios::beg ? SEEK_SET : direction == std::ios::end ? SEEK_END : SEEK_CUR;
    if (direction == std::ios::cur) {
        offset -= unread;
    }
    setg(buffer_.data(), buffer_.data(), buffer_.data());
    if (!seekFile(file_, offset, origin)) {
        return failed;
    }
    const long long position = tellFile(file_);
    return position < 0 ? failed : pos_type(off_type(position));
}

InputFileBuf::pos_type InputFileBuf::seekpos(pos_type position, std::ios::openmode which)
{
    return seekoff(off_type(position), std::ios::beg, which);
}

// ---- InputFile ----

void InputFile::open(const std::filesystem::path& path, std::ios::openmode mode)
{
    if (buffer_.open(path, mode)) {
        clear();
    } else {
        setstate(std::ios::failbit);
    }
}

void InputFile::close()
{
    if (!buffer_.close()) {
        setstate(std::ios::failbit);
    }
}
