#!/usr/bin/env bash
# The local system facts of the real zheqiao.exe under Wine: 编辑框3 (local
# address), 编辑框4 (MAC), 编辑框5 (Windows name) and 编辑框7 (screen size)
# show what zq_inspector's own queries of the same system say; the notice
# "请用管理员身份运行" titled "注意" opens exactly once per start; 编辑框7 ends
# with a bold 14-point 宋体 and a height that fits it.
#
# Three starts of the program:
# 1. no adapter at all (loopback only): the lookup fails, both address
#    readouts stay empty and the notice still comes once;
# 2. two network adapters (a veth pair inside the namespace, with known MAC and
#    IPv4 addresses): the readouts name the first address and the first
#    adapter that the system lists;
# 3. the prefix set to report Windows 10 for the program (Wine's per-program
#    version key, removed again at once): 编辑框5 reads "Windows 10".
# The inspector asks the system independently; the expected Windows name is
# derived here from the numbers it reports.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/harness.sh"
e2e_begin "$@"

# Two adapters of a veth pair; both ends stay inside the namespace.
ADAPTERS=(zqsys0 zqsys1)
MACS=(02-5A-51-00-00-07 02-5A-51-00-00-08)
ADDRESSES=(10.77.0.7 10.78.0.8)
NOTICE_TITLE='注意'
NOTICE_TEXT='请用管理员身份运行'
# How long the case watches for a second notice after answering the first:
# 时钟3 ticks every 10 ms, so a timer left alive would open it again at once.
WATCH_SECONDS=5

APP_EXE=$(basename "$E2E_APP")
VERSION_KEYS=("HKCU\\Software\\Wine\\AppDefaults\\$APP_EXE"
  "HKCU\\Software\\Wine\\AppDefaults\\$(basename "$E2E_INSPECTOR")")

# The per-program version keys must never outlive the case: the prefix is
# shared with every other case.
remove_version_keys() {
  local key
  for key in "${VERSION_KEYS[@]}"; do
    wine reg delete "$key" /f </dev/null >/dev/null 2>&1
  done
  return 0
}
sysinfo_cleanup() {
  local status=$?
  remove_version_keys
  (exit "$status")
  e2e_cleanup
}
trap sysinfo_cleanup EXIT

# --- oracles ---------------------------------------------------------------------

# The Windows name for the numbers the system reports (major, minor, build,
# product type; 1 is a workstation): versions 6.0 to 6.3, and 10.0 told apart
# by the build number. Fails for numbers this case does not expect.
windows_name() {
  local major=$1 minor=$2 build=$3 type=$4
  local workstation=0
  [ "$type" = 1 ] && workstation=1
  case $major.$minor in
    10.0)
      if ((workstation)); then
        if ((build >= 22000)); then echo 'Windows 11'; else echo 'Windows 10'; fi
      elif ((build >= 26100)); then
        echo 'Windows Server 2025'
      elif ((build >= 20348)); then
        echo 'Windows Server 2022'
      elif ((build >= 17763)); then
        echo 'Windows Server 2019'
      else
        echo 'Windows Server 2016'
      fi
      ;;
    6.0) if ((workstation)); then echo 'Windows Vista'; else echo 'Windows Server 2008'; fi ;;
    6.1) if ((workstation)); then echo 'Windows 7'; else echo 'Windows Server 2008 R2'; fi ;;
    6.2) if ((workstation)); then echo 'Windows 8'; else echo 'Windows Server 2012'; fi ;;
    6.3) if ((workstation)); then echo 'Windows 8.1'; else echo 'Windows Server 2012 R2'; fi ;;
    *) return 1 ;;
  esac
}

expected_windows_name() {
  local record
  record=$(e2e_inspect os-version) || return 1
  e2e_log "the inspector's system: $record"
  windows_name "$(e2e_field "$record" major)" "$(e2e_field "$record" minor)" \
    "$(e2e_field "$record" build)" "$(e2e_field "$record" product_type)"
}

# --- the program's readouts and notices ----------------------------------------------

readout() { e2e_inspect text "$E2E_CAPTION" "$1"; }

# 时钟7 (1 s) ticks after 时钟3, 时钟4 and 时钟5 (10 ms each): once 编辑框7 has
# its text, the other readouts have theirs. Waits up to 10 s.
wait_for_readouts() {
  local _
  for _ in $(seq 50); do
    [ -n "$(readout @80,193)" ] && return 0
    sleep 0.2
  done
  return 1
}

# Prints each open message box as its title, a tab and its window handle.
open_boxes() {
  e2e_inspect messages | while read -r line; do
    [[ $line == message\ * ]] || continue
    printf '%s\t%s\n' "$(e2e_field "$line" title)" "$(e2e_field "$line" window)"
  done
}

count_notices() { open_boxes | cut -f1 | grep -cxF "$NOTICE_TITLE"; }

# Checks the notice of one start: its text and single OK button, only one of
# it while open, none again for WATCH_SECONDS after it is answered (the
# answered box itself may take a moment to go: it is told apart by its window
# handle), and no other box.
check_notice_once() {
  local start=$1 box line
  if ! box=$(e2e_inspect wait-message 10000 "$NOTICE_TITLE"); then
    e2e_fail "$start: no notice titled \"$NOTICE_TITLE\" within 10 s"
    return
  fi
  line=$(head -n1 <<<"$box")
  e2e_expect_eq "$start: the notice's text" "$NOTICE_TEXT" "$(e2e_field "$line" text)"
  e2e_expect_eq "$start: the notice has one button, OK" 'button id=1 text="确定"' \
    "$(grep '^button ' <<<"$box" | tr '\n' ' ' | sed 's/ $//')"

  local _ most=0 count
  for _ in 1 2 3 4 5; do
    count=$(count_notices)
    ((count > most)) && most=$count
    sleep 0.2
  done
  e2e_expect_eq "$start: notices open at once while it waits" 1 "$most"

  local answered
  answered=$(open_boxes | awk -F'\t' -v title="$NOTICE_TITLE" '$1 == title { print $2; exit }')
  e2e_inspect answer 1 0 "$NOTICE_TITLE" >/dev/null || e2e_fail "$start: the notice could not be answered"
  local started now again=0 lingering=0 others=() title window
  started=$(e2e_now_ms)
  while now=$(e2e_now_ms) && [ "$now" -lt $((started + WATCH_SECONDS * 1000)) ]; do
    while IFS=$'\t' read -r title window; do
      [ -n "$title" ] || continue
      if [ "$title" != "$NOTICE_TITLE" ]; then
        [[ " ${others[*]} " == *" $title "* ]] || others+=("$title")
      elif [ "$window" != "$answered" ]; then
        again=1
      elif [ "$now" -gt $((started + 2000)) ]; then
        lingering=1
      fi
    done < <(open_boxes)
    sleep 0.2
  done
  e2e_expect_eq "$start: the answered notice closes within 2 s" 0 "$lingering"
  e2e_expect_eq "$start: notices after the answer, watched for $WATCH_SECONDS s" 0 "$again"
  e2e_expect_eq "$start: other message boxes at start" '' "${others[*]}"
  if [ ${#others[@]} -gt 0 ]; then
    e2e_log "$start: other boxes: $(e2e_inspect messages | tr '\n' ' ')"
  fi
}

# The screen readout and its font: the text of the virtual screen's size, a
# bold 14-point 宋体, and a height that fits one "吴" of that font plus the edges.
check_screen_readout() {
  local start=$1 screen metrics dpi edge
  screen=$(e2e_inspect screen)
  e2e_expect_eq "$start: 编辑框7 (WM_GETTEXT, CR LF escaped)" \
    "$(e2e_field "$screen" width)"'\r\nX'"$(e2e_field "$screen" height)" "$(readout @80,193)"

  metrics=$(e2e_inspect metrics)
  dpi=$(e2e_field "$metrics" dpi_y)
  edge=$(e2e_field "$metrics" cxedge)
  local height=$((-((14 * dpi + 36) / 72)))
  local box
  box=$(e2e_inspect control "$E2E_CAPTION" @80,193)
  local field value expected
  while read -r field value; do
    e2e_expect_eq "$start: 编辑框7 $field (14 points at $dpi dpi, bold, 宋体)" "$value" \
      "$(e2e_field "$box" "$field")"
  done <<<"font_height $height
font_weight 700
font_italic 0
font_underline 0
font_strikeout 0
font_charset 1
font_face 宋体"
  local extent character
  extent=$(e2e_inspect text-extent 宋体 "$height" 700 吴)
  character=$(e2e_field "$extent" height)
  expected=$((character + 2 * edge))
  ((expected < 32)) && expected=32
  e2e_expect_eq "$start: 编辑框7 place and size (\"吴\" is $character px high, edges $edge px)" \
    "80,193 161x$expected" \
    "$(e2e_field "$box" left),$(e2e_field "$box" top) $(e2e_field "$box" width)x$(e2e_field "$box" height)"
}

# The address readouts against the inspector's own queries.
check_address_readouts() {
  local start=$1 address mac
  address=$(e2e_inspect local-address)
  mac=$(e2e_inspect mac)
  e2e_log "$start: the inspector's lookup: $address; adapters: $mac"
  e2e_expect_eq "$start: 编辑框3, the lookup's first address" "$(e2e_field "$address" text)" "$(readout @320,79)"
  e2e_expect_eq "$start: 编辑框4, the first adapter's MAC" "$(e2e_field "$mac" text)" "$(readout @320,193)"
}

run_start() {
  local start=$1
  e2e_start_app
  wait_for_readouts || e2e_fail "$start: 编辑框7 still empty 10 s after the start"
}

finish_start() {
  local start=$1
  e2e_screenshot "$2"
  e2e_close_app
  e2e_expect_eq "$start: exit code after WM_CLOSE" 0 "$E2E_APP_EXIT"
}

e2e_serve 'www.baidu.com=date' 'pv.sohu.com=no-date'

# --- 1. no adapter -----------------------------------------------------------------------
# First: Wine keeps listing an adapter that went away after its first look.
start='no adapter'
run_start "$start"
check_address_readouts "$start"
e2e_expect_eq "$start: 编辑框3 and 编辑框4 empty" ' ' "$(readout @320,79) $(readout @320,193)"
check_notice_once "$start"
finish_start "$start" no-adapter

# --- 2. two adapters ------------------------------------------------------------------
ip link add "${ADAPTERS[0]}" address "${MACS[0]//-/:}" type veth \
  peer name "${ADAPTERS[1]}" address "${MACS[1]//-/:}" || e2e_die "cannot make the veth pair"
for i in 0 1; do
  ip addr add "${ADDRESSES[i]}/24" dev "${ADAPTERS[i]}" || e2e_die "cannot give ${ADAPTERS[i]} an address"
  ip link set "${ADAPTERS[i]}" up
done

start='two adapters'
run_start "$start"
check_address_readouts "$start"
# The comparison above means something only if the system saw the adapters.
e2e_check "$start: 编辑框3 is one of ${ADDRESSES[*]}" grep -qxF -e "${ADDRESSES[0]}" -e "${ADDRESSES[1]}" \
  <<<"$(readout @320,79)"
e2e_check "$start: 编辑框4 is one of ${MACS[*]}" grep -qxF -e "${MACS[0]}" -e "${MACS[1]}" \
  <<<"$(readout @320,193)"
e2e_expect_eq "$start: 编辑框5, the Windows name" "$(expected_windows_name)" "$(readout @320,19)"
check_screen_readout "$start"
check_notice_once "$start"
finish_start "$start" adapters

# --- 3. Windows 10 ----------------------------------------------------------------------
start='Windows 10'
for key in "${VERSION_KEYS[@]}"; do
  wine reg add "$key" /v Version /d win10 /f </dev/null >/dev/null 2>&1 || e2e_die "cannot set $key"
done
expected=$(expected_windows_name)
run_start "$start"
# The version is read when a process starts: the keys can go now.
remove_version_keys
e2e_expect_eq "$start: the inspector's system is named" 'Windows 10' "$expected"
e2e_expect_eq "$start: 编辑框5" "$expected" "$(readout @320,19)"
e2e_check "$start: the inspector reports the prefix's own version again" \
  test "$(expected_windows_name)" != 'Windows 10'
finish_start "$start" windows10

e2e_end
