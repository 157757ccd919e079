# The distribution of folders through the window: the folder goes with its own name into every
# destination (D\NAME\...), hidden and system entries left out, target folders that exist reused,
# and the note accounts for every destination. A folder on a UNC path is refused before anything
# is copied. The walk's rules (order, links, a destination inside the source) are the run's unit
# tests'.
source "$(dirname "$0")/lib.sh"

# ----- Helpers of this scenario -----

# Yes to the question of the program's folder sources.
answer_yes() { answer_box "File or Directory" "6=Yes	7=No" "is '$1' a Directory?" YES; }

# The refused state: the run's labels hidden, the status line on label 3003, OK.
assert_refused() {
  local id
  for id in 3001 3002 3004; do assert_eq "label $id hidden" "0" "$(q visible "$WINDOW" $id)"; done
  assert_eq "label 3003" "1 Distribution Halted" "$(q visible "$WINDOW" 3003) $(q text "$WINDOW" 3003)"
  assert_eq "button" "1 1 OK" "$(control_state 3005)"
}

# ----- Cases -----

begin_case "a tree into two destinations: hidden and system left out, targets reused, a gap skipped"
new_dist_folder
T=$SCRATCH/tree
P=$T/src/Proj
mkdir -p "$P/sub1/deep" "$P/sub2" "$P/empty" "$P/hid" "$P/sysd" "$T/d1" "$T/d2/Proj/sub1"
printf 'a\r\n' >"$P/a.txt"
printf 'b\r\n' >"$P/sub1/b.txt"
printf 'c\x00\r\n' >"$P/sub1/deep/c.txt"
printf 'd\r\n' >"$P/sub2/d.txt"
printf 'hidden\r\n' >"$P/h.txt"
printf 'system\r\n' >"$P/s.txt"
printf 'hidden too\r\n' >"$P/sub1/hf.txt"
printf 'x\r\n' >"$P/hid/x.txt"
printf 'y\r\n' >"$P/sysd/y.txt"
attrib +h "$P/h.txt"
attrib +s "$P/s.txt"
attrib +h "$P/sub1/hf.txt"
attrib +h "$P/hid"
attrib +s "$P/sysd"
printf 'old a, longer than the new\r\n' >"$T/d2/Proj/a.txt"
printf 'keep\r\n' >"$T/d2/Proj/keep.txt"
printf 'keep too\r\n' >"$T/d2/Proj/sub1/keep.txt"
missing=$(win_path "$T/missing")
write_list "Three" "$(win_path "$T/d1")" "$missing" "$(win_path "$T/d2")\\"
distribute "$(win_path "$P")" 1
answer_yes "$(win_path "$P")"
assert_finished
assert_eq "note" "1 1 Everything copied to 2 of 3 destinations.
Skipped 1 destination that does not exist: $missing" "$(control_state 3010 | tr -d '\r')"
assert_absent "$T/missing"
assert_eq "tree of d1" "Proj/
Proj/a.txt
Proj/empty/
Proj/sub1/
Proj/sub1/b.txt
Proj/sub1/deep/
Proj/sub1/deep/c.txt
Proj/sub2/
Proj/sub2/d.txt" "$(tree "$T/d1")"
assert_eq "tree of d2" "Proj/
Proj/a.txt
Proj/empty/
Proj/keep.txt
Proj/sub1/
Proj/sub1/b.txt
Proj/sub1/deep/
Proj/sub1/deep/c.txt
Proj/sub1/keep.txt
Proj/sub2/
Proj/sub2/d.txt" "$(tree "$T/d2")"
for d in d1 d2; do
  assert_bytes "$T/$d/Proj/a.txt" 'a\r\n'
  assert_bytes "$T/$d/Proj/sub1/deep/c.txt" 'c\x00\r\n'
  assert_bytes "$T/$d/Proj/sub2/d.txt" 'd\r\n'
done
assert_bytes "$T/d2/Proj/keep.txt" 'keep\r\n'
end_by_button

begin_case "a read-only target inside the tree: halted there, top-down; later parts untouched"
new_dist_folder
T=$SCRATCH/halted
P=$T/src/Proj
mkdir -p "$P/sub1/deep" "$P/sub2" "$T/d1/Proj/sub1" "$T/d2"
printf 'a\r\n' >"$P/a.txt"
printf 'b\r\n' >"$P/sub1/b.txt"
printf 'c\r\n' >"$P/sub1/deep/c.txt"
printf 'd\r\n' >"$P/sub2/d.txt"
printf 'read-only\r\n' >"$T/d1/Proj/sub1/b.txt"
attrib +r "$T/d1/Proj/sub1/b.txt"
write_list "Two" "$(win_path "$T/d1")" "$(win_path "$T/d2")"
distribute "$(win_path "$P")\\" 1   # written with a trailing backslash
answer_yes "$(win_path "$P")\\"
drive msgbox --pid "$PID" --title "Error received: 5"
assert_eq "the box's first lines" \
  "The Quorvander Utility was unable to complete your request.  The system has returned this error:|" \
  "$(printf '%s\n' "$OUT" | sed -n 4,5p | paste -sd '|')"
drive click "$(printf '%s\n' "$OUT" | head -n 1)" OK
assert_halted
assert_eq "tree of d1" "Proj/
Proj/a.txt
Proj/sub1/
Proj/sub1/b.txt" "$(tree "$T/d1")"
assert_bytes "$T/d1/Proj/sub1/b.txt" 'read-only\r\n'
assert_eq "tree of d2" "" "$(tree "$T/d2")"
assert_eq "note" "1 1 Everything copied to 0 of 2 destinations.
Failed at $(win_path "$T/d1"): error 5 writing $(win_path "$T/d1/Proj/sub1/b.txt")
Unfinished, the run halted first: 1 destination: $(win_path "$T/d2")" "$(control_state 3010 | tr -d '\r')"
end_by_button

begin_case "a folder on a UNC path: refused, nothing copied"
new_dist_folder
T=$SCRATCH/unc
mkdir -p "$T/src/Local" "$T/d1"
printf 'l\r\n' >"$T/src/Local/l.txt"
write_list "One" "$(win_path "$T/d1")"
L=$(win_path "$T/src/Local")
distribute "$L \\\\server\\share\\folder" 1
answer_yes "$L \\\\server\\share\\folder"
answer_box "Quorvander Utility" "1=OK" \
  "although you can distribute individual files from a UNC path, you need to map a drive to the desired network location in order to distribute a folder." \
  OK
wait_window "Distributing "
assert_refused
assert_eq "tree of d1" "" "$(tree "$T/d1")"
end_by_button

finish
