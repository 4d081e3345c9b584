#!/usr/bin/env bash
# fleet/update.yml against simulated BMCs: --check, a mixed fleet and its
# summary, a second run, the canary stop, an inventory with two hosts for one
# BMC.   fleet_test.sh SOURCE BUILD
set -uo pipefail
# shellcheck source=../../scripts/tool-folder.sh
source "$(dirname "$0")/../../scripts/tool-folder.sh"
src=$1 build=$2 work=$(mktemp -d) && trap 'rm -rf "$work"' EXIT
kit=$work/kit failures=0
tool_folder "$kit" "$build" tools/bmcupdate-fast bmcupdate rom.ima y
expect() { [ "$2" = "$3" ] || { printf 'FAIL %s\n got: %s\nwant: %s\n' "$1" "$2" "$3"; failures=1; }; }

# host | inventory | bmcsim.txt (; a line end) | exit outcome | before after (bmcupdate.log) | --check changes
fleet='up|bmc_address=127.0.0.21|firmware=09 12;flash_sets=09 16|0 updated|09-12 09-16|y
secret|bmc_address=127.0.0.22 bmc_password="Pa ss-w0rd!"|firmware=09 11;flash_sets=09 16|0 updated|09-11 09-16|y
current|bmc_address=127.0.0.23|firmware=09 16|5 already-current|09-16 |n
other|bmc_address=127.0.0.24|product=MIRTA xn100|4 not-target| |y
busy|bmc_address=127.0.0.25|firmware=09 14;flash_sets=89 16;after_reset=09 16|0 updated|09-14 09-16|y
stuck|bmc_address=127.0.0.26|firmware=09 12;flash_sets=89 16|8 still-busy|09-12 89-16|y
flat|bmc_address=127.0.0.27|firmware=09 12|7 not-updated|09-12 09-12|y
mute|bmc_address=127.0.0.28|device_revision=11|6 version-unknown| |n
wrong|bmc_address=127.0.0.29 bmc_password=Wrong|password=Right|4 no-answer| |n'
lay() { # RUNS: RUNS/HOST/bmcsim.txt and RUNS.ini from such a table
  while IFS='|' read -r host vars state _; do
    mkdir -p "$1/$host" && tr ';' '\n' <<<"$state" >"$1/$host/bmcsim.txt" && echo "$host $vars"
  done >"$1.ini"
}
play() { # RUNS ARGS...: the exit code
  ansible-playbook -i "$1.ini" "$src/fleet/update.yml" -e "bmcupdate_kit=$kit" -e "bmcupdate_runs=$1" "${@:2}" \
    >"$1.out" 2>&1; echo $?; }
changed() { sed -n 's/^\([a-z0-9]*\) *:.* changed=[1-9].*/\1/p' "$1.out" | sort | xargs; }

runs=$work/fleet
lay "$runs" <<<"$fleet" && cat "$runs"/*/bmcsim.txt >"$work/states"
expect "--check: exit, hosts below 09-16" "$(play "$runs" --check -f 9) $(changed "$runs")" \
  "0 $(awk -F'|' '$6 == "y" { print $1 }' <<<"$fleet" | sort | xargs)"
expect "--check: BMCs, requests other than Get Device ID" \
  "$(cat "$runs"/*/bmcsim.txt && grep -hve '\[18\] \[01\]$' -e '^icmd-path ' "$runs"/*/bmcsim.log)" "$(cat "$work/states")"

expect "fleet exit" "$(play "$runs" -f 9 -vvv)" 2
want=$'host\taddress\texit\toutcome\tbefore\tafter'
while IFS='|' read -r host vars _ result revisions _; do
  address=${vars#bmc_address=} && address=${address%% *} && read -r before after <<<"$revisions"
  want+=$'\n'"$host	$address	${result/ /	}	$before	$after"
  grep -qE "\"$host +$address +${result/ / +} " "$runs.out" || expect "$host in the printed table" no yes
done <<<"$fleet"
expect "summary; password in the output" "$(cat "$runs/summary.tsv" && grep -c 'Pa ss' "$runs.out")" "$want"$'\n0'
expect "second run: exit, changed, updated" \
  "$(play "$runs" -f 9) $(changed "$runs")$(cut -f4 "$runs/summary.tsv" | grep -cx updated)" "2 0"

canary=$work/canary
lay "$canary" <<<$'c1|bmc_address=127.0.0.31|\nc2|bmc_address=127.0.0.32|\nc3|bmc_address=127.0.0.33|flash_sets=09 16\nc4||\nc5||'
expect "canary" "$(play "$canary") $(cut -f1,4 "$canary/summary.tsv" | xargs)" "2 host outcome c1 not-updated"
grep -qE '"c1 +127.0.0.31 +7 +not-updated' "$canary.out" || expect "canary table printed" no yes
echo 'firmware=09 16' >"$canary/c1/bmcsim.txt"
expect "failing later batch" "$(play "$canary" -e '{"bmcupdate_batches": [1, 2]}') $(cut -f1,4 "$canary/summary.tsv" |
  xargs)" "2 host outcome c1 already-current c2 not-updated c3 updated"

# One BMC for two hosts (names ignore case; hosts without one share none): refused before any host ran.
dup=$work/dup
lay "$dup" <<<$'d1|bmc_address=127.0.0.41|\nd2|bmc_address=bmc-x.lab|\nd3||\nd4|bmc_address=127.0.0.41|\nd5||
d6|bmc_address=BMC-X.lab|'
for mode in --check --diff; do
  expect "one address, two hosts ($mode): exit, message, files made" \
    "$(play "$dup" "$mode") $(grep -o 'for several hosts: [^"]*' "$dup.out")$(find "$dup" -type f ! -name bmcsim.txt)" \
    "2 for several hosts: 127.0.0.41 (d1, d4), bmc-x.lab (d2, d6)"
done
[ "$failures" = 0 ] && echo "fleet: all passed" || exit 1
