#include "core/link/radio_emulator.h"

#include "core/link/clone_protocol.h"

namespace rt62 {

std::uint8_t FrameSum(std::uint8_t start, std::uint8_t header1, std::uint8_t header2,
                      const RadioImage& image) {
    unsigned sum = start + header1 + header2;
    for (std::uint8_t b : image)
        sum += b;
    return static_cast<std::uint8_t>(sum);
}

RadioEmulator::RadioEmulator(const RadioImage& image, Start start) : image_(image), start_(start) {
    SetStart(start);
}

void RadioEmulator::SetStart(Start start) {
    start_ = start;
    state_ = start == Start::Immediate ? State::Idle : State::Off;
}

void RadioEmulator::ClearLog() {
    hostBytes_.clear();
    radioBytes_ = 0;
    framesSent_ = writesAccepted_ = writesRejected_ = 0;
    hangUp_ = false;
}

void RadioEmulator::Send(std::uint8_t b, std::vector<LineEvent>& out) {
    out.push_back({LineEvent::Kind::Byte, b, 0});
    ++radioBytes_;
}

void RadioEmulator::SendFrame(std::vector<LineEvent>& out) {
    std::vector<std::uint8_t> frame;
    frame.reserve(kImageSize + 4);
    frame.push_back(kFrameStart);
    frame.push_back(faults_.headerByte1);
    frame.push_back(faults_.headerByte2);
    frame.insert(frame.end(), image_.begin(), image_.end());
    frame.push_back(static_cast<std::uint8_t>(
        FrameSum(kFrameStart, faults_.headerByte1, faults_.headerByte2, image_) + faults_.frameSumDelta));
    std::size_t length = frame.size();
    if (faults_.cutFrameAfter >= 0) {
        length = std::min<std::size_t>(length, static_cast<std::size_t>(faults_.cutFrameAfter));
        faults_.cutFrameAfter = -1;
    }
    const int errorAt = faults_.lineErrorAtFrameByte;
    faults_.lineErrorAtFrameByte = -1;
    for (std::size_t i = 0; i < length; ++i) {
        if (static_cast<int>(i) == errorAt) {
            out.push_back({LineEvent::Kind::LineError, 0, 0});
            ++radioBytes_;
        } else {
            Send(frame[i], out);
        }
    }
    ++framesSent_;
}

void RadioEmulator::FinishWrite(std::vector<LineEvent>& out) {
    unsigned sum = 0;
    for (std::size_t i = 0; i + 1 < frame_.size(); ++i)
        sum += frame_[i];
    const bool sumOk = static_cast<std::uint8_t>(sum) == frame_.back();
    if (faults_.unansweredWrites > 0) {
        --faults_.unansweredWrites;
        return;
    }
    if (faults_.writeAnswerDelayMs > 0)
        out.push_back({LineEvent::Kind::Pause, 0, faults_.writeAnswerDelayMs});
    if (faults_.lineErrorAsWriteAnswer) {
        faults_.lineErrorAsWriteAnswer = false;
        out.push_back({LineEvent::Kind::LineError, 0, 0});
        return;
    }
    if (!sumOk) {
        ++writesRejected_;
        Send(kNak, out);
        return;
    }
    if (faults_.writeAnswer == kAck) {
        std::copy(frame_.begin() + 3, frame_.begin() + 3 + kImageSize, image_.begin());
        ++writesAccepted_;
    } else {
        ++writesRejected_;
    }
    Send(faults_.writeAnswer, out);
}

void RadioEmulator::OnHostByte(std::uint8_t b, std::vector<LineEvent>& out) {
    const std::size_t first = out.size();
    Respond(b, out);
    if (filter_) filter_(b, out, first);
}

void RadioEmulator::Respond(std::uint8_t b, std::vector<LineEvent>& out) {
    const int index = static_cast<int>(hostBytes_.size());
    hostBytes_.push_back(b);
    if (!faults_.noEcho && index != faults_.dropEchoOfHostByte) out.push_back({LineEvent::Kind::Echo, b, 0});
    if (index == faults_.hangUpAtHostByte) hangUp_ = true;

    if (state_ == State::Receiving) {
        frame_.push_back(b);
        if (frame_.size() == kImageSize + 4) {
            state_ = State::Idle;
            if (!faults_.silent) FinishWrite(out);
        }
        return;
    }
    if (faults_.silent) return;
    switch (state_) {
    case State::Off:
        if (b == kRequest) {
            if (faults_.powerOnDelayMs > 0)
                out.push_back({LineEvent::Kind::Pause, 0, faults_.powerOnDelayMs});
            Send(kPrompt, out);
            state_ = State::Prompted;
            if (faults_.silentAfterPrompt) faults_.silent = true;
        }
        break;
    case State::Prompted:
    case State::Armed:
        if (b == kPromptReply) {
            state_ = State::Armed;
        } else if (b == kRequest && state_ == State::Armed) {
            for (; faults_.promptsBeforeFrame > 0; --faults_.promptsBeforeFrame)
                Send(kPrompt, out);
            SendFrame(out);
            state_ = State::Idle;
        } else if (b == kWriteStart) {
            frame_.clear();
            state_ = State::Receiving;
        }
        break;
    case State::Idle:
        if (b == kRequest) {
            SendFrame(out);
        } else if (b == kWriteStart) {
            frame_.clear();
            state_ = State::Receiving;
        }
        break;
    case State::Receiving:
        break;
    }
}

} // namespace rt62
