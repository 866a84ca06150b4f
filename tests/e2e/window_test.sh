#!/usr/bin/env bash
# The main window of the real zheqiao.exe under Wine: caption, outer size,
# centred position, frame and title-bar buttons; the 20 visible controls where
# the window description puts them, with their texts, states, styles and the
# default GUI font; Tab among the buttons only; the local-time readout of
# 编辑框2 in the DateTime text form, changing every second; exit code 0 after
# the window is closed. It runs inside the namespace with the web servers
# answering, so the program never reaches the real hosts.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/harness.sh"
e2e_begin "$@"
e2e_serve 'www.baidu.com=date' 'pv.sohu.com=no-date'
e2e_start_app
# The administrator notice (and any other box at start) is not this case's point.
e2e_dismiss_messages 1500

# --- the window -------------------------------------------------------------------
screen=$(e2e_inspect screen)
screen_width=$(e2e_field "$screen" width)
screen_height=$(e2e_field "$screen" height)
dump=$(e2e_inspect dump "$E2E_CAPTION")
window=$(head -n1 <<<"$dump")
e2e_expect_eq 'caption' '柘桥' "$(e2e_field "$window" caption)"
e2e_expect_eq 'outer size' '500x376' "$(e2e_field "$window" width)x$(e2e_field "$window" height)"
e2e_expect_eq "position centred on the ${screen_width}x${screen_height} screen" \
  "$(((screen_width - 500) / 2)),$(((screen_height - 376) / 2))" \
  "$(e2e_field "$window" left),$(e2e_field "$window" top)"
for setting in 'titlebar 1' 'sysmenu 1' 'minimizebox 1' 'maximizebox 0' 'sizeframe 0' 'menu 0' \
  'topmost 0' 'owned 0' 'enabled 1'; do
  set -- $setting
  e2e_expect_eq "window $1" "$2" "$(e2e_field "$window" "$1")"
done

# --- the controls -------------------------------------------------------------------
# name|class|left|top|width|height|text ("-": an edit box, filled by a readout)
controls='
标签1|Static|15|23|56|32|北京时间：
标签2|Static|15|79|56|32|本地时间：
标签3|Static|256|80|56|32|本机IP：
标签4|Static|256|193|56|32|M A  C：
标签5|Static|256|23|56|32|操作系统：
标签6|Static|256|136|56|32|外网IP：
标签7|Static|15|136|56|32|一键同步：
标签8|Static|15|256|440|40|DNS食用说明书：中国互联网中心DNS+石榴爸爸DNS+114DNS=上网安全+防劫持。
标签9|Static|15|193|56|32|分 辨 率：
编辑框1|Edit|79|19|161|32|-
编辑框2|Edit|79|79|161|32|-
编辑框3|Edit|320|79|161|32|-
编辑框4|Edit|320|193|161|32|-
编辑框5|Edit|320|19|161|32|-
编辑框6|Edit|320|136|161|32|-
编辑框7|Edit|80|193|161|32|-
按钮1|Button|80|136|161|32|同步本地时间为北京时间
按钮2|Button|12|304|110|30|联通DNS优选替换
按钮3|Button|179|304|110|30|电信DNS优选替换
按钮4|Button|345|304|110|30|移动DNS优选替换
'
default_font=$(e2e_inspect default-font)
font_fields() {
  local line=$1 key
  for key in font_height font_weight font_charset font_face; do printf '%s ' "$(e2e_field "$line" "$key")"; done
}
expected_font=$(font_fields "$default_font")

# The style bits that the settings of the window description fix, as words.
style_words() {
  local style=$1 exstyle=$2 kind=$3 words=()
  if [ "$kind" = edit ]; then
    ((style & 0x4)) || words+=(single-line)       # no ES_MULTILINE
    (((style & 0x3) == 1)) && words+=(centred)  # ES_CENTER
    ((style & 0x80)) && words+=(autoscroll)       # ES_AUTOHSCROLL
    ((style & 0x100)) || words+=(hidesel)         # no ES_NOHIDESEL
    ((exstyle & 0x20000)) && words+=(staticedge)  # WS_EX_STATICEDGE
  else
    ((style & 0xF)) || words+=(push)              # BS_PUSHBUTTON, not BS_DEFPUSHBUTTON
    ((style & 0x2000)) && words+=(multiline)      # BS_MULTILINE
  fi
  echo "${words[*]}"
}

# The timers are no windows: exactly the 20 controls are.
e2e_expect_eq 'visible child windows' 20 "$(grep -c '^control .* visible=1' <<<"$dump")"

while IFS='|' read -r name class left top width height text; do
  [ -n "$name" ] || continue
  line=$(grep -E "^control .* left=$left top=$top " <<<"$dump" | head -n1)
  if [ -z "$line" ]; then
    e2e_fail "$name: no control at ($left, $top)"
    continue
  fi
  style=$(($(e2e_field "$line" style)))
  exstyle=$(($(e2e_field "$line" exstyle)))
  e2e_expect_eq "$name class and size" "$class ${width}x$height" \
    "$(e2e_field "$line" class) $(e2e_field "$line" width)x$(e2e_field "$line" height)"
  e2e_expect_eq "$name visible" 1 "$(e2e_field "$line" visible)"
  case $class in
    Static)
      e2e_expect_eq "$name text" "$text" "$(e2e_field "$line" text)"
      e2e_expect_eq "$name takes no focus (no tab stop)" 0 "$(e2e_field "$line" tabstop)"
      ;;
    Edit)
      e2e_expect_eq "$name disabled" 0 "$(e2e_field "$line" enabled)"
      # Single line, centred, auto-scrolling, selection hidden, static edge.
      e2e_expect_eq "$name edit styles" 'single-line centred autoscroll hidesel staticedge' \
        "$(style_words "$style" "$exstyle" edit)"
      ;;
    Button)
      e2e_expect_eq "$name text" "$text" "$(e2e_field "$line" text)"
      e2e_expect_eq "$name enabled, tab stop" '1 1' "$(e2e_field "$line" enabled) $(e2e_field "$line" tabstop)"
      # An ordinary push button (not the default one) whose caption may wrap.
      e2e_expect_eq "$name push button, multi-line caption" 'push multiline' \
        "$(style_words "$style" "$exstyle" button)"
      ;;
  esac
  # 标签8 and 编辑框7 get their own fonts from their handlers within a second.
  if [ "$name" != 标签8 ] && [ "$name" != 编辑框7 ]; then
    e2e_expect_eq "$name default GUI font" "$expected_font" "$(font_fields "$line")"
  fi
done <<<"$controls"

# --- Tab --------------------------------------------------------------------------
buttons='同步本地时间为北京时间 联通DNS优选替换 电信DNS优选替换 移动DNS优选替换'
tab_walk() {
  e2e_inspect tab-order "$E2E_CAPTION" 8 "$@" | while read -r line; do
    printf '%s ' "$(e2e_field "$line" text || echo "[$line]")"
  done
}
forward=$(tab_walk)
backward=$(tab_walk back)
only_buttons() {
  local visited
  for visited in $1; do [[ " $buttons " == *" $visited "* ]] || return 1; done
}
e2e_check "Tab visits only the buttons: $forward" only_buttons "$forward"
e2e_check "Shift+Tab visits only the buttons: $backward" only_buttons "$backward"
read -r -a f <<<"$forward"
read -r -a b <<<"$backward"
e2e_expect_eq 'Tab visits all four buttons, in a cycle of four' \
  "$(tr ' ' '\n' <<<"$buttons" | sort | tr '\n' ' ')" "$(printf '%s\n' "${f[@]:0:4}" | sort | tr '\n' ' ')"
e2e_expect_eq 'Tab goes round again' "${f[*]:0:4}" "${f[*]:4:4}"
reverse=$(for ((i = 3; i >= 0; i--)); do printf '%s ' "${f[i]}"; done)
e2e_check "Shift+Tab walks Tab's cycle backwards: ${b[*]:0:4}" grep -qF -- "${b[*]:0:4} " <<<"$reverse$reverse"

# --- the local-time readout ----------------------------------------------------------
# Each reading must be the Wine process's local time (TZ=Asia/Shanghai) of one
# of the last few seconds in the DateTime text form; over some seconds it must
# move forwards, once a second.
epochs=()
for sample in 1 2 3 4 5 6; do
  shown=$(e2e_inspect text "$E2E_CAPTION" @79,79)
  candidates=$(e2e_inspect localtime 3)
  epoch=$(grep -F "text=\"$shown\"" <<<"$candidates" | head -n1)
  if [ -n "$shown" ] && [ -n "$epoch" ]; then
    epochs+=("$(e2e_field "$epoch" epoch)")
    e2e_pass "编辑框2 shows the local time: $shown"
  else
    e2e_fail "编辑框2 shows [$shown], not one of: $(grep -o 'text="[^"]*"' <<<"$candidates" | tr '\n' ' ')"
  fi
  sleep 0.8
done
distinct=$(printf '%s\n' "${epochs[@]}" | uniq | wc -l)
sorted=$(printf '%s\n' "${epochs[@]}" | sort -n | tr '\n' ' ')
e2e_expect_eq '编辑框2 never goes back in time' "$sorted" "$(printf '%s\n' "${epochs[@]}" | tr '\n' ' ')"
e2e_check "编辑框2 changes every second ($distinct different readings in about 5 s)" test "$distinct" -ge 4

# --- end ----------------------------------------------------------------------------
e2e_screenshot
e2e_close_app
e2e_expect_eq 'exit code after WM_CLOSE' 0 "$E2E_APP_EXIT"
e2e_end
