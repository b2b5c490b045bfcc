// Field-level diff of two data files.
#include "core/text/field_diff.h"

#include <algorithm>
#include <cstdio>

#include "core/image/fields.h"
#include "core/image/layout.h"
#include "core/image/strings.h"
#include "core/image/text_strings.h"

namespace rt62 {

namespace {

std::string Hex2(unsigned v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02x", v & 0xFF);
    return buf;
}

// The bytes a field owns, masked, for telling apart values that read alike ("C-???").
std::string OwnedHex(const DataFileBytes& bytes, const CatalogueField& f) {
    // Appended piece by piece: a prefix added to a temporary makes the cross compiler warn.
    std::string out = "[";
    for (const OwnedBits& b : f.owned) {
        if (out.size() > 1) out += ' ';
        out += Hex2(bytes[b.offset] & b.mask);
    }
    out += ']';
    return out;
}

// Bytes a Download takes from the radio rather than from the file.
bool TakenFromRadio(std::size_t offset) {
    return (offset >= layout::kRadioOwnedFirst && offset <= layout::kRadioOwnedLast) ||
           (offset >= layout::kMarketApplication && offset <= layout::kSerialNumber + 3) ||
           offset >= kImageSize;
}

bool FieldTakenFromRadio(const CatalogueField& f) {
    return !f.owned.empty() && std::all_of(f.owned.begin(), f.owned.end(),
                                           [](const OwnedBits& b) { return TakenFromRadio(b.offset); });
}

} // namespace

bool DiffReport::Differs() const {
    return std::any_of(lines.begin(), lines.end(), [](const DiffLine& l) { return l.counts; });
}

DiffReport DiffDataFiles(const DataFileBytes& a, const DataFileBytes& b, DiffMode mode,
                         TwoToneFormat format) {
    DiffReport out;
    const bool radio = mode == DiffMode::RadioAgainstFile;
    const auto add = [&](std::string text, bool takenFromRadio) {
        if (radio && takenFromRadio)
            out.lines.push_back({FormatString(kStrDiffRadioOwned, {text}), false});
        else
            out.lines.push_back({std::move(text), true});
    };
    const ImageModel ma = ModelFromDataFile(a, format);
    const ImageModel mb = ModelFromDataFile(b, format);
    for (const CatalogueField& f : FieldCatalogue()) {
        std::string ta = f.read(ma);
        std::string tb = f.read(mb);
        const bool bitsDiffer = std::any_of(f.owned.begin(), f.owned.end(), [&](const OwnedBits& o) {
            return ((a[o.offset] ^ b[o.offset]) & o.mask) != 0;
        });
        if (ta == tb && !bitsDiffer) continue;
        if (ta == tb) {
            ta.append(1, ' ').append(OwnedHex(a, f));
            tb.append(1, ' ').append(OwnedHex(b, f));
        }
        add(FormatString(kStrDiffField, {f.Path(), ta, tb}), FieldTakenFromRadio(f));
    }
    const DataFileMask& unowned = UnownedBits();
    bool summedRadioBytesDiffer = false;
    for (std::size_t i = 0; i < kDataFileSize; ++i) {
        if (((a[i] ^ b[i]) & unowned[i]) == 0) continue;
        char offset[8];
        std::snprintf(offset, sizeof offset, "0x%02zx", i);
        add(FormatString(kStrDiffRaw, {offset, Hex2(a[i]), Hex2(b[i])}), TakenFromRadio(i));
        if (i >= layout::kRadioOwnedFirst && i <= layout::kRadioOwnedLast) summedRadioBytesDiffer = true;
    }
    const std::size_t c = layout::kChecksum;
    if (a[c] != b[c] || a[c + 1] != b[c + 1]) {
        // The radio's sum follows the radio-owned bytes it keeps; only then is a different sum expected.
        add(FormatString(kStrDiffChecksum, {Hex2(a[c]) + Hex2(a[c + 1]), Hex2(b[c]) + Hex2(b[c + 1])}),
            summedRadioBytesDiffer);
    }
    return out;
}

} // namespace rt62
