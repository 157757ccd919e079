# The destination picker: Add Path adds the open folder to the editor's list unless the list holds
# it already (letter case aside; that entry is then selected); a drive's top folder is added with
# its backslash; the label shows the open folder. The editor saves when the picker closes, and a
# save that fails is reported and made up for by the next one. A drive that cannot be read is
# reported, and the picker stays where it was.
source "$(dirname "$0")/lib.sh"

# ----- Helpers of this scenario -----

# The rows the folder list shows for FOLDER (Z:\...) holding these sub-folders: the folders from
# the drive's top down to FOLDER, each one step (four blanks) further in, then the sub-folders.
expected_rows() {  # FOLDER SUBFOLDER...
  local folder=$1 indent='    ' part parts
  shift
  IFS='\' read -ra parts <<<"${folder#Z:\\}"
  printf 'Z:\\\n'
  for part in "${parts[@]}"; do
    printf '%s%s\n' "$indent" "$part"
    indent+='    '
  done
  for part in "$@"; do printf '%s%s\n' "$indent" "$part"; done
}

# ----- Cases -----

begin_case "Add Path twice, and a folder the list holds in other letter case: one entry, selected"
open_editor "Dest/Inner"
printf 'Z:\\Other\r\n%s\\dest\r\nZ:\\Last\r\n' "${P,,}" >"$LISTS/Paths.qvl"
drive command "$EDITOR" 1102
drive open-file "Paths.qvl" --pid "$PID" --title "Quorvander Lists"
await_eq "entries" "Z:\\Other"$'\n'"${P,,}\\dest"$'\n'"Z:\\Last" q items "$EDITOR" 1004
assert_eq "selected entry after the load" "-1" "$(q selected "$EDITOR" 1004)"
open_picker
open_row "$(basename "$PROGRAM")" "$P"
open_row "Dest" "$P\\Dest"
drive click "$PICKER" 2004
await_eq "selected entry after adding a folder the list holds" "1" q selected "$EDITOR" 1004
assert_eq "entries" "Z:\\Other"$'\n'"${P,,}\\dest"$'\n'"Z:\\Last" "$(q items "$EDITOR" 1004)"
open_row "Inner" "$P\\Dest\\Inner"
drive click "$PICKER" 2004
await_eq "entries after adding a new folder" \
  "Z:\\Other"$'\n'"${P,,}\\dest"$'\n'"Z:\\Last"$'\n'"$P\\Dest\\Inner" q items "$EDITOR" 1004
drive click "$PICKER" 2004
await_eq "selected entry after adding it again" "3" q selected "$EDITOR" 1004
assert_eq "entries after adding it again" \
  "Z:\\Other"$'\n'"${P,,}\\dest"$'\n'"Z:\\Last"$'\n'"$P\\Dest\\Inner" "$(q items "$EDITOR" 1004)"
close_picker
assert_bytes "$LISTS/Paths.qvl" "$(list_format 'Z:\Other' "${P,,}\\dest" 'Z:\Last' "$P\\Dest\\Inner")"
close_program

begin_case "the label and the rows follow the open folder; a drive's top folder is added as Z:\\"
open_editor "Dest"
drive command "$EDITOR" 1101
drive input "New Destination List" 102 "Top" --pid "$PID"
open_picker
assert_eq "the label at the start" "$P" "$(q text "$PICKER" 2007)"
assert_eq "the rows at the start" "$(expected_rows "$P" "Dest" "Distribution Lists")" "$(q items "$PICKER" 2003)"
drives=$(q items "$PICKER" 2001)
chosen=$(q selected "$PICKER" 2001)
assert_eq "the chosen drive (letter case aside)" "z:" "$(printf '%s\n' "$drives" | sed -n "$((chosen + 1))p" | cut -c1-2 | tr Z z)"
open_row "Dest" "$P\\Dest"
assert_eq "the rows in Dest" "$(expected_rows "$P\\Dest")" "$(q items "$PICKER" 2003)"
drive dblclick "$PICKER" 2003 0   # the drive's top, the first row
await_eq "the label at the drive's top" 'Z:\' q text "$PICKER" 2007
assert_eq "the first row at the drive's top" 'Z:\' "$(q items "$PICKER" 2003 | head -n 1)"
drive click "$PICKER" 2004
await_eq "entries" 'Z:\' q items "$EDITOR" 1004
close_picker
assert_bytes "$LISTS/Top.qvl" 'Z:\\\r\n'
close_program

begin_case "a save that fails (the list is read-only): reported with Retry, entries kept, saved by the next change"
open_editor "A" "B" "C"
drive command "$EDITOR" 1101
drive input "New Destination List" 102 "Safe" --pid "$PID"
open_picker
open_row "A" "$P\\A"
drive click "$PICKER" 2004
close_picker
assert_bytes "$LISTS/Safe.qvl" "$(list_format "$P\\A")"
attrib +r "$LISTS/Safe.qvl"
open_picker
open_row "B" "$P\\B"
drive click "$PICKER" 2004
await_eq "entries" "$P\\A"$'\n'"$P\\B" q items "$EDITOR" 1004
drive click "$PICKER" 2005
drive msgbox --pid "$PID" --title "Quorvander Utility"
box=$OUT
assert_eq "the box's first line" "The list could not be saved to $(win_path "$LISTS")\\Safe.qvl." \
  "$(printf '%s\n' "$box" | sed -n 4p)"
assert_eq "the box's buttons" "4=Retry	2=Cancel" "$(printf '%s\n' "$box" | sed -n 3p)"
drive click "$(printf '%s\n' "$box" | head -n 1)" Cancel
await_gone "$(printf '%s\n' "$box" | head -n 1)" "the box"
await_gone "$PICKER" "the picker"
settle
assert_eq "caption" "Quorvander - Safe" "$(q caption "$EDITOR")"
assert_eq "entries kept" "$P\\A"$'\n'"$P\\B" "$(q items "$EDITOR" 1004)"
assert_bytes "$LISTS/Safe.qvl" "$(list_format "$P\\A")"
assert_eq "files in the lists folder (no temporary left)" "Safe.qvl" "$(lists_folder)"
attrib -r "$LISTS/Safe.qvl"
open_picker
open_row "C" "$P\\C"
drive click "$PICKER" 2004
close_picker
assert_no_message_box
assert_bytes "$LISTS/Safe.qvl" "$(list_format "$P\\A" "$P\\B" "$P\\C")"
assert_eq "files in the lists folder" "Safe.qvl" "$(lists_folder)"
close_program

begin_case "a drive that cannot be read: reported, the picker stays where it was, the entries stay"
open_editor "A"
drive command "$EDITOR" 1101
drive input "New Destination List" 102 "Drives" --pid "$PID"
# A drive letter that leads to a plain file: listed, but never readable.
printf 'not a drive\r\n' >"$SCRATCH/not a drive"
drive subst Q: "$(win_path "$SCRATCH/not a drive")"
trap 'q subst Q: /D >/dev/null; cleanup' EXIT
open_picker
open_row "A" "$P\\A"
drive click "$PICKER" 2004
row=$(q items "$PICKER" 2001 | grep -n '^q:' | cut -d: -f1)
[ -n "$row" ] || die "the picker lists no drive q:: $(q items "$PICKER" 2001 | tr '\n' '|')"
drive select "$PICKER" 2001 $((row - 1))
drive msgbox --pid "$PID" --title "Add Destination Location"
box=$OUT
assert_eq "the box's first line" "The drive Q: cannot be read." "$(printf '%s\n' "$box" | sed -n 4p)"
drive click "$(printf '%s\n' "$box" | head -n 1)" OK
await_gone "$(printf '%s\n' "$box" | head -n 1)" "the box"
assert_eq "the label" "$P\\A" "$(q text "$PICKER" 2007)"
assert_eq "the chosen drive" "z:" "$(q items "$PICKER" 2001 | sed -n "$(($(q selected "$PICKER" 2001) + 1))p" | cut -c1-2)"
close_picker
assert_eq "entries" "$P\\A" "$(q items "$EDITOR" 1004)"
assert_bytes "$LISTS/Drives.qvl" "$(list_format "$P\\A")"
close_program

finish
