// Tests of the id-and-name lookup table: slots with holes, iteration order, moves and exact name matches.
#include "seqprocessor/SeqField.h"
#include "seqprocessor/SeqIdNameLUT.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

std::vector<unsigned int> ids(const SeqFieldTable& t)
{
    std::vector<unsigned int> out;
    for (const SeqField& f : t) {
        out.push_back(f.id());
    }
    return out;
}

} // namespace

TEST(SeqIdNameLUT, HolesCopyAndMove)
{
    SeqFieldTable t;
    t.add({5, "FIVE", 5, 5});
    t.add({2, "", 2, 2}); // no name: found by id only
    t.add({0, "ZERO", 0, 0});
    EXPECT_EQ((std::vector<unsigned int>{0, 2, 5}), ids(t));
    EXPECT_FALSE(t.find(3u));
    EXPECT_FALSE(t.find(100u));
    EXPECT_FALSE(t.find(""));

    // A copy shares the elements; a move leaves nothing behind, not even the count.
    const SeqFieldTable copy = t;
    EXPECT_EQ(t.find(5u).get(), copy.find("FIVE").get());
    const SeqFieldTable moved = std::move(t);
    EXPECT_TRUE(t.empty());
    EXPECT_FALSE(t.find("FIVE"));
    EXPECT_EQ(copy.find(5u).get(), moved.find("FIVE").get());
}

TEST(SeqIdNameLUT, LookupMatchesTheWholeNameExactly)
{
    using namespace std::literals;
    // Tables of up to four slots are searched one by one, larger ones through the hash map.
    SeqFieldTable small{{1, "SEL", 1, 1}, {2, "", 2, 2}};
    SeqFieldTable large{{1, "SEL", 1, 1}, {2, "", 2, 2}, {5, "B", 5, 5}, {6, "C", 6, 6}};
    for (SeqFieldTable* t : {&small, &large}) {
        t->add(std::make_shared<SeqField>(3, "A\0B"s, 3, 3));
        EXPECT_EQ(1u, t->lookup("SEL"sv)->id());
        EXPECT_EQ(3u, t->lookup("A\0B"sv)->id());
        for (const std::string_view missing : {"sel"sv, "SE"sv, "SELE"sv, "SEL\0"sv, "SEL\0X"sv, "A"sv, ""sv}) {
            EXPECT_EQ(nullptr, t->lookup(missing)) << missing;
        }
        EXPECT_EQ(2u, t->lookup(2u)->id());
        EXPECT_EQ(nullptr, t->lookup(100u));
    }
}
