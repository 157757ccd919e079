# The list chooser of the distribution window. With a command line, the program offers the lists
# "*.qvl" of its lists folder (by name, letter case ignored) as a pop-up menu, each named without
# ".qvl". No list: the box "Nothing To Do!" and the program ends, no window shown. A list gone by
# the time it is chosen: an information box, and the window stays with its menu bar "List", whose
# elements (command 4000 + i) do what the pop-up's do. Cancel ends the program. A lists folder that
# cannot be read is a failure nobody handles: the standard error message, and the end with code 1.
source "$(dirname "$0")/lib.sh"

# ----- Cases -----

begin_case "no list: the box 'Nothing To Do!', then the program ends with no window shown"
new_dist_folder
mkdir -p "$SCRATCH/none/src" "$SCRATCH/none/dest"
printf 'one\r\n' >"$SCRATCH/none/src/a.txt"
# A file of another kind and a folder "*.qvl" in the lists folder are no lists.
printf -- "$(list_format "$(win_path "$SCRATCH/none/dest")")" >"$LISTS/Old.txt"
mkdir "$LISTS/Folder.qvl"
start_program "$(win_path "$SCRATCH/none/src/a.txt")"
drive msgbox --pid "$PID" --title "Nothing To Do!"
box=$OUT
assert_eq "text of the box" \
  "You have not created any distribution lists.  Please create one prior to attempting a distribution." \
  "$(printf '%s\n' "$box" | sed -n '4,$p')"
check
if program_windows | awk -F'\t' '$3 == 1 && $2 != "#32770"' | grep -q .; then
  fail "a window of the program is shown: $(program_windows | tr '\n' '|')"
fi
drive click "$(printf '%s\n' "$box" | head -n 1)" OK --await-exit "$PID"
assert_eq "exit code" 0 "$OUT"
assert_eq "the destination" "" "$(tree "$SCRATCH/none/dest")"

begin_case "the lists folder is a plain file: the standard error message, then the end with code 1"
new_program_folder
printf 'not a folder\r\n' >"$PROGRAM/Distribution Lists"
mkdir -p "$SCRATCH/plain"
printf 'one\r\n' >"$SCRATCH/plain/a.txt"
start_program "$(win_path "$SCRATCH/plain/a.txt")"
drive msgbox --pid "$PID" --title "Quorvander Utility"
box=$OUT
assert_eq "the first line" "Quorvander Utility has met an error it cannot recover from and will close." \
  "$(printf '%s\n' "$box" | sed -n 4p)"
assert_eq "it names the number and the system's text" "1" "$(printf '%s\n' "$box" | grep -c '^Error [0-9]*: .')"
drive click "$(printf '%s\n' "$box" | head -n 1)" OK --await-exit "$PID"
assert_eq "exit code" 1 "$OUT"

begin_case "the pop-up lists the lists by name, letter case ignored: the second element is 'beta'"
new_dist_folder
T=$SCRATCH/sorted
mkdir -p "$T/src" "$T/alpha" "$T/beta" "$T/gamma" "$T/other"
printf 'sorted\r\n' >"$T/src/a.txt"
write_list "Gamma" "$(win_path "$T/gamma")"
write_list "Alpha" "$(win_path "$T/alpha")"
write_list "beta" "$(win_path "$T/beta")"
mv "$LISTS/beta.qvl" "$LISTS/beta.QVL"
# No lists: another extension, ".qvl" not at the end, a folder.
write_list "Aardvark.qvl" "$(win_path "$T/other")"
mv "$LISTS/Aardvark.qvl.qvl" "$LISTS/Aardvark.qvl.bak"
printf 'Z:\\x\r\n' >"$LISTS/Ab.txt"
mkdir "$LISTS/Aa.qvl"
distribute "$(win_path "$T/src/a.txt")" 2
assert_finished
assert_bytes "$T/beta/a.txt" 'sorted\r\n'
assert_eq "the other destinations" "" "$(tree "$T/alpha")$(tree "$T/gamma")$(tree "$T/other")"
end_by_button

begin_case "a list deleted while the pop-up shows: the box, then the menu bar chooses another"
new_dist_folder
T=$SCRATCH/deleted
mkdir -p "$T/src" "$T/first" "$T/second"
printf 'deleted\r\n' >"$T/src/a.txt"
write_list "First" "$(win_path "$T/first")"
write_list "Second" "$(win_path "$T/second")"
start_program "$(win_path "$T/src/a.txt")"
drive wait-window --pid "$PID" --class "#32768"
rm "$LISTS/First.qvl"
drive menu 1 --pid "$PID"
answer_box "Quorvander Utility" "1=OK" \
  "A Valid Distribution list was not found.  Please run this application from the Start Menu first, create a distribution list, then attempt this action again." \
  OK
wait_window "Distributing "
assert_eq "nothing copied" "" "$(tree "$T/first")$(tree "$T/second")"
assert_eq "status line hidden" "0" "$(q visible "$WINDOW" 3006)"
drive command "$WINDOW" 4000   # the deleted list again, from the menu bar
answer_box "Quorvander Utility" "1=OK" \
  "A Valid Distribution list was not found.  Please run this application from the Start Menu first, create a distribution list, then attempt this action again." \
  OK
await_eq "caption after the second box" "Distributing " q caption "$WINDOW"
drive command "$WINDOW" 4001   # "Second"
assert_finished
assert_bytes "$T/second/a.txt" 'deleted\r\n'
assert_eq "the deleted list's destination" "" "$(tree "$T/first")"
end_by_button

begin_case "the pop-up dismissed: the window with its menu bar; a menu-bar choice distributes"
new_dist_folder
T=$SCRATCH/dismissed
mkdir -p "$T/src" "$T/one" "$T/two"
printf 'dismissed\r\n' >"$T/src/a.txt"
write_list "One" "$(win_path "$T/one")"
write_list "Two" "$(win_path "$T/two")"
distribute "$(win_path "$T/src/a.txt")" esc
wait_window "Distributing "
assert_eq "button" "1 1 Cancel" "$(control_state 3005)"
assert_eq "nothing copied yet" "" "$(tree "$T/one")$(tree "$T/two")"
drive command "$WINDOW" 4001   # "Two"
assert_finished
assert_bytes "$T/two/a.txt" 'dismissed\r\n'
assert_eq "the other list's destination" "" "$(tree "$T/one")"
end_by_button

begin_case "the pop-up dismissed, then Cancel: the program ends, nothing copied"
new_dist_folder
T=$SCRATCH/cancel
mkdir -p "$T/src" "$T/one"
printf 'cancel\r\n' >"$T/src/a.txt"
write_list "One" "$(win_path "$T/one")"
distribute "$(win_path "$T/src/a.txt")" esc
wait_window "Distributing "
end_by_button
assert_eq "the destination" "" "$(tree "$T/one")"

finish
