// Tests of line counting and location texts.
#include "source/SourceLine.h"

#include "source/MakeLine.h"

#include <gtest/gtest.h>

TEST(SourceLine, GetSourceRef)
{
    EXPECT_EQ("prog:12:4", makeLine("x", 12)->getSourceRef(4));
    EXPECT_EQ("line 12 column 4", makeLine("x", 12, "")->getSourceRef(4));
    EXPECT_EQ("prog:12-14", makeLine("a\nb\nc", 12)->getSourceRef());
    EXPECT_EQ("lines 12-14", makeLine("a\nb\nc", 12, "")->getSourceRef(std::string::npos));
    EXPECT_EQ("prog", makeLine("a\nb", 0)->getSourceRef());
    EXPECT_EQ("prog:3", makeLine("a\nb", 0)->getSourceRef(3));
    EXPECT_EQ("", makeLine("x", 0, "")->getSourceRef());
    EXPECT_EQ(" column 3", makeLine("x", 0, "")->getSourceRef(3));
    EXPECT_EQ(0, makeLine("a\nb", 0)->numLines());
    EXPECT_EQ(2147483647, makeLine("a\nb", 2147483646)->lastLineNr());
}
