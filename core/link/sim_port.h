// The "sim:" port: a serial port whose far end is the radio emulator, in this process.
#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "core/link/radio_emulator.h"
#include "core/link/serial_port.h"

namespace rt62 {

// The simulated radio with its lock; one radio may be reached by several ports, one after another.
class SimulatedRadio {
  public:
    explicit SimulatedRadio(const RadioImage& image,
                            RadioEmulator::Start start = RadioEmulator::Start::Immediate)
        : emulator_(image, start) {}

    template <class F> auto With(F&& f) {
        std::lock_guard<std::mutex> lock(mutex_);
        return f(emulator_);
    }

  private:
    std::mutex mutex_;
    RadioEmulator emulator_;
};

// The radio behind every "sim:" port of this run: a factory VHF image at first, then whatever it
// was sent last, so a Download followed by an Upload shows the written data.
std::shared_ptr<SimulatedRadio> SharedSimulatedRadio();

// The port name of the simulated fleet.
inline constexpr char kSimulatedFleetName[] = "sim:fleet";

// A line of simulated radios for a fleet run, one on the cable at a time: each has its own serial
// number and radio-owned bytes; the third has a UHF board, so a VHF template shows the skip.
class SimulatedFleet {
  public:
    // The image radio index (from 0) starts with.
    static RadioImage FactoryImage(int index);

    // The radio on the cable: the first one until Next was called.
    std::shared_ptr<SimulatedRadio> Current();
    // The next radio is put on the cable.
    void Next();
    // Radio index, made when first asked for (so a test can prepare faults before the run).
    std::shared_ptr<SimulatedRadio> Radio(int index);
    int CurrentIndex();

  private:
    std::mutex mutex_;
    int current_ = -1; // before the first Next the first radio answers
    std::vector<std::shared_ptr<SimulatedRadio>> radios_;
};

// The fleet behind every "sim:fleet" port of this run.
std::shared_ptr<SimulatedFleet> SharedSimulatedFleet();

// One character at 4800 baud with 8 data bits, no parity and 2 stop bits: 11 bit times.
inline constexpr std::chrono::nanoseconds kCharTime{11LL * 1000000000LL / 4800};

class SimulatedSerialPort : public SerialPort {
  public:
    // Real: waits as a cable would. Virtual: time only moves inside the port, so a test that waits
    // for thirty 505 ms time-outs runs at once.
    enum class Clock { Real, Virtual };

    using TimePoint = std::chrono::steady_clock::time_point;

    // How a real-clock port waits, for every port of the process: the thread sleeps, unless a host
    // that must keep its event loop running (the browser's worker) says otherwise.
    static void SetRealClockSleep(void (*sleepUntil)(TimePoint));

    SimulatedSerialPort(std::shared_ptr<SimulatedRadio> radio, Clock clock, bool paced = true);
    // A port on the fleet's cable: ExpectNextRadio puts its next radio there.
    SimulatedSerialPort(std::shared_ptr<SimulatedFleet> fleet, Clock clock, bool paced = true);

    bool Open(const LineSettings& settings) override;
    void Close() override;
    bool IsOpen() const override { return open_; }
    bool Write(const std::uint8_t* data, std::size_t n) override;
    ReadResult ReadExact(std::uint8_t* data, std::size_t n) override;
    ReadResult ReadByte(std::uint8_t& out, std::size_t& count) override;
    void PurgeInput() override;
    bool LinkLost() const override { return lost_; }
    void ExpectNextRadio() override;

    // Test controls: a port that cannot be opened, a line that goes dead, a hook before every read
    // (its argument counts the reads from 0), and the time the port has spent.
    void SetOpenFails(bool fails) { openFails_ = fails; }
    void HangUp() { lost_ = true; }
    void SetReadHook(std::function<void(int)> hook) { readHook_ = std::move(hook); }
    std::chrono::nanoseconds Elapsed() const { return Now() - start_; }
    SimulatedRadio& Radio() { return *radio_; }

  private:
    struct Pending {
        TimePoint due;
        LineEvent event;
    };

    TimePoint Now() const;
    void WaitUntil(TimePoint t);
    void BeforeRead();

    std::shared_ptr<SimulatedRadio> radio_;
    std::shared_ptr<SimulatedFleet> fleet_;
    Clock clock_;
    std::chrono::nanoseconds charTime_;
    bool open_ = false;
    bool openFails_ = false;
    bool lost_ = false;
    TimePoint start_;
    TimePoint virtualNow_;
    TimePoint lineFree_;
    std::deque<Pending> queue_;
    std::function<void(int)> readHook_;
    int reads_ = 0;
};

} // namespace rt62
