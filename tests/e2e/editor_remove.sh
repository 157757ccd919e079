# Remove Dest.: enabled by a selection, it removes the selected destination, saves the list (the
# last one gone, the file goes) and disables itself. With no list open it writes nothing.
source "$(dirname "$0")/lib.sh"

# ----- Helpers of this scenario -----

# Selects entry INDEX of the editor's list and waits for Remove Dest. to be enabled.
select_entry() {  # INDEX
  drive select "$EDITOR" 1004 "$1"
  await_eq "Remove Dest. enabled by the selection of entry $1" "1" q enabled "$EDITOR" 1002
}

# ----- Cases -----

begin_case "enabled by a selection, disabled after each removal; the last removal deletes the file"
open_editor "One" "Two"
assert_eq "Remove Dest. enabled at the start" "0" "$(q enabled "$EDITOR" 1002)"
drive command "$EDITOR" 1101
drive input "New Destination List" 102 "Team" --pid "$PID"
open_picker
open_row "One" "$P\\One"
drive click "$PICKER" 2004
open_row "$(basename "$PROGRAM")" "$P"
open_row "Two" "$P\\Two"
drive click "$PICKER" 2004
await_eq "entries" "$P\\One"$'\n'"$P\\Two" q items "$EDITOR" 1004
close_picker
assert_bytes "$LISTS/Team.qvl" "$(list_format "$P\\One" "$P\\Two")"
assert_eq "Remove Dest. enabled with nothing selected" "0" "$(q enabled "$EDITOR" 1002)"
select_entry 0
drive click "$EDITOR" 1002
await_eq "entries after removing the first" "$P\\Two" q items "$EDITOR" 1004
assert_eq "Remove Dest. enabled after the removal" "0" "$(q enabled "$EDITOR" 1002)"
assert_bytes "$LISTS/Team.qvl" "$(list_format "$P\\Two")"
select_entry 0
drive click "$EDITOR" 1002
await_eq "entries after removing the last" "" q items "$EDITOR" 1004
assert_eq "Remove Dest. enabled after the last removal" "0" "$(q enabled "$EDITOR" 1002)"
assert_absent "$LISTS/Team.qvl"
assert_eq "files in the lists folder" "" "$(lists_folder)"
assert_eq "caption: the list stays open" "Quorvander - Team" "$(q caption "$EDITOR")"
open_picker   # no name asked: the list is open
assert_no_window "New Destination List"
open_row "One" "$P\\One"
drive click "$PICKER" 2004
await_eq "entries" "$P\\One" q items "$EDITOR" 1004
close_picker
assert_bytes "$LISTS/Team.qvl" "$(list_format "$P\\One")"
close_program

begin_case "New List named as an existing list: its file stays until the first save replaces it"
open_editor
printf 'Z:\\Gone\r\nZ:\\Also gone\r\n' >"$LISTS/Old.qvl"   # a list made earlier
drive command "$EDITOR" 1101
drive input "New Destination List" 102 "Old" --pid "$PID"
await_eq "caption" "Quorvander - Old" q caption "$EDITOR"
assert_eq "entries: the file is not read" "" "$(q items "$EDITOR" 1004)"
assert_bytes "$LISTS/Old.qvl" 'Z:\\Gone\r\nZ:\\Also gone\r\n'
open_picker
drive click "$PICKER" 2004
await_eq "entries" "$P" q items "$EDITOR" 1004
close_picker
assert_bytes "$LISTS/Old.qvl" "$(list_format "$P")"
assert_eq "files in the lists folder" "Old.qvl" "$(lists_folder)"
close_program

begin_case "Remove Dest. with no list open (New List cancelled) writes and deletes nothing"
open_editor
drive command "$EDITOR" 1101
drive input "New Destination List" 102 "Kept" --pid "$PID"
open_picker
drive click "$PICKER" 2004
await_eq "entries" "$P" q items "$EDITOR" 1004
close_picker
assert_bytes "$LISTS/Kept.qvl" "$(list_format "$P")"
select_entry 0
drive command "$EDITOR" 1101
drive wait-window --pid "$PID" --class "#32770" --title "New Destination List"
ask=$OUT
drive click "$ask" CANCEL
await_gone "$ask" "the name prompt"
settle
assert_eq "caption after New List cancelled" "Quorvander" "$(q caption "$EDITOR")"
assert_eq "entries after New List" "" "$(q items "$EDITOR" 1004)"
assert_eq "Remove Dest. enabled: New List leaves it as it was" "1" "$(q enabled "$EDITOR" 1002)"
drive click "$EDITOR" 1002
await_eq "Remove Dest. enabled after the click" "0" q enabled "$EDITOR" 1002
settle
assert_no_message_box
assert_bytes "$LISTS/Kept.qvl" "$(list_format "$P")"
assert_eq "files in the lists folder" "Kept.qvl" "$(lists_folder)"
close_program

finish
