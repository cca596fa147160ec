// Fifo: a named pipe in a test folder, held open at both ends so that a writer never blocks.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace testfiles {

class Fifo
{
public:
    explicit Fifo(const std::filesystem::path& path)
    {
        std::filesystem::remove(path);
        if (mkfifo(path.c_str(), 0600) == 0) {
            // Read and write at once: opening the pipe does not wait for a partner.
            fd_ = open(path.c_str(), O_RDWR | O_NONBLOCK);
        }
    }
    ~Fifo()
    {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    Fifo(const Fifo&) = delete;
    Fifo& operator=(const Fifo&) = delete;

    bool ok() const { return fd_ >= 0; }

    /// What was written into the pipe so far (less than a pipe's buffer).
    std::string drain() const
    {
        std::string text;
        char buffer[4096];
        for (ssize_t n; (n = read(fd_, buffer, sizeof buffer)) > 0;) {
            text.append(buffer, static_cast<std::size_t>(n));
        }
        return text;
    }

private:
    int fd_ = -1;
};

} // namespace testfiles
