// A minimal Win32 window built like zheqiao.exe, for the harness's own test
// and as the baseline of the start-up figure: caption "e2e-minimal", a label,
// a disabled edit box and two buttons. "ask" opens a message box; "netsh" runs
// "cmd.exe /c netsh interface show" from the window's folder and shows what it
// printed, which proves the stand-in netsh of the harness is the one found.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>

namespace {

constexpr int kAskId = 101;
constexpr int kNetshId = 102;

// Runs the command with its output captured through a pipe.
std::string RunCaptured(const wchar_t* command) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!::CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return {};
  ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION process{};
  std::wstring line = command;
  std::string output;
  if (::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                       nullptr, &startup, &process)) {
    ::CloseHandle(writeEnd);
    writeEnd = nullptr;
    char buffer[512];
    DWORD got = 0;
    while (::ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0)
      output.append(buffer, got);
    ::WaitForSingleObject(process.hProcess, INFINITE);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
  }
  if (writeEnd) ::CloseHandle(writeEnd);
  ::CloseHandle(readEnd);
  return output;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == kAskId) {
        ::MessageBoxW(nullptr, L"asked", L"e2e-minimal-box", MB_OK | MB_TASKMODAL);
      } else if (LOWORD(wParam) == kNetshId) {
        std::string output = RunCaptured(L"cmd.exe /c netsh interface show");
        ::MessageBoxA(nullptr, output.c_str(), "netsh", MB_OK | MB_TASKMODAL);
      }
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  wchar_t path[MAX_PATH] = {};
  std::wstring folder(path, ::GetModuleFileNameW(nullptr, path, MAX_PATH));
  ::SetCurrentDirectoryW(folder.substr(0, folder.find_last_of(L"\\/")).c_str());

  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = L"ZqE2eMinimal";
  ::RegisterClassW(&windowClass);

  const int width = 300, height = 200;
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  HWND window = ::CreateWindowExW(0, L"ZqE2eMinimal", L"e2e-minimal", style,
                                  (::GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                                  (::GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height,
                                  nullptr, nullptr, instance, nullptr);
  HFONT font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  struct {
    const wchar_t* kind;
    const wchar_t* text;
    DWORD style;
    int x, y, w, h, id;
  } controls[] = {
      {L"STATIC", L"label", SS_LEFT, 10, 10, 60, 20, 0},
      {L"EDIT", L"", ES_CENTER | ES_AUTOHSCROLL | WS_DISABLED, 80, 10, 120, 20, 0},
      {L"BUTTON", L"ask", BS_PUSHBUTTON | WS_TABSTOP, 10, 60, 80, 30, kAskId},
      {L"BUTTON", L"netsh", BS_PUSHBUTTON | WS_TABSTOP, 100, 60, 80, 30, kNetshId},
  };
  for (const auto& c : controls) {
    HWND control = ::CreateWindowExW(
        0, c.kind, c.text, WS_CHILD | WS_VISIBLE | c.style, c.x, c.y, c.w, c.h, window,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance, nullptr);
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  ::ShowWindow(window, SW_SHOW);

  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (::IsDialogMessageW(window, &message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}
