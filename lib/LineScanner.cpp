// LineScanner: one line cut into classified tokens with the parser's own syntax and word rules.
#include "CoreCall.h"
#include "asmparser/AsmSyntax.h"
#include "asmparser/AsmToken.h"
#include "source/SourceLine.h"

#include <climits>
#include <memory>

namespace tarnasm {

namespace {

/// Follows the steps of the parser's line reading, recording each word instead of checking it.
class LineScanner
{
public:
    explicit LineScanner(std::string_view text)
        : line_(std::make_shared<const SourceLine>(std::string(text)))
    {
    }

    std::vector<Token> scan()
    {
        AsmToken word(line_);
        word.stripFront();
        if (word.isAtEndOfSource()) {
            return std::move(tokens_);
        }
        syntax().filter2Token(word, syntax().statementWordChars);
        if (syntax().isDirective(word)) {
            add(TokenKind::directive, word);
            word.next();
            scanDirective(word);
        } else {
            if (syntax().isIdentifier(word)) {
                AsmToken after = word.following();
                syntax().filter2Token(after, syntax().statementWordChars);
                if (after == syntax().labelChar) {
                    add(TokenKind::label, word);
                    word = after.following();
                    syntax().filter2Token(word, syntax().statementWordChars);
                }
            }
            if (syntax().isMnemonic(word)) {
                add(TokenKind::mnemonic, word);
                word.next();
                scanOperands(word);
            }
        }
        scanRest(word);
        return std::move(tokens_);
    }

private:
    static const AsmSyntax& syntax()
    {
        static const AsmSyntax shared;
        return shared;
    }

    void add(TokenKind kind, const AsmToken& token, int operand = -1)
    {
        if (token.empty()) {
            return;
        }
        const auto clamp = [](size_t n) { return n > INT_MAX ? INT_MAX : static_cast<int>(n); };
        tokens_.push_back({kind, clamp(token.start()), clamp(token.length()), operand});
    }

    void scanDirective(AsmToken& word)
    {
        syntax().filter2Token(word, syntax().identifierChars);
        if (word.empty()) {
            return;
        }
        add(TokenKind::symbolName, word);
        word.next();
        syntax().filter2Token(word, syntax().directiveValueChars);
        word.stripBack();
        add(TokenKind::symbolValue, word);
        word.next();
    }

    void scanOperands(AsmToken& word)
    {
        syntax().filter2Token(word, syntax().argumentChars);
        for (int index = 0; !word.empty(); ++index) {
            add(operandKind(word), word, index);
            word.next();
            if (word.empty() || word.front() != syntax().separatorChar) {
                break;
            }
            word.popFront();
            syntax().filter2Token(word, syntax().argumentChars);
        }
    }

    static TokenKind operandKind(const AsmToken& word)
    {
        if (syntax().isSymbolRef(word)) {
            return TokenKind::symbolReference;
        }
        if (syntax().isAddressRef(word)) {
            return TokenKind::labelReference;
        }
        if (syntax().isRegister(word)) {
            return TokenKind::registerName;
        }
        if (syntax().isImmediate(word)) {
            return TokenKind::number;
        }
        return TokenKind::other;
    }

    /// What follows the statement: a comment, or text the parser would refuse.
    void scanRest(AsmToken word)
    {
        word.setFinish(line_->length());
        word.stripFront();
        if (word.empty()) {
            return;
        }
        if (word.front() == syntax().commentChar) {
            add(TokenKind::comment, word);
            return;
        }
        const size_t comment = std::string_view(word.data(), word.length()).find(syntax().commentChar);
        AsmToken other = word;
        if (comment != std::string_view::npos) {
            other.setFinish(word.start() + comment);
            word.setStart(word.start() + comment);
        }
        other.stripBack();
        add(TokenKind::other, other);
        if (comment != std::string_view::npos) {
            add(TokenKind::comment, word);
        }
    }

    std::shared_ptr<const SourceLine> line_;
    std::vector<Token> tokens_;
};

} // namespace

std::vector<Token> scanLine(std::string_view line)
{
    return detail::guarded([line] { return LineScanner(line).scan(); });
}

} // namespace tarnasm
