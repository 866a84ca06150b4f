// The tick handlers of the local readouts (时钟3, 时钟4, 时钟5, 时钟7) and the
// system facts they show. Each handler fills its edit box at the first tick
// and destroys its timer; the facts come in through SystemFacts, so a native
// test drives every handler with a fake view and fake facts.
#pragma once

#include "app/view.h"
#include "core/text.h"
#include "sysinfo/local_readouts.h"

class SystemFacts {
 public:
  virtual ~SystemFacts() = default;
  virtual Text LocalAddress() = 0;                // QueryLocalAddress
  virtual Text HardwareAddress() = 0;             // QueryHardwareAddress
  virtual Text OperatingSystemDescription() = 0;  // DescribeOperatingSystem with no arguments
  virtual ScreenSize PrimaryScreenSize() = 0;     // QueryScreenSize
};

// The facts as the running system reports them.
class PlatformSystemFacts final : public SystemFacts {
 public:
  Text LocalAddress() override;
  Text HardwareAddress() override;
  Text OperatingSystemDescription() override;
  ScreenSize PrimaryScreenSize() override;
};

// 时钟3: the local address into 编辑框3, the timer destroyed, then the notice
// that asks for administrator rights. The timer is gone before the modal box
// opens, so the notice comes once per start.
void OnLocalAddressTick(View& view, SystemFacts& facts);

// 时钟4: the first adapter's hardware address into 编辑框4.
void OnHardwareAddressTick(View& view, SystemFacts& facts);

// 时钟5: the bare operating-system name into 编辑框5.
void OnOperatingSystemTick(View& view, SystemFacts& facts);

// 时钟7: the screen text into 编辑框7, which then gets a bold 14-point 宋体.
void OnScreenSizeTick(View& view, SystemFacts& facts);
