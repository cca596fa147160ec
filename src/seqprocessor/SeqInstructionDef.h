// SeqInstructionDef and SeqInstructionVariations: one variant of a mnemonic, and all variants of it.
#pragma once

#include "seqprocessor/SeqArgument.h"
#include "seqprocessor/SeqField.h"
#include "seqprocessor/SeqIdNameLUT.h"

#include <cstddef>
#include <iosfwd>
#include <memory>
#include <span>
#include <string>
#include <vector>

/// One variant: opcode, select value, mnemonic and operand kinds in source order.
class SeqInstructionDef
{
public:
    static constexpr unsigned long long UNINITIALIZED_OPCODE = ~0ULL;

    /// The operand kinds as text: "R#" per register, "#" per immediate, joined by ",".
    class Signature : public std::string
    {
    public:
        /// Up to 15 characters (five register operands) fit without a heap allocation.
        Signature() = default;
        void addRegisterArg(const std::string& prefix);
        /// Used with the letter of a parsed register operand.
        void addRegisterArg(char prefix);
        void addImmediateArg();
        std::string toPrettyString() const { return *this; }
        unsigned int count() const { return count_; }

    private:
        void separate();

        unsigned int count_ = 0;
    };

    /// Keys of a variant among its mnemonic's variants: select value and signature text.
    struct SelectSignatureFunc
    {
        static bool hasId(const SeqInstructionDef& d) { return d.isInitialized(); }
        static unsigned int id(const SeqInstructionDef& d) { return static_cast<unsigned int>(d.select()); }
        static bool hasName(const SeqInstructionDef& d) { return d.isInitialized(); }
        static const std::string& name(const SeqInstructionDef& d) { return d.signature(); }
    };

    using ArgumentList = std::vector<std::shared_ptr<const SeqArgument> >;
    using FieldList = std::vector<std::shared_ptr<const SeqField> >;
    using FieldLUT = SeqIdNameLUT<SeqField const, SeqIdNameFunc<SeqField const> >;

    /// An uninitialized definition (opcode all ones).
    SeqInstructionDef() = default;
    SeqInstructionDef(unsigned long long opcode, const std::string& mnemonic, unsigned long long select);

    unsigned long long opcode() const { return opcode_; }
    unsigned long long select() const { return select_; }
    const std::string& mnemonic() const { return mnemonic_; }
    const Signature& signature() const { return signature_; }
    const ArgumentList& arguments() const { return arguments_; }
    unsigned int numArgs() const { return static_cast<unsigned int>(arguments_.size()); }
    bool isInitialized() const { return opcode_ != UNINITIALIZED_OPCODE; }

    /// An index beyond the arguments is an internal fault.
    const std::shared_ptr<const SeqArgument>& getArg(unsigned int index) const;

    /// Appends an operand; throws SeqProcDuplicateError when another operand
    /// already writes the same field (the definition is then unusable).
    void addArgument(const std::shared_ptr<const SeqArgument>& arg);

    /// Throws SeqProcInstructionTableError (after logging it) when any two of the
    /// base fields and the operand fields share a bit.
    void validateFields(const FieldList& baseFields) const { validateFields(std::span(baseFields)); }
    void validateFields(std::span<const std::shared_ptr<const SeqField> > baseFields) const;

    /// Room for this many operands, so that adding them moves nothing.
    void reserveArguments(size_t count) { arguments_.reserve(count); }

private:
    unsigned long long opcode_ = UNINITIALIZED_OPCODE;
    unsigned long long select_ = 0;
    std::string mnemonic_;
    ArgumentList arguments_;
    Signature signature_;
    FieldLUT fields_;
};

/// Prints "mnemonic arg1(R#), arg2(#)".
std::ostream& operator<<(std::ostream& os, const SeqInstructionDef& def);

/// The variants of one mnemonic, by select value and by signature text.
class SeqInstructionVariations : public SeqIdNameLUT<SeqInstructionDef, SeqInstructionDef::SelectSignatureFunc>
{
public:
    using LUT = SeqIdNameLUT<SeqInstructionDef, SeqInstructionDef::SelectSignatureFunc>;

    /// Keys of a mnemonic in an instruction set: opcode and mnemonic.
    struct OpcodeMnemonicFunc
    {
        static bool hasId(const SeqInstructionVariations& v) { return v.isInitialized(); }
        static unsigned int id(const SeqInstructionVariations& v) { return static_cast<unsigned int>(v.opcode()); }
        static bool hasName(const SeqInstructionVariations& v) { return v.isInitialized(); }
        static const std::string& name(const SeqInstructionVariations& v) { return v.mnemonic(); }
    };

    explicit SeqInstructionVariations(const std::shared_ptr<SeqInstructionDef>& def);
    ~SeqInstructionVariations() override = default;

    /// Opcode and mnemonic of the lowest select; an empty table is an internal fault.
    unsigned long long opcode() const;
    const std::string& mnemonic() const;
    bool isInitialized() const { return !empty() && front().isInitialized(); }
};
