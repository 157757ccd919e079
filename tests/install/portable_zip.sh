#!/usr/bin/env bash
# The portable zip holds one folder, QuorvanderUtility-<version>, with the program as built and
# EULA.TXT, and nothing else.   portable_zip.sh ZIP SCRATCH_FOLDER
set -uo pipefail
: "${QUORVANDER_EXE:?}" "${QUORVANDER_EULA:?}" "${QUORVANDER_VERSION:?}" "${CMAKE_COMMAND:?}"
ZIP=$(realpath -m "$1") SCRATCH=$2 TOP=QuorvanderUtility-$QUORVANDER_VERSION
rm -rf "$SCRATCH" && mkdir -p "$SCRATCH" && cd "$SCRATCH" && "$CMAKE_COMMAND" -E tar xf "$ZIP" ||
  { echo "FAIL: cannot unpack $ZIP (build the target dist)"; exit 1; }
[ "$(find . -mindepth 1 | LC_ALL=C sort | paste -sd ' ')" == "./$TOP ./$TOP/EULA.TXT ./$TOP/KELVARON.EXE" ] &&
  cmp "$QUORVANDER_EXE" "$TOP/KELVARON.EXE" && cmp "$QUORVANDER_EULA" "$TOP/EULA.TXT" ||
  { echo "FAIL: the zip holds $(find . -mindepth 1 | paste -sd ' '), or other files than those built"; exit 1; }
echo "install.portable_zip: passed"
