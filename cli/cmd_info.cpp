// rt62m info FILE: a short summary of a data file for a human reader.
#include <cstdio>
#include <memory>

#include "cli/cli_document.h"
#include "cli/command.h"
#include "core/image/fields.h"
#include "core/image/frequency.h"

namespace rt62::cli {
namespace {

constexpr const char* kOptionDeviceNames[] = {"None", "ZNE-48", "Encryption Hilevel", "ANI", "KT-Trunk"};

int RunInfo(const std::string& path) {
    CliPrompter prompter;
    Session session(prompter);
    if (!OpenForCommand(session, path)) return kExitFailure;
    const CRT62MDoc& doc = session.Document();

    const ImageModel& m = doc.Model();
    const RadioImage& image = m.image;
    const BandStep& step = BandStepInfo(m.hardware.bandStepCode);
    int option = OptionDevicePosition(ReadOptionCode(image));
    std::uint16_t stored = ReadImageChecksum(image);
    std::uint16_t computed = ComputeImageChecksum(image);
    int inUse = 0;
    for (const ChannelEntry& e : m.channels.entries)
        inUse += e.inUse ? 1 : 0;

    std::printf("File:            %s\n", doc.CurrentPath().c_str());
    std::printf("Serial number:   %s\n", m.marketing.serialNumber.c_str());
    std::printf("Market app:      %s\n", m.marketing.marketApplication.c_str());
    std::printf("Firmware:        %s\n", FormatFirmwareVersion(ReadFirmwareVersion(image)).c_str());
    std::printf("Band:            %.*s (code %d)\n", static_cast<int>(step.bandText.size()),
                step.bandText.data(), m.hardware.bandStepCode);
    std::printf("Channel step:    %.*s\n", static_cast<int>(step.stepText.size()), step.stepText.data());
    std::printf("Option device:   %s\n", option >= 0 && option < 5 ? kOptionDeviceNames[option] : "???");
    std::printf("Channels in use: %d of 16\n", inUse);
    std::printf("Default split:   %.1f MHz\n", m.defaultSplit);
    std::printf("Checksum:        stored %04X, computed %04X (%s)\n", stored, computed,
                stored == computed ? "match" : "MISMATCH");
    return kExitOk;
}

CommandRun SetupInfo(CLI::App& app) {
    auto path = std::make_shared<std::string>();
    AddInputFile(app, *path);
    return [path] { return RunInfo(*path); };
}

} // namespace

RT62M_COMMAND("info", "a short summary: serial, band, step, firmware, option, checksum", 40, SetupInfo);

} // namespace rt62::cli
