#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build and test both builds:
# the native toolchain, GoogleTest, the MinGW-w64 cross compiler and Wine, and
# ipmitool with OpenIPMI's BMC simulator (ipmi_sim and its headers) for the
# Linux end-to-end tests; sd-bus's header for the Linux update guard, and a
# D-Bus daemon with Python's bindings for its tests; Ansible for the fleet
# playbook; tmux and Xvfb for the Windows build's console test under Wine;
# cmark-gfm for the kits' guide; clang's fuzzer and the linters for CI.
# Installs only what is missing; needs root (or sudo).
set -euo pipefail

packages=(cmake make g++ libgtest-dev googletest g++-mingw-w64-x86-64-posix wine wine64
  ipmitool openipmi libopenipmi-dev ansible-core libsystemd-dev dbus-daemon python3-dbus python3-gi
  clang-14 libclang-rt-14-dev clang-tidy clang-format cppcheck ansible-lint yamllint shellcheck git
  tmux procps cmark-gfm xvfb)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed' || missing+=("$package")
done

if [ "${#missing[@]}" -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
fi

# Wine builds its prefix on first start (about 10 s); do it here rather than
# inside the first timed test.
if [ ! -f "${WINEPREFIX:-$HOME/.wine}/system.reg" ]; then
  WINEDEBUG=-all wineboot -i >/dev/null 2>&1 || true
fi
