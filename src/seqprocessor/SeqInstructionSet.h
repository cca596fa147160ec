// SeqInstructionSet and SeqInstructionInit: the validated instruction set built from static tables.
#pragma once

#include "seqprocessor/SeqArgument.h"
#include "seqprocessor/SeqField.h"
#include "seqprocessor/SeqIdNameLUT.h"
#include "seqprocessor/SeqInstructionDef.h"

#include <cstdint>
#include <initializer_list>
#include <iosfwd>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

/// A row of a static instruction table: opcode, mnemonic, select, then the
/// operand argument ids in order; a negative id is a placeholder and adds nothing.
struct SeqInstructionInit
{
    template <typename... Ids>
        requires((std::is_enum_v<Ids> || std::is_integral_v<Ids>) && ...)
    SeqInstructionInit(unsigned int opcode_, const char* mnemonic_, unsigned int select_, Ids... ids)
        : opcode(opcode_), mnemonic(mnemonic_), select(select_)
    {
        argumentIds.reserve(sizeof...(ids));
        (addId(static_cast<int>(ids)), ...);
    }

    unsigned int opcode;
    const char* mnemonic;
    unsigned int select;
    std::vector<unsigned int> argumentIds;

private:
    void addId(int id)
    {
        if (id >= 0) {
            argumentIds.push_back(static_cast<unsigned int>(id));
        }
    }
};

/// Fields, argument kinds and all mnemonics with their variants, found by
/// opcode and by mnemonic; checked thoroughly while it is built, read-only after.
class SeqInstructionSet : public SeqIdNameLUT<SeqInstructionVariations, SeqInstructionVariations::OpcodeMnemonicFunc>
{
public:
    using LUT = SeqIdNameLUT<SeqInstructionVariations, SeqInstructionVariations::OpcodeMnemonicFunc>;
    using LUT::add;
    using LUT::find;
    using DefPtr = std::shared_ptr<const SeqInstructionDef>;

    SeqInstructionSet() = default;
    /// Builds, then validates; any table error is thrown and nothing survives.
    SeqInstructionSet(const std::string& name, std::uint16_t versionMajor, std::uint16_t versionMinor,
                      unsigned int opcodeFieldId, unsigned int selectFieldId, std::initializer_list<SeqFieldInit> fields,
                      std::initializer_list<SeqArgumentInit> arguments,
                      std::initializer_list<SeqInstructionInit> instructions);
    SeqInstructionSet(const SeqInstructionSet&) = default;
    SeqInstructionSet(SeqInstructionSet&&) = default;
    SeqInstructionSet& operator=(const SeqInstructionSet&) = default;
    SeqInstructionSet& operator=(SeqInstructionSet&&) = default;
    ~SeqInstructionSet() override = default;

    /// The variant with this select of the opcode's mnemonic, or empty.
    DefPtr find(unsigned int opcode, unsigned int select) const;
    /// The variant with this signature text of the mnemonic, or empty.
    DefPtr find(const std::string& mnemonic, const std::string& signature) const;
    /// The variant that the OPCODE and SELECT bits of the word name, or empty.
    DefPtr findForBinary(const unsigned long long& word) const;

    /// 0 for a set without base fields.
    unsigned long long readOpcodeField(const unsigned long long& word) const;
    unsigned long long readSelectField(const unsigned long long& word) const;

    /// A value that does not fit its field is an internal fault; these return true otherwise.
    bool writeOpcodeField(unsigned long long& word, unsigned long long opcode) const;
    bool writeSelectField(unsigned long long& word, unsigned long long select) const;
    bool writeBaseFields(unsigned long long& word, const SeqInstructionDef& def) const
    {
        // Called for every instruction: a definition that passed validation fits, and only
        // anything else takes the checked path that reports the fault.
        if (opcodeField_ && selectField_ && opcodeField_->isInRange(def.opcode()) &&
            selectField_->isInRange(def.select())) {
            opcodeField_->setfast(word, def.opcode());
            selectField_->setfast(word, def.select());
            return true;
        }
        return writeOpcodeField(word, def.opcode()) && writeSelectField(word, def.select());
    }

    void getVersion(std::uint16_t& major, std::uint16_t& minor) const;
    const SeqArgumentTable& argumentTable() const { return arguments_; }
    const SeqFieldTable& fieldTable() const { return arguments_.fieldTable(); }
    std::shared_ptr<const SeqField> opcodeField() const { return opcodeField_; }
    std::shared_ptr<const SeqField> selectField() const { return selectField_; }

    // Building steps, used by the main constructor.
    void setBaseFields(unsigned int opcodeFieldId, unsigned int selectFieldId);
    void setVersion(std::uint16_t major, std::uint16_t minor);
    void add(std::initializer_list<SeqInstructionInit> rows);
    void add(const SeqInstructionInit& row);
    void add(const std::shared_ptr<SeqInstructionDef>& def);
    void validate() const;
    void validateFields(const SeqInstructionDef& def) const;

private:
    std::uint16_t versionMajor_ = 0;
    std::uint16_t versionMinor_ = 0;
    std::shared_ptr<const SeqField> opcodeField_;
    std::shared_ptr<const SeqField> selectField_;
    SeqArgumentTable arguments_;
};

/// One line per variant, by opcode and then select.
std::ostream& operator<<(std::ostream& os, const SeqInstructionSet& set);
