// SeqInstructionDef: signatures, operand bookkeeping and the check for overlapping fields.
#include "seqprocessor/SeqInstructionDef.h"

#include "support/Logging.h"
#include "support/ThrowBug.h"

#include <ostream>
#include <sstream>

void SeqInstructionDef::Signature::separate()
{
    if (count_ > 0) {
        push_back(',');
    }
    ++count_;
}

void SeqInstructionDef::Signature::addRegisterArg(const std::string& prefix)
{
    separate();
    append(prefix);
    push_back('#');
}

void SeqInstructionDef::Signature::addRegisterArg(char prefix)
{
    separate();
    push_back(prefix);
    push_back('#');
}

void SeqInstructionDef::Signature::addImmediateArg()
{
    separate();
    push_back('#');
}

SeqInstructionDef::SeqInstructionDef(unsigned long long opcode, const std::string& mnemonic,
                                     unsigned long long select)
    : opcode_(opcode), select_(select), mnemonic_(mnemonic)
{
}

const std::shared_ptr<const SeqArgument>& SeqInstructionDef::getArg(unsigned int index) const
{
    if (index >= arguments_.size()) {
        THROW_BUG("getArg", "Argument number " << index << " of instruction " << mnemonic_ << " is too large for "
                                               << arguments_.size() << " arguments");
    }
    return arguments_[index];
}

void SeqInstructionDef::addArgument(const std::shared_ptr<const SeqArgument>& arg)
{
    if (!arg) {
        return;
    }
    arguments_.push_back(arg);
    if (arg->isRegister()) {
        signature_.addRegisterArg(arg->registerName());
    } else {
        signature_.addImmediateArg();
    }
    try {
        fields_.add(arg->field());
    } catch (const SeqProcDuplicateError&) {
        const SeqField& field = *arg->field();
        std::ostringstream text;
        text << "Instruction \"" << mnemonic_ << "\" has different arguments writing into the same field:\n"
             << "adding argument \"" << arg->name() << "\" with field=" << field.name() << " (id=" << field.id()
             << ")\n"
             << "Existing arguments and fields:";
        for (const auto& a : arguments_) {
            text << "\n  " << a->name() << ": field=" << a->field()->name() << " (id=" << a->field()->id() << ")";
        }
        throw SeqProcDuplicateError(text.str());
    }
}

void SeqInstructionDef::validateFields(std::span<const std::shared_ptr<const SeqField> > baseFields) const
{
    // The base fields, then the operands' fields, by index: no list of them all is built.
    const size_t count = baseFields.size() + arguments_.size();
    auto field = [&](size_t i) -> const SeqField& {
        return i < baseFields.size() ? *baseFields[i] : *arguments_[i - baseFields.size()]->field();
    };
    for (size_t i = 0; i < count; ++i) {
        const SeqField& first = field(i);
        for (size_t j = i + 1; j < count; ++j) {
            const SeqField& second = field(j);
            if ((first.bitPattern() & second.bitPattern()) == 0) {
                continue;
            }
            std::string text = "Instruction \"" + mnemonic_ + "\" has overlapping field bit patterns of fields '" +
                               first.name() + "'' and '" + second.name() + "'";
            if (Logging::getLogLevel() >= Logging::ERROR) {
                Logging::write(Logging::ERROR, "%s", text.c_str());
            }
            throw SeqProcInstructionTableError(text);
        }
    }
}

std::ostream& operator<<(std::ostream& os, const SeqInstructionDef& def)
{
    os << def.mnemonic();
    const char* separator = " ";
    for (const auto& a : def.arguments()) {
        os << separator << *a;
        separator = ", ";
    }
    return os;
}

SeqInstructionVariations::SeqInstructionVariations(const std::shared_ptr<SeqInstructionDef>& def)
{
    add(def);
}

// opcode() and mnemonic() live in SeqInstructionSet.cpp: their fault reports
// name the file of the instruction set, whose tables they serve.
