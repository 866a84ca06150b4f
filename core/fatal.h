// The fatal stop for broken invariants (an index out of range, exhausted
// memory, a missing system function).
#pragma once

#include "core/text.h"

// Shows an error box carrying the message, then releases the dynamically
// loaded modules, uninitialises OLE and ends the process with exit code -1.
// The native build writes the message to standard error instead of a box.
[[noreturn]] void StopWithError(const Text& message);
