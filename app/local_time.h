// The local-time readout: every tick of 时钟2 writes the local time into
// 编辑框2 in the DateTime text form (2019年10月4日14时31分42秒).
#pragma once

#include <functional>

#include "app/view.h"
#include "core/date_time.h"

// Where the readout takes the time from: CurrentDateTime in the program, a
// fixed time in tests.
using Clock = std::function<DateTime()>;

void ShowLocalTime(View& view, const Clock& clock);
