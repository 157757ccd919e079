# Shared by scripts/run and scripts/test: the packages the project needs, the build, and a Wine
# prefix and X display of the project's own under the build folder. Sourced, not run.

set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${QUORVANDER_BUILD:-$ROOT/build}
export WINEPREFIX=${WINEPREFIX_OVERRIDE:-$BUILD/wineprefix}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver

PACKAGES=(cmake ninja-build g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
          binutils-mingw-w64-x86-64 wine64 xvfb xauth googletest
          passwd mount util-linux  # fault tests: useradd/userdel, mount/umount, runuser/mountpoint
          icoutils imagemagick     # the icons, drawn as XPM, become .ico files
          nsis                     # the per-user installer
          clang libclang-rt-14-dev libfuzzer-14-dev)  # the native build: sanitizers, fuzz targets

say() { printf '%s\n' "$*" >&2; }

# Installs the Debian packages that are missing (quietly when all are there).
ensure_packages() {
  local missing=() p
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  say "Installing: ${missing[*]}"
  local sudo=
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update -qq >/dev/null
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# Configures (once) and builds the program and its tests.
build() {
  if [ ! -f "$BUILD/build.ninja" ]; then
    cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" \
      -DQUORVANDER_WARNINGS_AS_ERRORS="$([ -n "${CI:-}" ] && echo ON || echo OFF)" >/dev/null
  fi
  cmake --build "$BUILD" -- --quiet
}

# Configures (once) and builds the logic that needs no window natively with clang, under the
# sanitizers: its unit tests and the fuzz targets (tests/native). One build at a time: two
# scripts/fuzz started together share the tree.
build_native() {
  mkdir -p "$BUILD" && exec {lock}>"$BUILD/native.lock" && flock "$lock"
  if [ ! -f "$BUILD/native/build.ninja" ]; then
    CC=clang CXX=clang++ cmake -S "$ROOT/tests/native" -B "$BUILD/native" -G Ninja >/dev/null
  fi
  cmake --build "$BUILD/native" -- --quiet
  exec {lock}>&-
}

# An X display for the windows: the caller's, or an Xvfb of our own (stopped by stop_display).
XVFB_PID=
start_display() {
  if [ -n "${DISPLAY:-}" ] && [ -z "${QUORVANDER_OWN_DISPLAY:-}" ]; then return 0; fi
  local n
  for n in $(seq 91 140); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 </dev/null &
    XVFB_PID=$!
    export DISPLAY=":$n"
    local i
    for i in $(seq 1 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && return 0
      kill -0 "$XVFB_PID" 2>/dev/null || break
      sleep 0.1
    done
  done
  say "Could not start Xvfb"
  return 1
}
stop_display() {
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
  XVFB_PID=
  return 0
}

# The project's Wine prefix, made once, and a persistent wineserver with its helper processes
# started with their output detached (else every test waits for them to close ctest's pipe).
start_wine() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    "$WINE" wineboot --init >/dev/null 2>&1 </dev/null || true
    "$WINESERVER" -w
  fi
  "$WINESERVER" -p >/dev/null 2>&1 </dev/null
  "$WINE" wineboot >/dev/null 2>&1 </dev/null || true
  # No window manager on Xvfb: unmanaged windows close at once (managed ones make every process
  # end 2 s late), and a crash ends the process instead of leaving the debugger's dialog up.
  "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null || true
  "$WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 </dev/null || true
}
stop_wine() {
  "$WINESERVER" -k >/dev/null 2>&1 || true
}

# Lays out a program folder: the exe and EULA.TXT (the program makes the rest at its start).
lay_out_program_folder() {
  local folder=$1
  mkdir -p "$folder"
  cp "$BUILD/src/KELVARON.EXE" "$folder/KELVARON.EXE"
  cp "$ROOT/EULA.TXT" "$folder/EULA.TXT"
}
