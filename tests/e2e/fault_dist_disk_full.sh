# A distribution onto a drive that fills up in the middle of a file: a small tmpfs, mounted here
# and linked as a drive letter of the Wine prefix. The run halts with "disk full", and neither the
# target's name nor a temporary file is left on the drive. Needs root (mount), as CI has.
source "$(dirname "$0")/lib.sh"

begin_case "the full drive is prepared"
if [ "$(id -u)" -ne 0 ]; then
  printf 'FAIL [%s]: this scenario mounts a small tmpfs and so needs root; run it as root, as CI does.\n' "$CASE"
  printf 'e2e.%s: FAILED (not root)\n' "$SCENARIO"
  exit 1
fi

# Outside the scenario's scratch folder, which lib.sh empties at the start: a mount left there by an
# interrupted run would have its contents removed instead of being taken down.
MOUNT_POINT=$(dirname "$E2E_SCRATCH")/fault-dist-full-drive
mkdir -p "$MOUNT_POINT"
# A mount or a link left by an interrupted run is ours (the paths are ours): take them down first.
if mountpoint -q "$MOUNT_POINT"; then umount "$MOUNT_POINT" || umount -l "$MOUNT_POINT"; fi
LETTER=
for candidate in q r s t u v w x y; do
  link=$WINEPREFIX/dosdevices/$candidate:
  if [ -L "$link" ] && [ "$(readlink "$link")" = "$MOUNT_POINT" ]; then rm -f "$link"; fi
  if [ ! -e "$link" ] && [ ! -L "$link" ]; then LETTER=$candidate; break; fi
done
[ -n "$LETTER" ] || die "no free drive letter in $WINEPREFIX/dosdevices"
LINK=$WINEPREFIX/dosdevices/$LETTER:
DRIVE=${LETTER^^}:

MOUNTED=
take_down() {
  cleanup  # the program first: it must hold nothing on the drive
  rm -f "$LINK"
  if [ -n "$MOUNTED" ]; then umount "$MOUNT_POINT" || umount -l "$MOUNT_POINT"; fi
}
trap take_down EXIT
mount -t tmpfs -o size=8m,mode=0755 kelvaron-dist-full "$MOUNT_POINT" || die "could not mount a tmpfs"
MOUNTED=1
ln -s "$MOUNT_POINT" "$LINK"

begin_case "a 20 MiB file onto an 8 MiB drive halts with error 112 and leaves nothing there"
DATA=$SCRATCH/data
mkdir -p "$DATA/source" "$DATA/Office 1" "$MOUNT_POINT/Office"
head -c $((20 * 1024 * 1024)) /dev/urandom >"$DATA/source/big.bin"
printf 'small\r\n' >"$DATA/source/small.txt"
new_program_folder
mkdir -p "$PROGRAM/Distribution Lists"
# A destination on the ordinary disk first: the big file is complete there before the full drive.
printf -- "$(list_format "$(win_path "$DATA/Office 1")" "$DRIVE\\Office")" >"$PROGRAM/Distribution Lists/Office.qvl"
start_program "$(win_path "$DATA/source/small.txt") \"$(win_path "$DATA/source/big.bin")\""
drive menu 1 --pid "$PID"
expect_halt 112
# The small file fitted; the big one left nothing under its name, nor a temporary, while the
# program still runs (not only after its end cleaned up).
assert_eq "what the full drive's destination holds" "small.txt" "$(ls -A "$MOUNT_POINT/Office")"
assert_eq "what else is on the full drive" "Office" "$(ls -A "$MOUNT_POINT")"
check
cmp -s "$DATA/source/big.bin" "$DATA/Office 1/big.bin" || fail "the big file's copy on the ordinary disk is not whole"
assert_bytes "$MOUNT_POINT/Office/small.txt" 'small\r\n'
assert_eq "what the ordinary destination holds" "big.bin
small.txt" "$(ls -A "$DATA/Office 1" | sort)"
# The room the failed copy took is free again.
check
used=$(df --output=used -k "$MOUNT_POINT" | tail -n 1 | tr -d ' ')
[ "$used" -lt 1024 ] || fail "the full drive still has ${used} KiB in use"
drive click "$WINDOW" 3005 --await-exit "$PID"
assert_eq "what the full drive's destination holds after the end" "small.txt" "$(ls -A "$MOUNT_POINT/Office")"
rm -f "$DATA/source/big.bin" "$DATA/Office 1/big.bin"

finish
