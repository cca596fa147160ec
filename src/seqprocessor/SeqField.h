// SeqField, SeqFieldInit and SeqFieldTable: bit fields of the 64-bit instruction word.
#pragma once

#include "seqprocessor/SeqIdNameLUT.h"

#include <concepts>
#include <initializer_list>
#include <memory>
#include <string>

/// One contiguous run of bits (msb down to lsb) of an instruction word.
class SeqField
{
public:
    static constexpr unsigned int NO_ID = 0xFFFFFFFFu;

    /// Expects lsb <= msb <= 63; a field may span all 64 bits. A field with lsb
    /// above 63 holds no bits.
    explicit SeqField(unsigned int id, const std::string& name, unsigned int msb, unsigned int lsb);

    unsigned int id() const { return id_; }
    bool hasId() const { return id_ < NO_ID; }
    const std::string& name() const { return name_; }
    /// All-ones mask as wide as the field: its largest value.
    unsigned long long range() const { return range_; }
    /// The bits of the word that the field occupies.
    unsigned long long bitPattern() const { return bitPattern_; }

    /// The field's bits, without sign extension.
    unsigned long long get(const unsigned long long& word) const { return (word >> lsb_) & range_; }
    /// Writes the low bits of value that fit, without a range check.
    void setfast(unsigned long long& word, unsigned long long value) const
    {
        word = (word & ~bitPattern_) | ((value & range_) << lsb_);
    }
    /// Writes only a value that fits; false leaves the word unchanged.
    bool set(unsigned long long& word, unsigned long long value) const;
    bool isInRange(unsigned long long value) const { return value <= range_; }

private:
    unsigned long long range_;
    unsigned long long bitPattern_;
    unsigned int lsb_;
    unsigned int id_;
    std::string name_;
};

/// A row of a static field table.
struct SeqFieldInit
{
    unsigned int id;
    const char* name;
    unsigned int msb;
    unsigned int lsb;
};

/// The bit fields of one instruction set, by id and by name.
class SeqFieldTable : public SeqIdNameLUT<SeqField, SeqIdNameFunc<SeqField> >
{
public:
    using LUT = SeqIdNameLUT<SeqField, SeqIdNameFunc<SeqField> >;
    using LUT::add;

    SeqFieldTable() = default;
    SeqFieldTable(std::initializer_list<SeqFieldInit> rows);
    SeqFieldTable(const SeqFieldTable&) = default;
    SeqFieldTable(SeqFieldTable&&) = default;
    SeqFieldTable& operator=(const SeqFieldTable&) = default;
    SeqFieldTable& operator=(SeqFieldTable&&) = default;
    ~SeqFieldTable() override = default;

    void add(const SeqFieldInit& row);
    void add(std::initializer_list<SeqFieldInit> rows);
    /// Adds fresh copies of the other table's fields, in id order.
    void add(const SeqFieldTable& other);
    /// Adds a fresh shared copy of the field. A template so that a braced row
    /// always means a SeqFieldInit.
    template <std::same_as<SeqField> Field>
    void add(const Field& field)
    {
        add(std::make_shared<SeqField>(field));
    }
};
