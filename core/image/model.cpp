// The whole-image procedures: factory defaults, decoding into the long-lived sections, normalizing.
#include "core/image/model.h"

#include <algorithm>

#include "core/image/fields.h"
#include "core/image/frequency.h"
#include "core/image/layout.h"

namespace rt62 {

void LoadDefaults(ImageModel& model) {
    RadioImage& image = model.image;
    image.fill(0);
    model.trailer.Defaults(model.defaultSplit);
    model.hardware.Defaults();
    model.hardware.Encode(image);

    OptionSection option;
    option.Defaults();
    option.Encode(image);
    ScanSection scan;
    scan.Defaults();
    scan.Encode(image);

    model.twoToneFormat = TwoToneFormat::Standard;
    SignalingSection signaling;
    signaling.twoTone.Defaults();
    signaling.twoTone.Encode(image);
    signaling.ani.Defaults();
    signaling.ani.Encode(image);
    signaling.pageSettings.Defaults();
    signaling.pageSettings.Encode(image);
    signaling.pageCodes.Defaults();
    signaling.pageCodes.Encode(image);
    signaling.pairTable.Defaults();
    signaling.pairTable.Encode(image, model.twoToneFormat);

    KeySection keys;
    keys.Defaults();
    keys.Encode(image);
    CommonSection common;
    common.Defaults();
    common.Encode(image);

    model.marketing.Defaults();
    model.marketing.Encode(image);

    model.channels.Defaults();
    model.channels.Encode(image, model.hardware);
    for (int n = 0; n < kChannelCount; ++n) model.channels.EncodeChannel(n, image, model.hardware);
}

void DecodeImage(ImageModel& model) {
    model.trailer.Decode(model.image);
    model.hardware.Decode(model.image);
    model.channels.Decode(model.image, model.hardware);
    model.marketing.Decode(model.image);
}

void NormalizeImage(ImageModel& model) {
    RadioImage& image = model.image;
    OptionSection option;
    ScanSection scan;
    KeySection keys;
    CommonSection common;
    SignalingSection signaling;
    option.Decode(image);
    scan.Decode(image);
    keys.Decode(image);
    signaling.ani.Decode(image);
    signaling.pageSettings.Decode(image);
    signaling.pageCodes.Decode(image);
    signaling.twoTone.Decode(image, model.twoToneFormat);
    signaling.pairTable.Decode(image, model.twoToneFormat);
    common.Decode(image);

    // Everything the sections own is rebuilt; firmware, radio-owned bytes, market application and the
    // first serial byte stay as they are.
    std::fill(image.begin() + 0x02, image.begin() + 0xE8, std::uint8_t{0});
    std::fill(image.begin() + 0xF0, image.begin() + 0xF2, std::uint8_t{0});
    std::fill(image.begin() + 0xF9, image.begin() + 0xFE, std::uint8_t{0});

    option.Encode(image);
    model.hardware.Encode(image);
    model.channels.Encode(image, model.hardware);
    scan.Encode(image);
    keys.Encode(image);
    signaling.ani.Encode(image);
    signaling.pageSettings.Encode(image);
    signaling.pageCodes.Encode(image);
    signaling.twoTone.Encode(image);
    signaling.pairTable.Encode(image, model.twoToneFormat);
    common.Encode(image);
    model.marketing.Encode(image);

    StoreImageChecksum(image);
}

ImageModel MakeFactoryImage(int bandStepCode) {
    ImageModel model;
    LoadDefaults(model);
    const int code = bandStepCode & 3;
    const bool uhf = IsUhfCode(code);
    model.hardware.SetBand(uhf, model.defaultSplit);
    model.hardware.bandStepCode = code;
    model.channels.ResetForBand(uhf);
    NormalizeImage(model);
    return model;
}

bool EditCell(ImageModel& model, int n, int column, const CellUi& ui) {
    return model.channels.EditCell(n, column, model.image, ui);
}

bool SetFrequencyText(ImageModel& model, int n, int column, const std::string& text) {
    return model.channels.SetFrequencyText(n, column, text, model.hardware, model.defaultSplit);
}

}  // namespace rt62
