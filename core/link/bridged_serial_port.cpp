#include "core/link/bridged_serial_port.h"

#include <algorithm>

namespace rt62 {

using Clock = PortBridge::Clock;

bool BridgedSerialPort::Open(const LineSettings& settings) {
    if (open_) return true;
    input_.clear();
    lost_ = false;
    const OpenError error = bridge_.Open(settings);
    SetOpenError(error);
    open_ = error == OpenError::None;
    return open_;
}

void BridgedSerialPort::Close() {
    if (!open_) return;
    bridge_.Close();
    open_ = false;
    input_.clear();
}

bool BridgedSerialPort::Write(const std::uint8_t* data, std::size_t n) {
    if (!open_ || lost_ || n > kPortQueueSize) return false;
    if (bridge_.Send(data, n)) return true;
    lost_ = true;
    return false;
}

bool BridgedSerialPort::Fill(Clock::time_point deadline) {
    while (!lost_) {
        const std::size_t before = input_.size();
        bridge_.Receive(deadline, input_);
        // Whatever follows a lost link is not the radio's.
        const auto gone = std::find(input_.begin() + static_cast<std::ptrdiff_t>(before), input_.end(),
                                    PortBridge::kLinkLost);
        if (gone != input_.end()) {
            input_.erase(gone, input_.end());
            lost_ = true;
        }
        if (input_.size() > before) return true;
        if (bridge_.Now() >= deadline) return false;
    }
    return false;
}

ReadResult BridgedSerialPort::ReadExact(std::uint8_t* data, std::size_t n) {
    if (!open_) return ReadResult::NoData;
    if (!input_.empty() && input_.front() == PortBridge::kLineError) {
        input_.pop_front();
        return ReadResult::LineError;
    }
    const auto total = bridge_.Now() + std::chrono::milliseconds(ReadTimeoutMs(n));
    std::size_t got = 0;
    while (got < n) {
        if (!input_.empty()) {
            const int item = input_.front();
            // An error after the first byte stays pending for the next read.
            if (item == PortBridge::kLineError) {
                if (got > 0) return ReadResult::NoData;
                input_.pop_front();
                return ReadResult::LineError;
            }
            input_.pop_front();
            data[got++] = static_cast<std::uint8_t>(item);
            continue;
        }
        auto deadline = total;
        if (got > 0) deadline = std::min(total, bridge_.Now() + std::chrono::milliseconds(kReadIntervalMs));
        if (!Fill(deadline)) return ReadResult::NoData;
    }
    return ReadResult::Ok;
}

ReadResult BridgedSerialPort::ReadByte(std::uint8_t& out, std::size_t& count) {
    if (!open_) return ReadResult::NoData;
    if (input_.empty() && !Fill(bridge_.Now() + std::chrono::milliseconds(ReadTimeoutMs(1)))) {
        if (lost_) return ReadResult::NoData;
        count = 0;
        return ReadResult::Ok;
    }
    const int item = input_.front();
    input_.pop_front();
    if (item == PortBridge::kLineError) return ReadResult::LineError;
    out = static_cast<std::uint8_t>(item);
    count = 1;
    return ReadResult::Ok;
}

void BridgedSerialPort::PurgeInput() {
    if (!open_) return;
    input_.clear();
    bridge_.Discard();
}

} // namespace rt62
