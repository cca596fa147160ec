// Tests of error texts beyond what the corpus shows: NULs, sourceless errors, copies, huge values.
#include "source/AsmError.h"

#include "asmparser/AsmToken.h"
#include "source/MakeLine.h"

#include <gtest/gtest.h>

TEST(AsmError, NulSourcelessReferencesAndCopies)
{
    // A NUL in the streamed text would end the log line early.
    AsmSyntaxError nul(AsmErrorKind::other, makeLine("play  R1,X"), 0, 1);
    nul << std::string("a\0b", 3);
    EXPECT_STREQ("prog:7:0: Syntax error: a?b: \nplay  R1,X\n^\n", nul.what());

    const AsmSyntaxError noLine(AsmErrorKind::other, makeLine("xyz", 0), "xyz");
    EXPECT_FALSE(noLine.hasSource());
    EXPECT_EQ(0u, noLine.numberOfErrorSources());
    EXPECT_STREQ("", noLine.what());

    // Sourceless references go last; equal lines keep their order.
    AsmSourceError mixed;
    std::string order;
    for (const auto& [text, nr] : {std::pair{"a", 0}, {"b", 6}, {"c", 2}, {"d", 6}}) {
        mixed.addErrorInfo(SourceErrorRef(makeLine(text, nr), 0, 1));
    }
    for (const SourceErrorRef& ref : mixed.references()) {
        order += ref.sourceLine()->toString();
    }
    EXPECT_EQ("cbda", order);
    mixed.sortAndClean();
    EXPECT_EQ(3u, mixed.numberOfErrorSources());

    std::shared_ptr<AsmError> copy;
    try {
        throw AsmSyntaxError(AsmErrorKind::invalidNumber, makeLine("add R0"), 4, 2) << "no such register";
    } catch (const AsmError& e) {
        copy = e.shared_ptr_copy();
    }
    ASSERT_NE(nullptr, std::dynamic_pointer_cast<AsmSyntaxError>(copy));
    EXPECT_EQ(AsmErrorKind::invalidNumber, copy->kind()) << "a copy keeps the kind it was raised with";
    EXPECT_STREQ("prog:7:4: Syntax error: no such register: \nadd R0\n----^^\n", copy->what());
}

TEST(AsmError, LongTextsKeepBeginningAndEnd)
{
    // One huge token quoted by an error per line must not make every error huge.
    const size_t limit = AsmSyntaxError::maxStreamedLength;
    const std::string value = "<" + std::string(10000, 'v') + ">";
    const std::string cut = "<" + std::string(2045, 'v') + "..." + std::string(2046, 'v') + ">";
    ASSERT_EQ(limit, cut.length());
    const auto line = makeLine("ld x");
    AsmSyntaxError syntax(AsmErrorKind::other, line, 3, 1);
    syntax << "Value '" << value << "' " << AsmToken(makeLine(value), 0) << std::string(limit, 'w');
    EXPECT_EQ("Syntax error: Value '" + cut + "' " + cut + std::string(limit, 'w'), syntax.errorMessage());

    const AsmUnresolvedSymbolError name(makeLine("ld $" + value), value);
    EXPECT_EQ(limit, name.name().length());
    EXPECT_EQ("Unresolved symbol: <vv", name.errorMessage().substr(0, 22));  // the beginning
    EXPECT_EQ(limit, name.errorMessage().length());
    EXPECT_EQ(". ", name.errorMessage().substr(limit - 2));  // and the end of the sentence
}
