#!/usr/bin/python3
"""What a screen reader finds of the launcher through AT-SPI.

  accessibility.py tree           prints the window's accessible tree, one node a line:
                                  depth, role, name, states (visible, showing), label relations,
                                  actions, all states and text, tab-separated
  accessibility.py press NAME [ACTION...]
                                  runs the first of the actions (default: Press) that the node
                                  named NAME offers
  accessibility.py size           prints the window's width and height in pixels

Exit status 1 when the launcher's window cannot be found within 10 s.
"""
import os
import sys
import time

import pyatspi

TITLE = os.environ["MAIN_TITLE"]

# Roles by what they are, their number, named as pyatspi names the number (ROLE_PUSH_BUTTON:
# "push button"): AT-SPI's own names for roles change between releases (at-spi2-core 2.56 calls
# a push button "button"), their numbers do not.
ROLES = {int(value): name[len("ROLE_"):].lower().replace("_", " ")
         for name, value in vars(pyatspi).items()
         if name.startswith("ROLE_") and isinstance(value, int)}


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
    # The relations between labels and what they name (by name, else by role); Qt adds others of
    # its own.
    relations = ",".join(
        "%s:%s" % (r.getRelationType().value_nick,
                   "|".join(r.getTarget(i).name or role_of(r.getTarget(i))
                            for i in range(r.getNTargets())))
        for r in node.getRelationSet()
        if r.getRelationType() in (pyatspi.RELATION_LABEL_FOR, pyatspi.RELATION_LABELLED_BY))
    try:
        action = node.queryAction()
        actions = ",".join(action.getName(i) for i in range(action.nActions))
    except NotImplementedError:
        actions = ""
    every = ",".join(sorted(s.value_nick for s in states.getStates()))
    return "\t".join([str(depth), role_of(node), node.name, flags, relations, actions, every,
                      text_of(node)])


def role_of(node):
    return ROLES.get(int(node.getRole()), "role %d" % int(node.getRole()))


# The text a node offers (a list's current entry), or nothing.
def text_of(node):
    try:
        return node.queryText().getText(0, -1)
    except NotImplementedError:
        return ""


def press(name, wanted):
    for _, node in walk(window()):
        if node.name == name:
            action = node.queryAction()
            offered = [action.getName(i) for i in range(action.nActions)]
            for one in wanted:
                if one in offered:
                    action.doAction(offered.index(one))
                    return
    sys.exit("no node named %r with an action of %s" % (name, ", ".join(wanted)))


def size():
    extents = window().queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    print(extents.width, extents.height)


if __name__ == "__main__":
    if sys.argv[1:] == ["tree"]:
        for depth, node in walk(window()):
            print(describe(depth, node))
    elif len(sys.argv) >= 3 and sys.argv[1] == "press":
        press(sys.argv[2], sys.argv[3:] or ["Press"])
    elif sys.argv[1:] == ["size"]:
        size()
    else:
        sys.exit(__doc__)
