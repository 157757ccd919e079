#!/usr/bin/env bash
# Read-only files and folders, as a user who is not root (Wine lets root write read-only files).
# Creates a system user for the tests (removed again at the end) with a Wine prefix of its own
# under the build folder (made once, kept for later runs), prepares a folder that user may not
# write to, and runs the copy engine's tests as that user. Needs root (useradd, runuser); stops
# the user's wineserver whatever happens.
#   read_only_user.sh BUILD_FOLDER COPY_FAULT_TESTS_EXE
set -euo pipefail

BUILD=$1
TESTS_EXE=$2
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
TEST_USER=kelvaron-tests

if [ "$(id -u)" -ne 0 ]; then
  echo "FAIL: the read-only test needs root (it creates a test user and runs as it); run it as root, as CI does." >&2
  exit 1
fi

AREA=$BUILD/faults/user
OWN_AREA=  # set when the build folder is closed to other users and a temporary area serves

as_user() {
  runuser -u "$TEST_USER" -- env -i PATH=/usr/bin:/bin HOME="$AREA/home" USER="$TEST_USER" \
    WINEPREFIX="$AREA/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" "$@"
}

# Whatever happens: the user's wineserver stopped, the prepared folder removed, and the user
# removed again (userdel refuses while another run still has processes of that user).
cleanup() {
  if id -u "$TEST_USER" >/dev/null 2>&1; then
    as_user "$WINESERVER" -k >/dev/null 2>&1 || true
    as_user "$WINESERVER" -w >/dev/null 2>&1 || true
    local uid
    uid=$(id -u "$TEST_USER")
    if userdel "$TEST_USER" 2>/dev/null; then
      rm -rf "/tmp/.wine-$uid"
    else
      echo "note: user $TEST_USER is still in use (another run?), left for it to remove" >&2
    fi
  fi
  rm -rf "$AREA/no-write"
  if [ -n "$OWN_AREA" ]; then rm -rf "$OWN_AREA"; fi
}
trap cleanup EXIT

# A system user of its own for the run (already there when another run is going on).
if ! id -u "$TEST_USER" >/dev/null 2>&1; then
  useradd --system --user-group --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin \
    "$TEST_USER" || id -u "$TEST_USER" >/dev/null
fi

mkdir -p "$AREA"
if ! runuser -u "$TEST_USER" -- test -x "$(dirname "$AREA")"; then
  # A folder above the build folder is closed to other users: a temporary area instead, with a
  # prefix made anew and removed at the end.
  OWN_AREA=$(mktemp -d /var/tmp/kelvaron-faults-user.XXXXXX)
  AREA=$OWN_AREA
  echo "note: $BUILD is closed to other users; the test user works in $AREA"
fi
USER_PREFIX=$AREA/wineprefix
NO_WRITE=$AREA/no-write
mkdir -p "$AREA/home"
# The area and the prefix of an earlier run may carry that run's number for the user.
if [ "$(stat -c %U "$AREA")" != "$TEST_USER" ] ||
   { [ -e "$USER_PREFIX" ] && [ "$(stat -c %U "$USER_PREFIX")" != "$TEST_USER" ]; }; then
  chown -R "$TEST_USER:" "$AREA"
fi
chown "$TEST_USER:" "$AREA/home"
if ! runuser -u "$TEST_USER" -- test -w "$AREA"; then
  echo "FAIL: user $TEST_USER cannot write to $AREA." >&2
  exit 1
fi

# The user's prefix, made once and serially (a prefix made by parallel starts races).
if [ ! -f "$USER_PREFIX/system.reg" ]; then
  echo "making the Wine prefix of $TEST_USER (once)"
  as_user mkdir -p "$USER_PREFIX"
  as_user "$WINE" wineboot --init >/dev/null 2>&1 </dev/null || true
  as_user "$WINESERVER" -w
fi

# A persistent server and the prefix's helpers, their output detached from ours.
as_user "$WINESERVER" -p >/dev/null 2>&1 </dev/null
as_user "$WINE" wineboot >/dev/null 2>&1 </dev/null || true

# The tests run from the user's own area: the build folder's copy may not be readable to it.
cp "$TESTS_EXE" "$AREA/copy_fault_tests.exe"
chown "$TEST_USER:" "$AREA/copy_fault_tests.exe"

# A folder of root's that the user may read but not write, holding one file the user may write.
rm -rf "$NO_WRITE"
mkdir -m 0755 "$NO_WRITE"
printf 'old content' >"$NO_WRITE/existing.txt"
chmod 0666 "$NO_WRITE/existing.txt"

windows_path() { printf 'Z:%s' "${1//\//\\}"; }

as_user env QUORVANDER_NO_WRITE_FOLDER="$(windows_path "$NO_WRITE")" \
  "$WINE" "$AREA/copy_fault_tests.exe" --gtest_filter='CopyAsAUserWithoutRights.*' \
  </dev/null 2>&1 | tee "$BUILD/faults/read_only_user.log"
status=${PIPESTATUS[0]}
if [ "$status" -eq 0 ] && ! grep -q '^\[  PASSED  \] 4 tests\.' "$BUILD/faults/read_only_user.log"; then
  echo "FAIL: not every read-only test ran" >&2
  status=1
fi
if [ "$(cat "$NO_WRITE/existing.txt")" != "old content" ] || [ "$(ls -A "$NO_WRITE")" != "existing.txt" ]; then
  echo "FAIL: the folder without write rights changed: $(ls -A "$NO_WRITE" | tr '\n' ' ')" >&2
  status=1
fi
exit "$status"
