// A channel's values as the grid's cells show them: "146.52000", "C- 67.0", "v", " 3".
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "core/image/model.h"
#include "core/image/sections.h"

namespace rt62 {

inline constexpr int kGridColumnCount = kColumnCount;

// Cell text of column 0-19 for channel n (0-based); the image supplies the paging option bit.
std::string ChannelCellText(const ChannelEntry& entry, int n, int column, const RadioImage& image);
std::string ChannelCellText(const ImageModel& model, int n, int column);

// A list's text for a stored value, "???" when the list has no such entry.
std::string_view ListText(std::span<const std::string_view> list, int value);

}  // namespace rt62
