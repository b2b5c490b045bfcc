// Number text and bit casts for standard libraries that lack them (the browser build's libc++ 13).
#pragma once

#include <charconv>
#include <cstring>
#include <type_traits>
#if __has_include(<version>)
#include <version>
#endif
#if defined(__cpp_lib_bit_cast)
#include <bit>
#endif

namespace rt62 {

template <class To, class From> To BitCast(const From& from) {
    static_assert(sizeof(To) == sizeof(From) && std::is_trivially_copyable_v<From>);
#if defined(__cpp_lib_bit_cast)
    return std::bit_cast<To>(from);
#else
    return __builtin_bit_cast(To, from);
#endif
}

// The replacements, built everywhere so that the tests can hold them against the host's library.
namespace fallback {
// std::to_chars(first, last, value): the shortest text that reads back as value, fixed or exponent
// form, whichever is shorter (fixed on a tie).
std::to_chars_result ToCharsShortest(char* first, char* last, double value);
// std::to_chars(first, last, value, std::chars_format::fixed, precision).
std::to_chars_result ToCharsFixed(char* first, char* last, double value, int precision);
// std::from_chars(first, last, value, std::chars_format::fixed).
std::from_chars_result FromCharsFixed(const char* first, const char* last, double& value);
} // namespace fallback

inline std::to_chars_result ToCharsShortest(char* first, char* last, double value) {
#if defined(__cpp_lib_to_chars)
    return std::to_chars(first, last, value);
#else
    return fallback::ToCharsShortest(first, last, value);
#endif
}

inline std::to_chars_result ToCharsFixed(char* first, char* last, double value, int precision) {
#if defined(__cpp_lib_to_chars)
    return std::to_chars(first, last, value, std::chars_format::fixed, precision);
#else
    return fallback::ToCharsFixed(first, last, value, precision);
#endif
}

inline std::from_chars_result FromCharsFixed(const char* first, const char* last, double& value) {
#if defined(__cpp_lib_to_chars)
    return std::from_chars(first, last, value, std::chars_format::fixed);
#else
    return fallback::FromCharsFixed(first, last, value);
#endif
}

} // namespace rt62
