// The DNS presets and the click handler of the three DNS buttons.
#include "dns/dns_presets.h"

#include <algorithm>
#include <array>

namespace {

struct DnsPreset {
  Control button;
  const char* primaryAddress;
  const char* secondaryAddress;
};

constexpr std::array<DnsPreset, 3> kPresets = {{
    {Control::按钮2, "123.125.81.6", "223.5.5.5"},
    {Control::按钮3, "1.2.4.8", "223.6.6.6"},
    {Control::按钮4, "1.2.4.8", "114.114.114.114"},
}};

// The marker netsh prints when a change succeeded.
constexpr const char* kSuccessMarker = "确定";

}  // namespace

Text CutOneLineBreak(const Text& output) {
  const int lastBreak = TextFindLast(output, "\r\n");
  // Without a line break lastBreak is -1; a start below 1 counts as 1 and the
  // substitution then finds nothing to remove.
  const int start = std::max(lastBreak - 2, 1);
  return TextSubstitute(output, "\r\n", Text(), start, 1, /*caseSensitive=*/true);
}

bool SetDnsServers(const Text& primaryAddress, const Text& secondaryAddress, CommandRunner& runner,
                   const std::optional<Text>& connectionName, Text* errorText) {
  const Text name = connectionName.value_or(Text(kDefaultConnectionName));
  const Text firstOutput = runner.RunConsoleCommand("cmd /c netsh interface ip set dns " + name +
                                                    " static " + primaryAddress);
  // The second command runs whatever the first one said.
  const Text secondOutput = runner.RunConsoleCommand("cmd /c netsh interface ip add dns " + name +
                                                     " " + secondaryAddress);
  if (TextFind(firstOutput, kSuccessMarker) >= 1 && TextFind(secondOutput, kSuccessMarker) >= 1) {
    return true;
  }
  if (errorText != nullptr)
    *errorText = CutOneLineBreak(firstOutput) + CutOneLineBreak(secondOutput);
  return false;
}

void OnDnsButtonClicked(Control button, View& view, CommandRunner& runner) {
  const auto preset = std::find_if(kPresets.begin(), kPresets.end(),
                                   [button](const DnsPreset& p) { return p.button == button; });
  if (preset == kPresets.end()) return;

  view.ShowMessage("修改DNS会被360阻止，信任即可\r\n修改时间大概需要三秒钟", "注意");
  // The change begins once the warning is closed. The runner handles window
  // events while netsh runs, so a click on another DNS button would start a
  // second change nested inside this one: all three are greyed first, the
  // clicked one first.
  view.DisableControl(button);
  for (const DnsPreset& other : kPresets) {
    if (other.button != button) view.DisableControl(other.button);
  }

  Text errorText;
  if (SetDnsServers(preset->primaryAddress, preset->secondaryAddress, runner, std::nullopt,
                    &errorText)) {
    // A further change needs a new run of the program, as the notice says.
    view.ShowMessage("修改成功程序自动屏蔽按键\r\n如需更换DNS重新打开本软件即可", "恭喜");
    return;
  }
  // A failed change is not announced as a success. The buttons come back only
  // once the user has closed this box, so that the failure has been read
  // before another attempt (for instance after restarting as administrator).
  view.ShowMessage("DNS修改失败：\r\n" + errorText, "失败");
  for (const DnsPreset& each : kPresets) view.EnableControl(each.button);
}
