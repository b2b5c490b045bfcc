// Any bytes as a data file: open, show (grid, info, report, dump), normalize, save, reopen.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

#include "core/image/cells.h"
#include "core/image/data_file.h"
#include "core/image/document.h"
#include "core/image/fields.h"
#include "core/image/frequency.h"
#include "core/image/layout.h"
#include "core/image/model.h"
#include "core/report/image_dump.h"
#include "core/report/programming_report.h"
#include "fuzz/support.h"

namespace rt62 {
namespace {

using fuzz::QuietPrompter;

// Everything a person can see of a document; only the sanitizers judge it.
std::size_t ShowEverything(const CRT62MDoc& doc) {
    const ImageModel& m = doc.Model();
    std::size_t seen = 0;
    for (int n = 0; n < kChannelCount; ++n) {
        for (int column = 0; column < kGridColumnCount; ++column)
            seen += ChannelCellText(m, n, column).size();
        for (int column : {kColReceive, kColTransmit})
            if (auto text = m.channels.FrequencyText(n, column)) seen += text->size();
    }
    // The info panel's values.
    const BandStep& step = BandStepInfo(m.hardware.bandStepCode);
    seen += m.marketing.serialNumber.size() + m.marketing.marketApplication.size() + step.bandText.size() +
            step.stepText.size() + FormatFirmwareVersion(ReadFirmwareVersion(m.image)).size();
    seen += static_cast<std::size_t>(OptionDevicePosition(ReadOptionCode(m.image)));
    const ProgrammingReport report(doc);
    for (const ReportLine& line : report.Lines())
        seen += line.text.size();
    for (const auto& row : ImageDumpCells(m.image, doc.TrailerBytes()))
        for (const std::string& cell : row)
            seen += cell.size();
    return seen;
}

// The transmit value of a channel decodes to the radio's "no transmit" mark: 50.0 or 300.0 MHz.
bool TransmitIsInhibitMark(const ImageModel& m, int n) {
    const ConstRecordView rec = Record(m.image, n);
    const DecodedTransmit tx = DecodeTransmit(ReadTxValue(rec), layout::kTxAltStep.Read(rec),
                                              m.hardware.bandStepCode, m.hardware.uhf != 0, 0.0);
    return tx.setsInhibit;
}

// A second normalization of a normalized image must leave it as it is, with one exception: a
// channel whose receive frequency is exactly 50.0 or 300.0 MHz copies that frequency into its
// transmit value when transmit is off band, and the next decode then reads the mark and sets TX
// inhibit. The other: a receive frequency that decodes to exactly 0 MHz (the oscillator equal to the
// First IF with the IF "Upper") is stored as 0x0000, the mark a frequency of 0 is written as, and a
// transmit value off band takes that 0 MHz too; the next decode reads 0x0000 as the empty channel's
// 150.0/450.0 MHz and stores that. Everything else that normalizing drops is dropped in the first pass
// already and stays dropped: bits no section owns, ANI while the ANI option is fitted, encryption without an
// encryption option, page numbers without the paging board, transmit values out of band; the
// checksum is stored from the same bytes both times.
void CheckSecondNormalizeChangesNothing(const ImageModel& once) {
    ImageModel twice = once;
    DecodeImage(twice);
    NormalizeImage(twice);
    for (int n = 0; n < kChannelCount; ++n) {
        const ConstRecordView a = Record(once.image, n);
        const ConstRecordView b = Record(twice.image, n);
        const bool newlyInhibited =
            !layout::kTxInhibit.Read(a) && layout::kTxInhibit.Read(b) && TransmitIsInhibitMark(once, n);
        const bool rxWasZero = ReadRxValue(a) == 0;
        const bool txWasZero = ReadTxValue(a) == 0;
        for (std::size_t i = 0; i < kRecordSize; ++i) {
            const bool inhibitBit = i == layout::kTxInhibit.offset;
            const bool rxByte = i == layout::kRxValue || i == layout::kRxValue + 1;
            const bool txByte = i == layout::kTxValue || i == layout::kTxValue + 1;
            if ((rxByte && rxWasZero) || (txByte && txWasZero)) continue;
            const std::uint8_t mask = inhibitBit && newlyInhibited ? 0x7F : 0xFF;
            if ((a[i] & mask) != (b[i] & mask))
                std::fprintf(stderr, "channel %d, record byte %zu: %02X then %02X\n", n + 1, i, a[i], b[i]);
            RT62_FUZZ_CHECK((a[i] & mask) == (b[i] & mask), "a second normalize changed a channel record");
        }
    }
    for (std::size_t i = 0; i < kImageSize; ++i) {
        const bool inRecords = i >= kFirstRecord && i < kFirstRecord + kRecordSize * kChannelCount;
        const bool checksum = i == layout::kChecksum || i == layout::kChecksum + 1;
        if (inRecords || checksum) continue;
        RT62_FUZZ_CHECK(once.image[i] == twice.image[i], "a second normalize changed the image");
    }
    RT62_FUZZ_CHECK(ReadImageChecksum(twice.image) == ComputeImageChecksum(twice.image), "checksum stored");
}

} // namespace
} // namespace rt62

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace rt62;
    const std::string& dir = fuzz::ScratchDir();
    const std::string input = dir + "/input.r62";
    const std::string saved = dir + "/saved.r62";
    if (WriteFileBytes(input, std::span<const std::uint8_t>(data, size)) != WriteStatus::Ok) return 0;

    fuzz::QuietPrompter prompter;
    CRT62MDoc doc(prompter);
    doc.Open(input);
    ShowEverything(doc);
    if (!doc.IsFileLoaded()) {
        // Only a file too short for the image is refused.
        RT62_FUZZ_CHECK(size < kImageSize, "a file with a whole image was refused");
        return 0;
    }
    RT62_FUZZ_CHECK(size >= kImageSize, "a file shorter than the image was taken");
    RT62_FUZZ_CHECK(std::equal(doc.Image().begin(), doc.Image().end(), data), "the image is the file's");

    // Save normalizes; the file written must be exactly the document, and read back the same.
    RT62_FUZZ_CHECK(doc.SaveAs(saved), "saving to a fresh file failed");
    const DataFileBytes expected = MakeDataFileBytes(doc.Image(), doc.TrailerBytes());
    const ReadOutcome back = ReadFileBytes(saved, kDataFileSize + 1);
    RT62_FUZZ_CHECK(back.status == ReadStatus::Ok && back.bytes.size() == kDataFileSize &&
                        std::equal(expected.begin(), expected.end(), back.bytes.begin()),
                    "the saved file holds the document's bytes");
    CheckSecondNormalizeChangesNothing(doc.Model());

    CRT62MDoc reopened(prompter);
    reopened.Open(saved);
    RT62_FUZZ_CHECK(reopened.IsFileLoaded(), "the saved file reopens");
    RT62_FUZZ_CHECK(reopened.Image() == doc.Image(), "the reopened image is the saved one");
    RT62_FUZZ_CHECK(reopened.TrailerBytes() == doc.TrailerBytes(),
                    "the reopened Default Split is the saved one");
    return 0;
}
