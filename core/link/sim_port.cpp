#include "core/link/sim_port.h"

#include <algorithm>
#include <thread>

#include "core/image/fields.h"
#include "core/image/model.h"
#include "core/link/clone_protocol.h"

namespace rt62 {

std::shared_ptr<SimulatedRadio> SharedSimulatedRadio() {
    static std::shared_ptr<SimulatedRadio> radio =
        std::make_shared<SimulatedRadio>(MakeFactoryImage(0).image);
    return radio;
}

RadioImage SimulatedFleet::FactoryImage(int index) {
    constexpr int kUhfRadio = 2;
    RadioImage image = MakeFactoryImage(index == kUhfRadio ? 2 : 0).image;
    std::string serial = std::to_string(index + 1);
    serial.insert(0, 6 - std::min<std::size_t>(serial.size(), 6), '0');
    WriteSerialNumber(image, "1F" + serial.substr(serial.size() - 6));
    // Each radio's own bytes differ, so a merge that took the template's would show.
    for (std::size_t i = kRadioBytesFirst; i <= kRadioBytesLast; ++i)
        image[i] = static_cast<std::uint8_t>(0x40 + 0x10 * (index % 8) + (i - kRadioBytesFirst));
    StoreImageChecksum(image);
    return image;
}

std::shared_ptr<SimulatedRadio> SimulatedFleet::Radio(int index) {
    std::lock_guard<std::mutex> lock(mutex_);
    while (static_cast<int>(radios_.size()) <= index)
        radios_.push_back(std::make_shared<SimulatedRadio>(FactoryImage(static_cast<int>(radios_.size()))));
    return radios_[static_cast<std::size_t>(index)];
}

std::shared_ptr<SimulatedRadio> SimulatedFleet::Current() {
    return Radio(CurrentIndex());
}

int SimulatedFleet::CurrentIndex() {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::max(current_, 0);
}

void SimulatedFleet::Next() {
    std::lock_guard<std::mutex> lock(mutex_);
    ++current_;
}

std::shared_ptr<SimulatedFleet> SharedSimulatedFleet() {
    static std::shared_ptr<SimulatedFleet> fleet = std::make_shared<SimulatedFleet>();
    return fleet;
}

SimulatedSerialPort::SimulatedSerialPort(std::shared_ptr<SimulatedFleet> fleet, Clock clock, bool paced)
    : SimulatedSerialPort(fleet->Current(), clock, paced) {
    fleet_ = std::move(fleet);
}

void SimulatedSerialPort::ExpectNextRadio() {
    if (!fleet_) return;
    fleet_->Next();
    radio_ = fleet_->Current();
    // A new radio on the cable: what the last one sent is gone, and so is its hang-up.
    queue_.clear();
    lost_ = false;
}

SimulatedSerialPort::SimulatedSerialPort(std::shared_ptr<SimulatedRadio> radio, Clock clock, bool paced)
    : radio_(std::move(radio)), clock_(clock), charTime_(paced ? kCharTime : std::chrono::nanoseconds(0)) {
    start_ = virtualNow_ = lineFree_ = std::chrono::steady_clock::now();
}

SimulatedSerialPort::TimePoint SimulatedSerialPort::Now() const {
    return clock_ == Clock::Virtual ? virtualNow_ : std::chrono::steady_clock::now();
}

namespace {
void ThreadSleepUntil(std::chrono::steady_clock::time_point t) { std::this_thread::sleep_until(t); }
void (*realClockSleep)(std::chrono::steady_clock::time_point) = ThreadSleepUntil;
} // namespace

void SimulatedSerialPort::SetRealClockSleep(void (*sleepUntil)(TimePoint)) {
    realClockSleep = sleepUntil ? sleepUntil : ThreadSleepUntil;
}

void SimulatedSerialPort::WaitUntil(TimePoint t) {
    if (clock_ == Clock::Virtual)
        virtualNow_ = std::max(virtualNow_, t);
    else
        realClockSleep(t);
}

bool SimulatedSerialPort::Open(const LineSettings&) {
    if (openFails_) return false;
    open_ = true;
    lost_ = false;
    queue_.clear();
    return true;
}

void SimulatedSerialPort::Close() {
    open_ = false;
    queue_.clear();
}

bool SimulatedSerialPort::Write(const std::uint8_t* data, std::size_t n) {
    if (!open_ || lost_ || n > kPortQueueSize) return false;
    std::vector<LineEvent> events;
    for (std::size_t i = 0; i < n; ++i) {
        events.clear();
        const bool hangUp = radio_->With([&](RadioEmulator& radio) {
            radio.OnHostByte(data[i], events);
            return radio.HangUpRequested();
        });
        // The byte is on the wire for one character time; the echo completes with it, and the
        // radio answers only after it has heard the whole byte.
        const TimePoint heard = Now() + charTime_;
        for (const LineEvent& e : events) {
            switch (e.kind) {
            case LineEvent::Kind::Echo:
                lineFree_ = std::max(lineFree_, heard);
                break;
            case LineEvent::Kind::Byte:
            case LineEvent::Kind::LineError:
                lineFree_ = std::max(lineFree_, heard) + charTime_;
                break;
            case LineEvent::Kind::Pause:
                lineFree_ = std::max(lineFree_, heard) + std::chrono::milliseconds(e.pauseMs);
                continue;
            }
            queue_.push_back({lineFree_, e});
        }
        if (hangUp) {
            lost_ = true;
            return false;
        }
    }
    return true;
}

void SimulatedSerialPort::BeforeRead() {
    if (readHook_) readHook_(reads_);
    ++reads_;
}

ReadResult SimulatedSerialPort::ReadByte(std::uint8_t& out, std::size_t& count) {
    BeforeRead();
    if (!open_ || lost_) return ReadResult::NoData;
    const TimePoint now = Now();
    if (!queue_.empty() && queue_.front().due <= now &&
        queue_.front().event.kind == LineEvent::Kind::LineError) {
        queue_.pop_front();
        return ReadResult::LineError;
    }
    const TimePoint deadline = now + std::chrono::milliseconds(ReadTimeoutMs(1));
    if (queue_.empty() || queue_.front().due > deadline) {
        WaitUntil(deadline);
        count = 0;
        return ReadResult::Ok;
    }
    Pending p = queue_.front();
    queue_.pop_front();
    WaitUntil(p.due);
    if (p.event.kind == LineEvent::Kind::LineError) return ReadResult::LineError;
    out = p.event.value;
    count = 1;
    return ReadResult::Ok;
}

ReadResult SimulatedSerialPort::ReadExact(std::uint8_t* data, std::size_t n) {
    BeforeRead();
    if (!open_ || lost_) return ReadResult::NoData;
    TimePoint now = Now();
    if (!queue_.empty() && queue_.front().due <= now &&
        queue_.front().event.kind == LineEvent::Kind::LineError) {
        queue_.pop_front();
        return ReadResult::LineError;
    }
    const TimePoint total = now + std::chrono::milliseconds(ReadTimeoutMs(n));
    for (std::size_t got = 0; got < n; ++got) {
        TimePoint deadline = total;
        if (got > 0) deadline = std::min(total, Now() + std::chrono::milliseconds(kReadIntervalMs));
        if (queue_.empty() || queue_.front().due > deadline ||
            queue_.front().event.kind == LineEvent::Kind::LineError) {
            if (!queue_.empty() && queue_.front().due <= deadline)
                WaitUntil(queue_.front().due);
            else
                WaitUntil(deadline);
            return ReadResult::NoData;
        }
        Pending p = queue_.front();
        queue_.pop_front();
        WaitUntil(p.due);
        data[got] = p.event.value;
    }
    return ReadResult::Ok;
}

void SimulatedSerialPort::PurgeInput() {
    // What has arrived is dropped; what is still on its way arrives after the purge.
    const TimePoint now = Now();
    while (!queue_.empty() && queue_.front().due <= now)
        queue_.pop_front();
}

} // namespace rt62
