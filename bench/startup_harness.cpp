// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
//
// Times whole processes, and takes their peak resident memory: ravelle
// against the bare Qt window, alternately, each with the plugin that quits
// after the first painted frame. Run it under an X server:
//
//   xvfb-run -a -s "-screen 0 1280x1024x24" bench_startup [--runs N] [--timeout S]
//       [--plugins DIR] [NAME=PROGRAM NAME=PROGRAM]
//
// Without programs it measures this build's ravelle against its bare
// window. The first program is the one measured, the second the floor; the
// ratios are first/second. Per run it takes the wall time from just before
// posix_spawn to the return of wait4 (exec to exit), the time to the first
// frame as stamped by the plugin, the child's user+system CPU time and its
// ru_maxrss. Every run must end by itself with status 0 within the timeout
// (the plugin's quit), or the harness fails. One unmeasured run of each
// comes first, to warm the page cache and the font cache.

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

extern char** environ;

namespace {

// The descriptor the plugin writes its first-frame stamp to.
constexpr int kStampFd = 3;

struct Program {
    std::string name;
    std::string path;
    std::vector<double> exitMs;
    std::vector<double> frameMs;
    std::vector<double> cpuMs;
    std::vector<double> peakRssKiB;
};

struct Run {
    double exitMs = 0;
    double frameMs = 0;
    double cpuMs = 0;
    double peakRssKiB = 0;
};

volatile sig_atomic_t childToKill = 0;

void killChild(int) {
    if (childToKill > 0) kill(static_cast<pid_t>(childToKill), SIGKILL);
}

long long nowNs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

double toMs(const timeval& t) {
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
}

[[noreturn]] void fail(const std::string& message) {
    std::fprintf(stderr, "bench_startup: %s\n", message.c_str());
    std::exit(1);
}

Run runOnce(const Program& program, unsigned timeoutSeconds) {
    int stamp[2];
    if (pipe2(stamp, O_CLOEXEC) != 0) fail(std::string("pipe2: ") + std::strerror(errno));
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, stamp[1], kStampFd);

    char* argv[] = {const_cast<char*>(program.path.c_str()), nullptr};
    pid_t pid = 0;
    const long long start = nowNs();
    const int error = posix_spawn(&pid, program.path.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(stamp[1]);
    if (error) fail("cannot start " + program.path + ": " + std::strerror(error));
    childToKill = pid;
    alarm(timeoutSeconds);
    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, 0, &usage) < 0) {
        if (errno != EINTR) fail(std::string("wait4: ") + std::strerror(errno));
    }
    const long long end = nowNs();
    alarm(0);
    childToKill = 0;
    if (WIFSIGNALED(status))
        fail(program.name + " was killed by signal " + std::to_string(WTERMSIG(status)) +
             " (no frame painted within " + std::to_string(timeoutSeconds) + " s?)");
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        fail(program.name + " exited with status " + std::to_string(WEXITSTATUS(status)));

    // Written before the child exited; a grandchild may still hold the pipe.
    fcntl(stamp[0], F_SETFL, O_NONBLOCK);
    char text[64] = {};
    const ssize_t size = read(stamp[0], text, sizeof text - 1);
    close(stamp[0]);
    const long long frame = size > 0 ? std::atoll(text) : 0;
    if (frame <= start || frame > end)
        fail(program.name + " did not report its first frame (plugin not loaded?)");

    return {static_cast<double>(end - start) / 1e6, static_cast<double>(frame - start) / 1e6,
            toMs(usage.ru_utime) + toMs(usage.ru_stime), static_cast<double>(usage.ru_maxrss)};
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double minimum(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }
double maximum(const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); }

} // namespace

int main(int argc, char* argv[]) {
    int runs = 20;
    unsigned timeoutSeconds = 30;
    std::string plugins = RAVELLE_BENCH_PLUGIN_DIR;
    std::vector<Program> programs;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--runs" && i + 1 < argc) {
            runs = std::atoi(argv[++i]);
        } else if (arg == "--timeout" && i + 1 < argc) {
            timeoutSeconds = static_cast<unsigned>(std::atoi(argv[++i]));
        } else if (arg == "--plugins" && i + 1 < argc) {
            plugins = argv[++i];
        } else if (const auto eq = arg.find('='); eq != std::string::npos && eq > 0) {
            programs.push_back({arg.substr(0, eq), arg.substr(eq + 1), {}, {}, {}, {}});
        } else {
            fail("usage: bench_startup [--runs N] [--timeout S] [--plugins DIR] [NAME=PROGRAM "
                 "NAME=PROGRAM]");
        }
    }
    if (programs.empty()) {
        programs.push_back({"ravelle", RAVELLE_BENCH_PROGRAM, {}, {}, {}, {}});
        programs.push_back({"bare", RAVELLE_BENCH_BARE_PROGRAM, {}, {}, {}, {}});
    }
    if (programs.size() != 2 || runs < 1)
        fail("need two NAME=PROGRAM arguments (or none) and --runs >= 1");

    setenv("QT_QPA_PLATFORM", "xcb", 0); // unless the caller chose another
    setenv("QT_PLUGIN_PATH", plugins.c_str(), 1);
    setenv("QT_QPA_GENERIC_PLUGINS", "ravellefirstframe", 1);
    setenv("RAVELLE_FIRST_FRAME_FD", std::to_string(kStampFd).c_str(), 1);

    struct sigaction action {};
    action.sa_handler = killChild;
    sigemptyset(&action.sa_mask);
    sigaction(SIGALRM, &action, nullptr);

    for (Program& p : programs)
        runOnce(p, timeoutSeconds); // warm-up, not counted
    for (int i = 0; i < runs; ++i) {
        for (Program& p : programs) {
            const Run r = runOnce(p, timeoutSeconds);
            p.exitMs.push_back(r.exitMs);
            p.frameMs.push_back(r.frameMs);
            p.cpuMs.push_back(r.cpuMs);
            p.peakRssKiB.push_back(r.peakRssKiB);
        }
    }

    std::printf("%d runs each, alternating, QT_QPA_PLATFORM=%s; medians, min-max in brackets\n",
                runs, std::getenv("QT_QPA_PLATFORM"));
    std::printf("%-8s %22s %22s %10s %14s\n", "program", "exec->first frame ms", "exec->exit ms",
                "cpu ms", "peak RSS KiB");
    for (const Program& p : programs) {
        std::printf("%-8s %7.1f [%5.1f-%5.1f] %7.1f [%5.1f-%5.1f] %10.1f %14.0f\n", p.name.c_str(),
                    median(p.frameMs), minimum(p.frameMs), maximum(p.frameMs), median(p.exitMs),
                    minimum(p.exitMs), maximum(p.exitMs), median(p.cpuMs), median(p.peakRssKiB));
    }
    const Program& a = programs[0];
    const Program& b = programs[1];
    std::printf("ratio %s/%s: first frame %.3f, exit %.3f, cpu %.3f, peak RSS %.3f\n",
                a.name.c_str(), b.name.c_str(), median(a.frameMs) / median(b.frameMs),
                median(a.exitMs) / median(b.exitMs), median(a.cpuMs) / median(b.cpuMs),
                median(a.peakRssKiB) / median(b.peakRssKiB));
    // One line for scripts: each figure for the first program, then the second.
    std::printf("RESULT runs %d frame_ms %.2f %.2f exit_ms %.2f %.2f cpu_ms %.2f %.2f peak_rss_kib "
                "%.0f %.0f\n",
                runs, median(a.frameMs), median(b.frameMs), median(a.exitMs), median(b.exitMs),
                median(a.cpuMs), median(b.cpuMs), median(a.peakRssKiB), median(b.peakRssKiB));
    return 0;
}
