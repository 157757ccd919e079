# The windows show their icons in their captions: the list editor and the destination picker the
# program's icon (IDI_PROGRAM), the distribution window its own (IDI_DISTRIBUTION), each as the
# image made for the small size, never the other icon.
source "$(dirname "$0")/lib.sh"

# An icon id as src/resources/resource_ids.h defines it.
icon_id() { sed -n "s/^#define $1 \([0-9][0-9]*\)\$/\1/p" "$(dirname "$0")/../../src/resources/resource_ids.h"; }
PROGRAM_ICON=$(icon_id IDI_PROGRAM)
DISTRIBUTION_ICON=$(icon_id IDI_DISTRIBUTION)
[ -n "$PROGRAM_ICON" ] && [ -n "$DISTRIBUTION_ICON" ] || die "the icon ids are not in resource_ids.h"

# WINDOW's caption shows icon SHOWN of the program's exe (waiting until it is drawn), not OTHER.
assert_icon() {  # WHAT SHOWN OTHER
  local exe
  exe=$(win_path "$PROGRAM/KELVARON.EXE")
  check
  q icon "$WINDOW" "$exe" "$2" >/dev/null || fail "$1 does not show icon $2 in its caption"
  check
  if q icon "$WINDOW" "$exe" "$3" --timeout 0 >/dev/null 2>&1; then fail "$1 shows icon $3 in its caption"; fi
}

begin_case "the list editor shows the program's icon"
open_editor
WINDOW=$EDITOR
assert_icon "the list editor" "$PROGRAM_ICON" "$DISTRIBUTION_ICON"

begin_case "the destination picker shows the program's icon"
drive command "$EDITOR" 1101   # File, New List
drive input "New Destination List" 102 "Icons" --pid "$PID"
open_picker
WINDOW=$PICKER
assert_icon "the destination picker" "$PROGRAM_ICON" "$DISTRIBUTION_ICON"
close_picker
WINDOW=$EDITOR
close_program
assert_eq "exit code after closing the list editor" 0 "$EXIT_CODE"

begin_case "the distribution window shows its own icon"
new_dist_folder
mkdir -p "$SCRATCH/src" "$SCRATCH/dest"
printf 'icon\r\n' >"$SCRATCH/src/a.txt"
write_list "One" "$(win_path "$SCRATCH/dest")"
distribute "$(win_path "$SCRATCH/src/a.txt")" esc   # dismissed: the window waits, nothing copied
wait_window "Distributing "
assert_icon "the distribution window" "$DISTRIBUTION_ICON" "$PROGRAM_ICON"
close_program
assert_eq "exit code after closing the distribution window" 0 "$EXIT_CODE"

finish
