// zq_perf_probe: the figures of the soak run and of the benchmark, read from
// inside the Wine prefix (or on Windows) where the Linux side cannot see them.
// A measurement tool, no part of the product. Records are "key=value" lines.
//
//   figures IMAGE       one record for the running process of that image name
//                       (e.g. zheqiao.exe): its handle count (two ways), GDI
//                       and USER objects (GetGuiResources), the live entries
//                       of its GDI handle table, windows, threads and memory
//   startup RUNS PROGRAM CAPTION [LEFT,TOP ...]
//                       starts the program RUNS times; each time: the time to
//                       its window shown, the time until every control at the
//                       given client positions has a text, its peak memory,
//                       then it is closed (message boxes answered first) and
//                       its exit code is taken
//
// Where the system does not keep a figure the probe says "unreported" instead
// of a number. Under Wine 8: GetGuiResources answers 0 for every process (the
// GDI and USER counts are unreported; the live entries of the process's GDI
// handle table are counted instead, and its windows, the USER objects seen
// from outside),
// GetProcessHandleCount succeeds with 0 while the system's process list
// carries wineserver's handle count, and PrivateUsage is 0. Processor time is
// better read on the Linux side (/proc/PID/stat): GetProcessTimes of another
// process is far below it under Wine.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// After windows.h:
#include <psapi.h>
#include <shellapi.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

// --- helpers ------------------------------------------------------------------

class Handle {
 public:
  explicit Handle(HANDLE handle = nullptr) : handle_(handle) {}
  ~Handle() {
    if (handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  ::QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

LARGE_INTEGER Now() {
  LARGE_INTEGER now;
  ::QueryPerformanceCounter(&now);
  return now;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  return name;
}

DWORD ProcessOf(HWND window) {
  DWORD pid = 0;
  ::GetWindowThreadProcessId(window, &pid);
  return pid;
}

// The length of a control's text, asked across processes (WM_GETTEXTLENGTH is
// marshalled by the system); -1 when the program does not answer in time.
long TextLength(HWND window) {
  DWORD_PTR length = 0;
  if (!::SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 1000, &length))
    return -1;
  return static_cast<long>(length);
}

// --- the windows of a process ---------------------------------------------------

struct WindowSearch {
  DWORD pid;
  std::wstring caption;    // empty: any
  std::wstring className;  // empty: any
  bool visibleOnly;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  if (ProcessOf(window) != search->pid) return TRUE;
  if (search->visibleOnly && !::IsWindowVisible(window)) return TRUE;
  if (!search->className.empty() && ClassOf(window) != search->className) return TRUE;
  if (!search->caption.empty()) {
    wchar_t caption[256] = {};
    ::GetWindowTextW(window, caption, 256);
    if (search->caption != caption) return TRUE;
  }
  search->found.push_back(window);
  return TRUE;
}

std::vector<HWND> TopLevelWindows(DWORD pid, const std::wstring& caption,
                                  const std::wstring& className, bool visibleOnly) {
  WindowSearch search{pid, caption, className, visibleOnly, {}};
  ::EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

BOOL CALLBACK CountChild(HWND, LPARAM param) {
  ++*reinterpret_cast<long*>(param);
  return TRUE;
}

// Every window of the process: its top-level windows and all their children.
long WindowCount(DWORD pid) {
  long count = 0;
  for (HWND window : TopLevelWindows(pid, L"", L"", false)) {
    ++count;
    ::EnumChildWindows(window, CountChild, reinterpret_cast<LPARAM>(&count));
  }
  return count;
}

// Answers (OK) every visible message box of the process.
int AnswerBoxes(DWORD pid) {
  int answered = 0;
  for (HWND box : TopLevelWindows(pid, L"", L"#32770", true)) {
    if (HWND ok = ::GetDlgItem(box, IDOK)) {
      ::PostMessageW(ok, BM_CLICK, 0, 0);
      ++answered;
    }
  }
  return answered;
}

HWND ChildAt(HWND parent, long left, long top) {
  for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    RECT rect{};
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
    if (rect.left == left && rect.top == top) return child;
  }
  return nullptr;
}

// --- figures ------------------------------------------------------------------

struct ProcessEntry {
  DWORD pid = 0;
  DWORD threads = 0;
};

ProcessEntry FindProcess(const std::wstring& image) {
  ProcessEntry entry;
  Handle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return entry;
  PROCESSENTRY32W process{};
  process.dwSize = sizeof process;
  for (BOOL more = ::Process32FirstW(snapshot.get(), &process); more;
       more = ::Process32NextW(snapshot.get(), &process)) {
    if (_wcsicmp(process.szExeFile, image.c_str()) == 0) {
      entry.pid = process.th32ProcessID;
      entry.threads = process.cntThreads;
    }
  }
  return entry;
}

std::string Number(long long value) {
  return std::to_string(value);
}

// The handle count the system's process list gives (NtQuerySystemInformation),
// the second way to the figure; 0 when the list has none.
unsigned long ListedHandleCount(DWORD pid) {
  using Query = NTSTATUS(WINAPI*)(SYSTEM_INFORMATION_CLASS, PVOID, ULONG, PULONG);
  auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
  if (!query) return 0;
  std::vector<unsigned char> buffer(1 << 20);
  ULONG needed = 0;
  if (query(SystemProcessInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed) <
      0)
    return 0;
  for (size_t offset = 0;;) {
    const auto* info = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(&buffer[offset]);
    if (reinterpret_cast<ULONG_PTR>(info->UniqueProcessId) == pid) return info->HandleCount;
    if (info->NextEntryOffset == 0) return 0;
    offset += info->NextEntryOffset;
  }
}

// The live entries of the GDI handle table the process sees, read from its
// memory: the table's address is in its PEB (GdiSharedHandleTable). Under
// Wine 8 the table is the process's own, 65536 entries of 24 bytes whose type
// byte (offset 14) is 0 when free, and the owner field is left 0; on Windows
// the table is shared and the owner field holds the process id. Stock objects
// count too. 0 when the table cannot be read.
unsigned long GdiTableCount(HANDLE process, DWORD pid) {
  using Query = NTSTATUS(WINAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
  auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
  PROCESS_BASIC_INFORMATION basic{};
  if (!query || query(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) < 0)
    return 0;
  constexpr std::size_t kTableInPeb = sizeof(void*) == 8 ? 0xF8 : 0x94;
  constexpr std::size_t kEntrySize = 24;
  constexpr std::size_t kEntries = 0x10000;
  void* table = nullptr;
  SIZE_T read = 0;
  if (!::ReadProcessMemory(process,
                           reinterpret_cast<const BYTE*>(basic.PebBaseAddress) + kTableInPeb,
                           &table, sizeof table, &read) ||
      table == nullptr)
    return 0;
  std::vector<unsigned char> entries(kEntrySize * kEntries);
  if (!::ReadProcessMemory(process, table, entries.data(), entries.size(), &read)) return 0;
  unsigned long count = 0;
  for (std::size_t i = 0; i < read / kEntrySize; ++i) {
    const unsigned char* entry = &entries[i * kEntrySize];
    const unsigned owner = entry[8] | (entry[9] << 8);
    if (entry[14] != 0 && (owner == 0 || owner == (pid & 0xFFFF))) ++count;
  }
  return count;
}

// A count the system left at 0 (no running process has none) is not a figure.
std::string Reported(unsigned long long value) {
  return value != 0 ? Number(static_cast<long long>(value)) : "unreported";
}

int Figures(const std::wstring& image) {
  const ProcessEntry entry = FindProcess(image);
  if (entry.pid == 0) {
    std::printf("not-found process\n");
    return 1;
  }
  Handle process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, entry.pid));
  if (!process) {
    std::printf("not-opened process pid=%lu\n", entry.pid);
    return 1;
  }
  DWORD handles = 0;
  if (!::GetProcessHandleCount(process.get(), &handles)) handles = 0;
  const DWORD gdi = ::GetGuiResources(process.get(), GR_GDIOBJECTS);
  const DWORD user = ::GetGuiResources(process.get(), GR_USEROBJECTS);
  const bool guiReported = gdi != 0 || user != 0;
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof memory;
  const bool memoryRead = ::GetProcessMemoryInfo(
      process.get(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
  std::printf(
      "figures pid=%lu threads=%lu handles=%s handles_listed=%s gdi=%s user=%s gdi_table=%s "
      "windows=%ld "
      "working_set=%s peak_working_set=%s private=%s\n",
      entry.pid, entry.threads, Reported(handles).c_str(),
      Reported(ListedHandleCount(entry.pid)).c_str(),
      guiReported ? Number(gdi).c_str() : "unreported",
      guiReported ? Number(user).c_str() : "unreported",
      Reported(GdiTableCount(process.get(), entry.pid)).c_str(), WindowCount(entry.pid),
      memoryRead ? Number(static_cast<long long>(memory.WorkingSetSize)).c_str() : "unreported",
      memoryRead ? Number(static_cast<long long>(memory.PeakWorkingSetSize)).c_str() : "unreported",
      memoryRead ? Reported(memory.PrivateUsage).c_str() : "unreported");
  return 0;
}

// --- startup ------------------------------------------------------------------

struct Run {
  double shownMs = -1;
  double filledMs = -1;
  long long peakWorkingSet = -1;
  DWORD exitCode = 0;
};

Run Measure(const std::wstring& program, const std::wstring& caption,
            const std::vector<POINT>& readouts) {
  Run run;
  std::wstring commandLine = L"\"" + program + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  const LARGE_INTEGER start = Now();
  if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &info)) {
    std::fprintf(stderr, "cannot start the program (%lu)\n", ::GetLastError());
    return run;
  }
  Handle process(info.hProcess);
  Handle thread(info.hThread);
  HWND window = nullptr;
  while (Milliseconds(start, Now()) < 60000) {
    if (!window) {
      auto windows = TopLevelWindows(info.dwProcessId, caption, L"", true);
      if (!windows.empty()) {
        window = windows.front();
        run.shownMs = Milliseconds(start, Now());
      }
    }
    if (window) {
      bool filled = true;
      for (const POINT& at : readouts) {
        HWND control = ChildAt(window, at.x, at.y);
        if (!control || TextLength(control) <= 0) {
          filled = false;
          break;
        }
      }
      if (filled) {
        run.filledMs = Milliseconds(start, Now());
        break;
      }
    }
    ::Sleep(2);
  }
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  if (::GetProcessMemoryInfo(process.get(), &memory, sizeof memory))
    run.peakWorkingSet = static_cast<long long>(memory.PeakWorkingSetSize);
  // Boxes first (the administrator notice), then the window.
  for (int pass = 0; pass < 20 && AnswerBoxes(info.dwProcessId) > 0; ++pass) ::Sleep(100);
  if (window) ::PostMessageW(window, WM_CLOSE, 0, 0);
  if (::WaitForSingleObject(process.get(), 30000) != WAIT_OBJECT_0) {
    std::fprintf(stderr, "the program did not end: ended now\n");
    ::TerminateProcess(process.get(), 1);
    ::WaitForSingleObject(process.get(), 5000);
  }
  ::GetExitCodeProcess(process.get(), &run.exitCode);
  return run;
}

double Median(std::vector<double> values) {
  if (values.empty()) return -1;
  std::sort(values.begin(), values.end());
  return values[(values.size() - 1) / 2];
}

int Startup(int runs, const std::wstring& program, const std::wstring& caption,
            const std::vector<POINT>& readouts) {
  std::vector<double> shown, filled, peak;
  for (int i = 1; i <= runs; ++i) {
    const Run run = Measure(program, caption, readouts);
    std::printf("run number=%d shown_ms=%.1f filled_ms=%.1f peak_working_set=%lld exit=%lu\n", i,
                run.shownMs, run.filledMs, run.peakWorkingSet, run.exitCode);
    std::fflush(stdout);
    if (run.shownMs < 0 || run.filledMs < 0) return 1;
    shown.push_back(run.shownMs);
    filled.push_back(run.filledMs);
    peak.push_back(static_cast<double>(run.peakWorkingSet));
  }
  std::printf("median shown_ms=%.1f filled_ms=%.1f peak_working_set=%.0f\n", Median(shown),
              Median(filled), Median(peak));
  return 0;
}

int Usage() {
  std::printf(
      "usage: zq_perf_probe figures IMAGE\n"
      "       zq_perf_probe startup RUNS PROGRAM CAPTION [LEFT,TOP ...]\n");
  return 2;
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  const std::vector<std::wstring> args(argv, argv + argc);
  ::LocalFree(argv);
  if (args.size() >= 3 && args[1] == L"figures") return Figures(args[2]);
  if (args.size() >= 5 && args[1] == L"startup") {
    std::vector<POINT> readouts;
    for (size_t i = 5; i < args.size(); ++i) {
      POINT at{};
      if (std::swscanf(args[i].c_str(), L"%ld,%ld", &at.x, &at.y) != 2) return Usage();
      readouts.push_back(at);
    }
    return Startup(std::max(1, static_cast<int>(std::wcstol(args[2].c_str(), nullptr, 10))),
                   args[3], args[4], readouts);
  }
  return Usage();
}
