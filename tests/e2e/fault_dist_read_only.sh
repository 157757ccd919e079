# A distribution that meets a target it may not replace: a file of the target's name with the
# read-only attribute. The run halts there with the system's error, the file keeps its content and
# its attribute, and no temporary file is left beside it.
source "$(dirname "$0")/lib.sh"

# Lays out a program folder whose only list, Office, holds these destinations (CR LF lines).
office_list() {  # DESTINATION...
  new_program_folder
  mkdir -p "$PROGRAM/Distribution Lists"
  printf -- "$(list_format "$@")" >"$PROGRAM/Distribution Lists/Office.qvl"
}

# Starts the program on these sources (a command-line tail) and chooses the list Office.
distribute() {  # TAIL
  start_program "$1"
  drive menu 1 --pid "$PID"
}

# Whether Windows sees the file as read-only: the attribute columns of attrib's line, before the path.
is_read_only() {  # PATH
  "$WINE" cmd /c attrib "$(win_path "$1")" </dev/null 2>/dev/null | tr -d '\r' | sed 's/[A-Za-z]:\\.*//' | grep -q R
}

# The hidden temporary files of the copy in a folder (none expected).
temporaries() { ls -a "$1" | grep -i '^~kelvaron-.*\.tmp$'; }

begin_case "a read-only target halts the run with error 5 and keeps its content"
DATA=$SCRATCH/data
mkdir -p "$DATA/source" "$DATA/Office 1" "$DATA/Office 2" "$DATA/Office 3"
printf 'the new report\r\n' >"$DATA/source/report.txt"
printf 'the report of last week, kept\r\n' >"$DATA/Office 2/report.txt"
OLD_TIME=$(stat -c %Y "$DATA/Office 2/report.txt")
"$WINE" cmd /c attrib +r "$(win_path "$DATA/Office 2/report.txt")" >/dev/null 2>&1 </dev/null
check
is_read_only "$DATA/Office 2/report.txt" || fail "attrib +r did not make the prepared target read-only"

office_list "$(win_path "$DATA/Office 1")" "$(win_path "$DATA/Office 2")" "$(win_path "$DATA/Office 3")"
distribute "\"$(win_path "$DATA/source/report.txt")\""
expect_halt 5
# The destination before it got the copy; the read-only one kept its file; the one after it was
# never reached.
assert_bytes "$DATA/Office 1/report.txt" 'the new report\r\n'
assert_bytes "$DATA/Office 2/report.txt" 'the report of last week, kept\r\n'
assert_eq "the kept target's time" "$OLD_TIME" "$(stat -c %Y "$DATA/Office 2/report.txt")"
assert_eq "what the read-only destination holds" "report.txt" "$(ls -A "$DATA/Office 2")"
assert_eq "what the destination after it holds" "" "$(ls -A "$DATA/Office 3")"
assert_eq "temporary files beside the read-only target" "" "$(temporaries "$DATA/Office 2")"
assert_eq "temporary files in the first destination" "" "$(temporaries "$DATA/Office 1")"
check
is_read_only "$DATA/Office 2/report.txt" || fail "the target lost its read-only attribute"
drive click "$WINDOW" 3005 --await-exit "$PID"
assert_eq "temporary files after the program ended" "" "$(temporaries "$DATA/Office 2")"

begin_case "a read-only target as the only destination: nothing replaced, nothing left"
mkdir -p "$DATA/Office 4"
printf 'second source\r\n' >"$DATA/source/notes.txt"
printf 'old notes\r\n' >"$DATA/Office 4/notes.txt"
"$WINE" cmd /c attrib +r "$(win_path "$DATA/Office 4/notes.txt")" >/dev/null 2>&1 </dev/null
office_list "$(win_path "$DATA/Office 4")"
# The first source goes in; the second meets the read-only file.
distribute "$(win_path "$DATA/source/report.txt") \"$(win_path "$DATA/source/notes.txt")\""
expect_halt 5
assert_bytes "$DATA/Office 4/report.txt" 'the new report\r\n'
assert_bytes "$DATA/Office 4/notes.txt" 'old notes\r\n'
assert_eq "what the destination holds" "notes.txt
report.txt" "$(ls -A "$DATA/Office 4" | sort)"
close_program

finish
