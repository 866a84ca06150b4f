// What zq_inspector and its hook DLL share to read the fonts of the controls
// of another process: the names of the memory, the event and the message, and
// the layout of the answer.
#pragma once

#include <windows.h>

inline constexpr const wchar_t* kFontQueryMappingName = L"Local\\ZqInspectorFonts";
inline constexpr const wchar_t* kFontQueryEventName = L"Local\\ZqInspectorFontsReady";
inline constexpr const wchar_t* kFontQueryMessageName = L"ZqInspectorFontQuery";
inline constexpr int kFontQueryMaxControls = 64;

struct FontQueryEntry {
  UINT64 window;  // the control's HWND
  BOOL hasFont;   // FALSE: no font was set, the control uses the system font
  LOGFONTW font;
};

struct FontQueryAnswer {
  int count;
  FontQueryEntry entries[kFontQueryMaxControls];
};
