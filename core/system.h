// Thin wrappers over the system: the clock, the registry, the platform kind and
// the message pump. Windows implementations live in system_win.cpp; the native
// build has the least that lets the logic and its tests build (system_posix.cpp):
// the host's local time, a clock that is never set, an empty registry, no
// Windows platform and no message queue.
#pragma once

#include <optional>

#include "core/date_time.h"
#include "core/text.h"

// The computer's local time, in whole seconds.
DateTime CurrentDateTime();

// Sets the computer's local clock (SetLocalTime); true only when it was set.
// The native build never touches the host clock and always answers false.
bool SetCurrentDateTime(const DateTime& dateTime);

// Registry roots by their codes; any other code means HKEY_CURRENT_USER.
enum RegistryRoot : int {
  kClassesRoot = 1,
  kCurrentConfig = 2,
  kLocalMachine = 4,
  kUsers = 5,
  kCurrentUser = 3,
};

// A registry path cut at its last backslash, found walking by characters (a
// backslash byte may be the second byte of a double-byte character): the key
// before it, the value name after it. Without a backslash the key is empty and
// the value lies directly under the root.
struct RegistryPath {
  Text key;
  Text valueName;
  friend bool operator==(const RegistryPath&, const RegistryPath&) = default;
};
RegistryPath SplitRegistryPath(const Text& path);

// Reads a REG_SZ (or expanded REG_EXPAND_SZ) value. The path is cut at its last
// backslash into key and value name. Anything missing gives defaultText when it
// was given, else the empty Text.
Text ReadRegistryText(int root, const Text& path,
                      const std::optional<Text>& defaultText = std::nullopt);

// 1 Win32s, 2 the Windows 95 family, 3 the NT family, 0 unrecognised. The
// native build is no Windows at all and answers 0.
int OsKind();

// Handles the window messages waiting for the GUI thread, leaving a quit
// request for the main loop; returns at once when nothing waits.
void ProcessPendingEvents();
