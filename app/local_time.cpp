// The local-time readout; see local_time.h.
#include "app/local_time.h"

void ShowLocalTime(View& view, const Clock& clock) {
  view.SetText(Control::编辑框2, ToText(clock()));
}
