// The real tarnasm-lsp over pipes: a whole editing conversation, and malformed input of each kind
// after which the server must go on serving.
#include "LspClient.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

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
    const std::string command = "cd '" + dir.string() + "' && '" + TARNASM_EXECUTABLE + "' -o out prog.tasm 2>&1";
    std::string report;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char chunk[4096];
        for (std::size_t n; (n = fread(chunk, 1, sizeof chunk, pipe)) > 0;) {
            report.append(chunk, n);
        }
        pclose(pipe);
    }
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

/// The server still answers a request correctly.
void expectServing(LspClient& client)
{
    client.open("file:///alive.tasm", "alive: nop\n");
    const Json symbols = client.request("textDocument/documentSymbol", {{"textDocument", {{"uri", "file:///alive.tasm"}}}});
    ASSERT_EQ(symbols["result"].size(), 1u) << symbols;
    EXPECT_EQ(symbols["result"][0]["name"], "alive");
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
    EXPECT_EQ(init["result"]["capabilities"],
              Json::parse(R"({"positionEncoding":"utf-16",
                 "textDocumentSync":{"openClose":true,"change":2,"save":{"includeText":false}},
                 "hoverProvider":true,"definitionProvider":true,"referencesProvider":true,"renameProvider":true,
                 "completionProvider":{"triggerCharacters":["@","$","."]},
                 "signatureHelpProvider":{"triggerCharacters":[" ",","]},"documentSymbolProvider":true})"));
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
    EXPECT_EQ(completion["result"]["items"][0]["textEdit"]["newText"], "@start");
    const Json signature = client.request("textDocument/signatureHelp", at(kUri, 3, 23));
    EXPECT_EQ(signature["result"]["activeParameter"], 2);
    EXPECT_EQ(signature["result"]["signatures"].size(), 2u);
    const Json symbols = client.request("textDocument/documentSymbol", {{"textDocument", {{"uri", kUri}}}});
    EXPECT_EQ(symbols["result"].size(), 2u);

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

TEST(TarnasmLsp, MalformedFramingIsSkipped)
{
    LspClient client;
    client.sendRaw("Content-Type: text/plain\r\n\r\n");
    client.sendRaw("Content-Length: twelve\r\n\r\n");
    client.sendRaw("Content-Length: -1\r\n\r\n");
    client.sendRaw(std::string(100000, 'x') + "\r\n\r\n");
    client.sendRaw("Content-Length: 99999999999999999999999\r\n\r\n");
    expectServing(client);
}

TEST(TarnasmLsp, BodiesThatAreNotRequests)
{
    LspClient client;
    const std::pair<const char*, int> bodies[] = {
        {"{\"jsonrpc\":\"2.0\",\"id\":1,", -32700}, {"\xFF\xFE", -32700}, {"[]", -32600}, {"42", -32600},
        {"{\"jsonrpc\":\"2.0\",\"id\":{},\"method\":\"shutdown\"}", -32600},
        {"{\"jsonrpc\":\"2.0\",\"id\":2,\"method\":7}", -32600}, {"{\"jsonrpc\":\"2.0\",\"id\":3}", -32600},
    };
    for (const auto& [body, code] : bodies) {
        client.sendRaw("Content-Length: " + std::to_string(std::string(body).size()) + "\r\n\r\n" + body);
        expectError(client.response(), code);
    }
    expectServing(client);
}

TEST(TarnasmLsp, MissingOrWrongTypedParams)
{
    LspClient client;
    client.open("file:///p.tasm", "nop\n");
    const Json cases[] = {
        Json::object(),
        {{"textDocument", {{"uri", 5}}}, {"position", {{"line", 0}, {"character", 0}}}},
        {{"textDocument", {{"uri", "file:///p.tasm"}}}},
        {{"textDocument", {{"uri", "file:///p.tasm"}}}, {"position", {{"line", "0"}, {"character", 0}}}},
        {{"textDocument", {{"uri", "file:///p.tasm"}}}, {"position", {{"line", -1}, {"character", 0}}}},
        {{"textDocument", {{"uri", "file:///p.tasm"}}}, {"position", {{"line", 0.5}, {"character", 0}}}},
        {{"textDocument", {{"uri", "file:///p.tasm"}}}, {"position", {{"line", 1ull << 40}, {"character", 0}}}},
        {{"textDocument", "file:///p.tasm"}, {"position", {{"line", 0}, {"character", 0}}}},
        "params",
    };
    for (const Json& params : cases) {
        expectError(client.request("textDocument/hover", params), -32602);
    }
    Json rename = at("file:///p.tasm", 0, 0);
    expectError(client.request("textDocument/rename", rename), -32602);
    // Bad notifications are dropped; the document stays as it was.
    client.notify("textDocument/didChange", {{"textDocument", {{"uri", "file:///p.tasm"}, {"version", 2}}}});
    client.notify("textDocument/didChange", {{"textDocument", {{"uri", "file:///p.tasm"}}}, {"contentChanges", 5}});
    client.notify("textDocument/didOpen", {{"textDocument", {{"uri", "file:///q.tasm"}}}});
    expectServing(client);
}

TEST(TarnasmLsp, UnknownMethodsAndCancel)
{
    LspClient client;
    expectError(client.request("textDocument/frobnicate"), -32601);
    expectError(client.request("$/unknown"), -32601);
    client.notify("workspace/frobnicate", Json::object());
    client.notify("$/cancelRequest", {{"id", 1}});
    client.send({{"jsonrpc", "2.0"}, {"id", 99}, {"result", nullptr}}); // a response to nothing
    expectServing(client);
}

TEST(TarnasmLsp, LifecycleOutOfOrder)
{
    LspClient client(false);
    expectError(client.request("textDocument/hover", at("file:///p.tasm", 0, 0)), -32002);
    expectError(client.request("shutdown"), -32002);
    client.notify("textDocument/didOpen", {{"textDocument", {{"uri", "file:///p.tasm"}, {"version", 1}, {"text", "x"}}}});
    EXPECT_FALSE(client.request("initialize", {{"capabilities", Json::object()}}).contains("error"));
    expectError(client.request("initialize", {{"capabilities", Json::object()}}), -32600);
    expectError(client.request("textDocument/hover", at("file:///p.tasm", 0, 0)), -32602); // never opened
    expectServing(client);
    client.notify("exit", nullptr);
    EXPECT_EQ(client.finish(), 1);

    LspClient cut;
    EXPECT_EQ(cut.finish(), 1); // the input ends without exit
}

TEST(TarnasmLsp, PositionsBeyondTheDocument)
{
    LspClient client;
    client.open("file:///p.tasm", "here: nop # c\n");
    for (const char* method : {"textDocument/hover", "textDocument/definition", "textDocument/signatureHelp"}) {
        EXPECT_EQ(client.request(method, at("file:///p.tasm", 5, 0))["result"], nullptr) << method;
        EXPECT_EQ(client.request(method, at("file:///p.tasm", 0, 900))["result"], nullptr) << method;
    }
    EXPECT_EQ(client.request("textDocument/completion", at("file:///p.tasm", 7, 0))["result"]["items"], Json::array());
    EXPECT_EQ(client.request("textDocument/references", at("file:///p.tasm", 7, 0))["result"], Json::array());
    // An edit beyond the end appends; one beyond a line's end starts at that end.
    client.notify("textDocument/didChange", {{"textDocument", {{"uri", "file:///p.tasm"}, {"version", 2}}},
                                             {"contentChanges", {change(0, 500, 600, " # x"), change(40, 0, 0, "frob")}}});
    const Json published = client.notification("textDocument/publishDiagnostics");
    ASSERT_EQ(published["params"]["diagnostics"].size(), 1u) << published;
    EXPECT_EQ(published["params"]["diagnostics"][0]["range"]["start"]["line"], 1);
    expectServing(client);
}

TEST(TarnasmLsp, LargeAndOddDocuments)
{
    LspClient client;
    std::string large;
    for (int i = 0; i < 100000; ++i) {
        large += i % 10 == 0 ? "        frob 1\n" : "# a comment line\n";
    }
    EXPECT_EQ(client.open("file:///large.tasm", large)["params"]["diagnostics"].size(), 10000u);

    // NUL bytes inside a line and at its start; the text after them is read too.
    const char withNul[] = "nop\n  wa\0it 5\n\0\0\n  nop\0\n";
    const Json nul = client.open("file:///nul.tasm", std::string(withNul, sizeof withNul - 1))["params"];
    ASSERT_EQ(nul["diagnostics"].size(), 3u) << nul;
    EXPECT_EQ(nul["diagnostics"][2]["range"], range(3, 5, 6));

    // CR, CRLF and LF CR: the error stands on the protocol's line 4 (0-based) in each.
    for (const char* text : {"nop\rnop\rnop\r\r  frob\r", "nop\r\nnop\r\nnop\r\n\r\n  frob\r\n", "nop\nnop\nnop\n\r  frob\n"}) {
        const Json odd = client.open("file:///odd.tasm", text);
        ASSERT_EQ(odd["params"]["diagnostics"].size(), 1u) << odd;
        EXPECT_EQ(odd["params"]["diagnostics"][0]["range"], range(4, 2, 6)) << text;
    }
    expectServing(client);
}

TEST(TarnasmLsp, UrisWithSpacesAndEscapes)
{
    LspClient client;
    const std::string uri = "file:///tmp/a%20b/c%25d%C3%A9.tasm";
    const Json published = client.open(uri, "  frob\n");
    EXPECT_EQ(published["params"]["uri"], uri);
    // The same document, escaped otherwise by the client.
    const std::string other = "file:///tmp/a b/c%25d\xC3\xA9.tasm";
    EXPECT_NE(client.request("textDocument/hover", at(other, 0, 3))["result"], nullptr);
    expectServing(client);
}

} // namespace
} // namespace tarnasm::lsp::test
