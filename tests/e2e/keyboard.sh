# The keyboard alone: each window starts with the focus on its first control in the tab order,
# Tab walks that order (skipping what is disabled), Enter presses the focused button or opens the
# highlighted folder, Esc is Done, Finished or Cancel, and message and input boxes take Enter and
# Esc. Keys are posted to the control that has the focus, as a keyboard's reach it.
source "$(dirname "$0")/lib.sh"

# ----- Helpers of this scenario -----

# The id of the control of WINDOW that has the focus ("0": none).
focus_id() { q focus "$1" | cut -f1; }

# Presses KEY in WINDOW, then checks that the focus went to control EXPECTED.
tab_to() {  # WINDOW EXPECTED WHAT
  drive key "$1" tab
  await_eq "the focus after Tab ($3)" "$2" focus_id "$1"
}

press() {  # WINDOW KEY
  drive key "$1" "$2"
}

# ----- Cases -----

begin_case "the editor: focus on Add Dest., Tab skips the disabled Remove Dest., Esc is Done"
open_editor
await_eq "the focus at the start" "1001" focus_id "$EDITOR"
tab_to "$EDITOR" 1003 "Done after Add Dest."
tab_to "$EDITOR" 1004 "the list after Done"
tab_to "$EDITOR" 1001 "round to Add Dest."
drive key "$EDITOR" esc --await-exit "$PID"
assert_eq "exit code after Esc" "0" "$(printf '%s\n' "$OUT" | tail -n 1)"

begin_case "the input box: Enter takes the name, Esc cancels it"
open_editor "Dest"
drive command "$EDITOR" 1101
drive wait-window --pid "$PID" --class "#32770" --title "New Destination List"
ask=$OUT
await_eq "the focus in the input box" "102" focus_id "$ask"
drive set-text "$ask" 102 "Keys"
press "$ask" enter
await_gone "$ask" "the input box after Enter"
await_eq "caption after Enter" "Quorvander - Keys" q caption "$EDITOR"
drive command "$EDITOR" 1101
drive wait-window --pid "$PID" --class "#32770" --title "New Destination List"
ask=$OUT
drive set-text "$ask" 102 "Other"
press "$ask" esc
await_gone "$ask" "the input box after Esc"
settle
assert_eq "files in the lists folder after Esc" "" "$(lists_folder)"
close_program

begin_case "the picker: Drive first, Enter opens the highlighted folder and presses Add Path, Esc is Finished"
open_editor "Dest"
drive command "$EDITOR" 1101
drive input "New Destination List" 102 "Keys" --pid "$PID"
await_eq "caption" "Quorvander - Keys" q caption "$EDITOR"
await_eq "the focus before Add Dest." "1001" focus_id "$EDITOR"
press "$EDITOR" enter
drive wait-window --pid "$PID" --title "Add Destination Location"
PICKER=$OUT
await_eq "the picker's focus at the start" "2001" focus_id "$PICKER"
tab_to "$PICKER" 2003 "the folder list after Drive"
# The open folder's row is highlighted; the row below it is its first sub-folder, Dest.
before=$(q selected "$PICKER" 2003)
press "$PICKER" down
await_eq "the highlighted row after Down" "$((before + 1))" q selected "$PICKER" 2003
assert_eq "the label before Enter (a single move only highlights)" "$P" "$(q text "$PICKER" 2007)"
press "$PICKER" enter
await_eq "the label after Enter" "$P\\Dest" q text "$PICKER" 2007
assert_eq "the picker is still open after Enter in the list" "Add Destination Location" "$(q caption "$PICKER")"
tab_to "$PICKER" 2005 "Finished after the folder list"
tab_to "$PICKER" 2004 "Add Path after Finished"
press "$PICKER" enter
await_eq "entries after Enter on Add Path" "$P\\Dest" q items "$EDITOR" 1004
press "$PICKER" esc
await_gone "$PICKER" "the picker after Esc"
settle
assert_bytes "$LISTS/Keys.qvl" "$(list_format "$P\\Dest")"
await_eq "the editor's focus back on Add Dest." "1001" focus_id "$EDITOR"
close_program

begin_case "Remove Dest. by Enter hands the focus on to Done; Enter in the list then removes nothing"
open_editor
printf 'Z:\\One\r\nZ:\\Two\r\n' >"$LISTS/Two.qvl"
drive command "$EDITOR" 1102
drive open-file "Two.qvl" --pid "$PID" --title "Quorvander Lists"
await_eq "entries" "Z:\\One"$'\n'"Z:\\Two" q items "$EDITOR" 1004
drive select "$EDITOR" 1004 0
await_eq "Remove Dest. enabled" "1" q enabled "$EDITOR" 1002
await_eq "the focus at the start" "1001" focus_id "$EDITOR"
tab_to "$EDITOR" 1002 "Remove Dest. after Add Dest."
press "$EDITOR" enter
await_eq "entries after Enter on Remove Dest." "Z:\\Two" q items "$EDITOR" 1004
assert_eq "Remove Dest. disabled" "0" "$(q enabled "$EDITOR" 1002)"
await_eq "the focus after Remove Dest. is disabled" "1003" focus_id "$EDITOR"
assert_bytes "$LISTS/Two.qvl" 'Z:\\Two\r\n'
# Remove Dest. no longer has the focus: Enter in the list must not press it.
drive select "$EDITOR" 1004 0
await_eq "Remove Dest. enabled again" "1" q enabled "$EDITOR" 1002
tab_to "$EDITOR" 1004 "the list after Done"
press "$EDITOR" enter
settle
assert_eq "entries after Enter in the list" "Z:\\Two" "$(q items "$EDITOR" 1004)"
tab_to "$EDITOR" 1001 "Add Dest. after the list"
tab_to "$EDITOR" 1002 "Remove Dest. after Add Dest."
tab_to "$EDITOR" 1003 "Done after Remove Dest."
press "$EDITOR" enter
drive wait-exit "$PID"
assert_eq "exit code after Enter on Done" "0" "$OUT"

begin_case "message boxes: Enter closes About; Esc closes the missing-licence box"
open_editor
drive command "$EDITOR" 1103
drive msgbox --pid "$PID" --title "About"
box=$(printf '%s\n' "$OUT" | head -n 1)
press "$box" enter
await_gone "$box" "About after Enter"
rm -f "$PROGRAM/EULA.TXT"
drive command "$EDITOR" 1104
drive msgbox --pid "$PID" --title "ERROR"
box=$(printf '%s\n' "$OUT" | head -n 1)
press "$box" esc
await_gone "$box" "the missing-licence box after Esc"
assert_eq "the editor stays" "Quorvander" "$(q caption "$EDITOR")"
close_program

begin_case "the distribution window: Enter on the question answers Yes, Enter on OK ends the program"
new_dist_folder
mkdir -p "$SCRATCH/Source" "$SCRATCH/Target"
printf 'one' >"$SCRATCH/Source/a.txt"
write_list "Office" "$(win_path "$SCRATCH/Target")"
distribute "$(win_path "$SCRATCH/Source")" 1
drive msgbox --pid "$PID"
box=$(printf '%s\n' "$OUT" | head -n 1)
press "$box" enter
wait_window "Finished"
assert_file "$SCRATCH/Target/Source/a.txt"
await_eq "the focus in the finished window" "3005" focus_id "$WINDOW"
drive key "$WINDOW" enter --await-exit "$PID"
assert_eq "exit code after Enter on OK" "0" "$(printf '%s\n' "$OUT" | tail -n 1)"

begin_case "the distribution window: Esc in the list chooser ends the program"
new_dist_folder
write_list "Office" "$(win_path "$SCRATCH/Target")"
start_program "$(win_path "$SCRATCH/Source/a.txt")"
drive menu esc --pid "$PID"
wait_window "Distributing "
drive key "$WINDOW" esc --await-exit "$PID"
assert_eq "exit code after Esc" "0" "$(printf '%s\n' "$OUT" | tail -n 1)"

finish
