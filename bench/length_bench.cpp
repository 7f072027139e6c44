// Measures the lengths of every file in a folder (or of the files named) on
// N threads through length probes of the program's media control factory,
// as adding files to the playlist does, and prints the time it took.
//   mixora_length_bench [-j THREADS] [-v] FOLDER | FILE...
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/gst/gst_media_factory.h"

using namespace mixora;

namespace {

// Probes never reach the window; a host that is never called is enough.
struct NoHost final : IMediaHost {
    void PostTask(std::function<void()>) override {}
    LRESULT DeliverMessage(UINT, WPARAM, LPARAM) override { return 0; }
    void SetMediaPicture(const RECT&, const std::uint32_t*, int, int) override {}
};

} // namespace

int main(int argc, char** argv) {
    int threads = 2;
    bool verbose = false;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-j") == 0 && i + 1 < argc) {
            threads = std::max(1, std::atoi(argv[++i]));
        } else if (std::strcmp(argv[i], "-v") == 0) {
            verbose = true;
        } else if (std::filesystem::is_directory(argv[i])) {
            for (const auto& entry : std::filesystem::directory_iterator(argv[i])) {
                files.push_back(entry.path().string());
            }
        } else {
            files.emplace_back(argv[i]);
        }
    }
    std::sort(files.begin(), files.end());
    NoHost host;
    GstMediaControlFactory factory(host);
    std::vector<double> lengths(files.size());
    std::atomic<std::size_t> next{0};
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::thread> pool;
    for (int t = 0; t < threads; ++t) {
        pool.emplace_back([&] {
            for (std::size_t i; (i = next++) < files.size();) {
                if (auto probe = factory.Create(0, RECT{}, true)) {
                    probe->PutFileName(files[i]);
                    lengths[i] = probe->GetDuration();
                }
            }
        });
    }
    for (auto& t : pool) {
        t.join();
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::size_t zero = 0;
    for (std::size_t i = 0; i < files.size(); ++i) {
        zero += lengths[i] == 0.0;
        if (verbose) {
            std::printf("%10.3f  %s\n", lengths[i], files[i].c_str());
        }
    }
    std::printf("%zu files on %d threads in %.3f s (%zu without a length)\n", files.size(), threads,
                seconds, zero);
    return 0;
}
