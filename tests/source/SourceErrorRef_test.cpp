// Tests of location texts, their order and pointer pictures.
#include "source/SourceErrorRef.h"

#include "source/MakeLine.h"

#include <gtest/gtest.h>

TEST(SourceErrorRef, PointToTextInSource)
{
    struct Case { std::string text; size_t start, length; std::string picture; };
    const Case cases[] = {
        {"\tab", 1, 1, "\n    ab\n----^\n"},          // a tab before moves the carets by three
        {"a\tb", 0, 3, "\na    b\n^^^^^^\n"},         // a tab inside widens them by three
        {"ab", 2, 1, "\nab\n--^\n"},                  // just past the end
        {"a\t", 2, 5, "\na    \n-----^\n"},           // past the end: tabs counted inside the text only
        {"ab", 1, 1000000, "\nab\n-^\n"},             // a wild length stays within the text
        {std::string("a\0b", 3), 2, 1, "\na?b\n--^\n"},  // NUL would cut the log line
        {"ab\ncd", 0, 1, "ab\ncd"},                   // continued line: no picture
        {"ab", 3, 1, "ab"},                           // start beyond the text: no range
        {"ab", 0, 0, "ab"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.picture, SourceErrorRef(makeLine(c.text), c.start, c.length).pointToTextInSource()) << c.text;
    }
    EXPECT_EQ("", SourceErrorRef(makeLine("abc", 0), 0, 1).pointToTextInSource());
    EXPECT_EQ("", SourceErrorRef(nullptr, 0, 1).pointToTextInSource());
}

// Most location texts are checked end to end; these are the ones the corpus cannot reach.
TEST(SourceErrorRef, RangeLocationAndOrder)
{
    const SourceErrorRef beyond(makeLine("ab"), 3, 2);
    EXPECT_EQ(std::string::npos, beyond.start());
    EXPECT_EQ("prog:7", beyond.getSourceRef());
    const SourceErrorRef missing(makeLine("add R1"), "abc");
    EXPECT_EQ(std::string::npos, missing.start());
    EXPECT_EQ("", missing.errorText());
    EXPECT_EQ("", SourceErrorRef(makeLine("ab", 0), 0, 1).getSourceRef());
    EXPECT_EQ("line 12 column 4", makeLine("x", 12, "")->getSourceRef(4));
    EXPECT_EQ("lines 12-14", makeLine("a\nb\nc", 12, "")->getSourceRef(std::string::npos));
    EXPECT_EQ(2147483647, makeLine("a\nb", 2147483646)->lastLineNr());

    const SourceErrorRef l5(makeLine("b\nc", 5), 0, 1), l5col(makeLine("bc", 5), 1, 1);
    EXPECT_FALSE(l5 < l5col);  // the column plays no part
    EXPECT_FALSE(l5col < l5);
    EXPECT_TRUE(l5 < SourceErrorRef(makeLine("a", 0), 0, 1));  // sourceless last
}

TEST(SourceErrorRef, LongLineCutAroundRange)
{
    // The picture of a line wider than the window keeps a window's width around the range.
    const size_t width = SourceErrorRef::maxPictureWidth;
    const std::string x(10000, 'x');
    const std::string midLine = x.substr(0, 5000) + "Y" + x.substr(0, 4999);
    const std::string tabs(1100, '\t');  // 4400 blanks when shown
    struct Case
    {
        std::string text;
        size_t start;
        size_t length;
        std::string shown;
        std::string pointer;
    };
    const Case cases[] = {
        {midLine, 5000, 1, "..." + x.substr(0, 2047) + "Y" + x.substr(0, 2048) + "...",
         std::string(2050, '-') + "^"},
        {x, 0, 3, x.substr(0, width) + "...", "^^^"},
        {x, 10000, 1, "..." + x.substr(0, width), std::string(width + 3, '-') + "^"},       // just past the end
        {x + x, 0, 20000, x.substr(0, width) + "...", std::string(width, '^')},               // carets stop at the cut
        {tabs + "X", 1100, 1, "..." + std::string(width - 1, ' ') + "X", std::string(width + 2, '-') + "^"},
        {x.substr(0, width), 4095, 1, x.substr(0, width), std::string(4095, '-') + "^"},  // exactly fits: no cut
    };
    for (const Case& c : cases) {
        EXPECT_EQ("\n" + c.shown + "\n" + c.pointer + "\n",
                  SourceErrorRef(makeLine(c.text), c.start, c.length).pointToTextInSource())
            << c.text.length() << " " << c.start;
    }
}
