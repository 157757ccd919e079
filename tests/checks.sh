# Sourced by the end-to-end scenarios (through tests/e2e/lib.sh) and the setup test: cases,
# checks and the driver. The caller sets TEST_NAME (the ctest name), WINE and QDRIVE_EXE. Checks
# that fail are counted and the test goes on; `die` ends it at once, `finish` is its last line.
# A caller may define on_die (more to print when a step fails) and on_pass (to run after a pass).

CASE=
CHECKS=0
FAILURES=0

# ----- Reporting -----

begin_case() {
  CASE=$1
  printf -- '--- %s\n' "$CASE"
}

fail() {
  FAILURES=$((FAILURES + 1))
  printf 'FAIL [%s]: %s\n' "$CASE" "$*"
}

check() { CHECKS=$((CHECKS + 1)); }

# Ends the test at once: a step failed that the rest depends on.
die() {
  printf 'FAIL [%s]: %s\n' "$CASE" "$*"
  if declare -F on_die >/dev/null; then on_die; fi
  printf '%s: FAILED (stopped in "%s")\n' "$TEST_NAME" "$CASE"
  exit 1
}

finish() {
  if [ "$FAILURES" -eq 0 ]; then
    printf '%s: passed (%d checks)\n' "$TEST_NAME" "$CHECKS"
    if declare -F on_pass >/dev/null; then on_pass; fi
    exit 0
  fi
  printf '%s: FAILED (%d of %d checks)\n' "$TEST_NAME" "$FAILURES" "$CHECKS"
  exit 1
}

# ----- Assertions -----

assert_eq() {  # WHAT EXPECTED ACTUAL
  check
  [ "$2" == "$3" ] || fail "$1: expected [$2], got [$3]"
}

assert_file() {
  check
  [ -f "$1" ] || fail "expected the file $1"
}

# ----- The driver -----

# Runs qdrive; prints its output (CR stripped), returns its status. Its complaints go to stderr,
# and a failure without a word of its own (the process broke) is named there too.
q() {
  local out rc errors
  errors=$(mktemp)
  out=$("$WINE" "$QDRIVE_EXE" "$@" 2>"$errors")
  rc=$?
  cat "$errors" >&2
  [ $rc -eq 0 ] || [ -s "$errors" ] || printf 'qdrive %s: ended with status %d and no message\n' "$1" $rc >&2
  rm -f "$errors"
  out=${out//$'\r'/}
  [ -z "$out" ] || printf '%s\n' "$out"
  return $rc
}

# Runs qdrive for a step the test needs; its output goes to OUT. Ends the test on failure.
drive() {
  OUT=$(q "$@") || die "qdrive $* failed"
}

# Waits (up to SECONDS, 5 unless given) for the window to be gone.
await_gone() {  # HWND WHAT [SECONDS]
  local deadline=$((SECONDS + ${3:-5}))
  while q caption "$1" >/dev/null 2>&1; do
    [ "$SECONDS" -lt "$deadline" ] || die "$2 did not close"
    sleep 0.1
  done
}
