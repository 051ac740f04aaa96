# Sourced by the scripts that show windows. start_xvfb WIDTHxHEIGHT starts a virtual X server on
# the first free display, waits until it listens and exports DISPLAY; XVFB_PID is its process,
# for the caller to end on exit.
start_xvfb() {
    local number=90
    while [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ]; do
        number=$((number + 1))
    done
    Xvfb ":$number" -screen 0 "${1}x24" -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$number"
    for _ in $(seq 50); do
        [ -S "/tmp/.X11-unix/X$number" ] && break
        sleep 0.1
    done
}
