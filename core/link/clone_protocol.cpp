#include "core/link/clone_protocol.h"

#include <algorithm>

#include "core/image/fields.h"

namespace rt62 {

CloneSession::CloneSession(SerialPort& port, CancelToken& cancel, ProgressSink& progress, Prompter& prompter)
    : port_(port), cancel_(cancel), progress_(progress), prompter_(prompter),
      lastProgress_(std::chrono::steady_clock::now()) {}

bool CloneSession::SendByte(std::uint8_t b) {
    std::uint8_t buf = b;
    return port_.SendEchoed(&buf, 1);
}

ReadResult CloneSession::ReceiveByte(std::uint8_t& out) {
    std::uint8_t b = 0;
    std::size_t count = 0;
    ReadResult r = port_.ReadByte(b, count);
    if (r != ReadResult::Ok) return r;
    if (count == 0) return ReadResult::NoData;
    out = b;
    lastByte_ = b;
    return ReadResult::Ok;
}

ReadResult CloneSession::PollByte(std::uint8_t& out) {
    std::uint8_t b = 0;
    std::size_t count = 0;
    if (port_.ReadByte(b, count) != ReadResult::Ok) return ReadResult::LineError;
    if (count == 1) {
        out = b;
        lastByte_ = b;
    }
    return ReadResult::Ok;
}

bool CloneSession::ShouldStop() {
    if (cancel_.Requested()) {
        stopResult_ = LinkResult::Cancelled;
        return true;
    }
    // A dead line, or one that has carried no part of a frame for the given time (silent, or
    // babbling bytes that open none), would otherwise be waited for without end: both end the
    // transfer with the lead message.
    if (port_.LinkLost() ||
        (giveUpAfter_.count() > 0 && std::chrono::steady_clock::now() - lastProgress_ >= giveUpAfter_)) {
        stopResult_ = Fail(kStrCheckLead);
        return true;
    }
    return false;
}

LinkResult CloneSession::Fail(int stringId) {
    // After a hang-up every later step fails too; the lead message says what actually happened.
    if (port_.LinkLost()) stringId = kStrCheckLead;
    if (stringId == kStrCheckLead)
        prompter_.show(stringId, Buttons::Ok, Icon::Stop, {port_.LeadName()});
    else
        prompter_.show(stringId, Buttons::Ok, Icon::Stop);
    return LinkResult::Failed;
}

void CloneSession::Advance() {
    progress_.SetPosition(++position_);
    lastProgress_ = std::chrono::steady_clock::now();
}

void CloneSession::Status(int stringId) {
    progress_.SetStatus(stringId);
}

void CloneSession::FrameOver(bool received) {
    progress_.FrameDone(received, kFrameBytes,
                        std::chrono::duration_cast<std::chrono::microseconds>(
                            std::chrono::steady_clock::now() - frameStart_));
}

LinkResult CloneSession::UploadImage(RadioImage& dest) {
    lastProgress_ = std::chrono::steady_clock::now();
    if (ShouldStop()) return stopResult_;
    int attempts = 0;
    for (;;) {
        if (attempts > 0) {
            Status(kStrRetry);
            SendByte(kAck); // tells the radio to drop the broken frame; it may not answer
        }
        port_.PurgeInput();
        SendByte(kRequest); // without a radio the echo may be missing; the wait below decides
        ++attempts;
        if (ShouldStop()) return stopResult_;
        Status(kStrSwitchRadio);

        std::uint8_t b = 0;
        bool opened = false;
        for (;;) { // any bytes until '!'
            ReadResult r = ReceiveByte(b);
            if (r == ReadResult::LineError) return Fail(kStrCheckLead);
            if (r == ReadResult::NoData) break;
            if (b == kFrameStart) {
                opened = true;
                break;
            }
            if (ShouldStop()) return stopResult_;
        }
        if (!opened) {
            // Wait, without limit, for the radio's 'P' (it may already have come above).
            for (;;) {
                ReadResult r = PollByte(lastByte_);
                if (r == ReadResult::Ok && lastByte_ == kPrompt) break;
                if (ShouldStop()) return stopResult_;
            }
            if (!SendByte(kPromptReply) || !SendByte(kRequest)) return Fail(kStrCheckLead);
            ReadResult r = ReadResult::NoData;
            for (int i = 0; i < 5; ++i) {
                r = ReceiveByte(b);
                if (r == ReadResult::Ok && b == kFrameStart) {
                    opened = true;
                    break;
                }
                if (ShouldStop()) return stopResult_;
            }
            if (!opened && r == ReadResult::NoData) continue;
            // Otherwise the last byte received opens the frame; the FrameSum decides.
            if (ShouldStop()) return stopResult_;
        }

        frameStart_ = std::chrono::steady_clock::now();
        unsigned sum = lastByte_;
        ReadResult r = ReceiveByte(b); // header byte 1
        if (r == ReadResult::LineError) return Fail(kStrCommError);
        if (r == ReadResult::NoData) continue;
        Advance();
        Status(kStrPleaseWait);
        if (ShouldStop()) return stopResult_;
        sum += b;

        r = ReceiveByte(b); // header byte 2
        if (r == ReadResult::LineError) return Fail(kStrCommError);
        if (r == ReadResult::NoData) continue;
        if (ShouldStop()) return stopResult_;
        Advance();
        sum += b;

        bool restart = false;
        for (std::size_t i = 0; i < kImageSize; ++i) {
            r = ReceiveByte(b);
            if (r == ReadResult::LineError) return Fail(kStrTimeout2);
            if (r == ReadResult::NoData) {
                restart = true;
                break;
            }
            dest[i] = b;
            sum += b;
            Advance();
            if (ShouldStop()) return stopResult_;
        }
        if (restart) continue;

        r = ReceiveByte(b); // FrameSum
        if (r == ReadResult::LineError) return Fail(kStrTimeout4);
        if (r == ReadResult::NoData) continue;
        if (ShouldStop()) return stopResult_;
        if (b == static_cast<std::uint8_t>(sum)) {
            FrameOver(true);
            SendByte(kAck);
            return LinkResult::Ok;
        }
        SendByte(kNak);
        return Fail(kStrBccError);
    }
}

LinkResult CloneSession::WriteImage(const RadioImage& image) {
    lastProgress_ = std::chrono::steady_clock::now();
    int attempts = 0;
    for (;;) {
        port_.PurgeInput();
        if (attempts > 0) Status(kStrRetry);
        ++attempts;
        if (!SendByte(kWriteStart)) return Fail(kStrCheckLead);
        if (ShouldStop()) return stopResult_;
        Advance();
        Status(kStrPleaseWait);
        frameStart_ = std::chrono::steady_clock::now();
        if (!SendByte(kFrameStart)) return Fail(kStrCommError);
        Advance();
        if (!SendByte(kHeaderByte)) return Fail(kStrCommError);
        Advance();
        if (!SendByte(kHeaderByte)) return Fail(kStrCommError);
        if (ShouldStop()) return stopResult_;
        Advance();
        unsigned sum = kFrameStart + kHeaderByte + kHeaderByte;
        for (std::uint8_t b : image) sum += b;
        const SerialPort::EchoRun sent = port_.SendEachEchoed(image.data(), image.size(), [this] {
            Advance();
            return !ShouldStop();
        });
        if (sent == SerialPort::EchoRun::Failed) return Fail(kStrCommError);
        if (sent == SerialPort::EchoRun::Stopped) return stopResult_;
        SendByte(static_cast<std::uint8_t>(sum)); // a lost echo here shows in the answer below

        std::uint8_t answer = 0;
        ReadResult r = ReadResult::NoData;
        for (int i = 0; i < 30; ++i) {
            r = ReceiveByte(answer);
            if (r == ReadResult::Ok) break;
            if (ShouldStop()) return stopResult_;
        }
        if (r == ReadResult::NoData) continue;
        Advance();
        if (r == ReadResult::Ok && answer == kAck) {
            FrameOver(false);
            return LinkResult::Ok;
        }
        return Fail(kStrDataError);
    }
}

LinkResult CloneSession::DownloadImage(RadioImage& current, RadioImage& scratch,
                                       const DownloadOptions& options, DownloadState& state) {
    if (ShouldStop()) return stopResult_;
    LinkResult r = UploadImage(scratch);
    if (r != LinkResult::Ok) return r;
    if (options.radioImageRead && !options.radioImageRead(scratch)) return LinkResult::Cancelled;
    Advance();
    if (ShouldStop()) return stopResult_;

    for (std::size_t i = kHardwareCheckFirst; i <= kHardwareCheckLast; ++i) {
        if (scratch[i] == current[i]) continue;
        if (!options.serviceMode) {
            prompter_.show(kStrHardwareMismatch, Buttons::Ok, Icon::Stop);
            return LinkResult::Failed;
        }
        if (prompter_.show(kStrHardwareMismatch, Buttons::OkCancel, Icon::Stop) != Answer::Ok)
            return LinkResult::Failed;
        break;
    }

    if (ShouldStop()) return stopResult_;
    if (options.normalize) options.normalize(current);
    state.merged = true;
    if (options.serviceMode && options.marketingChanged) {
        state.keptEditedMarketing = true;
    } else {
        std::copy(scratch.begin() + kMarketingFirst, scratch.begin() + kMarketingLast + 1,
                  current.begin() + kMarketingFirst);
    }
    // 0x00 and 0xFF mark a radio whose own bytes were never set: keep ours then.
    if (scratch[kRadioBytesFirst] != 0x00 && scratch[kRadioBytesFirst] != 0xFF)
        std::copy(scratch.begin() + kRadioBytesFirst, scratch.begin() + kRadioBytesLast + 1,
                  current.begin() + kRadioBytesFirst);
    StoreImageChecksum(current);

    if (ShouldStop()) return stopResult_;
    Advance();
    return WriteImage(current);
}

} // namespace rt62
