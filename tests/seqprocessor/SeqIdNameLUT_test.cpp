// Tests of the id-and-name lookup table: slots with holes, iteration order, and the rejection messages.
#include "seqprocessor/SeqField.h"
#include "seqprocessor/SeqIdNameLUT.h"

#include "support/ErrorText.h"

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

template <typename Table, typename Element>
std::string rejection(Table& table, std::shared_ptr<Element> e)
{
    return errorText<std::logic_error>([&] { table.add(e); });
}

} // namespace

TEST(SeqIdNameLUT, HolesOrderAndRejections)
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

    SeqFieldTable r{{21, "SELECT", 57, 57}, {3, "", 3, 3}};
    const std::string head = "Duplicate SeqIdNameLUT 8SeqField entry with";
    // The name is checked before the id, and the existing element comes first.
    EXPECT_EQ(head + " (id1=21, name1=\"SELECT\")& (id2=22, name2=\"SELECT\")",
              rejection(r, std::make_shared<SeqField>(22, "SELECT", 1, 1)));
    EXPECT_EQ("Adding nullptr to lookup table.", rejection(r, std::shared_ptr<SeqField>()));
    EXPECT_EQ((std::vector<unsigned int>{3, 21}), ids(r));
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
