#!/usr/bin/env bash
# The Windows tool under Wine in a terminal (tmux's), so that it has a real console, on a display
# (Xvfb's), so that its windows are real, and a relay trace of the update guard's calls.
#   console_test.sh BUILD
set -uo pipefail
# shellcheck source=../../scripts/tool-folder.sh
source "$(dirname "$0")/../../scripts/tool-folder.sh"
build=$1 work=$(mktemp -d) failures=0 xvfb=""
export WINEDEBUG=-all
key='HKCU\Software\Wine\Debug'
# A tmux server of this run's own, socket and all: runs at the same time keep out of each other's way.
tmux_() { tmux -S "$work/tmux" "$@"; }
# The Wine server goes before its display does.
trap 'tmux_ kill-server 2>/dev/null; wine reg delete "$key" /v RelayInclude /f >/dev/null 2>&1
  wineserver -w; [ -n "$xvfb" ] && kill "$xvfb"; rm -rf "$work"' EXIT
expect() { [ "$2" = "$3" ] || { printf 'FAIL %s\n got: %s\nwant: %s\n' "$1" "$2" "$3"; failures=1; }; }
# Waits up to 60 s for the command to succeed.
await() {
  for _ in $(seq 600); do "$@" 2>/dev/null && return 0; sleep 0.1; done
  echo "FAIL waiting for: $*" && failures=1 && return 1
}
# Whether file $2 holds text $1; whether the screen shows text $1; whether Wine's console has taken
# the terminal over (raw mode), so that it gets what is typed.
holds() { grep -qF -- "$1" "$2"; }
shows() { tmux_ capture-pane -p -t "$session" | grep -qF -- "$1"; }
console_up() { stty -a -F "$(tmux_ display -p -t "$session" '#{pane_tty}')" | grep -qw -- -icanon; }
# A tool folder with the simulated BMC in state $2 (';' starts a line).
lay() {
  tool_folder --crlf "$1" "$build" tools/bmcupdate-fast.exe bmcupdate-fast.exe rom.ima y &&
    tr ';' '\n' <<<"$2" >"$1/bmcsim.txt"
}
# Starts the tool in folder $1 with a terminal (a tmux session named as the folder) as its console
# (its output, in code page 932, goes to out.txt, its exit code to ended.txt, both only there) and
# answers its questions.
start() {
  session=$(basename "$1")
  tmux_ new -d -s "$session" -x 100 -y 40 \
    "cd '$1' && { wine bmcupdate-fast.exe >out.txt; echo \$? >ended.txt; }; sleep 60"
  await console_up && await holds '[y/n]' "$1/out.txt" && tmux_ send -t "$session" y Enter &&
    await holds 'BMC IP' "$1/out.txt" && tmux_ send -t "$session" 1.2.3.4 Enter && await shows 1.2.3.4 &&
    tmux_ send -t "$session" y Enter
}
# Each top-level window of the tool, as "ANSWER TITLE": its answer to whether the session may end.
probe() { wine "$build/tests/wine/guard-probe.exe" bmcupdate-fast.exe | tr -d '\r'; }
# A text as Wine's debug channels print it: ASCII as it is, other characters as \ and 4 hex digits.
wine_text() {
  local unit
  for unit in $(printf %s "$1" | iconv -f UTF-8 -t UTF-16BE | od -An -v -tx1 | tr -d ' \n' | fold -w4); do
    if [[ $unit == 00[2-7]? ]]; then printf %b "\\x${unit:2}"; else printf '\\%s' "$unit"; fi
  done
}

# A Wine server started without a display gives its desktop none, and no window can be made: the
# running one ends first, and the next starts with Xvfb's display.
wineserver -w
exec 3< <(exec Xvfb -displayfd 1 -nolisten tcp 2>/dev/null)
xvfb=$!
read -r -t 30 display <&3 || { echo "FAIL Xvfb gave no display"; exit 1; }
export DISPLAY=":$display"

# From a console, the flash program gets one it shares with no one. While it runs, a window of the
# tool refuses to end the session; Ctrl+C (twice) is acknowledged once, and the flash (which ends
# on that word) and the run go on to the success box; at the final pause no window refuses.
folder=$work/span
lay "$folder" "flash_sets=09 16;flash_delay_ms=60000;flash_until=out.txt:$(printf %s 中断できません | iconv -f UTF-8 -t CP932)"
start "$folder" && await holds flash-console "$folder/bmcsim.log"
during=$(probe)
tmux_ send -t "$session" C-c C-c && await holds 'Press any key' "$folder/out.txt"
final=$(probe) found=$?
tmux_ send -t "$session" Enter && await test -s "$folder/ended.txt"
expect "the flash program's console" "$(grep -E '^flash-(console|lock)' "$folder/bmcsim.log")" \
  $'flash-lock held\nflash-console 1'
expect "windows that refuse, during the flash" "$(grep '^0 ' <<<"$during")" \
  "0 BMCファームウェアアップデート（09-16）"
expect "windows that refuse, at the final pause" "$found $(grep -c '^0 ' <<<"$final")" "0 0"
screen=$(iconv -f CP932 -t UTF-8 "$folder/out.txt" | tr -d '\r')
expect "the acknowledgment, the box, no notice" "$(grep -c 'BMCのアップデート中は中断できません。終わるまでお待ちください。' <<<"$screen") \
$(grep -c '正常にBMCのアップデートが完了しました' <<<"$screen") $(grep -c '中断しました' <<<"$screen")" "1 1 0"
expect "exit code" "$(cat "$folder/ended.txt")" 0
expect "run log" "$(tr -d "\r" <"$folder/bmcupdate.log" | cut -f 2- | tail -1)" \
  $'1.2.3.4\tMIRTA kn300\t09-12\t09-16\t0\tupdated'

# Alone on its console (GetConsoleProcessList counts the tool only, as after a double-click), a
# one-line ending waits for a key, so that the line can be read before the window goes.
folder=$work/own
lay "$folder" 'flash_sets=09 16' && rm "$folder/rom.ima"
paused() { [ -s "$folder/ended.txt" ] || holds 'Press any key' "$folder/out.txt"; }
start "$folder" && await paused
expect "the [009] line, then the pause" "$(tr -d '\r' <"$folder/out.txt" | tail -2 | LC_ALL=C sed 's/^.*\[009\]/[009]/') \
$([ -e "$folder/ended.txt" ] && echo ended || echo waiting)" \
  $'[009] image file named in image.txt is missing or empty.\nPress any key to continue...  waiting'
tmux_ send -t "$session" Enter && await test -s "$folder/ended.txt"
expect "exit code after a key" "$(cat "$folder/ended.txt")" 9

# The flash program gets exactly its own handles: a reader of the tool's output sees its end when the
# tool ends (after [014]: the fast half hour is over), while the flash program still runs.
folder=$work/pipe
lay "$folder" 'flash_sets=09 16;flash_delay_ms=60000;flash_until=go.txt:go'
(cd "$folder" && printf 'y\r\n1.2.3.4\r\ny\r\n\r\n' | wine bmcupdate-fast.exe 2>/dev/null | cat >out.txt)
expect "the reader's end, the flash still running" \
  "$(tr -d '\r' <"$folder/out.txt" | grep -c '^\[014\]') $(grep -c firmware= "$folder/bmcsim.txt")" "1 0"
echo go >"$folder/go.txt" && await holds 'firmware=09 16' "$folder/bmcsim.txt"

# The relay trace of the guard's calls, in order, with their threads: the guard's (that of
# ShutdownBlockReasonCreate) keeps the system awake before the flash program starts, and lets go
# only after the last icmd.exe run of the update; the main thread (the flash's) starts the programs.
lay "$work/trace" 'flash_sets=09 16'
wine reg add "$key" /v RelayInclude /t REG_SZ /d 'SetThreadExecutionState;CreateProcessA;ShutdownBlockReasonCreate' \
  /f >/dev/null 2>&1
(cd "$work/trace" && printf 'y\r\n1.2.3.4\r\ny\r\n\r\n' | WINEDEBUG=-all,+relay,fixme+graphics wine bmcupdate-fast.exe >out.txt 2>trace.txt)
wine reg delete "$key" /v RelayInclude /f >/dev/null 2>&1
calls=$(sed -nE -e 's/^([0-9a-f]+):Call KERNEL32\.(SetThreadExecutionState\([0-9a-f]+\)).*/\1 \2/p' \
  -e 's/^([0-9a-f]+):Call user32\.(ShutdownBlockReasonCreate)\(.*/\1 \2/p' \
  -e 's/^([0-9a-f]+):Call KERNEL32\.CreateProcessA\([0-9a-f]+,[0-9a-f]+ "(\\"[^"]*cmd\.exe\\" \/c )?([^ ]*).*/\1 CreateProcessA \3/p' \
  "$work/trace/trace.txt")
main=$(grep -m1 Yafuflash <<<"$calls" | cut -d' ' -f1) guard=$(grep -m1 ShutdownBlock <<<"$calls" | cut -d' ' -f1)
expect "the guard's calls" "$(sed -E "s/^$main /main /; s/^$guard /guard /" <<<"$calls" | uniq)" \
  "main CreateProcessA icmd.exe
guard ShutdownBlockReasonCreate
guard SetThreadExecutionState(80000001)
main CreateProcessA Yafuflash.exe
main CreateProcessA icmd.exe
guard SetThreadExecutionState(80000000)"
expect "the reason given" "$(sed -nE 's/.*:graphics:ShutdownBlockReasonCreate \([0-9a-f]+, L"(.*)"\): stub.*/\1/p' \
  "$work/trace/trace.txt")" "$(wine_text 'BMCのファームウェアを更新中です。終わるまで電源を切らないでください。')"
[ "$failures" = 0 ] && echo "wine console: all passed" || exit 1
