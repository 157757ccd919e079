# The distribution of files: every source goes to every destination of the list, in the list's
# order, source after source (A to D1, A to D2, B to D1, B to D2). A destination written with a
# trailing backslash gives one backslash in the target, an existing target is replaced, and a
# destination that does not exist is skipped, created nowhere, and named in the window's note. A
# copy that fails stops the run at once: the box "Error received: N", the window "Incomplete";
# what was copied stays, what comes after is not touched. The status line shows the end in large
# bold letters, blue when complete, red when halted.
source "$(dirname "$0")/lib.sh"

# ----- Cases -----

begin_case "two sources to two destinations: every copy made, the labels show the last one"
new_dist_folder
T=$SCRATCH/order
mkdir -p "$T/src" "$T/d1" "$T/d2"
printf 'alpha\r\n' >"$T/src/A.txt"
printf 'bravo\x00\xff\r\n' >"$T/src/B.dat"
write_list "Both" "$(win_path "$T/d1")" "$(win_path "$T/d2")"
distribute "$(win_path "$T/src/A.txt") $(win_path "$T/src/B.dat")" 1
assert_finished
assert_status_drawn 0000ff taller
assert_eq "label 3002 (the last source)" "$(win_path "$T/src/B.dat")" "$(q text "$WINDOW" 3002)"
assert_eq "label 3004 (the last target)" "$(win_path "$T/d2")\\B.dat" "$(q text "$WINDOW" 3004)"
assert_eq "note hidden" "0" "$(q visible "$WINDOW" 3010)"
# Placed before the run at 100, 100 twips, 6030 x 2070 twips for the frame: pixels at 96 DPI.
assert_eq "the window's frame" "7 7 402 138" "$(q frame "$WINDOW")"
for d in d1 d2; do
  assert_bytes "$T/$d/A.txt" 'alpha\r\n'
  assert_bytes "$T/$d/B.dat" 'bravo\x00\xff\r\n'
  assert_eq "files of $d" "A.txt
B.dat" "$(tree "$T/$d")"
done
end_by_button

begin_case "a destination with a trailing backslash, and a target that exists: replaced"
new_dist_folder
T=$SCRATCH/replace
mkdir -p "$T/src" "$T/d1" "$T/d2"
printf 'new content\r\n' >"$T/src/A.txt"
printf 'old content that is longer than the new one\r\n' >"$T/d1/A.txt"
printf 'kept\r\n' >"$T/d1/other.txt"
write_list "Slash" "$(win_path "$T/d1")\\" "$(win_path "$T/d2")"
distribute "$(win_path "$T/src/A.txt")" 1
assert_finished
assert_eq "label 3004 (one backslash)" "$(win_path "$T/d2")\\A.txt" "$(q text "$WINDOW" 3004)"
assert_bytes "$T/d1/A.txt" 'new content\r\n'
assert_bytes "$T/d1/other.txt" 'kept\r\n'
assert_bytes "$T/d2/A.txt" 'new content\r\n'
assert_eq "files of d1" "A.txt
other.txt" "$(tree "$T/d1")"
end_by_button
# The trailing backslash alone, as the last label shows it.
new_dist_folder
write_list "Slash" "$(win_path "$T/d2")\\"
distribute "$(win_path "$T/src/A.txt")" 1
assert_finished
assert_eq "label 3004 of a destination with a trailing backslash" "$(win_path "$T/d2")\\A.txt" \
  "$(q text "$WINDOW" 3004)"
end_by_button

begin_case "a destination that does not exist: skipped, not created, named in the note"
new_dist_folder
T=$SCRATCH/skipped
mkdir -p "$T/src" "$T/d1" "$T/d3"
printf 'skip\r\n' >"$T/src/A.txt"
printf 'skip b\r\n' >"$T/src/B.txt"
missing=$(win_path "$T/missing")
write_list "Gap" "$(win_path "$T/d1")" "$missing" "$(win_path "$T/d3")"
distribute "$(win_path "$T/src/A.txt") $(win_path "$T/src/B.txt")" 1
assert_finished
assert_absent "$T/missing"
for d in d1 d3; do
  assert_bytes "$T/$d/A.txt" 'skip\r\n'
  assert_bytes "$T/$d/B.txt" 'skip b\r\n'
done
assert_eq "note" "1 1 Everything copied to 2 of 3 destinations.
Skipped 1 destination that does not exist: $missing" "$(control_state 3010 | tr -d '\r')"
end_by_button

begin_case "a read-only target at the second of three destinations: halted there"
new_dist_folder
T=$SCRATCH/halted
mkdir -p "$T/src" "$T/d1" "$T/d2" "$T/d3"
printf 'first source\r\n' >"$T/src/A.txt"
printf 'second source\r\n' >"$T/src/B.txt"
printf 'read-only\r\n' >"$T/d2/A.txt"
attrib +r "$T/d2/A.txt"
write_list "Three" "$(win_path "$T/d1")" "$(win_path "$T/d2")" "$(win_path "$T/d3")"
distribute "$(win_path "$T/src/A.txt") $(win_path "$T/src/B.txt")" 1
drive msgbox --pid "$PID" --title "Error received: 5"
box=$OUT
assert_eq "the box's first lines" \
  "The Quorvander Utility was unable to complete your request.  The system has returned this error:|" \
  "$(printf '%s\n' "$box" | sed -n 4,5p | paste -sd '|')"
check
[ -n "$(printf '%s\n' "$box" | sed -n 6p)" ] || fail "the box gives no description of the error"
assert_eq "caption while the box shows" "Distributing " "$(q caption "$(q windows "$PID" | awk -F'\t' '$2 == "Quorvander.Distribution" {print $1}')")"
drive click "$(printf '%s\n' "$box" | head -n 1)" OK
assert_halted
assert_bytes "$T/d1/A.txt" 'first source\r\n'
assert_bytes "$T/d2/A.txt" 'read-only\r\n'
assert_eq "files of d1" "A.txt" "$(tree "$T/d1")"
assert_eq "files of d2" "A.txt" "$(tree "$T/d2")"
assert_eq "files of d3" "" "$(tree "$T/d3")"
end_by_button

begin_case "a source file that does not exist: error 2, nothing copied"
new_dist_folder
T=$SCRATCH/nosource
mkdir -p "$T/src" "$T/d1"
printf 'later\r\n' >"$T/src/B.txt"
write_list "One" "$(win_path "$T/d1")"
distribute "$(win_path "$T/src/gone.txt") $(win_path "$T/src/B.txt")" 1
drive msgbox --pid "$PID" --title "Error received: 2"
drive click "$(printf '%s\n' "$OUT" | head -n 1)" OK
assert_halted
assert_status_drawn ff0000
assert_eq "files of d1" "" "$(tree "$T/d1")"
end_by_button

finish
