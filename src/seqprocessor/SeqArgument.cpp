// SeqArgument and SeqArgumentTable: the range rule, printing and table filling.
#include "seqprocessor/SeqArgument.h"

#include "support/StringUtil.h"

#include <cctype>
#include <ostream>
#include <utility>

SeqArgument::SeqArgument(unsigned int id, const std::string& name, const std::string& registerName,
                         std::shared_ptr<const SeqField> field, long long min, long long max)
    : field_(std::move(field)), id_(id), min_(min), max_(max), name_(name), registerName_(registerName)
{
    if (max_ < min_ && field_) {
        max_ = static_cast<long long>(field_->range());
    }
}

bool SeqArgument::isRegister() const
{
    return !registerName_.empty() && std::isalpha(static_cast<unsigned char>(registerName_[0])) != 0;
}

std::ostream& operator<<(std::ostream& os, const SeqArgument& arg)
{
    return os << arg.name() << '(' << arg.registerName() << "#)";
}

SeqArgumentTable::SeqArgumentTable(const SeqFieldTable& fields, std::initializer_list<SeqArgumentInit> rows)
    : fields_(fields)
{
    add(rows);
}

SeqArgumentTable::SeqArgumentTable(std::initializer_list<SeqFieldInit> fieldRows,
                                   std::initializer_list<SeqArgumentInit> rows)
    : fields_(fieldRows)
{
    add(rows);
}

void SeqArgumentTable::add(const SeqArgumentInit& row)
{
    const std::string name = row.name != nullptr ? row.name : "";
    std::shared_ptr<const SeqField> field = fields_.find(row.fieldId);
    if (!field) {
        throw SeqProcInstructionTableError(stringCat("SeqArgumentTable: Argument with Id=", row.id, " (name=\"",
                                                     name, "\"): could not find SeqField with fieldId=",
                                                     row.fieldId));
    }
    add(std::make_shared<SeqArgument>(row.id, name, row.registerName != nullptr ? row.registerName : "",
                                      std::move(field), row.min, row.max));
}

void SeqArgumentTable::add(std::initializer_list<SeqArgumentInit> rows)
{
    for (const SeqArgumentInit& row : rows) {
        add(row);
    }
}
