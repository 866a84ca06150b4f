#!/usr/bin/env bash
# The harness's own test, on a minimal window built like the program
# (minimal_window/): the namespace and its host names, the local web server and
# its log, the inspector's records, clicks and message boxes, the stand-in
# netsh found from the program's folder, Tab among buttons, the exit code.
# The start-up time it prints is the baseline for the program's.
set -u
E2E_CAPTION=e2e-minimal
source "$(dirname "${BASH_SOURCE[0]}")/harness.sh"
e2e_begin "$@"

# The namespace: no route out, the host names on loopback, the server answering.
e2e_expect_eq 'no route leaves the namespace' '' "$(ip route show)"
body=$(e2e_file cityjson 'var returnCitySN = {"cip": "1.2.3.4", "cname": "北京市"};')
e2e_serve 'www.baidu.com=date' "pv.sohu.com=body:$body"
reply=$(python3 - <<'EOF'
import http.client
c = http.client.HTTPConnection("www.baidu.com", 80, timeout=5)
c.request("HEAD", "/probe")
r = c.getresponse()
print("www.baidu.com", r.status, "date" if r.getheader("Date") else "no-date")
c = http.client.HTTPConnection("pv.sohu.com", 80, timeout=5)
c.request("GET", "/cityjson", headers={"X-Probe": "1"})
r = c.getresponse()
print("pv.sohu.com", r.status, r.read().decode("gbk"))
EOF
)
e2e_expect_eq 'host names reach the local server with their replies' \
  "$(printf 'www.baidu.com 200 date\npv.sohu.com 200 var returnCitySN = {"cip": "1.2.3.4", "cname": "北京市"};')" "$reply"
e2e_check 'the server logs each request with its headers' \
  grep -q '"method": "GET", "path": "/cityjson", "version": "HTTP/1.1", "host": "pv.sohu.com", "headers": \[.*\["X-Probe", "1"\]' "$E2E_HTTP_LOG"

e2e_netsh_standin
e2e_start_app
e2e_log "minimal window: shown $E2E_WINDOW_MS ms after start"

dump=$(e2e_inspect dump "$E2E_CAPTION")
window=$(head -n1 <<<"$dump")
e2e_expect_eq 'window placed centred' '490 300 300 200' \
  "$(for k in left top width height; do printf '%s ' "$(e2e_field "$window" "$k")"; done | sed 's/ $//')"
e2e_expect_eq 'no maximise box, no sizing frame' '0 0' \
  "$(e2e_field "$window" maximizebox) $(e2e_field "$window" sizeframe)"
edit=$(e2e_inspect control "$E2E_CAPTION" @80,10)
e2e_expect_eq 'control found by position, its class' 'Edit' "$(e2e_field "$edit" class)"
e2e_expect_eq 'disabled edit box' '0' "$(e2e_field "$edit" enabled)"
e2e_check 'font of a control is read' grep -q 'font_face=' <<<"$edit"
e2e_expect_eq 'label text' 'label' "$(e2e_inspect text "$E2E_CAPTION" @10,10)"

tabs=$(e2e_inspect tab-order "$E2E_CAPTION" 4)
e2e_expect_eq 'Tab visits only the buttons' 'ask netsh ask netsh' \
  "$(while read -r line; do printf '%s ' "$(e2e_field "$line" text)"; done <<<"$tabs" | sed 's/ $//')"

e2e_inspect click "$E2E_CAPTION" ask >/dev/null
box=$(e2e_inspect message 5000)
e2e_expect_eq 'a click opens the message box' 'e2e-minimal-box asked' \
  "$(e2e_field "$box" title) $(e2e_field "$box" text)"
e2e_check 'the box is answered' e2e_inspect answer 1
sleep 0.5
e2e_check_not 'the box is gone' e2e_inspect message 0

e2e_inspect click "$E2E_CAPTION" netsh >/dev/null
box=$(e2e_inspect message 10000)
e2e_expect_eq 'the stand-in netsh answers in GBK' '确定。\r\n' "$(e2e_field "$box" text)"
e2e_dismiss_messages 0
e2e_check 'the stand-in netsh logged its command line' grep -q 'interface show' <(e2e_netsh_log)

e2e_screenshot
e2e_close_app
e2e_expect_eq 'exit code after WM_CLOSE' 0 "$E2E_APP_EXIT"
e2e_end
