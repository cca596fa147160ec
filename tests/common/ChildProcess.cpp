// ChildProcess: fork, exec and pipes on POSIX; CreateProcessW with inherited handles on Windows.
#include "common/ChildProcess.h"

#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#endif

#include <chrono>
#include <cstring>
#include <thread>

namespace testfiles {

#if defined(_WIN32)

namespace {

/// One argument quoted so that the C runtime's command-line parser gives it back unchanged:
/// backslashes double only where a quote follows them.
std::wstring quoted(const std::wstring& arg)
{
    if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        return arg;
    }
    std::wstring result = L"\"";
    size_t backslashes = 0;
    for (const wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        result.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        result += c;
    }
    result.append(2 * backslashes, L'\\');
    result += L'"';
    return result;
}

HANDLE inheritable(const std::wstring& path, DWORD access, DWORD disposition)
{
    SECURITY_ATTRIBUTES attributes{sizeof attributes, nullptr, TRUE};
    return CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &attributes, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

} // namespace

ChildResult runChild(const std::filesystem::path& tool, const std::vector<std::string>& args,
                     const std::filesystem::path& cwd, const std::filesystem::path& outPath,
                     const std::filesystem::path& errPath)
{
    ChildResult result;
    const std::wstring path = std::filesystem::absolute(tool).wstring();
    std::wstring commandLine = quoted(path);
    for (const std::string& arg : args) {
        commandLine += L' ';
        commandLine += quoted(pathFromUtf8(arg).wstring());
    }
    HANDLE in = inheritable(L"NUL", GENERIC_READ, OPEN_EXISTING);
    HANDLE out = inheritable(outPath.wstring(), GENERIC_WRITE, CREATE_ALWAYS);
    HANDLE err = inheritable(errPath.wstring(), GENERIC_WRITE, CREATE_ALWAYS);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    const bool started = in != INVALID_HANDLE_VALUE && out != INVALID_HANDLE_VALUE && err != INVALID_HANDLE_VALUE &&
                         CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        std::filesystem::absolute(cwd).wstring().c_str(), &startup, &process);
    const DWORD startError = GetLastError();
    for (HANDLE h : {in, out, err}) {
        if (h != INVALID_HANDLE_VALUE) {
            CloseHandle(h);
        }
    }
    if (!started) {
        result.problem = "could not start it (error " + std::to_string(startError) + ")";
        return result;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    result.ran = true;
    result.status = static_cast<int>(code);
    return result;
}

PipedChild::PipedChild(const std::filesystem::path& tool)
{
    SECURITY_ATTRIBUTES attributes{sizeof attributes, nullptr, TRUE};
    HANDLE childIn = nullptr;
    HANDLE childOut = nullptr;
    // Pipes as large as a POSIX one and more, so that neither side waits on a full pipe while the
    // other writes too.
    constexpr DWORD pipeBytes = 1 << 20;
    if (!CreatePipe(&childIn, &toChild_, &attributes, pipeBytes) ||
        !CreatePipe(&fromChild_, &childOut, &attributes, pipeBytes)) {
        return;
    }
    SetHandleInformation(toChild_, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(fromChild_, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = childIn;
    startup.hStdOutput = childOut;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    const std::wstring path = std::filesystem::absolute(tool).wstring();
    std::wstring commandLine = quoted(path);
    PROCESS_INFORMATION process{};
    if (CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                       &process)) {
        process_ = process.hProcess;
        CloseHandle(process.hThread);
    }
    CloseHandle(childIn);
    CloseHandle(childOut);
}

PipedChild::~PipedChild()
{
    if (process_ != nullptr) {
        finish();
    }
    for (void* handle : {toChild_, fromChild_}) {
        if (handle != nullptr) {
            CloseHandle(handle);
        }
    }
}

bool PipedChild::started() const
{
    return process_ != nullptr;
}

bool PipedChild::write(std::string_view bytes)
{
    while (!bytes.empty()) {
        DWORD written = 0;
        if (toChild_ == nullptr || !WriteFile(toChild_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
            written == 0) {
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

PipedChild::Read PipedChild::read(std::string& into, int timeoutMs)
{
    // Anonymous pipes have no waiting read with a time limit: look, and sleep a little.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        DWORD available = 0;
        if (!PeekNamedPipe(fromChild_, nullptr, 0, nullptr, &available, nullptr)) {
            return Read::closed;
        }
        if (available > 0) {
            std::string chunk(available, '\0');
            DWORD got = 0;
            if (!ReadFile(fromChild_, chunk.data(), available, &got, nullptr) || got == 0) {
                return Read::closed;
            }
            into.append(chunk, 0, got);
            return Read::data;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            return Read::timeout;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

int PipedChild::finish()
{
    if (toChild_ != nullptr) {
        CloseHandle(toChild_);
        toChild_ = nullptr;
    }
    if (process_ == nullptr) {
        return -1;
    }
    WaitForSingleObject(process_, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    CloseHandle(process_);
    process_ = nullptr;
    return static_cast<int>(code);
}

#else

ChildResult runChild(const std::filesystem::path& tool, const std::vector<std::string>& args,
                     const std::filesystem::path& cwd, const std::filesystem::path& outPath,
                     const std::filesystem::path& errPath)
{
    ChildResult result;
    std::vector<char*> argv;
    const std::string toolText = tool.string();
    argv.push_back(const_cast<char*>(toolText.c_str()));
    for (const auto& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid < 0) {
        result.problem = std::string("fork: ") + std::strerror(errno);
        return result;
    }
    if (pid == 0) {
        const int in = open("/dev/null", O_RDONLY);
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in < 0 || out < 0 || err < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0 ||
            chdir(cwd.c_str()) != 0) {
            _exit(126);
        }
        execv(toolText.c_str(), argv.data());
        _exit(127);
    }
    int wstatus = 0;
    rusage usage{};
    if (wait4(pid, &wstatus, 0, &usage) != pid) {
        result.problem = std::string("wait4: ") + std::strerror(errno);
        return result;
    }
    result.peakKb = usage.ru_maxrss;
    if (WIFSIGNALED(wstatus)) {
        result.problem = "it was killed by signal " + std::to_string(WTERMSIG(wstatus));
        return result;
    }
    result.ran = true;
    result.status = WEXITSTATUS(wstatus);
    return result;
}

PipedChild::PipedChild(const std::filesystem::path& tool)
{
    std::signal(SIGPIPE, SIG_IGN); // a child that died must fail a write, not end this process
    int in[2];
    int out[2];
    if (pipe(in) != 0) {
        return;
    }
    if (pipe(out) != 0) {
        close(in[0]);
        close(in[1]);
        return;
    }
    const std::string path = tool.string();
    pid_ = fork();
    if (pid_ == 0) {
        dup2(in[0], 0);
        dup2(out[1], 1);
        close(in[0]);
        close(in[1]);
        close(out[0]);
        close(out[1]);
        execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    toChild_ = in[1];
    fromChild_ = out[0];
}

PipedChild::~PipedChild()
{
    if (pid_ > 0) {
        finish();
    }
    if (fromChild_ >= 0) {
        close(fromChild_);
    }
}

bool PipedChild::started() const
{
    return pid_ > 0;
}

bool PipedChild::write(std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = toChild_ < 0 ? -1 : ::write(toChild_, bytes.data(), bytes.size());
        if (written <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

PipedChild::Read PipedChild::read(std::string& into, int timeoutMs)
{
    pollfd ready{fromChild_, POLLIN, 0};
    if (poll(&ready, 1, timeoutMs) <= 0) {
        return Read::timeout;
    }
    char chunk[65536];
    const ssize_t got = ::read(fromChild_, chunk, sizeof chunk);
    if (got <= 0) {
        return Read::closed;
    }
    into.append(chunk, static_cast<std::size_t>(got));
    return Read::data;
}

int PipedChild::finish()
{
    if (toChild_ >= 0) {
        close(toChild_);
        toChild_ = -1;
    }
    if (pid_ <= 0) {
        return -1;
    }
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

#endif

} // namespace testfiles
