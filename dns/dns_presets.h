// The DNS presets: SetDnsServers changes the DNS servers of one connection by
// running netsh twice through the console runner, and OnDnsButtonClicked is
// the click handler of the three preset buttons 按钮2, 按钮3 and 按钮4.
#pragma once

#include <optional>

#include "app/view.h"
#include "core/text.h"
#include "dns/console_runner.h"

// The connection whose DNS servers the presets replace.
inline constexpr const char* kDefaultConnectionName = "本地连接";

// Runs "cmd /c netsh interface ip set dns <name> static <primary>" and then
// "cmd /c netsh interface ip add dns <name> <secondary>" through runner (the
// name inserted unchanged, without quotes; left out: "本地连接"). True when
// both outputs hold "确定"; errorText is then left as it was. Otherwise each
// output loses one line break (see CutOneLineBreak), the two are joined into
// errorText (when given) and the result is false.
bool SetDnsServers(const Text& primaryAddress, const Text& secondaryAddress, CommandRunner& runner,
                   const std::optional<Text>& connectionName = std::nullopt,
                   Text* errorText = nullptr);

// Removes the first "\r\n" that begins at or after two bytes before the
// output's last "\r\n": its last line break, or, when it ends in two line
// breaks in a row, the earlier of them. An output without "\r\n" is unchanged.
Text CutOneLineBreak(const Text& output);

// The click handler of 按钮2, 按钮3 and 按钮4 (other controls are ignored):
// warns, disables the three buttons while the change runs, changes the DNS
// servers to the button's preset and tells the outcome. After a success the
// buttons stay disabled for the rest of the run; after a failure the failure
// is shown with netsh's output and the three buttons are enabled again.
void OnDnsButtonClicked(Control button, View& view, CommandRunner& runner);
