// Event wiring; see wiring.h. A slot left empty has no handler yet.
#include "app/wiring.h"

EventHandlers WireEventHandlers(View& view, const Services& services) {
  EventHandlers handlers;
  handlers.时钟2Tick = [&view, clock = services.currentDateTime] { ShowLocalTime(view, clock); };
  return handlers;
}
