// The stand-in netsh.exe of the end-to-end tests. Placed next to zheqiao.exe,
// it is found before the system's netsh because the program's current
// directory is its own folder and the command interpreter looks there first.
//
// Each run appends its command line, as code page 936 bytes and CR LF, to
// "netsh-standin.log" beside it (so a test sees exactly what the program's
// command asked for), then prints a configured reply on standard output and
// ends with a configured exit code. Configuration, all optional, in files
// beside it:
//   netsh-standin-reply.txt  the reply bytes, printed as they are (GBK); when
//                            missing, "确定。" CR LF, netsh's success reply
//   netsh-standin-sleep.txt  seconds to wait before replying
//   netsh-standin-exit.txt   the exit code (default 0)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

std::wstring Folder() {
  wchar_t path[MAX_PATH] = {};
  DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

bool ReadFileBytes(const std::wstring& path, std::string& bytes) {
  HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  char buffer[4096];
  DWORD got = 0;
  while (::ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
    bytes.append(buffer, got);
  ::CloseHandle(file);
  return true;
}

void AppendFileBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = ::CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  ::CloseHandle(file);
}

// The command line in code page 936, the program's text encoding, whatever
// the ANSI code page of the system is.
std::string CommandLineBytes() {
  const wchar_t* wide = ::GetCommandLineW();
  int size = ::WideCharToMultiByte(936, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size > 0 ? size : 1), '\0');
  ::WideCharToMultiByte(936, 0, wide, -1, bytes.data(), size, nullptr, nullptr);
  bytes.resize(bytes.size() - 1);
  return bytes;
}

}  // namespace

int main() {
  const std::wstring folder = Folder();
  AppendFileBytes(folder + L"netsh-standin.log", CommandLineBytes() + "\r\n");

  std::string setting;
  if (ReadFileBytes(folder + L"netsh-standin-sleep.txt", setting))
    ::Sleep(static_cast<DWORD>(std::strtoul(setting.c_str(), nullptr, 10) * 1000));

  std::string reply;
  // "确定。" CR LF in code page 936.
  if (!ReadFileBytes(folder + L"netsh-standin-reply.txt", reply))
    reply = "\xC8\xB7\xB6\xA8\xA1\xA3\r\n";
  DWORD written = 0;
  ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), reply.data(), static_cast<DWORD>(reply.size()),
              &written, nullptr);

  setting.clear();
  if (ReadFileBytes(folder + L"netsh-standin-exit.txt", setting)) return std::atoi(setting.c_str());
  return 0;
}
