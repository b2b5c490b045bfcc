// Section objects: each decodes one area of the image into plain values and encodes them back.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/image/radio_image.h"
#include "core/image/twotone.h"

namespace rt62 {

// Holds nothing in the image; its defaults reset the Default Split kept in the data file's trailer.
class TrailerSection {
public:
    virtual ~TrailerSection() = default;
    void Defaults(double& defaultSplit) const { defaultSplit = 0.0; }
    void Decode(const RadioImage&) {}
    void Encode(RadioImage&) const {}
};

class MarketingSection {
public:
    virtual ~MarketingSection() = default;
    void Defaults();
    void Decode(const RadioImage& image);
    void Encode(RadioImage& image) const;  // market application and serial number (not the firmware)

    std::string serialNumber = "0C010001";
    std::string marketApplication = "0000";
    int firmwareVersion = 1;
};

class HardwareSection {
public:
    virtual ~HardwareSection() = default;
    void Defaults();
    void Decode(const RadioImage& image);
    // Writes 0xE2-0xE7 from the counts read by Decode while band code, Ref XTAL and First IF still hold
    // their decoded values, so an unedited image is written back bit for bit; otherwise from the MHz values.
    void Encode(RadioImage& image) const;

    // VHF or UHF factory values (code 0 or 2, "Lower", Ref XTAL, First IF, SQL Release Time); split = 0.0.
    void SetBand(bool uhfBand, double& defaultSplit);
    // Band clamp and step choice for the current code; changes mhz in place and returns the AltStepFlag.
    int SnapFrequency(double& mhz) const;
    // SnapFrequency, kept to frequencies the stored receive (oscillator) or transmit value can hold.
    int SnapReceive(double& mhz) const;
    int SnapTransmit(double& mhz) const;

    // Largest whole MHz the Ref XTAL count can hold for a code: 40, 81, 81, 163.
    static int RefXtalLimitMHz(int bandStepCode);
    static constexpr double kFirstIfLimitMHz = 65.53;

    double refXtalMHz = 21.25;
    double firstIfMHz = 21.7;
    int productType = 1;
    int uhf = 0;
    int bandStepCode = 0;
    int localOffset = 0;        // 0 "Lower", 1 "Upper"
    int sqlReleaseTime = 12;    // list position 0-30
    int sqlAttackTime = 2;
    int sqlHysteresis = 12;
    int ctcssReleaseTime = 0;
    int dcsRxData = 0;
    int dcsTxData = 0;
    int receiveSaveOffTime = 0;

private:
    // What Decode read, to tell an edited hardware value from an untouched one.
    struct Decoded {
        int bandStepCode;
        double refXtalMHz;
        double firstIfMHz;
        int mainCount;
        int altCount;
        int firstIfKhz;
    };
    std::optional<Decoded> decoded_;
};

// One channel as the grid edits it.
struct ChannelEntry {
    double rxFrequency = 150.0;
    double txFrequency = 150.0;
    int txInhibit = 0;
    int narrow = 0;       // W/N: 0 "W", 1 "N"
    int rxAltStep = 0;
    int txAltStep = 0;
    int powerSaveRx = 0;
    int powerSaveTx = 0;
    int encKind = 0;      // 0 none, 1 CTCSS, 2 DCS
    int decKind = 0;
    int encCtcss = 0;
    int decCtcss = 0;
    int encDcs = 0;
    int decDcs = 0;
    int prox = 0;
    int power = 0;        // 0 "H", 1 "L"
    int tot = 1;
    int ani = 0;
    int twoToneS = 0;
    int lockOut = 0;      // 0 "--", 1 "BC", 2 "BT" (3 only from foreign images)
    int twoToneP = 0;     // 0 none, 1-16 pair
    int squelch = 4;
    int inUse = 1;
    int channelType = 0;
    int scan = 0;         // 0-3, only the low bit is stored
    int encryption = 0;
    int pagePresent = 0;
    int pageNumber = 0;   // 0 none, 1-15
    int vts = 0;
    bool operator==(const ChannelEntry&) const = default;
};

// Pick lists and the beep, injected so the editing logic runs without windows. A picker returns the
// chosen value, or nullopt for Cancel. pickValue modes: 13 squelch, 16 page, 18 two-tone pair.
struct CellUi {
    std::function<std::optional<int>(int mode, int current, int channel)> pickValue;
    std::function<std::optional<int>(bool dcs, int currentIndex, int channel)> pickTone;
    std::function<void()> beep;
};

// Grid columns.
enum ChannelGridColumn : int {
    kColChannel = 0, kColWideNarrow, kColReceive, kColTransmit, kColDec, kColEnc, kColPowerSaveRx,
    kColPowerSaveTx, kColPower, kColScan, kColVts, kColTot, kColLockOut, kColSquelch, kColAni,
    kColEncryption, kColPage, kColProx, kColTwoToneP, kColTwoToneS, kColumnCount
};

// The 16 channels and the grid's current channel. Editing operations return true when the document's
// modified flag must be set; they never set it themselves.
class ChannelTable {
public:
    virtual ~ChannelTable() = default;
    void Defaults();
    void Decode(const RadioImage& image, const HardwareSection& hardware);
    void Encode(RadioImage& image, const HardwareSection& hardware) const;
    void DecodeChannel(int n, const RadioImage& image, const HardwareSection& hardware);
    void EncodeChannel(int n, RadioImage& image, const HardwareSection& hardware) const;

    // Toggle, cycle or pick action of a cell. The image supplies the option bits that gate columns.
    bool EditCell(int n, int column, const RadioImage& image, const CellUi& ui);
    // For columns 2 and 3 of a channel in use: "%9.5f" (or "---.-----" for inhibited transmit).
    std::optional<std::string> FrequencyText(int n, int column) const;
    bool SetFrequencyText(int n, int column, const std::string& text, const HardwareSection& hardware,
                          double defaultSplit);
    bool PickTone(int n, int column, const CellUi& ui);
    bool ComplementDcs(int n, int column);
    bool IsScanOn(int n) const { return n >= 0 && n < 16 && (entries[static_cast<std::size_t>(n)].scan & 1) != 0; }
    void ResetForBand(bool uhfBand);
    void ApplyOptionChange(int n, int trunk, int paging, int boardEncryption);
    // Remove a pair / page from every channel using it and rewrite those channels' fields in the image.
    // Return how many channels changed.
    int ClearPairReferences(int pair, RadioImage& image);
    int ClearPageReferences(int page, RadioImage& image);

    ChannelEntry& at(int n) { return entries[static_cast<std::size_t>(n)]; }
    const ChannelEntry& at(int n) const { return entries[static_cast<std::size_t>(n)]; }

    std::array<ChannelEntry, 16> entries{};
    int rowCountBase = 16;
    int currentChannelNumber = 1;  // 1-based
    int currentChannel = 0;        // CurrentChannel: 0-based grid row of the current cell
    int highestChannel = 16;
};

class OptionSection {
public:
    virtual ~OptionSection() = default;
    void Defaults() { *this = OptionSection(); }
    void Decode(const RadioImage& image);
    void Encode(RadioImage& image) const;  // bits 7, 6, 5, 1, 0 of 0xBE
    int Code() const;                      // OptionCode
    int DevicePosition() const;            // position in the Option Device list
    void SetDevicePosition(int position);

    int boardEncryption = 0;
    int boardPaging = 0;
    int ktTrunk = 0;
    int ani = 0;
    int encryption = 0;
};

class ScanSection {
public:
    virtual ~ScanSection() = default;
    void Defaults() { *this = ScanSection(); }
    void Decode(const RadioImage& image);
    void Encode(RadioImage& image) const;  // dial scan position first: it rewrites the whole byte 0x0F

    int dualWatch = 0;
    int dualWatchTimer = 0;
    int scanResumeTime1 = 3;
    int scanResumeTime2 = 3;
    int talkBack = 0;
    int revertChannel = 0;
    int dialScanPosition = 0;  // 0 disabled, 1-16
    int priorityChannel = 0;
    int ktTrunkPosition = 0;
    int scanSpeed = 0;
};

class KeySection {
public:
    static constexpr int kFunctionCount = 14;  // codes 0-13
    virtual ~KeySection() = default;
    void Defaults();
    void Decode(const RadioImage& image);  // also rebuilds the in-use table
    void Encode(RadioImage& image) const;

    int accKeyPress = 1;
    int accKeyHold = 2;
    std::array<bool, 13> inUse{};  // entry code-1 for functions 1-13
};

class CommonSection {
public:
    virtual ~CommonSection() = default;
    void Defaults() { *this = CommonSection(); }
    void Decode(const RadioImage& image);  // leaves lampByte alone
    void Encode(RadioImage& image) const;

    int transmitTimer = 3;
    int penaltyTimer = 0;
    int releaseTimer = 1;
    int receiveSaveMode = 0;
    int beep = 1;
    int squelchTailElim = 3;
    int bell = 0;
    int setToSetClone = 0;
    int externalJack = 0;
    int lampMode = 1;
    int autoResetTime = 4;  // 0 off, 1-16
    int callTimes = 2;
    int lampByte = 1;       // set only by Defaults
};

// ---- the five records of the signalling codec ----
struct AniSettings {
    void Defaults() { *this = AniSettings(); }
    void Decode(const RadioImage& image);
    void Encode(RadioImage& image) const;
    int aniTransmit = 1;
    int dtmfDelay = 1;
    int dtmfSpeed = 2;
    std::string dtmfCode;
};

// The most keypad characters the ANI code holds.
inline constexpr std::size_t kAniCodeLength = 15;

// The keypad characters (0-9, A-D, *, #) of a typed text, lower-case letters raised, at most maxLength
// of them; anything else is dropped rather than stored as a wrong digit.
std::string DtmfKeypadText(std::string_view text, std::size_t maxLength);

// Stores code as the radio's ANI code, as the ANI/Speed Dial dialog stores a finished edit: the keypad
// characters of the text, at most 15, the ANI timing fields left as they are.
void StoreAniCode(RadioImage& image, std::string_view code);

struct PageSettings {
    void Defaults() { *this = PageSettings(); }
    void Decode(const RadioImage& image);
    void Encode(RadioImage& image) const;  // 0xBE bits 2 and 4 only
    int pagingDtmfSpeed = 0;
    int answerBack = 0;
    int boardPaging = 0;  // decode only
};

struct PageCodeList {
    void Defaults() { *this = PageCodeList(); }
    void Decode(const RadioImage& image);
    void Encode(RadioImage& image) const;
    std::array<std::string, 10> codes{};
    std::array<int, 10> selectors{};
    int boardPaging = 0;  // decode only
};

struct TwoToneSettings {
    void Defaults() { *this = TwoToneSettings(); }
    void Decode(const RadioImage& image, TwoToneFormat format);  // toneFormat copies the format
    void Encode(RadioImage& image) const;                        // does not write the format
    int primaryGroupCall = 0;
    int secondaryGroupCall = 0;
    int secondaryPagePair = 0;
    TwoToneFormat toneFormat = TwoToneFormat::Standard;
    int ctcssDcsComplement = 0;
    int duty = 0;
};

struct PairTable {
    void Defaults() { *this = PairTable(); }
    void Decode(const RadioImage& image, TwoToneFormat& format);  // may switch format to Custom
    void Encode(RadioImage& image, TwoToneFormat format) const;
    PairEntries pairs{};
};

// Codec without state of its own: the five records it decodes into and encodes from.
class SignalingSection {
public:
    virtual ~SignalingSection() = default;
    void Defaults();
    void Decode(const RadioImage& image, TwoToneFormat& format);
    void Encode(RadioImage& image, TwoToneFormat format) const;

    AniSettings ani;
    PageSettings pageSettings;
    PageCodeList pageCodes;
    TwoToneSettings twoTone;
    PairTable pairTable;
};

}  // namespace rt62
