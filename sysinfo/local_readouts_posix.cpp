// The local readouts in the native build, which has no Windows sockets,
// adapter list or screen: each answers as the Windows side does when its query
// fails.
#include "sysinfo/local_readouts.h"

Text QueryLocalAddress() {
  return Text();
}

Text QueryHardwareAddress() {
  return Text();
}

ScreenSize QueryScreenSize() {
  return {};
}
