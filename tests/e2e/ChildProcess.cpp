// ChildProcess: fork and exec on POSIX, CreateProcessW with inherited file handles on Windows.
#include "e2e/ChildProcess.h"

#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cstring>

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
    std::wstring commandLine = quoted(tool.wstring());
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
                         CreateProcessW(tool.wstring().c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, cwd.wstring().c_str(), &startup, &process);
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
    if (waitpid(pid, &wstatus, 0) != pid) {
        result.problem = std::string("waitpid: ") + std::strerror(errno);
        return result;
    }
    if (WIFSIGNALED(wstatus)) {
        result.problem = "it was killed by signal " + std::to_string(WTERMSIG(wstatus));
        return result;
    }
    result.ran = true;
    result.status = WEXITSTATUS(wstatus);
    return result;
}

#endif

} // namespace testfiles
