// The cache of dynamically looked-up system functions.
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/fatal.h"
#include "core/system_function.h"
#include "core/win32.h"

namespace {

struct SystemFunctionCache {
  std::map<std::pair<std::string, std::string>, void*> addresses;
  std::vector<HMODULE> loadedModules;
};

SystemFunctionCache& Cache() {
  static SystemFunctionCache cache;
  return cache;
}

// The program's own folder first, then the system's normal search.
HMODULE LoadModule(const std::string& module) {
  char exePath[MAX_PATH] = {};
  const DWORD length = ::GetModuleFileNameA(nullptr, exePath, MAX_PATH);
  if (length > 0 && length < MAX_PATH) {
    std::string local(exePath, length);
    local = local.substr(0, local.find_last_of("\\/") + 1) + module;
    if (::GetFileAttributesA(local.c_str()) != INVALID_FILE_ATTRIBUTES) {
      if (HMODULE handle = ::LoadLibraryA(local.c_str())) return handle;
    }
  }
  return ::LoadLibraryA(module.c_str());
}

void* FindAddress(SystemFunctionCache& cache, const std::string& module, const std::string& name) {
  if (module.empty()) {
    // No module named: the standard system libraries, kernel32 first.
    for (const char* standard : {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll",
                                 "shell32.dll", "ole32.dll", "oleaut32.dll"}) {
      if (void* address = FindAddress(cache, standard, name)) return address;
    }
    return nullptr;
  }
  HMODULE handle = LoadModule(module);
  if (handle == nullptr) return nullptr;
  cache.loadedModules.push_back(handle);
  return reinterpret_cast<void*>(::GetProcAddress(handle, name.c_str()));
}

}  // namespace

void* LookUpSystemFunction(std::string_view module, std::string_view name) {
  SystemFunctionCache& cache = Cache();
  const auto key = std::make_pair(std::string(module), std::string(name));
  if (auto found = cache.addresses.find(key); found != cache.addresses.end()) {
    return found->second;
  }
  void* address = FindAddress(cache, key.first, key.second);
  if (address == nullptr) {
    StopWithError("找不到系统函数：" + Text(key.first.empty() ? "(系统库)" : key.first) + " 中的 " +
                  Text(key.second));
  }
  cache.addresses.emplace(key, address);
  return address;
}

void ReleaseSystemFunctions() {
  SystemFunctionCache& cache = Cache();
  for (HMODULE handle : cache.loadedModules) ::FreeLibrary(handle);
  cache.loadedModules.clear();
  cache.addresses.clear();
}
