// SeqField and SeqFieldTable: field geometry and table filling.
#include "seqprocessor/SeqField.h"

#include <memory>

SeqField::SeqField(unsigned int id, const std::string& name, unsigned int msb, unsigned int lsb)
    : range_(0), bitPattern_(0), lsb_(0), id_(id), name_(name)
{
    // A field whose low bit lies beyond the word holds no bits; shifting by
    // 64 or more would be undefined.
    if (lsb > 63) {
        return;
    }
    // Built as ((1 << d) - 1) * 2 + 1 so a 64-bit field never shifts by 64.
    const unsigned int d = (msb - lsb) & 63u;
    range_ = ((1ULL << d) - 1) * 2 + 1;
    bitPattern_ = range_ << lsb;
    lsb_ = lsb;
}

bool SeqField::set(unsigned long long& word, unsigned long long value) const
{
    if (!isInRange(value)) {
        return false;
    }
    setfast(word, value);
    return true;
}

SeqFieldTable::SeqFieldTable(std::initializer_list<SeqFieldInit> rows)
{
    add(rows);
}

void SeqFieldTable::add(const SeqFieldInit& row)
{
    add(std::make_shared<SeqField>(row.id, row.name != nullptr ? row.name : "", row.msb, row.lsb));
}

void SeqFieldTable::add(std::initializer_list<SeqFieldInit> rows)
{
    for (const SeqFieldInit& row : rows) {
        add(row);
    }
}

void SeqFieldTable::add(const SeqFieldTable& other)
{
    for (const SeqField& field : other) {
        add(field);
    }
}
