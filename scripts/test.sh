#!/usr/bin/env bash
# Builds the native build, the same under AddressSanitizer and
# UndefinedBehaviorSanitizer, and the Windows build, makes the two release
# kits, and runs all their tests; the Windows build's tests run under Wine.
# Exits non-zero on any failure.
#
#   scripts/test.sh [--installed]
#
# First it installs what the machine lacks (scripts/install-deps.sh);
# --installed skips that, for a caller that has just run it (.ci/run).
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" != --installed ]; then
  scripts/install-deps.sh
fi

presets=(posix posix-asan windows)
for preset in "${presets[@]}"; do
  echo "== $preset: build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
# The two release kits, made as the README's "Release kits" says.
for preset in posix windows; do
  echo "== $preset: kit"
  cmake --build --preset "$preset" --target package
done
for preset in posix posix-asan; do
  echo "== $preset: test"
  ctest --preset "$preset"
done
# Under load Wine now and then fails to start a process at all (system()
# returns -1 before cmd.exe runs, or cmd.exe cannot start icmd.exe): about
# one of the suite's 1,400 starts in a run fails so. A test that fails is run
# again, up to twice.
echo "== windows: test"
ctest --preset windows --repeat until-pass:3
