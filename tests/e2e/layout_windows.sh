# The windows' layouts are given in twips: at the screen's DPI each client area, frame and control
# stands where its twips put it. Measured at 96 DPI, then again with the screen set to 144 DPI
# (the prefix's LogPixels, put back at the end).
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

assert_client_size() {  # WIDTH HEIGHT (twips)
  drive client-size "$WINDOW"
  assert_eq "client size" "$(px "$1") $(px "$2")" "$OUT"
}

screen_dpi() {  # DPI: for programs started from now on
  "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1 ||
    die "could not set the screen's DPI to $1"
  dpi=$1
}
restore_dpi() { "$WINE" reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f >/dev/null 2>&1; }

measure_windows() {
  begin_case "at $dpi DPI: the list editor, client area 5370 x 3195 twips below its menu bar"
  new_program_folder
  start_program ""
  wait_window "Quorvander"
  assert_client_size 5370 3195
  assert_place "Add Dest." 1001 120 2595 1215 495
  assert_place "Remove Dest." 1002 1430 2595 1215 495
  assert_place "Done" 1003 4050 2595 1215 495
  assert_place "the destination list" 1004 120 105 5070 2400
  local editor=$WINDOW

  begin_case "at $dpi DPI: the destination picker, client area 4545 x 3840 twips"
  drive click "$editor" 1001
  drive input "New Destination List" 102 Layout
  wait_window "Add Destination Location"
  assert_client_size 4545 3840
  assert_place "drive list" 2001 90 120 4350 -
  assert_place "hint" 2002 90 510 4035 195
  assert_place "folder list" 2003 90 735 4350 1890
  assert_place "Add Path" 2004 1950 2700 1215 495
  assert_place "Finished" 2005 3225 2700 1215 495
  assert_place "Currently Selected Path:" 2006 60 3045 1710 195
  assert_place "the open folder" 2007 60 3270 4395 480
  drive click "$WINDOW" 2005
  WINDOW=$editor
  close_program

  begin_case "at $dpi DPI: the distribution window, 5910 x 3765 twips while a list is chosen"
  new_dist_folder
  mkdir -p "$SCRATCH/target $dpi"
  printf 'x' >"$SCRATCH/source-$dpi.txt"
  write_list "Layout" "$(win_path "$SCRATCH/target $dpi")"
  start_program "$(win_path "$SCRATCH/source-$dpi.txt")"
  drive menu esc --pid "$PID"
  wait_window "Distributing "
  assert_client_size 5910 3765
  assert_place "Distributing File:" 3001 90 75 1395 195
  assert_place "the source" 3002 1545 30 4245 285
  assert_place "Pushing to Location:" 3003 90 465 1770 195
  assert_place "the target" 3004 90 720 5715 285
  assert_place "Cancel" 3005 4590 1095 1215 495
  assert_place "the status line" 3006 165 1200 4395 285

  begin_case "at $dpi DPI: the distribution window's frame at 100, 100 twips, 6030 x 2070 twips for the run"
  drive command "$WINDOW" 4000
  wait_window "Finished"
  assert_file "$SCRATCH/target $dpi/source-$dpi.txt"
  assert_eq "the frame" "$(px 100) $(px 100) $(px 6030) $(px 2070)" "$(q frame "$WINDOW")"
  assert_place "OK" 3005 4590 1095 1215 495
  end_by_button
}

trap 'cleanup; restore_dpi' EXIT
measure_windows
screen_dpi 144
measure_windows
restore_dpi

finish
