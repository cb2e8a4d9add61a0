#!/usr/bin/python3
# atspi_play.py: plays a round of the running game through the desktop's
# accessibility layer alone (AT-SPI, what the Orca screen reader reads),
# never looking at a pixel: it finds the window and its controls by role
# and name, starts the round and waters through the button's action,
# follows the water level, the creature's stage and every message by the
# events the game sends, lets the gauge run dry, reads the ending, waits
# out the button's rest and starts over through the about box. It prints
# what a reader hears at each event, and exits 1 at the first surprise.
import sys
import time

import atspi_wait
import pyatspi
from atspi_wait import pump

APP = "pokotama"
# The button while a round runs: its caption, or (built with Qt 6.8 or
# later, where Orca speaks the name itself) the caption's kana reading.
WATER = ("水をやる", "みずをやる")
heard = []  # (what, whose role, text) for every event, in order


def fail(why):
    print("FAIL:", why)
    sys.exit(1)


def wait_for(what, test, seconds=10):
    return atspi_wait.wait_for(what, test, seconds, fail)


def on_event(event):
    source = event.source
    try:
        role = source.getRole()
        role_name = source.getRoleName()
        if event.type.startswith("object:property-change:accessible-value"):
            text = "%g" % source.queryValue().currentValue
        elif event.type.startswith("object:state-changed"):
            text = "%s %s" % (event.type.split(":")[-1], "on" if event.detail1 else "off")
        elif event.type.startswith("object:property-change:accessible-description"):
            text = source.description
        else:
            text = source.name
    except Exception:  # the source went away meanwhile
        return
    heard.append((event.type, role, text))
    print("heard %-48s %-13s %s" % (event.type, role_name, text.replace("\n", " / ")))


def find_app():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == APP:
            return app
    return None


def children(node):
    return [node.getChildAtIndex(i) for i in range(node.childCount)]


def press(node):
    actions = node.queryAction()
    for i in range(actions.nActions):
        if actions.getName(i) == "Press":
            actions.doAction(i)
            return
    fail("%s %r has no Press" % (node.getRoleName(), node.name))


def sensitive(node):
    return node.getState().contains(pyatspi.STATE_SENSITIVE)


def main():
    for kind in ("object:property-change:accessible-value", "object:property-change:accessible-name",
                 "object:property-change:accessible-description", "object:state-changed:sensitive"):
        pyatspi.Registry.registerEventListener(on_event, kind)

    app = wait_for("application " + APP, find_app)
    window = wait_for("window", lambda: next((c for c in children(app) if c.getRole() == pyatspi.ROLE_FRAME), None))
    if window.name != "ぽこたま":
        fail("the window is named %r" % window.name)
    # Roles by what they mean: at-spi2-core names them differently from
    # release to release ("push button" on Debian 12, "button" on 13).
    roles = [c.getRole() for c in children(window)]
    print("tree:", window.getRoleName(), repr(window.name), [c.getRoleName() for c in children(window)])
    if roles != [pyatspi.ROLE_IMAGE, pyatspi.ROLE_PROGRESS_BAR, pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_LABEL]:
        fail("the window holds %s" % roles)
    image, gauge, button, message = children(window)
    level = gauge.queryValue()
    print("gauge: %r %g of %g to %g, %r" % (gauge.name, level.currentValue, level.minimumValue,
                                         level.maximumValue, gauge.description))
    if (gauge.name, level.minimumValue, level.maximumValue, level.currentValue) != ("水の量", 0, 800, 300):
        fail("the gauge is not the water level")
    print("image:", repr(image.name), "button:", repr(button.name), "message:", repr(message.name))

    # Start, then water whenever the gauge is low, until むにまる has grown once.
    press(button)
    wait_for("the start", lambda: button.name in WATER)
    before = level.currentValue
    press(button)
    wait_for("a watering", lambda: level.currentValue != before)
    watered = level.currentValue - before
    if not 10 <= watered <= 109:
        fail("a watering added %g" % watered)
    end = time.monotonic() + 20
    while image.name != "むにまる（段階 1）" and button.name in WATER and time.monotonic() < end:
        pump(0.05)
        if level.currentValue < 350:
            # One press at a time: a press goes through a tenth of a second
            # later, and another press before then puts it off again.
            before = level.currentValue
            press(button)
            wait_for("a watering", lambda: level.currentValue != before or button.name not in WATER)
    if image.name != "むにまる（段階 1）":
        fail("no stage 1 while the round ran")
    # Then no more water: it withers. (Built with Qt 6.8 or later, the
    # button keeps its old name for a reader while it rests.)
    wait_for("the ending", lambda: "枯れて" in message.name, seconds=30)
    if image.name != "枯れてしまった　むにまる":
        fail("not the withering ending: %r, %r" % (image.name, message.name))
    if sensitive(button):
        fail("the button takes presses right after the ending")
    wait_for("the button's rest to end", lambda: sensitive(button), seconds=5)
    wait_for("やりなおし～", lambda: button.name == "やりなおし～", seconds=1)

    # Starting over shows the about box; its OK starts the next round.
    press(button)
    about = wait_for("the about box", lambda: next((c for c in children(app) if c is not None
                                                     and c.getRole() in (pyatspi.ROLE_DIALOG, pyatspi.ROLE_ALERT)), None))
    texts = [c.name for c in children(about)]
    print("about box:", about.getRoleName(), repr(about.name), texts)
    # A reader hears the maker's line as it is shown, not its markup.
    if not any("（https://munimaru.example/）" in (text or "") for text in texts) or any("<" in (text or "") for text in texts):
        fail("the about box's text as a reader has it: %r" % texts)
    ok = wait_for("its OK", lambda: next((c for c in pyatspi.findAllDescendants(about, lambda n: n.getRole()
                                         == pyatspi.ROLE_PUSH_BUTTON)), None))
    press(ok)
    wait_for("a new round", lambda: button.name == "はじめぃ")
    pump(0.5)

    kinds = {(what.split(":")[2] if what.count(":") > 1 else what, role) for what, role, _ in heard}
    for needed in [("accessible-value", pyatspi.ROLE_PROGRESS_BAR), ("accessible-name", pyatspi.ROLE_LABEL),
                   ("accessible-name", pyatspi.ROLE_IMAGE), ("accessible-name", pyatspi.ROLE_PUSH_BUTTON),
                   ("sensitive", pyatspi.ROLE_PUSH_BUTTON), ("accessible-description", pyatspi.ROLE_PROGRESS_BAR)]:
        if needed not in kinds:
            fail("never heard %s of the %s" % needed)
    print("PASS")


main()
