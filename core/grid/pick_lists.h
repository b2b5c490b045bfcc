// The grid's pick lists: squelch level, page code and two-tone pair, CTCSS tone and DCS code; their items,
// the item selected for a stored value and the value a chosen item stands for.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/image/model.h"

namespace rt62 {

// Modes of the value list: the grid column it serves.
inline constexpr int kValueModeSquelch = 13;
inline constexpr int kValueModePage = 16;
inline constexpr int kValueModePair = 18;

// The DCS list gains code "224" (index 106) from this firmware version on, sorted in at position 36.
inline constexpr int kFirmwareWithDcs224 = 208;
inline constexpr int kDcs224Position = 36;

struct PickList {
    std::vector<std::string> items;
    int selected = -1; // -1: nothing selected
};

using PagesInUse = std::array<bool, 10>; // page codes 1-10 that hold a code
using PairsOn = std::array<bool, 6>;     // two-tone pairs 1-6 that are on
PagesInUse PagesInUseOf(const ImageModel& model);
PairsOn PairsOnOf(const ImageModel& model);

std::string ValueListTitle(int mode);
PickList ValueListItems(int mode, int current, const PagesInUse& pages, const PairsOn& pairs);
// The value OK returns for a list position (-1 when nothing is selected gives 0).
int ValueOfListPosition(int mode, const std::vector<std::string>& items, int position);

std::string ToneListTitle(bool dcs);
PickList ToneListItems(bool dcs, int firmwareVersion, int currentIndex);
// Tone-list index <-> list position; -1 where the list has no such entry.
int TonePositionOfIndex(bool dcs, int firmwareVersion, int index);
int ToneIndexOfPosition(bool dcs, int firmwareVersion, int position);

} // namespace rt62
