// AsmParser: turns tarn assembly lines into statements, keeps the symbols of a run and prints statements back.
#pragma once

#include "asmparser/AsmArgument.h"
#include "asmparser/AsmDirectiveProcessor.h"
#include "asmparser/AsmStatement.h"
#include "asmparser/AsmSyntax.h"
#include "asmparser/AsmToken.h"
#include "support/ChunkPool.h"
#include "support/StopWatch.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <deque>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

class AsmErrorList;
class SourceLine;
class SourceReader;

class AsmParser
{
public:
    /// What is stored and what is printed; every parser starts with these values.
    struct AsmConfig
    {
        bool keepComments = false;
        bool keepCommentLines = false;
        bool keepAllDirectives = false;
        bool printAddressLabels = true;
        bool printAddresses = true;
        bool printComments = true;
        bool printCommentLines = true;
        bool printDirectives = true;
        std::unordered_set<std::string> keptDirectives;

        /// Exact, case-sensitive match of the directive word.
        bool shouldKeepDirective(const std::string& word) const;
    };

    /// Output columns of the printers, counted from 0.
    struct AsmFormat
    {
        int mnemonicColumn = 8;
        int argumentColumn = 20;
        int commentColumn = 40;
        int labelColumn = 0;
    };

    /// A name defined by a directive; value points into the defining line.
    struct Symbol
    {
        Symbol(AsmToken name, AsmToken value, int lineNr);

        AsmToken name;
        AsmToken value;
        int lineNr;
    };

    /// Symbols by the exact text of their names; looked up without building a key string.
    class SymbolTable
    {
    public:
        struct NameHash
        {
            using is_transparent = void;
            size_t operator()(std::string_view name) const noexcept { return std::hash<std::string_view>{}(name); }
        };
        using Map = std::unordered_map<std::string, Symbol, NameHash, std::equal_to<>>;
        using iterator = Map::iterator;
        using const_iterator = Map::const_iterator;

        /// An existing entry of the same name stays unchanged (flag false).
        std::pair<iterator, bool> insert(Symbol&& symbol);
        iterator find(const AsmToken& name);
        const_iterator find(const AsmToken& name) const;

        iterator begin() { return map_.begin(); }
        iterator end() { return map_.end(); }
        const_iterator begin() const { return map_.begin(); }
        const_iterator end() const { return map_.end(); }
        size_t size() const { return map_.size(); }
        bool empty() const { return map_.empty(); }
        void clear() { map_.clear(); }

    private:
        Map map_;
    };

    /// Handler of a directive that defines a symbol (".DEF name value").
    class DirectiveSymbolInserter : public AsmDirectiveProcessor
    {
    public:
        explicit DirectiveSymbolInserter(const std::string& directive) : AsmDirectiveProcessor(directive) {}
        void process(std::shared_ptr<AsmDirective>& directive) override;
        bool isSymbol() const override;
    };

    /// Handler of a directive that is accepted and has no effect.
    class IgnoreDirective : public AsmDirectiveProcessor
    {
    public:
        explicit IgnoreDirective(const std::string& directive) : AsmDirectiveProcessor(directive) {}
        void process(std::shared_ptr<AsmDirective>& directive) override;
    };

    /// Grows in pooled pieces: a program's list is never copied to a larger block.
    using StatementList = std::deque<std::shared_ptr<AsmStatement>, ChunkAllocator<std::shared_ptr<AsmStatement>>>;
    using DirectiveProcessorMap = std::map<AsmToken, std::shared_ptr<AsmDirectiveProcessor>>;
    using SymbolInsertResult = std::pair<SymbolTable::iterator, bool>;

    AsmParser();
    explicit AsmParser(const AsmSyntax& syntax);

    /// A whole run over a reader. Returns the list's number of error sources,
    /// or 1 when the reader cannot start.
    int parse(SourceReader& reader, AsmErrorList& errors);
    /// Begins a run: clears symbols, statements and line count, starts the timer.
    void start();
    void initializeParsing();
    /// Parses one line; files its error or keeps its statement.
    void processLine(const std::shared_ptr<const SourceLine>& line, AsmErrorList& errors);
    /// Stops the timer; its laps are the lines parsed.
    void finish(AsmErrorList& errors);

    /// Stored statements of the current run, in source order.
    const StatementList& statements() const { return statementList_; }
    const SteadyStopWatchSet& getTimers() const { return parseTimers_; }
    const SymbolTable& symbols() const { return symbols_; }
    uint32_t lineCount() const { return lineCount_; }
    /// Stored statements that define a label, as parsed: lets the assembler size its label table.
    size_t labelCount() const { return labelCount_; }
    const AsmSyntax& syntax() const { return syntax_; }
    AsmConfig& config() { return config_; }
    const AsmConfig& config() const { return config_; }
    AsmFormat& format() { return format_; }
    const AsmFormat& format() const { return format_; }

    /// The pieces a line is cut into, as a recorder sees them.
    enum class Piece
    {
        label,
        mnemonic,
        directive,
        symbolName,
        symbolValue,
        argument,
        comment, ///< from the comment character to the end of the line
    };
    /// Called with each piece as it is cut; index is the argument's, from 0, or -1.
    using PieceRecorder = std::function<void(Piece piece, const AsmToken& token, int index)>;
    /// While a Recording lives, parseLine only cuts: each piece goes to the recorder, and
    /// arguments are neither looked up nor read, so that a line is cut whole where reading it
    /// would fail (editors scan single lines, without the symbols of the rest). Ending with the
    /// scope, however it is left, no parser keeps calling a recorder that is gone.
    class Recording
    {
    public:
        Recording(AsmParser& parser, PieceRecorder recorder) : parser_(parser)
        {
            parser_.recorder_ = std::move(recorder);
        }
        ~Recording() { parser_.recorder_ = nullptr; }
        Recording(const Recording&) = delete;
        Recording& operator=(const Recording&) = delete;

    private:
        AsmParser& parser_;
    };

    /// The statement of one line, or empty when the line yields none; throws AsmError.
    std::shared_ptr<AsmStatement> parseLine(const std::shared_ptr<const SourceLine>& line);
    /// Reads the arguments from token, the rest of the line after the mnemonic;
    /// leaves token on what follows the last argument (or empty).
    void parseInstruction(std::shared_ptr<AsmInstruction>& instruction, AsmToken& token);
    std::shared_ptr<AsmArgument> parseArgument(const AsmToken& token);
    /// Gives the argument its kind and value from its string value.
    void parseArgValue(AsmArgument& argument);
    /// Accepts a comment (or nothing) in token; anything else is an error.
    void parseComment(std::shared_ptr<AsmStatement>& statement, AsmToken& token);

    /// The number after the register letter.
    static int64_t parseRegisterIntValue(const AsmToken& token);
    static char parseRegisterName(const AsmToken& token);
    static int64_t parseImmediateIntValue(const AsmToken& token);
    /// Converts the whole token (decimal, 0x hexadecimal, leading-0 octal);
    /// kind ("Register", "Immediate") names it in the error message.
    static int64_t getArgumentValue(const AsmToken& token, const char* kind);

    // Symbols and directives.
    void setDirectiveProcessor(const std::shared_ptr<AsmDirectiveProcessor>& processor);
    void setDirectiveSymbolInserter(const std::string& directive);
    void ignoreDirective(const std::string& directive);
    /// Reads name and value from token, the rest of the line after the
    /// directive word, then processes the directive; leaves token after the value.
    void parseDirective(std::shared_ptr<AsmDirective>& directive, AsmToken& token);
    void processDirective(std::shared_ptr<AsmDirective>& directive);
    void addSymbol(const AsmDirective& directive);
    SymbolInsertResult addSymbol(const AsmToken& name, const AsmToken& value, int lineNr);
    /// Accepts a new symbol or throws AsmDuplicateSymbolError naming both lines.
    void checkSymbolAdd(const SymbolInsertResult& result, const AsmDirective& directive);
    /// Copies the value of the named symbol into value; false when undefined.
    bool findSymbol(const AsmToken& name, AsmToken& value) const;
    /// Replaces the argument's string value by the symbol's value.
    bool resolveSymbol(AsmArgument& argument, const AsmToken& name);

    // Printing as assembly text; column is the caller's output column.
    /// Prints every stored statement; returns how many failed (each is logged).
    int unparse(std::ostream& os) const;
    /// One statement and a line feed.
    void unparseStatement(std::ostream& os, const AsmStatement& statement) const;
    void unparseInstruction(std::ostream& os, const AsmInstruction& instruction, int& column) const;
    /// Pads with blanks up to target; text past the target still gets one blank.
    static void alignToColumn(std::ostream& os, int target, int& column);
    void unparseAddressLabel(std::ostream& os, const AsmToken& label, int& column) const;
    void unparseAddressAsLabel(std::ostream& os, uint32_t address, int& column) const;
    void unparseArgument(std::ostream& os, const AsmArgument& argument, int& column) const;
    /// The text as written, "??" without value, "R3" for a register, else "0x1f".
    static void unparseArgument(std::ostream& os, const AsmArgument& argument);
    void unparseComment(std::ostream& os, const AsmToken& comment, int& column) const;
    static void unparseDirective(std::ostream& os, const AsmDirective& directive, int& column);

private:
    void init();
    /// A word that starts with NUL or a byte above 127 is unreadable text, not
    /// something to skip: it is reported instead of losing the line or its rest.
    void rejectUnreadableWord(const AsmToken& word) const;
    /// Gives the argument made from token its kind and value, substituting a symbol first.
    void readArgument(AsmArgument& argument, const AsmToken& token);
    /// Narrows token, which starts at the comment character, to the comment text.
    void cutComment(AsmToken& token) const;
    void extendOverCommentText(AsmToken& token) const;

    AsmSyntax syntax_;
    AsmConfig config_;
    AsmFormat format_;
    DirectiveProcessorMap directiveProcessors_;
    StatementList statementList_;
    SymbolTable symbols_;
    uint32_t lineCount_ = 0;
    size_t labelCount_ = 0;
    /// The arguments of the instruction being parsed, before they move into one block.
    std::vector<AsmArgument> argumentScratch_;
    std::shared_ptr<SteadyStopWatch> parseTimer_;
    SteadyStopWatchSet parseTimers_;
    PieceRecorder recorder_;

    void record(Piece piece, const AsmToken& token, int index = -1) const
    {
        if (recorder_ && !token.empty()) {
            recorder_(piece, token, index);
        }
    }
};

/// The name of a symbol reference: the token without its '$'.
AsmToken parseSymbolName(const AsmToken& token);
/// The label of an address reference: the token without its '@'.
AsmToken parseAddressName(const AsmToken& token);
