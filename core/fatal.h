// The fatal stop for broken invariants (an index out of range, exhausted
// memory, a missing system function).
#pragma once

#include "core/text.h"

// Shows an error box carrying the message, then releases the dynamically
// loaded modules, uninitialises OLE and ends the process with exit code -1.
// The message also goes to standard error when the process has one (tests
// read it there). The native build writes it to standard error only.
[[noreturn]] void StopWithError(const Text& message);

// Makes exhausted memory end the program through StopWithError (the new
// handler); the program's start calls it once.
void StopWithErrorWhenMemoryRunsOut();
