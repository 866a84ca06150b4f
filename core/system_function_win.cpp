// The cache of dynamically looked-up system functions: each module is loaded
// once (the program's own folder first, then the system's normal search), each
// address looked up once, and everything released at the end of the program.
// Implementation here must contain only Win32 specific code.
#include <map>
#include <string>
#include <utility>

#include "core/fatal.h"
#include "core/system_function.h"
#include "core/win32.h"

namespace {

struct SystemFunctionCache {
  std::map<std::pair<std::string, std::string>, void*> addresses;
  // Every module loaded here, by the name it was asked for; null when it could
  // not be loaded, so a missing module is not searched for again.
  std::map<std::string, HMODULE> modules;
};

SystemFunctionCache& Cache() {
  static SystemFunctionCache cache;
  return cache;
}

// The program's own folder first, then the system's normal search. The wide
// calls keep a folder name in any language intact.
HMODULE LoadModule(const std::string& module) {
  std::wstring exePath(MAX_PATH, L'\0');
  DWORD length = 0;
  // GetModuleFileNameW truncates silently and returns the buffer size when the
  // path does not fit: grow until it does.
  while ((length = ::GetModuleFileNameW(nullptr, exePath.data(),
                                        static_cast<DWORD>(exePath.size()))) == exePath.size() &&
         exePath.size() < 32768) {
    exePath.resize(exePath.size() * 2);
  }
  if (length > 0 && length < exePath.size()) {
    exePath.resize(length);
    const std::wstring local =
        exePath.substr(0, exePath.find_last_of(L"\\/") + 1) + WideFromText(Text(module));
    if (::GetFileAttributesW(local.c_str()) != INVALID_FILE_ATTRIBUTES) {
      if (HMODULE handle = ::LoadLibraryW(local.c_str())) return handle;
    }
  }
  return ::LoadLibraryA(module.c_str());
}

HMODULE CachedModule(SystemFunctionCache& cache, const std::string& module) {
  auto [entry, inserted] = cache.modules.try_emplace(module, nullptr);
  if (inserted) entry->second = LoadModule(module);
  return entry->second;
}

// NOLINTNEXTLINE(misc-no-recursion): one level deep, each call below names its module
void* FindAddress(SystemFunctionCache& cache, const std::string& module, const std::string& name) {
  if (module.empty()) {
    // No module named: the standard system libraries, kernel32 first.
    for (const char* standard : {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll",
                                 "shell32.dll", "ole32.dll", "oleaut32.dll"}) {
      if (void* address = FindAddress(cache, standard, name)) return address;
    }
    return nullptr;
  }
  HMODULE handle = CachedModule(cache, module);
  if (handle == nullptr) return nullptr;
  return reinterpret_cast<void*>(::GetProcAddress(handle, name.c_str()));
}

}  // namespace

void* LookUpSystemFunction(std::string_view module, std::string_view name) {
  SystemFunctionCache& cache = Cache();
  auto key = std::make_pair(std::string(module), std::string(name));
  if (auto found = cache.addresses.find(key); found != cache.addresses.end()) {
    return found->second;
  }
  void* address = FindAddress(cache, key.first, key.second);
  if (address == nullptr) StopWithError(MissingSystemFunctionMessage(module, name));
  cache.addresses.emplace(std::move(key), address);
  return address;
}

void ReleaseSystemFunctions() {
  SystemFunctionCache& cache = Cache();
  for (const auto& [name, handle] : cache.modules) {
    if (handle != nullptr) ::FreeLibrary(handle);
  }
  cache.modules.clear();
  cache.addresses.clear();
}
