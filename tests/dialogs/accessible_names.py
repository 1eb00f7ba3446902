"""Lists the controls of the form that a process shows, as the accessibility bus sees them, and
fails when a control that takes the keyboard focus has no name a screen reader could speak.

Usage: accessible_names.py PID"""
import os
import sys
import time

import pyatspi


def running(pid):
    try:
        with open(f"/proc/{pid}/stat") as stat:
            return stat.read().rsplit(")", 1)[1].split()[0] != "Z"
    except OSError:
        return False


def find_form(pid, seconds=30):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if not running(pid):
            print("the program ended without showing a form")
            return None
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            try:
                if app is not None and app.get_process_id() == pid and app.childCount > 0:
                    return app[0]
            except Exception:
                pass  # an application that went away meanwhile
        time.sleep(0.2)
    return None


def walk(node, depth=0, parent_role=""):
    yield node, depth, parent_role
    for child in node:
        if child is not None:
            yield from walk(child, depth + 1, node.getRoleName())


def needs_name(node, parent_role):
    """Whether a screen reader needs the node's own name: it takes the focus, and is not the
    drop-down list of a combo box (the combo box's name and the items' names are spoken)."""
    if not node.getState().contains(pyatspi.STATE_FOCUSABLE):
        return False
    return not (parent_role == "combo box" and node.getRoleName() in ("list", "menu"))


def main():
    form = find_form(int(sys.argv[1]))
    if form is None:
        print("no form of the program appeared on the accessibility bus")
        return 1
    unnamed = 0
    for node, depth, parent_role in walk(form):
        focusable = node.getState().contains(pyatspi.STATE_FOCUSABLE)
        name = node.name or ""
        missing = needs_name(node, parent_role) and not name.strip()
        unnamed += missing
        mark = "  <-- no name" if missing else ""
        print(f"{'  ' * depth}{node.getRoleName()}: {name!r}{' (focusable)' if focusable else ''}{mark}")
    if unnamed:
        print(f"{unnamed} focusable control(s) without an accessible name")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
