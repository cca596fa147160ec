// AsmSyntax: the special characters, character classes and directive lists of tarn assembly.
#pragma once

#include "asmparser/AsmToken.h"
#include "asmparser/CharFilter.h"

#include <string>
#include <vector>

/// The lexical rules of the language, fixed at construction. Members are public for the parser's
/// read access; nothing changes them after the constructor.
class AsmSyntax
{
public:
    AsmSyntax();

    // A token passes a filter when it is non-empty and all its bytes are members.
    bool isComment(const AsmToken& t) const;
    /// At least two bytes, '.' first, all of directiveChars. Whether it is known is decided later.
    bool isDirective(const AsmToken& t) const;
    bool isIdentifier(const AsmToken& t) const;
    /// All of mnemonicChars; may begin with a digit.
    bool isMnemonic(const AsmToken& t) const;
    /// '$' and at least one more byte; the name is judged later.
    bool isSymbolRef(const AsmToken& t) const;
    /// '@' and at least one more byte; the label is judged later.
    bool isAddressRef(const AsmToken& t) const;
    /// An ASCII letter, then an ASCII digit; the rest is judged later.
    bool isRegister(const AsmToken& t) const;
    /// All of immediateChars; the value is parsed later.
    bool isImmediate(const AsmToken& t) const;

    /// Cuts t down to the next word: blanks skipped, then '[', ']' or ':' alone, or else the run of
    /// characters in filter up to the end of the line (possibly empty, keeping its start).
    void filter2Token(AsmToken& t, const CharFilter& filter) const;
    /// The same, the word running up to the first character of separatorChars.
    void filter2Token(AsmToken& t) const;

    char commentChar = '#';
    char separatorChar = ',';
    char labelChar = ':';
    char directiveChar = '.';
    char symbolRefChar = '$';
    char addressRefChar = '@';
    char openBracketChar = '[';
    char closeBracketChar = ']';
    char caretChar = '^';

    CharFilter singleCharTokens;
    CharFilter separatorChars;
    CharFilter commentStartOrEndOfLine;
    CharFilter directiveValueChars;
    CharFilter identifierChars;
    CharFilter identifierStartChars;
    CharFilter commentTextChars;
    CharFilter symbolRefChars;
    CharFilter labelChars;
    CharFilter addressRefChars;
    CharFilter caretWordChars;
    CharFilter mnemonicChars;
    CharFilter directiveChars;
    CharFilter immediateChars;
    CharFilter argumentChars;
    CharFilter statementWordChars;

    std::vector<std::string> ignoredDirectives;
    std::vector<std::string> symbolDirectives;

private:
    /// Narrows t from its start to the run of bytes for which keep(byte) holds.
    template <typename Keep>
    void cutToken(AsmToken& t, Keep keep) const;
};
