// zq_inspector: drives and reads the windows of another process in the same
// Wine prefix (or on Windows) for the end-to-end tests. One sub-command a run;
// it prints stable, line-oriented "key=value" records and exits 0 on success,
// 1 when the window, control or message box was not found (or a wait timed
// out), 2 on a usage error.
//
// Texts are printed as UTF-8 (the tests and their tables are UTF-8), escaped
// so that one record is one line: \\ \" \r \n \t and \xNN for other control
// bytes. Window texts are read with WM_GETTEXT through SendMessageTimeoutW:
// GetWindowText returns "" for a control of another process (on Windows and
// under Wine), and the wide message keeps the result independent of the ANSI
// code page.
//
// The system facts the program shows (local-address, mac, os-version,
// metrics, text-extent) are queried here on their own, so that a case can
// compare a readout with what the system says.
//
// Controls are chosen by a selector: "#<id>" (decimal control id), "@<left>,<top>"
// (client position of the control's top-left corner), or their exact text.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// After windows.h: CommandLineToArgvW.
#include <shellapi.h>
// After windows.h (whose WIN32_LEAN_AND_MEAN keeps out the old winsock.h), and
// winsock2.h before iphlpapi.h: the local-address and mac sub-commands.
// clang-format off
#include <winsock2.h>
#include <iphlpapi.h>
// clang-format on

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "inspector/font_query.h"

namespace {

constexpr UINT kMessageTimeoutMs = 2000;
constexpr DWORD kPollMs = 50;

// --- output -----------------------------------------------------------------

void Write(const std::string& bytes) {
  DWORD written = 0;
  ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()),
              &written, nullptr);
}

void Line(const std::string& line) {
  Write(line + "\n");
}

std::string Utf8(const std::wstring& wide) {
  if (wide.empty()) return {};
  int size = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr,
                                   0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), size,
                        nullptr, nullptr);
  return out;
}

// One record per line: control characters and quotes are escaped.
std::string Escape(const std::wstring& wide) {
  std::string out;
  for (char c : Utf8(wide)) {
    unsigned char u = static_cast<unsigned char>(c);
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '"':
        out += "\\\"";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (u < 0x20 || u == 0x7f) {
          char hex[8];
          std::snprintf(hex, sizeof hex, "\\x%02X", u);
          out += hex;
        } else {
          out += c;
        }
    }
  }
  return out;
}

std::string Quoted(const std::wstring& wide) {
  return "\"" + Escape(wide) + "\"";
}

std::string Num(long long value) {
  return std::to_string(value);
}

std::string Hex(unsigned long value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", value);
  return text;
}

// --- reading windows ----------------------------------------------------------

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  ::GetClassNameW(window, name, 256);
  return name;
}

// The text of a window of any process (WM_GETTEXT is marshalled by the system).
std::wstring TextOf(HWND window) {
  DWORD_PTR length = 0;
  if (!::SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK,
                             kMessageTimeoutMs, &length))
    return {};
  std::vector<wchar_t> buffer(length + 2, L'\0');
  DWORD_PTR copied = 0;
  if (!::SendMessageTimeoutW(window, WM_GETTEXT, buffer.size(),
                             reinterpret_cast<LPARAM>(buffer.data()), SMTO_ABORTIFHUNG | SMTO_BLOCK,
                             kMessageTimeoutMs, &copied))
    return {};
  return std::wstring(buffer.data(), copied);
}

// The caption of a top-level window, as the system stores it.
std::wstring CaptionOf(HWND window) {
  wchar_t caption[512] = {};
  ::GetWindowTextW(window, caption, 512);
  return caption;
}

struct TopLevelSearch {
  std::wstring caption;    // empty: any caption
  std::wstring className;  // empty: any class
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<TopLevelSearch*>(param);
  if (!::IsWindowVisible(window)) return TRUE;
  if (!search->className.empty() && ClassOf(window) != search->className) return TRUE;
  if (!search->caption.empty() && CaptionOf(window) != search->caption) return TRUE;
  search->found.push_back(window);
  return TRUE;
}

std::vector<HWND> TopLevelWindows(const std::wstring& caption, const std::wstring& className) {
  TopLevelSearch search{caption, className, {}};
  ::EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The main window with the caption: a message box with the same title is not it.
HWND FindMainWindow(const std::wstring& caption) {
  for (HWND window : TopLevelWindows(caption, L""))
    if (ClassOf(window) != L"#32770") return window;
  return nullptr;
}

// The first open message box, or the first with the given title.
HWND FindMessageBox(const std::wstring& title = L"") {
  auto boxes = TopLevelWindows(title, L"#32770");
  return boxes.empty() ? nullptr : boxes.front();
}

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> children;
  for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
    children.push_back(child);
  return children;
}

RECT ClientRectOfChild(HWND child) {
  RECT rect{};
  ::GetWindowRect(child, &rect);
  ::MapWindowPoints(HWND_DESKTOP, ::GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

std::string Flag(const char* name, bool on) {
  return std::string(" ") + name + "=" + (on ? "1" : "0");
}

// The fonts of a window's controls, read inside the program by the hook DLL
// beside the inspector (see inspector_hook.cpp): a font handle of another
// process cannot be read here, and under Wine 8 WM_GETFONT sent from another
// process answers 0.
struct FontTable {
  bool answered = false;
  std::vector<FontQueryEntry> entries;
};

FontTable QueryFonts(HWND window) {
  FontTable table;
  wchar_t path[MAX_PATH] = {};
  std::wstring dll(path, ::GetModuleFileNameW(nullptr, path, MAX_PATH));
  dll.resize(dll.find_last_of(L"\\/") + 1);  // npos + 1 == 0: no folder, no prefix
  dll += L"zq_inspector_hook.dll";
  HMODULE module = ::LoadLibraryW(dll.c_str());
  if (!module) return table;
  auto hookProc = reinterpret_cast<HOOKPROC>(
      reinterpret_cast<void*>(::GetProcAddress(module, "ZqInspectorHook")));
  HANDLE mapping = ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        sizeof(FontQueryAnswer), kFontQueryMappingName);
  HANDLE ready = ::CreateEventW(nullptr, TRUE, FALSE, kFontQueryEventName);
  HHOOK hook = hookProc && mapping && ready
                   ? ::SetWindowsHookExW(WH_GETMESSAGE, hookProc, module,
                                         ::GetWindowThreadProcessId(window, nullptr))
                   : nullptr;
  if (hook) {
    ::PostMessageW(window, ::RegisterWindowMessageW(kFontQueryMessageName), 0, 0);
    if (::WaitForSingleObject(ready, 3000) == WAIT_OBJECT_0) {
      auto* answer = static_cast<const FontQueryAnswer*>(
          ::MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, sizeof(FontQueryAnswer)));
      if (answer) {
        table.answered = true;
        table.entries.assign(answer->entries, answer->entries + answer->count);
        ::UnmapViewOfFile(answer);
      }
    }
    ::UnhookWindowsHookEx(hook);
  }
  if (ready) ::CloseHandle(ready);
  if (mapping) ::CloseHandle(mapping);
  ::FreeLibrary(module);
  return table;
}

std::string FontFields(HWND control, const FontTable& fonts) {
  if (!fonts.answered) return " font=unavailable";
  for (const FontQueryEntry& entry : fonts.entries) {
    if (entry.window != reinterpret_cast<UINT64>(control)) continue;
    if (!entry.hasFont) return " font=system";
    const LOGFONTW& font = entry.font;
    return " font_height=" + Num(font.lfHeight) + " font_weight=" + Num(font.lfWeight) +
           Flag("font_italic", font.lfItalic) + Flag("font_underline", font.lfUnderline) +
           Flag("font_strikeout", font.lfStrikeOut) + " font_angle=" + Num(font.lfEscapement) +
           " font_charset=" + Num(font.lfCharSet) + " font_face=" + Quoted(font.lfFaceName);
  }
  return " font=unavailable";
}

// One control; its font fields only when a font table is given.
std::string ControlRecord(HWND control, const FontTable* fonts = nullptr) {
  RECT rect = ClientRectOfChild(control);
  LONG style = ::GetWindowLongW(control, GWL_STYLE);
  LONG exStyle = ::GetWindowLongW(control, GWL_EXSTYLE);
  return "control id=" + Num(::GetDlgCtrlID(control)) + " class=" + Quoted(ClassOf(control)) +
         " text=" + Quoted(TextOf(control)) + " left=" + Num(rect.left) + " top=" + Num(rect.top) +
         " width=" + Num(rect.right - rect.left) + " height=" + Num(rect.bottom - rect.top) +
         Flag("enabled", ::IsWindowEnabled(control)) + Flag("visible", ::IsWindowVisible(control)) +
         Flag("tabstop", style & WS_TABSTOP) + " style=" + Hex(static_cast<unsigned long>(style)) +
         " exstyle=" + Hex(static_cast<unsigned long>(exStyle)) +
         (fonts ? FontFields(control, *fonts) : std::string());
}

std::string WindowRecord(HWND window) {
  RECT rect{};
  ::GetWindowRect(window, &rect);
  RECT client{};
  ::GetClientRect(window, &client);
  LONG style = ::GetWindowLongW(window, GWL_STYLE);
  LONG exStyle = ::GetWindowLongW(window, GWL_EXSTYLE);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(window, &pid);
  return "window class=" + Quoted(ClassOf(window)) + " caption=" + Quoted(CaptionOf(window)) +
         " left=" + Num(rect.left) + " top=" + Num(rect.top) +
         " width=" + Num(rect.right - rect.left) + " height=" + Num(rect.bottom - rect.top) +
         " client_width=" + Num(client.right) + " client_height=" + Num(client.bottom) +
         Flag("visible", ::IsWindowVisible(window)) + Flag("enabled", ::IsWindowEnabled(window)) +
         Flag("titlebar", (style & WS_CAPTION) == WS_CAPTION) +
         Flag("sysmenu", style & WS_SYSMENU) + Flag("minimizebox", style & WS_MINIMIZEBOX) +
         Flag("maximizebox", style & WS_MAXIMIZEBOX) + Flag("sizeframe", style & WS_THICKFRAME) +
         Flag("topmost", exStyle & WS_EX_TOPMOST) +
         Flag("owned", ::GetWindow(window, GW_OWNER) != nullptr) +
         Flag("menu", ::GetMenu(window) != nullptr) +
         " style=" + Hex(static_cast<unsigned long>(style)) +
         " exstyle=" + Hex(static_cast<unsigned long>(exStyle)) + " pid=" + Num(pid);
}

HWND FindControl(HWND parent, const std::wstring& selector) {
  for (HWND child : Children(parent)) {
    if (selector.size() > 1 && selector[0] == L'#') {
      if (::GetDlgCtrlID(child) == std::wcstol(selector.c_str() + 1, nullptr, 10)) return child;
    } else if (selector.size() > 1 && selector[0] == L'@') {
      long left = 0, top = 0;
      if (std::swscanf(selector.c_str() + 1, L"%ld,%ld", &left, &top) == 2) {
        RECT rect = ClientRectOfChild(child);
        if (rect.left == left && rect.top == top) return child;
      }
    } else if (TextOf(child) == selector) {
      return child;
    }
  }
  return nullptr;
}

// Polls until found or the time-out has passed (timeoutMs 0: look once).
template <typename Find>
HWND WaitFor(DWORD timeoutMs, Find find) {
  DWORD start = ::GetTickCount();
  for (;;) {
    if (HWND window = find()) return window;
    if (::GetTickCount() - start >= timeoutMs) return nullptr;
    ::Sleep(kPollMs);
  }
}

// The focused window of the thread that owns the window.
HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

void PressTab(bool backwards) {
  std::vector<INPUT> inputs;
  auto key = [&](WORD vk, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    inputs.push_back(input);
  };
  if (backwards) key(VK_SHIFT, false);
  key(VK_TAB, false);
  key(VK_TAB, true);
  if (backwards) key(VK_SHIFT, true);
  ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// --- sub-commands --------------------------------------------------------------

int NotFound(const std::string& what) {
  Line("not-found " + what);
  return 1;
}

DWORD TimeoutArg(const std::vector<std::wstring>& args, size_t index, DWORD fallback) {
  return args.size() > index ? static_cast<DWORD>(std::wcstoul(args[index].c_str(), nullptr, 10))
                             : fallback;
}

int Screen() {
  Line("screen width=" + Num(::GetSystemMetrics(SM_CXSCREEN)) +
       " height=" + Num(::GetSystemMetrics(SM_CYSCREEN)));
  return 0;
}

// The program's DateTime text form, written here independently as the test's
// oracle: "%d年%d月%d日", then "%d时%d分%d秒", "%d时%d分" or "%d时" by which
// trailing fields are zero, nothing at midnight.
std::wstring DateTimeText(const SYSTEMTIME& time) {
  wchar_t text[64];
  int length = std::swprintf(text, 64, L"%d年%d月%d日", time.wYear, time.wMonth, time.wDay);
  if (time.wSecond != 0)
    std::swprintf(text + length, 64 - length, L"%d时%d分%d秒", time.wHour, time.wMinute,
                  time.wSecond);
  else if (time.wMinute != 0)
    std::swprintf(text + length, 64 - length, L"%d时%d分", time.wHour, time.wMinute);
  else if (time.wHour != 0)
    std::swprintf(text + length, 64 - length, L"%d时", time.wHour);
  return text;
}

// The local time of this (Wine) process now and at each of the given number
// of seconds before, newest first, with its DateTime text and Unix time.
int LocalTime(int secondsBack) {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  FILETIME local{};
  ::SystemTimeToFileTime(&now, &local);
  FILETIME utc{};
  ::GetSystemTimeAsFileTime(&utc);
  auto ticks = [](const FILETIME& time) {
    return (static_cast<long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  };
  const long long kTicksPerSecond = 10000000;
  const long long kUnixEpochTicks = 116444736000000000LL;
  long long localTicks = ticks(local) - ticks(local) % kTicksPerSecond;
  long long unixNow = (ticks(utc) - kUnixEpochTicks) / kTicksPerSecond;
  for (int back = 0; back <= secondsBack; ++back) {
    long long value = localTicks - back * kTicksPerSecond;
    FILETIME then{static_cast<DWORD>(value), static_cast<DWORD>(value >> 32)};
    SYSTEMTIME time{};
    ::FileTimeToSystemTime(&then, &time);
    Line("localtime text=" + Quoted(DateTimeText(time)) + " epoch=" + Num(unixNow - back) +
         " year=" + Num(time.wYear) + " month=" + Num(time.wMonth) + " day=" + Num(time.wDay) +
         " hour=" + Num(time.wHour) + " minute=" + Num(time.wMinute) +
         " second=" + Num(time.wSecond));
  }
  return 0;
}

// The system's default GUI font, the one every control starts with.
int DefaultFont() {
  LOGFONTW font{};
  ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
  Line("default-font font_height=" + Num(font.lfHeight) + " font_weight=" + Num(font.lfWeight) +
       " font_charset=" + Num(font.lfCharSet) + " font_face=" + Quoted(font.lfFaceName));
  return 0;
}

int WaitWindow(const std::wstring& caption, DWORD timeoutMs) {
  HWND window = WaitFor(timeoutMs, [&] { return FindMainWindow(caption); });
  if (!window) return NotFound("window " + Quoted(caption));
  Line(WindowRecord(window));
  return 0;
}

int Dump(const std::wstring& caption) {
  HWND window = FindMainWindow(caption);
  if (!window) return NotFound("window " + Quoted(caption));
  Line(WindowRecord(window));
  FontTable fonts = QueryFonts(window);
  for (HWND child : Children(window)) Line(ControlRecord(child, &fonts));
  return 0;
}

int ControlCommand(const std::wstring& caption, const std::wstring& selector,
                   const std::string& what) {
  HWND window = FindMainWindow(caption);
  if (!window) return NotFound("window " + Quoted(caption));
  HWND control = FindControl(window, selector);
  if (!control) return NotFound("control " + Quoted(selector));
  if (what == "text") {
    Line(Escape(TextOf(control)));
  } else if (what == "control") {
    FontTable fonts = QueryFonts(window);
    Line(ControlRecord(control, &fonts));
  } else if (what == "click") {
    // Posted, so the inspector never waits for a handler (or a message box it opens).
    ::PostMessageW(control, BM_CLICK, 0, 0);
    Line("clicked id=" + Num(::GetDlgCtrlID(control)) + " text=" + Quoted(TextOf(control)));
  }
  return 0;
}

int Close(const std::wstring& caption) {
  HWND window = FindMainWindow(caption);
  if (!window) return NotFound("window " + Quoted(caption));
  ::PostMessageW(window, WM_CLOSE, 0, 0);
  Line("closed caption=" + Quoted(caption));
  return 0;
}

std::string MessageRecord(HWND box) {
  std::string record = "message title=" + Quoted(CaptionOf(box));
  HWND text = ::GetDlgItem(box, 0xFFFF);
  record += " text=" + Quoted(text ? TextOf(text) : std::wstring());
  record += " pid=";
  DWORD pid = 0;
  ::GetWindowThreadProcessId(box, &pid);
  record += Num(pid);
  return record;
}

int Message(DWORD timeoutMs, const std::wstring& title) {
  HWND box = WaitFor(timeoutMs, [&] { return FindMessageBox(title); });
  if (!box) return NotFound("message");
  Line(MessageRecord(box));
  for (HWND child : Children(box))
    if (ClassOf(child) == L"Button" && ::IsWindowVisible(child))
      Line("button id=" + Num(::GetDlgCtrlID(child)) + " text=" + Quoted(TextOf(child)));
  return 0;
}

// Every open message box, one record each (the message record's format and
// the box's window handle, which tells a box opened again from one still
// closing), then their count: two boxes open at once are both seen.
int Messages() {
  auto boxes = TopLevelWindows(L"", L"#32770");
  for (HWND box : boxes)
    Line(MessageRecord(box) +
         " window=" + Hex(static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(box))));
  Line("messages count=" + Num(static_cast<long long>(boxes.size())));
  return 0;
}

int Answer(int buttonId, DWORD timeoutMs, const std::wstring& title) {
  HWND box = WaitFor(timeoutMs, [&] { return FindMessageBox(title); });
  if (!box) return NotFound("message");
  std::string record = MessageRecord(box);
  HWND button = ::GetDlgItem(box, buttonId);
  if (!button) return NotFound("button #" + Num(buttonId));
  ::PostMessageW(button, BM_CLICK, 0, 0);
  Line("answered button=" + Num(buttonId) + " " + record);
  return 0;
}

int Focus(const std::wstring& caption) {
  HWND window = FindMainWindow(caption);
  if (!window) return NotFound("window " + Quoted(caption));
  HWND focus = FocusOf(window);
  if (!focus) {
    Line("focus none");
  } else if (focus == window) {
    Line("focus window");
  } else {
    Line("focus " + ControlRecord(focus).substr(sizeof "control"));
  }
  return 0;
}

// Presses Tab (or Shift+Tab) count times as keyboard input to the foreground
// window and prints the focused control after each press.
int TabOrder(const std::wstring& caption, int count, bool backwards) {
  HWND window = FindMainWindow(caption);
  if (!window) return NotFound("window " + Quoted(caption));
  ::SetForegroundWindow(window);
  ::Sleep(200);
  for (int press = 1; press <= count; ++press) {
    PressTab(backwards);
    ::Sleep(150);
    HWND focus = FocusOf(window);
    if (!focus || focus == window) {
      Line("tab press=" + Num(press) + " focus=" + (focus ? "window" : "none"));
    } else {
      Line("tab press=" + Num(press) + " id=" + Num(::GetDlgCtrlID(focus)) +
           " class=" + Quoted(ClassOf(focus)) + " text=" + Quoted(TextOf(focus)));
    }
  }
  return 0;
}

// --- system facts, queried independently of the program -------------------------

std::wstring WideFromAnsi(const char* text) {
  int size = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (size <= 1) return {};
  std::wstring wide(static_cast<size_t>(size), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), size);
  wide.resize(static_cast<size_t>(size - 1));
  return wide;
}

// The host-name lookup of the local computer (the empty name): the first
// address and all of them, in the order the system lists them.
int LocalAddress() {
  WSADATA data{};
  if (::WSAStartup(MAKEWORD(2, 2), &data) != 0) {
    Line("local-address text=\"\" count=0 error=startup");
    return 0;
  }
  std::string first;
  std::string all;
  int count = 0;
  const hostent* host = ::gethostbyname("");
  if (host && host->h_addrtype == AF_INET && host->h_addr_list) {
    for (; host->h_addr_list[count]; ++count) {
      in_addr address{};
      std::memcpy(&address, host->h_addr_list[count], sizeof address);
      std::string text = ::inet_ntoa(address);
      if (count == 0) first = text;
      all += (count ? " " : "") + text;
    }
  }
  Line("local-address text=\"" + first + "\" count=" + Num(count) + " all=\"" + all + "\"" +
       (host ? "" : " error=" + Num(::WSAGetLastError())));
  ::WSACleanup();
  return 0;
}

// The first adapter of GetAdaptersInfo: its first six address bytes as
// "%02X-%02X-%02X-%02X-%02X-%02X" (empty without adapters), its address
// length, its name, and how many adapters there are.
int HardwareAddress() {
  ULONG size = 0;
  ::GetAdaptersInfo(nullptr, &size);
  std::vector<IP_ADAPTER_INFO> buffer(size / sizeof(IP_ADAPTER_INFO) + 1);
  size = static_cast<ULONG>(buffer.size() * sizeof(IP_ADAPTER_INFO));
  if (::GetAdaptersInfo(buffer.data(), &size) != NO_ERROR) {
    Line("mac text=\"\" adapters=0");
    return 0;
  }
  int adapters = 0;
  for (const IP_ADAPTER_INFO* adapter = buffer.data(); adapter; adapter = adapter->Next) ++adapters;
  const IP_ADAPTER_INFO& first = buffer.front();
  char text[32];
  std::snprintf(text, sizeof text, "%02X-%02X-%02X-%02X-%02X-%02X", first.Address[0],
                first.Address[1], first.Address[2], first.Address[3], first.Address[4],
                first.Address[5]);
  Line(std::string("mac text=\"") + text + "\" adapters=" + Num(adapters) +
       " length=" + Num(first.AddressLength) + " name=" + Quoted(WideFromAnsi(first.AdapterName)) +
       " ip=" + Quoted(WideFromAnsi(first.IpAddressList.IpAddress.String)));
  return 0;
}

// The true version numbers (RtlGetNtVersionNumbers: GetVersionEx is subject to
// the compatibility shims) and the product type and suite mask of the version
// record; the name is left to the case.
int OsVersion() {
  using GetNtVersionNumbers = void(WINAPI*)(DWORD*, DWORD*, DWORD*);
  auto getNumbers = reinterpret_cast<GetNtVersionNumbers>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "RtlGetNtVersionNumbers")));
  OSVERSIONINFOEXW version{};
  version.dwOSVersionInfoSize = sizeof version;
  if (!getNumbers || !::GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&version))) {
    Line("os-version unavailable");
    return 1;
  }
  DWORD major = 0;
  DWORD minor = 0;
  DWORD build = 0;
  getNumbers(&major, &minor, &build);
  Line("os-version major=" + Num(major) + " minor=" + Num(minor) + " build=" + Num(build & 0xFFFF) +
       " product_type=" + Num(version.wProductType) + " suite=" + Hex(version.wSuiteMask) +
       " service_pack=" + Quoted(version.szCSDVersion));
  return 0;
}

// What a font size in points and an edit box's growth depend on.
int Metrics() {
  HDC screen = ::GetDC(nullptr);
  int dpiY = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  Line("metrics dpi_y=" + Num(dpiY) + " cxedge=" + Num(::GetSystemMetrics(SM_CXEDGE)));
  return 0;
}

// The size of a text drawn on the screen in a font of the given face, LOGFONT
// height and weight (default character set, as the program makes its fonts).
int TextExtent(const std::wstring& face, int height, int weight, const std::wstring& text) {
  LOGFONTW logFont{};
  logFont.lfHeight = height;
  logFont.lfWeight = weight;
  logFont.lfCharSet = DEFAULT_CHARSET;
  ::lstrcpynW(logFont.lfFaceName, face.c_str(), LF_FACESIZE);
  HFONT font = ::CreateFontIndirectW(&logFont);
  HDC screen = ::GetDC(nullptr);
  HGDIOBJ previous = ::SelectObject(screen, font);
  SIZE size{};
  ::GetTextExtentPoint32W(screen, text.c_str(), static_cast<int>(text.size()), &size);
  ::SelectObject(screen, previous);
  ::ReleaseDC(nullptr, screen);
  ::DeleteObject(font);
  Line("text-extent width=" + Num(size.cx) + " height=" + Num(size.cy));
  return 0;
}

int Usage() {
  Line(
      "usage: zq_inspector screen | localtime [SECONDS_BACK] | default-font |\n"
      "       wait-window CAPTION MS | dump CAPTION | text CAPTION SELECTOR |\n"
      "       control CAPTION SELECTOR | click CAPTION SELECTOR | close CAPTION |\n"
      "       message [MS [TITLE]] | wait-message [MS [TITLE]] | messages |\n"
      "       answer [ID [MS [TITLE]]] | focus CAPTION | tab-order CAPTION COUNT [back] |\n"
      "       local-address | mac | os-version | metrics |\n"
      "       text-extent FACE HEIGHT WEIGHT TEXT\n"
      "SELECTOR: #ID | @LEFT,TOP | exact text");
  return 2;
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  std::vector<std::wstring> args(argv + 1, argv + argc);
  ::LocalFree(argv);
  if (args.empty()) return Usage();
  const std::string command = Utf8(args[0]);
  auto has = [&](size_t count) { return args.size() >= count + 1; };

  if (command == "screen") return Screen();
  if (command == "localtime")
    return LocalTime(has(1) ? static_cast<int>(std::wcstol(args[1].c_str(), nullptr, 10)) : 0);
  if (command == "default-font") return DefaultFont();
  if (command == "wait-window" && has(1)) return WaitWindow(args[1], TimeoutArg(args, 2, 10000));
  if (command == "dump" && has(1)) return Dump(args[1]);
  if ((command == "text" || command == "control" || command == "click") && has(2))
    return ControlCommand(args[1], args[2], command);
  if (command == "close" && has(1)) return Close(args[1]);
  // The optional TITLE picks one box when several are open.
  auto titleArg = [&](size_t index) { return has(index) ? args[index] : std::wstring(); };
  if (command == "message") return Message(TimeoutArg(args, 1, 0), titleArg(2));
  if (command == "wait-message") return Message(TimeoutArg(args, 1, 10000), titleArg(2));
  if (command == "messages") return Messages();
  if (command == "answer")
    return Answer(has(1) ? static_cast<int>(std::wcstol(args[1].c_str(), nullptr, 10)) : IDOK,
                  TimeoutArg(args, 2, 0), titleArg(3));
  if (command == "focus" && has(1)) return Focus(args[1]);
  if (command == "tab-order" && has(2))
    return TabOrder(args[1], static_cast<int>(std::wcstol(args[2].c_str(), nullptr, 10)),
                    has(3) && args[3] == L"back");
  if (command == "local-address") return LocalAddress();
  if (command == "mac") return HardwareAddress();
  if (command == "os-version") return OsVersion();
  if (command == "metrics") return Metrics();
  if (command == "text-extent" && has(4))
    return TextExtent(args[1], static_cast<int>(std::wcstol(args[2].c_str(), nullptr, 10)),
                      static_cast<int>(std::wcstol(args[3].c_str(), nullptr, 10)), args[4]);
  return Usage();
}
