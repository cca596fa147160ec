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

void AsmErrorList::appendErrors(std::string& text) const
{
    // A million errors make a report of hundreds of megabytes: it is built in place, once, and
    // errors that can render without what() do so, so that no error keeps a copy of its text.
    for (const auto& error : errors()) {
        if (const auto* streamed = dynamic_cast<const StreamException<AsmRuntimeError>*>(error.get())) {
            const size_t first = text.length();
            text += streamed->message();
            std::replace(text.begin() + static_cast<std::ptrdiff_t>(first), text.end(), '\0', '?');
        } else {
            text += error->what();
        }
        text += '\n';
    }
    removeFromEnd(text, '\n');
}

std::string AsmErrorList::toStringFullReport(const std::string& title) const
{
    if (empty()) {
        return title + " finished successfully";
    }
    std::string report = stringCat(title, " failed with ", static_cast<unsigned long>(size()), " errors:\n");
    appendErrors(report);
    return report;
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
    std::string details;
    if (size() >= 2) {
        appendErrors(details);
    }
    return details;
}
