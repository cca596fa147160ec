// AsmErrorList: the errors of a run, ordered by line number, and the reports made from them.
#pragma once

#include "source/AsmError.h"

#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

/// Errors with a line number come first, ascending, equal lines in arrival order; errors
/// without a line follow in arrival order. Inserting costs amortised constant time: entries
/// are appended and put in order only when the list is next read.
class AsmErrorList
{
public:
    template <class T, class... Args>
    void emplace(Args&&... args)
    {
        insert(std::make_shared<T>(std::forward<Args>(args)...));
    }

    /// Files the error after every entry that does not sort after it; null is ignored.
    virtual void insert(std::shared_ptr<AsmError> error);
    /// Removes the entry holding this very object, if any.
    void erase(const std::shared_ptr<AsmError>& error);

    /// The order of the list: a before b when a has a line number and b has a larger one or none.
    static bool sortByLineNr(const std::shared_ptr<AsmError>& a, const std::shared_ptr<AsmError>& b);

    size_t size() const { return errors_.size(); }
    bool empty() const { return errors_.empty(); }
    /// Sum over the errors: references into the source (runtime errors count 0).
    size_t numberOfErrorSources() const;
    /// The entries in report order.
    const std::vector<std::shared_ptr<AsmError>>& errors() const;

    /// "<title> finished successfully", or "<title> failed with N errors:" and every error.
    std::string toStringFullReport(const std::string& title) const;
    /// One line: the count, or the only error with its line feeds written as "\n".
    std::string toStringOneLineSummary(const std::string& title) const;
    /// Every error, one after the other; "" for fewer than two.
    std::string toStringDetails() const;

private:
    /// Every error's text, one after the other, each ended by a line feed but the last.
    void appendErrors(std::string& text) const;

    // Kept in arrival order until read; sorted_ says whether it is in report order already.
    mutable std::vector<std::shared_ptr<AsmError>> errors_;
    mutable bool sorted_ = true;
};
