// The number-text replacements hold against the host's standard library, where it has the originals.
#include "core/image/std_compat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace rt62 {
namespace {

std::string Shortest(double v, bool useFallback) {
    char buf[400];
    const auto r = useFallback ? fallback::ToCharsShortest(buf, buf + sizeof buf, v)
                               : ToCharsShortest(buf, buf + sizeof buf, v);
    return r.ec == std::errc() ? std::string(buf, r.ptr) : "error";
}

std::string Fixed(double v, int precision, bool useFallback) {
    char buf[400];
    const auto r = useFallback ? fallback::ToCharsFixed(buf, buf + sizeof buf, v, precision)
                               : ToCharsFixed(buf, buf + sizeof buf, v, precision);
    return r.ec == std::errc() ? std::string(buf, r.ptr) : "error";
}

// Value, how far it was read, and the error, as one comparable text.
std::string Parsed(const std::string& text, bool useFallback) {
    double v = -1.25;
    const char* end = text.data() + text.size();
    const auto r = useFallback ? fallback::FromCharsFixed(text.data(), end, v) : FromCharsFixed(text.data(), end, v);
    return Shortest(v, true) + " @" + std::to_string(r.ptr - text.data()) + " e" + std::to_string(static_cast<int>(r.ec));
}

TEST(StdCompat, NumberTextMatchesTheStandardLibrary) {
    // The shortest form picks fixed or exponent by length; the split field and YAML floats use it.
    const std::vector<std::pair<double, const char*>> shortest = {
        {0.0, "0"},        {-0.0, "-0"},       {2.5, "2.5"},          {10.0, "10"},
        {1e5, "1e+05"},    {123456.0, "123456"}, {0.1, "0.1"},        {0.001, "0.001"},
        {0.00001, "1e-05"}, {1.0 / 3, "0.3333333333333333"},          {5e-324, "5e-324"},
        {1e23, "1e+23"},   {9007199254740993.0, "9007199254740992"},  {-146.52, "-146.52"},
        {std::numeric_limits<double>::max(), "1.7976931348623157e+308"},
        {std::numeric_limits<double>::infinity(), "inf"},             {-std::numeric_limits<double>::infinity(), "-inf"},
    };
    for (const auto& [v, want] : shortest) {
        SCOPED_TRACE(want);
        EXPECT_EQ(Shortest(v, true), want);
        EXPECT_EQ(Shortest(v, false), want);
    }
    EXPECT_EQ(Fixed(146.52, 5, true), "146.52000");
    EXPECT_EQ(Fixed(0.000005, 5, true), "0.00001"); // rounded as printf rounds the binary value
    EXPECT_EQ(Fixed(-2.5, 0, true), "-2");

    const std::vector<std::string> texts = {"146.52",  "-0.5", ".5",  "5.",    "",       "-",    "+1",  " 1",
                                            "1e5",     "0x10", "inf", "-Infinity", "nan", "nan(12)", "nan(",
                                            "1" + std::string(400, '0'), "0." + std::string(400, '0') + "1",
                                            "12.34.5", "."};
    for (const std::string& t : texts) {
        SCOPED_TRACE(t);
        EXPECT_EQ(Parsed(t, true), Parsed(t, false));
    }

#if defined(__cpp_lib_to_chars)
    // Random bit patterns cover every exponent; the host's library is the reference.
    std::mt19937_64 rng(62);
    for (int i = 0; i < 20000; ++i) {
        const double v = BitCast<double>(rng());
        if (std::isnan(v)) continue;
        ASSERT_EQ(Shortest(v, true), Shortest(v, false)) << i;
        const int precision = static_cast<int>(rng() % 8);
        ASSERT_EQ(Fixed(v, precision, true), Fixed(v, precision, false)) << i;
        const std::string text = Fixed(v, precision, false);
        ASSERT_EQ(Parsed(text, true), Parsed(text, false)) << text;
    }
    // Frequencies and splits as users type them: few digits, where a lopsided rounding interval bites.
    for (int i = 0; i < 20000; ++i) {
        const double v = std::ldexp(1.0, static_cast<int>(rng() % 200) - 100) * (1 + (rng() % 3) * 1e-16);
        ASSERT_EQ(Shortest(v, true), Shortest(v, false)) << i;
    }
#endif
}

} // namespace
} // namespace rt62
