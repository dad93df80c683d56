#!/usr/bin/python3
"""Completes a whole question through the accessibility bus alone, as a screen reader would: it
finds each control by its role and name, presses it by its action and listens for the
announcements, with no pointer and no key. Prints what a screen reader is given at each step.

Usage: screen-reader.py PROGRAM
The program's data must hold a bank whose every question is the shipped first one: oxygen from
potassium chlorate and manganese dioxide, generator 3, collection over water."""

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
        expect_announcement("発生装置は正解")
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


if __name__ == "__main__":
    sys.exit(main())
