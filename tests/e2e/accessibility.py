#!/usr/bin/python3
# Reads the running program as a screen reader does (AT-SPI) and acts through it: the sheet
# is a frame named by its title, the six amounts are named after their captions, the table and
# its columns after their headings, and the company's name, pressed, opens its dialog, whose
# text box is named after the dialog. The new name is typed through the text box's editable
# text and the dialog closed by its button. Then a row typed with real keys (at CELL_X, CELL_Y)
# must reach a listener as events: the new Subtotal and the row's extended amount, as a screen
# reader hears them, not read afresh. Prints what is wrong, one line each; the exit status
# counts them.
import os
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

problems = []


def wait_for(find, what, limit=20):
    end = time.time() + limit
    while time.time() < end:
        found = find()
        if found is not None:
            return found
        time.sleep(0.2)
    sys.exit(f"accessibility: {what} never appeared")


def walk(node):
    if node is None:
        return
    yield node
    for child in node:
        yield from walk(child)


def program():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "pelmora-po":
            return app
    return None


def actions(node):
    try:
        action = node.queryAction()
    except NotImplementedError:
        return {}
    return {action.getName(i): i for i in range(action.nActions)}


def labelled_by(node):
    for relation in node.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            return relation.getTarget(0).name
    return None


app = wait_for(program, "the program on the accessibility bus")
sheet = wait_for(lambda: next((w for w in app if w.name == "The Purchase Order Form"), None), "the sheet")
nodes = list(walk(sheet))

for window in app:
    if window is not None and (window.getRoleName() != "frame" or not window.name):
        problems.append(f"a window is a {window.getRoleName()} named '{window.name}'")
unnamed = [f"{n.getRoleName()} in {n.parent.getRoleName()} '{n.parent.name}' with {n.childCount} children" for n in nodes
           if not n.name and n.getRoleName() in ("scroll pane", "table", "frame", "text")]
if unnamed:
    problems.append(f"unnamed on the sheet: {unnamed}")
tables = [n.name for n in nodes if n.getRoleName() == "table"]
if tables != ["Line items"]:
    problems.append(f"the sheet's tables are named {tables}")

for caption in ["Subtotal", "Discounts", "Shipping", "Tax", "Credited", "Balance Due"]:
    amounts = [n for n in nodes if n.getRoleName() == "label" and n.name == caption and n.description == "0.00"]
    if len(amounts) != 1:
        problems.append(f"no amount named '{caption}' (showing 0.00)")
    elif labelled_by(amounts[0]) != caption:
        problems.append(f"the amount '{caption}' is labelled by '{labelled_by(amounts[0])}'")

columns = [n.name for n in nodes if n.getRoleName() == "table column header"]
expected = ["Qty", "Units", "SKU", "Product", "Description", "Unit Price", "Extended"]
if columns != expected:
    problems.append(f"the table's columns are named {columns}, not {expected}")

unpressable = [n.name for n in nodes if n.getRoleName() == "label" and "Press" not in actions(n)]
if unpressable:
    problems.append(f"texts without a press action: {unpressable}")

company = next((n for n in nodes if n.getRoleName() == "label" and n.name == "Acme Tools Ltd."), None)
if company is None:
    problems.append("no text named 'Acme Tools Ltd.'")
else:
    company.queryAction().doAction(actions(company)["Press"])
    dialog = wait_for(lambda: next((w for w in app if w.name == "Enter Company Name"), None),
                      "the company name's dialog")
    if dialog.getRoleName() != "dialog":
        problems.append(f"the company name's dialog is a {dialog.getRoleName()}")
    box = next((n for n in walk(dialog) if n.getRoleName() == "text"), None)
    if box is None or box.name != "Enter Company Name":
        problems.append(f"the dialog's text box is named '{box.name if box else None}'")
    if box is not None:
        box.queryEditableText().setTextContents("Read Aloud Co")
    close = next((n for n in walk(dialog) if n.getRoleName() == "push button" and n.name == "Close"), None)
    if close is None:
        sys.exit("accessibility: the dialog has no 'Close' button")
    close.queryAction().doAction(actions(close)["Press"])

# A row typed with real keys; what a screen reader hears of it arrives as events.
heard = []


def listen(event):
    try:
        source = event.source
        heard.append((event.type, source.name, source.description))
    except Exception:  # an object gone meanwhile
        return
    if told_subtotal() and told_amount() and told_typed():
        pyatspi.Registry.stop()


# A screen reader keeps what it was told: the figure's own property must be the one announced.
def told_subtotal():
    return any(t.endswith("accessible-description") and n == "Subtotal" and d == "6.00" for t, n, d in heard)


def told_amount():
    return any(t.endswith("accessible-name") and n == "6.00" for t, n, _ in heard)


def told_typed():
    return any(t.endswith("accessible-name") and n == "3" and d == "Qty, Line 1" for t, n, d in heard)


def type_row():
    x, y = os.environ["CELL_X"], os.environ["CELL_Y"]
    subprocess.run(["xdotool", "mousemove", x, y, "click", "1"], check=True)
    time.sleep(0.5)
    subprocess.run(["xdotool", "type", "--delay", "80", "3"], check=True)
    for _ in range(5):
        subprocess.run(["xdotool", "key", "Tab"], check=True)
    subprocess.run(["xdotool", "type", "--delay", "80", "2"], check=True)
    return False


events = ["object:property-change:accessible-description", "object:property-change:accessible-name"]
pyatspi.Registry.registerEventListener(listen, *events)
def listen_while(seconds, act):
    """Runs the event loop until a listener stops it or the time is up."""
    GLib.timeout_add(500, act)
    limit = GLib.timeout_add_seconds(seconds, lambda: pyatspi.Registry.stop())
    pyatspi.Registry.start()
    GLib.source_remove(limit)


listen_while(20, type_row)
pyatspi.Registry.deregisterEventListener(listen, *events)
if not told_subtotal():
    problems.append(f"no event told the new Subtotal 6.00; heard {heard[-8:]}")
if not told_amount():
    problems.append("no event told the row's extended amount 6.00")
if not told_typed():
    problems.append("no event told the quantity 3 typed into 'Qty, Line 1'")

# The date picker: a day moved to with the keyboard is heard as its whole date, and Return
# picks it. The days' grid has the keyboard when the picker opens.
date = next((n for n in walk(sheet) if n.getRoleName() == "label" and labelled_by(n) == "Date:"), None)
if date is None:
    sys.exit("accessibility: no value labelled 'Date:'")
date.queryAction().doAction(actions(date)["Press"])
picker = wait_for(lambda: next((w for w in app if w.name.startswith("Set ")), None), "the date picker")
if picker.getRoleName() != "dialog":
    problems.append(f"the date picker is a {picker.getRoleName()}")
days = next((n for n in walk(picker) if n.getRoleName() == "table"), None)
if days is None or days.name != "Purchase Order Date":
    problems.append(f"the picker's days are named '{days.name if days else None}'")
focused = []


def focus(event):
    if event.detail1 and event.source.getRoleName() == "table cell":
        focused.append(event.source.name)
        pyatspi.Registry.stop()


def next_day():
    subprocess.run(["xdotool", "key", "--delay", "150", "Right"], check=True)
    return False


pyatspi.Registry.registerEventListener(focus, "object:state-changed:focused")
listen_while(10, next_day)
# Weekday, day, month and year, in whatever order the locale puts them.
tomorrow = os.environ["TOMORROW"].split()
if len(focused) != 1 or not all(word in focused[0].replace(",", " ").split() for word in tomorrow):
    problems.append(f"the day moved to is heard as {focused}, not as {tomorrow}")
subprocess.run(["xdotool", "key", "Return"], check=True)

for problem in problems:
    print("accessibility:", problem)
sys.exit(len(problems))
