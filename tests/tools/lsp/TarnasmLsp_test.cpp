// The real tarnasm-lsp over pipes: a whole editing conversation, a document of 100,000 lines, and
// the scripted conversations of conversations/ (malformed input after which it must go on serving).
#include "LspClient.h"
#include "common/FileText.h"

#include <tarnasm/tarnasm.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>

namespace tarnasm::lsp::test {
namespace {

// Each error kind of the parse phase, and a line of non-ASCII text.
const std::string kSource = "start:  nop\n"
                            "        frob    1\n"
                            "        wait    2\n"
                            "        add     R1, R2\n"
                            "# caf\xC3\xA9\n"
                            "        wait    8\n"
                            ".DEF    N       4\n"
                            "        jmp     @start\n"
                            "        wait    $N\n";
// Non-ASCII text before and inside the marked range (the emoji is two UTF-16 code units).
const std::string kWide = "# caf\xC3\xA9\n"
                          "        wait    \xF0\x9F\x98\x80\n";
const std::string kUri = "file:///tmp/my%20dir/prog%231.tasm";

struct CliEntry
{
    int line;
    int column;
    int length;
    std::string message;
};

/// The report of the command line for the source: each entry's place, caret length and message.
std::vector<CliEntry> commandLineReport(const std::string& source)
{
    const std::filesystem::path dir = TARNASM_LSP_SCRATCH;
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "prog.tasm", std::ios::binary) << source;
    testfiles::runChild(TARNASM_EXECUTABLE, {"-o", "out", "prog.tasm"}, dir, dir / "stdout", dir / "report");
    const std::string report = testfiles::readFile(dir / "report");
    std::vector<std::string> lines;
    std::istringstream in(source);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    std::vector<CliEntry> entries;
    for (std::size_t at = 0; (at = report.find("\nprog.tasm:", at)) != std::string::npos;) {
        CliEntry entry{};
        int consumed = 0;
        std::sscanf(report.c_str() + at, "\nprog.tasm:%d:%d: %n", &entry.line, &entry.column, &consumed);
        const std::size_t start = at + static_cast<std::size_t>(consumed);
        const std::size_t end = report.find(": \n" + lines.at(static_cast<std::size_t>(entry.line - 1)) + "\n", start);
        entry.message = report.substr(start, end - start);
        const std::size_t caretLine = report.find('\n', end + 3) + 1;
        const std::string carets = report.substr(caretLine, report.find('\n', caretLine) - caretLine);
        entry.length = static_cast<int>(carets.size()) - entry.column;
        entries.push_back(entry);
        at = caretLine;
    }
    return entries;
}

/// UTF-16 code units of the first bytes of a line.
int units(const std::string& line, int bytes)
{
    int count = 0;
    for (int i = 0; i < bytes; ++i) {
        const auto c = static_cast<unsigned char>(line[static_cast<std::size_t>(i)]);
        count += (c & 0xC0) == 0x80 ? 0 : (c >= 0xF0 ? 2 : 1);
    }
    return count;
}

Json range(int line, int start, int end)
{
    return {{"start", {{"line", line}, {"character", start}}}, {"end", {{"line", line}, {"character", end}}}};
}

Json change(int line, int start, int end, const std::string& text)
{
    return {{"range", range(line, start, end)}, {"text", text}};
}

void expectCommandLineReport(const Json& diagnostics, const std::string& source, std::size_t count)
{
    const auto expected = commandLineReport(source);
    ASSERT_EQ(expected.size(), count);
    ASSERT_EQ(diagnostics.size(), count) << diagnostics;
    std::vector<std::string> lines;
    std::istringstream in(source);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    for (std::size_t i = 0; i < count; ++i) {
        const CliEntry& e = expected[i];
        const std::string& line = lines[static_cast<std::size_t>(e.line - 1)];
        EXPECT_EQ(diagnostics[i]["range"], range(e.line - 1, units(line, e.column), units(line, e.column + e.length)));
        EXPECT_EQ(diagnostics[i]["message"], e.message);
        EXPECT_EQ(diagnostics[i]["severity"], 1);
    }
}

void expectError(const Json& reply, int code)
{
    ASSERT_TRUE(reply.contains("error")) << reply;
    EXPECT_EQ(reply["error"]["code"], code) << reply;
}

TEST(TarnasmLsp, WholeConversation)
{
    LspClient client(false);
    const Json init = client.request("initialize", {{"processId", nullptr}, {"capabilities", Json::object()}});
    // The positions below count UTF-16 units, and the change below is incremental.
    EXPECT_EQ(init["result"]["capabilities"]["positionEncoding"], "utf-16");
    EXPECT_EQ(init["result"]["capabilities"]["textDocumentSync"]["change"], 2);
    client.notify("initialized", Json::object());

    // Errors as the command line reports them, in UTF-16 positions.
    const Json wide = client.open("file:///wide.tasm", kWide)["params"]["diagnostics"];
    expectCommandLineReport(wide, kWide, 1);
    EXPECT_EQ(wide[0]["range"], range(1, 16, 18));
    const Json published = client.open(kUri, kSource);
    EXPECT_EQ(published["params"]["uri"], kUri);
    expectCommandLineReport(published["params"]["diagnostics"], kSource, 3);

    // Fixed one by one in a single change; the set is emptied.
    client.notify("textDocument/didChange",
                  {{"textDocument", {{"uri", kUri}, {"version", 2}}},
                   {"contentChanges",
                    {change(1, 8, 17, "nop"), change(2, 16, 17, "4"), change(3, 22, 22, ", R3")}}});
    const Json fixed = client.notification("textDocument/publishDiagnostics");
    EXPECT_EQ(fixed["params"]["version"], 2);
    EXPECT_EQ(fixed["params"]["diagnostics"], Json::array()) << fixed;

    const Json hover = client.request("textDocument/hover", at(kUri, 7, 18));
    EXPECT_NE(hover["result"]["contents"]["value"].get<std::string>().find("address 0 (0x0)"), std::string::npos);
    EXPECT_EQ(hover["result"]["range"], range(7, 16, 22));
    const Json definition = client.request("textDocument/definition", at(kUri, 8, 17));
    EXPECT_EQ(definition["result"], (Json{{"uri", kUri}, {"range", range(6, 8, 9)}}));
    Json references = at(kUri, 0, 2);
    references["context"] = {{"includeDeclaration", true}};
    EXPECT_EQ(client.request("textDocument/references", references)["result"].size(), 2u);

    Json renaming = at(kUri, 7, 18);
    renaming["newName"] = "begin";
    const Json edit = client.request("textDocument/rename", renaming);
    EXPECT_EQ(edit["result"]["changes"][kUri].size(), 2u) << edit;
    renaming["newName"] = "9lives";
    expectError(client.request("textDocument/rename", renaming), -32803);

    const Json completion = client.request("textDocument/completion", at(kUri, 7, 17));
    ASSERT_EQ(completion["result"]["items"].size(), 1u) << completion;
    // After a typed '@' only the name is inserted: "@start" once, whichever way a client replaces.
    const Json& item = completion["result"]["items"][0];
    EXPECT_EQ(item["textEdit"], (Json{{"range", range(7, 17, 17)}, {"newText", "start"}})) << item;
    EXPECT_EQ(item["filterText"], "start");
    EXPECT_EQ(item["label"], "@start");
    const Json signature = client.request("textDocument/signatureHelp", at(kUri, 3, 23));
    EXPECT_EQ(signature["result"]["activeParameter"], 2);
    EXPECT_EQ(signature["result"]["signatures"].size(), 2u);
    const Json symbols = client.request("textDocument/documentSymbol", {{"textDocument", {{"uri", kUri}}}});
    ASSERT_EQ(symbols["result"].size(), 2u) << symbols;
    EXPECT_EQ(symbols["result"][1]["selectionRange"], range(6, 8, 9));

    client.notify("textDocument/didSave", {{"textDocument", {{"uri", kUri}}}});
    client.notify("textDocument/didClose", {{"textDocument", {{"uri", kUri}}}});
    const Json closed = client.notification("textDocument/publishDiagnostics");
    EXPECT_EQ(closed["params"]["diagnostics"], Json::array());
    expectError(client.request("textDocument/hover", at(kUri, 7, 18)), -32602);

    EXPECT_EQ(client.request("shutdown")["result"], nullptr);
    expectError(client.request("textDocument/hover", at(kUri, 0, 0)), -32600);
    client.notify("exit", nullptr);
    EXPECT_EQ(client.finish(), 0);
}

TEST(TarnasmLsp, DeepNestingIsRefusedWhereverItIs)
{
    LspClient client(false);
    const std::size_t levels = 1000000;
    const auto arrays = std::string(levels, '[') + std::string(levels, ']');
    std::string objects;
    for (std::size_t i = 0; i < levels; ++i) {
        objects += "{\"a\":";
    }
    objects += "0" + std::string(levels, '}');
    const auto raw = [&client](const std::string& body) {
        client.sendRaw("Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body);
        return client.response();
    };
    // Before initialize, in params, in an unknown member, in the id, as the message itself.
    const std::pair<std::string, Json> cases[] = {
        {R"({"jsonrpc":"2.0","id":7,"method":"textDocument/hover","params":)" + arrays + "}", 7},
        {R"({"jsonrpc":"2.0","id":"x","method":"initialize","unknown":)" + objects + "}", "x"},
        {R"({"jsonrpc":"2.0","method":"initialized","params":{"deep":)" + objects + "}}", nullptr},
        {R"({"jsonrpc":"2.0","id":)" + arrays + R"(,"method":"shutdown"})", nullptr},
        {arrays, nullptr},
    };
    for (const auto& [body, id] : cases) {
        const Json reply = raw(body);
        EXPECT_EQ(reply["error"]["code"], -32600) << reply;
        EXPECT_EQ(reply["id"], id) << reply;
    }
    EXPECT_EQ(client.request("initialize", {{"capabilities", Json::object()}})["result"]["serverInfo"]["name"],
              "tarnasm-lsp");
    EXPECT_EQ(raw(R"({"jsonrpc":"2.0","id":8,"method":"shutdown","params":{"a":)" + objects + "}}")["id"], 8);
    EXPECT_TRUE(client.request("shutdown").contains("result"));
    client.notify("exit", nullptr);
    EXPECT_EQ(client.finish(), 0);
}

TEST(TarnasmLsp, DocumentOf100000Lines)
{
    LspClient client;
    std::string large;
    for (int i = 0; i < 100000; ++i) {
        large += i % 10 == 0 ? "        frob 1\n" : "# a comment line\n";
    }
    EXPECT_EQ(client.open("file:///large.tasm", large)["params"]["diagnostics"].size(), 10000u);
    // Still serving.
    client.open("file:///alive.tasm", "alive: nop\n");
    const Json symbols =
        client.request("textDocument/documentSymbol", {{"textDocument", {{"uri", "file:///alive.tasm"}}}});
    ASSERT_EQ(symbols["result"].size(), 1u) << symbols;
    EXPECT_EQ(symbols["result"][0]["name"], "alive");
}

TEST(TarnasmLsp, Arguments)
{
    const std::filesystem::path dir = TARNASM_LSP_SCRATCH;
    std::filesystem::create_directories(dir);
    const auto run = [&dir](std::vector<std::string> args) {
        const auto result = testfiles::runChild(TARNASM_LSP_EXECUTABLE, args, dir, dir / "out", dir / "err");
        return std::make_tuple(result.status, testfiles::readFile(dir / "out"), testfiles::readFile(dir / "err"));
    };
    EXPECT_EQ(run({"--version"}), std::make_tuple(0, "tarnasm-lsp " + std::string(tarnasm::version()) + "\n", ""));
    const auto [helpStatus, help, helpErrors] = run({"--help"});
    EXPECT_EQ(helpStatus, 0);
    EXPECT_EQ(help.rfind("usage: tarnasm-lsp [--help | --version]\n", 0), 0u) << help;
    // Unknown arguments, and known ones with more after them, are refused before any serving.
    for (const std::vector<std::string>& args : {std::vector<std::string>{"--stdio"}, {"--version", "x"}, {""}}) {
        const auto [status, out, errors] = run(args);
        EXPECT_EQ(status, 2) << args[0];
        EXPECT_EQ(out, "");
        EXPECT_NE(errors.find("usage: tarnasm-lsp"), std::string::npos) << errors;
    }
}

/// Whether a message holds every member of the expected one (nested objects likewise, arrays
/// element by element).
bool holds(const Json& actual, const Json& expected)
{
    if (expected.is_object()) {
        for (const auto& [key, value] : expected.items()) {
            if (!actual.is_object() || !actual.contains(key) || !holds(actual[key], value)) {
                return false;
            }
        }
        return actual.is_object();
    }
    bool same = expected.is_array() ? actual.is_array() && actual.size() == expected.size() : actual == expected;
    for (std::size_t i = 0; same && expected.is_array() && i < expected.size(); ++i) {
        same = holds(actual[i], expected[i]);
    }
    return same;
}

std::string unescaped(const std::string& text)
{
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            bytes += text[i];
            continue;
        }
        const char c = text[++i];
        if (c == 'x' && i + 2 < text.size()) {
            bytes += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            bytes += c == 'r' ? '\r' : c == 'n' ? '\n' : c;
        }
    }
    return bytes;
}

class Conversation : public testing::TestWithParam<std::string>
{
};

TEST_P(Conversation, Replies)
{
    std::ifstream script(std::filesystem::path(TARNASM_LSP_CONVERSATIONS) / (GetParam() + ".lsp"));
    LspClient client(false);
    int number = 0;
    for (std::string line; std::getline(script, line);) {
        SCOPED_TRACE(GetParam() + ".lsp:" + std::to_string(++number));
        if (line.rfind(">>>raw ", 0) == 0) {
            client.sendRaw(unescaped(line.substr(7)));
        } else if (line.rfind(">>> ", 0) == 0) {
            client.send(Json::parse(line.substr(4)));
        } else if (line.rfind("<<< ", 0) == 0) {
            const Json expected = Json::parse(line.substr(4));
            const Json actual = expected.contains("method") ? client.notification(expected["method"]) : client.response();
            EXPECT_TRUE(holds(actual, expected)) << "got " << actual;
        } else if (line.rfind("status ", 0) == 0) {
            EXPECT_EQ(client.finish(), std::stoi(line.substr(7)));
        } else {
            ASSERT_TRUE(line.empty() || line[0] == '#') << "not understood: " << line;
        }
    }
}

std::vector<std::string> conversations()
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(TARNASM_LSP_CONVERSATIONS)) {
        if (entry.path().extension() == ".lsp") {
            names.push_back(entry.path().stem().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

INSTANTIATE_TEST_SUITE_P(TarnasmLsp, Conversation, testing::ValuesIn(conversations()),
                         [](const auto& info) { return info.param; });

} // namespace
} // namespace tarnasm::lsp::test
