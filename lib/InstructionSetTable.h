// InstructionSetTable: the built-in instruction set, built once per process, in both its forms.
#pragma once

#include "seqprocessor/SeqInstructionSet.h"

#include <tarnasm/tarnasm.h>

#include <span>

namespace tarnasm::detail {

/// The core's model of the built-in set; read-only, shared by every call.
const SeqInstructionSet& builtinInstructionSet();

/// The public description of the variant the core's definition describes.
const Variant& publicVariant(const SeqInstructionDef& definition);

} // namespace tarnasm::detail
