// AsmStatement, AsmInstruction, AsmDirective: kind changes and clearing.
#include "asmparser/AsmStatement.h"

#include "source/SourceLine.h"

#include <utility>

AsmStatement::AsmStatement(const AsmToken& comment)
    : sourceLine_(comment.sourceLine()), comment_(comment), type_(AsmType::COMMENT)
{
}

AsmStatement::AsmStatement(SourcePtr sourceLine, AsmType type) : sourceLine_(std::move(sourceLine)), type_(type) {}

AsmStatement::~AsmStatement() = default;

void AsmStatement::setComment(const AsmToken& comment)
{
    comment_ = comment;
    if (type_ == AsmType::EMPTY) {
        type_ = AsmType::COMMENT;
    }
    if (!sourceLine_ && comment.hasSource()) {
        sourceLine_ = comment.sourceLine();
    }
}

std::string AsmStatement::sourceString() const
{
    return sourceLine_ && sourceLine_->hasSource() ? sourceLine_->toString() : std::string();
}

void AsmStatement::clear()
{
    sourceLine_.reset();
    comment_.clear();
    type_ = AsmType::EMPTY;
}

AsmInstruction::AsmInstruction(const AsmToken& command)
    : AsmStatement(command.sourceLine(), AsmType::INSTRUCTION), command_(command)
{
}

AsmInstruction::AsmInstruction(SourcePtr sourceLine, AsmType type) : AsmStatement(std::move(sourceLine), type) {}

void AsmInstruction::setCommand(const std::string& text)
{
    command_ = AsmToken(text);
}

void AsmInstruction::setAddressLabel(const AsmToken& label)
{
    addressLabel_ = label;
    if (type_ == AsmType::EMPTY || type_ == AsmType::COMMENT) {
        type_ = AsmType::LABEL_ONLY;
    }
}

void AsmInstruction::addArg(const ArgPtr& arg)
{
    if (arg) {
        argList_.push_back(arg);
    }
}

void AsmInstruction::addArg(ArgPtr&& arg)
{
    if (arg) {
        argList_.push_back(std::move(arg));
    }
}

void AsmInstruction::setAddress(uint32_t address)
{
    address_ = address;
    hasAddress_ = true;
}

void AsmInstruction::clearAddress()
{
    address_ = 0;
    hasAddress_ = false;
}

void AsmInstruction::clearAllAddresses()
{
    clearAddress();
    for (const ArgPtr& arg : argList_) {
        if (arg->hasAddressRef()) {
            arg->clearValue();
        }
    }
}

void AsmInstruction::clear()
{
    AsmStatement::clear();
    addressLabel_.clear();
    command_.clear();
    argList_.clear();
    address_ = NO_ADDRESS;
    hasAddress_ = false;
}

AsmDirective::AsmDirective(const AsmToken& directive)
    : AsmStatement(directive.sourceLine(), AsmType::DIRECTIVE), directive_(directive)
{
}

void AsmDirective::clear()
{
    AsmStatement::clear();
    directive_.clear();
    name_.clear();
    value_.clear();
}
