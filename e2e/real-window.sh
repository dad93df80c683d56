#!/usr/bin/env bash
# Drives the real program in a private X server as a pupil would, with the mouse and with the
# keyboard alone: start, quit by button and by close box on every screen, the properties browser, the
# round trip through the menu, and whole questions. Every wait is bounded; the server and every
# program started here are ended at exit.
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

. "$(dirname "$0")/private-x-server.sh"
start_private_x_server "$work" || exit 1
export QT_QPA_PLATFORM=xcb

. "$(dirname "$0")/program-copy.sh"

start_program() { # dir
    "$1/vaporica" >"$work/stdout" 2>"$work/stderr" &
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

# Keys go to the window that holds the keyboard; a shown screen takes it, as there is no window
# manager to give it.
press() { # key...
    for key in "$@"; do
        xdotool key "$key"
        sleep 0.05
    done
}

press_times() { # count key
    for _ in $(seq "$1"); do press "$2"; done
}

# Steps to a screen by keyboard: presses the keys, then waits for the target window.
key_step() { # what target-caption key...
    local what=$1 caption=$2
    shift 2
    press "$@"
    if ! next=$(wait_window "$caption" 10); then
        fail "$what: no window \"$caption\""
        cat "$work/stderr" >&2
        return 1
    fi
    echo "ok: $what" >&2
}

# A wrong gas shows its mark for about a second and leaves the quiz in place.
wrong_gas_stays() { # what
    sleep 2
    if xdotool search --onlyvisible --name '^装置と捕集$' >/dev/null 2>&1 ||
        ! xdotool search --onlyvisible --name '^ヴァポリカ$' >/dev/null 2>&1; then
        fail "$1: a wrong gas left the quiz"
        return 1
    fi
    echo "ok: $1: a wrong gas keeps the quiz" >&2
}

# The left part of the properties window, empty until a gas is chosen, then its two pictures.
snap_properties() { # window file
    import -window "$1" -crop 500x530+37+4 +repage "$2" 2>/dev/null
}

# Succeeds when the properties pictures appeared since the snapshot was taken.
properties_shown() { # what window before-snapshot
    local changed
    snap_properties "$2" "$work/after.png"
    changed=$(compare -metric AE "$3" "$work/after.png" null: 2>&1 >/dev/null)
    if [ "${changed%% *}" -lt 20000 ] 2>/dev/null; then
        fail "$1: the properties pictures did not appear ($changed pixels changed)"
        return 1
    fi
    echo "ok: $1 ($changed pixels changed)" >&2
}

end_run() { # the step failed: end the program that is left
    [ -n "$program_pid" ] && kill -9 "$program_pid" 2>/dev/null && wait "$program_pid" 2>/dev/null
    program_pid=''
}

# Client-area positions of the controls used below (layout twips / 15, the middle of each control).
menu_quiz='540 244' menu_properties='540 304' menu_quit='540 366'
quiz_gas1='666 38' quiz_gas2='666 73' quiz_quit='501 42' quiz_back='501 123'
apparatus_generator3='435 247' apparatus_collector3='568 434' apparatus_quit='687 46'
summary_quit='619 507' summary_next='460 507'
properties_gas1='660 53' properties_quit='501 42' properties_back='501 125'

make_copy "$exe" "$data" "$work/shipped"
make_one_question_copy "$exe" "$data" "$work/one-question" || failures=$((failures + 1))

# Starts the program and brings it to a screen by mouse; sets `window` to that screen's window.
# Not run in a command substitution: the program would inherit its pipe and keep it open.
open_screen() { # menu|quiz|properties|apparatus|summary
    start_program "$work/one-question"
    window=$(wait_window メニュー 20) || {
        fail "$1: no menu window"
        cat "$work/stderr" >&2
        return 1
    }
    case $1 in
    menu) return 0 ;;
    properties) step "menu to properties" "$window" $menu_properties 気体の性質 || return 1 ;;
    *)
        step "menu to quiz" "$window" $menu_quiz ヴァポリカ || return 1
        [ "$1" = quiz ] && { window=$next; return 0; }
        step "right gas, then the apparatus quiz" "$next" $quiz_gas1 装置と捕集 || return 1
        [ "$1" = apparatus ] && { window=$next; return 0; }
        window=$next
        click "$window" $apparatus_generator3
        step "right generator and collection, then the summary" \
            "$window" $apparatus_collector3 まとめ || return 1
        ;;
    esac
    window=$next
}

# 1. Start: the menu window with its caption and size.
start_program "$work/shipped"
if menu=$(wait_window メニュー 20); then
    size=$(xdotool getwindowgeometry "$menu" | sed -n 's/.*Geometry: //p')
    [ "$size" = 650x419 ] || fail "menu window is $size, expected 650x419"
    echo "ok: start shows the menu" >&2
    click "$menu" $menu_quit
    expect_exit 0 "menu quit button"
else
    fail "start: no menu window"
    cat "$work/stderr" >&2
    end_run
fi

# 2. Every screen ends the program by its quit button and by its close box; the apparatus quiz
# and the summary, whose quit button holds the keyboard at the start, also by Enter.
for screen in menu quiz properties apparatus summary; do
    quit_at=${screen}_quit
    ways='button close-box'
    case $screen in apparatus | summary) ways="$ways Enter" ;; esac
    for way in $ways; do
        if open_screen $screen; then
            case $way in
            button) click "$window" ${!quit_at} ;;
            close-box) "$close_window" "$window" ;;
            Enter) press Return ;;
            esac
            expect_exit 0 "$screen: quit by $way" && echo "ok: $screen: quit by $way" >&2
        else
            end_run
        fi
    done
done

# 3. The properties browser by mouse, then menu -> properties -> back -> quiz -> back -> quit.
start_program "$work/shipped"
if menu=$(wait_window メニュー 20) &&
    step "menu to properties" "$menu" $menu_properties 気体の性質 && props=$next &&
    snap_properties "$props" "$work/before.png" && sleep 0.2 &&
    { click "$props" $properties_gas1; sleep 0.5; properties_shown "a gas clicked" "$props" "$work/before.png"; } &&
    step "properties back to menu" "$props" $properties_back メニュー && menu=$next &&
    step "menu to quiz" "$menu" $menu_quiz ヴァポリカ && quiz=$next &&
    step "quiz back to menu" "$quiz" $quiz_back メニュー && menu=$next; then
    click "$menu" $menu_quit
    expect_exit 0 "quit after the round trip"
else
    end_run
fi

# 4. A whole question by mouse, a wrong gas first, then the next question from the summary.
if open_screen quiz && quiz=$window &&
    { click "$quiz" $quiz_gas2; wrong_gas_stays "mouse"; } &&
    step "right gas, then the apparatus quiz" "$quiz" $quiz_gas1 装置と捕集 && apparatus=$next &&
    { click "$apparatus" $apparatus_generator3; true; } &&
    step "right generator and collection, then the summary" "$apparatus" $apparatus_collector3 まとめ &&
    summary=$next &&
    step "next question from the summary" "$summary" $summary_next ヴァポリカ && quiz=$next; then
    click "$quiz" $quiz_quit
    expect_exit 0 "quiz quit button after a whole question"
else
    end_run
fi

# 5. The keyboard alone, with no click at all: the menu, the gas quiz (a wrong gas, a full Tab
# cycle, the right gas), the apparatus quiz (the right generator, a wrong collection method, the
# right one), the summary and on to the next question, the properties browser and quit.
# Tab orders: menu quiz, properties, quit, Kipp; gas quiz gases 1..14, quit, back, properties;
# apparatus quit, generators 1..4, collection methods 1..3; summary quit, next question,
# properties, menu; properties back, quit, gases 14..1, quiz.
if open_screen menu &&
    key_step "Enter on the menu starts the quiz" ヴァポリカ Return &&
    { press Tab space; wrong_gas_stays "keyboard"; } &&
    { press_times 16 Tab; true; } &&
    key_step "a full Tab cycle back to the first gas, Enter: the apparatus quiz" 装置と捕集 Return &&
    { press_times 3 Tab; press Return; press Tab Tab space; sleep 1.5; true; } &&
    key_step "right generator by Enter, a wrong and the right collection by space: the summary" \
        まとめ Tab Tab space &&
    key_step "Tab, space on the summary: the next question" ヴァポリカ Tab space &&
    { press_times 15 Tab; true; } &&
    key_step "Tab to back, Enter: the menu" メニュー Return &&
    key_step "Tab to the properties, Enter" 気体の性質 Tab Return && props=$next &&
    snap_properties "$props" "$work/before.png" &&
    { press_times 15 Tab; press space; sleep 0.5; properties_shown "Tab to the first gas, space" "$props" "$work/before.png"; } &&
    key_step "Tab to back, Enter: the menu" メニュー Tab Tab Return; then
    press Tab Tab space
    expect_exit 0 "keyboard: quit from the menu" && echo "ok: keyboard: quit from the menu" >&2
else
    end_run
fi

[ $failures -eq 0 ] && echo "all real-window steps passed" >&2
exit $((failures > 0))
