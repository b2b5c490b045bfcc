// Which characters each kind of filtered edit field accepts.
#pragma once

namespace rt62 {

// Filter kinds of FilterEdit; any other value accepts every character.
enum FilterKindValue : unsigned {
    kFilterDecimal = 1,      // digits, "." and space
    kFilterSigned = 2,       // digits, space, "+" and "-"
    kFilterDtmf = 3,         // digits, A-D, "#" and "*"
    kFilterTag = 4,          // printable, without the characters a tag may not hold
    kFilterSignedDecimal = 5,// digits, space, "+", "-" and "."
    kFilterDigitsSpace = 6,  // digits and space
    kFilterHex = 7,          // digits and A-F
    kFilterDigits = 8,       // digits
    kFilterSerial = 9,       // a letter C-N at position 1, digits elsewhere
};

// True when a field of the given kind accepts ch typed with the selection starting at selectionStart.
// Letters are compared in upper case; codes above 0xFF are never accepted by kinds 1-9, because the
// radio's fields hold single-byte characters only.
bool FilterAccepts(unsigned kind, char32_t ch, int selectionStart);

}  // namespace rt62
