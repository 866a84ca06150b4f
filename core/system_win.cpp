// The system operations on Windows: the local clock, the registry, the
// platform kind and the message pump. Failures of the calls are turned here,
// once, into the silent outcomes of the operations (false, default text, 0).
// Implementation here must contain only Win32 specific code.
#include <algorithm>
#include <cwchar>
#include <optional>
#include <string>

#include "core/system.h"
#include "core/win32.h"

namespace {

// Owns an open registry key (RegCloseKey).
class ScopedKey {
 public:
  ScopedKey() = default;
  ScopedKey(const ScopedKey&) = delete;
  ScopedKey& operator=(const ScopedKey&) = delete;
  ~ScopedKey() {
    if (key_ != nullptr) ::RegCloseKey(key_);
  }
  HKEY Get() const { return key_; }
  HKEY* Receive() { return &key_; }

 private:
  HKEY key_ = nullptr;
};

HKEY RootKey(int root) {
  switch (root) {
    case kClassesRoot:
      return HKEY_CLASSES_ROOT;
    case kCurrentConfig:
      return HKEY_CURRENT_CONFIG;
    case kLocalMachine:
      return HKEY_LOCAL_MACHINE;
    case kUsers:
      return HKEY_USERS;
    default:
      return HKEY_CURRENT_USER;
  }
}

// The text of a REG_SZ or REG_EXPAND_SZ value (expanded); nothing for a
// missing value, another type or a failed read. The wide calls with an
// explicit code page 936 conversion give the same texts as the ANSI calls on a
// Chinese system, and right ones on any other.
std::optional<std::wstring> QueryText(HKEY key, const std::wstring& valueName) {
  DWORD type = 0;
  DWORD size = 0;
  if (::RegQueryValueExW(key, valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
  std::wstring data;
  LSTATUS status = ERROR_MORE_DATA;
  // The value may grow between the two queries: ask again with the new size.
  for (int attempt = 0; attempt < 4 && status == ERROR_MORE_DATA; ++attempt) {
    data.assign(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    status = ::RegQueryValueExW(key, valueName.c_str(), nullptr, &type,
                                reinterpret_cast<BYTE*>(data.data()), &size);
  }
  if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::nullopt;
  // The stored bytes need not end in a zero: cut at the size, then at the first zero.
  data.resize(std::min<std::size_t>(data.size(), size / sizeof(wchar_t)));
  data.resize(std::wcslen(data.c_str()));
  if (type == REG_SZ) return data;

  const DWORD needed = ::ExpandEnvironmentStringsW(data.c_str(), nullptr, 0);
  if (needed == 0) return std::nullopt;
  std::wstring expanded(needed, L'\0');
  const DWORD written = ::ExpandEnvironmentStringsW(data.c_str(), expanded.data(), needed);
  if (written == 0 || written > needed) return std::nullopt;
  expanded.resize(std::wcslen(expanded.c_str()));
  return expanded;
}

}  // namespace

DateTime CurrentDateTime() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  // The milliseconds are dropped, not rounded: the clock reads whole seconds.
  return MakeDateTime(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
}

bool SetCurrentDateTime(const DateTime& dateTime) {
  const DateTimeFields fields = ToFields(dateTime);
  SYSTEMTIME time{};
  time.wYear = static_cast<WORD>(fields.year);
  time.wMonth = static_cast<WORD>(fields.month);
  time.wDay = static_cast<WORD>(fields.day);
  time.wHour = static_cast<WORD>(fields.hour);
  time.wMinute = static_cast<WORD>(fields.minute);
  time.wSecond = static_cast<WORD>(fields.second);
  time.wMilliseconds = 0;  // wDayOfWeek is ignored by SetLocalTime
  // Fails without the right to change the system time; the clock then stays.
  return ::SetLocalTime(&time) != FALSE;
}

Text ReadRegistryText(int root, const Text& path, const std::optional<Text>& defaultText) {
  Text fallback = defaultText.value_or(Text());  // not const: returned by moving
  const RegistryPath parts = SplitRegistryPath(path);
  ScopedKey key;
  // A path without a backslash names a value directly under the root: an empty
  // subkey opens the root itself.
  if (::RegOpenKeyExW(RootKey(root), WideFromText(parts.key).c_str(), 0, KEY_READ, key.Receive()) !=
      ERROR_SUCCESS) {
    return fallback;
  }
  const std::optional<std::wstring> value = QueryText(key.Get(), WideFromText(parts.valueName));
  return value ? TextFromWide(*value) : fallback;
}

int OsKind() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof(info);
  static_assert(sizeof(OSVERSIONINFOA) == 148);
  if (!::GetVersionExA(&info)) return 0;
  switch (info.dwPlatformId) {
    case VER_PLATFORM_WIN32s:
      return 1;
    case VER_PLATFORM_WIN32_WINDOWS:
      return 2;
    case VER_PLATFORM_WIN32_NT:
      return 3;
    default:
      return 0;
  }
}

void ProcessPendingEvents() {
  MSG message{};
  // Look before taking: a waiting WM_QUIT stays in the queue for the main loop.
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) {
    if (message.message == WM_QUIT) return;
    if (!::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) return;
    if (message.message == WM_QUIT) {
      // A quit request posted by a sent message between the two looks was
      // taken after all: post it again and leave it to the main loop.
      ::PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}
