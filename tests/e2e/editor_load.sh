# Load List: the open-file dialog "Quorvander Lists" in the lists folder. The chosen list's lines
# become the destinations (empty lines skipped, lines equal but for letter case taken once, as
# first written), the caption names the file, and later saves write it. A name that does not
# exist opens an empty list; a cancel, or a list that cannot be read, leaves everything as it was.
source "$(dirname "$0")/lib.sh"

# ----- Helpers of this scenario -----

# Selects entry INDEX of the editor's list and waits for Remove Dest. to be enabled.
select_entry() {  # INDEX
  drive select "$EDITOR" 1004 "$1"
  await_eq "Remove Dest. enabled by the selection of entry $1" "1" q enabled "$EDITOR" 1002
}

# Chooses File > Load List and types NAME into the open-file dialog.
load_list() {  # NAME
  drive command "$EDITOR" 1102
  drive open-file "$1" --pid "$PID" --title "Quorvander Lists"
}

# ----- Cases -----

begin_case "a list of repeated lines in several letter cases: one entry each, as first written"
open_editor
printf 'Z:\\Data\\One\r\nz:\\data\\ONE\r\n\r\nZ:\\Data\\Two\r\nZ:\\DATA\\one\r\n\r\n\r\nz:\\data\\two\r\nZ:\\Data\\Three\r\nZ:\\Data\\One\\Sub\r\n' \
  >"$LISTS/Mixed.qvl"
drive command "$EDITOR" 1102
drive wait-window --pid "$PID" --class "#32770" --title "Quorvander Lists"
assert_eq "the dialog's file types" "Kelvaron Files" "$(q items "$OUT" 0x470)"
drive open-file "Mixed.qvl" --pid "$PID" --title "Quorvander Lists"   # in the lists folder
await_eq "caption" "Quorvander - Mixed.qvl" q caption "$EDITOR"
assert_eq "entries" 'Z:\Data\One
Z:\Data\Two
Z:\Data\Three
Z:\Data\One\Sub' "$(q items "$EDITOR" 1004)"
assert_bytes "$LISTS/Mixed.qvl" 'Z:\\Data\\One\r\nz:\\data\\ONE\r\n\r\nZ:\\Data\\Two\r\nZ:\\DATA\\one\r\n\r\n\r\nz:\\data\\two\r\nZ:\\Data\\Three\r\nZ:\\Data\\One\\Sub\r\n'
select_entry 1
drive click "$EDITOR" 1002
await_eq "entries after removing the second" 'Z:\Data\One
Z:\Data\Three
Z:\Data\One\Sub' q items "$EDITOR" 1004
assert_bytes "$LISTS/Mixed.qvl" 'Z:\\Data\\One\r\nZ:\\Data\\Three\r\nZ:\\Data\\One\\Sub\r\n'
assert_eq "files in the lists folder" "Mixed.qvl" "$(lists_folder)"
close_program

begin_case "a typed name that does not exist: an empty list of that name, made at the first save"
open_editor
printf 'Z:\\Data\\One\r\n' >"$LISTS/First.qvl"
load_list "First.qvl"
await_eq "entries of the first list" 'Z:\Data\One' q items "$EDITOR" 1004
select_entry 0
load_list "Fresh.qvl"
await_eq "caption" "Quorvander - Fresh.qvl" q caption "$EDITOR"
assert_eq "entries" "" "$(q items "$EDITOR" 1004)"
assert_eq "Remove Dest. enabled: Load List leaves it as it was" "1" "$(q enabled "$EDITOR" 1002)"
assert_eq "files in the lists folder once loaded" "First.qvl" "$(lists_folder)"
open_picker   # no name asked: the list is open
assert_no_window "New Destination List"
open_row "$(basename "$PROGRAM")" "$P"   # (the dialog may have left the lists folder current)
drive click "$PICKER" 2004
await_eq "entries" "$P" q items "$EDITOR" 1004
close_picker
assert_bytes "$LISTS/Fresh.qvl" "$(list_format "$P")"
assert_bytes "$LISTS/First.qvl" 'Z:\\Data\\One\r\n'
close_program

begin_case "a cancelled Load List changes nothing: entries, caption, the file later saves write"
open_editor
printf 'Z:\\Data\\One\r\nZ:\\Data\\Two\r\n' >"$LISTS/Kept.qvl"
printf 'Z:\\Other\r\n' >"$LISTS/Other.qvl"
load_list "Kept.qvl"
await_eq "entries" 'Z:\Data\One
Z:\Data\Two' q items "$EDITOR" 1004
drive command "$EDITOR" 1102
drive wait-window --pid "$PID" --class "#32770" --title "Quorvander Lists"
dialog=$OUT
drive set-text "$dialog" 0x47C "Other.qvl"   # typed, then cancelled
drive click "$dialog" CANCEL
await_gone "$dialog" "the open-file dialog"
settle
assert_eq "caption" "Quorvander - Kept.qvl" "$(q caption "$EDITOR")"
assert_eq "entries" 'Z:\Data\One
Z:\Data\Two' "$(q items "$EDITOR" 1004)"
select_entry 0
drive click "$EDITOR" 1002
await_eq "entries after a removal" 'Z:\Data\Two' q items "$EDITOR" 1004
assert_bytes "$LISTS/Kept.qvl" 'Z:\\Data\\Two\r\n'
assert_bytes "$LISTS/Other.qvl" 'Z:\\Other\r\n'
close_program

begin_case "a list that cannot be read: an error box; list, caption and current file stay"
open_editor "Sub"
printf 'Z:\\Data\\One\r\nZ:\\Data\\Two\r\n' >"$LISTS/Kept.qvl"
# Reading /proc/self/mem from its start fails with an I/O error: a list on a failing disk.
ln -s /proc/self/mem "$LISTS/Broken.qvl"
load_list "Kept.qvl"
await_eq "entries" 'Z:\Data\One
Z:\Data\Two' q items "$EDITOR" 1004
load_list "Broken.qvl"
drive msgbox --pid "$PID" --title "Quorvander Utility"
box=$OUT
assert_eq "the box's first line" "The list $(win_path "$LISTS")\\Broken.qvl cannot be read." \
  "$(printf '%s\n' "$box" | sed -n 4p)"
drive click "$(printf '%s\n' "$box" | head -n 1)" OK
await_gone "$(printf '%s\n' "$box" | head -n 1)" "the box"
settle
assert_eq "caption" "Quorvander - Kept.qvl" "$(q caption "$EDITOR")"
assert_eq "entries" 'Z:\Data\One
Z:\Data\Two' "$(q items "$EDITOR" 1004)"
open_picker
open_row "$(basename "$PROGRAM")" "$P"
open_row "Sub" "$P\\Sub"
drive click "$PICKER" 2004
close_picker
assert_bytes "$LISTS/Kept.qvl" "$(list_format 'Z:\Data\One' 'Z:\Data\Two' "$P\\Sub")"
check
[ -L "$LISTS/Broken.qvl" ] || fail "the unreadable list was replaced"
close_program

finish
