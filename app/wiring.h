// Event wiring: which handler each tick and click runs, and what each handler
// is given to work on. Free of the platform, so the wiring is tested natively
// with a fake view and fake services.
#pragma once

#include "app/event_handlers.h"
#include "app/local_time.h"
#include "app/view.h"
#include "dns/console_runner.h"
#include "netfacts/network_facts.h"
#include "sysinfo/readout_handlers.h"

// What the handlers call on besides the view. The services must outlive the
// handlers.
struct Services {
  Clock currentDateTime;        // the computer's local time
  NetworkFacts& networkFacts;   // network time, the clock, the public address
  SystemFacts& systemFacts;     // local address, MAC, Windows version, screen
  CommandRunner& commandRunner; // console commands (netsh)
};

// The handlers of every event, each bound to the view and to the services.
// The view must outlive the handlers.
EventHandlers WireEventHandlers(View& view, const Services& services);
