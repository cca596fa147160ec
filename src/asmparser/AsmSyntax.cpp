// AsmSyntax: the default classes of tarn assembly, the token predicates and the tokenizing step.
#include "asmparser/AsmSyntax.h"

#include <cctype>

AsmSyntax::AsmSyntax() : ignoredDirectives{""}, symbolDirectives{".DEF"}
{
    using namespace CharFilters;
    // Each filter is complete before a later one is built from it.
    singleCharTokens.include(openBracketChar, closeBracketChar, labelChar);
    separatorChars.include(isSpace, ":;,<>/?|\\[]{}()+=&");
    commentStartOrEndOfLine.include(isEndOfLine, commentChar);
    directiveValueChars = !commentStartOrEndOfLine;
    identifierChars.include(isAlnum, '_');
    identifierStartChars.include(isAlpha, '_');
    commentTextChars = !isEndOfLine;
    symbolRefChars.include(symbolRefChar, identifierChars);
    labelChars = identifierChars;
    addressRefChars.include(addressRefChar, identifierChars);
    caretWordChars.include(isAlnum, '_', caretChar);
    mnemonicChars = identifierChars;
    directiveChars.include(directiveChar, identifierChars);
    immediateChars.include(isDigit, isXDigit, '-');
    argumentChars.include(isAlnum, symbolRefChars, addressRefChars, immediateChars);
    statementWordChars.include(identifierChars, mnemonicChars, directiveChars, labelChars, caretWordChars);
}

bool AsmSyntax::isComment(const AsmToken& t) const
{
    return !t.empty() && t.front() == commentChar;
}

bool AsmSyntax::isDirective(const AsmToken& t) const
{
    return t.length() >= 2 && t.front() == directiveChar && t.passes(directiveChars);
}

bool AsmSyntax::isIdentifier(const AsmToken& t) const
{
    return !t.empty() && identifierStartChars.accept(t.front()) && t.passes(identifierChars);
}

bool AsmSyntax::isMnemonic(const AsmToken& t) const
{
    return t.passes(mnemonicChars);
}

bool AsmSyntax::isSymbolRef(const AsmToken& t) const
{
    return t.length() >= 2 && t.front() == symbolRefChar;
}

bool AsmSyntax::isAddressRef(const AsmToken& t) const
{
    return t.length() >= 2 && t.front() == addressRefChar;
}

bool AsmSyntax::isRegister(const AsmToken& t) const
{
    return t.length() >= 2 && std::isalpha(static_cast<unsigned char>(t[0])) != 0 &&
           std::isdigit(static_cast<unsigned char>(t[1])) != 0;
}

bool AsmSyntax::isImmediate(const AsmToken& t) const
{
    return t.passes(immediateChars);
}

template <typename Keep>
void AsmSyntax::cutToken(AsmToken& t, Keep keep) const
{
    t.stripFront();
    if (t.isAtEndOfSource()) {
        return;
    }
    if (singleCharTokens.accept(t.front())) {
        t.setLength(1);
        return;
    }
    // The word may run past the token's old end: it is cut from the line, not from the token.
    const char* p = t.begin();
    const size_t room = t.sourceLength() - t.start();
    size_t n = 0;
    while (n < room && keep(p[n])) {
        ++n;
    }
    t.setFinish(t.start() + n);
}

void AsmSyntax::filter2Token(AsmToken& t, const CharFilter& filter) const
{
    cutToken(t, [&filter](char c) { return filter.accept(c); });
}

void AsmSyntax::filter2Token(AsmToken& t) const
{
    cutToken(t, [this](char c) { return !separatorChars.accept(c); });
}
