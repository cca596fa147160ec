// Document symbols: labels and symbols in line order, with the ranges of their names.
#include "DocumentSymbols.h"

#include "Annotations.h"

#include <gtest/gtest.h>

namespace tarnasm::lsp {
namespace {

TEST(DocumentSymbols, LabelsAndSymbolsInLineOrder)
{
    const test::Annotations source(".DEF [[N]] 4\n[[a]]:  nop\n  [[b]] : wait $N\n.DEF [[R]]  R3 # reg\n[[a]]: nop\n");
    const Document document("file:///t.tasm", "t.tasm", source.text, 1);
    const auto symbols = documentSymbols(document);
    ASSERT_EQ(symbols.size(), 4u); // the repeated label is not a second symbol
    const char* names[] = {"N", "a", "b", "R"};
    const char* details[] = {"4", "address 0", "address 1", "R3"};
    for (std::size_t i = 0; i < symbols.size(); ++i) {
        EXPECT_EQ(symbols[i].name, names[i]);
        EXPECT_EQ(symbols[i].detail, details[i]);
        EXPECT_EQ(symbols[i].selectionRange, source.ranges[i]);
        EXPECT_EQ(symbols[i].range.start, (Position{source.ranges[i].start.line, 0}));
    }
    EXPECT_EQ(symbols[0].kind, SymbolKind::constant);
    EXPECT_EQ(symbols[1].kind, SymbolKind::function);
}

} // namespace
} // namespace tarnasm::lsp
