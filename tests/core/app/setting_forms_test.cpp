// The parameter dialogs' table of fields and the session's use case that stores a field as its dialog
// does: which field opens when, what is asked, what is refused, and the step it leaves.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "core/app/session.h"
#include "core/app/setting_forms.h"
#include "core/image/catalogue.h"
#include "core/image/fields.h"
#include "core/image/layout.h"
#include "core/image/sections.h"
#include "tests/core/link/link_test_support.h"

namespace rt62 {
namespace {

TEST(SettingForms, EveryRowIsACatalogueFieldAndEveryValueHasItsDialog) {
    std::set<std::string> rows;
    for (const SettingForm& form : SettingForms())
        for (const SettingRow& row : form.rows) {
            EXPECT_NE(FindField(row.path), nullptr) << row.path;
            EXPECT_TRUE(rows.insert(row.path).second) << row.path << " in two dialogs";
            EXPECT_FALSE(SettingLabel(row).empty()) << row.path;
        }
    // What the radio reports about itself is shown, never edited.
    const std::set<std::string> readOnly = {"radio.product_type", "radio.firmware_version"};
    for (const CatalogueField& f : FieldCatalogue()) {
        const std::string path = f.Path();
        const bool radioWide = f.channel < 0 || f.key == "channel_type";
        if (radioWide && !readOnly.count(path)) {
            EXPECT_TRUE(rows.count(path)) << path << " has no dialog";
        }
    }
}

TEST(SettingForms, LabelsAndEntriesAsNames) {
    const struct {
        const char* text;
        const char* name;
    } rows[] = {{"&Hardware", "Hardware"},    {"扫描(&S)", "扫描"},           {"PAGE  &1", "PAGE 1"},
                {"CH-10(&A)", "CH-10"},       {"Fish && Chips", "Fish & Chips"}, {"Ends with &", "Ends with &"},
                {"(&)", "()"}};
    for (const auto& r : rows) EXPECT_EQ(WithoutMnemonicMark(r.text), r.name) << r.text;
    EXPECT_EQ(SettingLabel(*FindSettingRow("paging.page_3")), "PAGE 3");
    EXPECT_EQ(SettingLabel(*FindSettingRow("paging.page_10"), true), "PAGE  1&0");
    EXPECT_EQ(SettingLabel(*FindSettingRow("two_tone.pair_4")), "Pair#4");
    EXPECT_EQ(SettingLabel(*FindSettingRow("channels[12].channel_type"), true), "CH-12(&C)");
}

TEST(SettingForms, WhenAFieldTakesEdits) {
    const auto board = [](const ImageField& f) { return [&f](ImageModel& m) { f.Write(m.image, 1); }; };
    const auto pageCode = [](int page, const char* code) {
        return [=](ImageModel& m) {
            PageCodeList pages;
            pages.Decode(m.image);
            pages.codes[static_cast<std::size_t>(page - 1)] = code;
            pages.Encode(m.image);
        };
    };
    const auto firmware = [](int bcd) {
        return [=](ImageModel& m) {
            m.image[0] = static_cast<std::uint8_t>((bcd / 1000) << 4 | (bcd / 100 % 10));
            m.image[1] = static_cast<std::uint8_t>((bcd / 10 % 10) << 4 | (bcd % 10));
        };
    };
    const std::function<void(ImageModel&)> none = [](ImageModel&) {};
    const struct {
        const char* path;
        std::function<void(ImageModel&)> setUp;
        bool serviceMode;
        bool open;
    } rows[] = {
        {"hardware.ref_xtal", none, false, false},
        {"hardware.ref_xtal", none, true, true},
        {"radio.serial_number", none, false, false},
        {"radio.serial_number", none, true, true},
        {"scanning.dual_watch", none, false, true},
        {"scanning.kt_trunk_position", none, true, false},
        {"scanning.kt_trunk_position", board(layout::kOptionKtTrunk), false, true},
        {"paging.answer_back", none, false, false},
        {"paging.answer_back", board(layout::kOptionBoardPaging), false, true},
        {"paging.page_3_decode", board(layout::kOptionBoardPaging), false, false},
        {"paging.page_3_decode", pageCode(3, "123"), false, false},
        {"paging.page_10_decode", [&](ImageModel& m) { board(layout::kOptionBoardPaging)(m), pageCode(10, "9")(m); },
         false, true},
        {"two_tone.duty", firmware(199), true, false},
        {"two_tone.duty", firmware(200), false, true},
        {"radio.firmware_version", none, true, false}, // in no dialog
    };
    for (const auto& r : rows) {
        ImageModel m = MakeFactoryImage(0);
        r.setUp(m);
        EXPECT_EQ(SettingOpen(r.path, m, r.serviceMode), r.open) << r.path << " service " << r.serviceMode;
    }
    ImageModel m = MakeFactoryImage(0);
    firmware(200)(m);
    EXPECT_EQ(ReadFirmwareVersion(m.image), 200) << "the firmware written as the radio keeps it";
}

TEST(SessionSettings, AFieldIsStoredAsItsDialogStoresIt) {
    constexpr int kBandQuestion = 50;
    const struct {
        const char* path;
        const char* text;
        bool serviceMode;
        Answer band; // the answer to "Change frequency band?"
        bool changed;
        bool refused; // with the field's message
        std::vector<int> messages;
        const char* step;
    } rows[] = {
        {"scanning.dual_watch", "Enabled", false, Answer::Yes, true, false, {}, "Scanning"},
        {"scanning.dual_watch", "Sometimes", false, Answer::Yes, false, true, {}, ""},
        {"ani.dtmf_code", "XYZ", false, Answer::Yes, false, true, {}, ""},
        // Closed fields refuse quietly, as their controls take no input.
        {"hardware.sql_attack_time", "8", false, Answer::Yes, false, false, {}, ""},
        {"radio.band", "UHF", false, Answer::Yes, false, false, {}, ""},
        {"radio.band", "UHF", true, Answer::No, false, false, {kBandQuestion}, ""},
        {"radio.band", "uhf", true, Answer::Yes, true, false, {kBandQuestion}, "Hardware"},
        {"radio.band", "VHF", true, Answer::Yes, false, false, {}, ""},
        {"radio.band", "LF", true, Answer::Yes, false, true, {}, ""},
        {"radio.serial_number", "7C999999", true, Answer::Yes, true, false, {}, "Marketing"},
        {"channels[2].channel_type", "type-5", false, Answer::Yes, true, false, {}, "Channel Type"},
    };
    for (const auto& r : rows) {
        test::RecordingPrompter prompter;
        Session session{prompter};
        session.NewFactory(0);
        session.Settings().serviceMode = r.serviceMode;
        prompter.answers[kBandQuestion] = r.band;
        const RadioImage before = session.Document().Image();
        const std::string label = std::string(r.path) + " " + r.text;
        const SettingChange change = session.SetSetting(r.path, r.text);
        EXPECT_EQ(change.changed, r.changed) << label;
        EXPECT_EQ(!change.refused.empty(), r.refused) << label << ": " << change.refused;
        EXPECT_EQ(prompter.ids, r.messages) << label;
        EXPECT_EQ(session.History().UndoName(), r.step) << label;
        EXPECT_EQ(session.Document().IsModified(), r.changed) << label;
        const bool marketing = std::string(r.path) == "radio.serial_number";
        EXPECT_EQ(session.Document().IsMarketingChanged(), marketing && r.changed) << label;
        if (std::string(r.path) == "radio.band" && r.changed) {
            EXPECT_EQ(session.Document().Model().hardware.uhf, 1);
        }
        if (r.changed) {
            EXPECT_TRUE(session.History().Undo());
            EXPECT_EQ(session.Document().Image(), before) << label;
        } else {
            EXPECT_EQ(session.Document().Image(), before) << label;
        }
    }
}

} // namespace
} // namespace rt62
