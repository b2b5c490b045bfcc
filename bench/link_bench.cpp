// link_bench: Upload and Download over a pseudo-terminal against the paced radio emulator.
// Prints wall time against the wire time of every character exchanged (4800 baud, 8N2: 11 bits per
// character), and the CPU the port uses while it waits for a radio that stays silent.
#include <time.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "core/image/model.h"
#include "core/link/posix_serial_port.h"
#include "tests/rig/pty_radio.h"
#include "core/link/sim_port.h"
#include "core/link/transfer_job.h"

namespace {

using namespace rt62;
using Clock = std::chrono::steady_clock;

class QuietPrompter : public Prompter {
  public:
    Answer show(int id, Buttons, Icon, const std::vector<std::string>& = {}) override {
        last = id;
        return Answer::Ok;
    }
    int last = 0;
};

double ThreadCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

struct Counts {
    std::size_t host = 0;
    std::size_t radio = 0;
};

Counts CountsOf(PtyRadio& radio) {
    return radio.With([](RadioEmulator& r) { return Counts{r.HostBytes().size(), r.RadioBytesSent()}; });
}

void Report(const char* what, double wallSeconds, Counts c, bool ok) {
    const double chars = static_cast<double>(c.host + c.radio);
    const double wire = chars * std::chrono::duration<double>(kCharTime).count();
    std::printf(
        "%-9s %s  characters %4.0f (computer %zu, radio %zu)  wire %7.1f ms  wall %7.1f ms  ratio %.3f %s\n",
        what, ok ? "ok    " : "FAILED", chars, c.host, c.radio, wire * 1e3, wallSeconds * 1e3,
        wallSeconds / wire, wallSeconds / wire <= 1.05 ? "(target <= 1.05 met)" : "(target <= 1.05 MISSED)");
}

} // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const RadioImage image = MakeFactoryImage(0).image;
    QuietPrompter prompter;
    NullProgress progress;
    CancelToken cancel;
    JobEnvironment env{cancel, progress, prompter};

    for (int round = 0; round < rounds; ++round) {
        PtyRadio radio(image, RadioEmulator::Start::Immediate, /*paced=*/true);
        if (!radio.Start()) {
            std::fprintf(stderr, "link_bench: no pseudo-terminal\n");
            return 1;
        }
        PosixSerialPort port(radio.DevicePath());
        if (!OpenCloneLink(port)) {
            std::fprintf(stderr, "link_bench: cannot open %s\n", radio.DevicePath().c_str());
            return 1;
        }
        auto t0 = Clock::now();
        UploadJobResult up = RunUploadJob(port, env, RadioImage{}, false);
        double wall = std::chrono::duration<double>(Clock::now() - t0).count();
        Counts c = CountsOf(radio);
        Report("Upload", wall, c, up.status == JobStatus::Completed);

        radio.With([](RadioEmulator& r) {
            r.ClearLog();
            return 0;
        });
        t0 = Clock::now();
        DownloadJobResult down = RunDownloadJob(port, env, image, {});
        wall = std::chrono::duration<double>(Clock::now() - t0).count();
        Report("Download", wall, CountsOf(radio), down.status == JobStatus::Completed);
    }

    // The same against the in-process simulated port on the real clock: the protocol's own cost,
    // without the two pseudo-terminal hops per echo, which grow with the machine's load.
    {
        auto simRadio = std::make_shared<SimulatedRadio>(image);
        SimulatedSerialPort sim(simRadio, SimulatedSerialPort::Clock::Real, /*paced=*/true);
        auto counts = [&] {
            return simRadio->With([](RadioEmulator& r) {
                return Counts{r.HostBytes().size(), r.RadioBytesSent()};
            });
        };
        auto t0 = Clock::now();
        UploadJobResult up = RunUploadJob(sim, env, RadioImage{}, false);
        Report("Upload*", std::chrono::duration<double>(Clock::now() - t0).count(), counts(),
               up.status == JobStatus::Completed);
        simRadio->With([](RadioEmulator& r) {
            r.ClearLog();
            return 0;
        });
        t0 = Clock::now();
        DownloadJobResult down = RunDownloadJob(sim, env, image, {});
        Report("Download*", std::chrono::duration<double>(Clock::now() - t0).count(), counts(),
               down.status == JobStatus::Completed);
        std::printf("(* in-process simulated port, no pseudo-terminal)\n");
    }

    // A silent radio: the upload waits for 'P'; the waiting thread's CPU time shows any busy loop.
    PtyRadio silent(image, RadioEmulator::Start::PowerOnPrompt, true);
    if (!silent.Start()) return 1;
    silent.With([](RadioEmulator& r) {
        r.MutableFaults().silent = true;
        return 0;
    });
    PosixSerialPort port(silent.DevicePath());
    double cpu = 0;
    const double waitSeconds = 3.0;
    std::thread worker([&] {
        const double before = ThreadCpuSeconds();
        RunUploadJob(port, env, RadioImage{}, false);
        cpu = ThreadCpuSeconds() - before;
    });
    std::this_thread::sleep_for(std::chrono::duration<double>(waitSeconds));
    cancel.Request();
    worker.join();
    std::printf("Silent radio: %.1f s of waiting used %.2f ms CPU (%.3f %%)\n", waitSeconds, cpu * 1e3,
                cpu / waitSeconds * 100);
    return 0;
}
