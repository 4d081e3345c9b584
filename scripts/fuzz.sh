#!/usr/bin/env bash
# Builds the libFuzzer target fuzz/parsers_fuzzer.cc (clang 14 with ASan and
# UBSan) and runs it for SECONDS (default 120) on a scratch copy of the seed
# corpus fuzz/corpus/ (byte 0 of an input picks the parser). Fails on any
# finding; the input that caused it is kept under build/fuzz/run/artifacts/
# and can be replayed with
#   build/fuzz/fuzz_parsers build/fuzz/run/artifacts/crash-...
#
#   scripts/fuzz.sh [SECONDS]
#
# FUZZ_BUILD_DIR overrides the build folder (default build/fuzz).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
seconds="${1:-120}"
build="${FUZZ_BUILD_DIR:-$root/build/fuzz}"
run="$build/run"

echo "== fuzz: build"
cmake -S fuzz --preset fuzz -B "$build" >/dev/null
cmake --build "$build" -j2
rm -rf "$run"
mkdir -p "$run/corpus" "$run/artifacts"
cp fuzz/corpus/* "$run/corpus/"

echo "== fuzz: $seconds s"
status=0
"$build/fuzz_parsers" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -print_final_stats=1 -artifact_prefix="$run/artifacts/" "$run/corpus" >"$run/log" 2>&1 ||
  status=$?
if [ "$status" -ne 0 ]; then
  echo "fuzz: FAILED (exit $status); log: $run/log" >&2
  grep -E 'ERROR|Assertion|SUMMARY|Test unit written' "$run/log" >&2 || tail -20 "$run/log" >&2
fi

# The corpus the run ends with, by parser (byte 0 modulo 4).
parsers=(text_line captures reply command_line)
kept=(0 0 0 0)
for file in "$run/corpus"/*; do
  byte="$(od -An -tu1 -N1 "$file" | tr -d ' ')"
  if [ -n "$byte" ]; then kept[byte % 4]=$((kept[byte % 4] + 1)); fi
done
echo
echo "fuzz: $seconds s, $(sed -n 's/^stat::number_of_executed_units: *//p' "$run/log")" \
  "executions, $(find "$run/artifacts" -type f | wc -l) findings"
echo "| parser (byte 0 mod 4) | inputs kept |"
echo "|---|---|"
for i in "${!parsers[@]}"; do echo "| ${parsers[i]} | ${kept[i]} |"; done
[ "$status" -eq 0 ]
