// SeqProcErrors: the exceptions of the instruction-set model and of the processor memories.
#pragma once

#include <stdexcept>

/// An empty pointer or an element without id was added to a lookup table.
class SeqProcUninitializedError : public std::logic_error
{
public:
    using std::logic_error::logic_error;
};

/// A second element with an id or a name already present in one table.
class SeqProcDuplicateError : public std::logic_error
{
public:
    using std::logic_error::logic_error;
};

/// The static field, argument or instruction tables contradict each other.
class SeqProcInstructionTableError : public std::logic_error
{
public:
    using std::logic_error::logic_error;
};

/// An access beyond the end of a memory.
class SeqProcMemoryError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};
