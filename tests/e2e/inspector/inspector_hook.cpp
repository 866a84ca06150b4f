// zq_inspector_hook.dll: reads the fonts of a window's controls from inside
// the process that owns them. A font handle means nothing in another process
// (and under Wine 8 WM_GETFONT sent from another process even answers 0), so
// zq_inspector installs this DLL's message hook on the program's GUI thread
// and posts it a query; the hook, running in the program, writes the LOGFONT
// of every control into memory that the inspector shares and signals it.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "inspector/font_query.h"

namespace {

void AnswerFontQuery(HWND window) {
  HANDLE mapping = ::OpenFileMappingW(FILE_MAP_WRITE, FALSE, kFontQueryMappingName);
  if (!mapping) return;
  auto* answer = static_cast<FontQueryAnswer*>(
      ::MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(FontQueryAnswer)));
  if (answer) {
    answer->count = 0;
    for (HWND child = ::GetWindow(window, GW_CHILD); child && answer->count < kFontQueryMaxControls;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
      FontQueryEntry& entry = answer->entries[answer->count++];
      entry.window = reinterpret_cast<UINT64>(child);
      HFONT font = reinterpret_cast<HFONT>(::SendMessageW(child, WM_GETFONT, 0, 0));
      // No font set: the control draws with the system font.
      entry.hasFont =
          font && ::GetObjectW(font, sizeof entry.font, &entry.font) == sizeof entry.font;
    }
    ::UnmapViewOfFile(answer);
  }
  ::CloseHandle(mapping);
  HANDLE ready = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, kFontQueryEventName);
  if (ready) {
    ::SetEvent(ready);
    ::CloseHandle(ready);
  }
}

}  // namespace

// The WH_GETMESSAGE hook procedure; the inspector finds it by this name.
extern "C" __declspec(dllexport) LRESULT CALLBACK
    ZqInspectorHook(int code, WPARAM wParam, LPARAM lParam) {
  static const UINT query = ::RegisterWindowMessageW(kFontQueryMessageName);
  if (code == HC_ACTION && wParam == PM_REMOVE) {
    MSG* message = reinterpret_cast<MSG*>(lParam);
    if (message->message == query) {
      AnswerFontQuery(message->hwnd);
      message->message = WM_NULL;  // the window never sees the query
    }
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}
