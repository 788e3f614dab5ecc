#!/usr/bin/python3
"""Reads and drives the program's window as a screen reader does, over AT-SPI.

  atspi_probe.py window              waits until the main window is on the bus
  atspi_probe.py tree                every page: press its tab, list "page<TAB>role<TAB>name"
  atspi_probe.py press NAME          the press action of the control named NAME
  atspi_probe.py focused             the name of the control that has the focus
  atspi_probe.py keys-until KEY NAME presses KEY (xdotool) until NAME has the focus
  atspi_probe.py watch NAME SECONDS  prints "ready", then "announced" when NAME becomes checked
  atspi_probe.py popup-press NAME    the press action of the item NAME of a popup menu or dialog
"""
import subprocess
import sys
import time

import pyatspi

TITLE = "Quarrion DORVEL_KITE7"


def main_window(timeout=20.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is None:
                continue
            for window in app:
                if window is not None and window.name == TITLE:
                    return window
        time.sleep(0.2)
    sys.exit("no window named " + TITLE)


def shown_children(window):
    for child in window:
        if child is not None and child.getState().contains(pyatspi.STATE_SHOWING):
            yield child


def find(window, name):
    for child in shown_children(window):
        if child.name == name:
            return child
    return None


def focused(window):
    for child in shown_children(window):
        if child.getState().contains(pyatspi.STATE_FOCUSED):
            return child.name
    return ""


def wait_until(predicate, timeout=5.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if predicate():
            return True
        time.sleep(0.1)
    return False


def tree(window):
    tabs = [c.name for c in shown_children(window) if c.getRole() == pyatspi.ROLE_PAGE_TAB]
    for tab in tabs:
        find(window, tab).queryAction().doAction(0)
        if not wait_until(lambda: find(window, tab).getState().contains(pyatspi.STATE_CHECKED)):
            sys.exit("the page " + tab + " did not open")
        time.sleep(0.3)
        for child in shown_children(window):
            print("%s\t%s\t%s" % (tab, child.getRoleName(), child.name.replace("\t", " ")))
    # Back to the first page.
    find(window, tabs[0]).queryAction().doAction(0)
    wait_until(lambda: find(window, tabs[0]).getState().contains(pyatspi.STATE_CHECKED))


def watch(window, name, seconds):
    from gi.repository import GLib

    def on_event(event):
        if event.source is not None and event.source.name == name and event.detail1 == 1:
            print("announced", flush=True)
            pyatspi.Registry.stop()

    pyatspi.Registry.registerEventListener(on_event, "object:state-changed:checked")
    GLib.timeout_add(int(seconds * 1000), pyatspi.Registry.stop)
    GLib.timeout_add(500, lambda: print("ready", flush=True) and False)
    pyatspi.Registry.start()


def popup_item(name, timeout=5.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        for app in pyatspi.Registry.getDesktop(0):
            if app is None:
                continue
            for window in app:
                if window is None or window.getRole() not in (pyatspi.ROLE_POPUP_MENU, pyatspi.ROLE_DIALOG):
                    continue
                for item in window:
                    if item is not None and item.name == name:
                        return item
        time.sleep(0.2)
    return None


def main():
    command = sys.argv[1]
    window = main_window()
    if command == "window":
        print("found")
    elif command == "tree":
        tree(window)
    elif command == "press":
        control = find(window, sys.argv[2])
        if control is None:
            sys.exit("no control named " + sys.argv[2])
        control.queryAction().doAction(0)
        print("pressed")
    elif command == "focused":
        print(focused(window))
    elif command == "keys-until":
        key, name = sys.argv[2], sys.argv[3]
        for _ in range(100):
            before = focused(window)
            subprocess.run(["xdotool", "key", key], check=True)
            wait_until(lambda: focused(window) != before, 1.0)
            if focused(window) == name:
                print("reached")
                return
        sys.exit("the focus never reached " + name)
    elif command == "popup-press":
        item = popup_item(sys.argv[2])
        if item is None:
            sys.exit("no popup item named " + sys.argv[2])
        item.queryAction().doAction(0)
        print("pressed")
    elif command == "watch":
        watch(window, sys.argv[2], float(sys.argv[3]))
    else:
        sys.exit("unknown command " + command)


main()
