# At its start the program puts the shortcut "Quorvander" into the user's Send To folder: it
# starts <program folder>\KELVARON.EXE with no arguments, in the program folder. A shortcut that
# cannot be written is not reported: the program works without it.
source "$(dirname "$0")/lib.sh"

sendto_link

begin_case "first start makes the Send To shortcut to KELVARON.EXE"
rm -f "$LINK"
new_program_folder
start_program ""
wait_window "Quorvander"
assert_file "$LINK"
mapfile -t link < <(q lnk "$LINK_WIN")
assert_eq "shortcut target" "$(win_path "$PROGRAM")\\KELVARON.EXE" "${link[0]-}"
assert_eq "shortcut arguments" "" "${link[1]-missing}"
assert_eq "shortcut working folder" "$(win_path "$PROGRAM")" "${link[2]-}"
close_program

begin_case "a copy under another name makes the shortcut to KELVARON.EXE all the same"
rm -f "$LINK"
new_program_folder
cp "$QUORVANDER_EXE" "$PROGRAM/OTHER.EXE"
EXE=OTHER.EXE start_program ""
wait_window "Quorvander"
mapfile -t link < <(q lnk "$LINK_WIN")
assert_eq "shortcut target" "$(win_path "$PROGRAM")\\KELVARON.EXE" "${link[0]-}"
assert_eq "shortcut arguments" "" "${link[1]-missing}"
close_program

begin_case "a shortcut that cannot be written (Send To is a plain file) is not reported"
sendto=$(dirname "$LINK")
mv "$sendto" "$sendto.kept"
trap 'rm -f "$sendto"; mv "$sendto.kept" "$sendto"; cleanup' EXIT
printf 'not a folder\r\n' >"$sendto"
new_program_folder
start_program ""
wait_window "Quorvander"
assert_no_message_box
close_program
assert_eq "exit code" 0 "$EXIT_CODE"
assert_bytes "$sendto" 'not a folder\r\n'

finish
