// Decoding of the marked input stream, whole and split at every position.
#include <gtest/gtest.h>

#include <tuple>

#include "core/link/parmrk_decoder.h"

namespace rt62 {
namespace {

constexpr int E = ParmrkDecoder::kLineError;

TEST(ParmrkDecoder, DecodesEscapesAndErrorMarksWhereverTheReadsSplitThem) {
    const std::tuple<const char*, std::vector<std::uint8_t>, std::vector<int>> cases[] = {
        {"plain bytes", {0x21, 0x01, 0x00, 0x7F}, {0x21, 0x01, 0x00, 0x7F}},
        {"escaped 0xFF", {0x10, 0xFF, 0xFF, 0x11}, {0x10, 0xFF, 0x11}},
        {"two 0xFF in a row", {0xFF, 0xFF, 0xFF, 0xFF}, {0xFF, 0xFF}},
        {"framing error drops the damaged byte", {0x41, 0xFF, 0x00, 0x5A, 0x42}, {0x41, E, 0x42}},
        {"break", {0xFF, 0x00, 0x00}, {E}},
        {"damaged 0xFF", {0xFF, 0x00, 0xFF, 0x06}, {E, 0x06}},
        {"error then escaped 0xFF", {0xFF, 0x00, 0x33, 0xFF, 0xFF}, {E, 0xFF}},
        {"lone 0xFF before another byte keeps both", {0xFF, 0x21}, {0xFF, 0x21}},
    };
    for (const auto& [name, raw, decoded] : cases) {
        for (std::size_t split = 0; split <= raw.size(); ++split) {
            SCOPED_TRACE(std::string(name) + ", split at " + std::to_string(split));
            ParmrkDecoder d;
            std::deque<int> out;
            d.Feed(raw.data(), split, out);
            d.Feed(raw.data() + split, raw.size() - split, out);
            EXPECT_EQ(std::vector<int>(out.begin(), out.end()), decoded);
        }
        // One byte per read.
        ParmrkDecoder d;
        std::deque<int> out;
        for (std::uint8_t b : raw)
            d.Feed(&b, 1, out);
        EXPECT_EQ(std::vector<int>(out.begin(), out.end()), decoded) << name;
    }
}

TEST(ParmrkDecoder, ResetForgetsAHalfSequence) {
    ParmrkDecoder d;
    std::deque<int> out;
    const std::uint8_t ff = 0xFF, zero = 0x00;
    d.Feed(&ff, 1, out);
    d.Reset(); // a purge dropped the rest of the sequence
    d.Feed(&zero, 1, out);
    EXPECT_EQ(std::vector<int>(out.begin(), out.end()), std::vector<int>{0x00});
}

} // namespace
} // namespace rt62
