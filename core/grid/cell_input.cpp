// The in-place frequency editor's rules.
#include "core/grid/cell_input.h"

#include "core/grid/columns.h"
#include "core/image/frequency.h"
#include "core/image/layout.h"
#include "core/image/text_rules.h"

namespace rt62 {

bool CellEditAccepts(char32_t c) {
    return FilterAccepts(kFilterDecimal, c, 0);
}

bool IsCellEditText(std::string_view text) {
    return text.size() <= static_cast<std::size_t>(kCellEditMaxChars) &&
           FilterAcceptsAll(kFilterDecimal, text);
}

std::optional<std::string> CellEditSeed(const ImageModel& model, int n, int column) {
    if (!IsFrequencyColumn(column) || n < 0 || n >= kChannelCount) return std::nullopt;
    const ChannelEntry& e = model.channels.at(n);
    if (!e.inUse) return std::nullopt;
    if (column == kColTransmit && e.txInhibit) return FormatFrequency(e.txFrequency);
    return ChannelCellText(model, n, column);
}

} // namespace rt62
