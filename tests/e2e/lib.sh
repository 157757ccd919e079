# Sourced by every end-to-end scenario: it starts the real KELVARON.EXE in fresh program folders
# and drives it through qdrive.exe. A failed check is counted and the scenario goes on; `die` ends
# it at once, showing the program's message box if one is up.
set -uo pipefail
: "${QUORVANDER_EXE:?}" "${QDRIVE_EXE:?}" "${QUORVANDER_EULA:?}" "${E2E_SCRATCH:?}" "${WINEPREFIX:?}"
WINE=${WINE:-/usr/lib/wine/wine64}
NAME=$(basename "$0" .sh)
SCRATCH=$E2E_SCRATCH/$NAME
FOLDERS=0 FAILURES=0 PID=
rm -rf "$SCRATCH" && mkdir -p "$SCRATCH"

begin_case() { CASE=$1; printf -- '--- %s\n' "$CASE"; }
fail() { FAILURES=$((FAILURES + 1)); printf 'FAIL [%s]: %s\n' "$CASE" "$*"; }
finish() { echo "e2e.$NAME: $([ $FAILURES -eq 0 ] && echo passed || echo "FAILED ($FAILURES)")"; exit $((FAILURES > 0)); }
assert_eq() { [ "$2" == "$3" ] || fail "$1: expected [$2], got [$3]"; }  # WHAT EXPECTED ACTUAL
die() { fail "$*"; [ -z "$PID" ] || q msgbox --pid "$PID" --timeout 0 2>/dev/null | sed '1s/^/the box up: /'; exit 1; }
# Runs qdrive: its output without CR, its status. `drive`: a step the test needs, its output in OUT.
q() { local out rc; out=$("$WINE" "$QDRIVE_EXE" "$@"); rc=$?; [ -z "$out" ] || printf '%s\n' "${out//$'\r'/}"; return $rc; }
drive() { OUT=$(q "$@") || die "qdrive $* failed"; }
win_path() { printf 'Z:%s\n' "${1//\//\\}"; }
files() { (cd "$1" && ls -A | LC_ALL=C sort | paste -sd ' '); }

await_eq() {  # WHAT EXPECTED COMMAND...: waits (up to 5 s) for the output of COMMAND to be EXPECTED, then checks it
  local actual deadline=$((SECONDS + 5))
  until actual=$("${@:3}" 2>/dev/null); [ "$actual" == "$2" ] || [ $SECONDS -ge $deadline ]; do sleep 0.1; done
  assert_eq "$1" "$2" "$actual"
}

new_program_folder() {  # PROGRAM (P in Windows' form; a blank in its name), its lists folder LISTS
  PROGRAM="$SCRATCH/program $((++FOLDERS))" && LISTS="$PROGRAM/Distribution Lists" && P=$(win_path "$PROGRAM")
  mkdir -p "$PROGRAM" && cp "$QUORVANDER_EXE" "$PROGRAM/KELVARON.EXE" && cp "$QUORVANDER_EULA" "$PROGRAM/EULA.TXT"
}
write_list() { local name=$1; shift; printf '%s\r\n' "$@" >"$LISTS/$name.qvl"; }  # NAME DESTINATION...

# Starts KELVARON.EXE with this command-line tail, in the program folder or START_DIR: PID. Ends
# it through WINDOW: by the close box, or `click ID`, or `key enter|esc`; it ends with CODE (0).
start_program() { PID=$(q start --dir "$(win_path "${START_DIR:-$PROGRAM}")" "\"$P\\KELVARON.EXE\"${1:+ $1}") || die "no start"; }
wait_window() { drive wait-window --pid "$PID" --title "$1"; WINDOW=$OUT; }
open_editor() { start_program; wait_window "Quorvander"; }  # no command line: the list editor
end_program() { drive "${1:-close}" "$WINDOW" "${@:2}" --await-exit "$PID"; assert_eq "exit code" "${CODE:-0}" "$OUT"; }

answer_box() {  # TITLE BUTTONS TEXT HOW...: checks the box's buttons, its text's start (lines joined by |); answers it
  drive msgbox --pid "$PID" --title "$1"
  local box=${OUT%%$'\n'*} text
  text=$(sed -n '4,$p' <<<"$OUT" | paste -sd '|')
  assert_eq "the box [$1]" "$2|$3" "$(sed -n 3p <<<"$OUT")|${text:0:${#3}}"
  drive "$4" "$box" "${@:5}"
  await_eq "the box [$1] gone" "" q caption "$box"
}

# The end state CAPTION as drawn: the run's labels shown but disabled, the button BUTTON, the status
# line STATUS in COLOUR (RRGGBB) and bold at 12 points: strokes two pixels wide (else one).
assert_end_state() {  # CAPTION STATUS COLOUR BUTTON
  wait_window "$1"
  assert_eq "the labels shown, disabled; the status line; the button" "1 0|1 0|1 0|1 0|1 1 $2|1 1 $4" \
    "$(for id in 3001 3002 3003 3004; do q control "$WINDOW" $id | cut -c1-3; done | paste -sd '|')|$(q control "$WINDOW" 3006)|$(q control "$WINDOW" 3005)"
  await_eq "the status line's colour" "$3" eval 'q ink "$WINDOW" 3006 | cut -d" " -f1'
  [ "$(q ink "$WINDOW" 3006 | cut -d' ' -f2)" -ge 2 ] || fail "the status line's strokes are one pixel wide: not bold at 12 points"
}

cleanup() {  # ends the programs of this Wine prefix left running that name the scratch folder
  local proc scratch="Z:${SCRATCH//\//\\}"
  for proc in /proc/[0-9]*; do
    grep -qziF "$scratch" "$proc/cmdline" && grep -qzxF "WINEPREFIX=$WINEPREFIX" "$proc/environ" && kill "${proc#/proc/}"
  done
} 2>/dev/null
trap cleanup EXIT
