#include "core/link/parmrk_decoder.h"

namespace rt62 {

void ParmrkDecoder::Feed(const std::uint8_t* data, std::size_t n, std::deque<int>& out) {
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint8_t b = data[i];
        switch (state_) {
        case State::Normal:
            if (b == 0xFF)
                state_ = State::Escape;
            else
                out.push_back(b);
            break;
        case State::Escape:
            if (b == 0xFF) {
                out.push_back(0xFF);
                state_ = State::Normal;
            } else if (b == 0x00) {
                state_ = State::ErrorByte;
            } else {
                // Not a sequence the terminal produces; keep both bytes rather than lose data.
                out.push_back(0xFF);
                out.push_back(b);
                state_ = State::Normal;
            }
            break;
        case State::ErrorByte:
            // The damaged byte itself is dropped: only the error reaches the reader.
            out.push_back(kLineError);
            state_ = State::Normal;
            break;
        }
    }
}

} // namespace rt62
