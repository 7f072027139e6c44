// Time from exec to the first top-level window mapped on the display, and
// the program's resident memory some seconds later. Runs the program N
// times and prints each run and the median.
//   mixora_map_time PROGRAM [RUNS] [SETTLE_SECONDS]
#include <X11/Xlib.h>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

long ResidentKiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PROGRAM [RUNS] [SETTLE_SECONDS]\n", argv[0]);
        return 2;
    }
    int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    int settle = argc > 3 ? std::atoi(argv[3]) : 3;
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy) {
        std::fprintf(stderr, "no display\n");
        return 1;
    }
    Window root = DefaultRootWindow(dpy);
    std::vector<double> times;
    std::vector<long> rss;
    for (int r = 0; r < runs; ++r) {
        XSelectInput(dpy, root, SubstructureNotifyMask);
        XSync(dpy, True);
        auto start = std::chrono::steady_clock::now();
        pid_t pid = fork();
        if (pid == 0) {
            execl(argv[1], argv[1], static_cast<char*>(nullptr));
            _exit(127);
        }
        double ms = -1;
        while (ms < 0) {
            XEvent ev;
            XNextEvent(dpy, &ev);
            if (ev.type == MapNotify && ev.xmap.event == root) {
                ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() -
                                                               start)
                         .count();
            }
        }
        std::this_thread::sleep_for(std::chrono::seconds(settle));
        long kib = ResidentKiB(pid);
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
        times.push_back(ms);
        rss.push_back(kib);
        std::printf("run %d: mapped after %.1f ms, resident %.1f MiB after %d s\n", r + 1, ms,
                    kib / 1024.0, settle);
    }
    std::sort(times.begin(), times.end());
    std::sort(rss.begin(), rss.end());
    std::printf("median: mapped after %.1f ms, resident %.1f MiB\n", times[times.size() / 2],
                rss[rss.size() / 2] / 1024.0);
    XCloseDisplay(dpy);
    return 0;
}
