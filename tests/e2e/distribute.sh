# The distribution window: the list pop-up offers the lists of the lists folder by name, letter
# case ignored; every source goes to every destination, the labels showing the last copy; the
# end states are drawn in large bold letters, blue when complete, red when halted; the boxes say
# the program's own words. Cancel or the close box during a copy ends the program at once and
# leaves no partial file. What goes where in a run is the unit tests' (DistributionRun).
source "$(dirname "$0")/lib.sh"

T=$SCRATCH/files
mkdir -p "$T/src/Alpha/inner" "$T/src/Bravo" "$T/d1" "$T/d2" "$T/alpha" "$T/gamma"
printf 'a\r\n' >"$T/src/A.txt"
printf 'b\x00\xff\r\n' >"$T/src/B.dat"
printf 'i\r\n' >"$T/src/Alpha/inner/i.txt"
printf 'b\r\n' >"$T/src/Bravo/b.txt"

begin_case "no list: the box 'Nothing To Do!', then the end, no window shown"
new_dist_folder
printf 'Z:\\x\r\n' >"$LISTS/Old.txt"
mkdir "$LISTS/Folder.qvl"
start_program "$(win_path "$T/src/A.txt")"
drive msgbox --pid "$PID" --title "Nothing To Do!"
assert_eq "the box's text" \
  "You have not created any distribution lists.  Please create one prior to attempting a distribution." \
  "$(printf '%s\n' "$OUT" | sed -n '4,$p')"
assert_no_window "Distributing "
drive click "${OUT%%$'\n'*}" OK --await-exit "$PID"
assert_eq "exit code" 0 "${OUT##*$'\n'}"

begin_case "the second of the lists Alpha, beta, Gamma: two files to two destinations, the last copy shown"
new_dist_folder
write_list "Gamma" "$(win_path "$T/gamma")"
write_list "Alpha" "$(win_path "$T/alpha")"
write_list "beta" "$(win_path "$T/d1")" "$(win_path "$T/d2")\\"
distribute "$(win_path "$T/src/A.txt") $(win_path "$T/src/B.dat")" 2
assert_finished
assert_eq "label 3002 (the last source)" "$(win_path "$T/src/B.dat")" "$(q text "$WINDOW" 3002)"
assert_eq "label 3004 (the last target)" "$(win_path "$T/d2")\\B.dat" "$(q text "$WINDOW" 3004)"
for d in d1 d2; do
  assert_bytes "$T/$d/B.dat" 'b\x00\xff\r\n'
  assert_eq "files of $d" "A.txt B.dat" "$(tree "$T/$d")"
done
assert_eq "the other lists' destinations" "" "$(tree "$T/alpha")$(tree "$T/gamma")"
end_by_button

begin_case "a source that does not exist: the error box, the halted state"
new_dist_folder
write_list "One" "$(win_path "$T/alpha")"
distribute "$(win_path "$T/src/gone.txt")" 1
answer_box "Error received: 2" "1=OK" \
  "The Quorvander Utility was unable to complete your request.  The system has returned this error:|" OK
assert_halted
end_by_button

begin_case "no point in the sources: the question 'File or Directory'; Yes copies the folders"
new_dist_folder
rm -rf "$T/d1"/*
write_list "One" "$(win_path "$T/d1")"
A=$(win_path "$T/src/Alpha")
B=$(win_path "$T/src/Bravo")
distribute "$A   $B" 1
answer_box "File or Directory" "6=Yes	7=No" "is '$A $B' a Directory?" YES
assert_finished
assert_eq "tree of d1" "Alpha/ Alpha/inner/ Alpha/inner/i.txt Bravo/ Bravo/b.txt" "$(tree "$T/d1")"
end_by_button

begin_case "a folder on a UNC path: the box, and nothing copied"
new_dist_folder
write_list "One" "$(win_path "$T/alpha")"
distribute "$A \\\\server\\share\\folder" 1
answer_box "File or Directory" "6=Yes	7=No" "is '$A \\\\server\\share\\folder' a Directory?" YES
answer_box "Quorvander Utility" "1=OK" "although you can distribute individual files from a UNC path, you need to map a drive to the desired network location in order to distribute a folder." OK
wait_window "Distributing "
assert_eq "the status on label 3003" "1 Distribution Halted" "$(q visible "$WINDOW" 3003) $(q text "$WINDOW" 3003)"
assert_eq "tree of alpha" "" "$(tree "$T/alpha")"
end_by_button

begin_case "a list deleted while the pop-up shows: the box; the menu bar then chooses another"
new_dist_folder
rm -rf "$T/d1"/*
write_list "First" "$(win_path "$T/alpha")"
write_list "Second" "$(win_path "$T/d1")"
start_program "$(win_path "$T/src/A.txt")"
drive wait-window --pid "$PID" --class "#32768"
rm "$LISTS/First.qvl"
drive menu 1 --pid "$PID"
answer_box "Quorvander Utility" "1=OK" "A Valid Distribution list was not found.  Please run this application from the Start Menu first, create a distribution list, then attempt this action again." OK
wait_window "Distributing "
drive command "$WINDOW" 4001   # "Second"
assert_finished
assert_eq "what went where" "A.txt" "$(tree "$T/alpha")$(tree "$T/d1")"
end_by_button

# A file of two gigabytes: its copy takes long enough for the click to land in it.
head -c 2G /dev/zero >"$T/src/big.bin"
for way in "Cancel:click 3005" "the close box:close"; do
  begin_case "${way%:*} during the copy of a large file: the program ends at once, no partial file"
  new_dist_folder
  rm -rf "$T/d1"/* "$T/d2"/*
  printf 'other\r\n' >"$T/d1/other.txt"
  write_list "Two" "$(win_path "$T/d1")" "$(win_path "$T/d2")"
  distribute "$(win_path "$T/src/big.bin")" 1
  wait_window "Distributing "
  deadline=$((SECONDS + 5))   # till the first copy's temporary file is there: the copy is under way
  until compgen -G "$T/d1/~kelvaron-*.tmp" >/dev/null || [ "$SECONDS" -ge "$deadline" ]; do sleep 0.01; done
  started=$(date +%s%N)
  read -r verb button <<<"${way#*:}"
  drive "$verb" "$WINDOW" $button --await-exit "$PID" --timeout 20000
  elapsed=$((($(date +%s%N) - started) / 1000000))
  assert_eq "exit code" 0 "$OUT"
  check
  # A copy run to its end takes several seconds more; a busy machine may take a second or two.
  [ "$elapsed" -lt 5000 ] || fail "the program took $elapsed ms to end after ${way%:*}"
  # The click lands in the first copy or, on a busy machine, in the second: a copy made is whole,
  # the one under way leaves nothing.
  if [ -e "$T/d1/big.bin" ]; then
    assert_eq "size of the copy in d1" "$(stat -c %s "$T/src/big.bin")" "$(stat -c %s "$T/d1/big.bin")"
    rm "$T/d1/big.bin"
  fi
  assert_eq "files of d1 and d2" "other.txt" "$(tree "$T/d1")$(tree "$T/d2")"
done
rm -f "$T/src/big.bin"

finish
