# shellcheck shell=bash
# Lays out the tool's folder as an operator does, for the demos, the bench and
# the tests that run the tool against the simulated BMC (they source this file).
#
#   tool_folder [--crlf] FOLDER BUILD TOOL NAME IMAGE ANSWER...
#
# Makes FOLDER and copies into it BUILD/TOOL (the tool or its fast-clock build)
# as NAME, and the simulated BMC's icmd.exe and Yafuflash.exe from
# BUILD/tools/bmcsim/; writes image.txt, the one line IMAGE, the image file
# IMAGE (one line of text: the tool refuses a missing or empty image), and
# yes.txt, one line an ANSWER. --crlf ends the lines of image.txt and yes.txt
# with CR LF, as a Windows editor saves them. bmcsim.txt is the caller's.
# Returns the status of the first step that fails, for callers without set -e.
tool_folder() {
  local eol=$'\n'
  if [ "$1" = --crlf ]; then
    eol=$'\r\n'
    shift
  fi
  local folder="$1" build="$2" tool="$3" name="$4" image="$5" answer
  shift 5
  mkdir -p "$folder" &&
    cp "$build/$tool" "$folder/$name" &&
    cp "$build/tools/bmcsim/icmd.exe" "$build/tools/bmcsim/Yafuflash.exe" "$folder/" &&
    printf '%s%s' "$image" "$eol" >"$folder/image.txt" &&
    echo 'simulated firmware image' >"$folder/$image" &&
    for answer in "$@"; do printf '%s%s' "$answer" "$eol"; done >"$folder/yes.txt"
}
