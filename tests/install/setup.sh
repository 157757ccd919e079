#!/usr/bin/env bash
# The setup program as users run it, in a Wine prefix of this test's own (INSTALL_PREFIX), made
# anew at each run: a user who never had the program, and no shortcut or key of other tests.
#   1. a silent install into the default folder; the program started there makes its lists folder
#      and Send To shortcut; a silent uninstall removes the program and keeps the user's lists;
#   2. a silent install into a folder given with /D, a second install over it that keeps the
#      lists, and an uninstall through its windows: it waits while the program runs, and Yes to
#      the lists question removes them.
# The test registration gives QUORVANDER_SETUP, QUORVANDER_EXE, QUORVANDER_EULA,
# QUORVANDER_VERSION, QDRIVE_EXE, INSTALL_PREFIX and INSTALL_SCRATCH; scripts/test the display.
set -uo pipefail

: "${QUORVANDER_SETUP:?}" "${QUORVANDER_EXE:?}" "${QUORVANDER_EULA:?}" "${QUORVANDER_VERSION:?}"
: "${QDRIVE_EXE:?}" "${INSTALL_PREFIX:?}" "${INSTALL_SCRATCH:?}"
: "${DISPLAY:?the setup test needs an X display (scripts/test gives one)}"
# No winemenubuilder: it would copy the setup's Start Menu shortcut into this machine's own menus
# and icons (outside the prefix), and it reads each new shortcut while the test does.
export WINEPREFIX=$INSTALL_PREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
PRODUCT="Quorvander Utility"
KEY="HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$PRODUCT"
TEST_NAME=install.setup
source "$(dirname "${BASH_SOURCE[0]}")/../checks.sh"
CASE="the Wine prefix"

assert_same() {  # EXPECTED_FILE FILE
  check
  cmp -s "$1" "$2" || fail "$2 is not a copy of $1"
}

# ----- Wine and the driver -----

# A wineserver that stays 5 s after the last program, and the prefix's helper processes, started
# with their output detached: a helper started by a program run inside $(...) would hold that
# pipe open for as long as it runs.
wine_up() {
  "$WINESERVER" -p5 >/dev/null 2>&1 </dev/null
  "$WINE" wineboot >/dev/null 2>&1 </dev/null
}
# Waits until every program of the prefix has ended, then starts the server again. The
# uninstaller goes on in a copy of itself after the process started has ended, so its process
# cannot be waited for.
wine_settle() {
  timeout 300 "$WINESERVER" -w || die "programs of the prefix still run after 5 minutes"
  wine_up
}
# Ends every program of the prefix and its server.
cleanup() {
  "$WINESERVER" -k >/dev/null 2>&1
  timeout 30 "$WINESERVER" -w >/dev/null 2>&1 || true
}
trap cleanup EXIT

unix_path() { "$WINE" winepath -u "$1" 2>/dev/null </dev/null | tr -d '\r'; }
windows_path() { "$WINE" winepath -w "$1" 2>/dev/null </dev/null | tr -d '\r'; }

# Starts COMMANDLINE as Windows starts a registered command (CreateProcess, no shell) and waits
# until all it started has ended.
run_and_settle() {
  drive start --dir 'C:\' "$1"
  wine_settle
}

# ----- What an install leaves -----

# A value of the uninstall key as "TYPE DATA" (nothing when it is missing).
reg_value() {
  "$WINE" reg query "$KEY" /v "$1" 2>/dev/null </dev/null | tr -d '\r' |
    sed -n "s/^    $1    \\([A-Z_]*\\)    /\\1 /p"
}

# The shortcut starts KELVARON.EXE of FOLDER with no arguments, in FOLDER.
assert_link() {  # LINK_WINDOWS_PATH FOLDER_WINDOWS_PATH
  local out rc link
  out=$(q lnk "$1" 2>&1)
  rc=$?
  if [ "$rc" -ne 0 ] || [ -z "$out" ]; then
    check
    fail "reading the shortcut $1: qdrive ended with $rc [$out]; $(ls -l "$(unix_path "$1")" 2>&1)"
    return
  fi
  mapfile -t link <<<"$out"
  assert_eq "target of $1" "$2\\KELVARON.EXE" "${link[0]-}"
  assert_eq "arguments of $1" "" "${link[1]-missing}"
  assert_eq "working folder of $1" "$2" "${link[2]-}"
}

# The program installed in FOLDER (a Windows path), its shortcuts and its uninstall key.
assert_installed() {  # FOLDER_WINDOWS_PATH
  local folder=$1 dir size
  dir=$(unix_path "$folder")
  assert_same "$QUORVANDER_EXE" "$dir/KELVARON.EXE"
  assert_same "$QUORVANDER_EULA" "$dir/EULA.TXT"
  assert_file "$dir/Uninstall.exe"
  assert_link "$START_LINK_WIN" "$folder"
  assert_link "$SENDTO_LINK_WIN" "$folder"
  assert_eq "DisplayName" "REG_SZ $PRODUCT" "$(reg_value DisplayName)"
  assert_eq "DisplayVersion" "REG_SZ $QUORVANDER_VERSION" "$(reg_value DisplayVersion)"
  assert_eq "Publisher" "REG_SZ Ondrevo" "$(reg_value Publisher)"
  assert_eq "DisplayIcon" "REG_SZ $folder\\KELVARON.EXE" "$(reg_value DisplayIcon)"
  assert_eq "InstallLocation" "REG_SZ $folder" "$(reg_value InstallLocation)"
  assert_eq "UninstallString" "REG_SZ \"$folder\\Uninstall.exe\"" "$(reg_value UninstallString)"
  assert_eq "QuietUninstallString" "REG_SZ \"$folder\\Uninstall.exe\" /S" "$(reg_value QuietUninstallString)"
  assert_eq "NoModify" "REG_DWORD 0x1" "$(reg_value NoModify)"
  assert_eq "NoRepair" "REG_DWORD 0x1" "$(reg_value NoRepair)"
  # The folder's own files in KB; not the lists below it.
  size=$(($(find "$dir" -maxdepth 1 -type f -printf '%s+') 0))
  assert_eq "EstimatedSize" "REG_DWORD $(printf '0x%x' $((size / 1024)))" "$(reg_value EstimatedSize)"
}

# Nothing of the program is left but what is named (relative to FOLDER, a Windows path).
assert_uninstalled() {  # FOLDER_WINDOWS_PATH
  local dir
  dir=$(unix_path "$1")
  assert_absent "$dir/KELVARON.EXE"
  assert_absent "$dir/EULA.TXT"
  assert_absent "$dir/Uninstall.exe"
  assert_absent "$START_LINK"
  assert_absent "$SENDTO_LINK"
  check
  if "$WINE" reg query "$KEY" >/dev/null 2>&1 </dev/null; then fail "the key $KEY is still there"; fi
}

# ----- The prefix -----

mkdir -p "$INSTALL_SCRATCH"
cleanup  # a server of a run that was cut short
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"
"$WINE" wineboot --init >/dev/null 2>&1 </dev/null
# No window manager on Xvfb: unmanaged windows; a crash ends the process without a dialog.
"$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null
"$WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 </dev/null
"$WINESERVER" -w
wine_up
[ -f "$WINEPREFIX/system.reg" ] || die "wineboot made no prefix in $WINEPREFIX"

LOCAL_APPDATA=$("$WINE" cmd /c echo %LOCALAPPDATA% </dev/null | tr -d '\r')
[[ $LOCAL_APPDATA == [A-Z]:\\* ]] || die "no LOCALAPPDATA: [$LOCAL_APPDATA]"
INSTALLED_WIN="$LOCAL_APPDATA\\Programs\\$PRODUCT"
INSTALLED=$(unix_path "$INSTALLED_WIN")
drive folder programs
START_LINK_WIN="$OUT\\$PRODUCT.lnk"
START_LINK=$(unix_path "$START_LINK_WIN")
drive folder sendto
SENDTO_LINK_WIN="$OUT\\Quorvander.lnk"
SENDTO_LINK=$(unix_path "$SENDTO_LINK_WIN")
SETUP_WIN=$(windows_path "$QUORVANDER_SETUP")
[ -n "$INSTALLED" ] && [ -n "$START_LINK" ] && [ -n "$SENDTO_LINK" ] && [ -n "$SETUP_WIN" ] ||
  die "winepath gave no path"

# ----- 1. Silent install and uninstall -----

begin_case "silent install into the user's programs folder"
"$WINE" "$QUORVANDER_SETUP" /S >/dev/null 2>&1 </dev/null
assert_eq "exit code of the setup" 0 "$?"
assert_installed "$INSTALLED_WIN"
assert_absent "$INSTALLED/Distribution Lists"  # the program's to make, at its start

begin_case "started from its installed place, the program makes its lists folder and Send To shortcut"
rm -f "$SENDTO_LINK"
drive start --dir "$INSTALLED_WIN" "\"$INSTALLED_WIN\\KELVARON.EXE\""
PID=$OUT
drive wait-window --pid "$PID" --title "Quorvander" --timeout 30000
WINDOW=$OUT
assert_folder "$INSTALLED/Distribution Lists"
assert_link "$SENDTO_LINK_WIN" "$INSTALLED_WIN"
drive close "$WINDOW" --await-exit "$PID"
assert_eq "exit code of the program" 0 "$OUT"

begin_case "silent uninstall keeps the lists and what else the user put there"
LIST=$INSTALLED/Distribution\ Lists/Office.qvl
# A few KB, so that a size in the Apps list that counted the lists would show (second install).
for i in $(seq 1 200); do printf 'C:\\Reports\\Branch %03d\r\n' "$i"; done >"$LIST"
cp "$LIST" "$INSTALL_SCRATCH/Office.qvl"
printf 'my notes\r\n' >"$INSTALLED/notes.txt"
QUIET=$(reg_value QuietUninstallString)
run_and_settle "${QUIET#REG_SZ }"
assert_uninstalled "$INSTALLED_WIN"
assert_same "$INSTALL_SCRATCH/Office.qvl" "$LIST"
assert_file "$INSTALLED/notes.txt"

# ----- 2. Another folder, a second install over the first, an uninstall with its windows -----

OTHER_WIN='C:\Tools\Quorvander Else'
OTHER=$(unix_path "$OTHER_WIN")

begin_case "silent install into a folder given with /D"
# /D= comes last and unquoted, blanks and all: the setup reads the rest of its command line.
run_and_settle "\"$SETUP_WIN\" /S /D=$OTHER_WIN"
assert_installed "$OTHER_WIN"
assert_absent "$INSTALLED/KELVARON.EXE"

begin_case "a second install goes to the same folder and keeps the lists"
mkdir -p "$OTHER/Distribution Lists"
cp "$INSTALL_SCRATCH/Office.qvl" "$OTHER/Distribution Lists/Office.qvl"
"$WINE" "$QUORVANDER_SETUP" /S >/dev/null 2>&1 </dev/null
assert_eq "exit code of the setup" 0 "$?"
assert_installed "$OTHER_WIN"
assert_same "$INSTALL_SCRATCH/Office.qvl" "$OTHER/Distribution Lists/Office.qvl"
assert_absent "$INSTALLED/KELVARON.EXE"

begin_case "uninstalling with its windows while the program runs: nothing goes until it is closed"
drive start --dir "$OTHER_WIN" "\"$OTHER_WIN\\KELVARON.EXE\""
PID=$OUT
drive wait-window --pid "$PID" --title "Quorvander" --timeout 30000
WINDOW=$OUT
# A setup run now cannot replace the running program: it must fail, not skip the file and say
# it installed.
"$WINE" "$QUORVANDER_SETUP" /S >/dev/null 2>&1 </dev/null
setup_code=$?
check
[ "$setup_code" -ne 0 ] || fail "a silent setup over the running program ended with 0"
UNINSTALL=$(reg_value UninstallString)
drive start --dir 'C:\' "${UNINSTALL#REG_SZ }"
# The pages add a blank to the window's caption; its message boxes have the caption alone.
drive wait-window --class '#32770' --title "$PRODUCT Uninstall " --timeout 30000
UNINSTALLER=$OUT
assert_eq "the confirm page's button" "&Uninstall" "$(q text "$UNINSTALLER" 1)"
drive click "$UNINSTALLER" 1
drive msgbox --title "$PRODUCT Uninstall" --timeout 30000
BOX=$OUT
assert_eq "buttons of the box about the running program" $'4=Retry\t2=Cancel' "$(printf '%s\n' "$BOX" | sed -n 3p)"
assert_same "$QUORVANDER_EULA" "$OTHER/EULA.TXT"
assert_eq "DisplayName while the program runs" "REG_SZ $PRODUCT" "$(reg_value DisplayName)"
drive close "$WINDOW" --await-exit "$PID"
drive click "$(printf '%s\n' "$BOX" | head -n 1)" RETRY
await_gone "$(printf '%s\n' "$BOX" | head -n 1)" "the box about the running program" 10

begin_case "then Yes to the lists question removes the lists and the folder"
drive msgbox --title "$PRODUCT Uninstall" --timeout 30000
BOX=$OUT
assert_eq "buttons of the lists question" $'6=Yes\t7=No' "$(printf '%s\n' "$BOX" | sed -n 3p)"
check
printf '%s\n' "$BOX" | tail -n +4 | grep -qxF -- "$OTHER_WIN\\Distribution Lists" ||
  fail "the lists question does not name the lists folder: $(printf '%s\n' "$BOX" | tail -n +4 | paste -sd '|')"
drive click "$(printf '%s\n' "$BOX" | head -n 1)" YES
deadline=$((SECONDS + 60))
until [ "$(q text "$UNINSTALLER" 1 2>/dev/null)" == "&Close" ]; do
  [ "$SECONDS" -lt "$deadline" ] || die "the uninstaller did not finish"
  sleep 0.2
done
drive click "$UNINSTALLER" 1
wine_settle
assert_uninstalled "$OTHER_WIN"
assert_absent "$OTHER"
assert_same "$INSTALL_SCRATCH/Office.qvl" "$LIST"  # the first folder's lists are not touched

# The prefix (700 MB) goes after a pass; after a failure it stays, to look into.
on_pass() {
  cleanup
  rm -rf "$WINEPREFIX"
}
finish
