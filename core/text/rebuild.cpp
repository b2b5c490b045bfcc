// Field texts and raw bits -> data file, and back.
#include "core/text/rebuild.h"

#include <algorithm>

#include "core/image/fields.h"
#include "core/image/layout.h"
#include "core/image/strings.h"
#include "core/image/text_strings.h"

namespace rt62 {

namespace {

bool OwnsRaw(const CatalogueField& f, const RawBits& raw) {
    return std::any_of(f.owned.begin(), f.owned.end(),
                       [&](const OwnedBits& b) { return (raw.mask[b.offset] & b.mask) != 0; });
}

// Copies the field's raw bits into bytes.
void ApplyFieldBits(DataFileBytes& bytes, const CatalogueField& f, const RawBits& raw) {
    for (const OwnedBits& b : f.owned) {
        const std::uint8_t m = raw.mask[b.offset] & b.mask;
        bytes[b.offset] = static_cast<std::uint8_t>((bytes[b.offset] & ~m) | (raw.value[b.offset] & m));
    }
}

void CopyFieldBits(DataFileBytes& to, const DataFileBytes& from, const CatalogueField& f) {
    for (const OwnedBits& b : f.owned)
        to[b.offset] = static_cast<std::uint8_t>((to[b.offset] & ~b.mask) | (from[b.offset] & b.mask));
}

// Raw bits of a radio-wide field into a model whose long-lived sections hold edits not yet encoded.
void ApplySettingBits(ImageModel& m, const CatalogueField& f, const RawBits& raw) {
    m.hardware.Encode(m.image);
    m.marketing.Encode(m.image);
    DataFileBytes bytes = DataFileOfModel(m);
    ApplyFieldBits(bytes, f, raw);
    const ImageModel decoded = ModelFromDataFile(bytes, m.twoToneFormat);
    m.image = decoded.image;
    m.defaultSplit = decoded.defaultSplit;
    m.hardware.Decode(m.image);
    m.marketing.Decode(m.image);
}

TextProblem Problem(const FieldText& t, const FieldRefusal& r) {
    std::vector<std::string> args{t.field->Path(), t.text};
    args.insert(args.end(), r.args.begin(), r.args.end());
    return {t.line, t.column, FormatString(r.stringId, args)};
}

bool SameText(const std::string& a, const std::string& b) {
    return ComparableText(a) == ComparableText(b);
}

std::size_t CatalogueIndex(const CatalogueField* f) {
    return static_cast<std::size_t>(f - FieldCatalogue().data());
}

} // namespace

void RawBits::Set(std::size_t offset, std::uint8_t bits, std::uint8_t bitMask) {
    value[offset] = static_cast<std::uint8_t>((value[offset] & ~bitMask) | (bits & bitMask));
    mask[offset] |= bitMask;
}

bool RawBits::Empty() const {
    return !checksum && std::all_of(mask.begin(), mask.end(), [](std::uint8_t m) { return m == 0; });
}

std::string TextProblem::Text() const {
    if (line <= 0) return message;
    return FormatString(kStrProblemAt, {std::to_string(line), std::to_string(column), message});
}

DataFileBytes FactoryDataFile(int bandStepCode) {
    return DataFileOfModel(MakeFactoryImage(bandStepCode));
}

RebuildResult RebuildDataFile(const std::vector<FieldText>& texts, const RawBits& raw,
                              const DataFileBytes& base, TwoToneFormat baseFormat) {
    RebuildResult out;
    std::vector<const FieldText*> ordered;
    for (const FieldText& t : texts)
        if (t.field) ordered.push_back(&t);
    std::stable_sort(ordered.begin(), ordered.end(), [](const FieldText* a, const FieldText* b) {
        return CatalogueIndex(a->field) < CatalogueIndex(b->field);
    });

    ImageModel m = ModelFromDataFile(base, baseFormat);
    std::vector<const FieldText*> keptSettings; // radio-wide fields that take their raw bits
    struct Candidate {
        const FieldText* text;
        std::optional<FieldRefusal> refusal;
        bool kept = true;
    };
    std::vector<Candidate> channelRaw;

    for (const FieldText* t : ordered) {
        const CatalogueField& f = *t->field;
        const bool hasRaw = OwnsRaw(f, raw);
        if (f.channel < 0 && hasRaw) {
            // Settings decide at once: later fields (the channels above all) depend on them.
            ImageModel trial = m;
            ApplySettingBits(trial, f, raw);
            if (SameText(f.read(trial), t->text)) {
                m = std::move(trial);
                keptSettings.push_back(t);
                continue;
            }
        }
        FieldWriteResult refused = f.write(m, t->text);
        if (refused) out.refused.push_back(&f);
        if (f.channel >= 0 && hasRaw)
            channelRaw.push_back({t, refused});
        else if (refused)
            out.problems.push_back(Problem(*t, *refused));
    }

    NormalizeImage(m);
    out.format = m.twoToneFormat;
    const DataFileBytes normalized = DataFileOfModel(m);
    DataFileBytes bytes = normalized;
    const DataFileMask& unowned = UnownedBits();
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const std::uint8_t mk = raw.mask[i] & unowned[i];
        bytes[i] = static_cast<std::uint8_t>((bytes[i] & ~mk) | (raw.value[i] & mk));
    }
    for (const FieldText* t : keptSettings)
        ApplyFieldBits(bytes, *t->field, raw);
    for (const Candidate& c : channelRaw)
        ApplyFieldBits(bytes, *c.text->field, raw);

    // A channel field takes its raw bits only while they still read as its text; the transmit text
    // depends on the receive one, so the check repeats until nothing more is dropped.
    for (bool dropped = true; dropped;) {
        dropped = false;
        const ImageModel check = ModelFromDataFile(bytes, m.twoToneFormat);
        for (Candidate& c : channelRaw) {
            if (!c.kept || SameText(c.text->field->read(check), c.text->text)) continue;
            c.kept = false;
            dropped = true;
            CopyFieldBits(bytes, normalized, *c.text->field);
        }
    }
    for (const Candidate& c : channelRaw)
        if (!c.kept && c.refusal) out.problems.push_back(Problem(*c.text, *c.refusal));

    RadioImage image{};
    std::copy(bytes.begin(), bytes.begin() + kImageSize, image.begin());
    StoreImageChecksum(image);
    if (raw.checksum && ComputeImageChecksum(image) == raw.checksum->sum)
        WriteBigEndian16(&image[layout::kChecksum], raw.checksum->stored);
    std::copy(image.begin(), image.end(), bytes.begin());
    out.bytes = bytes;
    return out;
}

FileTexts TextsOfDataFile(const DataFileBytes& file, TwoToneFormat format) {
    FileTexts out;
    const ImageModel model = ModelFromDataFile(file, format);
    for (const CatalogueField& f : FieldCatalogue())
        out.fields.push_back({&f, f.read(model), 0, 0});

    // Bits no field owns travel as they are; the radio-owned bytes always, since a rebuild keeps them
    // from whatever base it starts on.
    const DataFileMask& unowned = UnownedBits();
    const auto radioOwned = [](std::size_t i) {
        return (i >= layout::kRadioOwnedFirst && i <= layout::kRadioOwnedLast) ||
               (i >= layout::kRadioOwnedSecondFirst && i <= layout::kRadioOwnedSecondLast);
    };
    for (std::size_t i = 0; i < file.size(); ++i)
        if (unowned[i] && ((file[i] & unowned[i]) != 0 || radioOwned(i))) out.raw.Set(i, file[i], unowned[i]);
    RadioImage image{};
    std::copy(file.begin(), file.begin() + kImageSize, image.begin());
    if (ReadImageChecksum(image) != ComputeImageChecksum(image))
        out.raw.checksum = RawBits::Checksum{ReadImageChecksum(image), ComputeImageChecksum(image)};

    // A field whose text does not rebuild its bits (a value without a text, a value its dialog would not
    // store, a frequency between steps) carries its bits as raw. Fields depend on each other (option
    // board, band), so the search repeats until the file comes back, from either base.
    const ImageModel factoryModel = MakeFactoryImage(model.hardware.bandStepCode);
    const DataFileBytes bases[] = {DataFileOfModel(factoryModel), file};
    for (int round = 0; round < 8; ++round) {
        bool added = false;
        for (const DataFileBytes& base : bases) {
            const RebuildResult r = RebuildDataFile(out.fields, out.raw, base);
            for (const CatalogueField& f : FieldCatalogue()) {
                const bool refused = std::find(r.refused.begin(), r.refused.end(), &f) != r.refused.end();
                bool differs = false;
                for (const OwnedBits& b : f.owned)
                    differs = differs || ((r.bytes[b.offset] ^ file[b.offset]) & b.mask);
                bool complete = true;
                for (const OwnedBits& b : f.owned)
                    complete = complete && (out.raw.mask[b.offset] & b.mask) == b.mask;
                if ((refused || differs) && !complete) {
                    for (const OwnedBits& b : f.owned)
                        out.raw.Set(b.offset, file[b.offset], b.mask);
                    added = true;
                }
            }
            for (std::size_t i = 0; i < file.size(); ++i) {
                const std::uint8_t d = (r.bytes[i] ^ file[i]) & unowned[i];
                if (d && (out.raw.mask[i] & d) != d) {
                    out.raw.Set(i, file[i], unowned[i]);
                    added = true;
                }
            }
        }
        if (!added) break;
    }
    return out;
}

} // namespace rt62
