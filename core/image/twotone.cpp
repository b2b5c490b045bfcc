// The two-tone paging table and the pair table codec.
#include "core/image/twotone.h"

#include <array>

#include "core/image/fields.h"

namespace rt62 {

namespace {

// Texts by tone code; "" marks the entries of groups 2 and 3 that have no tone.
constexpr std::array<std::string_view, kTwoToneToneCount> kTones{
    // group 1, codes 0-83
    " 1- 330.5", " 1- 349.0", " 1- 368.5", " 1- 389.0", " 1- 410.8", " 1- 433.7", " 1- 457.9", " 1- 483.5",
    " 1- 510.5", " 1- 539.0", " 2- 569.1", " 2- 600.9", " 2- 634.5", " 2- 669.9", " 2- 707.3", " 2- 746.8",
    " 2- 788.5", " 2- 832.5", " 2- 879.0", " 2- 928.1", " 3- 288.5", " 3- 296.5", " 3- 304.7", " 3- 313.0",
    " 3- 953.7", " 3- 979.9", " 3-1006.9", " 3-1034.7", " 3-1063.2", " 3-1092.4", "  NONE   ", "  NONE   ",
    " 4- 321.7", " 4- 339.6", " 4- 358.6", " 4- 378.6", " 4- 399.8", " 4- 422.1", " 4- 445.7", " 4- 470.5",
    " 4- 496.8", " 4- 524.6", " 5- 553.9", " 5- 584.8", " 5- 617.4", " 5- 651.9", " 5- 688.3", " 5- 726.8",
    " 5- 767.4", " 5- 810.2", " 5- 855.5", " 5- 903.2", " 6-1122.5", " 6-1153.4", " 6-1185.2", " 6-1217.8",
    " 6-1251.4", " 6-1285.8", " 6-1321.2", " 6-1357.6", " 6-1395.0", " 6-1433.4", "  NONE   ", "  NONE   ",
    "10-1472.9", "10-1513.5", "10-1555.2", "10-1598.0", "10-1642.0", "10-1687.2", "10-1733.7", "10-1781.5",
    "10-1830.5", "10-1881.0", "11-1930.2", "11-1989.0", "11-2043.8", "11-2094.5", "11-2155.6", "11-2212.2",
    "11-2271.7", "11-2334.6", "11-2401.0", "11-2468.2",
    // group 2, codes 84-130 (31 tones, 16 empty)
    " A- 682.5", " A- 592.5", " A- 757.5", " A- 802.5", " A- 847.5", " A- 892.5", " A- 937.5", " A- 547.5",
    " A- 727.5", " A- 637.5", " B- 652.5", " B- 607.5", " B- 787.5", " B- 832.5", " B- 877.5", " B- 922.5",
    " B- 967.5", " B- 517.5", " B- 562.5", " B- 697.5", " C- 667.5", " C- 712.5", " C- 772.5", " C- 817.5",
    " C- 862.5", " C- 907.5", " C- 952.5", " C- 532.5", " C- 577.5", " C- 622.5", "DIA 742.5",
    "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "",
    // group 3, codes 131-189 (56 tones, 3 empty)
    "    282.2", "    294.7", "    307.8", "    321.4", "    335.6", "    350.5", "    366.0", "    382.3",
    "    399.2", "    416.9", "    435.3", "    454.6", "    474.8", "    495.8", "    517.8", "    540.7",
    "    564.7", "    589.7", "    615.8", "    643.0", "    672.0", "    701.0", "    732.0", "    765.0",
    "    799.0", "    834.0", "    871.0", "    910.0", "    950.0", "    992.0", "   1036.0", "   1082.0",
    "   1130.0", "   1180.0", "   1232.0", "   1287.0", "   1344.0", "   1403.0", "   1465.0", "   1530.0",
    "   1598.0", "   1669.0", "   1743.0", "   1820.0", "   1901.0", "   1985.0", "   2073.0", "   2164.0",
    "   2260.0", "   2361.0", "   2465.0", "   2575.0", "   2688.0", "   2807.0", "   2932.0", "   3062.0",
    "", "", "",
    // group 4, codes 190-239
    " A-2704.0", " A-2612.0", " A-2523.0", " A-2437.0", " A-2354.0", " A-2274.0", " A-2196.0", " A-2121.0",
    " A-2049.0", " A-1980.0", " B-1912.0", " B-1847.0", " B-1784.0", " B-1723.0", " B-1664.0", " B-1606.0",
    " B-1553.0", " B-1500.0", " B-1449.0", " B-1400.0", " C-1608.0", " C-1553.0", " C-1500.0", " C-1449.0",
    " C-1400.0", " C-1352.0", " C-1306.0", " C-1261.0", " C-1219.0", " C-1177.0", " D-1137.0", " D-1093.0",
    " D-1061.0", " D-1025.0", " D- 990.0", " D- 956.0", " D- 923.0", " D- 892.0", " D- 862.0", " D- 832.0",
    " E- 804.0", " E- 776.0", " E- 750.0", " E- 725.0", " E- 700.0", " E- 676.0", " E- 653.0", " E- 631.0",
    " E- 609.0", " E- 588.0"};

constexpr std::array<TwoToneGroup, kTwoToneGroupCount> kGroups{{
    {"MOTOROLA  ", 0, 84, 84},
    {"GE/99 GRP ", 84, 47, 31},
    {"PLECTRON  ", 131, 59, 56},
    {"REACH GRP ", 190, 50, 50},
}};

constexpr std::array<std::string_view, 6> kGroupTexts{"   OFF    ", "MOTOROLA  ", "GE/99 GRP ",
                                                      "PLECTRON  ", "REACH GRP ", "  Custom  "};

// Custom list segments: first position of each group's texts and the code offset from the position.
constexpr std::array<int, 5> kSegmentStart{0, 84, 115, 171, kCustomListSize};
constexpr std::array<int, 4> kSegmentOffset{0, 0, 16, 19};

}  // namespace

const TwoToneGroup& TwoToneGroupInfo(int group) {
    if (group < 1 || group > kTwoToneGroupCount) group = 1;
    return kGroups[static_cast<std::size_t>(group - 1)];
}

std::string_view TwoToneGroupText(int group) {
    if (group < 0 || group >= static_cast<int>(kGroupTexts.size())) return "???";
    return kGroupTexts[static_cast<std::size_t>(group)];
}

int TwoToneGroupOfCode(int code) {
    if (code < 0 || code >= 255) return 0;
    for (int j = kTwoToneGroupCount; j >= 1; --j)
        if (code >= kGroups[static_cast<std::size_t>(j - 1)].base) return j;
    return 0;
}

bool TwoToneCodeHasText(int code) {
    return code >= 0 && code < kTwoToneToneCount && !kTones[static_cast<std::size_t>(code)].empty();
}

std::string TwoToneCodeText(int code) {
    if (!TwoToneCodeHasText(code)) return std::string(kUnknownTwoToneText);
    return std::string(kTones[static_cast<std::size_t>(code)]);
}

std::string TwoToneIndexText(int group, int index) {
    if (group < 1 || group > kTwoToneGroupCount || index < 0) return std::string(kUnknownTwoToneText);
    const TwoToneGroup& g = TwoToneGroupInfo(group);
    if (index >= g.count) return std::string(kUnknownTwoToneText);
    return TwoToneCodeText(g.base + index);
}

int CustomPositionToCode(int position) {
    if (position < 0 || position >= kCustomListSize) return -1;
    std::size_t j = 0;
    while (position >= kSegmentStart[j + 1]) ++j;
    return position + kSegmentOffset[j];
}

int CodeToCustomPosition(int code) {
    if (!TwoToneCodeHasText(code)) return -1;
    const int j = TwoToneGroupOfCode(code);
    return code - kSegmentOffset[static_cast<std::size_t>(j - 1)];
}

PairEntries DecodePairs(const RadioImage& image, TwoToneFormat& format) {
    PairEntries pairs{};
    for (int k = 1; k <= 6; ++k) {
        PairEntry& p = pairs[static_cast<std::size_t>(k - 1)];
        const PairBytes b = ReadPairBytes(image, k);
        if (b.first == 0xFF) continue;  // off, whatever the second byte holds
        if (format == TwoToneFormat::Custom) {
            p = {kCustomGroup, b.first, b.second};
            continue;
        }
        const int j1 = TwoToneGroupOfCode(b.first);
        const int j2 = TwoToneGroupOfCode(b.second);
        if (j1 == j2) {
            const int base = TwoToneGroupInfo(j1).base;
            p = {j1, b.first - base, b.second - base};
            continue;
        }
        // A pair mixing groups can only be custom: convert what was read so far back into codes.
        format = TwoToneFormat::Custom;
        for (int e = 0; e < k - 1; ++e) {
            PairEntry& q = pairs[static_cast<std::size_t>(e)];
            if (q.group >= 1 && q.group <= kTwoToneGroupCount) {
                const int base = TwoToneGroupInfo(q.group).base;
                q = {kCustomGroup, q.first + base, q.second + base};
            }
        }
        p = {kCustomGroup, b.first, b.second};
    }
    return pairs;
}

void EncodePairs(RadioImage& image, const PairEntries& pairs, TwoToneFormat format) {
    (void)format;  // the entry's group already says how its values are kept
    for (int k = 1; k <= 6; ++k) {
        const PairEntry& p = pairs[static_cast<std::size_t>(k - 1)];
        PairBytes b;
        if (p.group >= 1 && p.group <= kTwoToneGroupCount) {
            const int base = TwoToneGroupInfo(p.group).base;
            b = {static_cast<std::uint8_t>((base + p.first) & 0xFF), static_cast<std::uint8_t>((base + p.second) & 0xFF)};
        } else if (p.group == kCustomGroup) {
            b = {static_cast<std::uint8_t>(p.first & 0xFF), static_cast<std::uint8_t>(p.second & 0xFF)};
        }
        WritePairBytes(image, k, b);
    }
}

}  // namespace rt62
