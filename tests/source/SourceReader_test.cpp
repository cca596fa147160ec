// Tests of line splitting, numbering and failures of the four readers.
#include "source/SourceReader.h"

#include "support/ErrorText.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace {

// Every line as "number:text", after a successful start.
std::vector<std::string> readAll(SourceReader& reader)
{
    std::string reason;
    EXPECT_TRUE(reader.start(reason)) << reason;
    std::vector<std::string> lines;
    while (auto line = reader.nextLine(false)) {
        lines.push_back(std::to_string(line->lineNr()) + ":" + line->toString());
    }
    reader.finish();
    return lines;
}

using Lines = std::vector<std::string>;

/// The text of the runtime error the next read throws, or "(no error)".
std::string nextLineError(SourceReader& reader)
{
    return errorText<std::runtime_error>([&] { reader.nextLine(false); });
}

}  // namespace

TEST(SourceReader, LineEndsThroughEveryReader)
{
    // charArray where it differs: one line end per character.
    struct Case { std::string text; Lines stringAndStream, charArray; };
    const std::string bom = "\xEF\xBB\xBF";
    const Case cases[] = {
        {"a\r\nb", {"1:a", "2:b"}, {"1:a", "2:", "3:b"}},
        {"a\n\rb", {"1:a", "2:b"}, {"1:a", "2:", "3:b"}},
        {"a\rb\nc", {"1:a", "2:b", "3:c"}, {}},
        {"a\n\nb\n", {"1:a", "2:", "3:b"}, {}},
        {"a\r\n\r\nb", {"1:a", "2:", "3:b"}, {"1:a", "2:", "3:", "4:", "5:b"}},
        {bom + "a\nb", {"1:a", "2:b"}, {}},
        {"\xEF\xBB" "a", {"1:\xEF\xBB" "a"}, {}},  // no full mark: the bytes stay
        {"\xC3\xA9\xFF\n", {"1:\xC3\xA9\xFF"}, {}},
    };
    for (const Case& c : cases) {
        const Lines& array = c.charArray.empty() ? c.stringAndStream : c.charArray;
        StringSourceReader stringReader(c.text);
        EXPECT_EQ(c.stringAndStream, readAll(stringReader)) << c.text;
        std::istringstream stream(c.text);
        StreamSourceReader streamReader(stream);
        EXPECT_EQ(c.stringAndStream, readAll(streamReader)) << c.text;
        CharArraySourceReader arrayReader(c.text.c_str(), c.text.length());
        EXPECT_EQ(array, readAll(arrayReader)) << c.text;
    }
}

TEST(SourceReader, EmptySource)
{
    // A stream only learns of its end by reading: one empty line 1.
    for (const std::string text : {"", "\xEF\xBB\xBF"}) {
        std::istringstream stream(text);
        StreamSourceReader streamReader(stream);
        EXPECT_EQ(Lines{"1:"}, readAll(streamReader));
        StringSourceReader stringReader(text);
        EXPECT_EQ(Lines{}, readAll(stringReader));
        CharArraySourceReader arrayReader(text.c_str());
        EXPECT_EQ(Lines{}, readAll(arrayReader));
    }
}

TEST(StreamSourceReader, LinesAcrossReadChunks)
{
    // The stream is read in chunks of 65536 characters: a line end pair split between two
    // chunks is still one line end, and a line may span chunks.
    const std::string first(65535, 'a');
    const std::string second(70000, 'b');
    for (const std::string pair : {"\r\n", "\n\r"}) {
        std::istringstream stream(first + pair + second + "\nc\r\n");
        StreamSourceReader reader(stream);
        EXPECT_EQ((Lines{"1:" + first, "2:" + second, "3:c", "4:"}), readAll(reader));
    }
}

TEST(CharArraySourceReader, NulEndsSourceOnlyAtLineStart)
{
    const char text[] = "a\0b\n\0c\n";
    CharArraySourceReader reader(text, sizeof(text) - 1);
    EXPECT_EQ(Lines{std::string("1:a\0b", 5)}, readAll(reader));

    std::string reason;
    EXPECT_FALSE(CharArraySourceReader().start(reason));
    EXPECT_EQ("Empty character array source", reason);
    EXPECT_FALSE(CharArraySourceReader(nullptr).start(reason));
}

TEST(FileSourceReader, ReadsAgainAfterFinish)
{
    const std::string fileName = ::testing::TempDir() + "tarnasm_reader_test.tasm";
    std::ofstream(fileName, std::ios::binary) << "\xEF\xBB\xBFnop\r\nhalt";
    FileSourceReader reader(fileName);
    EXPECT_EQ((Lines{"1:nop", "2:halt"}), readAll(reader));
    EXPECT_EQ((Lines{"1:nop", "2:halt"}), readAll(reader));  // reopened on restart
    EXPECT_EQ(nullptr, reader.nextLine(false));               // closed by finish
    std::remove(fileName.c_str());
}

TEST(SourceReader, ContinuationAndReuse)
{
    StringSourceReader reader("a\nb\nc\nd", "prog");
    std::string reason;
    ASSERT_TRUE(reader.start(reason));
    auto first = reader.nextLine(false);
    const SourceLine* object = first.get();
    first.reset();
    auto joined = reader.nextLine(false);
    EXPECT_EQ(object, joined.get());  // nobody held line 1: reused
    EXPECT_EQ(joined, reader.nextLine(true));
    EXPECT_EQ("b\nc", joined->toString());
    EXPECT_EQ("prog:2-3", joined->getSourceRef());
    auto last = reader.nextLine(false);
    EXPECT_NE(joined.get(), last.get());  // line 2-3 is held: a new object
    EXPECT_EQ("b\nc", joined->toString());
    EXPECT_EQ(4, last->lineNr());
    EXPECT_EQ(nullptr, reader.nextLine(false));

    // Reading again numbers the same lines the same way.
    ASSERT_TRUE(reader.start(reason));
    EXPECT_EQ(1, reader.nextLine(false)->lineNr());
}

namespace {

// A reader whose numbering has nearly run out.
class LongStringReader : public StringSourceReader
{
public:
    using StringSourceReader::StringSourceReader;
    void skipLines(int n) { setLineCounter(n); }
};

// Hands out its text, then fails as a device would.
class FailingBuffer : public std::streambuf
{
public:
    explicit FailingBuffer(std::string text) : text_(std::move(text)) { rewind(); }

protected:
    int_type underflow() override { throw std::runtime_error("device error"); }
    pos_type seekoff(off_type off, std::ios::seekdir dir, std::ios::openmode) override
    {
        if (off != 0 || dir != std::ios::beg) {
            return pos_type(off_type(-1));
        }
        rewind();
        return pos_type(0);
    }

private:
    void rewind() { setg(text_.data(), text_.data(), text_.data() + text_.size()); }
    std::string text_;
};

}  // namespace

TEST(SourceReader, LineCounterCannotOverflow)
{
    LongStringReader reader("a\nb\nc", "big.tasm");
    std::string reason;
    ASSERT_TRUE(reader.start(reason));
    reader.skipLines(INT_MAX - 2);
    EXPECT_EQ(INT_MAX - 1, reader.nextLine(false)->lineNr());
    EXPECT_EQ(INT_MAX, reader.nextLine(false)->lineNr());
    EXPECT_EQ("Reading from source big.tasm stopped after line 2147483647: no more lines can be numbered",
              nextLineError(reader));

    LongStringReader exact("a\nb");
    ASSERT_TRUE(exact.start(reason));
    exact.skipLines(INT_MAX - 2);
    exact.nextLine(false);
    EXPECT_EQ(INT_MAX, exact.nextLine(false)->lineNr());
    EXPECT_EQ(nullptr, exact.nextLine(false));
}

TEST(StreamSourceReader, ReadErrorThrows)
{
    FailingBuffer buffer("ok\nab");
    std::istream stream(&buffer);
    StreamSourceReader reader(stream, "dev");
    std::string reason;
    ASSERT_TRUE(reader.start(reason)) << reason;
    EXPECT_EQ("ok", reader.nextLine(false)->toString());
    // A read error must not pass as the end of the source.
    EXPECT_EQ("Reading from stream dev resulted in 'bad' state (read error on i/o operation). "
              "Line read so far:\nab\nLast read character value = 98",
              nextLineError(reader));
    EXPECT_FALSE(reader.start(reason));
    EXPECT_EQ("Read error", reason);

    // Looking past a line end for its second character fails too: that line is not handed out.
    FailingBuffer afterLineEnd("ok\r");
    std::istream failing(&afterLineEnd);
    StreamSourceReader lineEndReader(failing, "dev");
    ASSERT_TRUE(lineEndReader.start(reason)) << reason;
    EXPECT_EQ("Reading from stream dev resulted in 'bad' state (read error on i/o operation). "
              "Line read so far:\nok\nLast read character value = 13",
              nextLineError(lineEndReader));
}

TEST(SourceReader, PhysicalLineLengthIsBounded)
{
    // The longest line passes whole; one character more ends the read, naming that line.
    const std::string longest(SourceReader::maxLineLength, 'a');
    const std::string text = longest + "\n" + longest + "b\nc";
    const char* expected = "line 2 of big.tasm is longer than 1048576 characters";
    std::istringstream stream(text);
    StreamSourceReader streamReader(stream, "big.tasm");
    StringSourceReader stringReader(text, "big.tasm");
    CharArraySourceReader arrayReader(text.c_str(), text.length(), "big.tasm");
    for (SourceReader* reader : {static_cast<SourceReader*>(&streamReader),
                                 static_cast<SourceReader*>(&stringReader),
                                 static_cast<SourceReader*>(&arrayReader)}) {
        std::string reason;
        ASSERT_TRUE(reader->start(reason)) << reason;
        EXPECT_EQ(longest, reader->nextLine(false)->toString());
        EXPECT_EQ(expected, nextLineError(*reader));
    }
}
