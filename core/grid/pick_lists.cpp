// Pick-list items and the values they stand for.
#include "core/grid/pick_lists.h"

#include <cstdio>

#include "core/grid/cell_paste.h"
#include "core/image/text_rules.h"
#include "core/image/tones.h"

namespace rt62 {

namespace {

constexpr int kHighestSquelchItem = 12;

std::string Decimal(int v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%d", v);
    return buf;
}

// How many DCS codes the radio's firmware knows: without "224" before 2.08.
int DcsListSize(int firmwareVersion) {
    return firmwareVersion >= kFirmwareWithDcs224 ? kDcsCount : kDcsCount - 1;
}

} // namespace

PagesInUse PagesInUseOf(const ImageModel& model) {
    PagesInUse pages{};
    for (int k = 1; k <= static_cast<int>(pages.size()); ++k)
        pages[static_cast<std::size_t>(k - 1)] = PageCodeInUse(model.image, k);
    return pages;
}

PairsOn PairsOnOf(const ImageModel& model) {
    PairsOn pairs{};
    for (int k = 1; k <= static_cast<int>(pairs.size()); ++k)
        pairs[static_cast<std::size_t>(k - 1)] = TwoTonePairOn(model.image, model.twoToneFormat, k);
    return pairs;
}

std::string ValueListTitle(int mode) {
    switch (mode) {
    case kValueModeSquelch:
        return "Squelch Level";
    case kValueModePage:
        return "Paging Code";
    case kValueModePair:
        return "Primary Pair Position";
    default:
        return {};
    }
}

PickList ValueListItems(int mode, int current, const PagesInUse& pages, const PairsOn& pairs) {
    PickList list;
    if (mode == kValueModeSquelch) {
        for (int level = 0; level <= kHighestSquelchItem; ++level)
            list.items.push_back(Decimal(level));
        if (current >= 0 && current <= kHighestSquelchItem) list.selected = current;
        return list;
    }
    if (mode != kValueModePage && mode != kValueModePair) return list;

    // A number whose code or pair is empty selects the nearest lower item in use, or "Off".
    list.items.push_back("Off");
    if (current == 0) list.selected = 0;
    const int count =
        mode == kValueModePage ? static_cast<int>(pages.size()) : static_cast<int>(pairs.size());
    for (int k = 1; k <= count; ++k) {
        const bool used = mode == kValueModePage ? pages[static_cast<std::size_t>(k - 1)]
                                                 : pairs[static_cast<std::size_t>(k - 1)];
        if (used) list.items.push_back(mode == kValueModePage ? Decimal(k) : "Pair #" + Decimal(k));
        if (k == current) list.selected = static_cast<int>(list.items.size()) - 1;
    }
    return list;
}

int ValueOfListPosition(int mode, const std::vector<std::string>& items, int position) {
    if (position < 0 || position >= static_cast<int>(items.size())) position = 0;
    if (mode == kValueModeSquelch) return position;
    if (position == 0) return 0;
    const std::string& text = items[static_cast<std::size_t>(position)];
    // "Pair #3": the number is the two characters from the seventh on.
    if (mode == kValueModePair) return text.size() > 6 ? ReadWholeNumber(text.substr(6, 2)) : 0;
    return ReadWholeNumber(text);
}

std::string ToneListTitle(bool dcs) {
    return dcs ? "DCS Frequency" : "CTCSS Frequency";
}

int TonePositionOfIndex(bool dcs, int firmwareVersion, int index) {
    if (!dcs) return index >= 0 && index < kCtcssCount ? index : -1;
    if (index < 0 || index >= kDcsCount) return -1;
    if (firmwareVersion < kFirmwareWithDcs224) return index < DcsListSize(firmwareVersion) ? index : -1;
    if (index == kDcsCount - 1) return kDcs224Position;
    return index < kDcs224Position ? index : index + 1;
}

int ToneIndexOfPosition(bool dcs, int firmwareVersion, int position) {
    if (!dcs) return position >= 0 && position < kCtcssCount ? position : -1;
    if (position < 0 || position >= DcsListSize(firmwareVersion)) return -1;
    if (firmwareVersion < kFirmwareWithDcs224 || position < kDcs224Position) return position;
    return position == kDcs224Position ? kDcsCount - 1 : position - 1;
}

PickList ToneListItems(bool dcs, int firmwareVersion, int currentIndex) {
    PickList list;
    const int size = dcs ? DcsListSize(firmwareVersion) : kCtcssCount;
    for (int p = 0; p < size; ++p) {
        const int index = ToneIndexOfPosition(dcs, firmwareVersion, p);
        list.items.emplace_back(dcs ? DcsText(index) : CtcssText(index));
    }
    list.selected = TonePositionOfIndex(dcs, firmwareVersion, currentIndex);
    return list;
}

} // namespace rt62
