#!/usr/bin/env bash
# The Windows tool under Wine in a terminal (tmux's), so that it has a real console, and a relay
# trace of the calls that keep the system awake while the flash runs.   console_test.sh BUILD
set -uo pipefail
# shellcheck source=../../scripts/tool-folder.sh
source "$(dirname "$0")/../../scripts/tool-folder.sh"
build=$1 work=$(mktemp -d) failures=0
export WINEDEBUG=-all
key='HKCU\Software\Wine\Debug'
# A tmux server of this run's own, socket and all: runs at the same time keep out of each other's way.
tmux_() { tmux -S "$work/tmux" "$@"; }
trap 'tmux_ kill-server 2>/dev/null; wine reg delete "$key" /v RelayInclude /f >/dev/null 2>&1; rm -rf "$work"' EXIT
expect() { [ "$2" = "$3" ] || { printf 'FAIL %s\n got: %s\nwant: %s\n' "$1" "$2" "$3"; failures=1; }; }
# Waits up to 60 s for file $2 (or the screen, for "") to show text $1.
await() {
  for _ in $(seq 600); do
    if [ -z "$2" ]; then tmux_ capture-pane -p -t "$session" | grep -qF -- "$1" && return 0
    else grep -qF -- "$1" "$2" 2>/dev/null && return 0; fi
    sleep 0.1
  done
  echo "FAIL waiting for $1 in ${2:-the screen}" && failures=1 && return 1
}
# A tool folder with the simulated BMC in state $2 (';' starts a line).
lay() {
  tool_folder --crlf "$1" "$build" tools/bmcupdate-fast.exe bmcupdate-fast.exe rom.ima y &&
    tr ';' '\n' <<<"$2" >"$1/bmcsim.txt"
}
# Starts the tool in folder $1 with a terminal (a tmux session named as the folder) as its console
# (its output, in code page 932, goes to out.txt) and answers its questions.
start() {
  session=$(basename "$1")
  tmux_ new -d -s "$session" -x 100 -y 40 "cd '$1' && wine bmcupdate-fast.exe >out.txt; echo ended >ended.txt; sleep 60"
  # Wine's console takes the terminal over a moment after the program's first output.
  await '[y/n]' "$1/out.txt" && sleep 2 && tmux_ send -t "$session" y Enter && await 'BMC IP' "$1/out.txt" &&
    tmux_ send -t "$session" 1.2.3.4 Enter && await '1.2.3.4' "" && tmux_ send -t "$session" y Enter
}

# From a console, the flash program gets one it shares with no one. Ctrl+C while it runs: the
# notice, the run's line; the flash goes on and holds the folder until it ends.
folder=$work/interrupt
lay "$folder" 'flash_sets=09 16;flash_delay_ms=6000'
start "$folder" && await flash-console "$folder/bmcsim.log" && tmux_ send -t "$session" C-c &&
  await ended "$folder/ended.txt"
expect "the flash program's console" "$(grep -E '^flash-(console|lock)' "$folder/bmcsim.log")" \
  $'flash-lock held\nflash-console 1'
expect "run log" "$(tr -d "\r" <"$folder/bmcupdate.log" | cut -f 2-)" \
  $'address\tmodel\tbefore\tafter\texit\toutcome\n1.2.3.4\tMIRTA kn300\t09-12\t\t\tinterrupted'
expect "the notice, last" "$(iconv -f CP932 -t UTF-8 "$folder/out.txt" | tr -d '\r' | tail -2)" \
  $'中断しました。BMCのアップデートは続いています。\nサーバーの電源を切らずに5分以上待ってから、もう一度実行してバージョンを確認してください。'
(cd "$folder" && printf 'n\r\n' | wine bmcupdate-fast.exe >second.txt 2>&1)
expect "a second run while the flash runs" "$? $(tr -d '\r' <"$folder/second.txt" | tail -1)" \
  "13 [013] another update is running from this folder."
await 'firmware=09 16' "$folder/bmcsim.txt"

# The relay trace: the calls of SetThreadExecutionState and CreateProcessA on the flash program's
# thread, in order.
lay "$work/trace" 'flash_sets=09 16'
wine reg add "$key" /v RelayInclude /t REG_SZ /d 'SetThreadExecutionState;CreateProcessA' /f >/dev/null 2>&1
(cd "$work/trace" && printf 'y\r\n1.2.3.4\r\ny\r\n\r\n' | WINEDEBUG=+relay wine bmcupdate-fast.exe >out.txt 2>trace.txt)
wine reg delete "$key" /v RelayInclude /f >/dev/null 2>&1
calls=$(grep -E '^[0-9a-f]+:Call KERNEL32\.(SetThreadExecutionState|CreateProcessA)' "$work/trace/trace.txt")
flasher=$(grep -m1 'CreateProcessA(.*"Yafuflash.exe' <<<"$calls" | cut -d: -f1)
expect "the flash program's thread" \
  "$(grep "^$flasher:" <<<"$calls" | sed -E 's/^[0-9a-f]+:Call KERNEL32.//; s/\) ret=.*/)/; s/\(0+,[0-9a-f]+ ("[^ ]*).*/(\1/')" \
  $'SetThreadExecutionState(80000001)\nCreateProcessA("Yafuflash.exe\nSetThreadExecutionState(80000000)'
[ "$failures" = 0 ] && echo "wine console: all passed" || exit 1
