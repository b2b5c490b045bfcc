// pty_radio_host: the radio emulator on a pseudo-terminal for scripts, so another program (the Windows
// build under Wine, through a COM port linked to the terminal) can talk to it as to a radio.
// Usage: pty_radio_host IMAGE.R62 [RESULT.R62]
// Prints the terminal's device path on stdout and answers until SIGTERM or SIGINT; then writes the
// image the radio holds, with IMAGE's trailer, to RESULT.
#include <signal.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "core/image/data_file.h"
#include "tests/rig/pty_radio.h"

int main(int argc, char** argv) {
    using namespace rt62;
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: pty_radio_host IMAGE.R62 [RESULT.R62]\n");
        return 2;
    }
    const ReadOutcome in = ReadFileBytes(argv[1]);
    if (in.status != ReadStatus::Ok || in.bytes.size() != kDataFileSize) {
        std::fprintf(stderr, "pty_radio_host: %s is not a data file\n", argv[1]);
        return 1;
    }
    RadioImage image{};
    FileTrailerBytes trailer{};
    std::copy_n(in.bytes.begin(), kImageSize, image.begin());
    std::copy_n(in.bytes.begin() + kImageSize, kTrailerSize, trailer.begin());

    // Blocked before the radio's thread starts, so the signal comes to sigwait below and nowhere else.
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGTERM);
    sigaddset(&stop, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stop, nullptr);

    PtyRadio radio(image, RadioEmulator::Start::Immediate, false);
    if (!radio.Start()) {
        std::fprintf(stderr, "pty_radio_host: no pseudo-terminal\n");
        return 1;
    }
    std::printf("%s\n", radio.DevicePath().c_str());
    std::fflush(stdout);

    int signal = 0;
    sigwait(&stop, &signal);
    const RadioImage held = radio.With([](RadioEmulator& r) { return r.Image(); });
    radio.Stop();
    if (argc == 3) {
        const DataFileBytes out = MakeDataFileBytes(held, trailer);
        if (WriteFileBytes(argv[2], out) != WriteStatus::Ok) {
            std::fprintf(stderr, "pty_radio_host: cannot write %s\n", argv[2]);
            return 1;
        }
    }
    return 0;
}
