# The keyboard alone: each window starts with the focus on its first control, Tab walks the tab
# order (skipping what is disabled), Enter presses the focused button or opens the highlighted
# folder, Esc is Done, Finished or Cancel, and boxes take Enter. Keys go to the control that has
# the focus, as a keyboard's reach it.
source "$(dirname "$0")/lib.sh"

press() { drive key "$1" "$2"; }
tab_to() { press "$1" tab; await_eq "the focus after Tab" "$2" q focus "$1"; }  # WINDOW EXPECTED

begin_case "the editor: focus on Add Dest., Tab skips the disabled Remove Dest., Enter closes About, Esc is Done"
open_editor
await_eq "the focus at the start" 1001 q focus "$EDITOR"
tab_to "$EDITOR" 1003
tab_to "$EDITOR" 1004
tab_to "$EDITOR" 1001
drive command "$EDITOR" 1103
drive msgbox --pid "$PID" --title "About"
press "${OUT%%$'\n'*}" enter
await_gone "${OUT%%$'\n'*}" "About after Enter"
drive key "$EDITOR" esc --await-exit "$PID"
assert_eq "exit code after Esc" 0 "${OUT##*$'\n'}"

begin_case "the input box and the picker: Enter takes the name, opens a folder, presses Add Path; Esc is Finished"
open_editor "Dest"
press "$EDITOR" enter   # Add Dest.: no list open, the name first
drive wait-window --pid "$PID" --class "#32770" --title "New Destination List"
ask=$OUT
await_eq "the focus in the input box" 102 q focus "$ask"
drive set-text "$ask" 102 "Keys"
press "$ask" enter
drive wait-window --pid "$PID" --title "Add Destination Location"
PICKER=$OUT
assert_eq "the caption" "Quorvander - Keys" "$(q caption "$EDITOR")"
await_eq "the picker's focus at the start" 2001 q focus "$PICKER"
tab_to "$PICKER" 2003
before=$(q selected "$PICKER" 2003)   # the open folder's row; below it its first sub-folder, Dest
press "$PICKER" down
await_eq "the highlighted row after Down" "$((before + 1))" q selected "$PICKER" 2003
assert_eq "the label before Enter (a move only highlights)" "$P" "$(q text "$PICKER" 2007)"
press "$PICKER" enter
await_eq "the label after Enter" "$P\\Dest" q text "$PICKER" 2007
tab_to "$PICKER" 2005
tab_to "$PICKER" 2004
press "$PICKER" enter
await_eq "entries after Enter on Add Path" "$P\\Dest" q items "$EDITOR" 1004
press "$PICKER" esc
await_gone "$PICKER" "the picker after Esc"
settle
assert_bytes "$LISTS/Keys.qvl" "$(list_format "$P\\Dest")"

begin_case "Remove Dest. by Enter hands the focus on to Done; Enter there ends the program"
drive select "$EDITOR" 1004 0
await_eq "Remove Dest. enabled" 1 q enabled "$EDITOR" 1002
await_eq "the focus back on Add Dest." 1001 q focus "$EDITOR"
tab_to "$EDITOR" 1002
press "$EDITOR" enter
await_eq "entries after Enter on Remove Dest." "" q items "$EDITOR" 1004
await_eq "the focus after Remove Dest. is disabled" 1003 q focus "$EDITOR"
drive key "$EDITOR" enter --await-exit "$PID"
assert_eq "exit code after Enter on Done" 0 "${OUT##*$'\n'}"

begin_case "the distribution window: Enter on the question is Yes, Enter on OK ends; Esc ends"
new_dist_folder
mkdir -p "$SCRATCH/Source" "$SCRATCH/Target"
printf 'one' >"$SCRATCH/Source/a.txt"
write_list "Office" "$(win_path "$SCRATCH/Target")"
distribute "$(win_path "$SCRATCH/Source")" 1
drive msgbox --pid "$PID" --title "File or Directory"
press "${OUT%%$'\n'*}" enter
wait_window "Finished"
assert_file "$SCRATCH/Target/Source/a.txt"
await_eq "the focus in the finished window" 3005 q focus "$WINDOW"
drive key "$WINDOW" enter --await-exit "$PID"
assert_eq "exit code after Enter on OK" 0 "${OUT##*$'\n'}"
start_program "$(win_path "$SCRATCH/Source/a.txt")"
drive menu esc --pid "$PID"
wait_window "Distributing "
drive key "$WINDOW" esc --await-exit "$PID"
assert_eq "exit code after Esc" 0 "${OUT##*$'\n'}"

finish
