// RunCase: runs one end-to-end case (a corpus file or a command-line folder) against the built tool.
//
//   e2e_runner corpus <tarnasm> <case .tasm> <scratch dir>
//   e2e_runner cli    <tool> <case folder> <scratch dir>     (tool: tarnasm or tarndis)
//   e2e_runner stray  <tool> <file> <scratch dir>     (always fails: a file no case explains)
//
// With TARNASM_REGENERATE=1 in the environment the expected files are written from the actual
// output instead of being compared. Exit status: 0 pass, 1 fail, 77 skipped (pending case).
#include "common/FileText.h"
#include "common/ChildProcess.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kPass = 0;
constexpr int kFail = 1;
constexpr int kSkip = 77;

bool regenerating()
{
    const char* value = std::getenv("TARNASM_REGENERATE");
    return value != nullptr && *value != '\0' && std::strcmp(value, "0") != 0;
}

using testfiles::readFile;
using testfiles::writeFile;

/// Writes the file, or removes it when the text is empty, so that absent means "expected empty".
void writeOrRemove(const fs::path& path, const std::string& text)
{
    if (text.empty()) {
        fs::remove(path);
    } else {
        writeFile(path, text);
    }
}

struct RunResult
{
    int status = -1;
    std::string out;
    std::string err;
};

/// Runs the tool in cwd with standard input closed off; captures both output streams in files of
/// the scratch folder.
bool runTool(const std::string& tool, const std::vector<std::string>& args, const fs::path& cwd,
             const fs::path& scratch, RunResult& result)
{
    const fs::path toolPath = pathFromUtf8(tool);
    // Checked here so that every exit status of the child is the tool's own.
    if (!fs::is_regular_file(toolPath) || !fs::is_directory(cwd)) {
        std::cout << "cannot run " << tool << " in " << utf8FromPath(cwd) << "\n";
        return false;
    }
    const testfiles::ChildResult child =
        testfiles::runChild(toolPath, args, cwd, scratch / "stdout", scratch / "stderr");
    result.out = readFile(scratch / "stdout");
    result.err = readFile(scratch / "stderr");
    if (!child.ran) {
        std::cout << toolPath.filename().string() << ": " << child.problem << "\n" << result.err;
        return false;
    }
    result.status = child.status;
    return true;
}

std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

void replaceEvery(std::string& s, const std::string& from, const std::string& to)
{
    for (size_t pos = s.find(from); pos != std::string::npos; pos = s.find(from, pos + to.size())) {
        s.replace(pos, from.size(), to);
    }
}

/// True when text at pos reads like "Dec 05 09:51:47.082 ".
bool isTimeStamp(const std::string& s, size_t pos)
{
    static const char pattern[] = "Aaa 00 00:00:00.000 ";
    const size_t n = sizeof(pattern) - 1;
    if (s.size() < pos + n) {
        return false;
    }
    for (size_t i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(s[pos + i]);
        const char p = pattern[i];
        const bool ok = p == 'A'   ? std::isupper(c) != 0
                        : p == 'a' ? std::islower(c) != 0
                        : p == '0' ? std::isdigit(c) != 0
                                   : c == static_cast<unsigned char>(p);
        if (!ok) {
            return false;
        }
    }
    return true;
}

constexpr size_t kMarkerWidth = 7;

bool isStopWatchLine(const std::string& line)
{
    return (line.rfind("parse: ", 0) == 0 || line.rfind("assemble: ", 0) == 0) &&
           line.find(" seconds") != std::string::npos;
}

/// Log lines lose their time stamp, the tool's path becomes its name as a user types it
/// ("tarnasm", also for tarnasm.exe), and the stopwatch report (a log line with an empty message,
/// the stopwatch lines, one empty line) is dropped.
std::string normalise(const std::string& text, const std::string& tool)
{
    const fs::path file = pathFromUtf8(tool).filename();
    const std::string name = utf8FromPath(file.extension() == ".exe" ? file.stem() : file);
    std::vector<std::string> lines = splitLines(text);
    for (auto& line : lines) {
        if (line.size() > kMarkerWidth && line.compare(kMarkerWidth, 2, "  ") == 0 &&
            isTimeStamp(line, kMarkerWidth + 2)) {
            line.erase(kMarkerWidth + 2, 20);
        }
        replaceEvery(line, tool, name);
    }
    std::string result;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].size() == kMarkerWidth + name.size() + 4 && lines[i].compare(kMarkerWidth, 2, "  ") == 0 &&
            lines[i].compare(kMarkerWidth + 2, name.size() + 2, name + ": ") == 0) {
            size_t j = i + 1;
            while (j < lines.size() && isStopWatchLine(lines[j])) {
                ++j;
            }
            if (j < lines.size() && lines[j].empty()) {
                i = j;
                continue;
            }
        }
        result += lines[i];
        result += '\n';
    }
    if (!text.empty() && text.back() != '\n' && !result.empty()) {
        result.pop_back();
    }
    return result;
}

/// The expected standard output as this platform prints it. The size report gives the width of
/// long, which is 32 bits where the data model is LLP64 (64-bit Windows); all else is the same.
std::string expectedOnThisPlatform(std::string text)
{
    if constexpr (sizeof(long) != 8) {
        replaceEvery(text, "\tSize of long int      : 64 bits",
                     "\tSize of long int      : " + std::to_string(sizeof(long) * 8) + " bits");
    }
    return text;
}

/// Compares and, on a difference, shows both texts and the first line that differs.
bool same(const std::string& what, const std::string& expected, const std::string& actual)
{
    if (expected == actual) {
        return true;
    }
    const auto e = splitLines(expected);
    const auto a = splitLines(actual);
    size_t line = 0;
    while (line < e.size() && line < a.size() && e[line] == a[line]) {
        ++line;
    }
    std::cout << what << " differs from line " << line + 1 << " on\n--- expected " << what << " ---\n"
              << expected << (expected.empty() || expected.back() == '\n' ? "" : "\\ no line end\n")
              << "--- actual " << what << " ---\n"
              << actual << (actual.empty() || actual.back() == '\n' ? "" : "\\ no line end\n") << "---\n";
    return false;
}

/// Every regular file below root, by relative path, with its contents.
std::map<std::string, std::string> filesBelow(const fs::path& root)
{
    std::map<std::string, std::string> files;
    if (!fs::is_directory(root)) {
        return files;
    }
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file()) {
            files[fs::relative(entry.path(), root).generic_string()] = readFile(entry.path());
        }
    }
    return files;
}

fs::path freshDirectory(const fs::path& dir)
{
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

bool endsWith(const std::string& s, const std::string& tail)
{
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

int runCorpusCase(const std::string& tool, const fs::path& source, const fs::path& scratch)
{
    const std::string name = source.filename().string();
    const bool ok = name.rfind("ok_", 0) == 0;
    if ((!ok && name.rfind("err_", 0) != 0) || !endsWith(name, ".tasm")) {
        std::cout << "not a corpus case: " << source << " (expected ok_<case>.tasm or err_<case>.tasm)\n";
        return kFail;
    }
    const fs::path expectedFile = fs::path(source).replace_extension(ok ? ".hex" : ".err");
    const bool regen = regenerating();
    if (!regen && !fs::exists(expectedFile)) {
        std::cout << "missing expected file " << expectedFile << "\n";
        return kFail;
    }
    const fs::path work = freshDirectory(scratch / "work");
    RunResult run;
    if (!runTool(tool, {name, "-o", utf8FromPath(work / "out")}, source.parent_path(), scratch, run)) {
        return kFail;
    }
    const std::string err = normalise(run.err, tool);
    auto produced = filesBelow(work);

    if (ok) {
        const auto hex = produced.find("out.hex");
        if (run.status != 0 || hex == produced.end() || produced.size() != 1) {
            std::cout << "expected exit status 0 and exactly the file out.hex; got status " << run.status
                      << " and " << produced.size() << " file(s)\n"
                      << err;
            return kFail;
        }
        if (regen) {
            writeFile(expectedFile, hex->second);
            std::cout << "regenerated " << expectedFile << "\n";
            return kPass;
        }
        return same(".hex", readFile(expectedFile), hex->second) ? kPass : kFail;
    }

    const std::string actual = "exit: " + std::to_string(run.status) + "\n" + err;
    if (run.status == 0 || !produced.empty()) {
        std::cout << "an err_ case must fail and write nothing; got status " << run.status << " and "
                  << produced.size() << " file(s)\n"
                  << err;
        return kFail;
    }
    if (regen) {
        writeFile(expectedFile, actual);
        std::cout << "regenerated " << expectedFile << "\n";
        return kPass;
    }
    const std::string expected = readFile(expectedFile);
    if (expected.rfind("exit: ", 0) != 0) {
        std::cout << expectedFile << " must start with a line \"exit: N\"\n";
        return kFail;
    }
    return same("standard error", expected, actual) ? kPass : kFail;
}

/// A command-line case folder: args (one argument per line), exit, optional stdout and stderr,
/// optional in/ (copied into the working folder), optional out/ (the files the run must write),
/// optional pending (why the case cannot pass yet; it is skipped).
int runCliCase(const std::string& tool, const fs::path& dir, const fs::path& scratch)
{
    static const std::set<std::string> known = {"args", "exit", "stdout", "stderr", "in", "out", "pending"};
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        const bool isDir = name == "in" || name == "out";
        if (known.count(name) == 0 || entry.is_directory() != isDir) {
            std::cout << "unknown entry in a command-line case: " << entry.path() << "\n";
            return kFail;
        }
    }
    if (fs::exists(dir / "pending")) {
        std::cout << "pending: " << readFile(dir / "pending");
        return kSkip;
    }
    const bool regen = regenerating();
    if (!fs::exists(dir / "args") || (!regen && !fs::exists(dir / "exit"))) {
        std::cout << "a command-line case needs the files args and exit\n";
        return kFail;
    }
    std::vector<std::string> args = splitLines(readFile(dir / "args"));

    const fs::path work = freshDirectory(scratch / "work");
    const auto inputs = filesBelow(dir / "in");
    // Entry by entry: MinGW's std::filesystem::copy refuses a folder into an existing one.
    if (fs::is_directory(dir / "in")) {
        for (const auto& entry : fs::recursive_directory_iterator(dir / "in")) {
            const fs::path target = work / fs::relative(entry.path(), dir / "in");
            if (entry.is_directory()) {
                fs::create_directories(target);
            } else {
                fs::copy_file(entry.path(), target);
            }
        }
    }
    RunResult run;
    if (!runTool(tool, args, work, scratch, run)) {
        return kFail;
    }
    const std::string out = normalise(run.out, tool);
    const std::string err = normalise(run.err, tool);
    std::map<std::string, std::string> produced;
    for (auto& [path, contents] : filesBelow(work)) {
        const auto input = inputs.find(path);
        if (input == inputs.end() || input->second != contents) {
            produced[path] = contents;
        }
    }

    if (regen) {
        writeFile(dir / "exit", std::to_string(run.status) + "\n");
        writeOrRemove(dir / "stdout", out);
        writeOrRemove(dir / "stderr", err);
        fs::remove_all(dir / "out");
        for (const auto& [path, contents] : produced) {
            writeFile(dir / "out" / path, contents);
        }
        std::cout << "regenerated " << dir << "\n";
        return kPass;
    }

    std::string expectedExit = readFile(dir / "exit");
    while (!expectedExit.empty() && std::isspace(static_cast<unsigned char>(expectedExit.back())) != 0) {
        expectedExit.pop_back();
    }
    bool pass = same("exit status", expectedExit + "\n", std::to_string(run.status) + "\n");
    pass = same("standard output", expectedOnThisPlatform(readFile(dir / "stdout")), out) && pass;
    pass = same("standard error", readFile(dir / "stderr"), err) && pass;
    const auto expectedFiles = filesBelow(dir / "out");
    for (const auto& [path, contents] : expectedFiles) {
        const auto actual = produced.find(path);
        if (actual == produced.end()) {
            std::cout << "expected output file not written: " << path << "\n";
            pass = false;
        } else {
            pass = same(path, contents, actual->second) && pass;
        }
    }
    for (const auto& [path, contents] : produced) {
        if (expectedFiles.count(path) == 0) {
            std::cout << "unexpected output file: " << path << "\n";
            pass = false;
        }
    }
    return pass ? kPass : kFail;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 5) {
        std::cerr << "usage: " << argv[0] << " corpus|cli|stray <tarnasm> <case> <scratch dir>\n";
        return kFail;
    }
    const std::string kind = argv[1];
    const std::string tool = utf8FromPath(fs::absolute(argv[2]));
    const fs::path target = fs::absolute(argv[3]);
    try {
        // Only the runner's own entries inside the scratch folder are ever removed.
        const fs::path scratch = fs::absolute(argv[4]);
        fs::create_directories(scratch);
        if (kind == "corpus") {
            return runCorpusCase(tool, target, scratch);
        }
        if (kind == "cli") {
            return runCliCase(tool, target, scratch);
        }
        std::cout << "file not understood by any test: " << target
                  << "\n(corpus: <feature>/ok_<case>.tasm + .hex or <feature>/err_<case>.tasm + .err;"
                     " command-line cases: tests/cli/<case>/)\n";
    } catch (const std::exception& e) {
        std::cout << "runner failure: " << e.what() << "\n";
    }
    return kFail;
}
