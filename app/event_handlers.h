// The handlers of the window's events: one per timer tick and one per button
// click. A handler takes nothing and returns nothing; it reaches the controls
// only through the View it was wired with. An empty slot has no handler, and
// the window does nothing for that event.
#pragma once

#include <functional>

#include "app/view.h"

struct EventHandlers {
  std::function<void()> 时钟1Tick;   // network-time readout
  std::function<void()> 时钟2Tick;   // local-time readout
  std::function<void()> 时钟3Tick;   // local IPv4 address, administrator notice
  std::function<void()> 时钟4Tick;   // hardware address
  std::function<void()> 时钟5Tick;   // operating-system description
  std::function<void()> 时钟6Tick;   // public address
  std::function<void()> 时钟7Tick;   // screen size
  std::function<void()> 按钮1Click;  // set the clock from network time
  std::function<void()> 按钮2Click;  // DNS preset of the first provider
  std::function<void()> 按钮3Click;  // DNS preset of the second provider
  std::function<void()> 按钮4Click;  // DNS preset of the third provider

  // The slot of a timer's tick.
  const std::function<void()>& OnTick(Timer timer) const;
  // The slot of a button's click; nullptr for a control that is no button.
  const std::function<void()>* OnClick(Control control) const;
};
