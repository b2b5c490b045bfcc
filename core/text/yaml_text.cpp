// YAML spelling of the field texts and raw bits. yaml-cpp reads the text; its exceptions stay in here.
#include "core/text/yaml_text.h"

#include <yaml-cpp/yaml.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <map>
#include <utility>

#include "core/image/data_file.h"
#include "core/image/document.h"
#include "core/image/layout.h"
#include "core/image/strings.h"
#include "core/image/text_strings.h"

namespace rt62 {

namespace {

const std::vector<std::string>& Groups() {
    static const std::vector<std::string> groups{"radio",        "hardware", "option",    "scanning",
                                                 "power_saving", "keys",     "marketing", "miscellaneous",
                                                 "ani",          "paging",   "two_tone"};
    return groups;
}

bool PlainSafe(const std::string& s) {
    if (s.empty() || s.front() == ' ' || s.back() == ' ' || s.back() == ':') return false;
    const char c0 = s.front();
    if (!(std::isalnum(static_cast<unsigned char>(c0)) || c0 == '.' ||
          (c0 == '-' && s.size() > 1 && s[1] != ' ')))
        return false;
    if (s.find(": ") != std::string::npos || s.find(" #") != std::string::npos) return false;
    return s.find_first_of("{}[]'\"`|>&*!%@\\\t") == std::string::npos;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Whether a YAML 1.1 or 1.2 resolver may read the plain scalar s as something other than this text: a
// null or boolean word, or a number in any of their spellings (0012 is the octal 10 to YAML 1.1,
// 0C010001 and 1e5 look like numbers, 1:30 is a sexagesimal 90, 2026-12-08 a date). A tool that loads
// and writes the text back would then write that value, spelled its own way.
bool Retyped(const std::string& s) {
    std::string lower;
    for (char c : s)
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    static const char* const kWords[] = {"y", "n", "yes", "no", "true", "false", "on", "off", "null", "~"};
    for (const char* w : kWords)
        if (lower == w) return true;
    std::string_view t = lower;
    if (!t.empty() && (t.front() == '+' || t.front() == '-')) t.remove_prefix(1);
    if (t.empty()) return false;
    const bool numberStart = IsDigit(t[0]) || (t[0] == '.' && t.size() > 1 &&
                                               (IsDigit(t[1]) || t.substr(1) == "inf" || t.substr(1) == "nan"));
    if (!numberStart) return false;
    // Numbers, times and dates in any base need no more than these characters.
    if (t.find_first_not_of("0123456789abcdefghijklmnopqrstuvwxyz_:.+-") == std::string_view::npos) return true;
    // A date with a time after a blank ("2026-12-08 10:00:00").
    return t.size() > 10 && IsDigit(t[0]) && IsDigit(t[1]) && IsDigit(t[2]) && IsDigit(t[3]) && t[4] == '-';
}

// The text as a YAML scalar that reads back as this text with any YAML library: plain where nothing could
// take it for another type, else double-quoted with escapes for what may not stand in a quoted scalar.
std::string Scalar(const std::string& s) {
    if (PlainSafe(s) && !Retyped(s)) return s;
    std::string out = "\"";
    for (char c : s) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20 || u == 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", u);
            out += buf;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string Hex(unsigned v, int digits) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*x", digits, v);
    return buf;
}

// Which fields own the bits of a raw byte, for the comment beside it.
std::string Owners(std::size_t offset, std::uint8_t mask) {
    std::string out;
    for (const CatalogueField& f : FieldCatalogue())
        for (const OwnedBits& b : f.owned)
            if (b.offset == offset && (b.mask & mask)) {
                if (!out.empty()) out += ", ";
                out += f.Path();
                break;
            }
    const bool radioOwned =
        (offset >= layout::kRadioOwnedFirst && offset <= layout::kRadioOwnedLast) ||
        (offset >= layout::kRadioOwnedSecondFirst && offset <= layout::kRadioOwnedSecondLast);
    if (mask & UnownedBits()[offset])
        out += std::string(out.empty() ? "" : ", ") + (radioOwned ? "radio-owned" : "no field");
    return out;
}

// ---- reading ----

// yaml-cpp has no place for an empty document or some parse errors (line -1); those are at the start.
TextProblem ProblemAt(const YAML::Mark& m, std::string message) {
    return {std::max(m.line, 0) + 1, std::max(m.column, 0) + 1, std::move(message)};
}

// "marketing" is no longer written (its two fields are under radio) but older texts still carry it.

struct Reader {
    std::vector<FieldText> fields;
    RawBits raw;
    std::vector<TextProblem> problems;
    bool sawFormat = false;

    void Fail(const YAML::Node& at, int id, const std::vector<std::string>& args) {
        problems.push_back(ProblemAt(at.Mark(), FormatString(id, args)));
    }

    bool ScalarOf(const YAML::Node& node, const std::string& path, std::string& text) {
        if (node.IsNull()) {
            text.clear();
            return true;
        }
        if (!node.IsScalar()) {
            Fail(node, kStrNotScalar, {path});
            return false;
        }
        text = node.Scalar();
        return true;
    }

    void Value(const YAML::Node& key, const YAML::Node& value, const std::string& path) {
        const CatalogueField* f = FindField(path);
        // Texts written before the serial number and market application moved to radio: still read.
        if (!f && (path == "marketing.serial_number" || path == "marketing.market_application"))
            f = FindField("radio." + path.substr(path.find('.') + 1));
        if (!f) {
            Fail(key, kStrUnknownKey, {path});
            return;
        }
        std::string text;
        if (!ScalarOf(value, path, text)) return;
        const YAML::Mark m = value.IsNull() ? key.Mark() : value.Mark();
        fields.push_back({f, text, m.line + 1, m.column + 1});
    }

    bool Mapping(const YAML::Node& node, const std::string& path) {
        if (node.IsMap()) return true;
        if (!node.IsNull()) Fail(node, kStrNotMapping, {path});
        return false;
    }

    static std::optional<unsigned> HexNumber(std::string s, unsigned limit) {
        if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) s.erase(0, 2);
        unsigned v = 0;
        const auto r = std::from_chars(s.data(), s.data() + s.size(), v, 16);
        if (s.empty() || r.ec != std::errc() || r.ptr != s.data() + s.size() || v > limit)
            return std::nullopt;
        return v;
    }

    // A raw offset: 0xE8 in hex as exported, or 232, as a library that read 0xE8 as a number writes it.
    static std::optional<unsigned> Offset(const std::string& key) {
        const unsigned limit = static_cast<unsigned>(kDataFileSize - 1);
        if (key.size() > 2 && key[0] == '0' && (key[1] == 'x' || key[1] == 'X')) return HexNumber(key, limit);
        unsigned v = 0;
        const auto r = std::from_chars(key.data(), key.data() + key.size(), v);
        if (key.empty() || r.ec != std::errc() || r.ptr != key.data() + key.size() || v > limit)
            return std::nullopt;
        return v;
    }

    void Raw(const YAML::Node& node) {
        if (!Mapping(node, "raw")) return;
        for (const auto& item : node) {
            std::string key;
            if (!ScalarOf(item.first, "raw", key)) continue;
            if (key == "checksum") {
                const YAML::Node& v = item.second;
                std::optional<unsigned> stored, sum;
                if (v.IsMap() && v["stored"] && v["sum"] && v["stored"].IsScalar() && v["sum"].IsScalar()) {
                    stored = HexNumber(v["stored"].Scalar(), 0xFFFF);
                    sum = HexNumber(v["sum"].Scalar(), 0xFFFF);
                }
                if (!stored || !sum) {
                    Fail(v, kStrBadRawChecksum, {v.IsScalar() ? v.Scalar() : std::string("?")});
                    continue;
                }
                raw.checksum =
                    RawBits::Checksum{static_cast<std::uint16_t>(*stored), static_cast<std::uint16_t>(*sum)};
                continue;
            }
            const auto offset = Offset(key);
            if (!offset) {
                Fail(item.first, kStrBadRawOffset, {key});
                continue;
            }
            std::string text;
            if (!ScalarOf(item.second, "raw." + key, text)) continue;
            const std::size_t slash = text.find('/');
            const auto bits = HexNumber(text.substr(0, slash), 0xFF);
            const auto mask = slash == std::string::npos ? std::optional<unsigned>(0xFF)
                                                         : HexNumber(text.substr(slash + 1), 0xFF);
            if (!bits || !mask || text.empty()) {
                Fail(item.second, kStrBadRawByte, {key, text});
                continue;
            }
            raw.Set(*offset, static_cast<std::uint8_t>(*bits), static_cast<std::uint8_t>(*mask));
        }
    }

    void Channels(const YAML::Node& node) {
        if (!Mapping(node, "channels")) return;
        for (const auto& item : node) {
            std::string key;
            if (!ScalarOf(item.first, "channels", key)) continue;
            int n = 0;
            const auto r = std::from_chars(key.data(), key.data() + key.size(), n);
            if (key.empty() || r.ec != std::errc() || r.ptr != key.data() + key.size() || n < 1 || n > 16) {
                Fail(item.first, kStrNotChannel, {"channels", key});
                continue;
            }
            const std::string path = "channels[" + std::to_string(n) + "]";
            if (!Mapping(item.second, path)) continue;
            for (const auto& field : item.second) {
                std::string name;
                if (ScalarOf(field.first, path, name)) Value(field.first, field.second, path + "." + name);
            }
        }
    }

    void Document(const YAML::Node& root) {
        if (!root.IsMap()) {
            Fail(root, kStrNoFormat, {});
            return;
        }
        for (const auto& item : root) {
            std::string key;
            if (!ScalarOf(item.first, "", key)) continue;
            if (key == "format") {
                std::string v;
                sawFormat = true;
                if (ScalarOf(item.second, "format", v) && v != kYamlFormat)
                    Fail(item.second, kStrWrongFormat, {v});
            } else if (key == "channels") {
                Channels(item.second);
            } else if (key == "raw") {
                Raw(item.second);
            } else if (std::find(Groups().begin(), Groups().end(), key) != Groups().end()) {
                if (!Mapping(item.second, key)) continue;
                for (const auto& field : item.second) {
                    std::string name;
                    if (ScalarOf(field.first, key, name)) Value(field.first, field.second, key + "." + name);
                }
            } else {
                Value(item.first, item.second, key);
            }
        }
        if (!sawFormat) problems.push_back({1, 1, FormatString(kStrNoFormat)});
    }
};

const FieldText* Given(const std::vector<FieldText>& fields, std::string_view path) {
    const CatalogueField* f = FindField(path);
    for (const FieldText& t : fields)
        if (t.field == f) return &t;
    return nullptr;
}

} // namespace

std::string YamlScalar(const std::string& text) {
    return Scalar(text);
}

std::string ExportYaml(const DataFileBytes& file, TwoToneFormat format) {
    const FileTexts texts = TextsOfDataFile(file, format);
    std::string out;
    out += "# RT62MWin radio configuration. Edit the values; a field left out keeps the base file's value.\n";
    out += "# raw: bits no field can spell; a field's raw bits count only while its text is unchanged.\n";
    out += "format: " + std::string(kYamlFormat) + "\n";
    std::string group = "-";
    int channel = -1;
    for (const FieldText& t : texts.fields) {
        const CatalogueField& f = *t.field;
        if (f.group != group) {
            group = f.group;
            if (!group.empty()) out += group + ":\n";
        }
        std::string indent = group.empty() ? "" : "  ";
        if (f.channel >= 0) {
            if (f.channel != channel) {
                channel = f.channel;
                out += "  " + std::to_string(channel + 1) + ":\n";
            }
            indent = "    ";
        }
        out += indent + f.key + ": " + Scalar(t.text) + "\n";
    }
    if (!texts.raw.Empty()) {
        out += "raw:\n";
        for (std::size_t i = 0; i < kDataFileSize; ++i) {
            const std::uint8_t m = texts.raw.mask[i];
            if (!m) continue;
            const std::string value =
                m == 0xFF ? Hex(texts.raw.value[i], 2) : Hex(texts.raw.value[i], 2) + "/" + Hex(m, 2);
            out += "  0x" + Hex(static_cast<unsigned>(i), 2) + ": " + Scalar(value) + "  # " + Owners(i, m) +
                   "\n";
        }
        if (texts.raw.checksum)
            out += "  checksum: {stored: " + Scalar(Hex(texts.raw.checksum->stored, 4)) +
                   ", sum: " + Scalar(Hex(texts.raw.checksum->sum, 4)) + "}  # kept while the bytes add up to sum\n";
    }
    return out;
}

YamlImport ImportYaml(std::string_view yaml, const DataFileBytes* base, TwoToneFormat baseFormat) {
    YamlImport result;
    Reader reader;
    try {
        reader.Document(YAML::Load(std::string(yaml)));
    } catch (const YAML::Exception& e) {
        result.problems.push_back(ProblemAt(e.mark, FormatString(kStrNotYaml, {e.msg})));
        return result;
    }
    if (!reader.problems.empty()) {
        result.problems = std::move(reader.problems);
        return result;
    }
    return ImportTexts(reader.fields, reader.raw, base, baseFormat);
}

YamlImport ImportTexts(const std::vector<FieldText>& fields, const RawBits& raw, const DataFileBytes* base,
                       TwoToneFormat baseFormat) {
    YamlImport result;
    DataFileBytes start{};
    if (base) {
        start = *base;
    } else {
        const FieldText* band = Given(fields, "radio.band");
        const FieldText* step = Given(fields, "hardware.channel_step");
        const bool uhf = band && ComparableText(band->text) == "uhf";
        int code = step ? BandStepCodeOfTexts(uhf ? "UHF" : "VHF", step->text) : -1;
        if (code < 0) code = uhf ? 2 : 0;
        start = FactoryDataFile(code);
        baseFormat = TwoToneFormat::Standard;
    }
    RebuildResult r = RebuildDataFile(fields, raw, start, baseFormat);
    result.problems = std::move(r.problems);
    std::stable_sort(result.problems.begin(), result.problems.end(),
                     [](const TextProblem& a, const TextProblem& b) { return a.line < b.line; });
    result.ok = result.problems.empty();
    if (result.ok) {
        result.bytes = r.bytes;
        result.format = r.format;
    }
    return result;
}

bool IsYamlPath(std::string_view path) {
    const std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos) return false;
    std::string ext(path.substr(dot + 1));
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == "yaml" || ext == "yml";
}

LoadedDataFile LoadDataFileOrYaml(const std::string& path) {
    LoadedDataFile out;
    const bool yaml = IsYamlPath(path);
    // One byte more than a data file holds tells a longer file from a whole one.
    const ReadOutcome read = ReadFileBytes(path, yaml ? kMaxTextFileSize : kDataFileSize + 1);
    if (read.status != ReadStatus::Ok) {
        out.problems.push_back(
            FormatString(read.status == ReadStatus::CannotOpen ? kStrOpenFailed : kStrReadFailed, {path}));
        return out;
    }
    if (!yaml) {
        if (read.bytes.size() != kDataFileSize) {
            out.problems.push_back(FormatString(kStrNotComparable, {path}));
            return out;
        }
        std::copy(read.bytes.begin(), read.bytes.end(), out.bytes.begin());
        out.ok = true;
        return out;
    }
    const YamlImport r =
        ImportYaml(std::string_view(reinterpret_cast<const char*>(read.bytes.data()), read.bytes.size()));
    for (const TextProblem& p : r.problems)
        out.problems.push_back(p.Text());
    out.ok = r.ok;
    out.bytes = r.bytes;
    out.format = r.format;
    return out;
}

} // namespace rt62
