// The radio's side of the cable from fuzzed bytes: Upload and Download (normal and service mode)
// against the emulated radio, whose answers the input rewrites byte by byte, on a virtual clock.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/image/fields.h"
#include "core/image/model.h"
#include "core/link/clone_protocol.h"
#include "core/link/sim_port.h"
#include "core/link/transfer_job.h"
#include "fuzz/support.h"

namespace rt62 {
namespace {

// Consumes the input front to back; an exhausted input reads as zeros.
struct Input {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;
    std::uint8_t Next() { return at < size ? data[at++] : 0; }
    bool Empty() const { return at >= size; }
};

// Records the bytes the protocol took from the line one at a time: what it saw of the radio.
class RecordingPort : public SimulatedSerialPort {
  public:
    using SimulatedSerialPort::SimulatedSerialPort;
    ReadResult ReadByte(std::uint8_t& out, std::size_t& count) override {
        const ReadResult r = SimulatedSerialPort::ReadByte(out, count);
        if (r == ReadResult::Ok && count == 1) received.push_back(out);
        return r;
    }
    std::vector<std::uint8_t> received;
};

// One script byte per host byte rewrites what the radio and the cable send back. The high three
// bits pick the change, the low five are its parameter.
void Rewrite(Input& in, std::vector<LineEvent>& out, std::size_t first, bool& hangUp) {
    if (in.Empty()) return;
    const std::uint8_t op = in.Next();
    const int param = op & 31;
    const auto radioBegin = [&] {
        auto it = out.begin() + static_cast<std::ptrdiff_t>(first);
        while (it != out.end() && it->kind == LineEvent::Kind::Echo)
            ++it;
        return it;
    };
    switch (op >> 5) {
    case 0:
    case 1:
    case 2: // as the emulated radio answers
        break;
    case 3: // the cable loses the echo
        out.erase(std::remove_if(out.begin() + static_cast<std::ptrdiff_t>(first), out.end(),
                                 [](const LineEvent& e) { return e.kind == LineEvent::Kind::Echo; }),
                  out.end());
        break;
    case 4: // the radio is slow: up to 1.24 s before its answer, past the read time-outs
        out.insert(radioBegin(), LineEvent{LineEvent::Kind::Pause, 0, param * 40});
        break;
    case 5: { // a damaged character somewhere in the answer
        const std::size_t span = out.size() - first + 1;
        out.insert(out.begin() + static_cast<std::ptrdiff_t>(first + static_cast<std::size_t>(param) % span),
                   LineEvent{LineEvent::Kind::LineError, 0, 0});
        break;
    }
    case 6: // the radio says something else: the next param bytes of the input
        out.erase(radioBegin(), out.end());
        for (int i = 0; i < param; ++i)
            out.push_back({LineEvent::Kind::Byte, in.Next(), 0});
        break;
    case 7: // one byte changed, or the line goes dead
        if (param == 31) {
            hangUp = true;
        } else if (out.size() > first) {
            LineEvent& e = out[first + static_cast<std::size_t>(param) % (out.size() - first)];
            e.value ^= in.Next() | 1;
        }
        break;
    }
}

bool SentAny(const std::vector<std::uint8_t>& sent, std::uint8_t b) {
    return std::find(sent.begin(), sent.end(), b) != sent.end();
}

bool SameBytes(const RadioImage& a, const RadioImage& b, std::size_t from, std::size_t to) {
    return std::equal(a.begin() + static_cast<std::ptrdiff_t>(from),
                      a.begin() + static_cast<std::ptrdiff_t>(to),
                      b.begin() + static_cast<std::ptrdiff_t>(from));
}

std::uint8_t Sum8(const std::uint8_t* p, std::size_t n) {
    unsigned sum = 0;
    for (std::size_t i = 0; i < n; ++i)
        sum += p[i];
    return static_cast<std::uint8_t>(sum);
}

// Every read counts; a radio that never finishes is cut off by a cancel well after a clean
// download (about 520 reads, 260 more for each repeated frame) would have ended.
constexpr int kReadBudget = 1500;

void Run(Input& in) {
    const std::uint8_t flags = in.Next();
    const bool download = flags & 0x01;
    const bool serviceMode = flags & 0x02;
    const bool marketingChanged = flags & 0x04;
    const bool radioOff = flags & 0x08;
    const bool documentModified = flags & 0x10;
    const bool yes = flags & 0x20;

    const ImageModel& document = fuzz::FactoryModel(in.Next());
    RadioImage radioImage = document.image;
    for (int patches = in.Next() & 15; patches > 0; --patches) {
        const std::uint8_t offset = in.Next();
        radioImage[offset % kImageSize] = in.Next();
    }

    auto radio = std::make_shared<SimulatedRadio>(radioImage, radioOff ? RadioEmulator::Start::PowerOnPrompt
                                                                       : RadioEmulator::Start::Immediate);
    RecordingPort port(radio, SimulatedSerialPort::Clock::Virtual, /*paced=*/false);
    port.SetLeadName("1");
    bool hangUp = false;
    radio->With([&](RadioEmulator& r) {
        r.SetLineFilter([&](std::uint8_t, std::vector<LineEvent>& out, std::size_t first) {
            Rewrite(in, out, first, hangUp);
        });
        return 0;
    });
    CancelToken cancel;
    port.SetReadHook([&](int read) {
        if (hangUp) port.HangUp();
        if (read >= kReadBudget) cancel.Request();
    });
    NullProgress progress;
    fuzz::QuietPrompter prompter;
    prompter.yesNo = yes ? Answer::Yes : Answer::No;
    prompter.okCancel = yes ? Answer::Ok : Answer::Cancel;
    const auto sent = [&] { return radio->With([](RadioEmulator& r) { return r.HostBytes(); }); };

    if (!download) {
        const UploadJobResult r =
            RunUploadJob(port, {cancel, progress, prompter}, RadioImage{}, documentModified);
        RT62_FUZZ_CHECK(r.image.has_value() == (r.status == JobStatus::Completed),
                        "an image only on success");
        RT62_FUZZ_CHECK(r.status != JobStatus::Declined || (documentModified && !yes), "declined only on No");
        if (r.status == JobStatus::Completed || r.status == JobStatus::Declined) {
            // The frame that was taken is the last 258 bytes read: opener, two header bytes, the image
            // and the FrameSum, which the radio's ACK answered.
            const std::vector<std::uint8_t>& got = port.received;
            RT62_FUZZ_CHECK(got.size() >= kImageSize + 4, "a whole frame was read");
            const std::uint8_t* frame = got.data() + got.size() - (kImageSize + 4);
            RT62_FUZZ_CHECK(Sum8(frame, kImageSize + 3) == frame[kImageSize + 3], "the FrameSum is right");
            RT62_FUZZ_CHECK(!r.image || std::equal(r.image->begin(), r.image->end(), frame + 3),
                            "the image is the frame's");
            const std::vector<std::uint8_t> host = sent();
            RT62_FUZZ_CHECK(!host.empty() && host.back() == kAck, "the frame was acknowledged");
        }
        return;
    }

    // Download as the command line and the window run it: on the normalized document.
    RadioImage current = document.image;
    RadioImage scratch = current;
    DownloadOptions options;
    options.serviceMode = serviceMode;
    options.marketingChanged = marketingChanged;
    options.normalize = [&document](RadioImage& image) {
        ImageModel model = document;
        model.image = image;
        NormalizeImage(model);
        image = model.image;
    };
    if (!OpenCloneLink(port)) return;
    CloneSession session(port, cancel, progress, prompter);
    DownloadState state;
    const LinkResult r = session.DownloadImage(current, scratch, options, state);
    const std::vector<std::uint8_t> host = sent();

    const bool writeBegun = SentAny(host, kWriteStart);
    const bool mismatch = !SameBytes(scratch, document.image, kHardwareCheckFirst, kHardwareCheckLast + 1);
    RT62_FUZZ_CHECK(!writeBegun || state.merged, "nothing is written before the merge");
    if (state.merged && mismatch) {
        // Other hardware is written over only in service mode, after OK to the question.
        RT62_FUZZ_CHECK(serviceMode && yes, "a hardware mismatch was passed");
    }
    if (r != LinkResult::Ok) return;

    // The last frame on the line is the merged image: '`', '!', the header, the image, the FrameSum.
    RT62_FUZZ_CHECK(host.size() >= kImageSize + 5, "a frame was written");
    const std::uint8_t* frame = host.data() + host.size() - (kImageSize + 5);
    RT62_FUZZ_CHECK(frame[0] == kWriteStart && frame[1] == kFrameStart && frame[2] == kHeaderByte &&
                        frame[3] == kHeaderByte,
                    "the frame opens as a write");
    RT62_FUZZ_CHECK(std::equal(current.begin(), current.end(), frame + 4), "the merged image went out");
    RT62_FUZZ_CHECK(Sum8(frame + 1, kImageSize + 3) == frame[kImageSize + 4],
                    "the written FrameSum is right");
    RT62_FUZZ_CHECK(ReadImageChecksum(current) == ComputeImageChecksum(current),
                    "the written checksum is right");

    // The merge: the document's own bytes, the radio's own bytes unless the radio never set them,
    // the radio's marketing data unless an edited one goes out in service mode.
    RadioImage normalized = document.image;
    options.normalize(normalized);
    RT62_FUZZ_CHECK(SameBytes(current, normalized, 0, kRadioBytesFirst), "the document's bytes went out");
    RT62_FUZZ_CHECK(SameBytes(current, normalized, kRadioBytesLast + 1, kMarketingFirst),
                    "squelch timing kept");
    const bool radioBytesSet = scratch[kRadioBytesFirst] != 0x00 && scratch[kRadioBytesFirst] != 0xFF;
    RT62_FUZZ_CHECK(
        SameBytes(current, radioBytesSet ? scratch : normalized, kRadioBytesFirst, kRadioBytesLast + 1),
        "the radio's own bytes");
    const bool keepEdited = serviceMode && marketingChanged;
    RT62_FUZZ_CHECK(
        SameBytes(current, keepEdited ? normalized : scratch, kMarketingFirst, kMarketingLast + 1),
        "the marketing data");
}

} // namespace
} // namespace rt62

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    rt62::Input in{data, size};
    rt62::Run(in);
    return 0;
}
