# The list editor's License Agreement (EULA.TXT in the system's Notepad, or a box when it is
# missing) and the destination picker driven by the mouse. What the editor and the picker do with
# lists and folders is the unit tests' (EditorTest, ListStoreTest, Controls).
source "$(dirname "$0")/lib.sh"

# Ends every Notepad.exe of this Wine prefix (Notepad's own, or one the program started).
end_notepads() {
  local proc
  for proc in /proc/[0-9]*; do
    tr '\0' '\n' <"$proc/cmdline" 2>/dev/null | head -n 1 | grep -qi 'notepad\.exe$' &&
      grep -qzxF "WINEPREFIX=$WINEPREFIX" "$proc/environ" 2>/dev/null && kill "${proc#/proc/}"
  done
}
trap 'end_notepads; q subst Q: /D >/dev/null 2>&1; cleanup' EXIT

# Double-clicks the folder list's row showing NAME (indent aside); the label then shows FOLDER.
open_row() {  # NAME FOLDER
  local index
  index=$(q items "$PICKER" 2003 | sed 's/^ *//' | grep -nxF -- "$1" | head -n 1 | cut -d: -f1)
  [ -n "$index" ] || die "no row [$1] in the folder list"
  drive dblclick "$PICKER" 2003 $((index - 1))
  await_eq "the label after opening [$1]" "$2" q text "$PICKER" 2007
}

begin_case "License Agreement without EULA.TXT: the box, and no Notepad"
open_editor
rm "$PROGRAM/EULA.TXT"
drive command "$EDITOR" 1104
answer_box "ERROR" "1=OK" "The License Agreement is missing." OK
check
if q wait-window --class Notepad --timeout 1000 >/dev/null 2>&1; then fail "Notepad opened"; fi
close_program

begin_case "License Agreement: the system's Notepad shows EULA.TXT, not a Notepad.exe of the program folder"
open_editor
printf 'The licence of this program folder.\r\nSecond line.\r\n' >"$PROGRAM/EULA.TXT"
cp "$QUORVANDER_EXE" "$PROGRAM/Notepad.exe"   # where a search by name looks first
drive command "$EDITOR" 1104
drive wait-window --class Notepad   # a program under Notepad's name would show another window
assert_eq "Notepad's caption" "EULA.TXT - Notepad" "$(q caption "$OUT")"
assert_eq "the text Notepad shows" $'The licence of this program folder.\nSecond line.' "$(q text "$OUT" 0)"
end_notepads
WINDOW=$EDITOR
assert_no_message_box
close_program

begin_case "the picker by mouse: a double click opens a folder, Add Path adds it, Finished saves"
open_editor "Dest/Inner"
new_list "Top"
open_picker
assert_eq "the label at the start" "$P" "$(q text "$PICKER" 2007)"
open_row "Dest" "$P\\Dest"
open_row "Inner" "$P\\Dest\\Inner"
drive click "$PICKER" 2004
await_eq "entries" "$P\\Dest\\Inner" q items "$EDITOR" 1004
drive dblclick "$PICKER" 2003 0   # the drive's top, the first row
await_eq "the label at the drive's top" 'Z:\' q text "$PICKER" 2007
drive click "$PICKER" 2004
close_picker
assert_bytes "$LISTS/Top.qvl" "$(list_format "$P\\Dest\\Inner" 'Z:\')"

begin_case "a drive that cannot be read: reported, the picker stays where it was"
printf 'not a drive\r\n' >"$SCRATCH/not a drive"
drive subst Q: "$(win_path "$SCRATCH/not a drive")"   # listed, but never readable
open_picker
label=$(q text "$PICKER" 2007)
row=$(q items "$PICKER" 2001 | grep -n '^q:' | cut -d: -f1)
[ -n "$row" ] || die "the picker lists no drive q:"
drive select "$PICKER" 2001 $((row - 1))
answer_box "Add Destination Location" "1=OK" "The drive Q: cannot be read." OK
assert_eq "the label" "$label" "$(q text "$PICKER" 2007)"
close_picker
WINDOW=$EDITOR
close_program

finish
