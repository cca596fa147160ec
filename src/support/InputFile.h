// InputFile: a file read as a std::istream that tells a read error from the end of the file.
#pragma once

#include <array>
#include <cstdio>
#include <filesystem>
#include <istream>
#include <streambuf>
#include <system_error>

/// A read-only stream buffer over a C stream. Some std::filebuf implementations (libc++) take a
/// failed read for the end of the file, which passes a truncated input off as a whole one; this
/// buffer throws std::ios_base::failure instead, which an istream turns into badbit, as
/// libstdc++'s filebuf does.
class InputFileBuf : public std::streambuf
{
public:
    InputFileBuf() = default;
    InputFileBuf(const InputFileBuf&) = delete;
    InputFileBuf& operator=(const InputFileBuf&) = delete;
    ~InputFileBuf() override { close(); }

    /// Opens path for reading, in binary mode if mode holds std::ios::binary; false on failure
    /// or when a file is open already.
    bool open(const std::filesystem::path& path, std::ios::openmode mode);
    bool is_open() const noexcept { return file_ != nullptr; }
    /// False when no file was open.
    bool close() noexcept;
    /// The system's reason of the last failed open or read; cleared by a successful open.
    const std::error_code& error() const noexcept { return error_; }

protected:
    int_type underflow() override;
    pos_type seekoff(off_type offset, std::ios::seekdir direction, std::ios::openmode which) override;
    pos_type seekpos(pos_type position, std::ios::openmode which) override;

private:
    std::FILE* file_ = nullptr;
    std::error_code error_;
    // As much as std::filebuf reads at a time: a small input costs no large buffer.
    std::array<char, 8192> buffer_{};
};

/// The std::ifstream calls a reader needs, over InputFileBuf.
class InputFile : public std::istream
{
public:
    InputFile() : std::istream(nullptr) { rdbuf(&buffer_); }
    explicit InputFile(const std::filesystem::path& path, std::ios::openmode mode = std::ios::in) : InputFile()
    {
        open(path, mode);
    }

    /// Sets failbit when the file cannot be opened.
    void open(const std::filesystem::path& path, std::ios::openmode mode = std::ios::in);
    bool is_open() const noexcept { return buffer_.is_open(); }
    /// Sets failbit when no file was open.
    void close();
    /// Why the file could not be opened or read, as the system tells it.
    const std::error_code& error() const noexcept { return buffer_.error(); }

private:
    InputFileBuf buffer_;
};
