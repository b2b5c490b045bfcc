// Keypad digit coding shared by the DTMF code, page codes, market application and serial number.
#include "core/image/bits.h"

namespace rt62 {

int DigitNibble(char c) {
    if (c == '*') return 14;
    if (c == '#') return 15;
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c <= '9') return (c - '0') & 0x0F;  // the radio keeps 4 bits only
    if (c >= 'A' && c <= 'D') return c - 'A' + 10;
    return 0;
}

char NibbleChar(int value) {
    static constexpr char kChars[] = "0123456789ABCD*#";
    if (value < 0 || value > 15) return '-';
    return kChars[value];
}

}  // namespace rt62
