#!/usr/bin/env bash
# The network-time readout 编辑框1, the clock sync of 按钮1 and the public-address
# readout 编辑框6 of the real zheqiao.exe under Wine, against the local web
# server. The program is started once for each set of replies:
# - a Date of the case's choosing shows as Beijing time; the lookup reply fills
#   编辑框6 with one request; a click with that far-off Date is refused;
# - no Date: empty readout and the "no network time" box; broken lookup markers
#   leave 编辑框6 empty;
# - a Date header spelt "date:": empty readout;
# - a Date of now: the click sets the clock (Wine's SetLocalTime accepts a time
#   less than half a second off and never moves the host clock), both messages,
#   the new caption, both readouts frozen, the button disabled.
# With NETFACTS_TICK_SECONDS set, a last run prints how long a tick of 时钟1
# holds the GUI thread.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/harness.sh"
e2e_begin "$@"

# The controls by their positions in the window description.
NETWORK_TIME=@79,19 # 编辑框1
LOCAL_TIME=@79,79   # 编辑框2
ADDRESS=@320,136    # 编辑框6
SYNC=@80,136        # 按钮1
SYNC_CAPTION=同步本地时间为北京时间

CITYJSON='var returnCitySN = {"cip": "203.0.113.7", "cid": "110000", "cname": "北京市"};'
# No blank after the colon of "cip": the address's left marker is missing.
CITYJSON_BROKEN='var returnCitySN = {"cip":"203.0.113.7", "cid": "110000", "cname": "北京市"};'
FAR_OFF_DATE='Fri, 04 Oct 2019 20:15:00 GMT'

# --- helpers ------------------------------------------------------------------------

# Starts the program anew against a fresh server with the replies of the two
# hosts (and Wine's debug channels, third), and answers the administrator
# notice it shows at start.
start_with() {
  local pid run=$((${RUN:-0} + 1))
  RUN=$run
  # The replies of the run before end with their server; its log is kept.
  for pid in "${E2E_SERVER_PIDS[@]}"; do kill "$pid" && wait "$pid"; done
  E2E_SERVER_PIDS=()
  [ -f "$E2E_CASE_DIR/http.log" ] && mv "$E2E_CASE_DIR/http.log" "$E2E_CASE_DIR/http-run$((run - 1)).log"
  e2e_log "run $run: www.baidu.com=$1 pv.sohu.com=$2"
  e2e_serve "www.baidu.com=$1" "pv.sohu.com=$2"
  # err+all: Wine's refusal of a clock says by how much it was off.
  WINEDEBUG=-all,${3:-err+all} e2e_start_app
  STARTED_MS=$(e2e_now_ms)
  local notice
  notice=$(e2e_inspect answer 1 10000 注意 | head -n1)
  e2e_expect_eq "run $run: the notice at start" '注意 请用管理员身份运行' "$(box_text "$notice")"
}

# How many requests of a method (and path) the server has got in this run.
requests() { grep -c "\"method\": \"$1\", \"path\": \"${2:-/}\"" "$E2E_HTTP_LOG"; }

# Waits until the server has got at least COUNT requests of METHOD (PATH).
wait_for_requests() {
  local method=$1 count=$2 path=${3:-/} deadline=$(($(e2e_now_ms) + 15000))
  while [ "$(requests "$method" "$path")" -lt "$count" ]; do
    [ "$(e2e_now_ms)" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}

# The ticks run one at a time on the GUI thread: once the second time request
# has come in, the first tick has written 编辑框1.
after_two_ticks() {
  wait_for_requests HEAD 2 || e2e_fail "run $RUN: fewer than two time requests within 15 s"
}

text_of() { e2e_inspect text "$E2E_CAPTION" "$1"; }

# The record of the message box that is open, or opens within MS; empty when
# none does.
open_box() {
  local box
  box=$(e2e_inspect message "${1:-0}") && head -n1 <<<"$box"
}

box_text() { printf '%s %s' "$(e2e_field "$1" title)" "$(e2e_field "$1" text)"; }

# Clicks 按钮1 and prints the box that answers the click.
click_sync() {
  e2e_inspect click "$E2E_CAPTION" "$SYNC" >/dev/null
  open_box 15000
}

# Answers the box (OK) and waits until it has left the screen.
answer_box() {
  e2e_inspect answer 1 0 "$(e2e_field "$1" title)" >/dev/null
  local deadline=$(($(e2e_now_ms) + 3000))
  while e2e_inspect messages | grep -qxF -- "$1" && [ "$(e2e_now_ms)" -lt "$deadline" ]; do
    sleep 0.1
  done
}

# 按钮1's caption and state.
sync_button() {
  local line
  line=$(e2e_inspect control "$E2E_CAPTION" "$SYNC")
  printf '%s enabled=%s' "$(e2e_field "$line" text)" "$(e2e_field "$line" enabled)"
}

# Over about three seconds: do the readouts change and the time requests go on?
# Prints "ticking" or "frozen" (or what it saw when neither).
watch_readouts() {
  local heads local_before network_before
  heads=$(requests HEAD)
  local_before=$(text_of "$LOCAL_TIME")
  network_before=$(text_of "$NETWORK_TIME")
  sleep 3
  local new_heads=$(($(requests HEAD) - heads)) local_after network_after
  local_after=$(text_of "$LOCAL_TIME")
  network_after=$(text_of "$NETWORK_TIME")
  if [ "$new_heads" -ge 2 ] && [ "$local_after" != "$local_before" ]; then
    echo ticking
  elif [ "$new_heads" -eq 0 ] && [ "$local_after" == "$local_before" ] &&
    [ "$network_after" == "$network_before" ] && [ -n "$local_after" ]; then
    echo frozen
  else
    echo "$new_heads time requests, 编辑框2 [$local_before] -> [$local_after]," \
      "编辑框1 [$network_before] -> [$network_after]"
  fi
}

# After a failed sync nothing has changed: the button, its caption, the timers.
expect_nothing_changed() {
  e2e_expect_eq "run $RUN: 按钮1 keeps its caption and stays enabled" "$SYNC_CAPTION enabled=1" \
    "$(sync_button)"
  e2e_expect_eq "run $RUN: both readouts still tick" ticking "$(watch_readouts)"
}

# The lookup runs once per start: counted some seconds after the start.
expect_one_lookup() {
  local left=$((STARTED_MS + 5000 - $(e2e_now_ms)))
  [ "$left" -gt 0 ] && sleep "$((left / 1000)).$(printf '%03d' $((left % 1000)))"
  e2e_expect_eq "run $RUN: lookup requests after $((($(e2e_now_ms) - STARTED_MS) / 1000)) s" 1 \
    "$(requests GET /cityjson)"
}

end_run() {
  e2e_screenshot "run$RUN"
  # Such as the fatal stop's box.
  e2e_expect_eq "run $RUN: no message box left open" '' "$(open_box 0)"
  e2e_close_app
  e2e_expect_eq "run $RUN: exit code after WM_CLOSE" 0 "$E2E_APP_EXIT"
}

# --- a Date of the case's choosing; the lookup reply; a refused clock ---------------
start_with "date-value:$FAR_OFF_DATE" "body:$(e2e_file cityjson "$CITYJSON")"
after_two_ticks
# 20:15:00 GMT is 04:15 of the next day in Beijing; the zero seconds are dropped.
e2e_expect_eq '编辑框1 shows the Date in Beijing time' '2019年10月5日4时15分' "$(text_of "$NETWORK_TIME")"
wait_for_requests GET 1 /cityjson || e2e_fail 'no lookup request within 15 s'
sleep 0.5
e2e_expect_eq '编辑框6 shows the address of the lookup reply' 203.0.113.7 "$(text_of "$ADDRESS")"
box=$(click_sync)
e2e_expect_eq 'a click with a far-off Date: Wine refuses the clock' \
  '失败 同步失败：无法修改系统时间，请用管理员身份运行' "$(box_text "$box")"
answer_box "$box"
expect_nothing_changed
expect_one_lookup
end_run
e2e_log "Wine said: $(grep -m1 'not allowed: difference' "$E2E_CASE_DIR/app.out")"

# --- no Date; broken lookup markers ---------------------------------------------------
start_with no-date "body:$(e2e_file cityjson-broken "$CITYJSON_BROKEN")"
after_two_ticks
e2e_expect_eq '编辑框1 without a Date is empty' '' "$(text_of "$NETWORK_TIME")"
wait_for_requests GET 1 /cityjson || e2e_fail 'no lookup request within 15 s'
sleep 0.5
e2e_expect_eq '编辑框6 with the markers broken is empty' '' "$(text_of "$ADDRESS")"
box=$(click_sync)
e2e_expect_eq 'a click without a network time' \
  '失败 同步失败：未能获取网络时间，请检查网络后重试' "$(box_text "$box")"
answer_box "$box"
expect_nothing_changed
expect_one_lookup
end_run

# --- a Date header spelt in lower case ---------------------------------------------------
start_with lower-date "body:$E2E_CASE_DIR/cityjson"
after_two_ticks
e2e_expect_eq '编辑框1 with "date:" in lower case is empty' '' "$(text_of "$NETWORK_TIME")"
end_run

# --- a Date of now: the clock is set ---------------------------------------------------
start_with date-near "body:$E2E_CASE_DIR/cityjson"
after_two_ticks
box=$(click_sync)
if [ "$(e2e_field "$box" text)" == '同步失败：无法修改系统时间，请用管理员身份运行' ]; then
  # Wine takes a time less than 0.5 s off its clock, and the date-near reply
  # leaves the program at least 0.3 s from the reply to SetLocalTime: only a
  # machine that stalls the program longer misses. Such a stall is the
  # machine's, not the program's: one more click.
  e2e_log "Wine refused the clock once: $(grep 'not allowed: difference' "$E2E_CASE_DIR/app.out" | tail -n1); clicking again"
  answer_box "$box"
  box=$(click_sync)
fi
e2e_expect_eq 'a click with the Date of now: the first message' \
  '成功 同步成功，显示一两秒误差属于正常' "$(box_text "$box")"
answer_box "$box"
box=$(open_box 5000)
e2e_expect_eq 'then the second message' '提示 同步后时钟销毁所以时间不再跳动' "$(box_text "$box")"
answer_box "$box"
# A second's pause after the boxes, then the caption; the timers end and the
# button is disabled in the same handler, before it returns.
deadline=$(($(e2e_now_ms) + 5000))
while [ "$(sync_button)" != '已经成功同步 enabled=0' ] && [ "$(e2e_now_ms)" -lt "$deadline" ]; do
  sleep 0.2
done
e2e_expect_eq '按钮1 afterwards' '已经成功同步 enabled=0' "$(sync_button)"
e2e_expect_eq 'both readouts stand still, no more time requests' frozen "$(watch_readouts)"
end_run

# --- figure, only when asked: how long one tick of 时钟1 holds the GUI thread ----------
# NETFACTS_TICK_SECONDS=40: the program runs that long against the date reply
# with Wine's message trace, and each WM_TIMER of 时钟1 (id 1) is timed from its
# dispatch to its return. The trace costs some time itself, and under Wine the
# request lets other messages through while it waits (ticks of 时钟2, paints):
# they count too.
if [ -n "${NETFACTS_TICK_SECONDS:-}" ]; then
  start_with date "body:$E2E_CASE_DIR/cityjson" +timestamp,+message
  sleep "$NETFACTS_TICK_SECONDS"
  end_run
  python3 - "$E2E_CASE_DIR/app.out" <<'EOF'
import re, statistics, sys
# 4251.842:0114:trace:message:spy_enter_message (0x10066) L"..." [0113] WM_TIMER dispatched  wp=00000001
line_form = re.compile(r"^(\d+\.\d+):([0-9a-f]+):trace:message:spy_(enter|exit)_message\s+\(")
open_messages, ticks = {}, []
for line in open(sys.argv[1], encoding="utf-8", errors="replace"):
    match = line_form.match(line)
    if not match:
        continue
    seconds, thread, event = float(match[1]), match[2], match[3]
    stack = open_messages.setdefault(thread, [])
    if event == "enter":
        stack.append((seconds, " WM_TIMER dispatched  wp=00000001 " in line))
    elif stack:
        started, is_tick = stack.pop()
        if is_tick:
            ticks.append((seconds - started) * 1000)
if len(ticks) < 3:
    sys.exit("figure: too few ticks of 时钟1 in the trace")
rest = sorted(ticks[1:])
print("figure: a tick of 时钟1 against the local server holds the GUI thread: first %.0f ms; "
      "next %d: median %.1f ms, min %.0f ms, max %.0f ms" %
      (ticks[0], len(rest), statistics.median(rest), rest[0], rest[-1]))
EOF
fi

e2e_end
