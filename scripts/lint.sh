#!/usr/bin/env bash
# Static checks of every tracked C++ file, script and playbook; fails on any finding:
#   clang-format  the layout of .clang-format (--dry-run -Werror);
#   clang-tidy    the checks of .clang-tidy, over the compile database of the
#                 posix build (and of the fuzz build, for fuzz/);
#   cppcheck      with the suppressions of .cppcheck-suppressions;
#   scripts       every tracked shell script, by shellcheck;
#   yamllint and ansible-lint   the playbooks (fleet/).
# Windows-only sources are not in either compile database: cppcheck and the
# MinGW build's warnings cover them.
#
#   scripts/lint.sh
#
# LINT_BUILD_DIR       the posix build folder (default build/posix; configured here)
# LINT_FUZZ_BUILD_DIR  the fuzz build folder (default build/fuzz; configured here)
# LINT_EXCLUDE         an extended regex of paths to leave out, e.g. 'tests/e2e/'
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

build="${LINT_BUILD_DIR:-$root/build/posix}"
fuzz_build="${LINT_FUZZ_BUILD_DIR:-$root/build/fuzz}"
exclude="${LINT_EXCLUDE:-^$}"
failed=()

# Tracked files, and new ones not yet added (but not ignored ones).
# Deleted files still listed by the index are left out.
mapfile -t sources < <(git ls-files --cached --others --exclude-standard '*.cc' '*.h' |
  grep -Ev "$exclude" | while read -r file; do [ -f "$file" ] && echo "$file"; done)
mapfile -t units < <(printf '%s\n' "${sources[@]}" | grep '\.cc$')
echo "== lint: ${#sources[@]} files"

echo "== lint: clang-format"
clang-format --version
clang-format --dry-run -Werror "${sources[@]}" || failed+=(clang-format)

echo "== lint: cppcheck"
cppcheck --version
cppcheck --std=c++17 --language=c++ --enable=warning,style,performance,portability \
  --library=googletest --library=posix --inline-suppr \
  --suppressions-list=.cppcheck-suppressions -I . -q --error-exitcode=1 \
  --template='{file}:{line}: {severity}: {message} [{id}]' "${units[@]}" || failed+=(cppcheck)

echo "== lint: shellcheck"
mapfile -t scripts < <(git ls-files '*.sh' .ci/run)
shellcheck --version | sed -n 2p
shellcheck "${scripts[@]}" || failed+=(shellcheck)

echo "== lint: yamllint, ansible-lint"
mapfile -t playbooks < <(git ls-files --cached --others --exclude-standard '*.yml' '*.yaml' |
  grep -Ev "$exclude" | while read -r file; do [ -f "$file" ] && echo "$file"; done)
yamllint --version
yamllint -s -d '{extends: default, rules: {line-length: {max: 120}}}' "${playbooks[@]}" || failed+=(yamllint)
ansible-lint --version | sed -n 1p
# Its schema wants a number for max_fail_percentage, which Ansible templates.
ansible-lint --offline -q -x 'schema[playbook]' "${playbooks[@]}" || failed+=(ansible-lint)

echo "== lint: clang-tidy"
clang-tidy --version | grep -i version
cmake --preset posix -B "$build" >/dev/null
cmake -S fuzz --preset fuzz -B "$fuzz_build" >/dev/null
# The files of `units` that a compile database builds (each named once).
in_database() {
  local database="$1" unit
  shift
  for unit in "$@"; do
    if grep -qF "\"file\": \"$root/$unit\"" "$database"; then echo "$unit"; fi
  done
}
posix_units=() fuzz_units=()
for unit in "${units[@]}"; do
  case "$unit" in
    fuzz/*) fuzz_units+=("$unit") ;;
    *) posix_units+=("$unit") ;;
  esac
done
mapfile -t posix_units < <(in_database "$build/compile_commands.json" "${posix_units[@]}")
mapfile -t fuzz_units < <(in_database "$fuzz_build/compile_commands.json" "${fuzz_units[@]}")
echo "clang-tidy: ${#posix_units[@]} files of the posix build, ${#fuzz_units[@]} of the fuzz build"
tidy() {
  local database="$1"
  shift
  [ "$#" -gt 0 ] || return 0
  printf '%s\n' "$@" | xargs -P 2 -n 4 clang-tidy -p "$database" --quiet 2> >(grep -v -E \
    '^[0-9]+ warnings? (and [0-9]+ errors? )?generated\.$|^Suppressed [0-9]+ warnings|^Use -header-filter|^$' >&2)
}
tidy "$build" "${posix_units[@]}" || failed+=(clang-tidy)
tidy "$fuzz_build" "${fuzz_units[@]}" || failed+=(clang-tidy-fuzz)

if [ "${#failed[@]}" -gt 0 ]; then
  echo "lint: FAILED: ${failed[*]}" >&2
  exit 1
fi
echo "lint: clean"
