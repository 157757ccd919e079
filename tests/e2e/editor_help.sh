# The Help menu of the list editor: About shows the program's name, version and contact; License
# Agreement opens EULA.TXT of the program folder in Notepad, or says that it is missing.
source "$(dirname "$0")/lib.sh"

NOTEPAD=   # the Notepad window the program opened (Notepad's windows are of the class "Notepad")

# Closes that window as its close box does, and waits for it to go.
close_notepad() {
  [ -n "$NOTEPAD" ] || return 0
  q close "$NOTEPAD" >/dev/null 2>&1
  local deadline=$((SECONDS + 5))
  while q caption "$NOTEPAD" >/dev/null 2>&1 && [ "$SECONDS" -lt "$deadline" ]; do sleep 0.1; done
  if q caption "$NOTEPAD" >/dev/null 2>&1; then
    fail "Notepad did not close"
    kill_notepads
  fi
  NOTEPAD=
}

# Ends every Notepad of this Wine prefix by its process id (a scenario runs alone on its desktop).
kill_notepads() {
  local proc
  for proc in /proc/[0-9]*; do
    tr '\0' '\n' <"$proc/cmdline" 2>/dev/null | head -n 1 | grep -qi 'notepad\.exe$' || continue
    tr '\0' '\n' <"$proc/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && kill "${proc#/proc/}"
  done
}
trap 'close_notepad; cleanup' EXIT

# The text's lines of a box that qdrive msgbox described (after its handle, title and buttons).
box_lines() { printf '%s\n' "$1" | tail -n +4; }

begin_case "About: the program's name, version and contact, line by line"
new_program_folder
start_program ""
wait_window "Quorvander"
drive command "$WINDOW" 1103
drive msgbox --pid "$PID" --title "About"
box=$OUT
assert_eq "the box's buttons" "1=OK" "$(printf '%s\n' "$box" | sed -n 3p)"
assert_eq "the About text" "Quorvander Utility
Version: 1.1 Build:1

Contact / Support: Quorvander Support, support@ondrevo.example" "$(box_lines "$box")"
drive click "$(printf '%s\n' "$box" | head -n 1)" OK
close_program
assert_eq "exit code" 0 "$EXIT_CODE"

begin_case "License Agreement: Notepad shows EULA.TXT of the program folder"
new_program_folder
printf 'The licence of this program folder.\r\nSecond line.\r\n' >"$PROGRAM/EULA.TXT"
start_program ""
wait_window "Quorvander"
drive command "$WINDOW" 1104
check
if NOTEPAD=$(q wait-window --class Notepad); then
  assert_eq "Notepad's caption" "EULA.TXT - Notepad" "$(q caption "$NOTEPAD")"
  # Its edit field has no id of its own (0).
  assert_eq "the text Notepad shows" $'The licence of this program folder.\nSecond line.' "$(q text "$NOTEPAD" 0)"
else
  fail "Notepad did not open"
fi
assert_no_message_box
close_notepad
close_program

begin_case "License Agreement without EULA.TXT: the error box, and no Notepad"
new_program_folder
rm "$PROGRAM/EULA.TXT"
start_program ""
wait_window "Quorvander"
drive command "$WINDOW" 1104
drive msgbox --pid "$PID" --title "ERROR"
box=$OUT
assert_eq "the box's buttons" "1=OK" "$(printf '%s\n' "$box" | sed -n 3p)"
assert_eq "the text" "The License Agreement is missing.  Please either re-install this application, or contact Ondrevo for replacement. 

Contact: Quorvander Support, support@ondrevo.example" "$(box_lines "$box")"
drive click "$(printf '%s\n' "$box" | head -n 1)" OK
check
if NOTEPAD=$(q wait-window --class Notepad --timeout 1000 2>/dev/null); then
  fail "Notepad opened: $(q caption "$NOTEPAD")"
  close_notepad
fi
close_program

finish
