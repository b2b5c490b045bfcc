// What a document owns of the radio: the image, the Default Split, the long-lived sections, the tone format.
#pragma once

#include <optional>
#include <string>

#include "core/image/radio_image.h"
#include "core/image/sections.h"
#include "core/image/twotone.h"

namespace rt62 {

struct ImageModel {
    RadioImage image{};
    double defaultSplit = 0.0;
    TrailerSection trailer;
    MarketingSection marketing;
    HardwareSection hardware;
    ChannelTable channels;
    TwoToneFormat twoToneFormat = TwoToneFormat::Standard;
};

// Zero image, every section's factory values encoded; the checksum stays 0.
void LoadDefaults(ImageModel& model);
// Image -> long-lived sections (trailer, hardware, channels, marketing).
void DecodeImage(ImageModel& model);
// All sections -> image with every unowned bit cleared, then the checksum stored.
void NormalizeImage(ImageModel& model);
// A fresh factory image for a BandStepCode 0-3 (what the default data files hold).
ImageModel MakeFactoryImage(int bandStepCode);

// The channel-table operations bound to the model's image, hardware and Default Split.
bool EditCell(ImageModel& model, int n, int column, const CellUi& ui);
bool SetFrequencyText(ImageModel& model, int n, int column, const std::string& text);

}  // namespace rt62
