# The start: no command line opens the list editor ("Quorvander"); the distribution window that a
# command line opens is the distribute scenario's. The program makes the lists folder beside itself and
# its Send To shortcut when they are missing, and takes whatever is there as it is.
source "$(dirname "$0")/lib.sh"

drive folder sendto
SENDTO=$("$WINE" winepath -u "$OUT" 2>/dev/null </dev/null | tr -d '\r')
LINK_WIN="$OUT\\Quorvander.lnk"
trap 'cleanup; [ ! -d "$SENDTO.kept" ] || { rm -f "$SENDTO"; mv "$SENDTO.kept" "$SENDTO"; }' EXIT

begin_case "no command line: the list editor; the lists folder and the Send To shortcut made"
rm -f "$SENDTO/Quorvander.lnk"
new_program_folder
START_DIR=$SCRATCH start_program ""   # the working folder another one
wait_window "Quorvander"
assert_no_window "Distributing "
assert_eq "the new lists folder's entries" "" "$(ls -A "$LISTS" 2>&1)"
assert_eq "the shortcut: target, arguments, working folder" "$P\\KELVARON.EXE||$P" \
  "$(q lnk "$LINK_WIN" | paste -sd '|')"
close_program

# Hidden or not, a file or a folder of that name is taken as it is: nothing is made over it.
for what in "hidden folder" "hidden file" "plain file"; do
  begin_case "a $what named Distribution Lists is taken as it is"
  new_program_folder
  if [ "$what" = "hidden folder" ]; then
    mkdir "$LISTS"
    printf 'Z:\\Dest\r\n' >"$LISTS/Kept.qvl"
  else
    printf 'not a folder\r\n' >"$LISTS"
  fi
  [ "$what" = "plain file" ] || "$WINE" cmd /c attrib +h "$(win_path "$LISTS")" >/dev/null 2>&1 </dev/null
  start_program ""
  wait_window "Quorvander"
  assert_no_message_box
  if [ "$what" = "hidden folder" ]; then
    assert_eq "entries of the lists folder" "Kept.qvl" "$(ls -A "$LISTS")"
  else
    assert_bytes "$LISTS" 'not a folder\r\n'
  fi
  close_program
done

begin_case "with a command line, a lists folder that is a plain file: the standard error message, code 1"
start_program 'Z:\a.txt'
drive msgbox --pid "$PID" --title "Quorvander Utility"
assert_eq "the first line" "Quorvander Utility has met an error it cannot recover from and will close." \
  "$(printf '%s\n' "$OUT" | sed -n 4p)"
assert_eq "it names the number and the system's text" "1" "$(printf '%s\n' "$OUT" | grep -c '^Error [0-9]*: .')"
drive click "${OUT%%$'\n'*}" OK --await-exit "$PID"
assert_eq "exit code" 1 "$OUT"

begin_case "a shortcut that cannot be written (Send To is a plain file) is not reported"
mv "$SENDTO" "$SENDTO.kept"
printf 'not a folder\r\n' >"$SENDTO"
new_program_folder
start_program ""
wait_window "Quorvander"
assert_no_message_box
close_program
assert_bytes "$SENDTO" 'not a folder\r\n'

finish
