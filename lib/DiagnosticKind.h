// DiagnosticKind: which kind of message a core error is, for the public Diagnostic.
#pragma once

#include <tarnasm/tarnasm.h>

class AsmError;

namespace tarnasm::detail {

/// The kind of the error, by its class and, for syntax errors, by the words the raiser put first.
DiagnosticKind kindOf(const AsmError& error);

} // namespace tarnasm::detail
