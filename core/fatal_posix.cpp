// The fatal stop of the native build: the message goes to standard error.
#include <cstdio>
#include <cstdlib>

#include "core/fatal.h"

void StopWithError(const Text& message) {
  std::fputs("StopWithError: ", stderr);
  std::fputs(message.c_str(), stderr);
  std::fputs("\n", stderr);
  std::fflush(stderr);
  std::_Exit(-1);
}
