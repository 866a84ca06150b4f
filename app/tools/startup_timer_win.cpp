// Measures how long a GUI program takes from its start to its window being
// shown: starts it, polls every millisecond for a visible top-level window
// with the given caption, then closes the window and waits for the program's
// end and exit code. Several programs are started in turn, run after run, so
// that a busy machine weighs on all of them alike. A measurement tool, no
// part of the product.
//
// usage: startup_timer.exe RUNS PROGRAM CAPTION [PROGRAM CAPTION...]
#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "core/win32.h"

namespace {

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency) {
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

struct Run {
  double shownMs = -1;
  DWORD exitCode = 0;
};

Run Measure(const std::wstring& program, const wchar_t* caption) {
  Run run;
  LARGE_INTEGER frequency;
  LARGE_INTEGER start;
  LARGE_INTEGER now;
  ::QueryPerformanceFrequency(&frequency);
  std::wstring commandLine = L"\"" + program + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ::QueryPerformanceCounter(&start);
  if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
    std::fprintf(stderr, "cannot start the program (%lu)\n", ::GetLastError());
    return run;
  }
  ScopedHandle processHandle(process.hProcess);
  ScopedHandle threadHandle(process.hThread);
  HWND window = nullptr;
  for (;;) {
    window = ::FindWindowW(nullptr, caption);
    ::QueryPerformanceCounter(&now);
    if (window != nullptr && ::IsWindowVisible(window)) break;
    if (Milliseconds(start, now, frequency) > 30000) {
      std::fprintf(stderr, "no window within 30 s\n");
      ::TerminateProcess(process.hProcess, 1);
      return run;
    }
    ::Sleep(1);
  }
  run.shownMs = Milliseconds(start, now, frequency);
  ::PostMessageW(window, WM_CLOSE, 0, 0);
  ::WaitForSingleObject(process.hProcess, 30000);
  ::GetExitCodeProcess(process.hProcess, &run.exitCode);
  return run;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 4 || argc % 2 != 0) {
    std::fprintf(stderr, "usage: startup_timer.exe RUNS PROGRAM CAPTION [PROGRAM CAPTION...]\n");
    return 2;
  }
  const int runs = std::max(1, static_cast<int>(std::wcstol(argv[1], nullptr, 10)));
  const int programs = (argc - 2) / 2;
  std::vector<std::vector<double>> times(static_cast<std::size_t>(programs));
  for (int i = 0; i < runs; ++i) {
    for (int p = 0; p < programs; ++p) {
      const wchar_t* program = argv[2 + 2 * p];
      const Run run = Measure(program, argv[3 + 2 * p]);
      if (run.shownMs < 0) return 1;
      std::printf("run %d: %ls: window shown after %.1f ms, exit code %lu\n", i + 1, program,
                  run.shownMs, run.exitCode);
      times[static_cast<std::size_t>(p)].push_back(run.shownMs);
    }
  }
  for (int p = 0; p < programs; ++p) {
    std::vector<double>& list = times[static_cast<std::size_t>(p)];
    std::sort(list.begin(), list.end());
    std::printf("%ls: median %.1f ms, min %.1f ms, max %.1f ms over %d runs\n", argv[2 + 2 * p],
                list[list.size() / 2], list.front(), list.back(), runs);
  }
  return 0;
}
