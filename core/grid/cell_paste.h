// A clipboard text parsed into one grid cell by that column's rule, and the channel copy it can start.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "core/grid/columns.h"
#include "core/image/model.h"

namespace rt62 {

// "Do you copy Ch%1 data to Ch %2?\n(Only visible columns)"
inline constexpr int kStrCopyChannelQuestion = 53;

// The fifteen column-item values; an item counts as visible only when its value is exactly 1.
using ColumnItemValues = std::array<int, kColumnItemCount>;

// Page code k (1-10) holds a code; two-tone pair k (1-6) is on. Both read the image.
bool PageCodeInUse(const RadioImage& image, int page);
bool TwoTonePairOn(const RadioImage& image, TwoToneFormat format, int pair);

// Copies the fields of the visible column items of channel `source` into `destination` (0-based),
// with the in-use flag unless the destination is channel 1. The channel type is never copied.
void CopyChannel(ImageModel& model, int source, int destination, const ColumnItemValues& items);

enum class PasteOutcome {
    Refused,       // entry unchanged; the caller beeps
    Stored,        // the cell's field changed
    CopyConfirmed, // column 0: the user said Yes and the channel was copied
    CopyDeclined,  // column 0: the user said No; still an accepted paste
};

struct PasteResult {
    PasteOutcome outcome = PasteOutcome::Refused;
    int sourceChannel = -1; // column 0: the 0-based channel named by the text
    bool accepted() const { return outcome != PasteOutcome::Refused; }
};

struct PasteContext {
    ColumnItemValues items{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    // Asked before a channel copy with the pasted text and the destination's channel-number cell
    // text; true for Yes.
    std::function<bool(const std::string& pasted, const std::string& destinationCell)> confirmCopy;
};

// Parses text into channel n (0-based), column 0-19.
PasteResult PasteIntoCell(ImageModel& model, int n, int column, const std::string& text,
                          const PasteContext& context);

} // namespace rt62
