#!/usr/bin/env bash
# Runs the program in a private X server with a private session and accessibility bus, and
# completes a whole question through that bus alone (screen-reader.py). Qt publishes its
# accessibility tree without a running screen reader when asked to. The servers and the program
# are ended at exit.
set -u
exe=$1 data=$2

. "$(dirname "$0")/private-x-server.sh"
. "$(dirname "$0")/program-copy.sh"
open_private_x_workplace a11y || exit 1
make_one_question_copy "$exe" "$data" "$work/one-question" || exit 1
export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
# A session bus of this run alone; it starts the accessibility bus when the client asks for it.
# Debian's own Python, which holds the accessibility client library.
dbus-run-session -- /usr/bin/python3 "$(dirname "$0")/screen-reader.py" "$work/one-question/vaporica"
