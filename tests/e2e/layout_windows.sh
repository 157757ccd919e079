# The windows' layouts are given in twips: at the screen's DPI (96 here) each client area and
# control stands where its twips put it.
source "$(dirname "$0")/lib.sh"

dpi=96
px() { echo $((($1 * dpi + 720) / 1440)); }  # twips to pixels, rounded as MulDiv does

# The control ID of WINDOW stands at LEFT TOP WIDTH HEIGHT twips (HEIGHT "-": not checked).
assert_place() {  # WHAT ID LEFT TOP WIDTH HEIGHT
  drive rect "$WINDOW" "$2"
  local left top right bottom
  read -r left top right bottom <<<"$OUT"
  assert_eq "$1: left, top, width" "$(px "$3") $(px "$4") $(($(px "$3") + $(px "$5")))" "$left $top $right"
  [ "$6" = - ] || assert_eq "$1: bottom" "$(($(px "$4") + $(px "$6")))" "$bottom"
}

begin_case "the list editor: client area 5370 x 3195 twips below its menu bar"
new_program_folder
start_program ""
wait_window "Quorvander"
drive client-size "$WINDOW"
assert_eq "client size" "$(px 5370) $(px 3195)" "$OUT"
assert_place "Add Dest." 1001 120 2595 1215 495
assert_place "Remove Dest." 1002 1430 2595 1215 495
assert_place "Done" 1003 4050 2595 1215 495
assert_place "the destination list" 1004 120 105 5070 2400
editor=$WINDOW

begin_case "the destination picker: client area 4545 x 3840 twips"
drive click "$editor" 1001
drive input "New Destination List" 102 Layout
wait_window "Add Destination Location"
drive client-size "$WINDOW"
assert_eq "client size" "$(px 4545) $(px 3840)" "$OUT"
assert_place "drive list" 2001 90 120 4350 -
assert_place "hint" 2002 90 510 4035 195
assert_place "folder list" 2003 90 735 4350 1890
assert_place "Add Path" 2004 1950 2700 1215 495
assert_place "Finished" 2005 3225 2700 1215 495
assert_place "Currently Selected Path:" 2006 60 3045 1710 195
assert_place "the open folder" 2007 60 3270 4395 480
drive click "$WINDOW" 2005

finish
