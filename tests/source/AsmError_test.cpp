// Tests of the rendered error texts, their sources and copies.
#include "source/AsmError.h"

#include "asmparser/AsmToken.h"
#include "source/MakeLine.h"

#include <gtest/gtest.h>

TEST(AsmError, SyntaxErrorRendersLocationMessageAndPicture)
{
    const auto line = makeLine("play  R1,X");
    AsmSyntaxError byRange(line, 9, 1);
    byRange << "unknown register '" << AsmToken(line, 9, 1) << std::string("'");
    EXPECT_STREQ("prog:7:9: Syntax error: unknown register 'X': \nplay  R1,X\n---------^\n", byRange.what());
    EXPECT_EQ("Syntax error: unknown register 'X'", byRange.errorMessage());

    // Without a name the location reads "line 7 column 6".
    const AsmSyntaxError byText = AsmSyntaxError(makeLine("play  R1,X", 7, ""), "R1") << "bad";
    EXPECT_STREQ("line 7 column 6: Syntax error: bad: \nplay  R1,X\n------^^\n", byText.what());

    // A NUL in the streamed text would end the log line early.
    AsmSyntaxError nul(line, 0, 1);
    nul << std::string("a\0b", 3);
    EXPECT_STREQ("prog:7:0: Syntax error: a?b: \nplay  R1,X\n^\n", nul.what());
}

TEST(AsmError, ReferencesInLineOrder)
{
    const AsmUnresolvedReferenceError unresolved({makeLine("jmp $cnt", 9), makeLine("ld $cnt", 4)}, "cnt", "symbol");
    EXPECT_STREQ("prog:4:4: Unresolved symbol: cnt. : \nld $cnt\n----^^^\n"
                 "prog:9:5: Unresolved symbol: cnt. : \njmp $cnt\n-----^^^\n",
                 unresolved.what());
    EXPECT_STREQ("Unresolved symbol error", unresolved.errorType());
    const AsmUnresolvedAddressLabelError label(makeLine("jmp @end", 2), "end");
    EXPECT_STREQ("prog:2:5: Unresolved address label: end. : \njmp @end\n-----^^^\n", label.what());

    const AsmDuplicateAddressLabelError duplicate({makeLine("L: nop", 8), makeLine("L:", 3), makeLine("L:", 5)}, "L");
    EXPECT_EQ(3u, duplicate.numberOfErrorSources());
    EXPECT_EQ(3, duplicate.lineNr());
    EXPECT_STREQ("Duplicate address label error", duplicate.errorType());

    AsmSourceError mixed;
    mixed.addErrorInfo(SourceErrorRef(makeLine("a", 0), 0, 1));
    mixed.addErrorInfo(SourceErrorRef(makeLine("b", 6), 0, 1));
    mixed.addErrorInfo(SourceErrorRef(makeLine("c", 2), 0, 1));
    mixed.addErrorInfo(SourceErrorRef(makeLine("d", 6), 0, 1));
    ASSERT_EQ(4u, mixed.references().size());
    EXPECT_EQ("c", mixed.references()[0].sourceLine()->toString());
    EXPECT_EQ("b", mixed.references()[1].sourceLine()->toString());  // equal lines keep their order
    EXPECT_EQ("d", mixed.references()[2].sourceLine()->toString());
    mixed.sortAndClean();
    EXPECT_EQ(3u, mixed.numberOfErrorSources());
}

TEST(AsmError, WithoutSource)
{
    const AsmSyntaxError noLine(makeLine("xyz", 0), "xyz");
    EXPECT_FALSE(noLine.hasSource());
    EXPECT_EQ(0u, noLine.numberOfErrorSources());
    EXPECT_EQ(0, noLine.lineNr());
    EXPECT_STREQ("", noLine.what());

    const AsmProgramTooLongError tooLong("Program too long");
    EXPECT_STREQ("Program too long", tooLong.what());
    EXPECT_EQ(0, tooLong.lineNr());
}

TEST(AsmError, CopyKeepsClassAndText)
{
    std::shared_ptr<AsmError> copy;
    try {
        throw AsmSyntaxError(makeLine("add R0"), 4, 2) << "no such register";
    } catch (const AsmError& e) {
        copy = e.shared_ptr_copy();
    }
    ASSERT_NE(nullptr, std::dynamic_pointer_cast<AsmSyntaxError>(copy));
    EXPECT_STREQ("prog:7:4: Syntax error: no such register: \nadd R0\n----^^\n", copy->what());

    try {
        throw AsmProgramTooLongError("long");
    } catch (const AsmError& e) {
        copy = e.shared_ptr_copy();
    }
    EXPECT_NE(nullptr, std::dynamic_pointer_cast<AsmProgramTooLongError>(copy));
    EXPECT_STREQ("Asm program too long", copy->errorType());
}
