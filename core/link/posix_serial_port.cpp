#ifndef _WIN32

#include "core/link/posix_serial_port.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>

#ifdef __linux__
#include <linux/serial.h>
#endif
#ifdef __APPLE__
#include <sys/select.h>
#endif

namespace rt62 {
namespace {

speed_t SpeedFor(std::uint32_t baud) {
    switch (baud) {
    case 1200:
        return B1200;
    case 2400:
        return B2400;
    case 4800:
        return B4800;
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    default:
        return B0;
    }
}

// Milliseconds left until the deadline, rounded up so a wait never ends early.
int MsUntil(std::chrono::steady_clock::time_point deadline) {
    auto left = deadline - std::chrono::steady_clock::now();
    if (left <= std::chrono::steady_clock::duration::zero()) return 0;
    auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    return static_cast<int>(std::min<long long>(ms, 60000));
}

// Waits up to ms for the descriptor to become readable (or writable). Returns poll's count;
// hangUp tells that the device reported a hang-up instead of readiness.
int WaitFd(int fd, bool forWrite, int ms, bool& hangUp) {
    hangUp = false;
#ifdef __APPLE__
    // poll() does not work on character devices there; a hang-up shows as readable, then read() = 0.
    fd_set set;
    FD_ZERO(&set);
    FD_SET(fd, &set);
    struct timeval tv {
        ms / 1000, (ms % 1000) * 1000
    };
    return ::select(fd + 1, forWrite ? nullptr : &set, forWrite ? &set : nullptr, nullptr, &tv);
#else
    const short want = forWrite ? POLLOUT : POLLIN;
    struct pollfd p {
        fd, want, 0
    };
    int r = ::poll(&p, 1, ms);
    hangUp = r > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) && !(p.revents & want);
    return r;
#endif
}

// Overruns are counted by the driver but not marked in the stream; framing and parity errors and
// breaks come marked through PARMRK, so they are not counted twice.
bool ReadErrorCounter(int fd, long& count) {
#if defined(__linux__) && defined(TIOCGICOUNT)
    struct serial_icounter_struct ic {};
    if (ioctl(fd, TIOCGICOUNT, &ic) != 0) return false;
    count = static_cast<long>(ic.overrun) + static_cast<long>(ic.buf_overrun);
    return true;
#else
    (void)fd;
    (void)count;
    return false;
#endif
}

OpenError OpenErrorOf(int error) {
    switch (error) {
    case EACCES:
    case EPERM:
        return OpenError::PermissionDenied;
    case EBUSY:
        return OpenError::Busy;
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return OpenError::NotFound;
    default:
        return OpenError::Other;
    }
}

} // namespace

PosixSerialPort::PosixSerialPort(std::string devicePath) : path_(std::move(devicePath)) {}

PosixSerialPort::~PosixSerialPort() {
    Close();
}

bool PosixSerialPort::Open(const LineSettings& settings) {
    if (fd_ >= 0) Close();
    lost_ = false;
    SetOpenError(OpenError::Settings);
    const speed_t speed = SpeedFor(settings.baudRate);
    if (speed == B0 || settings.byteSize < 5 || settings.byteSize > 8) return false;

    int fd = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        SetOpenError(OpenErrorOf(errno));
        return false;
    }
    // Another program on the same port would corrupt the exchange: refuse to share it.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        ::close(fd);
        SetOpenError(OpenError::Busy);
        return false;
    }
    struct termios tio {};
    if (::tcgetattr(fd, &tio) != 0) {
        ::close(fd); // not a terminal at all
        return false;
    }
    fd_ = fd;
    saved_ = tio;
    haveSaved_ = true;
#ifdef TIOCEXCL
    ::ioctl(fd_, TIOCEXCL); // not every device knows it; the flock above still holds
#endif

    tio.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | IGNPAR | ISTRIP | INLCR | IGNCR | ICRNL | IXON |
                                          IXOFF | IXANY);
    tio.c_iflag |= INPCK | PARMRK; // damaged bytes arrive marked instead of silently
    tio.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    tio.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    static const tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
    tio.c_cflag |= kSizes[settings.byteSize - 5] | CLOCAL | CREAD;
    if (settings.stopBits == 2) tio.c_cflag |= CSTOPB;
    if (settings.parity == 1) tio.c_cflag |= PARENB | PARODD;
    if (settings.parity == 2) tio.c_cflag |= PARENB;
    tio.c_cc[VMIN] = 1; // with O_NONBLOCK an empty read is EAGAIN, so a read of 0 means hang-up
    tio.c_cc[VTIME] = 0;
    ::cfsetispeed(&tio, speed);
    ::cfsetospeed(&tio, speed);

    struct termios check {};
    if (::tcsetattr(fd_, TCSANOW, &tio) != 0 || ::tcgetattr(fd_, &check) != 0 ||
        ::cfgetospeed(&check) != speed || (check.c_cflag & CSIZE) != (tio.c_cflag & CSIZE) ||
        (check.c_cflag & CSTOPB) != (tio.c_cflag & CSTOPB) ||
        (check.c_cflag & PARENB) != (tio.c_cflag & PARENB) || (check.c_lflag & (ICANON | ECHO)) != 0) {
        Close();
        return false;
    }

    // Modem lines and the serial driver's extras: a pseudo-terminal or some adapters lack them.
    int lines = TIOCM_DTR | TIOCM_RTS;
    ::ioctl(fd_, TIOCMBIS, &lines);
#if defined(__linux__) && defined(TIOCGSERIAL)
    struct serial_struct ss {};
    if (::ioctl(fd_, TIOCGSERIAL, &ss) == 0) {
        ss.flags |= ASYNC_LOW_LATENCY;
        ::ioctl(fd_, TIOCSSERIAL, &ss);
    }
#endif
    haveCounters_ = ReadErrorCounter(fd_, errorCount_);
    ::tcflush(fd_, TCIOFLUSH);
    decoder_.Reset();
    input_.clear();
    SetOpenError(OpenError::None);
    return true;
}

void PosixSerialPort::Close() {
    if (fd_ < 0) return;
    int dtr = TIOCM_DTR;
    ::ioctl(fd_, TIOCMBIC, &dtr);
    ::tcflush(fd_, TCIOFLUSH);
    if (haveSaved_) ::tcsetattr(fd_, TCSANOW, &saved_);
#ifdef TIOCNXCL
    ::ioctl(fd_, TIOCNXCL);
#endif
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
    haveSaved_ = false;
    input_.clear();
    decoder_.Reset();
}

bool PosixSerialPort::Write(const std::uint8_t* data, std::size_t n) {
    if (fd_ < 0 || n > kPortQueueSize) return false;
    const auto deadline = Clock::now() + std::chrono::milliseconds(WriteTimeoutMs(n));
    std::size_t done = 0;
    while (done < n) {
        ssize_t w = ::write(fd_, data + done, n - done);
        if (w > 0) {
            done += static_cast<std::size_t>(w);
            continue;
        }
        if (w < 0 && errno == EINTR) continue;
        if (w < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            MarkLost();
            return false;
        }
        int ms = MsUntil(deadline);
        if (ms == 0) return false;
        bool hangUp = false;
        int r = WaitFd(fd_, true, ms, hangUp);
        if ((r < 0 && errno != EINTR) || hangUp) {
            MarkLost();
            return false;
        }
    }
    return true;
}

PosixSerialPort::Wait PosixSerialPort::Fill(Clock::time_point deadline) {
    if (lost_) return Wait::Failed;
    std::uint8_t buf[512];
    bool hungUp = false;
    for (;;) {
        ssize_t r = ::read(fd_, buf, sizeof buf);
        if (r > 0) {
            const std::size_t before = input_.size();
            decoder_.Feed(buf, static_cast<std::size_t>(r), input_);
            if (input_.size() > before) return Wait::Ready;
            continue; // only half of a marked sequence: it ends in the next bytes
        }
        if (r == 0) { // end of file: the device has hung up
            MarkLost();
            return Wait::Failed;
        }
        if (errno == EINTR) continue;
        if ((errno != EAGAIN && errno != EWOULDBLOCK) || hungUp) {
            MarkLost(); // EIO after a hang-up, ENXIO when an adapter is unplugged
            return Wait::Failed;
        }
        const int ms = MsUntil(deadline);
        if (ms == 0) return Wait::TimedOut;
        bool hangUp = false;
        int pr = WaitFd(fd_, false, ms, hangUp);
        if (pr < 0 && errno != EINTR) {
            MarkLost();
            return Wait::Failed;
        }
        // A hang-up without data: the next read says so (0 or EIO); if it does not, give up anyway
        // rather than poll a dead line in a loop.
        if (hangUp) hungUp = true;
    }
}

bool PosixSerialPort::TakeLineError() {
    if (haveCounters_) {
        long now = 0;
        if (ReadErrorCounter(fd_, now) && now != errorCount_) {
            errorCount_ = now;
            return true;
        }
    }
    if (!input_.empty() && input_.front() == ParmrkDecoder::kLineError) {
        input_.pop_front();
        return true;
    }
    return false;
}

ReadResult PosixSerialPort::ReadExact(std::uint8_t* data, std::size_t n) {
    if (fd_ < 0) return ReadResult::NoData;
    if (TakeLineError()) return ReadResult::LineError;
    const auto start = Clock::now();
    const auto total = start + std::chrono::milliseconds(ReadTimeoutMs(n));
    std::size_t got = 0;
    while (got < n) {
        if (!input_.empty()) {
            int item = input_.front();
            if (item == ParmrkDecoder::kLineError) {
                // An error after the first byte stays pending for the next read.
                if (got > 0) return ReadResult::NoData;
                input_.pop_front();
                return ReadResult::LineError;
            }
            input_.pop_front();
            data[got++] = static_cast<std::uint8_t>(item);
            continue;
        }
        auto deadline = total;
        if (got > 0) deadline = std::min(total, Clock::now() + std::chrono::milliseconds(kReadIntervalMs));
        if (Fill(deadline) != Wait::Ready) return ReadResult::NoData;
    }
    return ReadResult::Ok;
}

ReadResult PosixSerialPort::ReadByte(std::uint8_t& out, std::size_t& count) {
    if (fd_ < 0) return ReadResult::NoData;
    if (TakeLineError()) return ReadResult::LineError;
    if (input_.empty()) {
        Wait w = Fill(Clock::now() + std::chrono::milliseconds(ReadTimeoutMs(1)));
        if (w == Wait::Failed) return ReadResult::NoData;
        if (w == Wait::TimedOut) {
            count = 0;
            return ReadResult::Ok;
        }
    }
    int item = input_.front();
    input_.pop_front();
    if (item == ParmrkDecoder::kLineError) return ReadResult::LineError;
    out = static_cast<std::uint8_t>(item);
    count = 1;
    return ReadResult::Ok;
}

void PosixSerialPort::PurgeInput() {
    if (fd_ < 0) return;
    ::tcflush(fd_, TCIFLUSH);
    input_.clear();
    decoder_.Reset();
}

} // namespace rt62

#endif
