# The windows' layouts are given in twips: at the screen's DPI each client area, frame and control
# stands where its twips put it. Measured at 96 DPI, then at 144 (the prefix's LogPixels, put back
# at the end).
source "$(dirname "$0")/lib.sh"

set_dpi() {
  "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1 </dev/null ||
    die "could not set the screen's DPI to $1"
}
trap 'cleanup; "$WINE" reg delete "HKCU\\Control Panel\\Desktop" /v LogPixels /f >/dev/null 2>&1 </dev/null' EXIT
px() { echo $((($1 * dpi + 720) / 1440)); }  # twips to pixels, rounded as MulDiv does

# WINDOW's client area is WIDTH x HEIGHT twips, and its controls stand at PLACES, a line each:
# "ID LEFT TOP WIDTH HEIGHT" in twips (HEIGHT "-": not checked).
assert_layout() {  # WHAT WIDTH HEIGHT PLACES
  local id left top width height place expected
  assert_eq "$1: the client area" "$(px "$2") $(px "$3")" "$(q client-size "$WINDOW")"
  while read -r id left top width height; do
    expected="$(px "$left") $(px "$top") $(px "$width")"
    place=$(q place "$WINDOW" "$id")
    if [ "$height" = - ]; then place=${place% *}; else expected+=" $(px "$height")"; fi
    assert_eq "$1: control $id: left top width height" "$expected" "$place"
  done <<<"$4"
}

for dpi in 96 144; do
  set_dpi $dpi
  begin_case "at $dpi DPI: the list editor and the destination picker"
  open_editor
  assert_layout "the list editor" 5370 3195 "1001 120 2595 1215 495
1002 1430 2595 1215 495
1003 4050 2595 1215 495
1004 120 105 5070 2400"
  new_list Layout
  open_picker
  WINDOW=$PICKER
  assert_layout "the picker" 4545 3840 "2001 90 120 4350 -
2002 90 510 4035 195
2003 90 735 4350 1890
2004 1950 2700 1215 495
2005 3225 2700 1215 495
2006 60 3045 1710 195
2007 60 3270 4395 480"
  close_picker
  WINDOW=$EDITOR
  close_program

  begin_case "at $dpi DPI: the distribution window while a list is chosen, and its frame for the run"
  new_dist_folder
  printf 'x' >"$PROGRAM/source.txt"
  write_list "Layout" "$P\\Distribution Lists"
  start_program "\"$P\\source.txt\""
  drive menu esc --pid "$PID"
  wait_window "Distributing "
  assert_layout "the distribution window" 5910 3765 "3001 90 75 1395 195
3002 1545 30 4245 285
3003 90 465 1770 195
3004 90 720 5715 285
3005 4590 1095 1215 495
3006 165 1200 4395 285"
  drive command "$WINDOW" 4000
  wait_window "Finished"
  assert_eq "the frame at 100, 100 twips, 6030 x 2070" "$(px 100) $(px 100) $(px 6030) $(px 2070)" "$(q frame "$WINDOW")"
  end_by_button
done

finish
