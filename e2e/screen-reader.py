#!/usr/bin/python3
"""Completes a whole question through the accessibility bus alone, as a screen reader would: it
finds each control by its role and name, presses it by its action and listens for the
announcements, with no pointer and no key. Prints what a screen reader is given at each step.

With --orca, the real screen reader does the listening: Orca runs with its debug log as the record
of what it speaks, the program is driven by key presses alone (xdotool), and what Orca spoke in
each step is checked against what a sighted pupil sees then. Exits 77 where Orca cannot run.

Usage: screen-reader.py PROGRAM
       screen-reader.py --orca PROGRAM WORK-DIR
The program's data must hold a bank whose every question is the shipped first one: oxygen from
potassium chlorate and manganese dioxide, generator 3, collection over water."""

import datetime
import os
import re
import subprocess
import sys
import time
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

# Debian 12's libatspi has no undeprecated way to read an action's name.
warnings.filterwarnings("ignore", category=DeprecationWarning)

PROMPT = "下の薬品の組合せで発生する気体は何ですか"
QUESTION_REAGENT = "問題の薬品"
RIGHT_GAS, WRONG_GAS = "酸素", "水素"
REAGENTS = ["塩素酸カリウム", "二酸化マンガン"]
RIGHT_GENERATOR = "試験管に入れた固体を加熱する"
WRONG_COLLECTOR, RIGHT_COLLECTOR = "下方置換", "水上置換"

said = []  # what a screen reader is given, in order
announced = []  # the announcements alone
failures = []


def say(line):
    said.append(line)
    print(line, flush=True)


def on_event(event, *_):
    try:
        role = event.source.get_role()
        name = event.source.get_name()
    except GLib.Error:
        return
    if event.type.startswith("object:state-changed:showing"):
        if event.detail1 == 1 and role == Atspi.Role.NOTIFICATION:
            announced.append(name)
            say(f"  announced: {name}")
    elif event.type.startswith("window:activate"):
        say(f"  window: {name}")


def pump(seconds):
    """Lets the events of the next seconds arrive."""
    end = time.monotonic() + seconds
    context = GLib.MainContext.default()
    while time.monotonic() < end:
        while context.iteration(False):
            pass
        time.sleep(0.02)


def children(node):
    try:
        return [node.get_child_at_index(i) for i in range(node.get_child_count())]
    except GLib.Error:
        return []


def showing(node):
    return node.get_state_set().contains(Atspi.StateType.SHOWING)


def find(node, role, name=None, depth=0):
    """The first showing descendant with this role (any if None) and name (any if None), depth
    first in reading order."""
    for child in children(node):
        try:
            if (role is None or child.get_role() == role) and (name is None or child.get_name() == name) and showing(child):
                return child
        except GLib.Error:
            continue
        if depth < 4:
            found = find(child, role, name, depth + 1)
            if found is not None:
                return found
    return None


def find_all(node, role):
    found = []
    for child in children(node):
        if child.get_role() == role and showing(child):
            found.append(child)
        found.extend(find_all(child, role))
    return found


def application(pid, seconds=20):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        desktop = Atspi.get_desktop(0)
        for app in children(desktop):
            try:
                if app.get_process_id() == pid:
                    app.set_cache_mask(Atspi.Cache.NONE)
                    return app
            except GLib.Error:
                continue
        pump(0.2)
    return None


def wait_window(app, caption, seconds=10):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        app.clear_cache()
        for window in children(app):
            try:
                if window.get_name() == caption and showing(window):
                    say(f"[{caption}]")
                    return window
            except GLib.Error:
                continue
        pump(0.1)
    failures.append(f"no window {caption}")
    raise SystemExit(f"FAIL: no window {caption}")


def press(window, role, name):
    control = find(window, role, name)
    if control is None:
        failures.append(f"no {role.value_nick} named {name}")
        raise SystemExit(f"FAIL: no {role.value_nick} named {name}")
    names = [control.get_action_name(i).lower() for i in range(control.get_n_actions())]
    if "press" not in names:
        failures.append(f"{name} has no press action ({names})")
        raise SystemExit(f"FAIL: {name} has no press action ({names})")
    say(f"  press: {name} ({control.get_role_name()})")
    control.do_action(names.index("press"))


def expect_announcement(words, seconds=5):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if words in announced:
            announced.remove(words)
            return
        pump(0.05)
    failures.append(f"not announced: {words} (heard {announced})")


def check(condition, what):
    if not condition:
        failures.append(what)
        say(f"  FAIL: {what}")


def read_gas_quiz(window):
    prompt = find(window, None, PROMPT)
    check(prompt is not None and prompt.get_role() in (Atspi.Role.LABEL, Atspi.Role.STATIC),
          "the gas quiz does not expose its prompt as text")
    if prompt is not None:
        say(f"  reads: {PROMPT} ({prompt.get_role_name()})")
    reagents = [r for r in find_all(window, Atspi.Role.IMAGE) if r.get_description() == QUESTION_REAGENT]
    names = [r.get_name() for r in reagents]
    for name in names:
        say(f"  reads: {name}, {QUESTION_REAGENT}")
    check(names == REAGENTS, f"the reagents of the question read as {names}")


def main():
    program = sys.argv[1]
    Atspi.init()
    listener = Atspi.EventListener.new(on_event)
    for event in ("object:state-changed:showing", "window:activate"):
        listener.register(event)
    process = subprocess.Popen([program], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    try:
        app = application(process.pid)
        if app is None:
            raise SystemExit("FAIL: the program does not appear on the accessibility bus")
        menu = wait_window(app, "メニュー", 20)
        press(menu, Atspi.Role.PUSH_BUTTON, "ヴァポリカ")

        quiz = wait_window(app, "ヴァポリカ")
        read_gas_quiz(quiz)
        press(quiz, Atspi.Role.PUSH_BUTTON, WRONG_GAS)
        expect_announcement("不正解")
        pump(1.5)  # the cross shows for about a second; a press meanwhile is not judged
        press(quiz, Atspi.Role.PUSH_BUTTON, RIGHT_GAS)
        expect_announcement("正解")

        apparatus = wait_window(app, "装置と捕集")
        for frame in ("気体", "薬品"):
            group = find(apparatus, Atspi.Role.PANEL, frame)
            check(group is not None, f"no frame named {frame}")
            if group is not None:
                say(f"  reads: {frame}: " + "、".join(c.get_name() for c in children(group)))
        press(apparatus, Atspi.Role.PUSH_BUTTON, RIGHT_GENERATOR)
        expect_announcement("発生装置は正解。残りは捕集方法です")
        press(apparatus, Atspi.Role.PUSH_BUTTON, WRONG_COLLECTOR)
        expect_announcement("捕集方法は不正解")
        pump(1.5)
        press(apparatus, Atspi.Role.PUSH_BUTTON, RIGHT_COLLECTOR)
        expect_announcement("捕集方法は正解")

        summary = wait_window(app, "まとめ")
        for frame in ("気体", "薬品", "化学反応式", "実験装置"):
            group = find(summary, Atspi.Role.PANEL, frame)
            check(group is not None, f"the summary has no frame named {frame}")
            if group is not None:
                say(f"  reads: {frame}: " + "、".join(c.get_name() for c in children(group)))
        equation = find(summary, Atspi.Role.IMAGE, "化学反応式")
        words = equation.get_description() if equation is not None else None
        say(f"  reads: 化学反応式, {words}")
        # Every record of the bank is the same question, but the equation is the drawn number's.
        check(bool(words) and "→" in words, f"the equation reads as {words}")
        press(summary, Atspi.Role.PUSH_BUTTON, "ヴァポリカ")

        quiz = wait_window(app, "ヴァポリカ")
        read_gas_quiz(quiz)
        press(quiz, Atspi.Role.PUSH_BUTTON, "終了")
        status = process.wait(timeout=10)
        check(status == 0, f"exit status {status}")
    finally:
        if process.poll() is None:
            process.kill()
            process.wait()
        errors = process.stderr.read().decode(errors="replace")
        if "実行時エラー" in errors or "runtime error:" in errors:
            failures.append("error output: " + errors)
    for failure in failures:
        print(f"FAIL: {failure}", file=sys.stderr)
    if not failures:
        print("a whole question by screen reader passed", file=sys.stderr)
    return 1 if failures else 0


# --- With Orca -----------------------------------------------------------------------------

ORCA_STARTS = 4  # start-ups whose menu must be spoken
# An utterance in the log: its time, then the words, quoted, before the voice's settings.
SPOKEN = re.compile(r"^(\d\d:\d\d:\d\d\.\d+) - SPEECH OUTPUT: '(.*)'\s*[\[{]")


def now():
    """The time of day as Orca's log writes it, so steps and speech can be put side by side."""
    return datetime.datetime.now().strftime("%H:%M:%S.%f")


def xdotool(*args):
    return subprocess.run(["xdotool", *args], capture_output=True, text=True, timeout=10).stdout


def keys(*names, pause=0.8):
    """Presses each key as a pupil would, with time for Orca to speak after each."""
    for name in names:
        xdotool("key", name)
        time.sleep(pause)


def window_shown(caption, seconds=15):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if xdotool("search", "--onlyvisible", "--name", f"^{caption}$").strip():
            return True
        time.sleep(0.1)
    failures.append(f"no window {caption}")
    return False


def orca_listens(seconds):
    """Whether Orca has asked the accessibility registry for window and focus events, which it
    does once it runs; asked on the accessibility bus itself, read only."""
    from gi.repository import Gio

    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            session = Gio.bus_get_sync(Gio.BusType.SESSION, None)
            address = session.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress",
                                         None, None, Gio.DBusCallFlags.NO_AUTO_START, 2000, None)[0]
            bus = Gio.DBusConnection.new_for_address_sync(
                address, Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION,
                None, None)
            events = bus.call_sync("org.a11y.atspi.Registry", "/org/a11y/atspi/registry",
                                   "org.a11y.atspi.Registry", "GetRegisteredEvents", None, None,
                                   Gio.DBusCallFlags.NONE, 2000, None)[0]
            bus.close_sync(None)
            if any(name.lower().startswith("window:activate") for _, name in events):
                return True
        except GLib.Error:
            pass
        time.sleep(0.2)
    return False


def spoken_lines(log):
    """(time, words) of every utterance in Orca's debug log, in order."""
    lines = []
    with open(log, encoding="utf-8", errors="replace") as f:
        for line in f:
            match = SPOKEN.match(line)
            if match:
                lines.append((match.group(1), match.group(2)))
    return lines


def orca_main(program, work):
    log = os.path.join(work, "orca.log")
    orca = subprocess.Popen(["orca", "--debug-file", log], stdout=subprocess.DEVNULL,
                            stderr=open(os.path.join(work, "orca.err"), "w"))
    marks = []  # (step, time it began, words that Orca must speak in it)

    def step(name, *expected):
        marks.append((name, now(), expected))

    program_run = None
    try:
        if not orca_listens(30):
            with open(os.path.join(work, "orca.err"), encoding="utf-8", errors="replace") as err:
                print(err.read()[-2000:], file=sys.stderr)
            print("SKIP: Orca does not run here (it never listened on the accessibility bus)", file=sys.stderr)
            return 77
        # The menu and its focused button are spoken at every start; each but the last is quit
        # by the keyboard, and the last goes on to the question.
        for start in range(1, ORCA_STARTS + 1):
            step(f"start-up {start}", "メニュー", "ヴァポリカ プッシュボタン")
            program_run = subprocess.Popen([program], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            if not window_shown("メニュー"):
                return 1
            time.sleep(1.5)
            if start == ORCA_STARTS:
                break
            keys("Tab", "Tab", "Return")
            if program_run.wait(timeout=10) != 0:
                failures.append(f"start-up {start}: the program did not quit cleanly")

        step("the gas quiz", "問題:", *REAGENTS, "発生する気体は何ですか", "酸素 プッシュボタン")
        keys("Return", pause=0)
        window_shown("ヴァポリカ")
        time.sleep(2)
        step("a wrong gas", "水素 プッシュボタン", "不正解")
        keys("Tab", "Return", pause=1.5)
        step("the right gas", "酸素 プッシュボタン", "正解")
        # The next screen comes about a second after the right answer.
        keys("shift+Tab", "Return", pause=0.6)

        step("the apparatus quiz", "気体: 酸素", "薬品: " + "と".join(REAGENTS), "発生装置と捕集方法")
        window_shown("装置と捕集")
        time.sleep(2)
        step("the right generator", RIGHT_GENERATOR, "発生装置は正解。残りは捕集方法です")
        keys("Tab", "Tab", "Tab", "Return")
        step("the generator again", "発生装置はもう正解です")
        keys("Return", pause=1.5)
        step("a wrong collector", WRONG_COLLECTOR, "捕集方法は不正解")
        keys("Tab", "Tab", "Return", pause=1.5)
        step("the right collector", RIGHT_COLLECTOR, "捕集方法は正解")
        keys("Tab", "Tab", "Return", pause=0.6)

        # The set-up is said in the words of its own words file (question 1's picture, 101).
        with open(os.path.join(os.path.dirname(program), "装置", "souti(101).txt"), encoding="utf-8") as f:
            set_up_words = f.read().split("。")[0]
        step("the summary", "まとめ", "気体: 酸素", "化学反応式: 2KClO3 → 2KCl + 3O2", "理由：",
             "実験装置: " + set_up_words)
        window_shown("まとめ")
        time.sleep(2.5)

        # From the summary's first button (quit), two Tabs reach the properties button; from the
        # browser's first (back), two reach the last gas of its column.
        with open(os.path.join(os.path.dirname(program), "性質", "seisitu(14).txt"), encoding="utf-8") as f:
            first_row = f.read().split("。")[0]
        step("the properties browser", "気体の性質", first_row)
        keys("Tab", "Tab", "Return", pause=0)
        window_shown("気体の性質")
        time.sleep(1.5)
        keys("Tab", "Tab", "Return", pause=2)

        step("the Kipp panel", "キップの装置。加熱を必要としない", "コックは閉じています",
             "コックを開く プッシュボタン")
        keys("shift+Tab", "shift+Tab", "Return", pause=0)
        window_shown("メニュー")
        time.sleep(1.5)
        keys("Tab", "Tab", "Tab", "Return", pause=2)
        step("the stopcock", "コックを開きました")
        keys("Return", pause=1.5)
        # Closed again, and the program quit from the menu.
        step("the end")
        keys("Tab", "Return", "shift+Tab", "Return", pause=0.5)
        if program_run.wait(timeout=10) != 0:
            failures.append("the program did not quit cleanly at the end")
    finally:
        if program_run is not None and program_run.poll() is None:
            program_run.kill()
            program_run.wait()
        orca.terminate()  # Orca writes out its log as it stops
        try:
            orca.wait(timeout=15)
        except subprocess.TimeoutExpired:
            orca.kill()
            orca.wait()

    spoken = spoken_lines(log)
    for i, (name, begun, expected) in enumerate(marks):
        ended = marks[i + 1][1] if i + 1 < len(marks) else "99"
        said = [words for at, words in spoken if begun <= at < ended]
        print(f"[{name}]")
        for words in said:
            print(f"  Orca: {words}")
        heard = " ".join(said)
        for words in expected:
            if words not in heard:
                failures.append(f"{name}: Orca did not say {words!r}")
    for failure in failures:
        print(f"FAIL: {failure}", file=sys.stderr)
    if not failures:
        print("a whole question, the properties browser and the Kipp panel by Orca's speech passed",
              file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    if len(sys.argv) > 1 and sys.argv[1] == "--orca":
        sys.exit(orca_main(sys.argv[2], sys.argv[3]))
    sys.exit(main())
