# At its start the program makes the "Distribution Lists" folder beside itself when nothing of
# that name is there, and leaves whatever is there alone.
source "$(dirname "$0")/lib.sh"

begin_case "first start makes an empty lists folder in the program folder"
new_program_folder
START_DIR=$SCRATCH start_program ""
wait_window "Quorvander"
assert_folder "$PROGRAM/Distribution Lists"
assert_eq "entries of the new lists folder" "" "$(ls -A "$PROGRAM/Distribution Lists" 2>/dev/null)"
assert_absent "$SCRATCH/Distribution Lists"  # the working folder was another one
close_program

begin_case "next start leaves the lists folder and its lists alone"
mkdir -p "$PROGRAM/Distribution Lists"  # left by the first start (made here when that failed)
printf 'Z:\\Dest\r\n' >"$PROGRAM/Distribution Lists/Kept.qvl"
touch -d '2001-02-03 04:05:06' "$PROGRAM/Distribution Lists"
folder_time=$(stat -c %Y "$PROGRAM/Distribution Lists")
start_program ""
wait_window "Quorvander"
assert_folder "$PROGRAM/Distribution Lists"
assert_eq "the lists folder's time (made again?)" "$folder_time" "$(stat -c %Y "$PROGRAM/Distribution Lists")"
assert_bytes "$PROGRAM/Distribution Lists/Kept.qvl" 'Z:\\Dest\r\n'
assert_eq "entries of the lists folder" "Kept.qvl" "$(ls -A "$PROGRAM/Distribution Lists")"
close_program

# Hidden or not, a file or a folder of that name is taken as it is: nothing is made over it.
for what in "plain file" "hidden folder" "hidden file"; do
  begin_case "a $what named Distribution Lists is accepted as it is"
  new_program_folder
  if [ "$what" = "hidden folder" ]; then
    mkdir "$PROGRAM/Distribution Lists"
    printf 'Z:\\Dest\r\n' >"$PROGRAM/Distribution Lists/Kept.qvl"
  else
    printf 'not a folder\r\n' >"$PROGRAM/Distribution Lists"
  fi
  [ "$what" = "plain file" ] || attrib +h "$PROGRAM/Distribution Lists"
  start_program ""
  wait_window "Quorvander"
  assert_no_message_box
  if [ "$what" = "hidden folder" ]; then
    assert_eq "entries of the lists folder" "Kept.qvl" "$(ls -A "$PROGRAM/Distribution Lists")"
  else
    assert_bytes "$PROGRAM/Distribution Lists" 'not a folder\r\n'
  fi
  close_program
done

finish
