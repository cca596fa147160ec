// LineScanner: lines, operands and names read by the core's own parser, for editors.
#include "CoreCall.h"
#include "DiagnosticKind.h"
#include "asmparser/AsmArgument.h"
#include "asmparser/AsmParser.h"
#include "asmparser/AsmSyntax.h"
#include "asmparser/AsmToken.h"
#include "asmparser/CharFilter.h"
#include "source/AsmError.h"
#include "source/SourceLine.h"

#include <climits>
#include <memory>

namespace tarnasm {

namespace {

const AsmSyntax& syntax()
{
    static const AsmSyntax shared;
    return shared;
}

/// A parser per thread, so that scanning a line costs no construction of directive tables.
AsmParser& threadParser()
{
    thread_local AsmParser parser(syntax());
    return parser;
}

int clamped(size_t n)
{
    return n > INT_MAX ? INT_MAX : static_cast<int>(n);
}

/// What an operand's text is by the syntax's own tests, in the order the parser applies them.
TokenKind operandKind(const AsmToken& word)
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

/// Runs the parser's line reading with a recorder, then marks what it refused.
class LineScanner
{
public:
    explicit LineScanner(std::string_view text)
        : line_(std::make_shared<const SourceLine>(std::string(text)))
    {
    }

    std::vector<Token> scan()
    {
        AsmParser& parser = threadParser();
        parser.initializeParsing();
        {
            const AsmParser::Recording recording(parser, [this](AsmParser::Piece piece, const AsmToken& token,
                                                                int index) { add(piece, token, index); });
            try {
                parser.parseLine(line_);
            } catch (const AsmError&) {
                // Where the parser stops, the rest of the line is what it refused.
            }
        }
        if (tokens_.empty() || tokens_.back().kind != TokenKind::comment) {
            markRest();
        }
        return std::move(tokens_);
    }

private:
    void add(AsmParser::Piece piece, const AsmToken& token, int index)
    {
        using Piece = AsmParser::Piece;
        TokenKind kind = TokenKind::other;
        switch (piece) {
        case Piece::label:
            kind = TokenKind::label;
            break;
        case Piece::mnemonic:
            kind = TokenKind::mnemonic;
            break;
        case Piece::directive:
            kind = TokenKind::directive;
            break;
        case Piece::symbolName:
            kind = TokenKind::symbolName;
            break;
        case Piece::symbolValue:
            kind = TokenKind::symbolValue;
            break;
        case Piece::argument:
            kind = operandKind(token);
            break;
        case Piece::comment:
            kind = TokenKind::comment;
            break;
        }
        end_ = token.finish();
        afterLabel_ = piece == Piece::label;
        tokens_.push_back({kind, clamped(token.start()), clamped(token.length()), index});
    }

    /// What follows the last piece: text the parser refused, and a comment after it.
    void markRest()
    {
        const std::string_view text = line_->text();
        size_t start = end_;
        // The assembler's own blanks: a form feed it skips is no refused text.
        const auto skipBlanks = [&] {
            while (start < text.size() && CharFilters::isSpace(text[start])) {
                ++start;
            }
        };
        skipBlanks();
        if (afterLabel_ && start < text.size() && text[start] == syntax().labelChar) {
            ++start;
            skipBlanks();
        }
        if (start >= text.size()) {
            return;
        }
        const size_t comment = text.find(syntax().commentChar, start);
        size_t otherEnd = comment == std::string_view::npos ? text.size() : comment;
        while (otherEnd > start && CharFilters::isSpace(text[otherEnd - 1])) {
            --otherEnd;
        }
        if (otherEnd > start) {
            tokens_.push_back({TokenKind::other, clamped(start), clamped(otherEnd - start), -1});
        }
        if (comment != std::string_view::npos) {
            tokens_.push_back({TokenKind::comment, clamped(comment), clamped(text.size() - comment), -1});
        }
    }

    std::shared_ptr<const SourceLine> line_;
    std::vector<Token> tokens_;
    size_t end_ = 0;
    bool afterLabel_ = false;
};

} // namespace

std::vector<Token> scanLine(std::string_view line)
{
    return detail::guarded([line] { return LineScanner(line).scan(); });
}

OperandReading readOperand(std::string_view text)
{
    return detail::guarded([text] {
        OperandReading reading;
        const auto line = std::make_shared<const SourceLine>(std::string(text));
        AsmToken token(line);
        syntax().filter2Token(token, syntax().argumentChars);
        if (token.empty() || token.start() != 0 || token.length() != text.size()) {
            reading.error = "not one operand";
            reading.errorKind = DiagnosticKind::invalidOperand;
            return reading;
        }
        reading.kind = operandKind(token);
        try {
            if (reading.kind == TokenKind::symbolReference) {
                // Read as the parser reads it, but not looked up: one operand has no symbols.
                if (!syntax().isIdentifier(parseSymbolName(token))) {
                    const AsmToken name = parseSymbolName(token);
                    throw AsmSyntaxError(AsmErrorKind::invalidSymbolName, line, name.start(), name.length())
                        << "Invalid symbol name";
                }
                return reading;
            }
            AsmArgument argument(token);
            threadParser().parseArgValue(argument);
            if (!argument.hasAddressRef()) {
                reading.value = argument.intValue();
            }
        } catch (const AsmSyntaxError& error) {
            reading.error = error.errorMessage();
            reading.errorKind = detail::kindOf(error);
        }
        return reading;
    });
}

bool isName(std::string_view text)
{
    const AsmToken token{std::string(text)};
    return text.find_first_of("\r\n") == std::string_view::npos && syntax().isIdentifier(token);
}

} // namespace tarnasm
