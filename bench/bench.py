#!/usr/bin/python3
# bench.py: the benchmark behind `make bench`. It runs the game and
# pokotama-floor (bench/floor.cpp, the least Qt Widgets needs for the game's
# job) in turn, each on a fresh Xvfb 1366x768 of its own without a window
# manager, and prints for both the median of every figure and their ratio:
# start-up to the first painted creature frame; CPU time over SECONDS s of
# the window alone (from 2 s after that frame) and over SECONDS s of a round
# played, from the start click, with xdotool clicks on the button (the floor
# gets the same clicks at the same moments); peak memory at the end of the
# played run; the X server's CPU time over the same windows, so that work
# moved to the server cannot pass for a saving; and the game's growth clock
# against the first round's schedule. The programs write the moments timed
# on stderr when POKOTAMA_BENCH_LOG is set (src/ui/benchlog.h), from the same
# monotonic clock as ours. Load average and steal time say how quiet it was.
#
#   bench/bench.py --game PATH --floor PATH --picture PATH
#                  [--runs N] [--startups N] [--seconds S]
#
# --runs 0 leaves out the long runs, --startups 0 the start-ups.
import argparse
import math
import os
import re
import select
import statistics
import subprocess
import sys
import tempfile
import time
from dataclasses import dataclass, field

FIRST_ROUND_TICKS = 150
STAGE_UPS = (10, 30, 60, 100)  # each takes 30 ms off the growth clock after it
NOTED_LATE_MS = 2  # a period this much late is named in its run's line
SETTLE_NS = 2_000_000_000  # from the first frame to the measured window
now = time.monotonic_ns  # CLOCK_MONOTONIC, as the programs' lines


class Failure(Exception):
    pass


@dataclass
class Line:
    kind: str  # frame, start or tick
    ns: int
    interval: int = 0  # start, tick: the growth clock's interval in ms
    count: int = 0  # tick: the tick count after the tick
    level: float = 0  # tick: the water level after the tick
    running: bool = False  # tick: whether the round still runs after it


LINE = re.compile(r"pokotama-bench (frame|start|tick) (-?\d+)(?: (\d+))?(?: (\d+) (-?\d+(?:\.\d+)?) ([01]))?")


def parse_line(text):
    """A program's benchmark line, or None for anything else on stderr."""
    m = LINE.fullmatch(text.rstrip())
    if not m:
        return None
    kind, ns, interval, count, level, running = m.groups()
    if (interval is None) != (kind == "frame") or (count is None) != (kind != "tick"):
        return None
    return Line(kind, int(ns), int(interval or 0), int(count or 0), float(level or 0), running == "1")


def first_round_interval(tick):
    """The interval in ms that tick 1 to 150 of a fresh first round comes at."""
    return 400 - 30 * sum(tick > at for at in STAGE_UPS)


SCHEDULE_MS = sum(first_round_interval(t) for t in range(1, FIRST_ROUND_TICKS + 1))  # 48 000


@dataclass
class TickStats:
    ticks: int = 0  # ticks seen
    mean_abs_ms: float = 0  # mean |period - interval|
    mean_abs_pct: float = 0  # the same, each in % of its interval
    max_late_ms: float = 0  # largest period - interval (0 if none late)
    max_late_tick: int = 0  # the tick ending that period (0 if none late)
    late: list = field(default_factory=list)  # (tick, ms) more than NOTED_LATE_MS late
    mismatches: int = 0  # ticks at another interval than the schedule's
    complete: bool = False  # the round reached tick 150 and ended there
    total_ms: float = 0  # start click to tick 150, if complete
    total_pct: float = 0  # (total - schedule) / schedule in %, if complete


def tick_stats(start, ticks):
    """The growth clock of the round the start line began: start to tick 1,
    then tick to tick, each period against the schedule's interval."""
    s, previous, sum_ms, sum_pct = TickStats(), start.ns, 0.0, 0.0
    for t in ticks:
        if t.kind != "tick" or t.ns <= start.ns:
            continue
        if t.count != s.ticks + 1 or t.count > FIRST_ROUND_TICKS:
            break  # a round after this one
        interval = first_round_interval(t.count)
        s.mismatches += t.interval != interval
        late = (t.ns - previous) / 1e6 - interval
        sum_ms += abs(late)
        sum_pct += abs(late) / interval * 100
        if late > NOTED_LATE_MS:
            s.late.append((t.count, late))
        if late > s.max_late_ms:
            s.max_late_ms, s.max_late_tick = late, t.count
        previous = t.ns
        s.ticks += 1
        if t.count == FIRST_ROUND_TICKS and not t.running:
            s.complete, s.total_ms = True, (t.ns - start.ns) / 1e6
            s.total_pct = (s.total_ms - SCHEDULE_MS) / SCHEDULE_MS * 100
        if not t.running:
            break
    if s.ticks:
        s.mean_abs_ms, s.mean_abs_pct = sum_ms / s.ticks, sum_pct / s.ticks
    return s


def watering_clicks(level):
    """How often the player waters after a tick left the gauge at level: back
    up to about 400 (a watering adds 59.5 on average), but never so much that
    the level could reach 700, where a watering may rot the creature, even
    if every watering gave its most, 109."""
    if level >= 400:
        return 0
    return max(0, min(math.ceil((400 - level) / 59.5), math.floor((699 - level) / 109)))


def median(values):
    return statistics.median(values) if values else 0


def read(path):
    try:
        with open(path) as f:
            return f.read()
    except OSError:
        return ""  # a thread that has just ended


def cpu_ns(pid):
    """CPU time of all live threads of a process: schedstat's first field."""
    try:
        threads = os.listdir(f"/proc/{pid}/task")
    except OSError:
        raise Failure(f"cannot read /proc/{pid}/task")
    return sum(int(f.split()[0]) for t in threads if (f := read(f"/proc/{pid}/task/{t}/schedstat")))


def peak_mb(pid):
    m = re.search(r"^VmHWM:\s+(\d+) kB$", read(f"/proc/{pid}/status"), re.M)
    if not m:
        raise Failure(f"no VmHWM for process {pid}")
    return int(m.group(1)) / 1024


def steal_seconds():
    """The time the hypervisor gave this machine's CPUs to others since boot
    (/proc/stat): CPU times measured while it grows are inflated."""
    return int(read("/proc/stat").split()[8]) / os.sysconf("SC_CLK_TCK")


def load_average():
    return float(read("/proc/loadavg").split()[0])


def stop(proc):
    if proc.poll() is None:
        proc.terminate()
        try:
            proc.wait(2)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()


def xdotool(*args):
    if subprocess.run(["xdotool", *map(str, args)], stdout=subprocess.DEVNULL).returncode:
        raise Failure(f"xdotool {args[0]} failed")


class XServer:
    """A private X server for one run; DISPLAY points at it while it lives."""

    def __enter__(self):
        r, w = os.pipe()
        self.proc = subprocess.Popen(["Xvfb", "-displayfd", str(w), "-screen", "0", "1366x768x24",
                                      "-nolisten", "tcp", "-noreset"], pass_fds=[w],
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(w)
        number = b""
        while select.select([r], [], [], 10)[0] and (c := os.read(r, 1)) not in (b"", b"\n"):
            number += c
        os.close(r)
        if not number:
            stop(self.proc)
            raise Failure("Xvfb did not start (is the package xvfb installed?)")
        os.environ["DISPLAY"] = ":" + number.decode()
        return self

    def __exit__(self, *error):
        stop(self.proc)


class Program:
    """The program under test, its stderr read line by line."""

    def __init__(self, args, runtime_dir):
        env = {k: v for k, v in os.environ.items() if k not in ("QT_QPA_PLATFORM", "QT_SCALE_FACTOR")}
        env.update(POKOTAMA_BENCH_LOG="1", XDG_RUNTIME_DIR=runtime_dir)
        self.start_ns = now()
        self.proc = subprocess.Popen(args, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        self.fd, self.buffer, self.other, self.closed = self.proc.stderr.fileno(), b"", "", False

    def __enter__(self):
        return self

    def __exit__(self, *error):
        stop(self.proc)
        self.proc.stderr.close()

    def next(self, deadline_ns):
        """The next benchmark line before the deadline; other lines are kept."""
        while True:
            if b"\n" in self.buffer:
                raw, self.buffer = self.buffer.split(b"\n", 1)
                if line := parse_line(raw.decode(errors="replace")):
                    return line
                self.other += raw.decode(errors="replace") + "\n"
                continue
            left = deadline_ns - now()
            if left <= 0 or self.closed:
                return None
            if select.select([self.fd], [], [], min(left / 1e9 + 0.001, 1))[0]:
                chunk = os.read(self.fd, 4096)
                self.buffer += chunk
                self.closed = not chunk

    def wait_until(self, deadline_ns):
        while self.next(deadline_ns):
            pass


def button_centre(title):
    out = subprocess.run(["xwininfo", "-name", title], capture_output=True, text=True).stdout
    g = dict(re.findall(r"(Absolute upper-left X|Absolute upper-left Y|Width|Height):\s+(-?\d+)", out))
    if int(g.get("Width", 0)) <= 0 or int(g.get("Height", 0)) <= 0:
        raise Failure(f"no window titled {title}")
    # The button: cells 0.5 to 3.5 across, 6 to 7 down, of a 10 x 10 grid.
    return (int(g["Absolute upper-left X"]) + int(g["Width"]) * 2 // 10,
            int(g["Absolute upper-left Y"]) + int(g["Height"]) * 65 // 100)


@dataclass
class Run:
    startup_ms: float
    cpu_s: float = 0
    x_cpu_s: float = 0
    steal_s: float = 0  # the machine's steal time over the measured window
    peak_mb: float = 0
    clicks: list = field(default_factory=list)  # (ns after the start click, times)
    ticks: TickStats = None


class Bench:
    def __init__(self, options, runtime_dir):
        self.o, self.runtime_dir = options, runtime_dir
        self.subjects = {"game": ([options.game], "ぽこたま"),
                         "floor": ([options.floor, options.picture], "pokotama-floor")}

    def run(self, name, kind, replay=None):
        """One start-up, idle or played run on a fresh server. The game is
        watered by its tick lines; the floor, given a replay, gets its clicks."""
        args, title = self.subjects[name]
        with XServer() as x, Program(args, self.runtime_dir) as program:
            while (line := program.next(program.start_ns + 30_000_000_000)) and line.kind != "frame":
                pass
            if not line:
                raise Failure(f"{name} painted no frame within 30 s:\n{program.other}")
            result = Run((line.ns - program.start_ns) / 1e6)
            if kind == "start-up":
                return result
            program.wait_until(now() + SETTLE_NS)
            if kind == "played":
                xdotool("mousemove", "--sync", *button_centre(title))
            cpu0, x0, steal0 = cpu_ns(program.proc.pid), cpu_ns(x.proc.pid), steal_seconds()
            begin = now()
            end = begin + int(self.o.seconds * 1e9)

            def click(times):
                result.clicks.append((now() - begin, times))
                xdotool("click", *(["--repeat", times, "--delay", 40] if times > 1 else []), 1)

            if kind == "played" and replay is None:
                click(1)  # はじめぃ
                start, ticks = None, []
                while line := program.next(end):
                    start = start or (line if line.kind == "start" else None)
                    if line.kind == "tick":
                        ticks.append(line)
                        if line.running and now() < end and (times := watering_clicks(line.level)):
                            click(times)
                if not start:
                    raise Failure(f"the start click did not start the growth clock:\n{program.other}")
                result.ticks = tick_stats(start, ticks)
            for at, times in (replay or []):
                if begin + at >= end:
                    break
                program.wait_until(begin + at)
                click(times)
            program.wait_until(end)
            if program.proc.poll() is not None:
                raise Failure(f"{name} ended during the {kind} run:\n{program.other}")
            result.cpu_s = (cpu_ns(program.proc.pid) - cpu0) / 1e9
            result.x_cpu_s = (cpu_ns(x.proc.pid) - x0) / 1e9
            result.steal_s = steal_seconds() - steal0
            result.peak_mb = peak_mb(program.proc.pid)
            return result


def row(figure, game, floor, unit, decimals, target, met=None):
    print("%-40s %12s %12s %7s   %-14s %s" % (
        figure, "%.*f %s" % (decimals, game, unit), "%.*f %s" % (decimals, floor, unit),
        "%.2f" % (game / floor if floor > 0 else 0), target, "" if met is None else "met" if met else "MISSED"))


def clock_row(figure, game, target, met):
    print("%-40s %12s %12s %7s   %-14s %s" % (figure, game, "-", "-", target, "met" if met else "MISSED"))


def main():
    parser = argparse.ArgumentParser(description="The game against the floor program, on Xvfb.")
    for name in ("--game", "--floor", "--picture"):
        parser.add_argument(name, required=True)
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--startups", type=int, default=15)
    parser.add_argument("--seconds", type=float, default=60)
    o = parser.parse_args()
    if o.runs < 0 or o.startups < 0 or o.runs + o.startups == 0 or o.seconds <= 0:
        parser.error("--runs and --startups must be 0 or more, not both 0, and --seconds more than 0")
    load_before = load_max = load_average()
    print("pokotama-bench: %d start-ups and %d idle and %d played runs of %.0f s for each program, on Xvfb "
          "1366x768\nload average (1 min) before: %.2f" % (o.startups, o.runs, o.runs, o.seconds, load_before),
          flush=True)
    with tempfile.TemporaryDirectory(prefix="pokotama-bench-") as runtime_dir:
        bench = Bench(o, runtime_dir)
        runs = {kind: {"game": [], "floor": []} for kind in ("start-up", "idle", "played")}

        def note(name, kind, i, r):
            nonlocal load_max
            load_max = max(load_max, load_average())
            text = "  %-5s %-8s %2d: start-up %7.1f ms" % (name, kind, i + 1, r.startup_ms)
            if r.peak_mb > 0:
                text += ", CPU %.3f s, X server %.3f s, peak %.1f MB, steal %.2f s" % (
                    r.cpu_s, r.x_cpu_s, r.peak_mb, r.steal_s)
            if t := r.ticks:
                text += ", %d clicks, %d ticks, mean |dev| %.2f ms, latest %+.2f ms (tick %d), round %s" % (
                    sum(n for _, n in r.clicks), t.ticks, t.mean_abs_ms, t.max_late_ms, t.max_late_tick,
                    "%.3f s" % (t.total_ms / 1000) if t.complete else "not completed")
                if t.late:
                    text += ", over %g ms late:" % NOTED_LATE_MS + "".join(" %d (%+.1f)" % late for late in t.late)
            print(text + "  (load %.2f)" % load_average(), flush=True)

        def record(name, kind, i, replay=None):
            runs[kind][name].append(bench.run(name, kind, replay))
            note(name, kind, i, runs[kind][name][-1])

        # Warm the file cache for both, then alternate which goes first.
        bench.run("game", "start-up")
        bench.run("floor", "start-up")
        for kind, count in (("start-up", o.startups), ("idle", o.runs)):
            for i in range(count):
                for name in ("floor", "game") if i % 2 else ("game", "floor"):
                    record(name, kind, i)
        for i in range(o.runs):
            # The floor replays the clicks of the game's run just before it.
            record("game", "played", i)
            record("floor", "played", i, runs["played"]["game"][-1].clicks)

    def both(kind, figure):
        return [median([getattr(r, figure) for r in runs[kind][name]]) for name in ("game", "floor")]

    def within(game, floor):
        return game <= 1.2 * floor

    print("\nmedians                                          game        floor   ratio   target")
    if o.startups:
        row("start-up to first creature frame", *both("start-up", "startup_ms"), "ms", 1, "ratio <= 1.2",
            within(*both("start-up", "startup_ms")))
    if o.runs:
        secs = "%g s" % o.seconds
        for figure, kind, attr, unit, decimals, target in (
                (f"CPU time, {secs} idle (animation only)", "idle", "cpu_s", "s", 3, True),
                (f"CPU time, {secs} of a round played", "played", "cpu_s", "s", 3, True),
                ("peak resident memory", "played", "peak_mb", "MB", 1, True),
                (f"X server CPU time, {secs} idle", "idle", "x_cpu_s", "s", 3, False),
                (f"X server CPU time, {secs} played", "played", "x_cpu_s", "s", 3, False)):
            v = both(kind, attr)
            row(figure, *v, unit, decimals, *(("ratio <= 1.2", within(*v)) if target else ("(reference)",)))
        ticks = [r.ticks for r in runs["played"]["game"]]
        done = [t for t in ticks if t.complete]
        worst_total = max((t.total_pct for t in done), key=abs, default=0)
        pct = median([t.mean_abs_pct for t in ticks])
        clock_row("tick period: mean |period - interval|",
                  "%.2f ms %.2f %%" % (median([t.mean_abs_ms for t in ticks]), pct), "<= 0.5 %", pct <= 0.5)
        late = median([t.max_late_ms for t in ticks])
        clock_row("tick period: most late (median of runs)", "%+.2f ms" % late, "<= 5 ms", late <= 5)
        worst = max([0] + [t.max_late_ms for t in ticks])
        clock_row("tick period: most late (worst run)", "%+.2f ms" % worst, "<= 5 ms", worst <= 5)
        total_pct = median([t.total_pct for t in done])
        clock_row("round of 150 ticks vs 48.000 s",
                  "%.3f s %+.3f %%" % (median([t.total_ms for t in done]) / 1000, total_pct) if done else "none",
                  "within 0.5 %", done and abs(total_pct) <= 0.5 and abs(worst_total) <= 0.5)
        print("\n%d of %d played rounds reached tick 150; ticks at another interval than the schedule: %d"
              % (len(done), len(ticks), sum(t.mismatches for t in ticks)))
    print("load average (1 min): before %.2f, highest seen %.2f, after %.2f" % (load_before, load_max,
                                                                               load_average()))


if __name__ == "__main__":
    try:
        main()
    except (Failure, OSError) as error:
        sys.exit(f"pokotama-bench: {error}")
