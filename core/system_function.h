// Functions of system libraries looked up by module and name at their first
// call and cached for the rest of the run (LoadLibraryA, GetProcAddress).
#pragma once

#include <string_view>

#include "core/text.h"

// The address of module!name, looked up once and cached. The module is loaded
// from the program's own folder first, then through the normal search; an
// empty module name searches the standard system libraries, kernel32 first.
// A function that cannot be found ends the program through StopWithError,
// naming module and function.
void* LookUpSystemFunction(std::string_view module, std::string_view name);

// Releases every module loaded by LookUpSystemFunction and forgets the cache.
void ReleaseSystemFunctions();

// Releases the cache when the program ends normally: WinMain holds one for its
// whole run. (The fatal stop releases the cache itself.)
class SystemFunctionsRelease {
 public:
  SystemFunctionsRelease() = default;
  SystemFunctionsRelease(const SystemFunctionsRelease&) = delete;
  SystemFunctionsRelease& operator=(const SystemFunctionsRelease&) = delete;
  ~SystemFunctionsRelease() { ReleaseSystemFunctions(); }
};

// The message of the fatal stop for a function that cannot be found.
Text MissingSystemFunctionMessage(std::string_view module, std::string_view name);

// Typed access: SystemFunction<BOOL(WINAPI*)(LPCSTR, SYSTEMTIME*, DWORD)>("wininet.dll", "...").
template <typename FunctionPointer>
FunctionPointer SystemFunction(std::string_view module, std::string_view name) {
  return reinterpret_cast<FunctionPointer>(LookUpSystemFunction(module, name));
}
