# Sourced by the scripts that run the program in a real X server of their own.
#
# open_private_x_workplace NAME: a scratch directory in $work and a server started in it, both
# ended at exit (an interrupt ends the script too); returns 1 when the server has not started.
#
# start_private_x_server WORK-DIR: starts Xvfb on a free display number that the server itself
# chooses, sets xvfb_pid (for the caller's clean-up) and exports DISPLAY; returns 1, with the
# server's log on stderr, when it has not started within 10 s.
# -noreset: by default the server resets when its last client leaves, and a program starting in
# that moment cannot connect.
start_private_x_server() {
    Xvfb -displayfd 3 -nolisten tcp -noreset -screen 0 1024x768x24 3>"$1/display" 2>"$1/xvfb.log" &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ -s "$1/display" ] && break
        sleep 0.1
    done
    if ! [ -s "$1/display" ]; then
        cat "$1/xvfb.log" >&2
        echo "FAIL: Xvfb did not start" >&2
        return 1
    fi
    DISPLAY=":$(head -n1 "$1/display")"
    export DISPLAY
}

open_private_x_workplace() {
    work=$(mktemp -d "${TMPDIR:-/tmp}/vaporica-$1.XXXXXX")
    xvfb_pid=''
    trap '[ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null; rm -rf "$work"' EXIT
    trap 'exit 130' INT TERM
    start_private_x_server "$work"
}
