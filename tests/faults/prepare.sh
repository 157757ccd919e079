#!/usr/bin/env bash
# Prepares the system for a fault test (as root), runs it, and undoes what it prepared whatever happens.
#   prepare.sh full BUILD FAULT_TESTS_EXE   a small tmpfs linked as a drive letter of the prefix
#   prepare.sh user BUILD FAULT_TESTS_EXE   a system user of its own (Wine lets root write read-only files),
#                                           with a folder it may not write to
set -euo pipefail
KIND=$1 BUILD=$2 EXE=$3
WINE=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver
export WINEPREFIX=${WINEPREFIX:-$BUILD/wineprefix} WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
AREA=$BUILD/faults/$KIND
[ "$(id -u)" -eq 0 ] || { echo "FAIL: the fault tests need root (mount, useradd)" >&2; exit 1; }
mkdir -p "$AREA"

if [ "$KIND" = full ]; then
  if mountpoint -q "$AREA"; then umount "$AREA"; fi  # left by a run that was cut short
  for letter in q r s t u v w x y; do
    LINK=$WINEPREFIX/dosdevices/$letter:
    [ "$(readlink "$LINK" 2>/dev/null)" = "$AREA" ] && rm -f "$LINK"
    [ -e "$LINK" ] || [ -L "$LINK" ] || break
  done
  trap 'rm -f "$LINK"; umount "$AREA" || umount -l "$AREA"' EXIT
  mount -t tmpfs -o size=8m,mode=0755 kelvaron-full "$AREA"
  ln -s "$AREA" "$LINK"
  QUORVANDER_FULL_DRIVE="${letter^^}:" "$WINE" "$EXE" --gtest_filter='CopyToAFullDrive.*' </dev/null | tee "$AREA.log"
  [ -z "$(ls -A "$AREA")" ] || { echo "FAIL: left on the full drive: $(ls -A "$AREA")" >&2; exit 1; }
else
  USER_NAME=kelvaron-tests
  as_user() { runuser -u "$USER_NAME" -- env -i PATH=/usr/bin:/bin HOME="$AREA" WINEPREFIX="$AREA/wineprefix" \
    WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" "$@"; }
  cleanup() {
    as_user "$WINESERVER" -k >/dev/null 2>&1 || true
    as_user "$WINESERVER" -w >/dev/null 2>&1 || true
    userdel "$USER_NAME" 2>/dev/null || echo "note: $USER_NAME is still in use by another run" >&2
    rm -rf "$AREA/no-write"
  }
  trap cleanup EXIT
  id -u "$USER_NAME" >/dev/null 2>&1 ||
    useradd --system --user-group --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin "$USER_NAME"
  chown -R "$USER_NAME:" "$AREA"
  runuser -u "$USER_NAME" -- test -w "$AREA" || { echo "FAIL: $USER_NAME cannot write to $AREA" >&2; exit 1; }
  if [ ! -f "$AREA/wineprefix/system.reg" ]; then  # made once, serially
    as_user "$WINE" wineboot --init >/dev/null 2>&1 </dev/null || true
    as_user "$WINESERVER" -w
  fi
  as_user "$WINESERVER" -p >/dev/null 2>&1 </dev/null
  as_user "$WINE" wineboot >/dev/null 2>&1 </dev/null || true
  install -o "$USER_NAME" "$EXE" "$AREA/fault_tests.exe"
  rm -rf "$AREA/no-write"
  mkdir -m 0755 "$AREA/no-write"
  printf 'old content' >"$AREA/no-write/existing.txt"
  chmod 0666 "$AREA/no-write/existing.txt"
  as_user env QUORVANDER_NO_WRITE_FOLDER="Z:${AREA//\//\\}\\no-write" "$WINE" "$AREA/fault_tests.exe" \
    --gtest_filter='CopyAsAUserWithoutRights.*' </dev/null | tee "$AREA.log"
fi
# The test selected ran and passed: none skipped, none missing.
grep -q '^\[  PASSED  \] 1 test\.' "$AREA.log" || { echo "FAIL: the test did not run and pass" >&2; exit 1; }
