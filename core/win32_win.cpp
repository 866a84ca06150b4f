// Conversions between code page 936 texts and UTF-16.
#include "core/win32.h"

std::wstring WideFromText(const Text& text) {
  if (text.empty()) return {};
  const int length = ::MultiByteToWideChar(kTextCodePage, 0, text.c_str(),
                                           static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  ::MultiByteToWideChar(kTextCodePage, 0, text.c_str(), static_cast<int>(text.size()), wide.data(),
                        length);
  return wide;
}

Text TextFromWide(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int length = ::WideCharToMultiByte(
      kTextCodePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(length), '\0');
  ::WideCharToMultiByte(kTextCodePage, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(),
                        length, nullptr, nullptr);
  // A UTF-16 string may carry a zero; the Text keeps what precedes it.
  return Text(std::string_view(bytes));
}
