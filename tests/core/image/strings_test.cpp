#include "image/strings.h"

#include <gtest/gtest.h>

namespace rt62 {
namespace {

TEST(StringTable, FillsNumberedMarkersAndKeepsUnknownOnes) {
    EXPECT_EQ(FormatString(32, {"C:\\a.R62"}), "Problem opening file\r\nFile Name = C:\\a.R62");
    EXPECT_EQ(FormatText("%1 and %2", {"x"}), "x and %2");
    EXPECT_EQ(FormatText("100%", {"x"}), "100%");
    EXPECT_TRUE(StringText(999999).empty());
    EXPECT_FALSE(HasString(999999));
}

}  // namespace
}  // namespace rt62
