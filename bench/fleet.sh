#!/usr/bin/env bash
# Wall time of a fleet update against one BMC's: N simulated BMCs (default
# 16) updated by fleet/update.yml in one batch at forks N, then one BMC
# updated by the tool run alone, with no Ansible. Both use the real tool and
# its real waits (about 5 minutes each), so the whole run takes about 11.
#
#   bench/fleet.sh [BUILD] [N]     BUILD: the posix build (default build/posix)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
# shellcheck source=../scripts/tool-folder.sh
source "$root/scripts/tool-folder.sh"
build="$(cd "${1:-$root/build/posix}" && pwd)"
n="${2:-16}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

kit="$work/kit"
mkdir -p "$work/runs"
tool_folder "$kit" "$build" bmcupdate bmcupdate bmc0916.bin y y y
# A BMC at 09-12 that the flash (20 s) brings to 09-16.
state=$'firmware=09 12\nflash_sets=09 16\nflash_delay_ms=20000'
for ((i = 1; i <= n; i++)); do
  mkdir "$work/runs/bmc$i" && echo "$state" >"$work/runs/bmc$i/bmcsim.txt"
  echo "bmc$i bmc_address=127.0.0.$i"
done >"$work/inventory.ini"
mkdir "$work/alone" && cp "$kit"/* "$work/alone/" && echo "$state" >"$work/alone/bmcsim.txt"

now() { date +%s.%N; }
start=$(now)
ansible-playbook -i "$work/inventory.ini" "$root/fleet/update.yml" -f "$n" -e "{\"bmcupdate_batches\": [$n]}" \
  -e "bmcupdate_kit=$kit" -e "bmcupdate_runs=$work/runs" >"$work/fleet.out" 2>&1 || {
  tail -30 "$work/fleet.out"
  exit 1
}
fleet=$(awk -v a="$start" -v b="$(now)" 'BEGIN { print b - a }')
updated=$(grep -c $'\tupdated\t' "$work/runs/summary.tsv" || true)
start=$(now)
code=0
printf 'y\n127.0.0.1\ny\n' | "$work/alone/bmcupdate" >"$work/alone.out" 2>&1 || code=$?
alone=$(awk -v a="$start" -v b="$(now)" 'BEGIN { print b - a }')

printf '| measure | value |\n|---|---|\n'
printf '| fleet of %d BMCs, forks %d, one batch (%d updated) | %.1f s |\n' "$n" "$n" "$updated" "$fleet"
printf '| one BMC, the tool alone (exit %d) | %.1f s |\n' "$code" "$alone"
printf '| ratio fleet / one | %.3f |\n' "$(awk -v a="$fleet" -v b="$alone" 'BEGIN { print a / b }')"
