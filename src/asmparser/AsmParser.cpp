// AsmParser: the line grammar, symbol substitution, directives and the printing of statements.
#include "asmparser/AsmParser.h"

#include "asmparser/CharFilter.h"
#include "source/AsmError.h"
#include "source/AsmErrorList.h"
#include "source/SourceLine.h"
#include "source/SourceReader.h"
#include "support/ChunkPool.h"
#include "support/Logging.h"
#include "support/StringUtil.h"
#include "support/ThrowBug.h"

#include <algorithm>
#include <exception>
#include <iomanip>
#include <limits>
#include <stdexcept>

namespace {

// Count for AsmToken::substr meaning "to the end of the token".
constexpr int toTheEnd = std::numeric_limits<int>::max();

const char* const spuriousCharacters = "AsmParser: spurious characters after statement";

// Characters written since before; 0 on a stream without put position.
int charsWrittenSince(std::ostream& os, std::streampos before)
{
    const std::streampos after = os.tellp();
    if (before == std::streampos(-1) || after == std::streampos(-1)) {
        return 0;
    }
    return static_cast<int>(after - before);
}

// The statement as the class its kind promises; anything else is an internal fault.
template <typename T>
const T& statementAs(const AsmStatement& statement, const char* function, const char* fault)
{
    const auto* typed = statementCast<const T>(&statement);
    if (typed == nullptr) {
        THROW_BUG(function, fault);
    }
    return *typed;
}

/// Above every base, so that one comparison rejects a character that is no digit.
int digitValue(char c)
{
    const int value = hexDigitValue(c);
    return value < 0 ? 99 : value;
}

// Reads the common forms (optional '-', decimal, 0x hexadecimal, leading-0 octal) of at most
// 17 characters, too short to overflow, without building a string. Anything else returns
// false and goes through stringToInt, which also words the errors. Kept for speed: without it
// the reference program takes 9% more instructions and 6 to 10% more time.
bool parsePlainInteger(const char* p, size_t n, long long& value)
{
    const bool negative = n > 0 && *p == '-';
    if (negative) {
        ++p;
        --n;
    }
    if (n == 0 || n > 17) {
        return false;
    }
    int base = 10;
    if (p[0] == '0' && n >= 2) {
        if (p[1] == 'x' || p[1] == 'X') {
            base = 16;
            p += 2;
            n -= 2;
            if (n == 0) {
                return false;
            }
        } else {
            base = 8;
            ++p;
            --n;
        }
    }
    unsigned long long magnitude = 0;
    for (size_t i = 0; i < n; ++i) {
        const int digit = digitValue(p[i]);
        if (digit >= base) {
            return false;
        }
        magnitude = magnitude * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
    }
    value = negative ? -static_cast<long long>(magnitude) : static_cast<long long>(magnitude);
    return true;
}

} // namespace

AsmToken parseSymbolName(const AsmToken& token)
{
    return token.substr(1, toTheEnd);
}

AsmToken parseAddressName(const AsmToken& token)
{
    return token.substr(1, toTheEnd);
}

bool AsmParser::AsmConfig::shouldKeepDirective(const std::string& word) const
{
    return keepAllDirectives || keptDirectives.count(word) != 0;
}

AsmParser::Symbol::Symbol(AsmToken name_, AsmToken value_, int lineNr_)
    : name(std::move(name_)), value(std::move(value_)), lineNr(lineNr_)
{
}

std::pair<AsmParser::SymbolTable::iterator, bool> AsmParser::SymbolTable::insert(Symbol&& symbol)
{
    std::string key = symbol.name.toString();
    return map_.try_emplace(std::move(key), std::move(symbol));
}

AsmParser::SymbolTable::iterator AsmParser::SymbolTable::find(const AsmToken& name)
{
    return map_.find(std::string_view(name.data(), name.length()));
}

AsmParser::SymbolTable::const_iterator AsmParser::SymbolTable::find(const AsmToken& name) const
{
    return map_.find(std::string_view(name.data(), name.length()));
}

void AsmParser::DirectiveSymbolInserter::process(std::shared_ptr<AsmDirective>&) {}

bool AsmParser::DirectiveSymbolInserter::isSymbol() const
{
    return true;
}

void AsmParser::IgnoreDirective::process(std::shared_ptr<AsmDirective>&) {}

AsmParser::AsmParser() : AsmParser(AsmSyntax()) {}

AsmParser::AsmParser(const AsmSyntax& syntax) : syntax_(syntax)
{
    init();
}

void AsmParser::init()
{
    for (const std::string& word : syntax_.symbolDirectives) {
        setDirectiveSymbolInserter(word);
    }
    for (const std::string& word : syntax_.ignoredDirectives) {
        ignoreDirective(word);
    }
    parseTimer_ = parseTimers_.add(std::make_shared<SteadyStopWatch>("parse", "source line"));
}

int AsmParser::parse(SourceReader& reader, AsmErrorList& errors)
{
    start();
    std::string reason;
    if (!reader.start(reason)) {
        errors.emplace<AsmRuntimeError>(reason, AsmErrorKind::unreadableSource);
        return 1;
    }
    // The line goes out of scope before the next read, so the reader can reuse it.
    while (std::shared_ptr<const SourceLine> line = reader.nextLine(false)) {
        processLine(line, errors);
    }
    finish(errors);
    reader.finish();
    return static_cast<int>(errors.numberOfErrorSources());
}

void AsmParser::start()
{
    initializeParsing();
    parseTimer_->start();
}

void AsmParser::initializeParsing()
{
    parseTimer_->reset();
    symbols_.clear();
    statementList_.clear();
    lineCount_ = 0;
    labelCount_ = 0;
}

void AsmParser::finish(AsmErrorList&)
{
    parseTimer_->stop();
    parseTimer_->setLapCount(lineCount_);
}

void AsmParser::processLine(const std::shared_ptr<const SourceLine>& line, AsmErrorList& errors)
{
    std::shared_ptr<AsmStatement> statement;
    try {
        statement = parseLine(line);
    } catch (const AsmError& error) {
        errors.insert(error.shared_ptr_copy());
        return;
    }
    if (!statement) {
        return;
    }
    bool keep = false;
    switch (statement->type()) {
    case AsmType::UNKNOWN:
        THROW_BUG("processLine", "Unexpected AsmType 'UNKNOWN' encountered in " << line->getSourceRef() << ": "
                                                                                 << line->toString());
    case AsmType::EMPTY:
        break;
    case AsmType::COMMENT:
        keep = config_.keepCommentLines;
        break;
    case AsmType::LABEL_ONLY:
        keep = true;
        ++labelCount_;
        break;
    case AsmType::DIRECTIVE: {
        const auto& directive = statementAs<AsmDirective>(
            *statement, "processLine",
            "AsmStatement of AsmType::DIRECTIVE is not an instance of the AsmDirective class");
        keep = config_.shouldKeepDirective(directive.directive().toString());
        break;
    }
    case AsmType::INSTRUCTION:
        if (statementAs<AsmInstruction>(
                *statement, "processLine",
                "AsmStatement of AsmType::INSTRUCTION is not an instance of the AsmInstruction class")
                .hasAddressLabel()) {
            ++labelCount_;
        }
        keep = true;
        break;
    default:
        THROW_BUG("processLine", "AsmParser::processLine: Unexpected default case");
    }
    if (keep) {
        statementList_.push_back(std::move(statement));
    }
}

std::shared_ptr<AsmStatement> AsmParser::parseLine(const std::shared_ptr<const SourceLine>& line)
{
    std::shared_ptr<AsmStatement> result;
    AsmToken label;
    ++lineCount_;

    AsmToken word(line);
    word.stripFront();
    if (word.isAtEndOfSource()) {
        return result;
    }
    syntax_.filter2Token(word, syntax_.statementWordChars);
    rejectUnreadableWord(word);

    if (syntax_.isDirective(word)) {
        record(Piece::directive, word);
        auto directive = makePooled<AsmDirective>(word);
        word.next();
        parseDirective(directive, word);
        result = std::move(directive);
    }
    if (!result && syntax_.isIdentifier(word)) {
        AsmToken after = word.following();
        syntax_.filter2Token(after, syntax_.statementWordChars);
        if (after == syntax_.labelChar) {
            record(Piece::label, word);
            label = word;
            word = after.following();
            syntax_.filter2Token(word, syntax_.statementWordChars);
            rejectUnreadableWord(word);
        }
    }
    if (!result && syntax_.isMnemonic(word)) {
        record(Piece::mnemonic, word);
        auto instruction = makePooled<AsmInstruction>(word);
        word.next();
        parseInstruction(instruction, word);
        if (!label.empty()) {
            instruction->setAddressLabel(label);
        }
        result = std::move(instruction);
    }
    if (!result && !label.empty()) {
        auto labelOnly = makePooled<AsmInstruction>(line, AsmType(AsmType::LABEL_ONLY));
        labelOnly->setAddressLabel(label);
        result = std::move(labelOnly);
    }
    parseComment(result, word);
    return result;
}

void AsmParser::rejectUnreadableWord(const AsmToken& word) const
{
    if (!word.empty() || word.isAtEndOfSource()) {
        return;
    }
    const auto first = static_cast<unsigned char>(word.front());
    if (first != 0 && first < 128) {
        return; // punctuation such as ';' or '-' starts a line that is skipped
    }
    AsmToken unreadable = word;
    syntax_.filter2Token(unreadable);
    throw AsmSyntaxError(AsmErrorKind::spuriousCharacters, unreadable.sourceLine(), unreadable.start(),
                         unreadable.length())
        << spuriousCharacters;
}

void AsmParser::parseInstruction(std::shared_ptr<AsmInstruction>& instruction, AsmToken& token)
{
    argumentScratch_.clear();
    syntax_.filter2Token(token, syntax_.argumentChars);
    while (!token.empty()) {
        if (recorder_) {
            record(Piece::argument, token, static_cast<int>(argumentScratch_.size()));
            argumentScratch_.emplace_back(token);
        } else {
            readArgument(argumentScratch_.emplace_back(token), token);
        }
        token.next();
        if (token.empty() || token.front() != syntax_.separatorChar) {
            break;
        }
        token.popFront();
        syntax_.filter2Token(token, syntax_.argumentChars);
    }
    const size_t count = argumentScratch_.size();
    if (count == 0 || recorder_) {
        // A recorded line is only cut: its arguments are not kept.
        argumentScratch_.clear();
        return;
    }
    // One allocation holds all arguments of the instruction; each argument's pointer shares it.
    // Kept for hostile input: the arguments of a faulty line never reach the pool, where their
    // dead blocks would keep chunks alive. A pooled object per argument gains the reference
    // program nothing and raises the peak of a million faulty lines from 682 to 964 MB.
    std::shared_ptr<AsmArgument[]> block = makePooled<AsmArgument[]>(count);
    std::move(argumentScratch_.begin(), argumentScratch_.end(), block.get());
    instruction->reserveArgs(count);
    for (size_t i = 0; i < count; ++i) {
        instruction->addArg(std::shared_ptr<AsmArgument>(block, block.get() + i));
    }
    argumentScratch_.clear();
}

std::shared_ptr<AsmArgument> AsmParser::parseArgument(const AsmToken& token)
{
    auto argument = makePooled<AsmArgument>(token);
    readArgument(*argument, token);
    return argument;
}

void AsmParser::readArgument(AsmArgument& argument, const AsmToken& token)
{
    if (syntax_.isSymbolRef(token)) {
        const AsmToken name = parseSymbolName(token);
        if (!syntax_.isIdentifier(name)) {
            throw AsmSyntaxError(AsmErrorKind::invalidSymbolName, name.sourceLine(), name.start(), name.length())
                << "Invalid symbol name";
        }
        if (!resolveSymbol(argument, name)) {
            throw AsmUnresolvedSymbolError(name.errorRef(), name.toString());
        }
        if (Logging::getLogLevel() >= Logging::VERBOSE) {
            Logging::write(Logging::DEBUG, "parsing: line %d, lookup of symbol '%s' gave value '%s'",
                           token.sourceLine()->lineNr(), name.toString().c_str(),
                           argument.stringValue().toString().c_str());
        }
    }
    parseArgValue(argument);
}

void AsmParser::parseArgValue(AsmArgument& argument)
{
    // A symbol's value lies in its definition line, so errors point there.
    const AsmToken& text = argument.stringValue();
    if (syntax_.isAddressRef(text)) {
        AsmToken name = parseAddressName(text);
        if (!syntax_.isIdentifier(name)) {
            throw AsmSyntaxError(AsmErrorKind::invalidLabelReference, name.sourceLine(), name.start(), name.length())
                << "Invalid address label reference";
        }
        argument.setAddressLabel(name);
        argument.setImmediate();
    } else if (syntax_.isRegister(text)) {
        // Register wins over immediate: 'a1' and 'F0' are registers.
        const int64_t value = parseRegisterIntValue(text);
        argument.setRegisterNameIntValue(parseRegisterName(text), value);
    } else if (syntax_.isImmediate(text)) {
        argument.setImmediateIntValue(parseImmediateIntValue(text));
    } else {
        throw AsmSyntaxError(AsmErrorKind::invalidOperand, text.sourceLine(), text.start(), text.length())
            << "Invalid argument";
    }
}

int64_t AsmParser::parseRegisterIntValue(const AsmToken& token)
{
    return getArgumentValue(token.substr(1, toTheEnd), "Register");
}

char AsmParser::parseRegisterName(const AsmToken& token)
{
    return token.front();
}

int64_t AsmParser::parseImmediateIntValue(const AsmToken& token)
{
    return getArgumentValue(token, "Immediate");
}

int64_t AsmParser::getArgumentValue(const AsmToken& token, const char* kind)
{
    long long value = 0;
    if (parsePlainInteger(token.data(), token.length(), value)) {
        return value;
    }
    std::string detail;
    try {
        stringToInt(value, token.toString());
        return value;
    } catch (const std::invalid_argument& e) {
        detail = e.what();
    } catch (const std::out_of_range& e) {
        detail = e.what();
    } catch (...) {
        detail = "Expected an integer number";
    }
    throw AsmSyntaxError(AsmErrorKind::invalidNumber, token.sourceLine(), token.start(), token.length())
        << "AsmParser: Invalid " << kind << " argument: " << detail;
}

void AsmParser::parseComment(std::shared_ptr<AsmStatement>& statement, AsmToken& token)
{
    token.stripFront();
    // Unreadable bytes after a statement would silently take the rest of the line with them.
    rejectUnreadableWord(token);
    if (token.empty() || token.isAtEndOfSource() || CharFilters::isEndOfLine(token.front())) {
        return;
    }
    if (!syntax_.isComment(token)) {
        throw AsmSyntaxError(AsmErrorKind::spuriousCharacters, token.sourceLine(), token.start(), token.length())
            << spuriousCharacters;
    }
    if (recorder_) {
        const size_t end = token.sourceLine()->text().length();
        record(Piece::comment, AsmToken(token.sourceLine(), token.start(), static_cast<int>(end - token.start())));
    }
    cutComment(token);
    const bool multiLine = token.sourceLine()->isMultiLine();
    if (multiLine) {
        for (AsmToken next = token.following(); syntax_.isComment(next); next = token.following()) {
            extendOverCommentText(next);
            token.setFinish(next.finish());
        }
    }
    if (config_.keepComments) {
        if (statement) {
            statement->setComment(token);
        } else if (config_.keepCommentLines) {
            statement = makePooled<AsmStatement>(token);
        }
    }
    if (multiLine) {
        token.next();
    }
}

void AsmParser::cutComment(AsmToken& token) const
{
    token.advance(1);
    // Only blanks of this physical line are skipped, and a leading ':' or '['
    // is ordinary comment text, so the word cutter is not used here.
    while (!token.empty() && CharFilters::isSpace(token.front()) && !CharFilters::isEndOfLine(token.front())) {
        token.advance(1);
    }
    extendOverCommentText(token);
}

void AsmParser::extendOverCommentText(AsmToken& token) const
{
    const std::string_view text = token.sourceLine()->text();
    size_t end = token.start();
    while (end < text.length() && syntax_.commentTextChars(text[end])) {
        ++end;
    }
    token.setFinish(end);
}

// ---- Symbols and directives ----

void AsmParser::setDirectiveProcessor(const std::shared_ptr<AsmDirectiveProcessor>& processor)
{
    directiveProcessors_.erase(processor->directive());
    directiveProcessors_.emplace(processor->directive(), processor);
}

void AsmParser::setDirectiveSymbolInserter(const std::string& directive)
{
    setDirectiveProcessor(std::make_shared<DirectiveSymbolInserter>(directive));
}

void AsmParser::ignoreDirective(const std::string& directive)
{
    setDirectiveProcessor(std::make_shared<IgnoreDirective>(directive));
}

void AsmParser::parseDirective(std::shared_ptr<AsmDirective>& directive, AsmToken& token)
{
    syntax_.filter2Token(token, syntax_.identifierChars);
    if (token.empty()) {
        throw AsmSyntaxError(AsmErrorKind::directiveWithoutName, directive->sourceLine(), token.start(), 1)
            << "AsmParser: empty directive " << directive->directive();
    }
    directive->setName(token);
    record(Piece::symbolName, token);
    token.next();
    syntax_.filter2Token(token, syntax_.directiveValueChars);
    token.stripBack();
    if (token.empty()) {
        throw AsmSyntaxError(AsmErrorKind::directiveWithoutValue, directive->sourceLine(), token.start(), 1)
            << "AsmParser: directive " << directive->directive() << " has no value";
    }
    directive->setValue(token);
    record(Piece::symbolValue, token);
    processDirective(directive);
    token.next();
}

void AsmParser::processDirective(std::shared_ptr<AsmDirective>& directive)
{
    if (!directive) {
        return;
    }
    const AsmToken& word = directive->directive();
    const auto found = directiveProcessors_.find(word);
    if (found == directiveProcessors_.end()) {
        throw AsmSyntaxError(AsmErrorKind::unknownDirective, directive->sourceLine(), word.start(), word.length())
            << "AsmParser: directive '" << word << "' not supported";
    }
    const std::shared_ptr<AsmDirectiveProcessor> processor = found->second;
    processor->process(directive);
    if (processor->isSymbol()) {
        addSymbol(*directive);
    }
}

void AsmParser::addSymbol(const AsmDirective& directive)
{
    checkSymbolAdd(addSymbol(directive.name(), directive.value(), directive.sourceLine()->lineNr()), directive);
}

AsmParser::SymbolInsertResult AsmParser::addSymbol(const AsmToken& name, const AsmToken& value, int lineNr)
{
    return symbols_.insert(Symbol(name, value, lineNr));
}

void AsmParser::checkSymbolAdd(const SymbolInsertResult& result, const AsmDirective& directive)
{
    const Symbol& symbol = result.first->second;
    if (result.second) {
        if (Logging::getLogLevel() >= Logging::VERBOSE) {
            Logging::write(Logging::DEBUG, "parse: line %d, found symbol: %s = '%s'", symbol.lineNr,
                           symbol.name.toString().c_str(), symbol.value.toString().c_str());
        }
        return;
    }
    throw AsmDuplicateSymbolError({directive.name().errorRef(), symbol.name.errorRef()}, symbol.name.toString());
}

bool AsmParser::findSymbol(const AsmToken& name, AsmToken& value) const
{
    const auto found = symbols_.find(name);
    if (found == symbols_.end()) {
        return false;
    }
    value = found->second.value;
    return true;
}

bool AsmParser::resolveSymbol(AsmArgument& argument, const AsmToken& name)
{
    AsmToken value;
    if (!findSymbol(name, value)) {
        return false;
    }
    argument.setStringValue(value);
    return true;
}

// ---- Printing ----

int AsmParser::unparse(std::ostream& os) const
{
    int failures = 0;
    for (const auto& statement : statementList_) {
        try {
            unparseStatement(os, *statement);
        } catch (const std::exception& e) {
            if (Logging::getLogLevel() >= Logging::ERROR) {
                Logging::write(Logging::ERROR, "%s", e.what());
            }
            ++failures;
        }
    }
    return failures;
}

void AsmParser::unparseStatement(std::ostream& os, const AsmStatement& statement) const
{
    int column = 0;
    switch (statement.type()) {
    case AsmType::EMPTY:
        break;
    case AsmType::COMMENT:
        if (config_.printComments && config_.printCommentLines && statement.hasComment()) {
            unparseComment(os, statement.comment(), column);
        }
        break;
    case AsmType::LABEL_ONLY:
        if (config_.printAddressLabels) {
            const auto& labelOnly = statementAs<AsmInstruction>(
                statement, "unparseStatement",
                "AsmStatement of type LABEL_ONLY is not an instance of class AsmInstruction");
            unparseAddressLabel(os, labelOnly.addressLabel(), column);
            if (config_.printComments && statement.hasComment()) {
                unparseComment(os, statement.comment(), column);
            }
        }
        break;
    case AsmType::DIRECTIVE:
        if (config_.printDirectives) {
            const auto& directive = statementAs<AsmDirective>(
                statement, "unparseStatement",
                "AsmStatement of type DIRECTIVE is not an instance of class AsmDirective");
            unparseDirective(os, directive, column);
        }
        break;
    case AsmType::INSTRUCTION: {
        const auto& instruction = statementAs<AsmInstruction>(
            statement, "unparseStatement",
            "AsmStatement of type INSTRUCTION is not an instance of class AsmInstruction");
        unparseInstruction(os, instruction, column);
        break;
    }
    default:
        THROW_BUG("unparseStatement", "Not all statement types covered");
    }
    os << '\n';
}

void AsmParser::unparseInstruction(std::ostream& os, const AsmInstruction& instruction, int& column) const
{
    if (config_.printAddressLabels && instruction.hasAddressLabel()) {
        alignToColumn(os, format_.labelColumn, column);
        unparseAddressLabel(os, instruction.addressLabel(), column);
    } else if (config_.printAddresses && instruction.hasAddress()) {
        alignToColumn(os, format_.labelColumn, column);
        unparseAddressAsLabel(os, instruction.address(), column);
    }
    alignToColumn(os, format_.mnemonicColumn, column);
    os << instruction.command();
    column += static_cast<int>(instruction.command().length());

    bool first = true;
    for (const auto& argument : instruction.argList()) {
        if (first) {
            alignToColumn(os, format_.argumentColumn, column);
            first = false;
        } else {
            os << syntax_.separatorChar << ' ';
            column += 2;
        }
        unparseArgument(os, *argument, column);
    }
    if (config_.printComments && instruction.hasComment()) {
        alignToColumn(os, format_.commentColumn, column);
        unparseComment(os, instruction.comment(), column);
    }
}

void AsmParser::alignToColumn(std::ostream& os, int target, int& column)
{
    const int distance = target - column;
    if (distance >= 2) {
        os << std::right << std::setw(distance) << ' ';
        column += distance;
    } else if (distance == 1 || column > 0) {
        os << ' ';
        column += 1;
    }
}

void AsmParser::unparseAddressLabel(std::ostream& os, const AsmToken& label, int& column) const
{
    os << label << syntax_.labelChar;
    column += static_cast<int>(label.length()) + 1;
}

void AsmParser::unparseAddressAsLabel(std::ostream& os, uint32_t address, int& column) const
{
    const std::streampos before = os.tellp();
    os << address << syntax_.labelChar;
    column += charsWrittenSince(os, before);
}

void AsmParser::unparseArgument(std::ostream& os, const AsmArgument& argument, int& column) const
{
    const std::streampos before = os.tellp();
    unparseArgument(os, argument);
    column += charsWrittenSince(os, before);
}

void AsmParser::unparseArgument(std::ostream& os, const AsmArgument& argument)
{
    if (argument.hasStringValue()) {
        os << argument.stringValue();
    } else if (!argument.hasIntValue()) {
        os << "??";
    } else if (argument.isRegister()) {
        os << argument.registerName() << argument.intValue();
    } else {
        os << "0x" << std::hex << static_cast<uint64_t>(argument.intValue()) << std::dec;
    }
}

void AsmParser::unparseComment(std::ostream& os, const AsmToken& comment, int& column) const
{
    os << syntax_.commentChar << comment;
    column += static_cast<int>(comment.length()) + 1;
}

void AsmParser::unparseDirective(std::ostream& os, const AsmDirective& directive, int&)
{
    os << directive.directive() << ' ' << directive.name() << ' ' << directive.value();
}
