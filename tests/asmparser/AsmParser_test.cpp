// Tests of AsmParser: the line grammar, symbols and directives, and statements printed back.
#include "asmparser/AsmParser.h"

#include "source/AsmError.h"
#include "source/AsmErrorList.h"
#include "source/SourceLine.h"
#include "source/SourceReader.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

std::shared_ptr<const SourceLine> makeLine(const std::string& text, int lineNr = 1)
{
    return std::make_shared<const SourceLine>(std::string(text), lineNr,
                                              std::make_shared<const std::string>("t.tasm"));
}

std::string describeArgument(const AsmArgument& argument)
{
    if (argument.hasAddressRef()) {
        return "@" + argument.addressLabel().toString() + (argument.hasIntValue() ? "=value" : "");
    }
    if (argument.isRegister()) {
        return argument.registerName() + std::to_string(argument.intValue());
    }
    return "#" + std::to_string(argument.intValue());
}

std::string describeStatement(const AsmStatement& statement)
{
    if (statement.type() == AsmType::DIRECTIVE) {
        const auto& directive = dynamic_cast<const AsmDirective&>(statement);
        return directive.directive().toString() + " " + directive.name().toString() + "=" +
               directive.value().toString();
    }
    const auto& instruction = dynamic_cast<const AsmInstruction&>(statement);
    std::string out;
    if (instruction.hasAddressLabel()) {
        out = instruction.addressLabel().toString() + ":";
    }
    if (statement.type() == AsmType::INSTRUCTION) {
        out += (out.empty() ? "" : " ") + instruction.command().toString();
        for (const auto& argument : instruction.argList()) {
            out += " " + describeArgument(*argument);
        }
    }
    return out;
}

// "-" for no statement, the statement in short, or the error's message and marked range.
std::string parseOne(const std::string& text)
{
    AsmParser parser;
    try {
        const auto statement = parser.parseLine(makeLine(text));
        return statement ? describeStatement(*statement) : "-";
    } catch (const AsmSourceError& e) {
        const SourceErrorRef& ref = e.references().front();
        return e.errorMessage() + " @" + std::to_string(ref.start()) + "+" + std::to_string(ref.length());
    }
}

const std::string spurious = "Syntax error: AsmParser: spurious characters after statement @";

} // namespace

TEST(AsmParser, ParseLine)
{
    struct Case { std::string line, expected; };
    const Case cases[] = {
        {"; note", "-"}, {"-- x", "-"}, {"loop: ;x", "loop:"}, {"add r0,r1", "add r0 r1"},
        {"add R0,", "add R0"}, {"add R0,,R1", "add R0"}, {"add a1, F0", "add a1 F0"},
        // Every number form, around the length up to which no string is built for it.
        {"move -0x10, R3", "move #-16 R3"}, {"move -0, R3", "move #0 R3"},
        {"move -017, R3", "move #-15 R3"}, {"move R0x1f, R3", "move R31 R3"},
        {"move 99999999999999999, R3", "move #99999999999999999 R3"},
        {"move -0x7fffffffffffffff, R3", "move #-9223372036854775807 R3"},
        {"move 0x8000000000000000, R3", "move #9223372036854775807 R3"},  // clamped by the C conversion
        {"move 0x, R3",
         "Syntax error: AsmParser: Invalid Immediate argument: Value '0x' is not a valid integer. "
         "Invalid character 'x' at index 1 @5+2"},
        {"move R-, R3", "Syntax error: Invalid argument @5+2"},
        // The mark is the argument itself, not the first 'a' of the line.
        {"load a, R0",
         "Syntax error: AsmParser: Invalid Immediate argument: Value 'a' is not a valid integer. "
         "Invalid character 'a' at index 0 @5+1"},
        // Unreadable bytes where a statement word belongs are reported, not skipped.
        {"\xC2\xA0nop R1", spurious + "0+5"},
        {std::string("\0nop", 4), spurious + "0+4"},
        {"  \xEF\xBB\xBFnop", spurious + "2+6"},
        {"loop: \xA0nop,R1", spurious + "6+4"},
        // ... and after a statement they do not take the rest of the line with them.
        {std::string("nop\0", 4), spurious + "3+1"},
        {"nop \xC2\xA0R1", spurious + "4+4"},
        {std::string("add R1,\0R2", 10), spurious + "7+3"},
        {".FOO", "Syntax error: AsmParser: empty directive .FOO @4+1"},
        {".DEF x # c", "Syntax error: AsmParser: directive .DEF has no value @7+1"},
        {".DEF x-1 5", ".DEF x=-1 5"},
        {".DEF x [3]", spurious + "8+2"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(parseOne(c.line), c.expected) << "line '" << c.line << "'";
    }
}

TEST(AsmParser, RecordingEndsWithItsScopeWhateverLeavesIt)
{
    struct RecorderFailed
    {
    };
    AsmParser parser;
    std::vector<std::string> pieces;
    try {
        const AsmParser::Recording recording(parser, [&pieces](AsmParser::Piece, const AsmToken& token, int) {
            pieces.push_back(token.toString());
            if (pieces.size() == 2) {
                throw RecorderFailed();
            }
        });
        parser.parseLine(makeLine("jmp $NOWHERE"));
        ADD_FAILURE() << "the recorder's exception was lost";
    } catch (const RecorderFailed&) {
    }
    EXPECT_EQ(pieces, (std::vector<std::string>{"jmp", "$NOWHERE"}));
    // Read for real again: the symbol is looked up, and no recorder is called.
    EXPECT_THROW(parser.parseLine(makeLine("jmp $NOWHERE")), AsmUnresolvedSymbolError);
    EXPECT_EQ(pieces.size(), 2u);
}

TEST(AsmParser, Symbols)
{
    const std::string program =
        "move $x, R0\n"           // 1: used before its definition
        ".DEF x 5\n"              // 2
        "move $x, R0\n"           // 3
        ".DEF x 7\n"              // 4: redefined
        ".DEF r R7\n"             // 5
        ".DEF a @loop\n"          // 6
        ".DEF y $y\n"             // 7
        "loop: add $r, $a, $x\n"  // 8
        "move $y, R0\n"           // 9: error on line 7
        ".DEF w [3]\n";           // 10: defined despite the error after its value
    StringSourceReader reader(program, "t.tasm");
    AsmParser parser;
    AsmErrorList errors;
    EXPECT_EQ(parser.parse(reader, errors), 5);

    std::vector<std::string> reported;
    for (const auto& error : errors.errors()) {
        reported.push_back(error->what());
    }
    const std::vector<std::string> expected = {
        "t.tasm:1:6: Unresolved symbol: x. : \nmove $x, R0\n------^\n",
        "t.tasm:2:5: Duplicate symbol: x. : \n.DEF x 5\n-----^\n"
        "t.tasm:4:5: Duplicate symbol: x. : \n.DEF x 7\n-----^\n",
        "t.tasm:7:7: Syntax error: Invalid argument: \n.DEF y $y\n-------^^\n",
        "t.tasm:10:8: Syntax error: AsmParser: spurious characters after statement: \n"
        ".DEF w [3]\n--------^^\n",
    };
    EXPECT_EQ(reported, expected);

    ASSERT_EQ(parser.statements().size(), 2u);
    EXPECT_EQ(describeStatement(*parser.statements()[0]), "move #5 R0");
    EXPECT_EQ(describeStatement(*parser.statements()[1]), "loop: add R7 @loop #5");
    const auto& move = dynamic_cast<const AsmInstruction&>(*parser.statements()[0]);
    EXPECT_EQ(move.argList()[0]->stringValue().sourceLine()->lineNr(), 2);

    AsmToken value;
    EXPECT_TRUE(parser.findSymbol(AsmToken(std::string("w")), value));
    EXPECT_EQ(value.toString(), "[");

    // A new run starts without symbols: the same errors again, no more.
    AsmErrorList again;
    EXPECT_EQ(parser.parse(reader, again), 5);
    EXPECT_EQ(again.size(), errors.size());
}

TEST(AsmParser, UnparseRoundTrip)
{
    // A kept comment may begin with a bracket: it is not cut to one character.
    const std::string program =
        "loop: add R0, R1, R2 # [sum]\n"
        "  nop\n"
        "averyverylong1: nop\n"
        "end:\n"
        ".DEF k 0x1f\n"
        "jmp @loop\n"
        "move $k,R3\n";
    StringSourceReader reader(program, "t.tasm");
    AsmParser parser;
    parser.config().keepComments = true;
    parser.config().keepAllDirectives = true;
    AsmErrorList errors;
    ASSERT_EQ(parser.parse(reader, errors), 0);

    std::ostringstream os;
    EXPECT_EQ(parser.unparse(os), 0);
    EXPECT_EQ(os.str(),
              "loop:   add         R0, R1, R2          #[sum]\n"
              "        nop\n"
              "averyverylong1: nop\n"
              "end:\n"
              ".DEF k 0x1f\n"
              "        jmp         @loop\n"
              "        move        0x1f, R3\n");
}

TEST(AsmParser, ArgumentOutlivesItsInstruction)
{
    // The arguments of an instruction share one block; each pointer keeps it (and the line) alive.
    std::shared_ptr<AsmArgument> last;
    {
        AsmParser parser;
        const auto statement = parser.parseLine(makeLine("add R1, 0x20, R3"));
        last = dynamic_cast<const AsmInstruction&>(*statement).argList().back();
    }
    EXPECT_EQ(last->registerName(), 'R');
    EXPECT_EQ(last->intValue(), 3);
    EXPECT_EQ(last->stringValue().toString(), "R3");
}
