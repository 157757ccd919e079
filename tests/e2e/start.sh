# The start: the list editor, the lists folder and the Send To shortcut made, or what is there
# taken as it is; a failure while the first window is being made: the standard error box.
source "$(dirname "$0")/lib.sh"
SENDTO=$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Microsoft/Windows/SendTo
trap 'cleanup; [ ! -d "$SENDTO.kept" ] || { rm -f "$SENDTO"; mv "$SENDTO.kept" "$SENDTO"; }' EXIT

begin_case "no command line: the list editor; the lists folder and the Send To shortcut made"
rm -f "$SENDTO/Quorvander.lnk"
new_program_folder
START_DIR=$SCRATCH open_editor   # the working folder another one
assert_eq "the new lists folder's entries" "" "$(ls -A "$LISTS" 2>&1)"
[ -f "$SENDTO/Quorvander.lnk" ] || fail "no Send To shortcut"
end_program
mv "$SENDTO" "$SENDTO.kept" && printf 'not a folder\r\n' >"$SENDTO"

for what in folder file; do
  begin_case "Send To a file, a hidden $what named Distribution Lists: both taken as they are, no box"
  new_program_folder
  if [ $what = folder ]; then mkdir "$LISTS" && printf 'kept\r\n' >"$LISTS/Kept.qvl"; else printf 'kept\r\n' >"$LISTS"; fi
  "$WINE" cmd /c attrib +h "$(win_path "$LISTS")" >/dev/null 2>&1 </dev/null
  open_editor
  ! q msgbox --pid "$PID" --timeout 0 >/dev/null 2>&1 || fail "a message box is open"
  end_program
  assert_eq "what it holds; Send To" $'kept\r|not a folder\r' "$(cat "$LISTS/Kept.qvl" 2>/dev/null || cat "$LISTS")|$(cat "$SENDTO")"
done

begin_case "with a command line, a lists folder that is a file: the standard error box, then the end with 1"
start_program 'Z:\a.txt'
answer_box "Quorvander Utility" "1=OK" "Quorvander Utility has met an error it cannot recover from and will close.||Error " \
  click 1 --await-exit "$PID"
assert_eq "exit code" 1 "$OUT"

finish
