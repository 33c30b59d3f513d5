#!/bin/sh
# Runs one Windows program under wine in a private prefix: wine-run.sh PREFIX-DIR PROGRAM [ARGS...]
# (the win32 preset's CMAKE_CROSSCOMPILING_EMULATOR; WINEPREFIX, when set, wins over PREFIX-DIR).
#
# The first call creates the prefix if needed and starts a wineserver that outlives it by
# VOKR_WINESERVER_LINGER seconds (default 60), and wine's system processes (services.exe,
# explorer.exe, ...) with /dev/null as their standard streams and without the lock's descriptor.
# Otherwise each program costs seconds instead of ~50 ms: the system processes that the first
# client starts inherit ctest's output pipe, and ctest waits for them to exit.
prefix=$1
shift
: "${WINEPREFIX:=$prefix}"
export WINEPREFIX WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
mkdir -p "$WINEPREFIX"
(
  flock 9
  # Exit status 0: this call started the server (it fails when one runs already for this prefix).
  if wineserver -p"${VOKR_WINESERVER_LINGER:-60}" </dev/null >/dev/null 2>&1 9>&-; then
    wineboot --init </dev/null >/dev/null 2>&1 9>&-
  fi
) 9>"$WINEPREFIX.lock"
exec wine "$@"
