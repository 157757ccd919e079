# The platform's dialogs, menus and controls, through the probe program (tests/probe): what a
# person sees and does, and what each service gave the program (its log).
source "$(dirname "$0")/lib.sh"
: "${PROBE_EXE:?}"

# A fresh probe in a fresh folder, showing the folder $FOLDER; its log is $LOG.
start_probe() {
  new_program_folder
  cp "$PROBE_EXE" "$PROGRAM/platform_probe.exe"
  FOLDER="$PROGRAM/data"
  mkdir -p "$FOLDER/Beta" "$FOLDER/alpha" "$FOLDER/Gamma dir"
  printf 'x' >"$FOLDER/Office.qvl"
  LOG="$PROGRAM/probe.log"
  : >"$LOG"
  EXE=platform_probe.exe start_program "\"$(win_path "$LOG")\" \"$(win_path "$FOLDER")\""
  wait_window "Platform Probe"
}

# The last line of the probe's log, after waiting (up to 5 s) for it to have N lines.
log_line() {  # N
  local i
  for i in $(seq 1 50); do
    [ "$(wc -l <"$LOG")" -ge "$1" ] && break
    sleep 0.1
  done
  sed -n "${1}p" "$LOG"
}

begin_case "a message box: title, text broken at the CR, Yes and No, and the answer"
start_probe
assert_eq "first log line (the folder list at its start)" "folder $(win_path "$FOLDER")" "$(log_line 1)"
drive command "$WINDOW" 100
drive msgbox --pid "$PID" --title "Probe Question"
box=$OUT
assert_eq "the box's text, line by line" $'Line one\nLine two' "$(printf '%s\n' "$box" | tail -n +4)"
assert_eq "the box's buttons" $'6=Yes\t7=No' "$(printf '%s\n' "$box" | sed -n 3p | tr -d '&')"
drive click "$(printf '%s\n' "$box" | head -1)" NO
assert_eq "the answer No" "message 7" "$(log_line 2)"
drive command "$WINDOW" 100
drive msgbox --pid "$PID" --title "Probe Question"
drive click "$(printf '%s\n' "$OUT" | head -1)" YES
assert_eq "the answer Yes" "message 6" "$(log_line 3)"

begin_case "the text box: a typed answer, and a cancel giving nothing"
drive command "$WINDOW" 101
drive input "Probe Ask" 102 "Office 2"
assert_eq "typed answer" "ask [Office 2]" "$(log_line 4)"
drive command "$WINDOW" 101
drive wait-window --pid "$PID" --title "Probe Ask"
drive click "$OUT" CANCEL
assert_eq "cancelled" "ask []" "$(log_line 5)"

begin_case "the open-file dialog: a typed name in the initial folder, and a cancel"
drive command "$WINDOW" 102
drive open-file "New List.qvl" --pid "$PID" --title "Probe Open"
assert_eq "chosen file" "open [$(win_path "$FOLDER")\\New List.qvl] [New List.qvl]" "$(log_line 6)"
drive command "$WINDOW" 102
drive wait-window --pid "$PID" --title "Probe Open"
drive click "$OUT" CANCEL
assert_eq "cancelled" "open [] []" "$(log_line 7)"

begin_case "a pop-up menu: the chosen element's handler runs before the pop-up returns"
drive command "$WINDOW" 104   # elements Alpha, Office, Servers
drive command "$WINDOW" 103
drive menu 3 --pid "$PID"
assert_eq "handler of the third element" "chose 2 Servers" "$(log_line 8)"
assert_eq "then the pop-up returned" "popup returned" "$(log_line 9)"
drive command "$WINDOW" 103
drive menu esc --pid "$PID"
assert_eq "dismissed: no handler ran" "popup returned" "$(log_line 10)"
drive command "$WINDOW" 500
assert_eq "element 0 renamed, chosen from the menu bar" "chose 0 Alpha" "$(log_line 11)"

begin_case "the folder list: sorted sub-folders below the open folders; a double-click opens one"
drive items "$WINDOW" 11
rows=$(printf '%s\n' "$OUT" | sed 's/^ *//')
assert_eq "last rows: the sub-folders, sorted ignoring case" $'alpha\nBeta\nGamma dir' "$(printf '%s\n' "$rows" | tail -n 3)"
assert_eq "the open folder above them" "data" "$(printf '%s\n' "$rows" | tail -n 4 | head -1)"
count=$(printf '%s\n' "$rows" | wc -l)
drive dblclick "$WINDOW" 11 $((count - 2))   # "Beta", the next to last row
assert_eq "change event" "folder $(win_path "$FOLDER")\\Beta" "$(log_line 12)"
drive text "$WINDOW" 14
assert_eq "the label follows the folder list" "$(win_path "$FOLDER")\\Beta" "$OUT"

begin_case "a failure nobody handles: the standard error message, then the end with code 1"
q command "$WINDOW" 106 --await-exit "$PID" --timeout 20000 >"$SCRATCH/exit.txt" &
awaiting=$!
drive msgbox --pid "$PID" --title "Quorvander Utility"
box=$OUT
assert_eq "it names the number and the system's text" "1" \
  "$(printf '%s\n' "$box" | grep -c '^Error 5: Access')"
drive click "$(printf '%s\n' "$box" | head -1)" OK
wait "$awaiting"
assert_eq "exit code" "1" "$(tail -n 1 "$SCRATCH/exit.txt")"

finish
