// The native build's system operations: the least that lets the logic and its
// tests build and run on Linux. The host clock is read but never set, there is
// no registry, no Windows platform and no message queue.
#include <ctime>

#include "core/system.h"

DateTime CurrentDateTime() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (localtime_r(&now, &local) == nullptr) return MakeDateTime();
  return MakeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                      local.tm_min, local.tm_sec);
}

// Tests run here: the host clock must never move.
bool SetCurrentDateTime(const DateTime&) {
  return false;
}

Text ReadRegistryText(int, const Text&, const std::optional<Text>& defaultText) {
  return defaultText.value_or(Text());
}

// Not Windows: the platform is not recognised.
int OsKind() {
  return 0;
}

void ProcessPendingEvents() {}
