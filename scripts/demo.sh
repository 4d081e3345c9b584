#!/usr/bin/env bash
# Runs bmcupdate interactively against the simulated BMC, so that a newcomer
# can go through a whole update. Builds what is missing first.
#
#   scripts/demo.sh [--quick] [STATE]
#
# --quick   the fast-clock test build: the 300 s and 90 s waits take under a
#           second each. Without it the real tool runs with its real timing
#           (5 minutes of update countdown, 90 s more after a cold reset).
# STATE     what the simulated BMC does (default: update)
#   update      09-12 on a target model; the flash brings it to 09-16
#   current     already at 09-16: nothing to do
#   not-target  a server that is not a target model
#   busy        still busy after the flash; a cold reset finishes the update
#   stuck       still busy after the flash, and the cold reset does not help
#   failed      the flash leaves the revision at 09-12
#   unreadable  the BMC gives no revision at all
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
# shellcheck source=tool-folder.sh
source "$root/scripts/tool-folder.sh"

quick=0
if [ "${1:-}" = "--quick" ]; then quick=1; shift; fi
state="${1:-update}"

bmc_state() {
  case "$1" in
    update)     printf 'firmware=09 12\nflash_sets=09 16\n' ;;
    current)    printf 'firmware=09 16\n' ;;
    not-target) printf 'product=MIRTA xn100\nfirmware=09 12\n' ;;
    busy)       printf 'firmware=09 12\nflash_sets=89 16\nafter_reset=09 16\n' ;;
    stuck)      printf 'firmware=09 12\nflash_sets=89 16\n' ;;
    failed)     printf 'firmware=09 12\n' ;;
    unreadable) printf 'firmware=09 12\ndevice_revision=11\n' ;;
    *) echo "unknown state: $1 (see the top of $0)" >&2; exit 2 ;;
  esac
}
settings="$(bmc_state "$state")"

# Installs only what is missing (the build needs more than cmake and g++:
# sd-bus's header, say); a fraction of a second when nothing is.
"$root/scripts/install-deps.sh"
cmake --preset posix -S "$root" >/dev/null
cmake --build "$root/build/posix" --target bmcupdate bmcupdate-fast bmcsim-icmd bmcsim-flash >/dev/null

folder="$root/build/demo/$state"
rm -rf "$folder"
tool=bmcupdate delay=20000
if [ "$quick" = 1 ]; then tool=tools/bmcupdate-fast delay=300; fi
tool_folder "$folder" "$root/build/posix" "$tool" bmcupdate bmc0916.bin y y y
printf '# the simulated BMC (see tools/bmcsim/README.md)\n%s\nflash_delay_ms=%s\n' \
  "$settings" "$delay" > "$folder/bmcsim.txt"

echo "Demo folder: $folder"
echo "Simulated BMC: $state. Answer y, type any address (e.g. 192.168.0.10), then y for the factory password."
[ "$quick" = 1 ] && echo "(fast-clock build: the waits are shortened)" || echo "(real timing: the update wait is 5 minutes)"
echo
set +e
"$folder/bmcupdate"
code=$?
set -e
echo
echo "bmcupdate exited with code $code."
echo "What the simulated BMC was asked (bmcsim.log):"
sed -e '/^icmd-path /d' -e 's/^/  /' "$folder/bmcsim.log" 2>/dev/null || echo "  (nothing)"
