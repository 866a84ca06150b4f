#!/usr/bin/env bash
# Builds every target and runs every test: the native unit tests (also under
# AddressSanitizer and UndefinedBehaviorSanitizer), a short run of the fuzz
# targets, the same tests and the Windows-layer tests under Wine, and the
# end-to-end tests of the real zheqiao.exe under Wine in a virtual display.
# Also compiles the 32-bit Windows build and runs the static checks
# (clang-tidy, cppcheck). Warnings and findings are errors here.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh

jobs=$(nproc)
strict=(-DZQ_WARNINGS_AS_ERRORS=ON)

step() { printf '\n=== %s\n' "$*"; }

step "native build and unit tests"
cmake --preset native "${strict[@]}" >/dev/null
cmake --build --preset native -j "$jobs"
ctest --preset native -j "$jobs"

step "native unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset native-sanitize "${strict[@]}" >/dev/null
cmake --build --preset native-sanitize -j "$jobs"
UBSAN_OPTIONS=print_stacktrace=1 ctest --preset native-sanitize -j "$jobs"

step "fuzz targets, 10 s each (a longer run: fuzz/run.sh 600)"
fuzz/run.sh 10

step "static checks: clang-tidy and cppcheck of the program's own code"
scripts/static-checks.sh

step "Windows x86-64 build, unit, Windows-layer and end-to-end tests under Wine"
cmake --preset windows "${strict[@]}" >/dev/null
cmake --build --preset windows -j "$jobs"
ctest --preset windows -j "$jobs"

step "Windows x86 build (compiled only: there is no 32-bit Wine here)"
cmake --preset windows-i686 "${strict[@]}" >/dev/null
cmake --build --preset windows-i686 -j "$jobs"
