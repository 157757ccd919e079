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

# Every Notepad of this Wine prefix (a scenario runs alone on its desktop): process id, program.
notepads() {
  local proc program
  for proc in /proc/[0-9]*; do
    program=$(tr '\0' '\n' 2>/dev/null <"$proc/cmdline" | head -n 1)
    printf '%s\n' "$program" | grep -qi 'notepad\.exe$' || continue
    tr '\0' '\n' 2>/dev/null <"$proc/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX" &&
      printf '%s %s\n' "${proc#/proc/}" "$program"
  done
}

# Ends them by their process ids.
kill_notepads() {
  local pid
  for pid in $(notepads | cut -d' ' -f1); do kill "$pid"; done
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

begin_case "License Agreement: the system's Notepad shows EULA.TXT, not a Notepad.exe of the program folder"
new_program_folder
printf 'The licence of this program folder.\r\nSecond line.\r\n' >"$PROGRAM/EULA.TXT"
# Another program under Notepad's name where a search by name looks first (the program folder is
# the current folder too).
cp "$QUORVANDER_EXE" "$PROGRAM/Notepad.exe"
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
check
if notepads | grep -viq 'system32'; then
  fail "a Notepad other than the system's ran: $(notepads | tr '\n' '|')"
  kill_notepads
fi
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
