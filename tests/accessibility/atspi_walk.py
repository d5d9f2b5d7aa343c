#!/usr/bin/python3
"""Walks Zorvel's main window through the AT-SPI bus, as a screen reader does.

Usage: atspi_walk.py ZORVEL_BINARY
Run inside a session bus and an X server (dbus-run-session, xvfb-run); the
accessibility bus is started on demand. Fails when a control that takes the
keyboard focus reaches the screen reader without a name, or when the
window's known controls are not found by their Persian names.
"""
import os
import subprocess
import sys
import time

import pyatspi

# Names a screen reader must find, whatever the layout.
EXPECTED = [
    (pyatspi.ROLE_PUSH_BUTTON, "بعدي"),
    (pyatspi.ROLE_PUSH_BUTTON, "راهنما"),
    (pyatspi.ROLE_PUSH_BUTTON, "خروجي"),
    (pyatspi.ROLE_PUSH_BUTTON, "انتخاب شاخه متون ورودی"),
    (pyatspi.ROLE_PUSH_BUTTON, "انتخاب فایل موزیک اول"),
    (pyatspi.ROLE_TEXT, "مسير متون ورودي"),
    (pyatspi.ROLE_TEXT, "مسير ساخت خروجي"),
    (pyatspi.ROLE_TEXT, "رديف اول"),
    (pyatspi.ROLE_RADIO_BUTTON, "فعال"),
    (pyatspi.ROLE_CHECK_BOX, "ايجاد امكان پرينت در نرمافزار"),
]


def find_app(name, seconds):
    end = time.time() + seconds
    while time.time() < end:
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.name == name and app.childCount > 0:
                return app
        time.sleep(0.5)
    return None


def walk(node, depth, out):
    try:
        role = node.getRole()
        name = node.name or ""
        states = node.getState()
    except Exception:  # a node that went away while walked
        return
    out.append((depth, role, name, states, node))
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            walk(child, depth + 1, out)


def labelled_by(node):
    try:
        for rel in node.getRelationSet():
            if rel.getRelationType() == pyatspi.RELATION_LABELLED_BY and rel.getNTargets() > 0:
                return rel.getTarget(0).name
    except Exception:
        pass
    return ""


def focused(app):
    nodes = []
    walk(app, 0, nodes)
    for _, _, name, states, node in nodes:
        if states.contains(pyatspi.STATE_FOCUSED):
            return pyatspi.Accessible.getRoleName(node), name or labelled_by(node)
    return None


def tab_walk(app, presses=26):
    """Tabs through the window as a keyboard user does, reading each stop."""
    # No window manager gives the window the focus here: xdotool does.
    subprocess.run(["xdotool", "search", "--sync", "--name", "^Zorvel$", "windowfocus", "--sync"],
                   check=False, timeout=20)
    time.sleep(0.5)
    print("focus at start ->", focused(app))
    spoken = []
    for _ in range(presses):
        subprocess.run(["xdotool", "key", "Tab"], check=False, timeout=10)
        time.sleep(0.15)
        stop = focused(app)
        print("Tab ->", stop)
        spoken.append(stop)
    problems = []
    if sum(1 for s in spoken if s) < presses // 2:
        problems.append("the focus could not be followed with Tab")
    problems += ["a Tab stop without a name: %s" % s[0] for s in spoken if s and not s[1].strip()]
    if len(set(s for s in spoken if s)) < 20:
        problems.append("Tab visits fewer than 20 distinct controls")
    return problems


def main():
    binary = sys.argv[1]
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1")
    env.pop("QT_QPA_PLATFORM", None)
    proc = subprocess.Popen([binary], env=env)
    try:
        app = find_app("Zorvel", 30)
        if app is None:
            print("Zorvel did not appear on the accessibility bus")
            return 1
        nodes = []
        walk(app, 0, nodes)
        problems = []
        found = set()
        for depth, role, name, states, node in nodes:
            spoken = name or labelled_by(node)
            print("%s%s: %s" % ("  " * depth, pyatspi.Accessible.getRoleName(node), spoken))
            if states.contains(pyatspi.STATE_FOCUSABLE) and states.contains(pyatspi.STATE_SHOWING):
                if not spoken.strip():
                    problems.append("%s without a name" % pyatspi.Accessible.getRoleName(node))
            found.add((role, name))
        for role, name in EXPECTED:
            if (role, name) not in found:
                problems.append("not found: role %s named %s" % (role, name))
        frames = [n for d, r, nm, s, n in nodes if r == pyatspi.ROLE_FRAME and nm == "Zorvel"]
        if not frames:
            problems.append("no frame named Zorvel")
        problems += tab_walk(app)
        for p in problems:
            print("PROBLEM:", p)
        print("%d nodes, %d problems" % (len(nodes), len(problems)))
        return 1 if problems else 0
    finally:
        proc.terminate()
        try:
            proc.wait(10)
        except subprocess.TimeoutExpired:
            proc.kill()


if __name__ == "__main__":
    sys.exit(main())
