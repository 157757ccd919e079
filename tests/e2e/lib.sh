# Sourced by every end-to-end scenario. The test registration gives the paths (QUORVANDER_EXE,
# QDRIVE_EXE, QUORVANDER_EULA, E2E_SCRATCH); scripts/test gives the display and the Wine prefix.
# A scenario runs its cases, each in a fresh program folder under its own scratch folder, checks
# with the assert_* functions, and ends with `finish`. Checks that fail are counted and the
# scenario goes on; a step it cannot go on without (a window that never opens) ends it at once.

set -uo pipefail

: "${QUORVANDER_EXE:?}" "${QDRIVE_EXE:?}" "${QUORVANDER_EULA:?}" "${E2E_SCRATCH:?}" "${WINEPREFIX:?}"
WINE=${WINE:-/usr/lib/wine/wine64}
source "$(dirname "${BASH_SOURCE[0]}")/../checks.sh"
SCENARIO=$(basename "$0" .sh)
TEST_NAME=e2e.$SCENARIO
SCRATCH=$E2E_SCRATCH/$SCENARIO
FOLDERS=0
STARTED=()   # "pid image" of every program this scenario started

rm -rf "$SCRATCH"
mkdir -p "$SCRATCH"

# ----- Paths -----

# A unix path in the form Windows programs take (Z:\ is the unix root).
win_path() {
  local path=$1
  [ "${path:0:1}" = / ] || path=$PWD/$path
  if command -v winepath >/dev/null 2>&1; then winepath -w "$path"; return; fi
  path=${path//\/\//\/}
  printf 'Z:%s\n' "${path//\//\\}"
}

# A Windows path (X:\...) as a unix path, through the prefix's drive links.
unix_path() {
  local path=$1
  if command -v winepath >/dev/null 2>&1; then winepath -u "$path"; return; fi
  local letter=${path:0:1} drive rest
  drive=$(readlink -f "$WINEPREFIX/dosdevices/${letter,,}:")
  rest=${path:2}
  rest=${rest//\\//}
  printf '%s%s\n' "${drive%/}" "$rest"
}

# Shown when a step fails: the program's windows and any message box.
on_die() {
  if [ -n "${PID:-}" ]; then
    printf 'windows of process %s:\n%s\n' "$PID" "$(q windows "$PID")"
    q msgbox --pid "$PID" --timeout 0 2>/dev/null | sed '1s/^/message box /'
  fi
}

# ----- Assertions -----

# The file holds exactly these bytes (a printf format, so \r\n and \xNN may be written).
assert_bytes() {  # PATH FORMAT
  check
  local expected=$SCRATCH/.expected
  printf -- "$2" >"$expected"
  if [ ! -f "$1" ]; then
    fail "expected the file $1"
  elif ! cmp -s "$expected" "$1"; then
    fail "$1 holds other bytes; expected:$(od -An -c "$expected")
got:$(od -An -c "$1")"
  fi
}

# ----- The program -----

# A fresh program folder, $PROGRAM (a blank in its name): KELVARON.EXE and EULA.TXT.
new_program_folder() {
  FOLDERS=$((FOLDERS + 1))
  PROGRAM="$SCRATCH/program $FOLDERS"
  mkdir -p "$PROGRAM"
  cp "$QUORVANDER_EXE" "$PROGRAM/KELVARON.EXE"
  cp "$QUORVANDER_EULA" "$PROGRAM/EULA.TXT"
}

# Starts $PROGRAM/KELVARON.EXE (EXE=OTHER.EXE for another copy) with the given command-line tail,
# in the program folder (START_DIR for another); its process id goes to PID. What Wine prints
# for the program goes to $SCRATCH/wine.log.
start_program() {
  local exe=${EXE:-KELVARON.EXE} line
  line="\"$(win_path "$PROGRAM/$exe")\""
  [ -z "${1:-}" ] || line+=" $1"
  OUT=$(q start --dir "$(win_path "${START_DIR:-$PROGRAM}")" "$line" 2>>"$SCRATCH/wine.log") ||
    die "could not start $line: $(tail -n 3 "$SCRATCH/wine.log")"
  PID=$OUT
  STARTED+=("$PID $exe")
}

# Waits for the program's visible top-level window with this exact caption; its handle to WINDOW.
wait_window() {
  drive wait-window --pid "$PID" --title "$1"
  WINDOW=$OUT
}

# The program's top-level windows: handle TAB class TAB visible TAB caption.
program_windows() { q windows "$PID"; }

assert_no_window() {  # CAPTION
  check
  if program_windows | cut -f4- | grep -qxF -- "$1"; then fail "a window captioned [$1] is open"; fi
}

assert_no_message_box() {
  check
  local box
  if box=$(q msgbox --pid "$PID" --timeout 0 2>/dev/null); then
    fail "a message box is open: $(printf '%s' "$box" | tr '\n' '|')"
  fi
}

# Closes WINDOW as the close box does and waits for the program to end; its exit code to EXIT_CODE.
close_program() {
  drive close "$WINDOW" --await-exit "$PID"
  EXIT_CODE=$OUT
}

# The user's Send To folder and the program's shortcut there (Windows and unix forms).
sendto_link() {
  drive folder sendto
  LINK_WIN="$OUT\\Quorvander.lnk"
  LINK=$(unix_path "$LINK_WIN")
}

# ----- The list editor and the destination picker -----

# Waits (up to 5 s) for the output of COMMAND to be EXPECTED, then checks it.
await_eq() {  # WHAT EXPECTED COMMAND...
  local what=$1 expected=$2 actual deadline=$((SECONDS + 5))
  shift 2
  while :; do
    actual=$("$@" 2>/dev/null)
    [ "$actual" == "$expected" ] || [ "$SECONDS" -ge "$deadline" ] && break
    sleep 0.1
  done
  assert_eq "$what" "$expected" "$actual"
}

# Two round trips through the editor's thread: what was posted to it before has been handled.
settle() { q caption "$EDITOR" >/dev/null && q caption "$EDITOR" >/dev/null; }

# The printf format of a list file holding these entries.
list_format() {
  local entry format=
  for entry in "$@"; do
    entry=${entry//\\/\\\\}
    format+="${entry//%/%%}\\r\\n"
  done
  printf '%s' "$format"
}

# A fresh program folder with these sub-folders, and the list editor started in it.
open_editor() {  # SUBFOLDER...
  new_program_folder
  LISTS="$PROGRAM/Distribution Lists"
  P=$(win_path "$PROGRAM")
  local folder
  for folder in "$@"; do mkdir -p "$PROGRAM/$folder"; done
  start_program ""
  wait_window "Quorvander"
  EDITOR=$WINDOW
}

# Clicks Add Dest. and waits for the picker.
open_picker() {
  drive click "$EDITOR" 1001
  drive wait-window --pid "$PID" --title "Add Destination Location"
  PICKER=$OUT
}

# Double-clicks the folder list's row showing NAME (indent aside) and waits for the label to show
# the folder it opens.
open_row() {  # NAME FOLDER
  local rows index
  rows=$(q items "$PICKER" 2003)
  index=$(printf '%s\n' "$rows" | sed 's/^ *//' | grep -nxF -- "$1" | head -n 1 | cut -d: -f1)
  [ -n "$index" ] || die "no row [$1] in the folder list: $(printf '%s' "$rows" | tr '\n' '|')"
  drive dblclick "$PICKER" 2003 $((index - 1))
  await_eq "the label after opening [$1]" "$2" q text "$PICKER" 2007
}

# Clicks Finished and waits until the picker is gone and the editor has saved.
close_picker() {
  drive click "$PICKER" 2005
  await_gone "$PICKER" "the picker"
  settle
}

lists_folder() { ls -A "$LISTS"; }

# ----- The distribution window -----

# A fresh program folder with an empty lists folder, LISTS.
new_dist_folder() {
  new_program_folder
  LISTS="$PROGRAM/Distribution Lists"
  mkdir -p "$LISTS"
}

# Writes the list NAME.qvl: one destination a line, CR LF after each.
write_list() {  # NAME DESTINATION...
  local name=$1
  shift
  printf -- "$(list_format "$@")" >"$LISTS/$name.qvl"
}

# Starts the program with this command-line tail and chooses element N (from 1) of the list pop-up.
distribute() {  # TAIL N
  start_program "$1"
  drive menu "$2" --pid "$PID"
}

# Waits for the program's message box TITLE, checks its buttons and its text (lines joined by |),
# then clicks BUTTON.
answer_box() {  # TITLE BUTTONS TEXT BUTTON
  drive msgbox --pid "$PID" --title "$1"
  local box=$OUT
  assert_eq "buttons of the box [$1]" "$2" "$(printf '%s\n' "$box" | sed -n 3p)"
  assert_eq "text of the box [$1]" "$3" "$(printf '%s\n' "$box" | sed -n '4,$p' | paste -sd '|')"
  drive click "$(printf '%s\n' "$box" | head -n 1)" "$4"
  await_gone "$(printf '%s\n' "$box" | head -n 1)" "the box [$1]"
}

# Control ID of WINDOW: "visible enabled text".
control_state() { printf '%s %s %s' "$(q visible "$WINDOW" "$1")" "$(q enabled "$WINDOW" "$1")" "$(q text "$WINDOW" "$1")"; }

# The window's end state CAPTION: the labels of the run disabled but shown, the status line
# STATUS, the button BUTTON.
assert_end_state() {  # CAPTION STATUS BUTTON
  wait_window "$1"
  local id
  for id in 3001 3002 3003 3004; do
    assert_eq "label $id shown and disabled" "1 0" "$(q visible "$WINDOW" $id) $(q enabled "$WINDOW" $id)"
  done
  assert_eq "status line" "1 1 $2" "$(control_state 3006)"
  assert_eq "button" "1 1 $3" "$(control_state 3005)"
}
assert_finished() { assert_end_state "Finished" "Distribution Complete" "OK"; }
assert_halted() { assert_end_state "Incomplete" "Distribution Halted" "EXIT"; }

# The status line as the screen shows it: its text in COLOUR (RRGGBB), in bold at 12 points
# (strokes two pixels wide at the least: a normal face, or a smaller one, draws them one pixel
# wide); with TALLER, its text a quarter taller than the heading's at the least (12 points against
# 8.25: "Distribution Complete" and "Distributing" both reach from an ascender to a descender).
assert_status_drawn() {  # COLOUR [TALLER]
  await_eq "the status line's colour" "$1" eval 'q ink "$WINDOW" 3006 | cut -d" " -f1'
  local status heading
  read -ra status <<<"$(q ink "$WINDOW" 3006)"
  check
  [ "${status[3]:-0}" -ge 2 ] || fail "the status line's strokes are ${status[3]:-?} pixel(s) wide: not bold at 12 points"
  [ -n "${2:-}" ] || return 0
  read -ra heading <<<"$(q ink "$WINDOW" 3001)"
  check
  [ $((status[2] * 4)) -ge $((heading[2] * 5)) ] ||
    fail "the status line's text is ${status[2]} pixels high, the heading's ${heading[2]}: not a quarter more"
}

# The box of a copy that failed, given as `qdrive msgbox` prints it: its title names the error
# number, its text begins with the fixed sentence and goes on with the system's description.
# Answers it with OK.
check_error_box() {  # NUMBER BOX
  assert_eq "the box's title" "Error received: $1" "$(printf '%s\n' "$2" | sed -n 2p)"
  assert_eq "the box's first line" \
    "The Quorvander Utility was unable to complete your request.  The system has returned this error:" \
    "$(printf '%s\n' "$2" | sed -n 4p)"
  check
  [ -n "$(printf '%s\n' "$2" | tail -n +5 | tr -d '[:space:]')" ] || fail "the box gives no text for the error"
  drive click "$(printf '%s\n' "$2" | head -n 1)" OK
}

# A run that halts on error NUMBER: the box, then the window's halted state.
expect_halt() {  # NUMBER
  drive msgbox --pid "$PID"
  check_error_box "$1" "$OUT"
  assert_halted
}

# Clicks the window's button (Cancel, OK or EXIT) and checks that the program ends with 0.
end_by_button() {
  drive click "$WINDOW" 3005 --await-exit "$PID"
  assert_eq "exit code after the button" 0 "$OUT"
}

# Every file and folder under FOLDER, relative, sorted (folders end with /).
tree() { (cd "$1" && find . -mindepth 1 \( -type d -printf '%P/\n' -o -printf '%P\n' \) | LC_ALL=C sort); }

# Sets DOS attributes (+r, +h, +s) through Wine's own attrib.
attrib() {  # FLAG UNIXPATH
  "$WINE" cmd /c attrib "$1" "$(win_path "$2")" >/dev/null 2>&1 </dev/null || die "attrib $1 $2 failed"
}

# Ends the programs this scenario started and still runs; removes nothing.
cleanup() {
  local entry
  for entry in "${STARTED[@]}"; do
    q kill "${entry%% *}" --image "${entry#* }" >/dev/null
  done
}
trap cleanup EXIT
