"""The window program as assistive tools see it: its AT-SPI tree (python3-pyatspi).

Commands (the program runs as 'vantor' on the session's accessibility bus):
  check LABEL          fails (exit 1) on an interactive control without a name or a role,
                       naming each; LABEL says where (language and page) in the messages
  find ROLE NAME       prints 'found' and exits 0 when a showing control of ROLE is named
                       NAME (exactly), else exits 1
  focused              prints the role and name of the focused control
  value ROLE NAME      prints the current value of that control
  dump                 prints the tree
Roles are AT-SPI role names as pyatspi spells them ('push button', 'check box').
"""
import sys
import time

import pyatspi

# Roles a user acts on: each needs a name that says what it does.
INTERACTIVE = {
    pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_RADIO_BUTTON,
    pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_SLIDER, pyatspi.ROLE_LIST, pyatspi.ROLE_TREE,
    pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY, pyatspi.ROLE_SPIN_BUTTON,
    pyatspi.ROLE_TOGGLE_BUTTON, pyatspi.ROLE_PAGE_TAB, pyatspi.ROLE_MENU_ITEM,
}
# Roles that say nothing about what a control is.
NO_ROLE = {pyatspi.ROLE_FILLER, pyatspi.ROLE_UNKNOWN, pyatspi.ROLE_PANEL,
           pyatspi.ROLE_REDUNDANT_OBJECT}


def application(wait=20.0):
    deadline = time.time() + wait
    while time.time() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.name in ("vantor", "Vantor Mouse Center"):
                return app
        time.sleep(0.3)
    sys.exit("the program is not on the accessibility bus")


def walk(node, depth=0):
    yield node, depth
    try:
        children = list(node)
    except Exception:  # an object that went while we looked
        return
    for child in children:
        if child is not None:
            yield from walk(child, depth + 1)


def showing(node):
    states = node.getState()
    return states.contains(pyatspi.STATE_SHOWING) and states.contains(pyatspi.STATE_VISIBLE)


def check(label):
    problems = []
    for node, _ in walk(application()):
        if not showing(node):
            continue
        role = node.getRole()
        focusable = node.getState().contains(pyatspi.STATE_FOCUSABLE)
        if role in INTERACTIVE and not node.name.strip():
            problems.append(f"{label}: a {node.getRoleName()} without a name")
        elif role in NO_ROLE and focusable:
            problems.append(f"{label}: a focusable control without a role ('{node.name}')")
    for problem in problems:
        print(problem)
    return 1 if problems else 0


def find_node(role, name):
    for node, _ in walk(application()):
        if node.getRoleName() == role and node.name == name and showing(node):
            return node
    return None


def main(argv):
    command = argv[1] if len(argv) > 1 else "dump"
    if command == "check":
        return check(argv[2])
    if command == "find":
        found = find_node(argv[2], argv[3])
        print("found" if found else f"no {argv[2]} named '{argv[3]}'")
        return 0 if found else 1
    if command == "value":
        node = find_node(argv[2], argv[3])
        if node is None:
            return 1
        try:
            print(node.queryValue().currentValue)
        except NotImplementedError:
            print(node.queryText().getText(0, -1))
        return 0
    if command == "focused":
        for node, _ in walk(application()):
            if node.getState().contains(pyatspi.STATE_FOCUSED):
                print(f"{node.getRoleName()}: {node.name}")
                return 0
        return 1
    for node, depth in walk(application()):
        mark = "" if showing(node) else "  (hidden)"
        print(f"{'  ' * depth}{node.getRoleName()}: {node.name}{mark}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
