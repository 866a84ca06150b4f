# The end-to-end harness: a bash library that the case scripts source. It runs
# the real zheqiao.exe, exactly as built, under Wine in a virtual X display,
# inside a network namespace of its own, and drives it with zq_inspector.
#
# A case looks like this (each function is described below):
#
#   source "$(dirname "${BASH_SOURCE[0]}")/harness.sh"
#   e2e_begin "$@"                  # re-runs the script inside the namespace
#   e2e_serve 'www.baidu.com=date'  # local web servers on port 80
#   e2e_netsh_standin '确定。'       # optional: the stand-in netsh.exe
#   e2e_start_app                   # copies the exe, starts it, waits for its window
#   line=$(e2e_inspect control 柘桥 @79,79)
#   e2e_expect_eq 'edit box disabled' 0 "$(e2e_field "$line" enabled)"
#   e2e_screenshot
#   e2e_close_app                   # WM_CLOSE, then the exit code must be 0
#   e2e_end
#
# The arguments every case takes (CTest passes them):
#   --app EXE --inspector EXE --netsh EXE --work DIR
#
# What it guards against (each cost hours once):
# - A wineserver of the same prefix running outside the namespace would open the
#   program's sockets on the host's loopback: the prefix belongs to these tests
#   alone, `wineserver -k` runs for it before the namespace is entered, and
#   /tmp (where Wine keeps its server socket, and X its locks) is a private
#   tmpfs inside, so nothing outside can be reached by mistake.
# - Wine's background services inherit the output pipe of the first Wine
#   process of a prefix and never close it, so CTest would wait forever: the
#   server and the desktop are started with their output sent to /dev/null, and
#   everything ends with the namespace's first process.
# - A fixed X display number leaves a lock behind: Xvfb picks a free number
#   (-displayfd) and is stopped in the exit trap.
# - `wait` without a pid would wait for the servers too: the exit code is taken
#   with `wait $E2E_APP_PID`.
#
# Every Wine process runs with WINEDEBUG=-all, LANG=LC_ALL=zh_CN.UTF-8 (the ANSI
# code page is then 936) and TZ=Asia/Shanghai, in a prefix whose default desktop
# is a virtual one of 1280 x 800: the screen size every process sees, and a
# desktop on which Wine draws window frames and captions without a window
# manager.

E2E_CAPTION=${E2E_CAPTION:-柘桥}
E2E_SCREEN=1280x800
E2E_HOSTS=(www.baidu.com pv.sohu.com)

e2e_log() { printf 'e2e: %s\n' "$*" >&2; }

e2e_now_ms() { date +%s%3N; }

e2e_die() {
  e2e_log "ERROR: $*"
  exit 1
}

# --- start: outside, then inside the namespace --------------------------------

# Parses the common arguments, leaves the host's network for a namespace of
# its own (re-running the case script there) and prepares the display, the
# prefix and the case folder. Returns inside the namespace.
e2e_begin() {
  while [ $# -gt 0 ]; do
    case $1 in
      --app) E2E_APP=$2; shift 2 ;;
      --inspector) E2E_INSPECTOR=$2; shift 2 ;;
      --netsh) E2E_NETSH=$2; shift 2 ;;
      --work) E2E_WORK=$2; shift 2 ;;
      *) e2e_die "unknown argument $1" ;;
    esac
  done
  [ -f "${E2E_APP:-}" ] || e2e_die "no program: --app ${E2E_APP:-}"
  [ -f "${E2E_INSPECTOR:-}" ] || e2e_die "no inspector: --inspector ${E2E_INSPECTOR:-}"
  [ -n "${E2E_WORK:-}" ] || e2e_die "no --work folder"
  mkdir -p "$E2E_WORK"
  E2E_WORK=$(cd "$E2E_WORK" && pwd)
  E2E_CASE=${E2E_CASE:-$(basename "$0" .sh)}
  export E2E_APP E2E_INSPECTOR E2E_NETSH E2E_WORK E2E_CASE E2E_CAPTION
  export WINEPREFIX="$E2E_WORK/wineprefix"
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
  export TZ=Asia/Shanghai

  if [ -z "${E2E_INSIDE:-}" ]; then
    local tool
    for tool in wine wineserver Xvfb import python3 unshare ip iconv; do
      command -v "$tool" >/dev/null || e2e_die "$tool is missing (scripts/setup.sh installs it)"
    done
    E2E_STARTED_MS=$(e2e_now_ms)
    export E2E_STARTED_MS
    # A server of this prefix outside the namespace would serve the program
    # there; end it (the prefix is this harness's own).
    wineserver -k </dev/null >/dev/null 2>&1 || true
    local user_map=()
    [ "$(id -u)" -eq 0 ] || user_map=(--map-root-user)
    # --kill-child: when CTest's time-out kills unshare, the whole namespace
    # (program, Wine, servers, Xvfb) goes with it.
    E2E_INSIDE=1 exec unshare "${user_map[@]}" --net --mount --pid --fork --mount-proc --kill-child \
      bash "$0" --app "$E2E_APP" --inspector "$E2E_INSPECTOR" --netsh "${E2E_NETSH:-}" --work "$E2E_WORK"
  fi

  E2E_CASE_DIR="$E2E_WORK/cases/$E2E_CASE"
  E2E_APP_DIR="$E2E_CASE_DIR/app"
  E2E_ARTIFACTS="$E2E_WORK/artifacts"
  rm -rf "$E2E_CASE_DIR"
  mkdir -p "$E2E_APP_DIR" "$E2E_ARTIFACTS"
  E2E_FAILURES=0
  E2E_APP_PID=
  E2E_SERVER_PIDS=()
  E2E_XVFB_PID=
  trap e2e_cleanup EXIT

  ip link set lo up || e2e_die "cannot bring up loopback in the namespace"
  # Private /tmp: Wine's server socket and X's locks live there.
  e2e_private_tmp "$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)" "$E2E_WORK" "$E2E_APP" \
    "$E2E_INSPECTOR" "$E2E_NETSH"
  {
    echo "127.0.0.1 localhost"
    local host
    for host in "${E2E_HOSTS[@]}"; do echo "127.0.0.1 $host"; done
  } >"$E2E_CASE_DIR/hosts"
  # Name servers would be unreachable anyway; loopback refuses at once.
  echo "nameserver 127.0.0.1" >"$E2E_CASE_DIR/resolv.conf"
  mount --bind "$E2E_CASE_DIR/hosts" /etc/hosts || e2e_die "cannot bind-mount /etc/hosts"
  mount --bind "$E2E_CASE_DIR/resolv.conf" /etc/resolv.conf || e2e_die "cannot bind-mount /etc/resolv.conf"

  e2e_start_display
  e2e_ensure_prefix
  # The server and the desktop process start here, detached from every pipe.
  wineserver -p 120 </dev/null >/dev/null 2>&1
  wine "$E2E_INSPECTOR" screen </dev/null >"$E2E_CASE_DIR/screen.txt" 2>/dev/null
  grep -q "screen width=${E2E_SCREEN%x*} height=${E2E_SCREEN#*x}" "$E2E_CASE_DIR/screen.txt" ||
    e2e_die "the virtual desktop is not ${E2E_SCREEN}: $(cat "$E2E_CASE_DIR/screen.txt")"
  e2e_log "case $E2E_CASE in $E2E_CASE_DIR, display :$E2E_DISPLAY, prefix ready after $(($(e2e_now_ms) - E2E_STARTED_MS)) ms"
}

e2e_start_display() {
  local fd_file="$E2E_CASE_DIR/xvfb.display"
  Xvfb -displayfd 3 -screen 0 "${E2E_SCREEN}x24" -nolisten tcp 3>"$fd_file" \
    </dev/null >"$E2E_CASE_DIR/xvfb.log" 2>&1 &
  E2E_XVFB_PID=$!
  local tries
  for tries in $(seq 100); do
    [ -s "$fd_file" ] && break
    kill -0 "$E2E_XVFB_PID" 2>/dev/null || e2e_die "Xvfb ended: $(cat "$E2E_CASE_DIR/xvfb.log")"
    sleep 0.1
  done
  E2E_DISPLAY=$(tr -d '[:space:]' <"$fd_file")
  [ -n "$E2E_DISPLAY" ] || e2e_die "Xvfb gave no display number"
  export DISPLAY=":$E2E_DISPLAY"
}

# Makes the harness's own prefix once (about 10 s): a virtual default desktop
# of the screen size, so every process shares one desktop with frames.
e2e_ensure_prefix() {
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.e2e-ready" ]; then
      e2e_log "making the Wine prefix $WINEPREFIX"
      local started
      started=$(e2e_now_ms)
      wine cmd /c exit </dev/null >/dev/null 2>&1 9>&-
      wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f </dev/null >/dev/null 2>&1 9>&-
      wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$E2E_SCREEN" /f \
        </dev/null >/dev/null 2>&1 9>&-
      # The desktop setting takes effect for the next server.
      wineserver -k </dev/null >/dev/null 2>&1 9>&-
      wineserver -w </dev/null >/dev/null 2>&1 9>&-
      touch "$WINEPREFIX/.e2e-ready"
      e2e_log "prefix made in $(($(e2e_now_ms) - started)) ms"
    fi
  ) 9>"$E2E_WORK/wineprefix.lock"
}

e2e_cleanup() {
  local status=$?
  if [ -n "$E2E_APP_PID" ] && kill -0 "$E2E_APP_PID" 2>/dev/null; then
    e2e_log "the program still runs: ending it"
    kill -KILL "$E2E_APP_PID" 2>/dev/null
  fi
  wineserver -k </dev/null >/dev/null 2>&1
  local pid
  for pid in "${E2E_SERVER_PIDS[@]}"; do kill "$pid" 2>/dev/null; done
  [ -n "$E2E_XVFB_PID" ] && kill "$E2E_XVFB_PID" 2>/dev/null
  for pid in "${E2E_SERVER_PIDS[@]}" $E2E_XVFB_PID; do wait "$pid" 2>/dev/null; done
  exit "$status"
}

# --- servers and the stand-in netsh -----------------------------------------------

# Starts a web server on 127.0.0.1:80 with the given HOST=MODE replies (see
# http_server.py); every request it gets is logged to $E2E_CASE_DIR/http.log.
e2e_serve() {
  local ready="$E2E_CASE_DIR/http.ready"
  rm -f "$ready"
  E2E_HTTP_LOG="$E2E_CASE_DIR/http.log"
  python3 "$(dirname "${BASH_SOURCE[0]}")/http_server.py" --log "$E2E_HTTP_LOG" --ready "$ready" "$@" \
    </dev/null >>"$E2E_CASE_DIR/http.err" 2>&1 &
  E2E_SERVER_PIDS+=($!)
  local tries
  for tries in $(seq 100); do
    [ -s "$ready" ] && return 0
    sleep 0.1
  done
  e2e_die "the web server did not start: $(cat "$E2E_CASE_DIR/http.err")"
}

# Writes a file into the case folder, the text converted from UTF-8 to GBK
# (or to the encoding given third), and prints its path: for reply bodies
# such as e2e_serve "pv.sohu.com=body:$(e2e_file cityjson 'var returnCitySN = {...};')".
e2e_file() {
  local path="$E2E_CASE_DIR/$1"
  printf '%s' "$2" | iconv -f UTF-8 -t "${3:-GBK}" >"$path" || e2e_die "cannot write $path as ${3:-GBK}"
  printf '%s' "$path"
}

# The requests the servers got, one JSON object a line.
e2e_http_requests() { cat "${E2E_HTTP_LOG:-/dev/null}" 2>/dev/null; }

# Puts the stand-in netsh.exe next to the program. Arguments, all optional: the
# reply text (UTF-8 here, printed in GBK; default "确定。" and CR LF), seconds to
# wait before replying, the exit code.
e2e_netsh_standin() {
  [ -f "${E2E_NETSH:-}" ] || e2e_die "no stand-in netsh: --netsh ${E2E_NETSH:-}"
  cp "$E2E_NETSH" "$E2E_APP_DIR/netsh.exe"
  rm -f "$E2E_APP_DIR"/netsh-standin*
  if [ $# -ge 1 ]; then
    printf '%s' "$1" | iconv -f UTF-8 -t GBK >"$E2E_APP_DIR/netsh-standin-reply.txt" ||
      e2e_die "the reply is not GBK text"
  fi
  [ $# -ge 2 ] && echo "$2" >"$E2E_APP_DIR/netsh-standin-sleep.txt"
  [ $# -ge 3 ] && echo "$3" >"$E2E_APP_DIR/netsh-standin-exit.txt"
  return 0
}

# The command lines the stand-in got, one a line, in UTF-8. Fails when it never
# ran (then Wine's own netsh stub may have run silently, which looks like a pass).
e2e_netsh_log() {
  [ -f "$E2E_APP_DIR/netsh-standin.log" ] || return 1
  iconv -f GBK -t UTF-8 <"$E2E_APP_DIR/netsh-standin.log" | tr -d '\r'
}

# --- the program -----------------------------------------------------------------

# Copies the exe into the case's app folder and starts it as a user would: no
# arguments, from another folder (the program makes its own folder the current
# one). Waits for its window and records the time that took.
e2e_start_app() {
  local exe="$E2E_APP_DIR/$(basename "$E2E_APP")"
  cp "$E2E_APP" "$exe"
  local started
  started=$(e2e_now_ms)
  (cd "$E2E_CASE_DIR" && exec wine "$exe") </dev/null >"$E2E_CASE_DIR/app.out" 2>&1 &
  E2E_APP_PID=$!
  local window
  if ! window=$(e2e_inspect wait-window "$E2E_CAPTION" 30000); then
    e2e_die "no window \"$E2E_CAPTION\" within 30 s"
  fi
  E2E_WINDOW_MS=$(($(e2e_now_ms) - started))
  e2e_log "window \"$E2E_CAPTION\" shown $E2E_WINDOW_MS ms after start"
}

# Runs the inspector in the program's prefix and desktop; prints its records
# and keeps a transcript in $E2E_CASE_DIR/inspector.log.
e2e_inspect() {
  local output status
  output=$(wine "$E2E_INSPECTOR" "$@" </dev/null 2>>"$E2E_CASE_DIR/inspector.err")
  status=$?
  printf '> %s\n%s\n' "$*" "$output" >>"$E2E_CASE_DIR/inspector.log"
  [ -n "$output" ] && printf '%s\n' "$output"
  return "$status"
}

# Answers (OK) every message box that is open or opens within the given
# milliseconds, logging each; for boxes that are not the point of a case.
e2e_dismiss_messages() {
  local wait_ms=${1:-0} answered count=0
  # Bounded: a program that keeps opening boxes must not hold the case forever.
  while [ "$count" -lt 20 ] && answered=$(e2e_inspect answer 1 "$wait_ms"); do
    count=$((count + 1))
    e2e_log "answered a box: $answered"
    echo "$answered" >>"$E2E_CASE_DIR/messages.log"
    sleep 0.3
    wait_ms=0
  done
  return 0
}

# Mounts a private tmpfs on /tmp. The folders the case works in (the sources,
# the build tree, the tools) stay reachable at the same paths when they lie
# under /tmp themselves, as in a clone made there: each is bind-mounted back
# into the new /tmp from a descriptor opened before it was covered.
e2e_private_tmp() {
  local path top fd
  local -A kept=()
  for path in "$@"; do
    case "$path" in
      /tmp/?*)
        top="/tmp/${path#/tmp/}"
        top="/tmp/$(printf '%s' "${top#/tmp/}" | cut -d/ -f1)"
        if [ -z "${kept[$top]:-}" ] && [ -d "$top" ]; then
          exec {fd}<"$top"
          kept[$top]=$fd
        fi
        ;;
    esac
  done
  mount -t tmpfs -o mode=1777 tmpfs /tmp || e2e_die "cannot mount a private /tmp"
  for top in "${!kept[@]}"; do
    mkdir -p "$top"
    # --no-canonicalize: the descriptor link itself, not the path it names.
    mount --no-canonicalize --bind "/proc/self/fd/${kept[$top]}" "$top" || e2e_die "cannot keep $top in the private /tmp"
  done
}

# Saves a picture of the whole virtual screen: $E2E_ARTIFACTS/<case>[-name].png.
e2e_screenshot() {
  local file="$E2E_ARTIFACTS/$E2E_CASE${1:+-$1}.png"
  if import -window root "$file" 2>>"$E2E_CASE_DIR/import.err"; then
    e2e_log "screenshot: $file"
  else
    e2e_log "no screenshot: $(cat "$E2E_CASE_DIR/import.err")"
  fi
}

# Closes the window with WM_CLOSE (after answering boxes in the way) and waits
# for the process; its exit code lands in E2E_APP_EXIT.
e2e_close_app() {
  e2e_dismiss_messages 0
  e2e_inspect close "$E2E_CAPTION" >/dev/null || e2e_log "no window to close"
  local deadline=$(($(e2e_now_ms) + 20000))
  while kill -0 "$E2E_APP_PID" 2>/dev/null; do
    if [ "$(e2e_now_ms)" -gt "$deadline" ]; then
      e2e_log "the program did not end within 20 s after WM_CLOSE"
      kill -KILL "$E2E_APP_PID"
      break
    fi
    e2e_dismiss_messages 0
    sleep 0.1
  done
  wait "$E2E_APP_PID"
  E2E_APP_EXIT=$?
  E2E_APP_PID=
}

# --- checks ---------------------------------------------------------------------

# The value of one key=value field of an inspector record (quoted values are
# returned without their quotes, escapes kept).
e2e_field() {
  local line=$1 key=$2
  if [[ $line =~ (^|[[:space:]])$key=\"(([^\"\\]|\\.)*)\" ]]; then
    printf '%s' "${BASH_REMATCH[2]}"
  elif [[ $line =~ (^|[[:space:]])$key=([^[:space:]]*) ]]; then
    printf '%s' "${BASH_REMATCH[2]}"
  else
    return 1
  fi
}

e2e_pass() { printf 'PASS: %s\n' "$1"; }

e2e_fail() {
  printf 'FAIL: %s\n' "$1"
  E2E_FAILURES=$((E2E_FAILURES + 1))
}

# e2e_check DESCRIPTION COMMAND...: passes when the command succeeds (its
# output is dropped); e2e_check_not: when it fails.
e2e_check() {
  local description=$1
  shift
  if "$@" >/dev/null; then e2e_pass "$description"; else e2e_fail "$description"; fi
}

e2e_check_not() {
  local description=$1
  shift
  if "$@" >/dev/null; then e2e_fail "$description"; else e2e_pass "$description"; fi
}

e2e_expect_eq() {
  if [ "$2" == "$3" ]; then
    e2e_pass "$1: $3"
  else
    e2e_fail "$1: expected [$2], got [$3]"
  fi
}

# Ends the case: the summary, and exit code 1 when any check failed.
e2e_end() {
  e2e_log "case $E2E_CASE took $(($(e2e_now_ms) - E2E_STARTED_MS)) ms in all"
  if [ "$E2E_FAILURES" -gt 0 ]; then
    e2e_log "$E2E_FAILURES check(s) failed; files in $E2E_CASE_DIR"
    exit 1
  fi
  exit 0
}
