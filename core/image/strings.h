// The program's numbered string table: every message, status text and help line by its id.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rt62 {

// The text of entry id, or an empty view when the table has no such entry.
std::string_view StringText(int id);
bool HasString(int id);

// The entry with %1, %2, ... replaced by args (a missing arg leaves the marker as it is), and each
// %N{word|words} by the first word when arg N is "1", else the second: "%1 %1{row|rows} skipped".
std::string FormatString(int id, const std::vector<std::string>& args = {});
std::string FormatText(std::string_view text, const std::vector<std::string>& args);

}  // namespace rt62
