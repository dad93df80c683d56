#!/usr/bin/env bash
# Runs the program in a private X server with a private session and accessibility bus.
#
# screen-reader.sh EXE DATA: completes a whole question through that bus alone (screen-reader.py);
# Qt publishes its accessibility tree without a running screen reader when asked to.
#
# screen-reader.sh EXE DATA --orca: the real screen reader, Orca, runs in that session with its
# debug log as the record of what it speaks (speech-dispatcher with the dummy output, so nothing
# sounds), and the program runs as a pupil's desktop starts it, in ja_JP.UTF-8, driven by key
# presses alone. Exits 77 (skipped) where Orca is not installed or cannot run.
#
# The servers, the screen reader and the program are ended at exit.
set -u
exe=$1 data=$2 mode=${3:-}

if [ "$mode" = --orca ]; then
    for tool in orca speech-dispatcher; do
        if ! command -v "$tool" >/dev/null; then
            echo "SKIP: $tool is not installed; tools/install-deps installs it" >&2
            exit 77
        fi
    done
fi

. "$(dirname "$0")/private-x-server.sh"
. "$(dirname "$0")/program-copy.sh"
open_private_x_workplace a11y || exit 1
make_one_question_copy "$exe" "$data" "$work/one-question" || exit 1
export QT_QPA_PLATFORM=xcb

if [ "$mode" != --orca ]; then
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
    # A session bus of this run alone; it starts the accessibility bus when the client asks for it.
    # Debian's own Python, which holds the accessibility client library.
    dbus-run-session -- /usr/bin/python3 "$(dirname "$0")/screen-reader.py" "$work/one-question/vaporica"
    exit
fi

# Whichever question is drawn, its summary shows the oxygen equation and its words.
for q in $(seq 2 20); do
    for kind in gif txt; do
        cp "$work/one-question/反応式/siki(1).$kind" "$work/one-question/反応式/siki($q).$kind"
    done
done
# Orca and speech-dispatcher keep their settings, sockets and logs in this run's own homes.
mkdir -p "$work/home" "$work/runtime" "$work/config/speech-dispatcher"
chmod 700 "$work/runtime"
printf 'AddModule "dummy" "sd_dummy" ""\nDefaultModule dummy\n' \
    >"$work/config/speech-dispatcher/speechd.conf"
export HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config"
export GSETTINGS_BACKEND=memory LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
unset QT_LINUX_ACCESSIBILITY_ALWAYS_ON
dbus-run-session -- /usr/bin/python3 "$(dirname "$0")/screen-reader.py" --orca \
    "$work/one-question/vaporica" "$work"
status=$?
# speech-dispatcher, started by Orca, outlives the session bus.
pid_file="$XDG_RUNTIME_DIR/speech-dispatcher/pid/speech-dispatcher.pid"
[ -s "$pid_file" ] && kill "$(cat "$pid_file")" 2>/dev/null
exit $status
