// The rules every typed or pasted text shares: white space, numbers and the edit fields' character kinds.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace rt62 {

// The text without the ASCII white space (blank, tab, line breaks, vertical tab, form feed) at its ends.
std::string_view Trim(std::string_view text);
std::string_view Trim(std::string&& text) = delete; // the view would outlive the string
inline std::string_view Trim(const char* text) { return Trim(std::string_view(text)); }

// The number a text starts with, as the edit fields, the grid and paste have always read one: leading
// white space skipped, an optional sign, digits (for a decimal with at most one point) up to the first
// other character; no number at all reads as 0. Locale-independent.
double ParseDecimal(std::string_view text);
// The same for a whole number; a huge one stops at the largest int rather than wrapping into a valid one.
int ReadWholeNumber(std::string_view text);
// The whole text, white space around it allowed, as a plain decimal number (sign, digits, at most one
// point, nothing else); nullopt for anything else or a number no double holds.
std::optional<double> StrictDecimal(std::string_view text);

// Filter kinds of the edit fields; any other value accepts every character.
enum FilterKindValue : unsigned {
    kFilterDecimal = 1,       // digits, "." and space (also the grid's frequency editor)
    kFilterSigned = 2,        // digits, space, "+" and "-"
    kFilterDtmf = 3,          // the keypad: digits, A-D, "#" and "*"
    kFilterTag = 4,           // printable, without the characters a tag may not hold
    kFilterSignedDecimal = 5, // digits, space, "+", "-" and "."
    kFilterDigitsSpace = 6,   // digits and space
    kFilterHex = 7,           // digits and A-F
    kFilterDigits = 8,        // digits
    kFilterSerial = 9,        // a letter C-N at position 1, digits elsewhere
};

// True when a field of the given kind accepts ch at position (the selection's start when typed).
// Letters are compared in upper case; codes above 0xFF are never accepted by kinds 1-9, because the
// radio's fields hold single-byte characters only.
bool FilterAccepts(unsigned kind, char32_t ch, int position);
// Every character of text, each at its own position.
bool FilterAcceptsAll(unsigned kind, std::string_view text);

} // namespace rt62
