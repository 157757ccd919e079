# A source that is deleted while the run is busy with the one before it: the run halts with "file
# not found" when it reaches it. What was copied before stays whole, and nothing cut short is left
# under a real name.
source "$(dirname "$0")/lib.sh"

DATA=$SCRATCH/data
OFFICES=("Office 1" "Office 2" "Office 3")
remove_big_files() { rm -f "$DATA/source/first.bin" "$DATA/Office "*/first.bin; }
trap 'cleanup; remove_big_files' EXIT

begin_case "the second source vanishes while the first is copied: error 2, the first's copies whole"
mkdir -p "$DATA/source" "$DATA/Office 1" "$DATA/Office 2" "$DATA/Office 3"
head -c $((300 * 1024 * 1024)) /dev/zero >"$DATA/source/first.bin"
printf 'the second source\r\n' >"$DATA/source/second.txt"
new_program_folder
mkdir -p "$PROGRAM/Distribution Lists"
# Three destinations: the first source's copies take long enough (about a second) for the second
# to be deleted before the run reaches it.
printf -- "$(list_format "$(win_path "$DATA/Office 1")" "$(win_path "$DATA/Office 2")" "$(win_path "$DATA/Office 3")")" \
  >"$PROGRAM/Distribution Lists/Office.qvl"
start_program "\"$(win_path "$DATA/source/first.bin")\" $(win_path "$DATA/source/second.txt")"
drive menu 1 --pid "$PID"
wait_window "Distributing "
rm "$DATA/source/second.txt"
# The deletion came in time only if the second source had not been copied yet.
check
for office in "${OFFICES[@]}"; do
  [ ! -e "$DATA/$office/second.txt" ] || fail "the second source was copied to $office before it was deleted: the test came too late"
done

# The box, while the copies go on for a while: a run that ends without one has not halted.
deadline=$((SECONDS + 60))
until box=$(q msgbox --pid "$PID" --timeout 500 2>/dev/null); do
  [ "$(q caption "$WINDOW")" != "Finished" ] || die "the run finished without halting on the vanished source"
  [ "$SECONDS" -lt "$deadline" ] || die "no message box within a minute"
done
check_error_box 2 "$box"
assert_halted

# Both copies of the first source are whole, and nothing else is there: no part of the second
# under its name, no temporary file.
size=$(stat -c %s "$DATA/source/first.bin")
for office in "${OFFICES[@]}"; do
  assert_eq "what $office holds" "first.bin" "$(ls -A "$DATA/$office")"
  assert_eq "the size of the copy in $office" "$size" "$(stat -c %s "$DATA/$office/first.bin" 2>/dev/null)"
  check
  cmp -s "$DATA/source/first.bin" "$DATA/$office/first.bin" || fail "the copy in $office differs from the source"
done
drive click "$WINDOW" 3005 --await-exit "$PID"

finish
