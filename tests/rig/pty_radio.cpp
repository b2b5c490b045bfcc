#ifndef _WIN32

#include "tests/rig/pty_radio.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <deque>

#include "core/link/sim_port.h"

#ifdef __linux__
#include <sys/prctl.h>
#endif

namespace rt62 {
namespace {

using Clock = std::chrono::steady_clock;

// Waits for the descriptors until the deadline (none: without limit) with sub-millisecond precision
// where the system offers it: the pacing of 2.3 ms characters needs it.
int WaitFds(struct pollfd* fds, nfds_t n, const Clock::time_point* deadline) {
#ifdef __linux__
    struct timespec ts {};
    struct timespec* pts = nullptr;
    if (deadline) {
        auto left = *deadline - Clock::now();
        if (left < Clock::duration::zero()) left = Clock::duration::zero();
        auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
        ts.tv_sec = static_cast<time_t>(ns / 1000000000);
        ts.tv_nsec = static_cast<long>(ns % 1000000000);
        pts = &ts;
    }
    return ::ppoll(fds, n, pts, nullptr);
#else
    int ms = -1;
    if (deadline) {
        auto left = *deadline - Clock::now();
        ms = left <= Clock::duration::zero()
                 ? 0
                 : static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(left).count());
    }
    return ::poll(fds, n, ms);
#endif
}

} // namespace

PtyRadio::PtyRadio(const RadioImage& image, RadioEmulator::Start start, bool paced)
    : emulator_(image, start), paced_(paced) {}

PtyRadio::~PtyRadio() {
    Stop();
}

bool PtyRadio::Start() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0) return false;
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        Stop();
        return false;
    }
    const char* name = ::ptsname(master_);
    if (!name) {
        Stop();
        return false;
    }
    path_ = name;
    slave_ = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_ < 0) {
        Stop();
        return false;
    }
    // Raw by default, so nothing is echoed by the terminal itself between two port sessions.
    struct termios tio {};
    if (::tcgetattr(slave_, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::tcsetattr(slave_, TCSANOW, &tio);
    }
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    if (::pipe(wake_) != 0) {
        Stop();
        return false;
    }
    stop_ = false;
    thread_ = std::thread([this] { Run(); });
    return true;
}

void PtyRadio::Stop() {
    stop_ = true;
    if (wake_[1] >= 0) {
        char c = 's';
        [[maybe_unused]] ssize_t w = ::write(wake_[1], &c, 1);
    }
    if (thread_.joinable()) thread_.join();
    for (int* fd : {&master_, &slave_, &wake_[0], &wake_[1]}) {
        if (*fd >= 0) ::close(*fd);
        *fd = -1;
    }
}

void PtyRadio::HangUp() {
    hangUp_ = true;
    char c = 'h';
    [[maybe_unused]] ssize_t w = ::write(wake_[1], &c, 1);
}

bool PtyRadio::WaitFor(const std::function<bool(const RadioEmulator&)>& pred,
                       std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return pred(emulator_); });
}

void PtyRadio::Run() {
#ifdef __linux__
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL); // the default 50 us slack shows in the pacing
#endif
    struct Pending {
        Clock::time_point due;
        LineEvent event;
    };
    const std::chrono::nanoseconds charTime = paced_ ? kCharTime : std::chrono::nanoseconds(0);
    std::deque<Pending> queue;
    Clock::time_point lineFree = Clock::now();
    std::vector<LineEvent> events;
    std::uint8_t buf[512];

    while (!stop_) {
        struct pollfd fds[2] = {{wake_[0], POLLIN, 0}, {master_, POLLIN, 0}};
        const nfds_t n = master_ >= 0 ? 2 : 1;
        Clock::time_point due;
        const bool timed = !queue.empty() && master_ >= 0;
        if (timed) due = queue.front().due;
        int r = WaitFds(fds, n, timed ? &due : nullptr);
        if (r < 0 && errno != EINTR) break;
        if (fds[0].revents & POLLIN) {
            char c[16];
            [[maybe_unused]] ssize_t d = ::read(wake_[0], c, sizeof c);
            if (stop_) break;
            if (hangUp_ && master_ >= 0) {
                ::close(master_);
                master_ = -1;
                queue.clear();
            }
            continue;
        }
        if (master_ < 0) continue;
        if (n == 2 && (fds[1].revents & POLLIN)) {
            ssize_t got = ::read(master_, buf, sizeof buf);
            const Clock::time_point heard = Clock::now() + charTime;
            bool hangUp = false;
            for (ssize_t i = 0; i < got; ++i) {
                events.clear();
                {
                    std::lock_guard<std::mutex> lock(mutex_);
                    emulator_.OnHostByte(buf[i], events);
                    hangUp = emulator_.HangUpRequested();
                }
                for (const LineEvent& e : events) {
                    if (e.kind == LineEvent::Kind::Pause) {
                        lineFree = std::max(lineFree, heard) + std::chrono::milliseconds(e.pauseMs);
                        continue;
                    }
                    lineFree = std::max(lineFree, heard) +
                               (e.kind == LineEvent::Kind::Echo ? std::chrono::nanoseconds(0) : charTime);
                    if (e.kind != LineEvent::Kind::LineError) queue.push_back({lineFree, e});
                }
                if (hangUp) break;
            }
            changed_.notify_all();
            if (hangUp) {
                ::close(master_);
                master_ = -1;
                queue.clear();
                continue;
            }
        }
        const Clock::time_point now = Clock::now();
        while (!queue.empty() && queue.front().due <= now) {
            std::uint8_t b = queue.front().event.value;
            if (::write(master_, &b, 1) != 1 && errno == EAGAIN) break; // the port reads it later
            queue.pop_front();
        }
    }
}

} // namespace rt62

#endif
