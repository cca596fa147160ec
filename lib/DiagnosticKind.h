// DiagnosticKind: which kind of message a core error is, for the public Diagnostic.
#pragma once

#include <tarnasm/tarnasm.h>

class AsmError;

namespace tarnasm::detail {

/// The public form of the kind the error was raised with.
DiagnosticKind kindOf(const AsmError& error);

} // namespace tarnasm::detail
