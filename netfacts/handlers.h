// The event handlers of the network facts, free of the platform: each gets the
// view and the services it calls on from the window that wires it.
#pragma once

#include "app/view.h"
#include "netfacts/network_facts.h"

// Texts of the clock sync.
inline constexpr const char* kSyncedCaption = "已经成功同步";
inline constexpr const char* kSyncSucceededText = "同步成功，显示一两秒误差属于正常";
inline constexpr const char* kSyncSucceededTitle = "成功";
inline constexpr const char* kTimersDestroyedText = "同步后时钟销毁所以时间不再跳动";
inline constexpr const char* kTimersDestroyedTitle = "提示";
inline constexpr const char* kNoNetworkTimeText = "同步失败：未能获取网络时间，请检查网络后重试";
inline constexpr const char* kClockRefusedText = "同步失败：无法修改系统时间，请用管理员身份运行";
inline constexpr const char* kSyncFailedTitle = "失败";

// Tick of 时钟1 (every second until the clock is set): the DNS notice label
// 标签8 gets size 15 and the face "黑体", then the network-time readout 编辑框1
// shows the Beijing time, or the empty text when no time could be had.
void OnNetworkTimeTick(View& view, NetworkFacts& facts);

// Click of 按钮1: sets the computer's clock from a freshly fetched network
// time. Only a clock that was really set goes on to the two messages, the
// pauses, the caption 已经成功同步, the end of 时钟1 and 时钟2 and the disabled
// button. Without a network time, or when the clock refuses to be set, a
// failure message is shown and everything else stays, so the user can retry.
void OnSyncClockClick(View& view, NetworkFacts& facts);

// Tick of 时钟6 (once): the public-address readout 编辑框6, then 时钟6 ends,
// however the lookup went.
void OnPublicAddressTick(View& view, NetworkFacts& facts);
