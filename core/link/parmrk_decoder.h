// Splits a terminal's marked input stream (PARMRK) into data bytes and line-error marks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>

namespace rt62 {

// With PARMRK a received 0xFF arrives as FF FF and a byte with a framing or parity error (or a
// break) as FF 00 x. A read may end anywhere inside such a sequence, so the state carries over.
class ParmrkDecoder {
  public:
    static constexpr int kLineError = -1;

    // Appends the decoded items (0-255 data, kLineError) to out.
    void Feed(const std::uint8_t* data, std::size_t n, std::deque<int>& out);
    void Reset() { state_ = State::Normal; }

  private:
    enum class State { Normal, Escape, ErrorByte };
    State state_ = State::Normal;
};

} // namespace rt62
