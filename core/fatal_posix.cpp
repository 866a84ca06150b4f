// The fatal stop of the native build: the message goes to standard error.
#include <cstdio>
#include <cstdlib>

#include "core/fatal.h"

void StopWithError(const Text& message) {
  std::fprintf(stderr, "StopWithError: %s\n", message.c_str());
  std::fflush(stderr);
  std::_Exit(-1);
}
