// AsmArgument: one instruction argument with its text, kind marker and value.
#pragma once

#include "asmparser/AsmToken.h"

#include <cstdint>

/// The kind marker registerName: NUL for none, '#' for an immediate, a letter for a register.
/// An address label reference is marked immediate and gets its value when the label is resolved.
class AsmArgument
{
public:
    /// Without text or value.
    AsmArgument() = default;
    /// As written; parsed later.
    explicit AsmArgument(const AsmToken& stringValue);
    /// A value without text (disassembly).
    explicit AsmArgument(int64_t intValue);

    /// The argument as written, or a symbol's value text from its definition line.
    const AsmToken& stringValue() const { return stringValue_; }
    bool hasStringValue() const { return !stringValue_.empty(); }
    void setStringValue(const AsmToken& token) { stringValue_ = token; }

    /// The label name of an address label reference, without the '@'.
    const AsmToken& addressLabel() const { return addressLabel_; }
    bool hasAddressRef() const { return !addressLabel_.empty(); }
    void setAddressLabel(const AsmToken& token) { addressLabel_ = token; }

    int64_t intValue() const { return intValue_; }
    bool hasIntValue() const { return hasIntValue_; }
    void setIntValue(int64_t value);

    char registerName() const { return registerName_; }
    void setRegisterName(char name) { registerName_ = name; }
    bool isRegister() const;
    bool isImmediate() const { return registerName_ == '#'; }
    void setImmediate() { registerName_ = '#'; }

    void setRegisterNameIntValue(char name, int64_t value);
    void setImmediateIntValue(int64_t value);

    /// Drops value and text; the address label and the marker stay, so the label can be resolved again.
    void clearValue();

private:
    AsmToken stringValue_;
    AsmToken addressLabel_;
    int64_t intValue_ = 0;
    char registerName_ = '\0';
    bool hasIntValue_ = false;
};
