# The list editor's License Agreement, the destination picker's drives and double click, Remove Dest.
# enabled by a selection, Esc; the rest of the editor and the picker is EditorTest's and Keyboard's.
source "$(dirname "$0")/lib.sh"
trap 'q subst Q: /D >/dev/null 2>&1; cleanup' EXIT

begin_case "License Agreement: without EULA.TXT a box and no Notepad; with it the system's Notepad, not a Notepad.exe of the program folder"
new_program_folder
open_editor
rm "$PROGRAM/EULA.TXT"
drive command "$WINDOW" 1104
answer_box "ERROR" "1=OK" "The License Agreement is missing." click 1
! q wait-window --class Notepad --timeout 1000 >/dev/null 2>&1 || fail "Notepad opened"
cp "$QUORVANDER_EULA" "$PROGRAM/EULA.TXT"
cp "$QUORVANDER_EXE" "$PROGRAM/Notepad.exe"   # where a search by name looks first
drive command "$WINDOW" 1104
drive wait-window --class Notepad   # a program under Notepad's name would show another window
assert_eq "Notepad's caption" "EULA.TXT - Notepad" "$(q caption "$OUT")"
drive close "$OUT"

begin_case "the picker: a drive that cannot be read is reported and the picker stays; a double click opens a folder; Finished saves what Add Path added"
printf 'not a drive\r\n' >"$SCRATCH/not a drive"
drive subst Q: "$(win_path "$SCRATCH/not a drive")"   # listed, but never readable
drive command "$WINDOW" 1101   # File, New List
drive input 102 "Top" --pid "$PID" --title "New Destination List"
drive click "$WINDOW" 1001
PICKER=$(q wait-window --pid "$PID" --title "Add Destination Location") || die "no picker"
drive select "$PICKER" 2001 "q:"
answer_box "Add Destination Location" "1=OK" "The drive Q: cannot be read." click 1
assert_eq "the open folder" "1 1 $P" "$(q control "$PICKER" 2007)"
drive click "$PICKER" 2004
drive open "$PICKER" 2003 'Z:\'   # the first row: the drive's top
await_eq "the open folder" '1 1 Z:\' q control "$PICKER" 2007
drive click "$PICKER" 2004
drive click "$PICKER" 2005
await_eq "the list saved" "$P"$'\r\nZ:\\\r' cat "$LISTS/Top.qvl"

begin_case "a selection enables Remove Dest., which removes the entry and is disabled again; Esc is Done"
drive select "$WINDOW" 1004 "$P"
await_eq "Remove Dest." "1 1 Remove Dest." q control "$WINDOW" 1002
drive click "$WINDOW" 1002
await_eq "the list saved" 'Z:\'$'\r' cat "$LISTS/Top.qvl"
assert_eq "Remove Dest." "1 0 Remove Dest." "$(q control "$WINDOW" 1002)"
end_program key esc

finish
