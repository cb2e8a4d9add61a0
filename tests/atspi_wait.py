# atspi_wait.py: what the scripts that read the game over AT-SPI share:
# letting its events in, and waiting for the game to show something.
import time

from gi.repository import GLib


def pump(seconds=0.0):
    """Lets the accessibility events that have come in reach their
    listeners, and goes on doing so for seconds."""
    end = time.monotonic() + seconds
    context = GLib.MainContext.default()
    while True:
        while context.iteration(False):
            pass
        if time.monotonic() >= end:
            return
        time.sleep(0.01)


def wait_for(what, test, seconds, fail):
    """test()'s first true value within seconds; fail("no WHAT within N s")
    if none comes."""
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        pump()
        value = test()
        if value:
            return value
        time.sleep(0.02)
    fail("no %s within %d s" % (what, seconds))
