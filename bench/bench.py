#!/usr/bin/python3
# bench.py, behind `make bench`: the game against pokotama-floor (bench/floor.cpp), each on a
# fresh Xvfb, timed by their own lines on stderr (bench/benchprobe.cpp); README.md's Benchmark
# section says what each figure means. --runs 0 leaves out the long runs, --startups 0 the start-ups.
#   bench/bench.py --game PATH --floor PATH --picture PATH [--runs N] [--startups N] [--seconds S]
import argparse, contextlib, math, os, pathlib, re, select, subprocess, tempfile, time
from subprocess import DEVNULL, PIPE, Popen
from dataclasses import dataclass, field
from statistics import fmean, median

FIRST_ROUND_TICKS = 150
STAGE_UPS = (10, 30, 60, 100)  # each takes 30 ms off the growth clock's interval
SETTLE_NS = 2_000_000_000  # from the first frame to a long run's window
now = time.monotonic_ns  # CLOCK_MONOTONIC, as the programs' lines

def fail(why):
    raise SystemExit("pokotama-bench: " + why)  # after every server and program is stopped

@dataclass
class Line:
    kind: str  # frame, start or tick
    ns: int
    interval: int = 0  # start, tick: the growth clock's interval in ms
    count: int = 0  # tick: after the tick, the tick count,
    level: float = 0  # the water level
    running: bool = False  # and whether the round still runs

LINE = re.compile(r"pokotama-bench (frame|start|tick) (-?\d+)(?: (\d+))?(?: (\d+) (-?\d+(?:\.\d+)?) ([01]))?")

def parse_line(text):
    """A program's benchmark line, or None for anything else on stderr."""
    m = LINE.fullmatch(text.rstrip())
    if not m or (m[3] is None) != (m[1] == "frame") or (m[4] is None) != (m[1] != "tick"):
        return None
    return Line(m[1], int(m[2]), int(m[3] or 0), int(m[4] or 0), float(m[5] or 0), m[6] == "1")

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
    mismatches: int = 0  # ticks at another interval than the schedule's
    complete: bool = False  # the round reached tick 150 and ended there
    total_ms: float = 0  # start click to tick 150, if complete
    total_pct: float = 0  # (total - schedule) / schedule in %, if complete

def tick_stats(start, ticks):
    """The growth clock of the round the start line began: start to tick 1,
    then tick to tick, each period against the schedule's interval."""
    s, previous, deviations = TickStats(), start.ns, []
    for t in (t for t in ticks if t.kind == "tick" and t.ns > start.ns):
        if t.count != s.ticks + 1 or t.count > FIRST_ROUND_TICKS:
            break  # a line lost, or a round after this one
        interval = first_round_interval(t.count)
        late, previous, s.ticks = (t.ns - previous) / 1e6 - interval, t.ns, s.ticks + 1
        s.mismatches += t.interval != interval
        deviations.append((abs(late), abs(late) / interval * 100))
        if late > s.max_late_ms:
            s.max_late_ms, s.max_late_tick = late, t.count
        if not t.running:
            if t.count == FIRST_ROUND_TICKS:
                s.complete, s.total_ms = True, (t.ns - start.ns) / 1e6
                s.total_pct = (s.total_ms - SCHEDULE_MS) / SCHEDULE_MS * 100
            break
    if deviations:
        s.mean_abs_ms, s.mean_abs_pct = map(fmean, zip(*deviations))
    return s

def watering_clicks(level):
    """How often the player waters after a tick left the gauge at level: back
    up to about 400 (a watering adds 59.5 on average), but never so often that
    the level could reach 700, where a watering may rot the creature, even if
    every watering gave its most, 109. So every round runs its 150 ticks."""
    return max(0, min(math.ceil((400 - level) / 59.5), math.floor((699 - level) / 109)))

def cpu_ns(pid):
    """CPU time of all live threads of a process: schedstat's first field."""
    total = 0
    for task in pathlib.Path(f"/proc/{pid}/task").iterdir():
        with contextlib.suppress(OSError, IndexError):  # a thread that has just ended
            total += int((task / "schedstat").read_text().split()[0])
    return total

def peak_mb(pid):
    m = re.search(r"^VmHWM:\s+(\d+) kB$", pathlib.Path(f"/proc/{pid}/status").read_text(), re.M)
    return int(m[1]) / 1024 if m else fail(f"no VmHWM for process {pid}")

def steal_seconds():
    """Time the hypervisor gave this machine's CPUs to others since boot: CPU
    times measured while it grows are inflated."""
    return int(pathlib.Path("/proc/stat").read_text().split()[8]) / os.sysconf("SC_CLK_TCK")

class Stopped(Popen):
    """A process that is stopped, its pipes closed, as its with block ends."""
    def __exit__(self, *exc):
        self.terminate()  # nothing if it has ended
        try:
            self.wait(2)
        except subprocess.TimeoutExpired:
            self.kill()
        super().__exit__(*exc)  # closes the pipes and waits

def xdotool(*args):
    if subprocess.run(["xdotool", *map(str, args)], stdout=DEVNULL).returncode:
        fail(f"xdotool {args[0]} failed")

@contextlib.contextmanager
def x_server():
    """A private X server for one run; DISPLAY points at it while it lives."""
    with Stopped(["Xvfb", "-displayfd", "1", "-screen", "0", "1366x768x24", "-nolisten", "tcp", "-noreset"],
                 stdout=PIPE, stderr=DEVNULL, text=True) as proc:
        if not (number := proc.stdout.readline().strip()):  # empty if it ended
            fail("Xvfb did not start (is the package xvfb installed?)")
        os.environ["DISPLAY"] = ":" + number
        yield proc

class Program(Stopped):
    """The program under test, its stderr read line by line: unbuffered, so
    that select sees every line not yet read."""
    def __init__(self, args, runtime_dir):
        env = {k: v for k, v in os.environ.items() if k not in ("QT_QPA_PLATFORM", "QT_SCALE_FACTOR")}
        env.update(POKOTAMA_BENCH_LOG="1", XDG_RUNTIME_DIR=runtime_dir)
        self.start_ns, self.other = now(), ""
        super().__init__(args, env=env, stdout=DEVNULL, stderr=PIPE, bufsize=0)

    def next(self, deadline_ns):
        """The next benchmark line before the deadline, or None; other lines are kept."""
        while select.select([self.stderr], [], [], max(0, deadline_ns - now()) / 1e9)[0]:
            if not (text := self.stderr.readline().decode(errors="replace")):
                return None  # the program has ended
            if line := parse_line(text):
                return line
            self.other += text

    def wait_until(self, deadline_ns):
        while self.next(deadline_ns):
            pass

def button_centre(title):
    out = subprocess.run(["xwininfo", "-name", title], capture_output=True, text=True).stdout
    g = {k: int(v) for k, v in re.findall(r"(upper-left X|upper-left Y|Width|Height):\s+(-?\d+)", out)}
    if g.get("Width", 0) <= 0 or g.get("Height", 0) <= 0:
        fail(f"no window titled {title}")
    # The button: cells 0.5 to 3.5 across, 6 to 7 down, of a 10 x 10 grid.
    return g["upper-left X"] + g["Width"] * 2 // 10, g["upper-left Y"] + g["Height"] * 65 // 100

@dataclass
class Run:
    startup_ms: float
    cpu_s: float = 0
    x_cpu_s: float = 0
    steal_s: float = 0  # the machine's steal time over the measured window
    peak_mb: float = 0
    clicks: list = field(default_factory=list)  # (ns after the start click, times)
    ticks: TickStats = None

def run(o, name, kind, replay=None):
    """One start-up, idle or played run on a fresh server. The game is
    watered by its tick lines; the floor, given a replay, gets its clicks."""
    args, title = {"game": ([o.game], "ぽこたま"), "floor": ([o.floor, o.picture], "pokotama-floor")}[name]
    with x_server() as x, Program(args, o.runtime_dir) as program:
        while (line := program.next(program.start_ns + 30_000_000_000)) and line.kind != "frame":
            pass
        if not line:
            fail(f"{name} painted no frame within 30 s:\n{program.other}")
        result = Run((line.ns - program.start_ns) / 1e6)
        if kind == "start-up":
            return result
        program.wait_until(now() + SETTLE_NS)
        if kind == "played":
            xdotool("mousemove", "--sync", *button_centre(title))
        cpu0, x0, steal0 = cpu_ns(program.pid), cpu_ns(x.pid), steal_seconds()
        end = (begin := now()) + int(o.seconds * 1e9)

        def click(times):
            result.clicks.append((now() - begin, times))
            xdotool("click", *(["--repeat", times, "--delay", 40] if times > 1 else []), 1)

        if kind == "played" and replay is None:
            click(1)  # はじめぃ
            lines = []
            while line := program.next(end):
                lines.append(line)
                if line.kind == "tick" and line.running and now() < end and (times := watering_clicks(line.level)):
                    click(times)
            if not (start := next((line for line in lines if line.kind == "start"), None)):
                fail(f"the start click did not start the growth clock:\n{program.other}")
            result.ticks = tick_stats(start, lines)
        for at, times in replay or []:
            if begin + at >= end:
                break
            program.wait_until(begin + at)
            click(times)
        program.wait_until(end)
        if program.poll() is not None:
            fail(f"{name} ended during the {kind} run:\n{program.other}")
        result.cpu_s, result.x_cpu_s = (cpu_ns(program.pid) - cpu0) / 1e9, (cpu_ns(x.pid) - x0) / 1e9
        result.steal_s, result.peak_mb = steal_seconds() - steal0, peak_mb(program.pid)
        return result

def note(name, kind, i, r):
    """A run's own line, as it ends."""
    text = "  %-5s %-8s %2d: start-up %7.1f ms" % (name, kind, i + 1, r.startup_ms)
    if r.peak_mb > 0:
        text += ", CPU %.3f s, X server %.3f s, peak %.1f MB, steal %.2f s" % (r.cpu_s, r.x_cpu_s, r.peak_mb, r.steal_s)
    if t := r.ticks:
        text += ", %d clicks, %d ticks, mean |dev| %.2f ms, latest %+.2f ms (tick %d), round %s" % (
            sum(n for _, n in r.clicks), t.ticks, t.mean_abs_ms, t.max_late_ms, t.max_late_tick,
            "%.3f s" % (t.total_ms / 1000) if t.complete else "not completed")
    print(text + "  (load %.2f)" % os.getloadavg()[0], flush=True)

def row(figure, game, floor="-", ratio="-", target="", met=None):
    print("%-40s %12s %12s %7s   %-14s %s" % (figure, game, floor, ratio, target,
                                              "" if met is None else "met" if met else "MISSED"))

def machine(game):
    """The machine the figures come from, in one line: CPU model, cores and the Qt the game runs on.
    Compare ratios across machines, never milliseconds."""
    model = next((line.split(":", 1)[1].strip() for line in pathlib.Path("/proc/cpuinfo").read_text().splitlines()
                  if line.startswith("model name")), "an unknown CPU")
    linked = subprocess.run(["ldd", game], capture_output=True, text=True).stdout
    core = re.search(r"libQt6Core\.so\S* => (\S+)", linked)
    qt = re.search(r"\.so\.(6\.\d+\.\d+)$", os.path.realpath(core[1])) if core else None
    return "machine: %s, %d cores, Qt %s" % (model, os.cpu_count(), qt[1] if qt else "of unknown version")

def main():
    parser = argparse.ArgumentParser(description="The game against the floor program, on Xvfb.")
    for name in ("--game", "--floor", "--picture"):
        parser.add_argument(name, required=True)
    for name, kind, default in (("--runs", int, 5), ("--startups", int, 15), ("--seconds", float, 60)):
        parser.add_argument(name, type=kind, default=default)
    o = parser.parse_args()
    if o.runs < 0 or o.startups < 0 or o.runs + o.startups == 0 or o.seconds <= 0:
        parser.error("--runs and --startups must be 0 or more, not both 0, and --seconds more than 0")
    loads = [os.getloadavg()[0]]  # before, then after each run
    print("pokotama-bench: %d start-ups and %d idle and %d played runs of %.0f s for each program, on Xvfb "
          "1366x768\n%s\nload average (1 min) before: %.2f" % (o.startups, o.runs, o.runs, o.seconds,
                                                              machine(o.game), loads[0]), flush=True)
    runs = {kind: {"game": [], "floor": []} for kind in ("start-up", "idle", "played")}
    with tempfile.TemporaryDirectory(prefix="pokotama-bench-") as o.runtime_dir:
        def record(name, kind, i, replay=None):
            runs[kind][name].append(run(o, name, kind, replay))
            loads.append(os.getloadavg()[0])
            note(name, kind, i, runs[kind][name][-1])

        run(o, "game", "start-up")  # warm the file cache for both,
        run(o, "floor", "start-up")
        for kind, count in (("start-up", o.startups), ("idle", o.runs)):
            for i in range(count):  # then alternate which goes first
                for name in ("floor", "game") if i % 2 else ("game", "floor"):
                    record(name, kind, i)
        for i in range(o.runs):  # the floor replays the clicks of the game's run just before
            record("game", "played", i)
            record("floor", "played", i, runs["played"]["game"][-1].clicks)

    print("\nmedians                                          game        floor   ratio   target")
    secs = "%g s" % o.seconds
    for figure, kind, attr, unit, decimals, target in (
            ("start-up to first creature frame", "start-up", "startup_ms", "ms", 1, True),
            (f"CPU time, {secs} idle (animation only)", "idle", "cpu_s", "s", 3, True),
            (f"CPU time, {secs} of a round played", "played", "cpu_s", "s", 3, True),
            ("peak resident memory", "played", "peak_mb", "MB", 1, True),
            (f"X server CPU time, {secs} idle", "idle", "x_cpu_s", "s", 3, False),
            (f"X server CPU time, {secs} played", "played", "x_cpu_s", "s", 3, False)):
        if runs[kind]["game"]:
            game, floor = (median([getattr(r, attr) for r in runs[kind][n]]) for n in ("game", "floor"))
            row(figure, "%.*f %s" % (decimals, game, unit), "%.*f %s" % (decimals, floor, unit),
                "%.2f" % (game / floor if floor > 0 else 0), "ratio <= 1.2" if target else "(reference)",
                game <= 1.2 * floor if target else None)
    if o.runs:
        ticks = [r.ticks for r in runs["played"]["game"]]
        done = [t for t in ticks if t.complete]
        ms, pct = (median([getattr(t, f) for t in ticks]) for f in ("mean_abs_ms", "mean_abs_pct"))
        row("tick period: mean |period - interval|", "%.2f ms %.2f %%" % (ms, pct), target="<= 0.5 %", met=pct <= 0.5)
        late, worst = median([t.max_late_ms for t in ticks]), max(t.max_late_ms for t in ticks)
        row("tick period: most late (median of runs)", "%+.2f ms" % late, target="<= 5 ms", met=late <= 5)
        row("tick period: most late (worst run)", "%+.2f ms" % worst, target="<= 5 ms", met=worst <= 5)
        total = done and (median(t.total_ms for t in done) / 1000, median(t.total_pct for t in done))
        row("round of 150 ticks vs 48.000 s", "%.3f s %+.3f %%" % total if done else "none", target="within 0.5 %",
            met=bool(done) and max(abs(t.total_pct) for t in done) <= 0.5)  # the worst run, so the median too
        print("\n%d of %d played rounds reached tick 150; ticks at another interval than the schedule: %d"
              % (len(done), len(ticks), sum(t.mismatches for t in ticks)))
    print("load average (1 min): before %.2f, highest seen %.2f, after %.2f" % (loads[0], max(loads), loads[-1]))

if __name__ == "__main__":
    try:
        main()
    except OSError as error:
        fail(str(error))
