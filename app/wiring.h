// Event wiring: which handler each tick and click runs, and what each handler
// is given to work on. Free of the platform, so the wiring is tested natively
// with a fake view and fake services.
#pragma once

#include "app/event_handlers.h"
#include "app/local_time.h"
#include "app/view.h"

// What the handlers call on besides the view.
struct Services {
  Clock currentDateTime;  // the computer's local time
};

// The handlers of every event, each bound to the view and to copies of the
// services. The view must outlive the handlers.
EventHandlers WireEventHandlers(View& view, const Services& services);
