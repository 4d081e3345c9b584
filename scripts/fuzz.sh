#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/, clang 14 with ASan and UBSan) and runs
# each for SECONDS (default 30) on a scratch copy of its seed corpus. Fails
# on any finding; the input that caused it is kept under
# build/fuzz/run/artifacts/TARGET/ and can be replayed with
#   build/fuzz/fuzz_TARGET build/fuzz/run/artifacts/TARGET/crash-...
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]
#
# FUZZ_BUILD_DIR overrides the build folder (default build/fuzz).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

seconds="${1:-30}"
shift || true
targets=("$@")
if [ "${#targets[@]}" -eq 0 ]; then
  targets=(text_line version_response fru_response reply image_name command_line)
fi
build="${FUZZ_BUILD_DIR:-$root/build/fuzz}"

echo "== fuzz: build"
cmake -S fuzz --preset fuzz -B "$build" >/dev/null
cmake --build "$build" -j2

run="$build/run"
rm -rf "$run"
mkdir -p "$run"
# Two targets write a capture file per input: in memory that is many times
# faster than on disk.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  scratch="$(mktemp -d /dev/shm/bmcupdate-fuzz.XXXXXX)"
else
  scratch="$(mktemp -d "$run/tmp.XXXXXX")"
fi
trap 'rm -rf "$scratch"' EXIT
status=0
table="| target | seconds | executions | findings |"$'\n'"|---|---|---|---|"
for target in "${targets[@]}"; do
  echo "== fuzz: $target for $seconds s"
  corpus="$run/corpus/$target"
  artifacts="$run/artifacts/$target/"
  mkdir -p "$corpus" "$artifacts"
  cp fuzz/corpus/"$target"/* "$corpus"/
  set +e
  TMPDIR="$scratch" "$build/fuzz_$target" -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$artifacts" "$corpus" \
    >"$run/$target.log" 2>&1
  code=$?
  set -e
  executions="$(sed -n 's/^Done \([0-9]*\) runs in .*/\1/p' "$run/$target.log" | tail -1)"
  if [ -z "$executions" ]; then
    executions="$(sed -n 's/^stat::number_of_executed_units: *//p' "$run/$target.log" | tail -1)"
  fi
  findings="$(find "$artifacts" -type f | wc -l)"
  if [ "$code" -ne 0 ]; then
    [ "$findings" -gt 0 ] || findings=1
    status=1
    echo "fuzz: $target FAILED (exit $code); log: $run/$target.log" >&2
    grep -E 'ERROR|invariant|SUMMARY|Test unit written' "$run/$target.log" >&2 || tail -20 "$run/$target.log" >&2
  fi
  table+=$'\n'"| $target | $seconds | ${executions:-?} | $findings |"
done

echo
echo "$table"
exit "$status"
