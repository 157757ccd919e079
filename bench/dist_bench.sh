#!/usr/bin/env bash
# The distribution end to end against the platform's own copy, on the same trees, alternated in one
# run: the real KELVARON.EXE from launch to "Finished" (its window driven as the end-to-end tests
# drive it: the list pop-up, the folder question), a bare walk calling CopyFileW for each file
# (copy_walk.exe), and Wine's xcopy once per destination. Prints every measurement, the medians,
# the program's ratios to the other two, how each grows when its tree doubles, and the program's
# peak memory. No pass or fail: the figures are for people to read.
#
#   bench/dist_bench.sh [--rounds N] [--cases "start tree linear large"] [--folder UNIXFOLDER]
#                       [--scale-ways "program walk xcopy"]
#
# Cases: start, one small file to 1 destination (what starting and driving each way costs);
# tree, 10,000 files of 4 KiB in 1,000 folders to 3 destinations; linear, to 1 destination, a tree
# of 10,000 and of 20,000 files, one folder of 10,000 and of 20,000 files, and a folder of 2,000
# and of 4,000 sub-folders (each of these alone by its name: tree10k, flat20k, wide2k...); large,
# one file of 2 GiB to 3 destinations; scale, not in the default run (20 minutes or more under
# Wine for each way): a tree of 10,000 and of 100,000 files to 10 destinations, by the program
# alone unless --scale-ways names more, with the time per file copied and the program's peak
# memory at each size, and how much each grows from the small tree to the large one. The trees are
# made once under FOLDER (default: the build folder's bench-dist) and kept for the next run.
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/common.sh"

ROUNDS=3
CASES="start tree linear large"
SCALE_WAYS=program
AREA=$BUILD/bench-dist
while [ $# -gt 0 ]; do
  case $1 in
    --rounds) ROUNDS=$2; shift 2 ;;
    --cases) CASES=$2; shift 2 ;;
    --folder) AREA=$2; shift 2 ;;
    --scale-ways) SCALE_WAYS=$2; shift 2 ;;
    *) say "unknown argument $1"; exit 2 ;;
  esac
done

ensure_packages
build
QDRIVE=$BUILD/tests/e2e/qdrive.exe
WALK=$BUILD/bench/copy_walk.exe
[ -f "$QDRIVE" ] && [ -f "$WALK" ] || { say "build the tests first (QUORVANDER_TESTS on)"; exit 1; }
# The program as built now, kept for the whole run: a long run outlasts the next build.
mkdir -p "$AREA"
cp "$BUILD/src/KELVARON.EXE" "$AREA/KELVARON.EXE"
start_display
trap 'stop_wine; stop_display' EXIT
start_wine

win() { printf 'Z:%s' "${1//\//\\}"; }
q() { "$WINE" "$QDRIVE" "$@" 2>/dev/null | tr -d '\r'; }
now() { date +%s.%N; }
since() { awk -v a="$1" -v b="$(now)" 'BEGIN {printf "%.3f", b - a}'; }

# ----- The trees, made once -----

# FOLDER COUNT: COUNT files of 4 KiB, each of its own bytes (bash builtins only: fast).
make_files() {
  local folder=$1 count=$2 i block
  mkdir -p "$folder"
  block=$(printf '%04096d' 0)
  for ((i = 0; i < count; i++)); do printf '%s%d' "${block:0:4090}" "$i" >"$folder/file-$i.dat"; done
}
make_tree() {  # NAME FILES FOLDERS_ACROSS FILES_A_FOLDER
  local top=$AREA/src/$1
  [ -f "$top.done" ] && return 0
  rm -rf "$top"
  case $1 in
    tree*) local a b
           for ((a = 0; a < $2 / 1000; a++)); do
             for ((b = 0; b < 100; b++)); do make_files "$top/part-$a/folder-$b" 10; done
           done ;;
    flat*) make_files "$top" "$2" ;;
    wide*) local k; for ((k = 0; k < $2; k++)); do make_files "$top/sub-$k" 1; done ;;
    large) mkdir -p "$AREA/src"; head -c 2G /dev/urandom >"$top.bin" ;;
    start) mkdir -p "$AREA/src"; printf 'start\r\n' >"$top.txt" ;;
  esac
  touch "$top.done"
}

# ----- The three ways -----

PEAK_KB=0
# The program: a program folder with the list Bench.qvl of the destinations; launch to "Finished".
run_program() {  # SOURCE DESTINATION...
  local source=$1 program=$AREA/program start pid box window
  shift
  rm -rf "$program"
  mkdir -p "$program/Distribution Lists"
  cp "$AREA/KELVARON.EXE" "$ROOT/EULA.TXT" "$program/"
  local d list=
  for d in "$@"; do list+="$(win "$d")"$'\r\n'; done
  printf '%s' "$list" >"$program/Distribution Lists/Bench.qvl"
  start=$(now)
  pid=$(q start --dir "$(win "$program")" "\"$(win "$program/KELVARON.EXE")\" $(win "$source")")
  q menu 1 --pid "$pid" >/dev/null
  if [ -d "$source" ]; then
    box=$(q msgbox --pid "$pid" --title "File or Directory" | head -n 1)
    q click "$box" 6 >/dev/null  # Yes
  fi
  window=$(q wait-window --pid "$pid" --title Finished --timeout 14400000)
  ELAPSED=$(since "$start")
  local proc
  PEAK_KB=0
  # The program's unix process: its peak resident memory. Other processes may end meanwhile.
  for proc in /proc/[0-9]*; do
    if tr '\0' ' ' 2>/dev/null <"$proc/cmdline" | grep -q 'KELVARON\.EXE'; then
      PEAK_KB=$(awk '/^VmHWM/ {print $2}' "$proc/status" 2>/dev/null)
      break
    fi
  done
  [ -n "$window" ] || { say "the program did not finish"; exit 1; }
  q click "$window" 3005 --await-exit "$pid" >/dev/null || true
}
run_walk() {  # SOURCE DESTINATION...
  local source=$1 start d args=()
  shift
  for d in "$@"; do args+=("$(win "$d")"); done
  start=$(now)
  "$WINE" "$WALK" "$(win "$source")" "${args[@]}" || { say "copy_walk failed"; exit 1; }
  ELAPSED=$(since "$start")
}
run_xcopy() {  # SOURCE DESTINATION...
  local source=$1 start d
  shift
  start=$(now)
  for d in "$@"; do
    if [ -d "$source" ]; then
      "$WINE" xcopy /E /I /Y /Q "$(win "$source")" "$(win "$d/$(basename "$source")")" >/dev/null
    else
      "$WINE" xcopy /Y /Q "$(win "$source")" "$(win "$d")\\" >/dev/null
    fi || { say "xcopy failed"; exit 1; }
  done
  ELAPSED=$(since "$start")
}

# ----- Measuring -----

declare -A TIMES PEAKS
measure() {  # CASE SOURCE DESTINATIONS
  local name=$1 source=$2 count=$3 round way d dests=()
  for ((d = 1; d <= count; d++)); do dests+=("$AREA/out/d$d"); done
  for ((round = 1; round <= ROUNDS; round++)); do
    for way in ${WAYS:-program walk xcopy}; do
      rm -rf "$AREA/out"
      mkdir -p "${dests[@]}"
      sync
      "run_$way" "$source" "${dests[@]}"
      TIMES[$name.$way]+="$ELAPSED "
      [ "$way" != program ] || PEAKS[$name]+="$PEAK_KB "
      printf '%-8s round %d  %-8s %8.2f s%s\n' "$name" "$round" "$way" "$ELAPSED" \
        "$([ "$way" = program ] && printf '   peak %d MB' $((PEAK_KB / 1024)))"
    done
  done
  rm -rf "$AREA/out"
}
median() { tr ' ' '\n' <<<"$1" | grep . | sort -g | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.3f", a / b}'; }

NAMES=() SCALE=
for c in $CASES; do
  case $c in
    start) make_tree start; measure start "$AREA/src/start.txt" 1; NAMES+=(start) ;;
    tree) make_tree tree10k 10000; measure tree10k "$AREA/src/tree10k" 3; NAMES+=(tree10k) ;;
    linear)
      for t in tree10k:10000 tree20k:20000 flat10k:10000 flat20k:20000 wide2k:2000 wide4k:4000; do
        make_tree "${t%%:*}" "${t##*:}"
        measure "${t%%:*}-1" "$AREA/src/${t%%:*}" 1
        NAMES+=("${t%%:*}-1")
      done ;;
    tree10k | tree20k | flat10k | flat20k | wide2k | wide4k)
      sizes=(tree10k:10000 tree20k:20000 flat10k:10000 flat20k:20000 wide2k:2000 wide4k:4000)
      for t in "${sizes[@]}"; do [ "${t%%:*}" != "$c" ] || make_tree "$c" "${t##*:}"; done
      measure "$c-1" "$AREA/src/$c" 1
      NAMES+=("$c-1") ;;
    scale)
      for t in tree10k:10000 tree100k:100000; do
        make_tree "${t%%:*}" "${t##*:}"
        WAYS=$SCALE_WAYS measure "${t%%:*}-10" "$AREA/src/${t%%:*}" 10
      done
      SCALE=1 ;;
    large) rm -f "$AREA/src/large.done"; [ "$(stat -c %s "$AREA/src/large.bin" 2>/dev/null)" = 2147483648 ] &&
             touch "$AREA/src/large.done"
           make_tree large; measure large "$AREA/src/large.bin" 3; NAMES+=(large) ;;
  esac
done

[ ${#NAMES[@]} -eq 0 ] || printf '\n%-12s %10s %10s %10s %14s %14s %10s\n' case program walk xcopy "program/walk" "program/xcopy" "peak MB"
for n in "${NAMES[@]}"; do
  p=$(median "${TIMES[$n.program]}") w=$(median "${TIMES[$n.walk]}") x=$(median "${TIMES[$n.xcopy]}")
  printf '%-12s %10.2f %10.2f %10.2f %14.3f %14.3f %10d\n' "$n" "$p" "$w" "$x" "$(ratio "$p" "$w")" \
    "$(ratio "$p" "$x")" $(($(median "${PEAKS[$n]}") / 1024))
done
if [[ " ${NAMES[*]} " == *" tree20k-1 "* ]]; then
  echo
  echo "Twice the tree, times as long (medians):"
  for pair in tree10k-1:tree20k-1 flat10k-1:flat20k-1 wide2k-1:wide4k-1; do
    small=${pair%%:*} big=${pair##*:}
    printf '  %-10s -> %-10s' "$small" "$big"
    for way in program walk xcopy; do
      printf '  %s %.2f' "$way" "$(ratio "$(median "${TIMES[$big.$way]}")" "$(median "${TIMES[$small.$way]}")")"
    done
    echo
  done
fi
if [ -n "$SCALE" ]; then
  echo
  echo "A tree to 10 destinations (medians):"
  for way in $SCALE_WAYS; do
    for n in tree10k-10:100000 tree100k-10:1000000; do
      p=$(median "${TIMES[${n%%:*}.$way]}")
      printf '  %-8s %-12s %10.2f s %8.3f ms a file' "$way" "${n%%:*}" "$p" "$(ratio "$p" "${n##*:}e-3")"
      [ "$way" != program ] || printf ' %6d MB peak' $(($(median "${PEAKS[${n%%:*}]}") / 1024))
      echo
    done
    small=$(median "${TIMES[tree10k-10.$way]}") big=$(median "${TIMES[tree100k-10.$way]}")
    printf '  %-8s ten times the files: time a file x%.2f' "$way" "$(ratio "$big" "$(ratio "$small" 0.1)")"
    [ "$way" != program ] ||
      printf ', peak memory x%.2f' "$(ratio "$(median "${PEAKS[tree100k-10]}")" "$(median "${PEAKS[tree10k-10]}")")"
    echo
  done
fi
