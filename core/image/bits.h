// Byte-level primitives every image field is built on: bit fields, nibbles, big-endian words, keypad digits.
#pragma once

#include <cstdint>

namespace rt62 {

// Bits hi..lo (hi >= lo, bit 7 most significant) of a byte, shifted down.
constexpr int GetBits(std::uint8_t byte, int hi, int lo) {
    const unsigned width = static_cast<unsigned>(hi - lo + 1);
    return static_cast<int>((static_cast<unsigned>(byte) >> lo) & ((1u << width) - 1u));
}

// Replaces bits hi..lo of a byte by the low bits of value; the other bits keep their state.
constexpr void SetBits(std::uint8_t& byte, int hi, int lo, int value) {
    const unsigned width = static_cast<unsigned>(hi - lo + 1);
    const unsigned mask = ((1u << width) - 1u) << lo;
    byte = static_cast<std::uint8_t>((byte & ~mask) | ((static_cast<unsigned>(value) << lo) & mask));
}

constexpr bool GetBit(std::uint8_t byte, int bit) { return ((byte >> bit) & 1u) != 0; }
constexpr void SetBit(std::uint8_t& byte, int bit, bool on) { SetBits(byte, bit, bit, on ? 1 : 0); }

constexpr int HighNibble(std::uint8_t byte) { return GetBits(byte, 7, 4); }
constexpr int LowNibble(std::uint8_t byte) { return GetBits(byte, 3, 0); }
constexpr void SetHighNibble(std::uint8_t& byte, int v) { SetBits(byte, 7, 4, v); }
constexpr void SetLowNibble(std::uint8_t& byte, int v) { SetBits(byte, 3, 0, v); }

constexpr std::uint16_t ReadBigEndian16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}
constexpr void WriteBigEndian16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v >> 8);
    p[1] = static_cast<std::uint8_t>(v & 0xFF);
}

// Keypad character -> 4-bit code: "0"-"9" 0-9, "A"-"D" 10-13, "*" 14, "#" 15; letters above "D" give 0.
int DigitNibble(char c);
// 4-bit code -> keypad character; anything outside 0-15 gives "-".
char NibbleChar(int value);

}  // namespace rt62
