/*
 * runner.cpp: pokotama-bench, the benchmark behind `make bench`.
 *
 * Runs the game and the floor program in turn, each on a fresh Xvfb
 * server of its own (1366 × 768, no window manager), several times, and
 * prints the median of every figure for both and their ratio:
 *
 *   start-up     process start to the first painted frame of the creature
 *                (the programs' own "frame" line, same clock as ours);
 *   CPU, idle    the program's CPU time over 60 s of its window alone,
 *                from a moment 2 s after that first frame;
 *   CPU, play    the same over 60 s from the start click, while the
 *                benchmark plays the round by clicking the button with
 *                xdotool whenever a tick leaves the gauge low; the floor
 *                gets the same clicks at the same moments;
 *   peak memory  the program's VmHWM at the end of the played run;
 *   the growth clock, from the game's tick lines in the played run.
 *
 * The X server's CPU time over the same windows is shown as well, so that
 * work moved from the program to the server cannot pass for a saving.
 *
 *   pokotama-bench --game PATH --floor PATH --picture PATH
 *                  [--runs N] [--startups N] [--seconds S]
 *
 * --runs 0 leaves out the long runs, --startups 0 the start-ups.
 */
#include "benchstats.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <poll.h>
#include <sstream>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <time.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

using Clock = std::chrono::steady_clock;

struct Options
{
    std::string game, floor, picture;
    int runs = 5;
    int startups = 15;
    double seconds = 60;
    double settle = 2;
};

std::int64_t nowNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return std::int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

std::string readFile(const std::string &path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

[[noreturn]] void fail(const std::string &what)
{
    throw std::runtime_error(what);
}

// CPU time of every live thread of a process, in ns.
std::int64_t cpuNs(pid_t pid)
{
    const std::string dir = "/proc/" + std::to_string(pid) + "/task";
    DIR *tasks = opendir(dir.c_str());
    if (!tasks)
        fail("cannot read " + dir);
    std::int64_t total = 0;
    while (dirent *entry = readdir(tasks)) {
        if (entry->d_name[0] == '.')
            continue;
        if (const auto ns = bench::schedstatRuntime(readFile(dir + "/" + entry->d_name + "/schedstat")))
            total += *ns;
    }
    closedir(tasks);
    return total;
}

long peakKb(pid_t pid)
{
    const auto kb = bench::peakResidentKb(readFile("/proc/" + std::to_string(pid) + "/status"));
    if (!kb)
        fail("no VmHWM for process " + std::to_string(pid));
    return *kb;
}

// Time the hypervisor gave this machine's CPUs to others, in seconds,
// since boot: the "steal" column of /proc/stat. CPU times measured while
// it grows are inflated.
double stealSeconds()
{
    std::istringstream in(readFile("/proc/stat"));
    std::string cpu;
    long long user, nice, system, idle, iowait, irq, softirq, steal = 0;
    in >> cpu >> user >> nice >> system >> idle >> iowait >> irq >> softirq >> steal;
    return double(steal) / double(sysconf(_SC_CLK_TCK));
}

double loadAverage()
{
    double load = 0;
    std::istringstream(readFile("/proc/loadavg")) >> load;
    return load;
}

void stopProcess(pid_t pid)
{
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    for (int i = 0; i < 100; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

// Runs a helper (xdotool) to its end; false if it failed.
bool runHelper(const std::vector<std::string> &args)
{
    const pid_t pid = fork();
    if (pid < 0)
        fail("fork failed");
    if (pid == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        std::vector<char *> argv;
        for (const std::string &arg : args)
            argv.push_back(const_cast<char *>(arg.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string helperOutput(const std::string &command)
{
    std::string out;
    if (FILE *pipe = popen(command.c_str(), "r")) {
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe))
            out += buffer;
        pclose(pipe);
    }
    return out;
}

// A private X server for one run; DISPLAY points at it while it lives.
class XServer
{
public:
    XServer()
    {
        int fds[2];
        if (pipe(fds) != 0)
            fail("pipe failed");
        m_pid = fork();
        if (m_pid < 0)
            fail("fork failed");
        if (m_pid == 0) {
            close(fds[0]);
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, 1);
            dup2(null, 2);
            const std::string fd = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1366x768x24", "-nolisten", "tcp",
                   "-noreset", static_cast<char *>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        std::string number;
        pollfd pfd{fds[0], POLLIN, 0};
        char c = 0;
        while (poll(&pfd, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        close(fds[0]);
        if (number.empty()) {
            stopProcess(m_pid);
            fail("Xvfb did not start (is the package xvfb installed?)");
        }
        m_display = ":" + number;
        setenv("DISPLAY", m_display.c_str(), 1);
    }
    ~XServer() { stopProcess(m_pid); }
    XServer(const XServer &) = delete;
    XServer &operator=(const XServer &) = delete;

    pid_t pid() const { return m_pid; }
    const std::string &display() const { return m_display; }

private:
    pid_t m_pid = -1;
    std::string m_display;
};

// The program under test, its stderr read line by line.
class Program
{
public:
    Program(const std::vector<std::string> &args, const std::string &runtimeDir)
    {
        int fds[2];
        if (pipe(fds) != 0)
            fail("pipe failed");
        m_startNs = nowNs();
        m_pid = fork();
        if (m_pid < 0)
            fail("fork failed");
        if (m_pid == 0) {
            close(fds[0]);
            dup2(fds[1], 2);
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, 1);
            unsetenv("QT_QPA_PLATFORM");
            unsetenv("QT_SCALE_FACTOR");
            setenv("POKOTAMA_BENCH_LOG", "1", 1);
            setenv("XDG_RUNTIME_DIR", runtimeDir.c_str(), 1);
            std::vector<char *> argv;
            for (const std::string &arg : args)
                argv.push_back(const_cast<char *>(arg.c_str()));
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(fds[1]);
        m_fd = fds[0];
    }
    ~Program()
    {
        stopProcess(m_pid);
        close(m_fd);
    }
    Program(const Program &) = delete;
    Program &operator=(const Program &) = delete;

    pid_t pid() const { return m_pid; }
    std::int64_t startNs() const { return m_startNs; }

    // The next benchmark line before the deadline; other lines are kept.
    std::optional<bench::Line> next(std::int64_t deadlineNs)
    {
        for (;;) {
            const auto newline = m_buffer.find('\n');
            if (newline != std::string::npos) {
                const std::string line = m_buffer.substr(0, newline);
                m_buffer.erase(0, newline + 1);
                if (auto parsed = bench::parseLine(line))
                    return parsed;
                m_other += line + "\n";
                continue;
            }
            const std::int64_t left = deadlineNs - nowNs();
            if (left <= 0 || m_closed)
                return std::nullopt;
            pollfd pfd{m_fd, POLLIN, 0};
            if (poll(&pfd, 1, int(std::min<std::int64_t>(left / 1000000 + 1, 1000))) <= 0)
                continue;
            char chunk[4096];
            const ssize_t n = read(m_fd, chunk, sizeof chunk);
            if (n <= 0)
                m_closed = true;
            else
                m_buffer.append(chunk, std::size_t(n));
        }
    }

    // Reads and keeps whatever comes until the deadline.
    std::vector<bench::Line> drainUntil(std::int64_t deadlineNs)
    {
        std::vector<bench::Line> lines;
        while (auto line = next(deadlineNs))
            lines.push_back(*line);
        return lines;
    }

    bool alive() { return waitpid(m_pid, nullptr, WNOHANG) == 0; }
    const std::string &otherOutput() const { return m_other; }

private:
    pid_t m_pid = -1;
    int m_fd = -1;
    std::int64_t m_startNs = 0;
    std::string m_buffer, m_other;
    bool m_closed = false;
};

struct Geometry
{
    int x = 0, y = 0, width = 0, height = 0;
};

Geometry windowGeometry(const std::string &title)
{
    const std::string out = helperOutput("xwininfo -name '" + title + "' 2>/dev/null");
    Geometry g;
    std::istringstream in(out);
    std::string line;
    while (std::getline(in, line)) {
        const auto value = [&line](const char *key, int &field) {
            const auto at = line.find(key);
            if (at != std::string::npos)
                field = std::atoi(line.c_str() + at + std::strlen(key));
        };
        value("Absolute upper-left X:", g.x);
        value("Absolute upper-left Y:", g.y);
        value("  Width:", g.width);
        value("  Height:", g.height);
    }
    if (g.width <= 0 || g.height <= 0)
        fail("no window titled " + title);
    return g;
}

struct Subject
{
    std::string name;               // "game" or "floor"
    std::vector<std::string> args;  // the command line
    std::string title;              // its window's title
};

struct Click
{
    std::int64_t atNs; // after the start click
    int times;
};

struct RunResult
{
    double startupMs = 0;
    double cpuS = 0, xCpuS = 0;
    double stealS = 0; // the machine's steal time over the measured window
    double peakMb = 0;
    std::vector<Click> clicks;
    std::optional<bench::TickStats> ticks;
};

class Bench
{
public:
    explicit Bench(Options options)
        : m_options(std::move(options))
    {
        char dir[] = "/tmp/pokotama-bench-XXXXXX";
        if (!mkdtemp(dir))
            fail("mkdtemp failed");
        m_runtimeDir = dir;
        m_game = {"game", {m_options.game}, "ぽこたま"};
        m_floor = {"floor", {m_options.floor, m_options.picture}, "pokotama-floor"};
    }
    ~Bench() { rmdir(m_runtimeDir.c_str()); }

    void run();

private:
    // Starts the program on a fresh server and waits for its first frame.
    RunResult startup(const Subject &subject, std::unique_ptr<Program> &program)
    {
        program = std::make_unique<Program>(subject.args, m_runtimeDir);
        for (;;) {
            const auto line = program->next(program->startNs() + 30'000'000'000);
            if (!line)
                fail(subject.name + " painted no frame within 30 s:\n" + program->otherOutput());
            if (line->kind == bench::Line::Frame) {
                RunResult result;
                result.startupMs = double(line->ns - program->startNs()) / 1e6;
                return result;
            }
        }
    }

    RunResult startupOnly(const Subject &subject)
    {
        XServer x;
        std::unique_ptr<Program> program;
        return startup(subject, program);
    }

    RunResult idle(const Subject &subject)
    {
        XServer x;
        std::unique_ptr<Program> program;
        RunResult result = startup(subject, program);
        program->drainUntil(nowNs() + std::int64_t(m_options.settle * 1e9));
        const std::int64_t cpu0 = cpuNs(program->pid()), x0 = cpuNs(x.pid());
        const double steal0 = stealSeconds();
        program->drainUntil(nowNs() + std::int64_t(m_options.seconds * 1e9));
        if (!program->alive())
            fail(subject.name + " ended during the idle run:\n" + program->otherOutput());
        result.cpuS = double(cpuNs(program->pid()) - cpu0) / 1e9;
        result.xCpuS = double(cpuNs(x.pid()) - x0) / 1e9;
        result.stealS = stealSeconds() - steal0;
        result.peakMb = double(peakKb(program->pid())) / 1024;
        return result;
    }

    // The played run: the game is watered by its tick lines; a replay of
    // clicks (from the game's run) drives the floor.
    RunResult played(const Subject &subject, const std::vector<Click> *replay)
    {
        XServer x;
        std::unique_ptr<Program> program;
        RunResult result = startup(subject, program);
        program->drainUntil(nowNs() + std::int64_t(m_options.settle * 1e9));
        const Geometry g = windowGeometry(subject.title);
        // The button's centre: cells 0.5 to 3.5 across, 6 to 7 down.
        const int bx = g.x + g.width * 2 / 10, by = g.y + g.height * 65 / 100;
        if (!runHelper({"xdotool", "mousemove", "--sync", std::to_string(bx), std::to_string(by)}))
            fail("xdotool mousemove failed");

        const std::int64_t cpu0 = cpuNs(program->pid()), x0 = cpuNs(x.pid());
        const double steal0 = stealSeconds();
        const std::int64_t begin = nowNs();
        const std::int64_t end = begin + std::int64_t(m_options.seconds * 1e9);
        const auto click = [&](int times) {
            result.clicks.push_back({nowNs() - begin, times});
            std::vector<std::string> args{"xdotool", "click"};
            if (times > 1)
                args.insert(args.end(), {"--repeat", std::to_string(times), "--delay", "40"});
            args.push_back("1");
            if (!runHelper(args))
                fail("xdotool click failed");
        };

        if (replay) {
            for (const Click &c : *replay) {
                if (begin + c.atNs >= end)
                    break;
                program->drainUntil(begin + c.atNs);
                click(c.times);
            }
            program->drainUntil(end);
        } else {
            click(1); // はじめぃ
            std::optional<bench::Line> start;
            std::vector<bench::Line> ticks;
            while (auto line = program->next(end)) {
                if (line->kind == bench::Line::Start && !start)
                    start = *line;
                if (line->kind != bench::Line::Tick)
                    continue;
                ticks.push_back(*line);
                if (line->running && nowNs() < end)
                    if (const int times = bench::wateringClicks(line->level))
                        click(times);
            }
            if (!start)
                fail("the start click did not start the growth clock:\n" + program->otherOutput());
            result.ticks = bench::tickStats(*start, ticks);
        }
        if (!program->alive())
            fail(subject.name + " ended during the played run:\n" + program->otherOutput());
        result.cpuS = double(cpuNs(program->pid()) - cpu0) / 1e9;
        result.xCpuS = double(cpuNs(x.pid()) - x0) / 1e9;
        result.stealS = stealSeconds() - steal0;
        result.peakMb = double(peakKb(program->pid())) / 1024;
        return result;
    }

    // The rows of the idle and played runs.
    template <typename Both, typename Within>
    void longRuns(std::map<std::string, std::vector<RunResult>> &idles,
                  std::map<std::string, std::vector<RunResult>> &plays, const Both &both, const Within &within,
                  const std::string &secs);

    Options m_options;
    std::string m_runtimeDir;
    Subject m_game, m_floor;
};

// One row of the table.
void row(const std::string &figure, double game, double floor, const char *unit, int decimals, const char *target,
         std::optional<bool> met)
{
    char g[32], f[32], r[16];
    std::snprintf(g, sizeof g, "%.*f %s", decimals, game, unit);
    std::snprintf(f, sizeof f, "%.*f %s", decimals, floor, unit);
    std::snprintf(r, sizeof r, "%.2f", floor > 0 ? game / floor : 0.0);
    std::printf("%-40s %12s %12s %7s   %-14s %s\n", figure.c_str(), g, f, r, target,
                met ? (*met ? "met" : "MISSED") : "");
}

void timerRow(const char *figure, const std::string &game, const char *target, bool met)
{
    std::printf("%-40s %12s %12s %7s   %-14s %s\n", figure, game.c_str(), "-", "-", target, met ? "met" : "MISSED");
}

void Bench::run()
{
    const double loadBefore = loadAverage();
    std::printf("pokotama-bench: %d start-ups and %d idle and %d played runs of %.0f s for each program, "
                "on Xvfb 1366x768\n",
                m_options.startups, m_options.runs, m_options.runs, m_options.seconds);
    std::printf("load average (1 min) before: %.2f\n", loadBefore);
    std::fflush(stdout);

    // Warm the file cache for both, then alternate which goes first.
    startupOnly(m_game);
    startupOnly(m_floor);

    std::map<std::string, std::vector<RunResult>> startups, idles, plays;
    double loadMax = loadBefore;
    const auto note = [&](const Subject &s, const char *kind, int i, const RunResult &r) {
        loadMax = std::max(loadMax, loadAverage());
        std::printf("  %-5s %-8s %2d: start-up %7.1f ms", s.name.c_str(), kind, i + 1, r.startupMs);
        if (r.peakMb > 0)
            std::printf(", CPU %.3f s, X server %.3f s, peak %.1f MB, steal %.2f s", r.cpuS, r.xCpuS, r.peakMb,
                        r.stealS);
        if (r.ticks) {
            char round[32] = "not completed";
            if (r.ticks->complete)
                std::snprintf(round, sizeof round, "%.3f s", r.ticks->totalMs / 1000);
            int clicks = 0;
            for (const Click &c : r.clicks)
                clicks += c.times;
            std::printf(", %d clicks, %d ticks, mean |dev| %.2f ms, latest %+.2f ms (tick %d), round %s", clicks,
                        r.ticks->ticks, r.ticks->meanAbsDeviationMs, r.ticks->maxLateMs, r.ticks->maxLateTick, round);
            if (!r.ticks->lateTicks.empty()) {
                std::printf(", over %g ms late:", bench::kNotedLateMs);
                for (const auto &[tick, ms] : r.ticks->lateTicks)
                    std::printf(" %d (%+.1f)", tick, ms);
            }
        }
        std::printf("  (load %.2f)\n", loadAverage());
        std::fflush(stdout);
    };

    for (int i = 0; i < m_options.startups; ++i)
        for (const Subject *s : i % 2 ? std::vector{&m_floor, &m_game} : std::vector{&m_game, &m_floor}) {
            startups[s->name].push_back(startupOnly(*s));
            note(*s, "start-up", i, startups[s->name].back());
        }
    for (int i = 0; i < m_options.runs; ++i)
        for (const Subject *s : i % 2 ? std::vector{&m_floor, &m_game} : std::vector{&m_game, &m_floor}) {
            idles[s->name].push_back(idle(*s));
            note(*s, "idle", i, idles[s->name].back());
        }
    for (int i = 0; i < m_options.runs; ++i) {
        // The floor replays the clicks of the game's run just before it.
        plays["game"].push_back(played(m_game, nullptr));
        note(m_game, "played", i, plays["game"].back());
        plays["floor"].push_back(played(m_floor, &plays["game"].back().clicks));
        note(m_floor, "played", i, plays["floor"].back());
    }

    const auto med = [](const std::vector<RunResult> &runs, const std::function<double(const RunResult &)> &field) {
        std::vector<double> values;
        for (const RunResult &r : runs)
            values.push_back(field(r));
        return bench::median(values);
    };
    const auto both = [&](std::map<std::string, std::vector<RunResult>> &runs,
                          const std::function<double(const RunResult &)> &field) {
        return std::pair{med(runs["game"], field), med(runs["floor"], field)};
    };
    const auto within = [](std::pair<double, double> v) { return v.first <= 1.2 * v.second; };

    char secondsText[32];
    std::snprintf(secondsText, sizeof secondsText, "%g s", m_options.seconds);
    const std::string secs = secondsText;
    std::printf("\nmedians                                          game        floor   ratio   target\n");
    auto v = both(startups, [](const RunResult &r) { return r.startupMs; });
    if (m_options.startups > 0)
        row("start-up to first creature frame", v.first, v.second, "ms", 1, "ratio <= 1.2", within(v));
    if (m_options.runs > 0)
        longRuns(idles, plays, both, within, secs);
    std::printf("load average (1 min): before %.2f, highest seen %.2f, after %.2f\n", loadBefore, loadMax,
                loadAverage());
}

template <typename Both, typename Within>
void Bench::longRuns(std::map<std::string, std::vector<RunResult>> &idles,
                     std::map<std::string, std::vector<RunResult>> &plays, const Both &both, const Within &within,
                     const std::string &secs)
{
    auto v = both(idles, [](const RunResult &r) { return r.cpuS; });
    row("CPU time, " + secs + " idle (animation only)", v.first, v.second, "s", 3, "ratio <= 1.2", within(v));
    v = both(plays, [](const RunResult &r) { return r.cpuS; });
    row("CPU time, " + secs + " of a round played", v.first, v.second, "s", 3, "ratio <= 1.2", within(v));
    v = both(plays, [](const RunResult &r) { return r.peakMb; });
    row("peak resident memory", v.first, v.second, "MB", 1, "ratio <= 1.2", within(v));
    v = both(idles, [](const RunResult &r) { return r.xCpuS; });
    row("X server CPU time, " + secs + " idle", v.first, v.second, "s", 3, "(reference)", std::nullopt);
    v = both(plays, [](const RunResult &r) { return r.xCpuS; });
    row("X server CPU time, " + secs + " played", v.first, v.second, "s", 3, "(reference)", std::nullopt);

    std::vector<bench::TickStats> ticks;
    int complete = 0, mismatches = 0;
    double worstLate = 0, worstTotal = 0;
    for (const RunResult &r : plays["game"]) {
        ticks.push_back(*r.ticks);
        complete += r.ticks->complete;
        mismatches += r.ticks->intervalMismatches;
        worstLate = std::max(worstLate, r.ticks->maxLateMs);
        if (r.ticks->complete && std::abs(r.ticks->totalDeviationPct) > std::abs(worstTotal))
            worstTotal = r.ticks->totalDeviationPct;
    }
    const auto tickMed = [&](double bench::TickStats::*field, bool completeOnly) {
        std::vector<double> values;
        for (const bench::TickStats &t : ticks)
            if (!completeOnly || t.complete)
                values.push_back(t.*field);
        return bench::median(values);
    };
    char text[64];
    const double meanPct = tickMed(&bench::TickStats::meanAbsDeviationPct, false);
    std::snprintf(text, sizeof text, "%.2f ms %.2f %%", tickMed(&bench::TickStats::meanAbsDeviationMs, false),
                  meanPct);
    timerRow("tick period: mean |period - interval|", text, "<= 0.5 %", meanPct <= 0.5);
    const double late = tickMed(&bench::TickStats::maxLateMs, false);
    std::snprintf(text, sizeof text, "%+.2f ms", late);
    timerRow("tick period: most late (median of runs)", text, "<= 5 ms", late <= 5);
    std::snprintf(text, sizeof text, "%+.2f ms", worstLate);
    timerRow("tick period: most late (worst run)", text, "<= 5 ms", worstLate <= 5);
    const double total = tickMed(&bench::TickStats::totalMs, true);
    const double totalPct = tickMed(&bench::TickStats::totalDeviationPct, true);
    std::snprintf(text, sizeof text, "%.3f s %+.3f %%", total / 1000, totalPct);
    timerRow("round of 150 ticks vs 48.000 s", complete ? text : "none", "within 0.5 %",
             complete > 0 && std::abs(totalPct) <= 0.5 && std::abs(worstTotal) <= 0.5);
    std::printf("\n%d of %d played rounds reached tick 150; ticks at another interval than the schedule: %d\n",
                complete, int(ticks.size()), mismatches);
}

void usage()
{
    std::fprintf(stderr, "usage: pokotama-bench --game PATH --floor PATH --picture PATH [--runs N] "
                         "[--startups N] [--seconds S]\n");
    std::exit(2);
}

} // namespace

int main(int argc, char *argv[])
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc)
            usage();
        const std::string value = argv[++i];
        if (arg == "--game")
            options.game = value;
        else if (arg == "--floor")
            options.floor = value;
        else if (arg == "--picture")
            options.picture = value;
        else if (arg == "--runs")
            options.runs = std::atoi(value.c_str());
        else if (arg == "--startups")
            options.startups = std::atoi(value.c_str());
        else if (arg == "--seconds")
            options.seconds = std::atof(value.c_str());
        else
            usage();
    }
    if (options.game.empty() || options.floor.empty() || options.picture.empty() || options.runs < 0
        || options.startups < 0 || options.runs + options.startups == 0 || options.seconds <= 0)
        usage();
    std::signal(SIGPIPE, SIG_IGN);
    try {
        Bench(options).run();
    } catch (const std::exception &error) {
        std::fprintf(stderr, "pokotama-bench: %s\n", error.what());
        return 1;
    }
    return 0;
}
