# The distribution window: the list pop-up offers the lists by name, letter case ignored; the
# labels end on the last copy; the end states in large bold letters, blue when complete, red when
# halted; the boxes in the program's own words; Cancel, the close box and Esc end the program at
# once, a copy under way leaving no partial file. What goes where is DistributionRun's.
source "$(dirname "$0")/lib.sh"

T=$SCRATCH/files
mkdir -p "$T/src/Alpha" "$T/d1" "$T/d2" "$T/alpha" "$T/gamma"
printf 'a\r\n' | tee "$T/src/A.txt" >"$T/src/B.dat"
S=$(win_path "$T/src")
distribute() { start_program "$1"; drive menu 1 --pid "$PID"; }  # SOURCES to the pop-up's first list

begin_case "no list: the box 'Nothing To Do!', then the end"
new_program_folder && mkdir "$LISTS"
start_program "$S\\A.txt"
answer_box "Nothing To Do!" "1=OK" \
  "You have not created any distribution lists.  Please create one prior to attempting a distribution." click 1 --await-exit "$PID"
assert_eq "exit code" 2 "$OUT"

begin_case "a source that does not exist: the error box, the halted state; Esc ends"
write_list One "$(win_path "$T/alpha")"
distribute "$S\\gone.txt"
answer_box "Error received: 2" "1=OK" \
  "The Quorvander Utility was unable to complete your request.  The system has returned this error:|" click 1
assert_end_state "Incomplete" "Distribution Halted" ff0000 "EXIT"
CODE=1 end_program key esc

begin_case "a folder on a UNC path: Enter on the question is Yes; the box, the run refused"
distribute "$S\\Alpha \\\\server\\share\\folder"
answer_box "File or Directory" "6=Yes	7=No" "is '$S\\Alpha \\\\server\\share\\folder' a Directory?" key enter
answer_box "Quorvander Utility" "1=OK" "although you can distribute individual files from a UNC path, you need to map a drive to the desired network location in order to distribute a folder." click 1
wait_window "Distributing "
assert_eq "the status on control 3003" "1 1 Distribution Halted" "$(q control "$WINDOW" 3003)"
CODE=2 end_program click 3005

begin_case "the lists Alpha, beta, Gamma, Alpha deleted while the pop-up shows: the box; on the menu bar the second, beta: a file to two destinations, the labels on the last copy; Enter ends"
rm "$LISTS/One.qvl"
write_list Gamma "$(win_path "$T/gamma")"
write_list Alpha "$(win_path "$T/alpha")"
write_list beta "$(win_path "$T/d1")" "$(win_path "$T/d2")\\"
start_program "$S\\B.dat"   # the second copy comes within 50 ms of the first: the labels show it at the end only
drive wait-window --pid "$PID" --class "#32768"
rm "$LISTS/Alpha.qvl"
drive menu 1 --pid "$PID"
answer_box "Quorvander Utility" "1=OK" "A Valid Distribution list was not found.  Please run this application from the Start Menu first, create a distribution list, then attempt this action again." click 1
wait_window "Distributing "
drive command "$WINDOW" 4001   # beta
assert_end_state "Finished" "Distribution Complete" 0000ff "OK"
assert_eq "the labels" "$S\\B.dat|$(win_path "$T/d2")\\B.dat" "$(q control "$WINDOW" 3002 | cut -c5-)|$(q control "$WINDOW" 3004 | cut -c5-)"
assert_eq "files of d1, d2, alpha, gamma" "B.dat|B.dat||" "$(files "$T/d1")|$(files "$T/d2")|$(files "$T/alpha")|$(files "$T/gamma")"
assert_eq "the progress" "1 1 2 of 2 files, 6 bytes of 6 bytes" "$(q control "$WINDOW" 3012)"
end_program key enter

begin_case "/quiet /list: no window and no box, its exit code and a line for each destination in the record; an unknown list without /quiet: the box"
start_program "/quiet /list BETA \"$S\\A.txt\""
drive wait --await-exit "$PID"
assert_eq "exit code" 0 "$OUT"
assert_eq "files of d1, d2" "A.txt B.dat|A.txt B.dat" "$(files "$T/d1")|$(files "$T/d2")"
assert_eq "the record's lines for A.txt" 2 "$(grep -c 'A\.txt",".*",Complete,1,3,' "$LISTS/Distribution Record.csv")"
start_program "/list nonesuch \"$S\\A.txt\""
answer_box "Quorvander Utility" "1=OK" "There is no distribution list named \"nonesuch\"" click 1 --await-exit "$PID"
assert_eq "exit code" 2 "$OUT"

# A file of two gigabytes: its copy takes long enough for the click to land in it.
head -c 2G /dev/zero >"$T/src/big.bin"
for way in "Cancel:click 3005" "the close box:close"; do
  begin_case "${way%:*} during the copy of a large file: the program ends at once, no partial file"
  rm -rf "$T/d1"/* "$T/d2"/*
  printf 'other\r\n' >"$T/d1/other.txt"
  distribute "$S\\big.bin"   # beta: d1, d2
  wait_window "Distributing "
  await_eq "a temporary in d1: the copy under way" 0 eval 'compgen -G "$T/d1/~kelvaron-*.tmp" >/dev/null; echo $?'
  started=$(date +%s%N)
  CODE=1 end_program ${way#*:} --timeout 20000
  elapsed=$((($(date +%s%N) - started) / 1000000))
  # A copy run to its end takes several seconds more. The click lands in the first copy or, on a
  # busy machine, in the second: a copy made is whole, the one under way leaves nothing.
  [ $elapsed -lt 5000 ] || fail "the program took $elapsed ms to end after ${way%:*}"
  [ ! -e "$T/d1/big.bin" ] || { assert_eq "size of the copy in d1" 2147483648 "$(stat -c %s "$T/d1/big.bin")"; rm "$T/d1/big.bin"; }
  assert_eq "files of d1, d2" "other.txt|" "$(files "$T/d1")|$(files "$T/d2")"
done
rm -f "$T/src/big.bin"

finish
