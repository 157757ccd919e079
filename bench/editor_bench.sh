#!/usr/bin/env bash
# The list editor with long lists, in the real KELVARON.EXE: the time from File > Load List until
# the list is shown (the caption names it), and from Remove Dest. until the file is saved, for
# lists of 1,000, 32,767 (the most the window shows) and 40,000 lines. Prints each measurement
# and the medians. No pass or fail: the figures are for people to read.
#
#   bench/editor_bench.sh [--rounds N]
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/common.sh"

ROUNDS=3
[ "${1:-}" = --rounds ] && ROUNDS=$2
ensure_packages
build
QDRIVE=$BUILD/tests/e2e/qdrive.exe
[ -f "$QDRIVE" ] || { say "build the tests first (QUORVANDER_TESTS on)"; exit 1; }
start_display
trap 'stop_wine; stop_display' EXIT
start_wine

AREA=$BUILD/bench-editor
win() { printf 'Z:%s' "${1//\//\\}"; }
q() { "$WINE" "$QDRIVE" "$@" 2>/dev/null | tr -d '\r'; }
now() { date +%s.%N; }
since() { awk -v a="$1" -v b="$(now)" 'BEGIN {printf "%.3f", b - a}'; }
median() { tr ' ' '\n' <<<"$1" | grep . | sort -g | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}'; }

measure() {  # LINES: sets LOAD and SAVE (seconds)
  local lines=$1 program=$AREA/program pid editor start list
  rm -rf "$program"
  mkdir -p "$program/Distribution Lists"
  cp "$BUILD/src/KELVARON.EXE" "$ROOT/EULA.TXT" "$program/"
  list=$program/Distribution\ Lists/Long.qvl
  awk -v n="$lines" 'BEGIN {for (i = 0; i < n; i++) printf "C:\\Destinations\\Folder number %d\r\n", i}' >"$list"
  pid=$(q start --dir "$(win "$program")" "\"$(win "$program/KELVARON.EXE")\"")
  editor=$(q wait-window --pid "$pid" --title Quorvander)
  start=$(now)
  q command "$editor" 1102 >/dev/null
  q input 0x47c Long.qvl --pid "$pid" --title "Quorvander Lists" >/dev/null   # the file name box of the open dialog
  until [ "$(q caption "$editor")" = "Quorvander - Long.qvl" ]; do :; done
  LOAD=$(since "$start")
  [ "$lines" -le 32767 ] || q click "$(q msgbox --pid "$pid" | head -n 1)" 1 >/dev/null   # the note on a list beyond the window
  q select "$editor" 1004 'C:\Destinations\Folder number 0' >/dev/null
  start=$(now)
  q click "$editor" 1002 >/dev/null
  until [ "$(q control "$editor" 1002 | cut -c3)" = 0 ] && [ "$(head -c 32 "$list")" != 'C:\Destinations\Folder number 0'$'\r' ]; do :; done
  SAVE=$(since "$start")
  q close "$editor" --await-exit "$pid" >/dev/null
}

for lines in 1000 32767 40000; do
  loads= saves=
  for ((round = 1; round <= ROUNDS; round++)); do
    measure "$lines"
    printf '%6d lines, round %d: load %s s, save after a removal %s s\n' "$lines" "$round" "$LOAD" "$SAVE"
    loads+=" $LOAD" saves+=" $SAVE"
  done
  printf '%6d lines: median load %s s, median save %s s\n' "$lines" "$(median "$loads")" "$(median "$saves")"
done
