#!/usr/bin/env bash
# Disk full: mounts a small tmpfs under the build folder, links it as a drive letter of the Wine
# prefix and runs the copy engine's full-drive tests against it. Needs root (mount); undoes the
# mount and the link whatever happens.
#   disk_full.sh BUILD_FOLDER COPY_FAULT_TESTS_EXE
set -euo pipefail

BUILD=$1
TESTS_EXE=$2
WINE=/usr/lib/wine/wine64
export WINEPREFIX=${WINEPREFIX:-$BUILD/wineprefix}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

if [ "$(id -u)" -ne 0 ]; then
  echo "FAIL: the disk-full test needs root (it mounts a small tmpfs); run it as root, as CI does." >&2
  exit 1
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "FAIL: no Wine prefix at $WINEPREFIX: run the tests through scripts/test." >&2
  exit 1
fi

MOUNT_POINT=$BUILD/faults/full-drive
mkdir -p "$MOUNT_POINT"
# A mount left by an interrupted run is ours (the path is ours): take it down first.
if mountpoint -q "$MOUNT_POINT"; then umount "$MOUNT_POINT"; fi

LETTER=
for candidate in q r s t u v w x y; do
  link=$WINEPREFIX/dosdevices/$candidate:
  if [ -L "$link" ] && [ "$(readlink "$link")" = "$MOUNT_POINT" ]; then rm -f "$link"; fi
  if [ ! -e "$link" ] && [ ! -L "$link" ]; then LETTER=$candidate; break; fi
done
if [ -z "$LETTER" ]; then
  echo "FAIL: no free drive letter in $WINEPREFIX/dosdevices" >&2
  exit 1
fi
LINK=$WINEPREFIX/dosdevices/$LETTER:

MOUNTED=
cleanup() {
  rm -f "$LINK"
  if [ -n "$MOUNTED" ]; then umount "$MOUNT_POINT" || umount -l "$MOUNT_POINT"; fi
}
trap cleanup EXIT

mount -t tmpfs -o size=8m,mode=0755 kelvaron-full "$MOUNT_POINT"
MOUNTED=1
ln -s "$MOUNT_POINT" "$LINK"
echo "a drive of $(df -h --output=size "$MOUNT_POINT" | tail -1 | tr -d ' ') at ${LETTER^^}: ($MOUNT_POINT)"

QUORVANDER_FULL_DRIVE="${LETTER^^}:" "$WINE" "$TESTS_EXE" --gtest_filter='CopyToAFullDrive.*' \
  </dev/null 2>&1 | tee "$BUILD/faults/disk_full.log"
status=${PIPESTATUS[0]}
# Every test selected must have run and passed: none skipped, none missing.
if [ "$status" -eq 0 ] && ! grep -q '^\[  PASSED  \] 2 tests\.' "$BUILD/faults/disk_full.log"; then
  echo "FAIL: not every full-drive test ran" >&2
  status=1
fi
leftover=$(find "$MOUNT_POINT" -mindepth 1 | head -5)
if [ -n "$leftover" ]; then
  echo "FAIL: left on the full drive: $leftover" >&2
  status=1
fi
exit "$status"
