// Tests of the error order: by line, then by arrival, sourceless last, even for a million errors.
#include "source/AsmErrorList.h"

#include "source/MakeLine.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

namespace {

std::shared_ptr<AsmError> syntaxError(int nr, const std::string& text = "x")
{
    return std::make_shared<AsmSyntaxError>(AsmErrorKind::other, makeLine(text, nr), 0, 1);
}

// Only a line number: keeps a million entries cheap.
class LineError : public AsmError
{
public:
    LineError(int nr, int id) : nr_(nr), id_(id) {}
    const char* what() const noexcept override { return ""; }
    const char* errorType() const override { return "LineError"; }
    int lineNr() const override { return nr_; }
    std::shared_ptr<AsmError> shared_ptr_copy() const override { return std::make_shared<LineError>(*this); }
    int id() const { return id_; }

private:
    int nr_;
    int id_;
};

}  // namespace

TEST(AsmErrorList, OrderByLineThenArrival)
{
    AsmErrorList list;
    const auto nine = syntaxError(9), threeA = syntaxError(3), threeB = syntaxError(3);
    const auto runtime = std::make_shared<AsmRuntimeError>("reader failed");
    list.insert(nine);
    list.insert(threeA);
    list.insert(runtime);
    list.insert(nullptr);
    list.insert(threeB);
    EXPECT_EQ((std::vector<std::shared_ptr<AsmError>>{threeA, threeB, nine, runtime}), list.errors());
    EXPECT_EQ(3u, list.numberOfErrorSources());
}

TEST(AsmErrorList, MillionInsertsStayCheap)
{
    // Descending lines with runtime errors among them: every entry sorts before the last one,
    // the order that costs a shift of the whole list per error when inserted in place.
    constexpr int count = 1000000;
    AsmErrorList list;
    const auto begin = std::chrono::steady_clock::now();
    for (int i = 0; i < count; ++i) {
        list.insert(std::make_shared<LineError>(i % 1000 == 0 ? 0 : count - i / 2, i));
    }
    const auto& errors = list.errors();
    const auto elapsed = std::chrono::steady_clock::now() - begin;
    std::printf("%d inserts and one ordered read: %lld ms\n", count,
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count()));

    ASSERT_EQ(static_cast<size_t>(count), errors.size());
    for (size_t i = 1; i < errors.size(); ++i) {
        const auto& a = static_cast<const LineError&>(*errors[i - 1]);
        const auto& b = static_cast<const LineError&>(*errors[i]);
        ASSERT_FALSE(AsmErrorList::sortByLineNr(errors[i], errors[i - 1])) << i;
        if (!AsmErrorList::sortByLineNr(errors[i - 1], errors[i])) {
            ASSERT_LT(a.id(), b.id()) << i;  // equal keys in arrival order
        }
    }
}
