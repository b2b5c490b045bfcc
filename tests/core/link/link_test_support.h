// Shared pieces of the link tests: a prompter and a progress sink that record, and test images.
#pragma once

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "core/image/fields.h"
#include "core/image/prompter.h"
#include "core/image/radio_image.h"
#include "core/link/sim_port.h"
#include "core/link/transfer_job.h"

namespace rt62::test {

// Answers every question with OK unless told otherwise. Read it only once the job has ended.
struct RecordingPrompter : Prompter {
    Answer show(int id, Buttons b, Icon, const std::vector<std::string>& a = {}) override {
        ids.push_back(id);
        buttons.push_back(b);
        args.push_back(a);
        return answers.count(id) ? answers[id] : Answer::Ok;
    }
    std::vector<int> ids;
    std::vector<Buttons> buttons;
    std::vector<std::vector<std::string>> args;
    std::map<int, Answer> answers;
};

struct RecordingProgress : ProgressSink {
    void SetRange(int m) override { range = m; }
    void SetPosition(int p) override {
        steady = steady && p == position + 1;
        position = p;
    }
    void SetStatus(int id, const std::vector<std::string>& = {}) override { statuses.push_back(id); }
    void SetTitle(int id) override { title = id; }
    void FrameDone(bool received, std::size_t bytes, std::chrono::microseconds) override {
        frames.push_back(received ? static_cast<int>(bytes) : -static_cast<int>(bytes));
    }
    long Count(int id) const { return std::count(statuses.begin(), statuses.end(), id); }

    int range = 0, position = 0, title = 0;
    bool steady = true; // every position is the one before plus 1
    std::vector<int> statuses;
    std::vector<int> frames; // bytes of each whole frame: received positive, sent negative
};

// What a transfer job is given, recorded.
struct JobRecorders {
    JobEnvironment Env() { return {cancel, progress, prompter}; }
    CancelToken cancel;
    RecordingProgress progress;
    RecordingPrompter prompter;
};

// What the computer sent, as text for compact expectations.
inline std::string AsText(const std::vector<std::uint8_t>& bytes) {
    return {bytes.begin(), bytes.end()};
}

// The emulated radio on the in-process port (virtual clock: no waiting), on the lead named "3".
struct SimRig : JobRecorders {
    explicit SimRig(const RadioImage& radioImage, RadioEmulator::Start start = RadioEmulator::Start::Immediate,
                    const RadioEmulator::Faults& faults = {})
        : radio(std::make_shared<SimulatedRadio>(radioImage, start)),
          port(radio, SimulatedSerialPort::Clock::Virtual, /*paced=*/false) {
        port.SetLeadName("3");
        radio->With([&](RadioEmulator& r) {
            r.SetFaults(faults);
            return 0;
        });
    }
    std::string Sent() {
        return AsText(radio->With([](RadioEmulator& r) { return r.HostBytes(); }));
    }
    RadioImage RadioSide() {
        return radio->With([](RadioEmulator& r) { return r.Image(); });
    }
    UploadJobResult Upload() { return RunUploadJob(port, Env(), RadioImage{}, false); }

    std::shared_ptr<SimulatedRadio> radio;
    SimulatedSerialPort port;
};

// A normalized-looking image with 0xFF and 0x00 runs in it (they need escaping on a marked line).
inline RadioImage PatternImage(std::uint8_t seed) {
    RadioImage image{};
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<std::uint8_t>(i * 7 + seed);
    image[10] = image[11] = 0xFF;
    image[12] = 0x00;
    image[13] = 0xFF;
    image[14] = 0x00;
    image[15] = 0x21; // '!' inside the data
    StoreImageChecksum(image);
    return image;
}

// A document for the radio's image: the same hardware bytes, its own bytes elsewhere.
inline RadioImage DocumentFor(const RadioImage& radio) {
    RadioImage doc = PatternImage(40);
    std::copy(radio.begin() + kHardwareCheckFirst, radio.begin() + kHardwareCheckLast + 1,
              doc.begin() + kHardwareCheckFirst);
    StoreImageChecksum(doc);
    return doc;
}

} // namespace rt62::test
