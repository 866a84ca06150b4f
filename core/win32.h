// The one place that includes <windows.h>, and the small helpers every Windows
// file shares: RAII owners for handles, and the explicit conversion between
// code page 936 texts and the UTF-16 strings of the wide Windows API.
// Implementation here must contain only Win32 specific code.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
// mingw-w64 defaults to an older version; the program targets Windows 7 and up.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0601
#include <windows.h>

#include <string>
#include <string_view>
#include <utility>

#include "core/text.h"

// The code page of every Text.
inline constexpr UINT kTextCodePage = 936;

// GBK bytes to UTF-16 and back, explicitly through code page 936, so that the
// program reads right whatever the system's ANSI code page is.
std::wstring WideFromText(const Text& text);
Text TextFromWide(std::wstring_view wide);

// Owns one kernel handle (CloseHandle). Null and INVALID_HANDLE_VALUE are both
// "no handle".
class ScopedHandle {
 public:
  ScopedHandle() = default;
  explicit ScopedHandle(HANDLE handle) : handle_(handle) {}
  ScopedHandle(ScopedHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  ScopedHandle& operator=(ScopedHandle&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.handle_, nullptr));
    return *this;
  }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  ~ScopedHandle() { Reset(); }

  HANDLE Get() const { return handle_; }
  bool IsValid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
  // For out-parameters: closes what is held and hands out the slot.
  HANDLE* Receive() {
    Reset();
    return &handle_;
  }
  void Reset(HANDLE handle = nullptr) {
    if (IsValid()) ::CloseHandle(handle_);
    handle_ = handle;
  }

 private:
  HANDLE handle_ = nullptr;
};
