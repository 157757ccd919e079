# New List and the first Add Dest.: a list is named through the input box "New Destination List",
# nothing is written until the picker closes, and then the file holds the folders added, one a
# line with CR LF. Names that cannot be file names are refused and asked again.
source "$(dirname "$0")/lib.sh"

# ----- Helpers of this scenario -----

# With the name prompt up: answers NAME and expects the box that refuses it, naming the problem
# (WORD is a word of it); after OK the prompt comes back.
refused() {  # NAME WORD
  local box
  drive input "New Destination List" 102 "$1" --pid "$PID"
  if ! box=$(q msgbox --pid "$PID" --title "New Destination List" --timeout 3000 2>/dev/null); then
    fail "the name [${1:0:40}] was taken (caption [$(q caption "$EDITOR" | cut -c1-60)])"
    drive command "$EDITOR" 1101
    return
  fi
  assert_eq "the box's buttons for [${1:0:40}]" "1=OK" "$(printf '%s\n' "$box" | sed -n 3p)"
  check
  printf '%s\n' "$box" | tail -n +4 | grep -qiF -- "$2" ||
    fail "the box for [${1:0:40}] does not name the problem [$2]: $(printf '%s\n' "$box" | tail -n +4)"
  drive click "$(printf '%s\n' "$box" | head -n 1)" OK
  await_gone "$(printf '%s\n' "$box" | head -n 1)" "the box"
}

# ----- Cases -----

begin_case "Add Dest. with no list open: the name prompt cancelled, or answered with nothing, stops it"
open_editor
drive click "$EDITOR" 1001
drive wait-window --pid "$PID" --class "#32770" --title "New Destination List"
ask=$OUT
assert_eq "the prompt" "Enter a name for this list:" "$(q text "$ask" 101)"
drive click "$ask" CANCEL
await_gone "$ask" "the name prompt"
settle
assert_no_window "Add Destination Location"
assert_eq "caption" "Quorvander" "$(q caption "$EDITOR")"
assert_eq "entries" "" "$(q items "$EDITOR" 1004)"
drive click "$EDITOR" 1001
drive input "New Destination List" 102 "" --pid "$PID"
settle
assert_no_window "Add Destination Location"
assert_no_window "New Destination List"
assert_eq "caption after an empty name" "Quorvander" "$(q caption "$EDITOR")"
assert_eq "files in the lists folder" "" "$(lists_folder)"
close_program

begin_case "a new list Office: nothing written when named, two folders from the picker at Finished"
open_editor "Dest A/Inner" "dest b"
drive command "$EDITOR" 1101
drive input "New Destination List" 102 "Office" --pid "$PID"
await_eq "caption of the new list" "Quorvander - Office" q caption "$EDITOR"
assert_eq "files in the lists folder once named" "" "$(lists_folder)"
open_picker
assert_eq "the picker starts in the current folder" "$P" "$(q text "$PICKER" 2007)"
open_row "Dest A" "$P\\Dest A"
drive click "$PICKER" 2004
await_eq "entries after the first Add Path" "$P\\Dest A" q items "$EDITOR" 1004
open_row "$(basename "$PROGRAM")" "$P"   # the parent, a row above
open_row "dest b" "$P\\dest b"
drive click "$PICKER" 2004
await_eq "entries after the second Add Path" "$P\\Dest A"$'\n'"$P\\dest b" q items "$EDITOR" 1004
close_picker
assert_bytes "$LISTS/Office.qvl" "$(list_format "$P\\Dest A" "$P\\dest b")"
assert_eq "files in the lists folder" "Office.qvl" "$(lists_folder)"
assert_eq "caption" "Quorvander - Office" "$(q caption "$EDITOR")"
close_program

begin_case "Finished without adding saves all the same; a list with no entries has no file"
open_editor "Dest A"
drive command "$EDITOR" 1101
drive input "New Destination List" 102 "Office" --pid "$PID"
open_picker
open_row "Dest A" "$P\\Dest A"
drive click "$PICKER" 2004
await_eq "entries" "$P\\Dest A" q items "$EDITOR" 1004
close_picker
assert_bytes "$LISTS/Office.qvl" "$(list_format "$P\\Dest A")"
printf 'Z:\\Elsewhere\r\n' >"$LISTS/Office.qvl"   # changed elsewhere: taken in, not overwritten
open_picker
close_picker
assert_bytes "$LISTS/Office.qvl" 'Z:\\Elsewhere\r\n'
await_eq "entries, as changed elsewhere" 'Z:\Elsewhere' q items "$EDITOR" 1004
printf 'Z:\\Stale\r\n' >"$LISTS/Blank.qvl"   # a new list of its name replaces it
drive command "$EDITOR" 1101
drive input "New Destination List" 102 "Blank" --pid "$PID"
await_eq "caption of the new list" "Quorvander - Blank" q caption "$EDITOR"
assert_eq "entries of the new list" "" "$(q items "$EDITOR" 1004)"
open_picker
close_picker
assert_absent "$LISTS/Blank.qvl"
assert_eq "files in the lists folder" "Office.qvl" "$(lists_folder)"
close_program

begin_case "names that cannot be file names are refused with a box, and the name is asked again"
open_editor
long251=$(printf 'n%.0s' $(seq 1 251))
drive command "$EDITOR" 1101
refused "a/b" "/"
drive wait-window --pid "$PID" --class "#32770" --title "New Destination List"
ask=$OUT
drive click "$ask" CANCEL    # asked again, and Cancel still cancels
await_gone "$ask" "the name prompt"
settle
assert_eq "caption after the cancel" "Quorvander" "$(q caption "$EDITOR")"
drive command "$EDITOR" 1101
refused "CON" "device"
refused "nul.txt" "device"
refused "x." "point"
refused "${long251}n" "251"
refused "$(printf 'l%.0s' $(seq 1 300))" "251"
assert_eq "files in the lists folder after the refusals" "" "$(lists_folder)"
drive input "New Destination List" 102 "$long251" --pid "$PID"   # the longest name taken
await_eq "caption of the list with the longest name" "Quorvander - $long251" q caption "$EDITOR"
assert_no_message_box
open_picker
drive click "$PICKER" 2004
await_eq "entries" "$P" q items "$EDITOR" 1004
close_picker
assert_bytes "$LISTS/$long251.qvl" "$(list_format "$P")"
close_program

finish
