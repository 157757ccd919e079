#!/usr/bin/env bash
# The setup program as a new user runs it, in a Wine prefix of its own made anew (INSTALL_PREFIX): a
# silent install, and a silent uninstall that removes the program and keeps the user's lists.
set -uo pipefail
: "${QUORVANDER_SETUP:?}" "${QUORVANDER_EXE:?}" "${QUORVANDER_VERSION:?}" "${INSTALL_PREFIX:?}" "${DISPLAY:?}"
# No winemenubuilder: it would copy the Start Menu shortcut into this machine's menus.
export WINEPREFIX=$INSTALL_PREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
WINE=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver FAILURES=0
KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvander Utility'
fail() { FAILURES=$((FAILURES + 1)); echo "FAIL: $*"; }
wine() { "$WINE" "$@" >/dev/null 2>&1 </dev/null; }  # detached from our output
# A server that ends 5 s after the last program, and the prefix's helpers.
wine_up() { "$WINESERVER" -p5 >/dev/null 2>&1 </dev/null; wine wineboot; }
settle() { timeout 300 "$WINESERVER" -w || fail "programs of the prefix still run after 5 minutes"; wine_up; }
trap '"$WINESERVER" -k >/dev/null 2>&1' EXIT

"$WINESERVER" -k >/dev/null 2>&1  # left by a run that was cut short
rm -rf "$WINEPREFIX"
wine wineboot --init
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
settle
APPDATA=$WINEPREFIX/drive_c/users/$(id -un)/AppData
DIR="$APPDATA/Local/Programs/Quorvander Utility"
SENDTO="$APPDATA/Roaming/Microsoft/Windows/SendTo/Quorvander.lnk"
START="$APPDATA/Roaming/Microsoft/Windows/Start Menu/Programs/Quorvander Utility.lnk"

wine "$QUORVANDER_SETUP" /S || fail "the silent setup ended with $?"
settle
cmp -s "$QUORVANDER_EXE" "$DIR/KELVARON.EXE" || fail "no KELVARON.EXE as built in $DIR"
[ -f "$START" ] && [ -f "$SENDTO" ] || fail "no Start Menu or Send To shortcut"
"$WINE" reg query "$KEY" /v DisplayVersion 2>/dev/null </dev/null | grep -q "REG_SZ *$QUORVANDER_VERSION" ||
  fail "the Apps list has no entry of version $QUORVANDER_VERSION"

mkdir "$DIR/Distribution Lists" && printf 'C:\\Reports\r\n' >"$DIR/Distribution Lists/Office.qvl"
wine "$DIR/Uninstall.exe" /S
settle  # the uninstaller goes on in a copy of itself
for gone in "$DIR/KELVARON.EXE" "$DIR/EULA.TXT" "$DIR/Uninstall.exe" "$START" "$SENDTO"; do [ ! -e "$gone" ] || fail "left: $gone"; done
! wine reg query "$KEY" || fail "the Apps list still has the program"
[ "$(cat "$DIR/Distribution Lists/Office.qvl" 2>/dev/null)" == $'C:\\Reports\r' ] || fail "the lists were not kept"

[ "$FAILURES" -eq 0 ] && rm -rf "$WINEPREFIX"  # after a failure it stays, to look into
echo "install.setup: $([ "$FAILURES" -eq 0 ] && echo passed || echo "FAILED ($FAILURES)")"
exit "$FAILURES"
