// The native build's console runner: Linux has no command interpreter of the
// Windows kind and no netsh, so every command gives the empty text, as when the
// interpreter cannot be started. The runner's logic is tested natively through
// the ConsoleCalls seam instead.
#include "dns/console_runner.h"

Text RunConsoleCommand(const Text& /*commandLine*/) {
  return Text();
}
