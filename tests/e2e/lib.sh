# Sourced by every end-to-end scenario. The test registration gives the paths (QUORVANDER_EXE,
# QDRIVE_EXE, QUORVANDER_EULA, E2E_SCRATCH); scripts/test gives the display and the Wine prefix.
# A scenario runs its cases in fresh program folders under its own scratch folder, checks with
# the assert_* functions below (a failed check is counted and the scenario goes on; `die` ends it
# at once), and ends with `finish`.
set -uo pipefail
: "${QUORVANDER_EXE:?}" "${QDRIVE_EXE:?}" "${QUORVANDER_EULA:?}" "${E2E_SCRATCH:?}" "${WINEPREFIX:?}"
WINE=${WINE:-/usr/lib/wine/wine64}
TEST_NAME=e2e.$(basename "$0" .sh)
SCRATCH=$E2E_SCRATCH/$(basename "$0" .sh)
FOLDERS=0
STARTED=()   # the process ids of the programs this scenario started
rm -rf "$SCRATCH"
mkdir -p "$SCRATCH"

CASE=
CHECKS=0
FAILURES=0

# ----- Reporting -----

begin_case() {
  CASE=$1
  printf -- '--- %s\n' "$CASE"
}

fail() {
  FAILURES=$((FAILURES + 1))
  printf 'FAIL [%s]: %s\n' "$CASE" "$*"
}

check() { CHECKS=$((CHECKS + 1)); }

# Ends the test at once: a step failed that the rest depends on.
die() {
  printf 'FAIL [%s]: %s\n' "$CASE" "$*"
  on_die
  printf '%s: FAILED (stopped in "%s")\n' "$TEST_NAME" "$CASE"
  exit 1
}

finish() {
  if [ "$FAILURES" -eq 0 ]; then
    printf '%s: passed (%d checks)\n' "$TEST_NAME" "$CHECKS"
    exit 0
  fi
  printf '%s: FAILED (%d of %d checks)\n' "$TEST_NAME" "$FAILURES" "$CHECKS"
  exit 1
}

# ----- Assertions -----

assert_eq() {  # WHAT EXPECTED ACTUAL
  check
  [ "$2" == "$3" ] || fail "$1: expected [$2], got [$3]"
}

assert_file() {
  check
  [ -f "$1" ] || fail "expected the file $1"
}

# ----- The driver -----

# Runs qdrive; prints its output (CR stripped), returns its status. Its complaints go to stderr,
# and a failure without a word of its own (the process broke) is named there too.
q() {
  local out rc errors
  errors=$(mktemp)
  out=$("$WINE" "$QDRIVE_EXE" "$@" 2>"$errors")
  rc=$?
  cat "$errors" >&2
  [ $rc -eq 0 ] || [ -s "$errors" ] || printf 'qdrive %s: ended with status %d and no message\n' "$1" $rc >&2
  rm -f "$errors"
  out=${out//$'\r'/}
  [ -z "$out" ] || printf '%s\n' "$out"
  return $rc
}

# Runs qdrive for a step the test needs; its output goes to OUT. Ends the test on failure.
drive() {
  OUT=$(q "$@") || die "qdrive $* failed"
}

# Waits (up to SECONDS, 5 unless given) for the window to be gone.
await_gone() {  # HWND WHAT [SECONDS]
  local deadline=$((SECONDS + ${3:-5}))
  while q caption "$1" >/dev/null 2>&1; do
    [ "$SECONDS" -lt "$deadline" ] || die "$2 did not close"
    sleep 0.1
  done
}

# A unix path as Windows programs take it (Z:\ is the unix root).
win_path() { printf 'Z:%s\n' "${1//\//\\}"; }

# Shown when a step fails: the program's message box, if one is up.
on_die() { [ -z "${PID:-}" ] || q msgbox --pid "$PID" --timeout 0 2>/dev/null | sed '1s/^/message box /'; }

# The file holds exactly these bytes (a printf format: \r\n and \xNN may be written).
assert_bytes() {  # PATH FORMAT
  check
  [ "$(od -An -c "$1" 2>&1)" == "$(printf -- "$2" | od -An -c)" ] || fail "$1 holds other bytes: $(od -An -c "$1" 2>&1)"
}

# A list file's text holding these lines, as a printf format.
list_format() { local line; for line in "$@"; do line=${line//\\/\\\\}; printf '%s\\r\\n' "${line//%/%%}"; done; }

# Every file and folder under FOLDER, relative, sorted, on one line (folders end with /).
tree() { (cd "$1" && find . -mindepth 1 \( -type d -printf '%P/\n' -o -printf '%P\n' \) | LC_ALL=C sort | paste -sd ' '); }

# Waits (up to 5 s) for the output of COMMAND to be EXPECTED, then checks it.
await_eq() {  # WHAT EXPECTED COMMAND...
  local what=$1 expected=$2 actual deadline=$((SECONDS + 5))
  shift 2
  until actual=$("$@" 2>/dev/null); [ "$actual" == "$expected" ] || [ "$SECONDS" -ge "$deadline" ]; do sleep 0.1; done
  assert_eq "$what" "$expected" "$actual"
}

# ----- The program -----

# A fresh program folder PROGRAM (P in Windows' form; a blank in its name) with KELVARON.EXE and
# EULA.TXT, and the path of its lists folder, LISTS.
new_program_folder() {
  FOLDERS=$((FOLDERS + 1))
  PROGRAM="$SCRATCH/program $FOLDERS"
  LISTS="$PROGRAM/Distribution Lists"
  P=$(win_path "$PROGRAM")
  mkdir -p "$PROGRAM"
  cp "$QUORVANDER_EXE" "$PROGRAM/KELVARON.EXE"
  cp "$QUORVANDER_EULA" "$PROGRAM/EULA.TXT"
}

# Starts KELVARON.EXE with this command-line tail in the program folder (or START_DIR): PID.
start_program() {
  local line="\"$P\\KELVARON.EXE\"${1:+ $1}"
  PID=$(q start --dir "$(win_path "${START_DIR:-$PROGRAM}")" "$line") || die "could not start $line"
  STARTED+=("$PID")
}

# Waits for the program's window with this caption: WINDOW.
wait_window() { drive wait-window --pid "$PID" --title "$1"; WINDOW=$OUT; }

assert_no_window() {  # CAPTION
  check
  if q wait-window --pid "$PID" --title "$1" --timeout 0 >/dev/null 2>&1; then fail "a window [$1] is shown"; fi
}

assert_no_message_box() {
  check
  local box
  if box=$(q msgbox --pid "$PID" --timeout 0 2>/dev/null); then fail "a message box is open: ${box//$'\n'/|}"; fi
}

# Closes WINDOW as the close box does and checks that the program ends with 0.
close_program() {
  drive close "$WINDOW" --await-exit "$PID"
  assert_eq "exit code after the close box" 0 "$OUT"
}

# Waits for the program's message box TITLE, checks its buttons and its text (lines joined by |;
# the first lines only, when it has more), then clicks BUTTON.
answer_box() {  # TITLE BUTTONS TEXT BUTTON
  drive msgbox --pid "$PID" --title "$1"
  local box=${OUT%%$'\n'*} lines
  lines=$(printf '%s\n' "$OUT" | sed -n '4,$p' | paste -sd '|')
  assert_eq "buttons of the box [$1]" "$2" "$(printf '%s\n' "$OUT" | sed -n 3p)"
  assert_eq "text of the box [$1]" "$3" "${lines:0:${#3}}"
  drive click "$box" "$4"
  await_gone "$box" "the box [$1]"
}

# ----- The list editor and the destination picker -----

# A fresh program folder with these sub-folders, and the list editor started in it: EDITOR.
open_editor() {  # SUBFOLDER...
  new_program_folder
  local folder
  for folder in "$@"; do mkdir -p "$PROGRAM/$folder"; done
  start_program ""
  wait_window "Quorvander"
  EDITOR=$WINDOW
}

# File, New List, named NAME.
new_list() { drive command "$EDITOR" 1101; drive input "New Destination List" 102 "$1" --pid "$PID"; }

# Two round trips through the editor's thread: what was posted to it before has been handled.
settle() { q caption "$EDITOR" >/dev/null && q caption "$EDITOR" >/dev/null; }

# Clicks Add Dest. and waits for the picker: PICKER.
open_picker() {
  drive click "$EDITOR" 1001
  drive wait-window --pid "$PID" --title "Add Destination Location"
  PICKER=$OUT
}

# Clicks Finished and waits until the picker is gone and the editor has saved.
close_picker() { drive click "$PICKER" 2005; await_gone "$PICKER" "the picker"; settle; }

# ----- The distribution window -----

# A program folder with an empty lists folder; the list NAME.qvl of these destinations.
new_dist_folder() { new_program_folder; mkdir "$LISTS"; }
write_list() { local name=$1; shift; printf -- "$(list_format "$@")" >"$LISTS/$name.qvl"; }

# Starts the program with this command-line tail and chooses element N (from 1) of the list pop-up.
distribute() { start_program "$1"; drive menu "$2" --pid "$PID"; }

# The end state CAPTION as drawn: the run's labels shown but disabled; the status line STATUS in
# COLOUR (RRGGBB) and in bold at 12 points: strokes two pixels wide at the least (a normal face,
# or a smaller one, draws them one pixel wide); the button BUTTON.
assert_end_state() {  # CAPTION STATUS COLOUR BUTTON
  wait_window "$1"
  local id
  for id in 3001:0 3002:0 3003:0 3004:0 3005:1 3006:1; do
    assert_eq "control ${id%:*}: shown, enabled" "1 ${id#*:}" "$(q visible "$WINDOW" ${id%:*}) $(q enabled "$WINDOW" ${id%:*})"
  done
  assert_eq "the status line and the button" "$2|$4" "$(q text "$WINDOW" 3006)|$(q text "$WINDOW" 3005)"
  await_eq "the status line's colour" "$3" eval 'q ink "$WINDOW" 3006 | cut -d" " -f1'
  check
  [ "$(q ink "$WINDOW" 3006 | cut -d' ' -f2)" -ge 2 ] || fail "the status line's strokes are one pixel wide: not bold at 12 points"
}
assert_finished() { assert_end_state "Finished" "Distribution Complete" 0000ff "OK"; }
assert_halted() { assert_end_state "Incomplete" "Distribution Halted" ff0000 "EXIT"; }

# Clicks the window's button (Cancel, OK or EXIT) and checks that the program ends with 0.
end_by_button() {
  drive click "$WINDOW" 3005 --await-exit "$PID"
  assert_eq "exit code after the button" 0 "$OUT"
}

# Ends the programs this scenario started and still runs.
cleanup() { local pid; for pid in "${STARTED[@]}"; do q kill "$pid" --image KELVARON.EXE; done; }
trap cleanup EXIT
