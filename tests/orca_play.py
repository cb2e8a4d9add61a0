#!/usr/bin/python3
# orca_play.py: plays the running game by keyboard, as a player who cannot
# see the screen does, while the real Orca listens; then checks what Orca
# sent to speech. It watches the game only through the accessibility layer
# (the button's caption, the picture's name, the gauge's level and colour),
# plays one round to each ending (love, then 枯れる with a dip into blue and
# back, then 腐る, again until the gauge has turned yellow on the way) and
# starts over after each. What Orca said must tell the player, unasked:
# each round's opening and はじめぃ, 水をやる, each watering's line, each
# stage-up, each change of the gauge's colour, each ending and then
# やりなおし～; each once, and nothing else of the game. Orca speaks with
# espeak-ng's Japanese voice, which reads kana only: the game tells the
# kana readings of its texts (readings.txt beside this script), and none
# of what it told may have a kanji left or make the voice say "Chinese
# letter".
#
#   orca_play.py <pokotama> <orca's debug log> <orca's pid> [reader-captions]
# reader-captions: the game was built with Qt 6.8 or later, whose news
# comes as announcements (spoken without "notification") and leaves the
# button's captions to Orca, which says "CAPTION button." (Orca 48) or
# "CAPTION" (Orca 51) by itself.
# Exit status: 0 pass, 1 fail, 3 another Orca of this user is running.
import os
import re
import subprocess
import sys
import time

import atspi_wait
import pyatspi
from atspi_wait import pump

GAME, LOG, ORCA = sys.argv[1], sys.argv[2], int(sys.argv[3])
READER_CAPTIONS = sys.argv[4:] == ["reader-captions"]
DATA = os.path.join(os.path.dirname(GAME), "dat")
KANJI = re.compile("[\u3400-\u9fff\u3005]")


def hand_checked():
    """readings.txt: each text with kanji and what the game says for it."""
    told = {}
    with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "readings.txt"), encoding="utf-8") as readings:
        for line in readings.read().split("\n"):
            if line and not line.startswith("#"):
                fields = line.split("\t")
                told[fields[0]] = fields[-1]  # MeCab's reading, right or not
    return told


READINGS = hand_checked()


def in_kana(text):
    """A text as the game tells it: each line in kana."""
    return " ".join(READINGS.get(line, line) for line in text.split(" "))


START, WATER, START_OVER = "はじめぃ", "水をやる", "やりなおし～"
# The button as the player hears it.
WATER_SAID = in_kana(WATER)
ENDING_IMAGES = {"love": "大人になった　むにまる", "枯れる": "枯れてしまった　むにまる",
                 "腐る": "腐ってしまった　むにまる"}
# The gauge's colours as its description shows them, and as they are told.
BANDS = {"blue": "少ない（青）", "yellow": "多すぎる（黄色）", "red": "ふつう（赤）"}
BANDS_SAID = {colour: in_kana(band) for colour, band in BANDS.items()}
# An utterance in Orca's debug log: its text, which may run over several
# lines, then perhaps the voice.
SPOKEN = re.compile(r"^(\d\d):(\d\d):(\d\d\.\d+) - SPEECH OUTPUT: '(.*)'(?: ?\{.*\})?$", re.S)
SPOKEN_START = re.compile(r"^\d\d:\d\d:\d\d\.\d+ - SPEECH OUTPUT: '")
# The level on request: L.
LEVEL = re.compile("^" + in_kana("水の量") + r" (\d+)% (\S+)$")
NOTIFICATION = "notification "
# The growth message and the speech of each stage-up, as the game says them.
STAGE_UPS = {image: in_kana(news) for image, news in {
    "むにまる（段階 1）": "『幼いながらも』むにまるに　成長しました。 「ちみちみちみちみ・・・」",
    "むにまる（段階 2）": "『生意気になってきて』むにまるに　成長しました。 「ぽきっとおれちゃう」",
    "むにまる（段階 3）": "『まだまだ子供』むにまるに　成長しました。 「らいばるは　ぱいなっぷる」",
    "むにまる（段階 4）": "『そろそろ色気づいてきた』むにまるに　成長しました。 「どこみてるのよぅ」",
}.items()}
GAUGE = in_kana("水の量") + " "

start_time = time.time()
events = []  # (seconds, what the player did or the game showed)


def fail(why):
    print_transcript()
    print("FAIL:", why)
    sys.exit(1)


def note(what):
    events.append((time.time() - start_time, what))


def speech():
    """What Orca sent to speech so far: (seconds since start, text)."""
    said = []
    if not os.path.exists(LOG):
        return said
    with open(LOG, encoding="utf-8", errors="replace") as log:
        lines = log.read().split("\n")
    for i, line in enumerate(lines):
        if SPOKEN_START.match(line):
            # An utterance of several lines ends at the first that closes it.
            for end in range(i, min(i + 50, len(lines))):
                match = SPOKEN.match("\n".join(lines[i:end + 1]))
                if match:
                    break
            if match:
                h, m, s, text = match.groups()
                day = time.gmtime(start_time)
                at = time.mktime(day[:3] + (int(h), int(m), 0, 0, 0, -1)) + float(s) - time.timezone
                said.append((at - start_time, text))
    return said


def wait_for(what, test, seconds=20):
    return atspi_wait.wait_for(what, test, seconds, fail)


def text_file(name):
    """A data file's text as the game speaks it: its lines in kana, blank ones out."""
    with open(os.path.join(DATA, name + ".tad"), "rb") as data:
        lines = data.read().decode("cp932").split("\r\n")
    return " ".join(READINGS.get(line.strip(), line.strip()) for line in lines if line.strip())


OPENING = text_file("opn")
OPENING_NEWS = OPENING if READER_CAPTIONS else OPENING + " " + START


def orca_alive():
    try:
        os.kill(ORCA, 0)
        return True
    except ProcessLookupError:
        return False


def find(node, test):
    return pyatspi.findDescendant(node, test)


class Game:
    def __init__(self):
        self.running = False  # from the press on はじめぃ to the ending
        # The gauge's colours while a round ran, in order, as read when each
        # change was heard of: a change and its undoing in quick succession
        # may both read as the second, so only their number is sure.
        self.bands = []
        pyatspi.Registry.registerEventListener(self.on_description,
                                               "object:property-change:accessible-description")
        self.process = subprocess.Popen([GAME], stderr=subprocess.DEVNULL)
        self.app = wait_for("the game on the accessibility bus", self.find_app)
        self.window = wait_for("its window", lambda: find(self.app, lambda n: n.name == "ぽこたま"))
        self.button = find(self.window, lambda n: n.getRole() == pyatspi.ROLE_PUSH_BUTTON)
        self.gauge = find(self.window, lambda n: n.getRole() == pyatspi.ROLE_PROGRESS_BAR)
        self.image = find(self.window, lambda n: n.getRole() == pyatspi.ROLE_IMAGE)
        if not (self.button and self.gauge and self.image):
            fail("the window lacks a control")

    def on_description(self, event):
        try:
            if event.source.getRole() != pyatspi.ROLE_PROGRESS_BAR:
                return
            band = event.source.description
        except Exception:  # the game has gone meanwhile
            return
        # A new round sets the gauge back to red before its start is pressed.
        if self.running:
            note("colour: " + band)
            self.bands.append(band)

    @staticmethod
    def find_app():
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.name == "pokotama":
                return app
        return None

    def caption(self):
        # Built with Qt 6.8 or later, the button's name is its caption's reading.
        name = self.button.name
        return WATER if name == WATER_SAID else name

    def level(self):
        return self.gauge.queryValue().currentValue

    def percent(self):
        value = self.gauge.queryValue()
        return round(value.currentValue / value.maximumValue * 100)

    def takes_presses(self):
        return self.button.getState().contains(pyatspi.STATE_SENSITIVE)

    def quit(self):
        self.process.terminate()
        self.process.wait(10)


def press(key="Return"):
    subprocess.run(["xdotool", "key", key], check=True)


def as_news(said):
    """The news an utterance carries, or None."""
    said = said.strip()
    if said.startswith(NOTIFICATION):
        return said[len(NOTIFICATION):].removesuffix(".")
    return said.removesuffix(".") if READER_CAPTIONS else None


def heard(text, after=0):
    """Whether Orca has told text as news since after seconds."""
    return any(at >= after and as_news(said) == text for at, said in speech())


def says_caption(said, caption):
    """Whether an utterance is Orca's own for the focused button's new
    name: "CAPTION button." (Orca 48), or the caption alone (Orca 51)."""
    return said.strip().removesuffix(".") in (caption, caption + " button")


def heard_start_over(after):
    """Whether Orca has said since after that the button now starts over:
    its own words for the focused button's new name, or the game's news."""
    if READER_CAPTIONS:
        return any(at >= after and says_caption(said, START_OVER) for at, said in speech())
    return heard(START_OVER, after)


def play_round(game, aim, expect):
    """Plays one round from はじめぃ to its ending and starts over."""
    wait_for("はじめぃ", lambda: game.caption() == START)
    # A player hears the round's opening before pressing.
    wait_for("the opening spoken", lambda: heard(OPENING_NEWS, expect["since"]))
    game.running = True
    press()
    note("press: start")
    wait_for("水をやる", lambda: game.caption() == WATER)
    image, dipped, stages = game.image.name, False, []
    started, asked = time.time(), False
    while game.caption() == WATER:
        pump()
        if not asked and time.time() - started > 1.5:
            # The level on request, once a round that lasts, mid-round.
            asked = True
            percent = game.percent()
            press("l")
            expect["levels"].append((percent, time.time() - start_time))
            note("press: L at %d%%" % percent)
        level = game.level()
        if aim == "love":
            # Well clear of both edges: a watering (at most 109) from below
            # 590 stays under 700, where the gauge may rot, and the gauge
            # takes six ticks or more to run dry, time enough for a player
            # slowed by a loaded machine.
            water = level < 590
        elif aim == "枯れる":
            # Into blue, back to red with a few waterings, then dry.
            if game.bands[-1:] == [BANDS["blue"]] and not dipped:
                dipped = True
                while game.caption() == WATER and game.level() < 300:
                    water_once(game, expect)
            water = False
        else:
            water = True
        if water:
            water_once(game, expect)
        if game.caption() != WATER:
            break
        if game.level() != expect["watered"]:
            expect["watered"] = None
        if game.image.name != image and game.image.name in STAGE_UPS:
            image = game.image.name
            note("stage-up: " + image)
            stages.append(image)
        time.sleep(0.01)
    wait_for("やりなおし～", lambda: game.caption() == START_OVER)
    if expect["watered"] is not None:
        # The last watering counted changed nothing seen before the round
        # ended: the change may have been a tick's, the press coming after
        # the ending, when the button lets it pass.
        expect["unsure"] += 1
    ending = next((name for name, image in ENDING_IMAGES.items() if image == game.image.name), None)
    if ending is None:
        fail("the round ended showing %r" % game.image.name)
    note("ending: %s (aimed at %s)" % (ending, aim))
    expect["rounds"].append((ending, stages))
    ended_at = time.time() - start_time
    wait_for("the button's rest to end", game.takes_presses, 5)
    note("the button takes presses")
    # A player presses again once told the button starts over.
    wait_for("やりなおし～ spoken", lambda: heard_start_over(ended_at))
    # Starting over shows the about box; Enter on its OK starts the next round.
    press()
    note("press: start over")
    wait_for("the about box", lambda: find(game.app, lambda n: n.getRole() in (pyatspi.ROLE_DIALOG,
                                                                              pyatspi.ROLE_ALERT)))
    time.sleep(0.5)  # let Orca read the box before Enter stops its speech
    game.running = False
    expect["since"] = time.time() - start_time
    press()
    note("press: the about box's OK")
    wait_for("a new round", lambda: game.caption() == START)
    note("round start")


def water_once(game, expect):
    """One press of Enter while the button reads 水をやる. It waters, unless
    the round ends before the game takes it: then the button, resting,
    lets it pass."""
    before = game.level()
    press()
    # The press, or a tick before it, has changed the level, or the round is over.
    wait_for("a watering", lambda: game.level() != before or game.caption() != WATER, 5)
    # A name read from the bus is the last one told: hear all that is told.
    game.level()
    pump()
    if game.caption() == WATER:
        expect["waterings"] += 1
        expect["watered"] = game.level()
        note("press: water, level %g" % game.level())


def main():
    if not wait_for("Orca", lambda: not orca_alive() or speech(), 60) \
            or not orca_alive():
        others = subprocess.run(["pgrep", "-u", str(os.getuid()), "-x", "orca"], capture_output=True, text=True)
        sys.exit(3 if others.stdout.strip() else 1)
    note("Orca is on")
    expect = {"since": 0, "waterings": 0, "watered": None, "unsure": 0,
              "bands": [], "rounds": [], "levels": []}
    game = Game()
    try:
        wait_for("the window's keyboard focus", lambda: subprocess.run(
            ["xdotool", "getwindowfocus", "getwindowname"], capture_output=True, text=True).stdout.strip() == "ぽこたま")
        note("round start")
        # Each ending once, 腐る with the gauge turned yellow on the way.
        # A machine loaded enough to hold the player back for seconds may
        # wither a round aimed elsewhere; then that aim is tried again.
        for aim in ("love", "枯れる", "腐る"):
            for _ in range(4):
                play_round(game, aim, expect)
                ending, _ = expect["rounds"][-1]
                if ending == aim and (aim != "腐る" or BANDS["yellow"] in game.bands):
                    break
            else:
                fail("four rounds aimed at %s missed it" % aim)
        wait_for("the last opening spoken", lambda: heard(OPENING_NEWS, expect["since"]))
    finally:
        game.quit()
    expect["bands"] = game.bands
    print_transcript()
    check(expect)


def print_transcript():
    lines = [(at, "    " + what) for at, what in events] + [(at, "Orca: " + text) for at, text in speech()]
    for at, line in sorted(lines, key=lambda pair: pair[0]):
        print("%7.2f %s" % (at, line))


def check(expect):
    """Points 1 to 6 of what a player must hear, from Orca's utterances."""
    said = [text for _, text in speech()]
    notices = [news for news in map(as_news, said) if news is not None]
    lines = set(text_file("muni").split(" "))
    endings = {aim: text_file(aim) for aim in ENDING_IMAGES}
    opening = OPENING_NEWS

    # The milestones of the game, in order: each round's opening with
    # はじめぃ (1), 水をやる (2), the stage-ups (4), the ending and then
    # やりなおし～ (6); the lines of the waterings (3) and the gauge's
    # colours (5) between them. Every notification is one of these.
    milestones, waterings, bands, strays, levels = [], 0, [[]], [], []
    news = []  # what the game told, and the button's name as Orca said it
    for notice in notices:
        level = LEVEL.match(notice)
        if level:
            levels.append((int(level.group(1)), level.group(2)))
            news.append(notice)
            continue
        message, _, band = notice.partition(GAUGE)
        message = message.strip()
        if re.fullmatch(r"\d+ percent", band):
            continue  # Orca's own reading of the gauge, named (Orca 51)
        if READER_CAPTIONS and (says_caption(message, WATER_SAID) or says_caption(message, START_OVER)):
            news.append(notice)
            continue  # Orca's own words for the button, counted below
        if band or message in lines or message in (opening, WATER_SAID, START_OVER) \
                or message in STAGE_UPS.values() or message in endings.values():
            news.append(notice)
        if band:
            bands[-1].append(band)
        if message in lines:
            waterings += 1
        elif message == opening:
            milestones.append("opening")
            bands.append([])
        elif message == WATER_SAID:
            milestones.append(WATER)
        elif message in STAGE_UPS.values():
            milestones.append(message)
        elif message in endings.values():
            milestones.append("ending " + next(aim for aim in endings if endings[aim] == message))
        elif message == START_OVER:
            milestones.append(START_OVER)
        elif message and not READER_CAPTIONS:
            strays.append(notice)
    expected = ["opening"]
    for aim, stages in expect["rounds"]:
        expected += [] if READER_CAPTIONS else [WATER]
        expected += [STAGE_UPS[stage] for stage in stages]
        expected += ["ending " + aim] + ([] if READER_CAPTIONS else [START_OVER]) + ["opening"]

    failures = []
    if READER_CAPTIONS:
        # Orca's own words for the focused button's new caption, once a round.
        for caption in (WATER_SAID, START_OVER):
            count = sum(says_caption(text, caption) for text in said)
            if count != len(expect["rounds"]):
                failures.append("%r heard %d times in %d rounds" % (caption, count, len(expect["rounds"])))
    if milestones != expected:
        failures.append("the round's milestones were heard as %s, not %s" % (milestones, expected))
    if not expect["waterings"] - expect["unsure"] <= waterings <= expect["waterings"]:
        failures.append("%d waterings (%d of them perhaps let pass at an ending), %d of their lines heard"
                        % (expect["waterings"], expect["unsure"], waterings))
    # Each change of colour heard once: as many as were seen, and in a
    # round (which starts red) never a colour heard twice running.
    if sum(map(len, bands)) != len(expect["bands"]) or set(sum(bands, [])) - set(BANDS_SAID.values()) \
            or any(a == b for round_bands in bands for a, b in zip([BANDS_SAID["red"]] + round_bands, round_bands)):
        failures.append("the gauge's colours were heard as %s, seen as %s" % (bands, expect["bands"]))
    # The level on request: what the gauge showed then, give or take a
    # tick or a watering (at most 109 of 800) before Orca's turn came.
    if len(levels) != len(expect["levels"]) or any(
            abs(heard_percent - seen) > 14 or band not in BANDS_SAID.values()
            for (heard_percent, band), (seen, _) in zip(levels, expect["levels"])):
        failures.append("the level was heard as %s, asked for at %s"
                        % (levels, [seen for seen, _ in expect["levels"]]))
    if strays:
        failures.append("notifications besides the news: %s" % strays)
    # Nothing of the news twice, in whatever words: an opening, an ending
    # or a stage-up is in as many utterances as it was news.
    for text, name in [(opening, "opening")] + [(text, "ending " + aim) for aim, text in endings.items()] \
            + [(text, text) for text in STAGE_UPS.values()]:
        first = text.split(" ")[0]
        having = [said_text for said_text in said if first in said_text]
        if len(having) != milestones.count(name):
            failures.append("heard %d times, news %d times: %s" % (len(having), milestones.count(name), having))
    for ending, stages in expect["rounds"]:
        if ending == "love" and stages != list(STAGE_UPS):
            failures.append("the love round passed the stages %s" % stages)
    if BANDS["blue"] not in expect["bands"] or BANDS["yellow"] not in expect["bands"] \
            or BANDS["red"] not in expect["bands"]:
        failures.append("the play never showed all three colours: %s" % expect["bands"])
    # Heard whole by espeak-ng's Japanese voice: no kanji left in the news
    # for it to skip or to call "Chinese letter".
    unread = sorted({text for text in news if KANJI.search(text)})
    if unread:
        failures.append("kanji told to a voice that skips them: %s" % unread)
    def phonemes(text):
        return subprocess.run(["espeak-ng", "-v", "ja", "-x", "-q", text], capture_output=True, text=True,
                              check=True).stdout.strip()
    # What the voice says for a kanji it has no reading of, 量 for one.
    letter = phonemes("量").strip("_:")
    letters = sorted(text for text in set(news) if letter in phonemes(text))
    if not letter or letters:
        failures.append("espeak-ng says %r (Chinese letter) in %s" % (letter, letters))
    with open(LOG, encoding="utf-8", errors="replace") as log:
        languages = set(re.findall(r"SD rate .*, language (\S+)", log.read()))
    if not languages or any(not language.startswith("ja") for language in languages):
        failures.append("Orca spoke in %s, not Japanese" % sorted(languages))
    for failure in failures:
        print("FAIL:", failure)
    if failures:
        sys.exit(1)
    print("PASS: %d notifications, %d waterings, colours %s, levels %s; %d news in %d words, all heard in Japanese"
          % (len(notices), waterings, sum(bands, []), levels, len(news),
             sum(len(re.split("[ \u3000]+", text)) for text in news)))


main()
