#!/usr/bin/env bash
# Installs everything the build and the tests need from Debian's packages.
# Idempotent: it installs only what is missing and uses sudo only when not root.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev clang-tidy clang-format cppcheck
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  wine wine64 xvfb xauth x11-utils imagemagick fonts-wqy-microhei
  locales python3 iproute2 util-linux procps
)

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Wine must run with code page 936 as its ANSI code page, which it takes from a zh_CN locale.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
  echo "setup: generating the zh_CN.UTF-8 locale"
  as_root sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
  as_root locale-gen >/dev/null
fi
