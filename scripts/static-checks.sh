#!/usr/bin/env bash
# Static checks of the program's own code (core, web, netfacts, dns, sysinfo,
# app, tests, fuzz): clang-tidy with the checks of .clang-tidy (tests/ and
# fuzz/ have their own additions) and cppcheck (which reads bench/ too). Not
# GoogleTest, not the system headers. Any finding fails the script. About four
# minutes on two idle cores, nearly all of it clang-tidy.
#
#   scripts/static-checks.sh           both tools
#   scripts/static-checks.sh tidy      clang-tidy only
#   scripts/static-checks.sh cppcheck  cppcheck only
#
# A finding is fixed, or kept with a reason where it stands:
#   // NOLINTNEXTLINE(<check>): <reason>      (clang-tidy, on the line above)
#   // cppcheck-suppress <id> ; <reason>      (cppcheck, on the line above)
#
# clang-tidy reads compile databases of its own build folders, configured here
# and never built:
#  - build/static-checks/native: every file of the native build, the
#    platform-neutral logic and its tests among them.
#  - build/static-checks/windows: the MinGW-w64 x86-64 build; only the files
#    that exist in the Windows build alone (*_win.cpp, the Windows-layer tests,
#    the end-to-end tools), checked as clang sees the x86_64-w64-mingw32 target
#    with the MinGW headers.
#  - build/static-checks/fuzz: the fuzz project; its targets only.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

what=${1:-all}
jobs=$(nproc)
work=build/static-checks
mkdir -p "$work"

# Folders of the project's own code, as a path pattern and as a list.
own_dirs=(core web netfacts dns sysinfo app tests fuzz)
own_pattern="^$root/($(
  IFS='|'
  echo "${own_dirs[*]}"
))/"

step() { printf '\n--- %s\n' "$*"; }

run_tidy() {
  step "clang-tidy: compile databases"
  cmake -S . -B "$work/native" -G Ninja -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
  # (The toolchain is read on the first configure only; CMake warns of it later.)
  local toolchain=()
  [ -f "$work/windows/CMakeCache.txt" ] || toolchain=(-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake)
  cmake -S . -B "$work/windows" -G Ninja -DCMAKE_EXPORT_COMPILE_COMMANDS=ON "${toolchain[@]}" >/dev/null
  cmake -S fuzz -B "$work/fuzz" -G Ninja -DCMAKE_EXPORT_COMPILE_COMMANDS=ON \
    -DCMAKE_CXX_COMPILER=clang++ >/dev/null

  # One database of the files to check. Every command loses
  # -fexec-charset=GB18030: clang takes only UTF-8 for it (GCC builds the
  # program's narrow literals as GBK bytes; for the checks their encoding does
  # not matter). The Windows commands go to clang for the x86_64-w64-mingw32
  # target, with the MinGW g++'s own C++ headers: clang's MinGW driver looks
  # for a GCC folder named by the bare version, and Debian's is "12-posix".
  python3 - "$root" "$work" "$own_pattern" <<'EOF'
import json, re, subprocess, sys
root, work, own = sys.argv[1:4]
own = re.compile(own)

def load(name):
    with open(f"{work}/{name}/compile_commands.json") as f:
        return json.load(f)

def cleaned(command):
    return re.sub(r"\s-fexec-charset=\S+", "", command)

native = [e for e in load("native") if own.match(e["file"])]
seen = {e["file"] for e in native}
entries = [dict(e, command=cleaned(e["command"])) for e in native]

windows = load("windows")
mingw_gxx = windows[0]["command"].split()[0]
search = subprocess.run([mingw_gxx, "-xc++", "-E", "-v", "/dev/null"], capture_output=True,
                        text=True, check=True).stderr
search = search.split("#include <...> search starts here:")[1].split("End of search list.")[0]
clang_mingw = "clang++ --target=x86_64-w64-mingw32 -nostdinc++ " + " ".join(
    "-isystem " + d for d in search.split() if "/c++" in d)
for e in windows:
    if not own.match(e["file"]) or e["file"] in seen or not e["file"].endswith(".cpp"):
        continue
    compiler, rest = cleaned(e["command"]).split(" ", 1)
    entries.append(dict(e, command=clang_mingw + " " + rest))
    seen.add(e["file"])

for e in load("fuzz"):
    if e["file"].startswith(f"{root}/fuzz/") and e["file"] not in seen:
        entries.append(dict(e, command=cleaned(e["command"])))
        seen.add(e["file"])

with open(f"{work}/compile_commands.json", "w") as f:
    json.dump(entries, f, indent=1)
print(f"{len(entries)} files")
EOF

  step "clang-tidy"
  # run-clang-tidy exits non-zero on any finding (WarningsAsErrors: '*'). Of its
  # output only the findings stay, and one line a file checked.
  run-clang-tidy -quiet -j "$jobs" -p "$work" -header-filter="$own_pattern" 2>&1 |
    sed -e 's/\x1b\[[0-9;]*m//g' -e "s|^clang-tidy[^ ]* .* $root/\(.*\)$|  \1|" |
    grep -v -e '^Suppressed [0-9]* warnings' -e '^Use -header-filter' \
      -e '^[0-9]* warnings\? \(and [0-9]* errors\? \)\?generated'
  local statuses=("${PIPESTATUS[@]}")
  return "${statuses[0]}"
}

run_cppcheck() {
  step "cppcheck"
  # cppcheck 2.10 stops at any non-ASCII character outside a literal or a
  # comment, and the controls have Chinese names (按钮1). It reads a copy in
  # which those characters are spelled U006309 (line numbers unchanged).
  local copy=$work/ascii
  rm -rf "$copy"
  local sources
  sources=$(find "${own_dirs[@]}" bench -name '*.cpp' -o -name '*.h' 2>/dev/null || true)
  # shellcheck disable=SC2086  # one argument a file
  python3 - "$copy" $sources <<'EOF'
import os, sys

def ascii_spelling(src):
    out, i, n = [], 0, len(src)

    def word_before(k):  # the identifier or number that ends at k
        b = k
        while b > 0 and (src[b - 1].isalnum() or src[b - 1] in "_'."):
            b -= 1
        return src[b:k]

    while i < n:
        c = src[i]
        if src.startswith("//", i):
            j = src.find("\n", i)
            j = n if j < 0 else j
        elif src.startswith("/*", i):
            j = src.find("*/", i + 2)
            j = n if j < 0 else j + 2
        elif c == "R" and src.startswith('"', i + 1) and word_before(i) in ("", "u8", "u", "U", "L"):
            d = src.index("(", i + 2)
            closing = ")" + src[i + 2:d] + '"'
            j = src.index(closing, d) + len(closing)
        elif c == '"' or (c == "'" and not word_before(i)[:1].isdigit()):
            j = i + 1
            while j < n and src[j] != c:
                j += 2 if src[j] == "\\" else 1
            j += 1
        else:
            out.append(c if ord(c) < 128 else "U%06X" % ord(c))
            i += 1
            continue
        out.append(src[i:j])
        i = j
    return "".join(out)

copy = sys.argv[1]
for path in sys.argv[2:]:
    os.makedirs(os.path.join(copy, os.path.dirname(path)), exist_ok=True)
    with open(path, encoding="utf-8") as f:
        text = f.read()
    with open(os.path.join(copy, path), "w", encoding="utf-8") as f:
        f.write(ascii_spelling(text))
EOF
  # The Windows-only files (*_win.*, the end-to-end tools) as the Windows build
  # compiles them (LLP64, _WIN32, UNICODE); the rest as the native build.
  local windows_files native_files status=0
  windows_files=$(cd "$copy" && find . -name '*_win.cpp' -o -name '*_win.h' -o -path './tests/e2e/*.cpp' -o -path './tests/e2e/*.h')
  native_files=$(cd "$copy" && find . \( -name '*.cpp' -o -name '*.h' \) ! -name '*_win.*' ! -path './tests/e2e/*')
  local common=("--enable=warning,performance,portability" --inline-suppr --error-exitcode=1
    --std=c++20 --language=c++ --library=googletest -I . -q -j "$jobs")
  # shellcheck disable=SC2086  # one argument a file
  (cd "$copy" && cppcheck "${common[@]}" --platform=unix64 --library=posix $native_files) || status=1
  # shellcheck disable=SC2086  # one argument a file
  (cd "$copy" && cppcheck "${common[@]}" --platform=win64 --library=windows \
    -D_WIN32 -D_WIN64 -DUNICODE -D_UNICODE $windows_files) || status=1
  return $status
}

start=$SECONDS
status=0
case $what in
  all) run_tidy || status=1; run_cppcheck || status=1 ;;
  tidy) run_tidy || status=1 ;;
  cppcheck) run_cppcheck || status=1 ;;
  *) echo "usage: $0 [all|tidy|cppcheck]" >&2; exit 2 ;;
esac
printf '\nstatic checks: %s in %d s\n' "$([ $status -eq 0 ] && echo clean || echo FINDINGS)" $((SECONDS - start))
exit $status
