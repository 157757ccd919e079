#!/usr/bin/env bash
# The portable zip holds one folder, QuorvanderUtility-<version>, with the program as built and
# EULA.TXT, and nothing else.
#   portable_zip.sh ZIP SCRATCH_FOLDER   (QUORVANDER_EXE, QUORVANDER_EULA, QUORVANDER_VERSION and
#                                         CMAKE_COMMAND from the test registration)
set -uo pipefail

ZIP=$(realpath -m "$1")
SCRATCH=$2
: "${QUORVANDER_EXE:?}" "${QUORVANDER_EULA:?}" "${QUORVANDER_VERSION:?}" "${CMAKE_COMMAND:?}"
FAILURES=0
fail() {
  FAILURES=$((FAILURES + 1))
  printf 'FAIL: %s\n' "$*"
}

[ -f "$ZIP" ] || { printf 'FAIL: no zip at %s (build the target dist)\n' "$ZIP"; exit 1; }
rm -rf "$SCRATCH"
mkdir -p "$SCRATCH"
(cd "$SCRATCH" && "$CMAKE_COMMAND" -E tar xf "$ZIP") || { printf 'FAIL: cannot unpack %s\n' "$ZIP"; exit 1; }

top=QuorvanderUtility-$QUORVANDER_VERSION
expected=$(printf '%s\n' "$top/" "$top/EULA.TXT" "$top/KELVARON.EXE")
actual=$(cd "$SCRATCH" && find . -mindepth 1 \( -type d -printf '%P/\n' -o -printf '%P\n' \) | LC_ALL=C sort)
[ "$actual" == "$expected" ] || fail "the zip holds [$(echo $actual)], expected [$(echo $expected)]"
cmp -s "$QUORVANDER_EXE" "$SCRATCH/$top/KELVARON.EXE" || fail "KELVARON.EXE in the zip is not the program as built"
cmp -s "$QUORVANDER_EULA" "$SCRATCH/$top/EULA.TXT" || fail "EULA.TXT in the zip is not EULA.TXT"

if [ "$FAILURES" -eq 0 ]; then
  echo "install.portable_zip: passed"
  exit 0
fi
echo "install.portable_zip: FAILED ($FAILURES)"
exit 1
