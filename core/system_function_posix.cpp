// The native stand-in of the dynamic lookup: there are no Windows libraries
// here, so every lookup ends like a function that cannot be found on Windows.
#include "core/fatal.h"
#include "core/system_function.h"

void* LookUpSystemFunction(std::string_view module, std::string_view name) {
  StopWithError(MissingSystemFunctionMessage(module, name));
}

void ReleaseSystemFunctions() {}
