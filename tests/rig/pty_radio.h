// The radio emulator behind a pseudo-terminal, so the real POSIX port can be driven without a radio.
#pragma once

#ifndef _WIN32

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "core/link/radio_emulator.h"

namespace rt62 {

// A thread answers on the master side as the radio and the cable would; the port opens DevicePath().
// Paced, every character takes its 11 bit times at 4800 baud; unpaced, answers come at once.
// Line errors cannot travel through a pseudo-terminal and are left out.
class PtyRadio {
  public:
    PtyRadio(const RadioImage& image, RadioEmulator::Start start, bool paced);
    ~PtyRadio();
    PtyRadio(const PtyRadio&) = delete;
    PtyRadio& operator=(const PtyRadio&) = delete;

    bool Start();
    void Stop();
    const std::string& DevicePath() const { return path_; }

    template <class F> auto With(F&& f) {
        std::lock_guard<std::mutex> lock(mutex_);
        return f(emulator_);
    }
    // Waits until pred holds for the emulator (checked after every byte it gets); false on time-out.
    bool WaitFor(const std::function<bool(const RadioEmulator&)>& pred, std::chrono::milliseconds timeout);
    // Closes the master side now: the port sees a hang-up.
    void HangUp();

  private:
    void Run();

    RadioEmulator emulator_;
    bool paced_;
    std::string path_;
    int master_ = -1;
    int slave_ = -1; // kept open so the master does not report a hang-up between port sessions
    int wake_[2] = {-1, -1};
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> hangUp_{false};
};

} // namespace rt62

#endif
