#!/usr/bin/python3
"""What a screen reader finds of the launcher through AT-SPI.

  accessibility.py tree           prints the window's accessible tree, one node a line:
                                  depth, role, name, states (visible, showing), label relations,
                                  actions and all states, tab-separated
  accessibility.py press NAME     runs the Press action of the node named NAME
  accessibility.py size           prints the window's width and height in pixels

Exit status 1 when the launcher's window cannot be found within 10 s.
"""
import os
import sys
import time

import pyatspi

TITLE = os.environ["MAIN_TITLE"]


def window():
    end = time.time() + 10
    while time.time() < end:
        for app in pyatspi.Registry.getDesktop(0):
            if app is None:
                continue
            for node in app:
                if node is not None and node.name == TITLE:
                    return node
        time.sleep(0.1)
    sys.exit("no accessible window named " + TITLE)


def walk(node, depth=0):
    yield depth, node
    for child in node:
        if child is not None:
            yield from walk(child, depth + 1)


def describe(depth, node):
    states = node.getState()
    flags = ("V" if states.contains(pyatspi.STATE_VISIBLE) else "-") + (
        "S" if states.contains(pyatspi.STATE_SHOWING) else "-")
    # The relations between labels and what they name; Qt adds others of its own.
    relations = ",".join(
        "%s:%s" % (r.getRelationType().value_nick,
                   "|".join(r.getTarget(i).name for i in range(r.getNTargets())))
        for r in node.getRelationSet()
        if r.getRelationType() in (pyatspi.RELATION_LABEL_FOR, pyatspi.RELATION_LABELLED_BY))
    try:
        action = node.queryAction()
        actions = ",".join(action.getName(i) for i in range(action.nActions))
    except NotImplementedError:
        actions = ""
    every = ",".join(sorted(s.value_nick for s in states.getStates()))
    return "\t".join([str(depth), node.getRoleName(), node.name, flags, relations, actions, every])


def press(name):
    for _, node in walk(window()):
        if node.name == name:
            action = node.queryAction()
            for i in range(action.nActions):
                if action.getName(i) == "Press":
                    action.doAction(i)
                    return
    sys.exit("no node named %r with a Press action" % name)


def size():
    extents = window().queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    print(extents.width, extents.height)


if __name__ == "__main__":
    if sys.argv[1:] == ["tree"]:
        for depth, node in walk(window()):
            print(describe(depth, node))
    elif len(sys.argv) == 3 and sys.argv[1] == "press":
        press(sys.argv[2])
    elif sys.argv[1:] == ["size"]:
        size()
    else:
        sys.exit(__doc__)
