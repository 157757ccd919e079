# Ending the program: Cancel during the copy of a large file ends it within a moment and leaves
# no partial file, neither under the target's name nor as a temporary file; the close box does
# what Cancel does.
source "$(dirname "$0")/lib.sh"

# ----- Cases -----

T=$SCRATCH/large
mkdir -p "$T/src"
head -c 2G /dev/zero >"$T/src/big.bin"
printf 'end\n' >>"$T/src/big.bin"
for way in "Cancel" "the close box"; do
  begin_case "$way during the copy of a large file: the program ends at once, no partial file"
  new_dist_folder
  destinations=()
  for i in 1 2; do
    rm -rf "$T/d$i"
    mkdir -p "$T/d$i"
    destinations+=("$(win_path "$T/d$i")")
  done
  printf 'other\r\n' >"$T/d1/other.txt"
  write_list "Two" "${destinations[@]}"
  distribute "$(win_path "$T/src/big.bin")" 1
  wait_window "Distributing "
  # The click lands while the first copy is under way: its temporary file is there.
  deadline=$((SECONDS + 5))
  until compgen -G "$T/d1/~kelvaron-*.tmp" >/dev/null || [ "$SECONDS" -ge "$deadline" ]; do sleep 0.01; done
  started=$(date +%s%N)
  if [ "$way" = Cancel ]; then
    drive click "$WINDOW" 3005 --await-exit "$PID" --timeout 20000
  else
    drive close "$WINDOW" --await-exit "$PID" --timeout 20000
  fi
  elapsed=$((($(date +%s%N) - started) / 1000000))
  assert_eq "exit code" 0 "$OUT"
  check
  [ "$elapsed" -lt 1500 ] || fail "the program took $elapsed ms to end after $way"
  # The click lands in the first copy (two gigabytes: about two thirds of a second here) or, on a
  # busy machine, in the second: a copy made is whole, the one under way leaves nothing.
  if [ -e "$T/d1/big.bin" ]; then
    assert_eq "size of the copy in d1" "$(stat -c %s "$T/src/big.bin")" "$(stat -c %s "$T/d1/big.bin")"
    rm "$T/d1/big.bin"
  fi
  assert_eq "files of d1" "other.txt" "$(tree "$T/d1")"
  assert_eq "files of d2" "" "$(tree "$T/d2")"
  printf 'the program ended %d ms after %s\n' "$elapsed" "$way"
done
rm -rf "$T"

begin_case "the close box with the list pop-up dismissed ends the program"
new_dist_folder
T=$SCRATCH/close
mkdir -p "$T/src" "$T/d1"
printf 'close\r\n' >"$T/src/a.txt"
write_list "One" "$(win_path "$T/d1")"
distribute "$(win_path "$T/src/a.txt")" esc
wait_window "Distributing "
close_program
assert_eq "exit code" 0 "$EXIT_CODE"
assert_eq "files of d1" "" "$(tree "$T/d1")"

begin_case "the close box of the finished window ends the program"
new_dist_folder
write_list "One" "$(win_path "$T/d1")"
distribute "$(win_path "$T/src/a.txt")" 1
assert_finished
close_program
assert_eq "exit code" 0 "$EXIT_CODE"
assert_bytes "$T/d1/a.txt" 'close\r\n'

finish
