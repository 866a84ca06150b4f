// The lookup of an event's slot in EventHandlers.
#include "app/event_handlers.h"

const std::function<void()>& EventHandlers::OnTick(Timer timer) const {
  switch (timer) {
    case Timer::时钟1:
      return 时钟1Tick;
    case Timer::时钟2:
      return 时钟2Tick;
    case Timer::时钟3:
      return 时钟3Tick;
    case Timer::时钟4:
      return 时钟4Tick;
    case Timer::时钟5:
      return 时钟5Tick;
    case Timer::时钟6:
      return 时钟6Tick;
    case Timer::时钟7:
      break;
  }
  return 时钟7Tick;
}

const std::function<void()>* EventHandlers::OnClick(Control control) const {
  switch (control) {
    case Control::按钮1:
      return &按钮1Click;
    case Control::按钮2:
      return &按钮2Click;
    case Control::按钮3:
      return &按钮3Click;
    case Control::按钮4:
      return &按钮4Click;
    default:
      return nullptr;
  }
}
