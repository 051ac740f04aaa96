# Sourced by the scripts that run the Windows build under Wine (Debian's wine64, 64-bit only).
# start_wine FOLDER [--transient] makes a fresh Wine prefix there and exports WINEPREFIX; the Wine
# server keeps running until stop_wine, so that each program starts at once (with --transient it
# ends a little after the last program, so that wait_wine can wait for that). Wine links COM1 (and COM2) to
# the machine's own serial ports by itself, where a probe can hang: those links are removed, and
# a test links the COM port it needs (link_com_port).
wine_program="${ZOR2_WINE:-$(command -v wine64 || echo /usr/lib/wine/wine64)}"
wine_server="${ZOR2_WINESERVER:-$(command -v wineserver || echo /usr/lib/wine/wineserver)}"

start_wine() {
    export WINEPREFIX="$1" WINEARCH=win64 WINEDEBUG=-all
    # No Mono and no Gecko: their setups would ask for a download.
    export WINEDLLOVERRIDES="mscoree=;mshtml="
    mkdir -p "$WINEPREFIX"
    [ "${2:-}" = --transient ] || "$wine_server" -p
    "$wine_program" wineboot --init >/dev/null 2>&1
    # Windows that no window manager manages: without one (Xvfb), Wine waits for it seconds on
    # every window that closes.
    "$wine_program" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    rm -f "$WINEPREFIX/dosdevices/com1" "$WINEPREFIX/dosdevices/com2"
}

# Waits until every program of a --transient prefix has ended and the Wine server with them.
wait_wine() {
    "$wine_server" -w
}

stop_wine() {
    [ -n "${WINEPREFIX:-}" ] || return 0
    "$wine_server" -k 2>/dev/null || true
}

# link_com_port N DEVICE: COM port N of the Wine prefix is the (pseudo-)terminal DEVICE.
link_com_port() {
    ln -sfn "$2" "$WINEPREFIX/dosdevices/com$1"
}

# wine_run PROGRAM ARGUMENT...: runs a Windows program; its exit status is the program's.
wine_run() {
    "$wine_program" "$@"
}

