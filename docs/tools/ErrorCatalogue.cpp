// ErrorCatalogue: checks the manual's error catalogue against the assembler, example by example.
//
// Each example NAME.tasm in the catalogue folder has its report in NAME.err, exactly as
// tarnasm::Program::report() gives it; an NAME.err without NAME.tasm is the report for a file that
// does not exist. The catalogue must cover every diagnostic kind and every message the corpus
// gives, so a new message cannot reach users without an entry.
#include <tarnasm/tarnasm.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string readFile(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

/// A message with what varies between two errors of the same kind (values, names, the
/// instruction and its operand kind, the list of supported signatures) replaced by placeholders.
std::string messageTemplate(const std::string& message)
{
    static const std::pair<std::regex, std::string> rules[] = {
        {std::regex("'[^']*'"), "Q"},
        {std::regex("\"[^\"]*\""), "Q"},
        {std::regex("Q( Q)+"), "Q"},
        {std::regex("(label|symbol): \\S+\\."), "$1: X."},
        {std::regex("Instruction \\w+ argument"), "Instruction M argument"},
        {std::regex("\\(\\w+\\) value:"), "(K) value:"},
        {std::regex("-?[0-9]+"), "N"},
    };
    std::string text = message;
    for (const auto& [pattern, replacement] : rules) {
        text = std::regex_replace(text, pattern, replacement);
    }
    return text;
}

std::vector<fs::path> filesEndingIn(const fs::path& folder, const std::string& extension, bool recursive)
{
    std::vector<fs::path> files;
    auto take = [&](const fs::directory_entry& entry) {
        if (entry.is_regular_file() && entry.path().extension() == extension) {
            files.push_back(entry.path());
        }
    };
    if (recursive) {
        std::for_each(fs::recursive_directory_iterator(folder), fs::recursive_directory_iterator(), take);
    } else {
        std::for_each(fs::directory_iterator(folder), fs::directory_iterator(), take);
    }
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

int main(int argc, char** argv)
{
    // --update writes each example's report instead of comparing it, for review in the diff.
    const bool update = argc == 4 && std::string_view(argv[1]) == "--update";
    if (update) {
        ++argv;
        --argc;
    }
    if (argc != 3) {
        std::cerr << "usage: error_catalogue [--update] <catalogue examples folder> <corpus folder>\n";
        return 2;
    }
    const fs::path corpus = fs::absolute(argv[2]);
    // Reports name the examples as a user types them, from the catalogue's own folder.
    fs::current_path(argv[1]);

    int failures = 0;
    std::set<tarnasm::DiagnosticKind> kinds;
    std::set<std::string> templates;
    for (const fs::path& expected : filesEndingIn(".", ".err", false)) {
        const fs::path source = expected.stem().string() + ".tasm";
        const tarnasm::Program program = tarnasm::assembleFile(source);
        if (update) {
            std::ofstream(expected, std::ios::binary) << program.report();
        } else if (program.report() != readFile(expected)) {
            std::cerr << "FAIL " << expected.filename().string() << ": the report of " << source.string()
                      << " is not the one shown; it is now:\n"
                      << program.report() << "\n";
            ++failures;
        }
        if (program.ok()) {
            std::cerr << "FAIL " << source.string() << " assembles: an example must show an error\n";
            ++failures;
        }
        for (const tarnasm::Diagnostic& diagnostic : program.diagnostics()) {
            kinds.insert(diagnostic.kind);
            templates.insert(messageTemplate(diagnostic.message));
        }
    }

    // Kinds are numbered from 0; past the last one diagnosticCode falls back to "other".
    for (int value = 1; tarnasm::diagnosticCode(tarnasm::DiagnosticKind(value)) != "other"; ++value) {
        const auto kind = tarnasm::DiagnosticKind(value);
        if (!kinds.contains(kind)) {
            std::cerr << "FAIL no catalogue example gives an error of kind " << tarnasm::diagnosticCode(kind) << "\n";
            ++failures;
        }
    }

    std::map<std::string, std::string> missing;
    for (const fs::path& path : filesEndingIn(corpus, ".tasm", true)) {
        const tarnasm::Program program = tarnasm::assemble(readFile(path), path.filename().string());
        for (const tarnasm::Diagnostic& diagnostic : program.diagnostics()) {
            const std::string shape = messageTemplate(diagnostic.message);
            if (!templates.contains(shape)) {
                missing.emplace(shape, fs::relative(path, corpus).string());
            }
        }
    }
    for (const auto& [shape, where] : missing) {
        std::cerr << "FAIL the catalogue has no entry for the message \"" << shape << "\" (given by "
                  << where << ")\n";
        ++failures;
    }

    if (failures > 0) {
        std::cerr << failures << " problems; error_catalogue --update writes the examples' reports "
                     "(check each by hand)\n";
        return 1;
    }
    std::cout << "every catalogue example gives the report shown; every kind and corpus message is covered\n";
    return 0;
}
