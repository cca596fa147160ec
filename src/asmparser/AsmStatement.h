// AsmStatement and its kinds: the parsed form of one source line (instruction, label or directive).
#pragma once

#include "asmparser/AsmArgument.h"
#include "asmparser/AsmToken.h"
#include "support/ChunkPool.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class SourceLine;

/// The kind of a statement: a 16-bit number with named values.
class AsmType
{
public:
    static constexpr uint16_t UNKNOWN = 0;      ///< never produced; meeting it is an internal fault
    static constexpr uint16_t EMPTY = 1;
    static constexpr uint16_t COMMENT = 2;      ///< only a comment
    static constexpr uint16_t LABEL_ONLY = 3;   ///< a label without instruction; an AsmInstruction
    static constexpr uint16_t DIRECTIVE = 4;    ///< an AsmDirective
    static constexpr uint16_t INSTRUCTION = 5;  ///< an AsmInstruction

    constexpr AsmType(uint16_t value) : value_(value) {}
    constexpr uint16_t value() const { return value_; }
    constexpr bool operator==(uint16_t value) const { return value_ == value; }
    constexpr bool operator==(const AsmType& other) const = default;
    constexpr AsmType& operator=(uint16_t value)
    {
        value_ = value;
        return *this;
    }

private:
    uint16_t value_;
};

/// The base of every statement: its line, its comment and its kind.
class AsmStatement
{
public:
    using SourcePtr = std::shared_ptr<const SourceLine>;

    AsmStatement() = default;
    /// A comment-only statement on the comment's line.
    explicit AsmStatement(const AsmToken& comment);
    AsmStatement(SourcePtr sourceLine, AsmType type);
    AsmStatement(const AsmStatement&) = default;
    AsmStatement(AsmStatement&&) = default;
    AsmStatement& operator=(const AsmStatement&) = default;
    AsmStatement& operator=(AsmStatement&&) = default;
    virtual ~AsmStatement();

    /// One of the AsmType values.
    uint16_t type() const { return type_.value(); }
    const SourcePtr& sourceLine() const { return sourceLine_; }
    /// The comment text, without the comment character.
    const AsmToken& comment() const { return comment_; }
    bool hasComment() const { return !comment_.empty(); }
    /// An EMPTY statement becomes COMMENT; a statement without a line takes the comment's numbered line.
    void setComment(const AsmToken& comment);
    /// The full line text; empty for a line without a line number.
    std::string sourceString() const;

    /// Back to EMPTY, without line or comment.
    virtual void clear();

protected:
    SourcePtr sourceLine_;
    AsmToken comment_;
    AsmType type_ = AsmType::EMPTY;
};

// The derived statements copy and destroy member-wise; the base's virtual destructor covers them.

/// An instruction, or a label alone on its line (LABEL_ONLY).
class AsmInstruction : public AsmStatement
{
public:
    using ArgPtr = std::shared_ptr<AsmArgument>;
    /// Kept with the instruction in the pool; a program holds one per instruction.
    using ArgList = std::vector<ArgPtr, ChunkAllocator<ArgPtr>>;
    static constexpr uint32_t NO_ADDRESS = 0xFFFFFFFF;

    AsmInstruction() = default;
    /// An INSTRUCTION on the command's line.
    explicit AsmInstruction(const AsmToken& command);
    AsmInstruction(SourcePtr sourceLine, AsmType type);

    /// The mnemonic as written.
    const AsmToken& command() const { return command_; }
    /// A command over a new line holding the text (disassembly).
    void setCommand(const std::string& text);

    /// An EMPTY or COMMENT statement becomes LABEL_ONLY; an INSTRUCTION stays one.
    void setAddressLabel(const AsmToken& label);
    bool hasAddressLabel() const { return !addressLabel_.empty(); }
    /// The label defined on this line, without the ':'.
    const AsmToken& addressLabel() const { return addressLabel_; }

    const ArgList& argList() const { return argList_; }
    /// Appends the argument; an empty pointer is ignored.
    void addArg(const ArgPtr& arg);
    void addArg(ArgPtr&& arg);
    /// Room for count arguments in all, so that adding them allocates once.
    void reserveArgs(size_t count) { argList_.reserve(count); }

    uint32_t address() const { return address_; }
    bool hasAddress() const { return hasAddress_; }
    void setAddress(uint32_t address);
    /// Address 0, unset.
    void clearAddress();
    /// Undoes address assignment: the address and the values of address label references.
    void clearAllAddresses();

    void clear() override;

private:
    // The address comes first: both fit in the padding at the end of the base.
    bool hasAddress_ = false;
    uint32_t address_ = NO_ADDRESS;
    AsmToken addressLabel_;
    AsmToken command_;
    ArgList argList_;
};

/// A directive with its name and value texts.
class AsmDirective : public AsmStatement
{
public:
    /// A DIRECTIVE on the directive word's line; the word includes its '.'.
    explicit AsmDirective(const AsmToken& directive);

    const AsmToken& directive() const { return directive_; }
    const AsmToken& name() const { return name_; }
    const AsmToken& value() const { return value_; }
    void setName(const AsmToken& name) { name_ = name; }
    void setValue(const AsmToken& value) { value_ = value; }

    void clear() override;

private:
    AsmToken directive_;
    AsmToken name_;
    AsmToken value_;
};

/// The statement as a T (const or not), or null.
template <class T, class S>
T* statementCast(S* statement)
{
    return dynamic_cast<T*>(statement);
}
