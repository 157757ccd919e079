# The command line chooses the first window: none opens the list editor ("Quorvander"), any
# other the distribution window ("Distributing "). Closing that window ends the program with 0.
source "$(dirname "$0")/lib.sh"

begin_case "an empty command line opens the list editor"
new_program_folder
start_program ""
wait_window "Quorvander"
assert_no_window "Distributing "
close_program
assert_eq "exit code after closing the list editor" 0 "$EXIT_CODE"

for line in 'C:\x.txt' '"Z:\a folder\b c.txt" D:\e.txt'; do
  begin_case "the command line [$line] opens the distribution window"
  printf 'Z:\\nowhere\r\n' >"$PROGRAM/Distribution Lists/Any.qvl"
  start_program "$line"
  drive menu esc --pid "$PID"   # the list menu pops up first; dismissed, the window shows
  wait_window "Distributing "
  assert_no_window "Quorvander"
  close_program
  assert_eq "exit code after closing the distribution window" 0 "$EXIT_CODE"
done

finish
