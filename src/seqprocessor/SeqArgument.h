// SeqArgument, SeqArgumentInit and SeqArgumentTable: operand kinds, their ranges and their fields.
#pragma once

#include "seqprocessor/SeqField.h"
#include "seqprocessor/SeqIdNameLUT.h"

#include <initializer_list>
#include <iosfwd>
#include <memory>
#include <string>

/// One operand position: register or immediate, its field and its accepted values.
class SeqArgument
{
public:
    static constexpr unsigned int NO_ID = 0xFFFFFFFFu;

    /// A max below min stands for "up to the largest value the field holds".
    SeqArgument(unsigned int id, const std::string& name, const std::string& registerName,
                std::shared_ptr<const SeqField> field, long long min, long long max);

    std::shared_ptr<const SeqField> field() const { return field_; }
    unsigned int id() const { return id_; }
    bool hasId() const { return id_ < NO_ID; }
    const std::string& name() const { return name_; }
    /// Register prefix ("R"); empty for an immediate.
    const std::string& registerName() const { return registerName_; }
    long long minValue() const { return min_; }
    long long maxValue() const { return max_; }

    bool isRegister() const;
    bool isInRange(long long value) const { return min_ <= value && value <= max_; }
    /// Writes an in-range value (negative ones as two's complement); false leaves the word unchanged.
    bool setValue(unsigned long long& word, long long value) const
    {
        if (!isInRange(value)) {
            return false;
        }
        field_->setfast(word, static_cast<unsigned long long>(value));
        return true;
    }
    /// The field's bits, without sign extension.
    unsigned long long getValue(const unsigned long long& word) const { return field_->get(word); }

private:
    std::shared_ptr<const SeqField> field_;
    unsigned int id_;
    long long min_;
    long long max_;
    std::string name_;
    std::string registerName_;
};

/// Prints name(R#) for a register kind, name(#) for an immediate.
std::ostream& operator<<(std::ostream& os, const SeqArgument& arg);

/// A row of a static argument table; max below min means the field's full range from min up.
struct SeqArgumentInit
{
    unsigned int id;
    const char* name;
    const char* registerName;
    unsigned int fieldId;
    int min;
    int max;
};

/// The argument kinds of one instruction set together with its field table.
class SeqArgumentTable : public SeqIdNameLUT<SeqArgument, SeqIdNameFunc<SeqArgument> >
{
public:
    using LUT = SeqIdNameLUT<SeqArgument, SeqIdNameFunc<SeqArgument> >;
    using LUT::add;

    SeqArgumentTable() = default;
    SeqArgumentTable(const SeqFieldTable& fields, std::initializer_list<SeqArgumentInit> rows);
    SeqArgumentTable(std::initializer_list<SeqFieldInit> fieldRows, std::initializer_list<SeqArgumentInit> rows);
    SeqArgumentTable(const SeqArgumentTable&) = default;
    SeqArgumentTable(SeqArgumentTable&&) = default;
    SeqArgumentTable& operator=(const SeqArgumentTable&) = default;
    SeqArgumentTable& operator=(SeqArgumentTable&&) = default;
    ~SeqArgumentTable() override = default;

    /// Throws SeqProcInstructionTableError when the row's field is not in the field table.
    void add(const SeqArgumentInit& row);
    void add(std::initializer_list<SeqArgumentInit> rows);

    const SeqFieldTable& fieldTable() const { return fields_; }
    SeqFieldTable& fieldTable() { return fields_; }

private:
    SeqFieldTable fields_;
};
