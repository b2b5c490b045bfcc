// Channel CSV: quoted fields, any column order; rows map onto the channel fields of the catalogue.
#include "core/text/csv_channels.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>

#include "core/image/frequency.h"
#include "core/image/layout.h"
#include "core/image/strings.h"
#include "core/image/text_rules.h"
#include "core/image/text_strings.h"
#include "core/image/tones.h"

namespace rt62 {

namespace {

struct CsvRecord {
    int line = 0;
    std::vector<std::string> cells;
    bool unclosedQuote = false;
};

std::vector<CsvRecord> ParseCsv(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    std::vector<CsvRecord> out;
    int line = 1;
    std::size_t i = 0;
    while (i < text.size()) {
        CsvRecord rec;
        rec.line = line;
        std::string cell;
        bool endOfRecord = false;
        while (!endOfRecord) {
            if (i < text.size() && text[i] == '"') {
                ++i;
                bool closed = false;
                while (i < text.size()) {
                    const char c = text[i++];
                    if (c == '"') {
                        if (i < text.size() && text[i] == '"') {
                            cell += '"';
                            ++i;
                            continue;
                        }
                        closed = true;
                        break;
                    }
                    if (c == '\n') ++line;
                    cell += c;
                }
                rec.unclosedQuote = rec.unclosedQuote || !closed;
            }
            while (i < text.size() && text[i] != ',' && text[i] != '\n' && text[i] != '\r')
                cell += text[i++];
            rec.cells.push_back(cell);
            cell.clear();
            if (i >= text.size()) {
                endOfRecord = true;
            } else if (text[i] == ',') {
                ++i;
            } else {
                if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
                ++i;
                ++line;
                endOfRecord = true;
            }
        }
        const bool blank =
            rec.cells.size() == 1 && rec.cells[0].find_first_not_of(" \t") == std::string::npos;
        if (!blank) out.push_back(std::move(rec));
    }
    return out;
}

std::string Lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string Mhz6(double mhz) {
    return FormatFixed(mhz, 0, 6);
}

// One tone as the channel fields spell it: "none", "C-88.5", "D-023".
struct ToneChoice {
    std::string text = "none";
    int problemId = 0; // non-zero when the value is not one of this radio's
    std::string problemArg;
};

ToneChoice Ctcss(const std::string& value) {
    const auto hz = StrictDecimal(value);
    const int i = hz ? CtcssPositionOfHz(*hz) : -1;
    if (i >= 0) return {"C-" + std::string(Trim(CtcssText(i))), 0, {}};
    return {"", kStrCsvTone, std::string(Trim(value))};
}

ToneChoice Dcs(const std::string& value, bool reversed) {
    const int i = DcsPositionOfCode(Trim(value));
    // A reversed code is the normal-polarity code of its complement.
    if (i >= 0) return {"D-" + std::string(DcsText(reversed ? ComplementDcs(i) : i)), 0, {}};
    return {"", kStrCsvDcs, std::string(Trim(value))};
}

struct RowPlan {
    int channel = 0;                                         // 0-15
    std::vector<std::pair<std::string, std::string>> fields; // key within the channel -> text
};

} // namespace

std::string CsvImport::Summary() const {
    return FormatString(kStrCsvSummary, {std::to_string(imported), std::to_string(problems.size())});
}

CsvImport ImportCsv(std::string_view csv, const DataFileBytes* base, bool strict) {
    CsvImport out;
    const std::vector<CsvRecord> records = ParseCsv(csv);
    std::map<std::string, std::size_t> columns;
    if (!records.empty())
        for (std::size_t c = 0; c < records[0].cells.size(); ++c)
            columns.emplace(Lower(std::string(Trim(records[0].cells[c]))), c);
    for (const char* needed : {"Location", "Frequency"})
        if (!columns.count(Lower(needed))) {
            out.problems.push_back({1, 0, FormatString(kStrCsvNoColumn, {needed})});
            return out;
        }

    const auto cell = [&](const CsvRecord& r, const char* name) -> std::optional<std::string> {
        const auto it = columns.find(Lower(name));
        if (it == columns.end()) return std::nullopt;
        return it->second < r.cells.size() ? std::string(Trim(r.cells[it->second])) : std::string();
    };

    DataFileBytes start{};
    if (base) {
        start = *base;
    } else {
        int code = 0;
        if (records.size() > 1)
            if (const auto f = StrictDecimal(cell(records[1], "Frequency").value_or("")); f && *f >= 300) code = 2;
        start = FactoryDataFile(code);
    }
    ImageModel model = ModelFromDataFile(start);
    const BandStep& band = BandStepInfo(model.hardware.bandStepCode);
    const auto inBand = [&](double mhz) { return mhz >= band.lowerMHz && mhz <= band.upperMHz; };
    const std::string lowerText = FormatFrequency(band.lowerMHz);
    const std::string upperText = FormatFrequency(band.upperMHz);
    const std::string lower(Trim(lowerText));
    const std::string upper(Trim(upperText));
    std::map<int, int> seen; // location -> line

    for (std::size_t r = 1; r < records.size(); ++r) {
        const CsvRecord& rec = records[r];
        const std::string line = std::to_string(rec.line);
        std::optional<TextProblem> problem;
        const auto fail = [&](int id, std::vector<std::string> args) {
            if (problem) return;
            args.insert(args.begin(), line);
            problem = TextProblem{rec.line, 0, FormatString(id, args)};
        };
        RowPlan plan;
        if (rec.unclosedQuote) fail(kStrCsvQuote, {});

        const std::string loc = *cell(rec, "Location");
        int location = 0;
        const auto lr = std::from_chars(loc.data(), loc.data() + loc.size(), location);
        if (loc.empty() || lr.ec != std::errc() || lr.ptr != loc.data() + loc.size() || location < 1 ||
            location > kChannelCount)
            fail(kStrCsvLocation, {loc});
        else if (seen.count(location))
            fail(kStrCsvDuplicate, {loc, std::to_string(seen[location])});
        plan.channel = location - 1;

        const std::string freqText = *cell(rec, "Frequency");
        const auto rx = StrictDecimal(freqText);
        if (!rx)
            fail(kStrCsvFrequency, {freqText});
        else if (!inBand(*rx))
            fail(kStrCsvOutsideBand, {freqText, lower, upper, std::string(band.bandText)});
        const double rxMHz = rx.value_or(0);

        const std::string duplex = Lower(cell(rec, "Duplex").value_or(""));
        double offset = 0;
        if (duplex == "+" || duplex == "-" || duplex == "split") {
            const std::string o = cell(rec, "Offset").value_or("");
            const auto v = o.empty() ? std::optional<double>(0.0) : StrictDecimal(o);
            if (!v) fail(kStrCsvOffset, {o});
            offset = v.value_or(0);
        } else if (!duplex.empty() && duplex != "off") {
            fail(kStrCsvDuplex, {*cell(rec, "Duplex")});
        }
        std::string transmit = "inhibit";
        if (duplex != "off") {
            const double tx = duplex == "+"       ? rxMHz + offset
                              : duplex == "-"     ? rxMHz - offset
                              : duplex == "split" ? offset
                                                  : rxMHz;
            if (rx && inBand(*rx) && !inBand(tx))
                fail(kStrCsvTxOutsideBand, {Mhz6(tx), lower, upper, std::string(band.bandText)});
            transmit = Mhz6(tx);
        }

        // Tone modes as these files use them: which tone is sent (encode) and which one opens the
        // squelch (decode); DtcsPolarity gives the transmit then the receive polarity.
        const std::string mode = Lower(cell(rec, "Tone").value_or(""));
        std::string polarity = cell(rec, "DtcsPolarity").value_or("NN");
        if (polarity.empty()) polarity = "NN";
        const std::string pol = Lower(polarity);
        if (pol != "nn" && pol != "nr" && pol != "rn" && pol != "rr") fail(kStrCsvPolarity, {polarity});
        const bool txReversed = pol.size() == 2 && pol[0] == 'r';
        const bool rxReversed = pol.size() == 2 && pol[1] == 'r';
        const std::string rtone = cell(rec, "rToneFreq").value_or("88.5");
        const std::string ctone = cell(rec, "cToneFreq").value_or("88.5");
        const std::string dtcs = cell(rec, "DtcsCode").value_or("023");
        const std::string rxDtcs = cell(rec, "RxDtcsCode").value_or("023");
        ToneChoice enc, dec;
        if (mode == "tone") {
            enc = Ctcss(rtone);
        } else if (mode == "tsql") {
            enc = Ctcss(ctone);
            dec = enc;
        } else if (mode == "dtcs") {
            enc = Dcs(dtcs, txReversed);
            dec = Dcs(dtcs, rxReversed);
        } else if (mode == "cross") {
            const std::string cross = Lower(cell(rec, "CrossMode").value_or("Tone->Tone"));
            const std::size_t arrow = cross.find("->");
            const std::string txPart = arrow == std::string::npos ? "?" : cross.substr(0, arrow);
            const std::string rxPart = arrow == std::string::npos ? "?" : cross.substr(arrow + 2);
            bool known = true;
            if (txPart == "tone")
                enc = Ctcss(rtone);
            else if (txPart == "dtcs")
                enc = Dcs(dtcs, txReversed);
            else
                known = known && txPart.empty();
            if (rxPart == "tone")
                dec = Ctcss(ctone);
            else if (rxPart == "dtcs")
                dec = Dcs(rxDtcs, rxReversed);
            else
                known = known && rxPart.empty();
            if (!known || (txPart.empty() && rxPart.empty()))
                fail(kStrCsvCrossMode, {cell(rec, "CrossMode").value_or("")});
        } else if (!mode.empty()) {
            fail(kStrCsvToneMode, {*cell(rec, "Tone")});
        }
        for (const ToneChoice* t : {&enc, &dec})
            if (t->problemId) fail(t->problemId, {t->problemArg});

        plan.fields = {{"receive", Mhz6(rxMHz)},
                       {"transmit", transmit},
                       {"in_use", "true"},
                       {"encode", enc.text},
                       {"decode", dec.text}};
        if (const auto m = cell(rec, "Mode"); m && !m->empty()) {
            const std::string v = Lower(*m);
            if (v != "fm" && v != "nfm") fail(kStrCsvMode, {*m});
            plan.fields.push_back({"wide", v == "fm" ? "true" : "false"});
        }
        if (const auto s = cell(rec, "Skip")) {
            const std::string v = Lower(*s);
            if (!v.empty() && v != "s" && v != "p") fail(kStrCsvSkip, {*s});
            plan.fields.push_back({"scan", v == "s" ? "false" : "true"});
        }
        if (const auto p = cell(rec, "Power"); p && !p->empty()) {
            const std::string v = Lower(*p);
            if (v != "high" && v != "low") fail(kStrCsvPower, {*p});
            plan.fields.push_back({"power", v});
        }

        if (!problem) {
            ImageModel trial = model;
            for (const auto& [key, text] : plan.fields) {
                const std::string path = "channels[" + std::to_string(plan.channel + 1) + "]." + key;
                const CatalogueField* f = FindField(path);
                if (const auto refused = f->write(trial, text)) {
                    std::vector<std::string> args{path, text};
                    args.insert(args.end(), refused->args.begin(), refused->args.end());
                    problem = TextProblem{rec.line, 0,
                                          "row " + line + ": " + FormatString(refused->stringId, args)};
                    break;
                }
            }
            if (!problem) {
                model = std::move(trial);
                seen[location] = rec.line;
                ++out.imported;
                continue;
            }
        }
        out.problems.push_back(*problem);
    }
    NormalizeImage(model);
    out.bytes = DataFileOfModel(model);
    out.ok = !(strict && !out.problems.empty());
    return out;
}

std::string ExportCsv(const DataFileBytes& file) {
    const ImageModel model = ModelFromDataFile(file);
    std::string out = std::string(kCsvHeader) + "\r\n";
    for (int n = 0; n < kChannelCount; ++n) {
        const ChannelEntry& e = model.channels.at(n);
        if (!e.inUse) continue;
        std::string duplex, offset = "0.000000";
        if (e.txInhibit) {
            duplex = "off";
        } else if (MHzToHz(e.txFrequency) != MHzToHz(e.rxFrequency)) {
            duplex = e.txFrequency > e.rxFrequency ? "+" : "-";
            offset = Mhz6(std::fabs(e.txFrequency - e.rxFrequency));
        }
        // A tone the lists have no text for (only from a foreign image) cannot be written here.
        const auto has = [](int kind, int ctcss, int dcs) {
            return kind == kToneCtcss ? !CtcssText(ctcss).empty()
                   : kind == kToneDcs ? !DcsText(dcs).empty()
                                      : false;
        };
        const bool encOn = has(e.encKind, e.encCtcss, e.encDcs);
        const bool decOn = has(e.decKind, e.decCtcss, e.decDcs);
        const int encKind = encOn ? e.encKind : kToneNone;
        const int decKind = decOn ? e.decKind : kToneNone;
        std::string tone, cross = "Tone->Tone", rtone = "88.5", ctone = "88.5", dtcs = "023", rxDtcs = "023";
        if (encKind == kToneCtcss) rtone = Trim(CtcssText(e.encCtcss));
        if (decKind == kToneCtcss) ctone = Trim(CtcssText(e.decCtcss));
        if (encKind == kToneDcs) dtcs = std::string(DcsText(e.encDcs));
        if (decKind == kToneDcs) rxDtcs = std::string(DcsText(e.decDcs));
        if (encKind == kToneNone && decKind == kToneNone) {
        } else if (encKind == kToneCtcss && decKind == kToneNone) {
            tone = "Tone";
        } else if (encKind == kToneCtcss && decKind == kToneCtcss && e.encCtcss == e.decCtcss) {
            tone = "TSQL";
            ctone = rtone;
        } else if (encKind == kToneDcs && decKind == kToneDcs && e.encDcs == e.decDcs) {
            tone = "DTCS";
        } else {
            tone = "Cross";
            const auto part = [](int kind) {
                return kind == kToneCtcss ? "Tone" : kind == kToneDcs ? "DTCS" : "";
            };
            cross = std::string(part(encKind)) + "->" + part(decKind);
        }
        const BandStep& b = BandStepInfo(model.hardware.bandStepCode);
        const int stepHz = e.rxAltStep ? b.snapAltHz : b.mainStepHz;
        out += std::to_string(n + 1) + ",," + Mhz6(e.rxFrequency) + "," + duplex + "," + offset + "," + tone +
               "," + rtone + "," + ctone + "," + dtcs + ",NN," + rxDtcs + "," + cross + "," +
               (e.narrow ? "NFM" : "FM") + "," + FormatFixed(stepHz / 1000.0, 0, 2) + "," +
               (e.scan & 1 ? "" : "S") + "," + (e.power ? "Low" : "High") + ",\r\n";
    }
    return out;
}

} // namespace rt62
