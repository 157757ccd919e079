# The sources of the command line. The first must begin like X:\ or \\, else the window closes
# without a word and the program ends. A path in quotation marks is one source, without them.
# When no source holds a point, the box "File or Directory" asks whether they are folders: Yes
# copies folder trees, No copies them as files. Without the question, a source naming an existing
# folder is copied as a folder tree.
source "$(dirname "$0")/lib.sh"

# ----- Cases -----

for line in 'DOCS\A.TXT' 'C:' 'DOCS\A.TXT Z:\x\b.txt'; do
  begin_case "the first source [$line] is no absolute path: the program ends, nothing copied"
  new_dist_folder
  T=$SCRATCH/rejected
  rm -rf "$T"
  mkdir -p "$T/d1" "$PROGRAM/DOCS"
  printf 'relative\r\n' >"$PROGRAM/DOCS/A.TXT"   # there, in the program's current folder
  write_list "One" "$(win_path "$T/d1")"
  start_program "$line"
  drive menu 1 --pid "$PID" --await-exit "$PID" --timeout 5000
  assert_eq "exit code" 0 "$(printf '%s\n' "$OUT" | tail -n 1)"
  assert_eq "files of the destination" "" "$(tree "$T/d1")"
done

begin_case "paths in quotation marks, with blanks: one source each, without the marks"
new_dist_folder
T=$SCRATCH/quoted
mkdir -p "$T/my files" "$T/plain" "$T/d1"
printf 'a b\r\n' >"$T/my files/a b.txt"
printf 'c\r\n' >"$T/plain/c.txt"
printf 'd e\r\n' >"$T/my files/d  e.txt"
write_list "One" "$(win_path "$T/d1")"
distribute "\"$(win_path "$T/my files/a b.txt")\" $(win_path "$T/plain/c.txt")  \"$(win_path "$T/my files/d  e.txt")\"" 1
assert_finished
assert_bytes "$T/d1/a b.txt" 'a b\r\n'
assert_bytes "$T/d1/c.txt" 'c\r\n'
assert_bytes "$T/d1/d  e.txt" 'd e\r\n'
assert_eq "files of the destination" "a b.txt
c.txt
d  e.txt" "$(tree "$T/d1")"
assert_eq "label 3002 (the last source, without its marks)" "$(win_path "$T/my files/d  e.txt")" "$(q text "$WINDOW" 3002)"
end_by_button

# Two folders without a point in any name: the question, sources joined by one blank.
folder_sources() {
  T=$SCRATCH/$1
  mkdir -p "$T/src/Alpha/inner" "$T/src/Bravo" "$T/d1" "$T/d2"
  printf 'a\r\n' >"$T/src/Alpha/a.txt"
  printf 'i\r\n' >"$T/src/Alpha/inner/i.txt"
  printf 'b\r\n' >"$T/src/Bravo/b.txt"
  A=$(win_path "$T/src/Alpha")
  B=$(win_path "$T/src/Bravo")
  write_list "Two" "$(win_path "$T/d1")" "$(win_path "$T/d2")"
  distribute "$A   $B" 1
}

begin_case "no point in the sources: the question; Yes copies the folder trees"
new_dist_folder
folder_sources "yes"
answer_box "File or Directory" "6=Yes	7=No" "is '$A $B' a Directory?" YES
assert_finished
for d in d1 d2; do
  assert_eq "tree of $d" "Alpha/
Alpha/a.txt
Alpha/inner/
Alpha/inner/i.txt
Bravo/
Bravo/b.txt" "$(tree "$T/$d")"
  assert_bytes "$T/$d/Alpha/inner/i.txt" 'i\r\n'
done
end_by_button

begin_case "no point in the sources: No copies them as files; a folder as a file fails"
new_dist_folder
T=$SCRATCH/no
mkdir -p "$T/src/Folder" "$T/d1" "$T/d2"
printf 'plain file without a point\r\n' >"$T/src/Notes"
printf 'inside\r\n' >"$T/src/Folder/f.txt"
N=$(win_path "$T/src/Notes")
F=$(win_path "$T/src/Folder")
write_list "Two" "$(win_path "$T/d1")" "$(win_path "$T/d2")"
distribute "$N $F" 1
answer_box "File or Directory" "6=Yes	7=No" "is '$N $F' a Directory?" NO
drive msgbox --pid "$PID"
title=$(printf '%s\n' "$OUT" | sed -n 2p)
check
[[ $title =~ ^Error\ received:\ [0-9]+$ ]] || fail "the error box's title: [$title]"
drive click "$(printf '%s\n' "$OUT" | head -n 1)" OK
assert_halted
for d in d1 d2; do
  assert_bytes "$T/$d/Notes" 'plain file without a point\r\n'
done
assert_eq "tree of d1" "Notes" "$(tree "$T/d1")"
assert_eq "tree of d2" "Notes" "$(tree "$T/d2")"
end_by_button

begin_case "a point in a source: no question; the folders among the sources copied as trees"
new_dist_folder
T=$SCRATCH/point
mkdir -p "$T/src/v1.5/docs" "$T/src/Plain" "$T/d1"
printf 'r\r\n' >"$T/src/v1.5/readme.txt"
printf 'g\r\n' >"$T/src/v1.5/docs/guide"
printf 'p\r\n' >"$T/src/Plain/p"
write_list "One" "$(win_path "$T/d1")"
distribute "$(win_path "$T/src/v1.5") $(win_path "$T/src/Plain")" 1
assert_finished
assert_no_message_box
assert_eq "tree of d1" "Plain/
Plain/p
v1.5/
v1.5/docs/
v1.5/docs/guide
v1.5/readme.txt" "$(tree "$T/d1")"
assert_bytes "$T/d1/v1.5/docs/guide" 'g\r\n'
end_by_button

finish
