// CTCSS and DCS tables and the tone byte codec.
#include "core/image/tones.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <string>

#include "core/image/text_rules.h"

namespace rt62 {

namespace {

constexpr std::array<std::string_view, kCtcssCount> kCtcss{
    " 67.0", " 69.3", " 71.9", " 74.4", " 77.0", " 79.7", " 82.5", " 85.4", " 88.5", " 91.5",
    " 94.8", " 97.4", "100.0", "103.5", "107.2", "110.9", "114.8", "118.8", "123.0", "127.3",
    "131.8", "136.5", "141.3", "146.2", "151.4", "156.7", "162.2", "167.9", "173.8", "179.9",
    "186.2", "192.8", "203.5", "210.7", "218.1", "225.7", "233.6", "241.8", "250.3", "159.8",
    "165.5", "171.3", "177.3", "183.5", "189.9", "196.6", "199.5", "206.5", "229.1", "254.1"};

constexpr std::array<std::string_view, kDcsCount> kDcs{
    "023", "025", "026", "031", "032", "036", "043", "047", "051", "053", "054", "065", "071", "072",
    "073", "074", "114", "115", "116", "122", "125", "131", "132", "134", "143", "145", "152", "155",
    "156", "162", "165", "172", "174", "205", "212", "223", "225", "226", "243", "244", "245", "246",
    "250", "251", "252", "255", "261", "263", "265", "266", "271", "274", "306", "311", "315", "325",
    "331", "332", "343", "346", "351", "356", "364", "365", "371", "411", "412", "413", "423", "431",
    "432", "435", "445", "446", "452", "454", "455", "462", "464", "465", "466", "503", "506", "516",
    "523", "526", "532", "546", "565", "606", "612", "624", "627", "631", "632", "654", "662", "664",
    "703", "712", "723", "731", "732", "734", "743", "754", "224"};

int DcsPositionOf(std::string_view code) {
    for (int i = 0; i < kDcsCount; ++i)
        if (kDcs[static_cast<std::size_t>(i)] == code) return i;
    return -1;
}

// " 67.0" -> 670; the texts are all "ddd.d", so the digits alone order them (no locale involved).
int TenthsOfHz(std::string_view text) {
    int v = 0;
    for (char c : text)
        if (c >= '0' && c <= '9') v = v * 10 + (c - '0');
    return v;
}

struct CtcssTables {
    std::array<int, kCtcssCount> codeOfPosition{};
    std::array<int, kCtcssCount + 1> positionOfCode{};  // index 1-50
};

// Codes are the places in ascending frequency; built once from the list so the two tables stay inverse.
const CtcssTables& Ctcss() {
    static const CtcssTables tables = [] {
        CtcssTables t;
        std::array<int, kCtcssCount> order{};
        for (int i = 0; i < kCtcssCount; ++i) order[static_cast<std::size_t>(i)] = i;
        std::sort(order.begin(), order.end(), [](int a, int b) {
            return TenthsOfHz(kCtcss[static_cast<std::size_t>(a)]) < TenthsOfHz(kCtcss[static_cast<std::size_t>(b)]);
        });
        for (int place = 0; place < kCtcssCount; ++place) {
            const int pos = order[static_cast<std::size_t>(place)];
            t.codeOfPosition[static_cast<std::size_t>(pos)] = place + 1;
            t.positionOfCode[static_cast<std::size_t>(place + 1)] = pos;
        }
        return t;
    }();
    return tables;
}

const std::array<int, kDcsCount>& ComplementTable() {
    static const std::array<int, kDcsCount> table = [] {
        std::array<int, kDcsCount> t{};
        for (int i = 0; i < kDcsCount; ++i) t[static_cast<std::size_t>(i)] = i;
        constexpr std::string_view kPairs[][2] = {
            {"023", "047"}, {"025", "244"}, {"026", "464"}, {"031", "627"}, {"032", "051"}, {"036", "172"},
            {"043", "445"}, {"053", "452"}, {"054", "413"}, {"065", "271"}, {"071", "306"}, {"072", "245"},
            {"073", "506"}, {"074", "174"}, {"114", "712"}, {"115", "152"}, {"116", "754"}, {"122", "225"},
            {"125", "365"}, {"131", "364"}, {"132", "546"}, {"134", "223"}, {"143", "412"}, {"145", "274"},
            {"155", "731"}, {"156", "265"}, {"162", "503"}, {"165", "251"}, {"205", "263"}, {"212", "356"},
            {"226", "411"}, {"243", "351"}, {"246", "523"}, {"252", "462"}, {"255", "446"}, {"261", "732"},
            {"266", "454"}, {"311", "664"}, {"315", "423"}, {"325", "526"}, {"331", "465"}, {"332", "455"},
            {"343", "532"}, {"346", "612"}, {"371", "734"}, {"431", "723"}, {"432", "516"}, {"466", "662"},
            {"565", "703"}, {"606", "631"}, {"624", "632"}, {"654", "743"}};
        for (const auto& p : kPairs) {
            const int a = DcsPositionOf(p[0]);
            const int b = DcsPositionOf(p[1]);
            t[static_cast<std::size_t>(a)] = b;
            t[static_cast<std::size_t>(b)] = a;
        }
        // The three one-way entries: 250 stays, 435 -> 243, 224 -> 073.
        t[static_cast<std::size_t>(DcsPositionOf("435"))] = DcsPositionOf("243");
        t[static_cast<std::size_t>(DcsPositionOf("224"))] = DcsPositionOf("073");
        return t;
    }();
    return table;
}

}  // namespace

std::string_view CtcssText(int position) {
    if (position < 0 || position >= kCtcssCount) return {};
    return kCtcss[static_cast<std::size_t>(position)];
}

std::string_view DcsText(int position) {
    if (position < 0 || position >= kDcsCount) return {};
    return kDcs[static_cast<std::size_t>(position)];
}

int CtcssCodeOfPosition(int position) {
    if (position >= 0 && position < kCtcssCount) return Ctcss().codeOfPosition[static_cast<std::size_t>(position)];
    return position + 1;  // positions past the list stand for the codes the list has no tone for
}

int CtcssPositionOfCode(int code) {
    if (code >= 1 && code <= kCtcssCount) return Ctcss().positionOfCode[static_cast<std::size_t>(code)];
    return code - 1;
}

int ComplementDcs(int position) {
    if (position < 0 || position >= kDcsCount) return position;
    return ComplementTable()[static_cast<std::size_t>(position)];
}

ToneValue DecodeTone(std::uint8_t byte) {
    ToneValue t;
    if (byte > 0x80) {
        t.kind = kToneDcs;
        t.dcs = (byte & 0x7F) - 1;
    } else if ((byte & 0x7F) != 0) {
        t.kind = kToneCtcss;
        t.ctcss = CtcssPositionOfCode(byte & 0x7F);
    }
    return t;
}

std::uint8_t EncodeTone(int kind, int ctcssPosition, int dcsPosition) {
    switch (kind) {
    case kToneCtcss: return static_cast<std::uint8_t>(CtcssCodeOfPosition(ctcssPosition) & 0x7F);
    case kToneDcs: return static_cast<std::uint8_t>(((dcsPosition + 1) & 0x7F) | 0x80);
    default: return 0;
    }
}

std::string ToneCellText(int kind, int ctcssPosition, int dcsPosition) {
    if (kind == kToneCtcss) {
        const std::string_view t = CtcssText(ctcssPosition);
        return "C-" + std::string(t.empty() ? "???" : t);
    }
    if (kind == kToneDcs) {
        const std::string_view t = DcsText(dcsPosition);
        return "D-" + std::string(t.empty() ? "???" : t) + "  ";
    }
    return "-------";
}

int CtcssPositionOfHz(double hz) {
    if (!(std::fabs(hz) < 1e6)) return -1; // also NaN; keeps lround in range
    for (int i = 0; i < kCtcssCount; ++i)
        if (std::lround(ParseDecimal(CtcssText(i)) * 10) == std::lround(hz * 10)) return i;
    return -1;
}

int DcsPositionOfCode(std::string_view code) {
    if (code.size() > 3) return -1;
    return DcsPositionOf(std::string(3 - code.size(), '0') + std::string(code));
}

std::optional<ToneValue> ParseToneText(std::string_view text, ToneSpelling spelling) {
    std::string t(text);
    if (spelling == ToneSpelling::Loose) {
        t = std::string(Trim(text));
        t.erase(std::remove(t.begin(), t.end(), ' '), t.end());
        for (char& c : t)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (t == "NONE") return ToneValue{};
    }
    if (t.size() > 2 && t.compare(0, 2, "C-") == 0) {
        int position = -1;
        if (spelling == ToneSpelling::Loose) {
            if (const auto hz = StrictDecimal(t.substr(2))) position = CtcssPositionOfHz(*hz);
        } else {
            std::string_view rest = std::string_view(t).substr(2);
            rest = rest.substr(0, rest.find_last_not_of(' ') + 1);
            for (int i = 0; i < kCtcssCount && position < 0; ++i)
                if (CtcssText(i) == rest) position = i;
        }
        if (position < 0) return std::nullopt;
        return ToneValue{kToneCtcss, position, 0};
    }
    if (t.size() > 2 && t.compare(0, 2, "D-") == 0) {
        std::string_view rest = std::string_view(t).substr(2);
        int position = -1;
        if (spelling == ToneSpelling::Loose) {
            position = DcsPositionOfCode(rest);
        } else {
            rest = rest.substr(0, rest.find_last_not_of(' ') + 1);
            position = rest.empty() ? -1 : DcsPositionOf(rest);
        }
        if (position < 0) return std::nullopt;
        return ToneValue{kToneDcs, 0, position};
    }
    if (t == "-------") return ToneValue{};
    return std::nullopt;
}

}  // namespace rt62
