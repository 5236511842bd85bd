# Sourced by the Wine test wrapper, run.sh and the black-box tests: makes sure
# an X display, a Wine prefix and a persistent wineserver are there.
#   MXB_WINEPREFIX  prefix folder (required)
#   MXB_DISPLAY     X display to use; a private Xvfb is started when it is not up
: "${MXB_WINEPREFIX:?MXB_WINEPREFIX must name the Wine prefix}"
export WINEPREFIX="$MXB_WINEPREFIX"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
export DISPLAY="${MXB_DISPLAY:-:77}"
MXB_WINE=/usr/lib/wine/wine64
MXB_WINESERVER=/usr/lib/wine/wineserver64
[ -x "$MXB_WINESERVER" ] || MXB_WINESERVER=wineserver

mxb_lock() { mkdir -p "$(dirname "$WINEPREFIX")"; exec 9>"$WINEPREFIX.lock"; flock 9; }
mxb_unlock() { flock -u 9; exec 9>&-; }

mxb_display_up() { xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; }

mxb_wine_ready() {
  mxb_lock
  if ! mxb_display_up; then
    setsid Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
    for _ in $(seq 1 100); do mxb_display_up && break; sleep 0.1; done
    mxb_display_up || { echo "wine-env: no X display $DISPLAY" >&2; mxb_unlock; return 1; }
  fi
  if [ ! -f "$WINEPREFIX/.mxb-ready" ]; then
    rm -rf "$WINEPREFIX"
    "$MXB_WINE" wineboot -i </dev/null >/dev/null 2>&1
    # No window manager: unmanaged windows close without a 2 s stall. No crash
    # dialog: an unhandled fault ends the process at once.
    "$MXB_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
    "$MXB_WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1
    "$MXB_WINESERVER" -w
    touch "$WINEPREFIX/.mxb-ready"
  fi
  # A persistent server keeps program starts warm for the whole run.
  setsid "$MXB_WINESERVER" -p 300 </dev/null >/dev/null 2>&1 || true
  # Start Wine's services now, detached from any test's output.
  "$MXB_WINE" wineboot </dev/null >/dev/null 2>&1
  mxb_unlock
}
