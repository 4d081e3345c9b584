#!/usr/bin/env bash
# Builds both builds (native and Windows) and runs all their tests; the
# Windows build's tests run under Wine. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

for preset in posix windows; do
  echo "== $preset: build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
for preset in posix windows; do
  echo "== $preset: test"
  ctest --preset "$preset"
done
