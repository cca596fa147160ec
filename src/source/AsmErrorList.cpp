// AsmErrorList: ordering of the errors and the run reports.
#include "source/AsmErrorList.h"

#include "support/StringUtil.h"

#include <algorithm>
#include <limits>
#include <utility>

bool AsmErrorList::sortByLineNr(const std::shared_ptr<AsmError>& a, const std::shared_ptr<AsmError>& b)
{
    if (a && b && a->lineNr() != 0 && b->lineNr() != 0) {
        return a->lineNr() < b->lineNr();
    }
    return a && a->lineNr() != 0;
}

void AsmErrorList::insert(std::shared_ptr<AsmError> error)
{
    if (!error) {
        return;
    }
    // A stable sort of the arrival order gives exactly the order of inserting each error
    // at its upper bound, without shifting the list for every error that sorts early.
    if (sorted_ && !errors_.empty() && sortByLineNr(error, errors_.back())) {
        sorted_ = false;
    }
    errors_.push_back(std::move(error));
}

void AsmErrorList::erase(const std::shared_ptr<AsmError>& error)
{
    const auto found = std::find(errors_.begin(), errors_.end(), error);
    if (found != errors_.end()) {
        errors_.erase(found);
    }
}

const std::vector<std::shared_ptr<AsmError>>& AsmErrorList::errors() const
{
    if (!sorted_) {
        // The same order as a stable sort under sortByLineNr, on keys read once per error
        // instead of twice per comparison: no line sorts last, ties go by arrival.
        std::vector<std::pair<long long, size_t>> keys(errors_.size());
        for (size_t i = 0; i < errors_.size(); ++i) {
            const int nr = errors_[i]->lineNr();
            keys[i] = {nr != 0 ? nr : std::numeric_limits<long long>::max(), i};
        }
        std::sort(keys.begin(), keys.end());
        std::vector<std::shared_ptr<AsmError>> sorted;
        sorted.reserve(errors_.size());
        for (const auto& key : keys) {
            sorted.push_back(std::move(errors_[key.second]));
        }
        errors_ = std::move(sorted);
        sorted_ = true;
    }
    return errors_;
}

size_t AsmErrorList::numberOfErrorSources() const
{
    size_t sum = 0;
    for (const auto& error : errors_) {
        sum += error->numberOfErrorSources();
    }
    return sum;
}

std::string AsmErrorList::joinedErrors() const
{
    std::string text;
    for (const auto& error : errors()) {
        append(text, error->what(), '\n');
    }
    removeFromEnd(text, '\n');
    return text;
}

std::string AsmErrorList::toStringFullReport(const std::string& title) const
{
    if (empty()) {
        return title + " finished successfully";
    }
    return stringCat(title, " failed with ", static_cast<unsigned long>(size()), " errors:\n", joinedErrors());
}

std::string AsmErrorList::toStringOneLineSummary(const std::string& title) const
{
    if (empty()) {
        return title + " finished successfully";
    }
    if (size() > 1) {
        return stringCat(title, " failed with ", static_cast<unsigned long>(size()), " errors");
    }
    std::string summary = stringCat(title, " failed with error: ", errors_.front()->what());
    replaceAll(summary, "\n", "\\n");
    return summary;
}

std::string AsmErrorList::toStringDetails() const
{
    return size() < 2 ? std::string() : joinedErrors();
}
