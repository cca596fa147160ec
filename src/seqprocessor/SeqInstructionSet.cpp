// SeqInstructionSet: building, validating, finding and writing the base fields of instructions.
#include "seqprocessor/SeqInstructionSet.h"

#include "support/ThrowBug.h"

#include <ostream>
#include <sstream>

SeqInstructionSet::SeqInstructionSet(const std::string& /*name*/, std::uint16_t versionMajor,
                                     std::uint16_t versionMinor, unsigned int opcodeFieldId,
                                     unsigned int selectFieldId, std::initializer_list<SeqFieldInit> fields,
                                     std::initializer_list<SeqArgumentInit> arguments,
                                     std::initializer_list<SeqInstructionInit> instructions)
    : arguments_(fields, arguments)
{
    setBaseFields(opcodeFieldId, selectFieldId);
    add(instructions);
    setVersion(versionMajor, versionMinor);
    validate();
}

SeqInstructionSet::DefPtr SeqInstructionSet::find(unsigned int opcode, unsigned int select) const
{
    auto variations = find(opcode);
    return variations ? variations->find(select) : nullptr;
}

SeqInstructionSet::DefPtr SeqInstructionSet::find(const std::string& mnemonic, const std::string& signature) const
{
    auto variations = find(mnemonic);
    return variations ? variations->find(signature) : nullptr;
}

SeqInstructionSet::DefPtr SeqInstructionSet::findForBinary(const unsigned long long& word) const
{
    // Table keys are 32-bit: a wider field value can name no variant.
    const unsigned long long opcode = readOpcodeField(word);
    const unsigned long long select = readSelectField(word);
    if (opcode > 0xFFFFFFFFull || select > 0xFFFFFFFFull) {
        return nullptr;
    }
    return find(static_cast<unsigned int>(opcode), static_cast<unsigned int>(select));
}

unsigned long long SeqInstructionSet::readOpcodeField(const unsigned long long& word) const
{
    return opcodeField_ ? opcodeField_->get(word) : 0;
}

unsigned long long SeqInstructionSet::readSelectField(const unsigned long long& word) const
{
    return selectField_ ? selectField_->get(word) : 0;
}

namespace {

// Writes OPCODE or SELECT; after validation the value always fits, so a misfit is a fault.
void writeBaseField(const std::shared_ptr<const SeqField>& field, unsigned long long& word, unsigned long long value,
                    const char* function, const char* what)
{
    if (!field) {
        THROW_BUG(function, what << "Field pointer not set");
    }
    if (!field->set(word, value)) {
        THROW_BUG(function, what << ' ' << value << " is out of range " << field->range());
    }
}

} // namespace

bool SeqInstructionSet::writeOpcodeField(unsigned long long& word, unsigned long long opcode) const
{
    writeBaseField(opcodeField_, word, opcode, "writeOpcodeField", "opcode");
    return true;
}

bool SeqInstructionSet::writeSelectField(unsigned long long& word, unsigned long long select) const
{
    writeBaseField(selectField_, word, select, "writeSelectField", "select");
    return true;
}

void SeqInstructionSet::getVersion(std::uint16_t& major, std::uint16_t& minor) const
{
    major = versionMajor_;
    minor = versionMinor_;
}

void SeqInstructionSet::setBaseFields(unsigned int opcodeFieldId, unsigned int selectFieldId)
{
    auto opcodeField = arguments_.fieldTable().find(opcodeFieldId);
    if (!opcodeField) {
        std::ostringstream text;
        text << "Opcode SeqField with Id=" << opcodeFieldId << " not found";
        throw SeqProcInstructionTableError(text.str());
    }
    auto selectField = arguments_.fieldTable().find(selectFieldId);
    if (!selectField) {
        std::ostringstream text;
        text << "Select SeqField with Id=" << selectFieldId << " not found";
        throw SeqProcInstructionTableError(text.str());
    }
    opcodeField_ = opcodeField;
    selectField_ = selectField;
}

void SeqInstructionSet::setVersion(std::uint16_t major, std::uint16_t minor)
{
    versionMajor_ = major;
    versionMinor_ = minor;
}

void SeqInstructionSet::add(std::initializer_list<SeqInstructionInit> rows)
{
    for (const SeqInstructionInit& row : rows) {
        add(row);
    }
}

void SeqInstructionSet::add(const SeqInstructionInit& row)
{
    const std::string mnemonic = row.mnemonic != nullptr ? row.mnemonic : "";
    auto def = std::make_shared<SeqInstructionDef>(row.opcode, mnemonic, row.select);
    def->reserveArguments(row.argumentIds.size());
    for (unsigned int id : row.argumentIds) {
        auto arg = arguments_.find(id);
        if (!arg) {
            std::ostringstream text;
            text << "Instruction " << mnemonic << " (opcode=" << row.opcode << " refers to non-existing Argument ID="
                 << id;
            throw SeqProcInstructionTableError(text.str());
        }
        def->addArgument(arg);
    }
    add(def);
}

void SeqInstructionSet::add(const std::shared_ptr<SeqInstructionDef>& def)
{
    if (!def) {
        THROW_BUG("add", "Adding null pointer SeqInstructionDef to SeqInstructionSet");
    }
    if (!def->isInitialized()) {
        THROW_BUG("add", "Adding uninitialized SeqInstructionDef to SeqInstructionSet");
    }
    // The message streams are made only on the way to an error: every row passes here at start-up.
    auto variations = find(def->mnemonic());
    if (!variations) {
        try {
            add(std::make_shared<SeqInstructionVariations>(def));
            return;
        } catch (const SeqProcDuplicateError&) {
            // The mnemonic is new, so the opcode must belong to another one.
            auto other = find(static_cast<unsigned int>(def->opcode()));
            if (!other || other->mnemonic() == def->mnemonic()) {
                THROW_BUG("add", "Inconsistent filling of InstructionTable");
            }
            std::ostringstream text;
            text << "Instruction with opcode " << def->opcode() << " is defined with different mnemonics: \""
                 << other->mnemonic() << "\" and \"" << def->mnemonic() << '"';
            throw SeqProcInstructionTableError(text.str());
        }
    }
    if (variations->opcode() != def->opcode()) {
        std::ostringstream text;
        text << "Instruction with mnemonic \"" << def->mnemonic() << "\" is defined with different opcodes: "
             << variations->opcode() << " and " << def->opcode();
        throw SeqProcInstructionTableError(text.str());
    }
    try {
        variations->add(def);
    } catch (const SeqProcDuplicateError&) {
        std::ostringstream text;
        text << "Instruction with opcode=" << def->opcode() << " mnemonic=\"" << def->mnemonic()
             << "\" is already defined for select=" << def->select() << " signature=\"" << def->signature() << '"';
        throw SeqProcInstructionTableError(text.str());
    }
}

void SeqInstructionSet::validate() const
{
    for (const SeqInstructionVariations& variations : *this) {
        for (const SeqInstructionDef& def : variations) {
            validateFields(def);
        }
    }
}

void SeqInstructionSet::validateFields(const SeqInstructionDef& def) const
{
    if (!opcodeField_) {
        THROW_BUG("validateFields", "opcodeField pointer not set");
    }
    if (!selectField_) {
        THROW_BUG("validateFields", "selectField pointer not set");
    }
    if (!opcodeField_->isInRange(def.opcode())) {
        std::ostringstream text;
        text << "Instruction \"" << def.mnemonic() << "\" has opcode " << def.opcode() << " out of range (0,"
             << opcodeField_->range() << ")";
        throw SeqProcInstructionTableError(text.str());
    }
    if (!selectField_->isInRange(def.select())) {
        std::ostringstream text;
        text << "Instruction \"" << def.mnemonic() << "\" has select " << def.select() << " out of range (0,"
             << selectField_->range() << ")";
        throw SeqProcInstructionTableError(text.str());
    }
    // Checked for every definition at start-up: the base fields need no list on the heap.
    const std::shared_ptr<const SeqField> baseFields[] = {opcodeField_, selectField_};
    def.validateFields(baseFields);
}

std::ostream& operator<<(std::ostream& os, const SeqInstructionSet& set)
{
    for (const SeqInstructionVariations& variations : set) {
        for (const SeqInstructionDef& def : variations) {
            os << def << '\n';
        }
    }
    return os;
}

// SeqInstructionVariations serves the instruction set; its fault reports name this file.
unsigned long long SeqInstructionVariations::opcode() const
{
    if (empty()) {
        THROW_BUG("opcode", "Requesting opcode from empty SeqInstructionVariations");
    }
    return front().opcode();
}

const std::string& SeqInstructionVariations::mnemonic() const
{
    if (empty()) {
        THROW_BUG("mnemonic", "Requesting mnemonic from empty SeqInstructionVariations");
    }
    return front().mnemonic();
}
