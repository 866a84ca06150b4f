// What the fatal stop shares between the platforms.
#include "core/fatal.h"

#include <new>

void StopWithErrorWhenMemoryRunsOut() {
  // The message is short enough to live inside the Text without allocating.
  std::set_new_handler([] { StopWithError("内存不足"); });
}
