#!/usr/bin/env bash
# Drives the real program in a private X server with the mouse, as a pupil would: start, quit by
# button, quit by the close box, the round trip through the properties browser and the quiz, and a
# whole question. Every wait is bounded; the server and every program started here are ended at exit.
# Positions are the controls' layout positions (twips / 15) inside each window's client area; the
# server runs no window manager, so a window is its client area.
set -u
exe=$1 data=$2 close_window=$3

work=$(mktemp -d "${TMPDIR:-/tmp}/vaporica-e2e.XXXXXX")
xvfb_pid='' program_pid='' failures=0

cleanup() {
    [ -n "$program_pid" ] && kill -9 "$program_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# A free display number, chosen by the server itself.
Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || { cat "$work/xvfb.log" >&2; echo "FAIL: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"
export QT_QPA_PLATFORM=xcb

# A copy of the program and its data directory, so a test bank can replace the shipped one.
make_copy() { # dir
    mkdir -p "$1"
    ln "$exe" "$1/vaporica" 2>/dev/null || cp "$exe" "$1/vaporica"
    for folder in 気体 薬品 反応式 装置 性質 音 説明; do cp -r "$data/$folder" "$1/"; done
}

start_program() { # dir
    "$1/vaporica" 2>"$work/stderr" &
    program_pid=$!
}

# Prints the id of the visible window with exactly this caption; fails after the timeout.
wait_window() { # caption [seconds]
    local deadline=$((SECONDS + ${2:-10})) id
    while [ $SECONDS -lt $deadline ]; do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        kill -0 "$program_pid" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}

# Waits for the program to end and checks its status; kills it after the timeout.
expect_exit() { # status what
    local deadline=$((SECONDS + 10)) status
    while kill -0 "$program_pid" 2>/dev/null && [ $SECONDS -lt $deadline ]; do sleep 0.1; done
    if kill -0 "$program_pid" 2>/dev/null; then
        fail "$2: the program still runs after 10 s"
        kill -9 "$program_pid"
    fi
    wait "$program_pid"
    status=$?
    program_pid=''
    [ "$status" -eq "$1" ] || { fail "$2: exit status $status, expected $1"; return 1; }
    if grep -q "実行時エラー\|Sanitizer\|runtime error:" "$work/stderr"; then
        fail "$2: error output:"
        cat "$work/stderr" >&2
        return 1
    fi
}

click() { # window x y
    xdotool mousemove --window "$1" "$2" "$3"
    sleep 0.15 # let the pointer-move handlers run as they would for a person
    xdotool click 1
}

# Steps to a screen: clicks, then waits for the target window. Names the step on failure.
step() { # what window x y target-caption [seconds]
    click "$2" "$3" "$4"
    if ! next=$(wait_window "$5" "${6:-10}"); then
        fail "$1: no window \"$5\" (screen missing or still unfinished?)"
        cat "$work/stderr" >&2
        return 1
    fi
    echo "ok: $1" >&2
}

# A wrong gas (button 2, hydrogen) shows its mark for about a second and leaves the quiz in place.
wrong_gas_stays() { # quiz-window
    click "$1" 666 73
    sleep 2
    if xdotool search --onlyvisible --name '^装置と捕集$' >/dev/null 2>&1 ||
        ! xdotool search --onlyvisible --name '^ヴァポリカ$' >/dev/null 2>&1; then
        fail "a wrong gas left the quiz"
        return 1
    fi
    echo "ok: a wrong gas keeps the quiz" >&2
}

end_run() { # the step failed: end the program that is left
    [ -n "$program_pid" ] && kill -9 "$program_pid" 2>/dev/null && wait "$program_pid" 2>/dev/null
    program_pid=''
}

make_copy "$work/shipped"

# 1. Start: the menu window with its caption and size; 2. quit by the menu's quit button.
start_program "$work/shipped"
if menu=$(wait_window メニュー 20); then
    size=$(xdotool getwindowgeometry "$menu" | sed -n 's/.*Geometry: //p')
    [ "$size" = 650x419 ] || fail "menu window is $size, expected 650x419"
    echo "ok: start shows the menu" >&2
    click "$menu" 540 366
    expect_exit 0 "menu quit button" && echo "ok: quit by the menu's button" >&2
else
    fail "start: no menu window"
    cat "$work/stderr" >&2
    end_run
fi

# 3. The close box of the menu ends the program.
start_program "$work/shipped"
if menu=$(wait_window メニュー 20); then
    "$close_window" "$menu"
    expect_exit 0 "menu close box" && echo "ok: the close box ends the program" >&2
else
    fail "close box: no menu window"
    end_run
fi

# 4. Menu -> properties -> back -> quiz -> back -> quit.
start_program "$work/shipped"
if menu=$(wait_window メニュー 20) &&
    step "menu to properties" "$menu" 540 304 気体の性質 && props=$next &&
    step "properties back to menu" "$props" 501 125 メニュー && menu=$next &&
    step "menu to quiz" "$menu" 540 244 ヴァポリカ && quiz=$next &&
    step "quiz back to menu" "$quiz" 501 123 メニュー && menu=$next; then
    click "$menu" 540 366
    expect_exit 0 "quit after the round trip"
else
    end_run
fi

# 5. A whole question by mouse, on a bank whose twenty records are all question 1 of the shipped
# bank: oxygen (gas button 1), generator 3, collection 3. A wrong gas first must keep the quiz.
make_copy "$work/one-question"
record=$(head -n1 "$data/説明/mondai.txt" | tr -d '\r')
[ "$record" = 1,5,19,3,3,3 ] || fail "the shipped first question is now $record; update this test"
for _ in $(seq 20); do echo "$record"; done >"$work/one-question/説明/mondai.txt"
start_program "$work/one-question"
if menu=$(wait_window メニュー 20) &&
    step "menu to quiz" "$menu" 540 244 ヴァポリカ && quiz=$next &&
    wrong_gas_stays "$quiz" &&
    step "right gas, then the apparatus quiz" "$quiz" 666 38 装置と捕集 && apparatus=$next &&
    { click "$apparatus" 435 247; true; } &&
    step "right generator and collection, then the summary" "$apparatus" 568 434 まとめ &&
    summary=$next; then
    click "$summary" 619 507
    expect_exit 0 "summary quit button"
else
    end_run
fi

[ $failures -eq 0 ] && echo "all real-window steps passed" >&2
exit $((failures > 0))
