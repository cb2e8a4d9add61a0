#!/usr/bin/python3
# test_bench.py: how the benchmark reads the programs' lines, times the growth clock against its
# schedule and plays a round; and, given the built programs, one very short real run of it.
import json, os, subprocess, sys, unittest

sys.dont_write_bytecode = True  # no __pycache__ beside the sources
from bench import (SCHEDULE_MS, STAGE_UPS, Line, TickStats, first_round_interval, parse_line, tick_stats,
                   watering_clicks)

MS = 1_000_000
START = Line("start", 0, 400)

def perfect_round(t0=0):
    """A first round whose ticks all come on schedule, from a start at t0."""
    return [Line("tick", t0 + MS * sum(map(first_round_interval, range(1, n + 1))), first_round_interval(n), n, 300,
                 n < 150) for n in range(1, 151)]

class ProgramLines(unittest.TestCase):
    def test_reads_the_three_lines(self):
        self.assertEqual(parse_line("pokotama-bench frame 1514914088588\n"), Line("frame", 1514914088588))
        self.assertEqual(parse_line("pokotama-bench start 1516881584981 400"), Line("start", 1516881584981, 400))
        self.assertEqual(parse_line("pokotama-bench tick 1517282793238 370 11 157 1"),
                         Line("tick", 1517282793238, 370, 11, 157, True))
        self.assertFalse(parse_line("pokotama-bench tick 1 280 150 12 0").running)

    def test_ignores_everything_else(self):
        for text in ("QStandardPaths: XDG_RUNTIME_DIR not set, defaulting to '/tmp/runtime-root'", "",
                     "pokotama-bench", "pokotama-bench paint 12", "pokotama-bench frame", "pokotama-bench frame x",
                     "pokotama-bench start 12", "pokotama-bench frame 12 13", "pokotama-bench tick 12 400 1 220",
                     "pokotama-bench tick 12 400 1 220 2", "pokotama-bench start 12 400 1 220 1",
                     "xpokotama-bench frame 12"):
            self.assertIsNone(parse_line(text), text)

class GrowthClock(unittest.TestCase):
    def test_first_round_schedule(self):
        self.assertEqual([first_round_interval(n) for n in (1, 10, 11, 30, 31, 60, 61, 100, 101, 150)],
                         [400, 400, 370, 370, 340, 340, 310, 310, 280, 280])
        self.assertEqual(SCHEDULE_MS, 48000)

    def test_late_tick_is_late_once_and_early_once(self):
        ticks = perfect_round()
        ticks[41].ns += 6 * MS  # tick 42; the clock does not drift, so 43 is early
        s = tick_stats(START, ticks)
        self.assertEqual((s.max_late_ms, s.max_late_tick, s.total_ms), (6, 42, 48000))
        self.assertAlmostEqual(s.mean_abs_ms, 12 / 150)
        self.assertAlmostEqual(s.mean_abs_pct, 2 * 6 / 340 * 100 / 150)

    def test_drift_shows_in_the_total(self):
        ticks = perfect_round()
        for t in ticks:  # a clock restarted 60 ms late at each stage-up
            t.ns += 60 * MS * sum(t.count > at for at in STAGE_UPS)
        s = tick_stats(START, ticks)
        self.assertEqual((s.max_late_ms, s.max_late_tick, s.total_ms), (60, 11, 48240))
        self.assertAlmostEqual(s.total_pct, 0.5)

    def test_periods_are_held_against_the_schedule_not_the_game(self):
        s = tick_stats(START, [Line("tick", n * 400 * MS, 400, n, 300, True) for n in range(1, 13)])  # 11, 12: 370
        self.assertEqual((s.mismatches, s.max_late_ms, s.complete), (2, 30, False))

    def test_only_the_started_round_counts(self):  # and its ticks only, on schedule to the ns
        t0 = 10_000 * MS
        ticks = [Line("tick", t0 - 100 * MS, 400, 7, 300, True), Line("start", t0, 400), Line("frame", t0 + MS),
                 *perfect_round(t0), Line("tick", t0 + 60_000 * MS, 400, 1, 300, True)]
        s = tick_stats(Line("start", t0, 400), ticks)
        self.assertEqual(s, TickStats(ticks=150, complete=True, total_ms=48000))  # and nothing late or off

    def test_a_missing_tick_line_or_an_ending_ends_the_count(self):
        ticks = perfect_round()[:5]
        del ticks[2]  # tick 3
        s = tick_stats(START, ticks)
        self.assertEqual((s.ticks, s.max_late_ms), (2, 0))
        ticks = perfect_round()[:40]  # and a withered round is not complete
        ticks[-1].running = False
        ticks.append(Line("tick", ticks[-1].ns + 340 * MS, 340, 41, 300, True))  # cannot come
        s = tick_stats(START, ticks)
        self.assertEqual((s.ticks, s.complete, s.total_ms), (40, False, 0))

class Player(unittest.TestCase):
    def test_never_waters_towards_rot(self):
        for level in range(1000):
            n = watering_clicks(level)
            self.assertTrue(n == 0 or (n > 0 and level + 109 * n < 700), level)
        # None from 400 up, else back up to about 400 unless that could take it to 700 (six at 0 would want seven).
        self.assertEqual([watering_clicks(n) for n in (400, 650, 399, 300, 100, 0)], [0, 0, 1, 2, 5, 6])

    @unittest.skipUnless(os.environ.get("POKOTAMA_SIM"), "needs POKOTAMA_SIM, the built pokotama-sim")
    def test_every_round_reaches_the_love_ending(self):
        """By the game's own rules and draws (the simulator), 40 rounds in a row."""
        with subprocess.Popen([os.environ["POKOTAMA_SIM"], "--data", os.environ["POKOTAMA_DATA"]],
                              stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True, bufsize=1) as sim:
            def send(event):
                sim.stdin.write(event + "\n")
                return json.loads(sim.stdout.readline())

            send("load")
            for round_ in range(40):
                state = send("click")  # start
                while (state := send("tick"))["TimEnabled"]:
                    for _ in range(watering_clicks(state["Level"])):
                        state = send("click")
                self.assertEqual((state["Picture"], state["TimLbl"]), ("love", "150"), f"round {round_ + 1}")
                send("click")  # start over

@unittest.skipUnless(os.environ.get("POKOTAMA_GAME"), "needs POKOTAMA_GAME, FLOOR and PICTURE, the built programs")
class RealRun(unittest.TestCase):
    """The harness on the real programs, briefly: only that it prints every figure."""

    def test_prints_every_figure(self):
        run = subprocess.run([sys.executable, os.path.join(os.path.dirname(__file__), "bench.py"),
                              "--game", os.environ["POKOTAMA_GAME"], "--floor", os.environ["POKOTAMA_FLOOR"],
                              "--picture", os.environ["POKOTAMA_PICTURE"],
                              "--runs", "1", "--startups", "2", "--seconds", "5"], capture_output=True, text=True)
        self.assertEqual(run.returncode, 0, run.stderr)
        both = r" +\d+\.\d+ {0} +\d+\.\d+ {0} +\d+\.\d\d "
        for figure in (r"start-up to first creature frame" + both.format("ms"),
                       r"CPU time, 5 s idle \(animation only\)" + both.format("s"),
                       r"CPU time, 5 s of a round played" + both.format("s"),
                       r"peak resident memory" + both.format("MB"),
                       r"X server CPU time, 5 s idle" + both.format("s"),
                       r"X server CPU time, 5 s played" + both.format("s"),
                       r"tick period: mean \|period - interval\| +\d+\.\d+ ms \d+\.\d+ %",
                       r"tick period: most late \(median of runs\) +[-+]\d+\.\d+ ms",
                       r"tick period: most late \(worst run\) +[-+]\d+\.\d+ ms",
                       r"round of 150 ticks vs 48\.000 s +none",
                       r"game  played    1: .*, steal \d+\.\d+ s, \d+ clicks, [1-9]\d* ticks, .*latest [-+]\d",
                       r"floor idle      1: .*, CPU \d+\.\d+ s, X server \d+\.\d+ s, peak \d+\.\d MB",
                       r"load average \(1 min\): before \d+\.\d+, highest seen \d+\.\d+, after \d+\.\d+"):
            self.assertRegex(run.stdout, figure)

if __name__ == "__main__":
    unittest.main()
