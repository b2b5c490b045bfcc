// Every dialog of the window, built over one factory document, for the tests that walk them all.
#pragma once

#include "gui/app/about_dialogs.h"
#include "gui/common/app_settings.h"
#include "gui/app/config_dialog.h"
#include "gui/app/service_mode.h"
#include "gui/dialogs/channel_type_dialog.h"
#include "gui/dialogs/hardware_dialog.h"
#include "gui/dialogs/key_function_dialog.h"
#include "gui/dialogs/marketing_dialog.h"
#include "gui/dialogs/miscellaneous_dialog.h"
#include "gui/dialogs/option_dialog.h"
#include "gui/dialogs/power_saving_dialog.h"
#include "gui/dialogs/scanning_dialog.h"
#include "gui/dialogs/signaling_ani_dialog.h"
#include "gui/dialogs/signaling_page_dialogs.h"
#include "gui/dialogs/signaling_tone_browser.h"
#include "gui/dialogs/signaling_twotone_dialogs.h"
#include "gui/editor/pick_list_dialogs.h"
#include "gui/editor/visible_dialog.h"
#include "core/image/document.h"
#include "core/image/fields.h"
#include "core/image/layout.h"
#include "gui/report/dump_dialog.h"
#include "gui/link/transfer_dialog.h"
#include "tests/gui/window_test_support.h"

#include <QDialog>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

namespace rt62::test {

// A VHF factory image with the paging board fitted, so the paging dialogs show all their controls.
struct DialogWorld {
    ScriptedPrompter prompter;
    CRT62MDoc doc{prompter, "/nonexistent"};
    AppSettings settings;
    FakePort port;
    std::array<int, kColumnItemCount> items{};
    DialogWorld() {
        doc.Model() = MakeFactoryImage(0);
        layout::kOptionBoardPaging.Write(doc.Image(), 1);
        NormalizeImage(doc.Model());
        DecodeImage(doc.Model());
        items.fill(1);
    }
};

struct DialogMaker {
    const char* name;
    std::function<std::unique_ptr<QDialog>(DialogWorld&)> make;
};

inline QList<DialogMaker> AllDialogs() {
    using D = std::unique_ptr<QDialog>;
    return {
        {"Hardware", [](DialogWorld& w) -> D { return std::make_unique<HardwareDialog>(w.doc, true, w.prompter); }},
        {"Scanning", [](DialogWorld& w) -> D { return std::make_unique<ScanningDialog>(w.doc); }},
        {"PowerSaving", [](DialogWorld& w) -> D { return std::make_unique<PowerSavingDialog>(w.doc); }},
        {"KeyFunction", [](DialogWorld& w) -> D { return std::make_unique<KeyFunctionDialog>(w.doc); }},
        {"Option", [](DialogWorld& w) -> D { return std::make_unique<OptionDialog>(w.doc); }},
        {"Marketing", [](DialogWorld& w) -> D { return std::make_unique<MarketingDialog>(w.doc, true); }},
        {"Miscellaneous", [](DialogWorld& w) -> D { return std::make_unique<MiscellaneousDialog>(w.doc); }},
        {"ChannelType", [](DialogWorld& w) -> D { return std::make_unique<ChannelTypeDialog>(w.doc); }},
        {"Ani", [](DialogWorld& w) -> D { return std::make_unique<AniDialog>(w.doc); }},
        {"PageSetting", [](DialogWorld& w) -> D { return std::make_unique<PageSettingDialog>(w.doc); }},
        {"PagingCode", [](DialogWorld& w) -> D { return std::make_unique<PagingCodeDialog>(w.doc); }},
        {"TwoToneParameters", [](DialogWorld& w) -> D { return std::make_unique<TwoToneParametersDialog>(w.doc); }},
        {"TwoToneTable", [](DialogWorld& w) -> D { return std::make_unique<TwoToneTableDialog>(w.doc); }},
        {"TwoToneBrowser", [](DialogWorld&) -> D {
             return std::make_unique<TwoToneBrowserDialog>(1, 1, TwoToneBrowserDialog::First, 30);
         }},
        {"Configuration", [](DialogWorld& w) -> D {
             return std::make_unique<ConfigurationDialog>(w.settings, w.port, w.prompter,
                                                          QList<PortChoice>{{"/dev/ttyUSB0", "/dev/ttyUSB0"}});
         }},
        {"Visible", [](DialogWorld& w) -> D { return std::make_unique<VisibleDialog>(w.items); }},
        {"Password", [](DialogWorld&) -> D { return std::make_unique<PasswordDialog>(); }},
        {"SquelchList", [](DialogWorld&) -> D {
             return std::make_unique<ValueListDialog>(kValueModeSquelch, 4, PagesInUse{}, PairsOn{});
         }},
        {"CtcssList", [](DialogWorld&) -> D { return std::make_unique<ToneListDialog>(false, 4, 3, 208); }},
        {"DcsList", [](DialogWorld&) -> D { return std::make_unique<ToneListDialog>(true, 5, 3, 208); }},
        {"Transfer", [](DialogWorld&) -> D {
             // The worker runs until the dialog goes: a worker that ended at once would close the dialog
             // before a slow machine had shown it.
             auto stop = std::make_shared<std::atomic<bool>>(false);
             return std::make_unique<TransferDialog>(
                 TransferKind::Upload,
                 [stop] {
                     while (!stop->load())
                         std::this_thread::sleep_for(std::chrono::milliseconds(5));
                 },
                 [stop] { stop->store(true); });
         }},
        {"Dump", [](DialogWorld& w) -> D { return std::make_unique<DumpDialog>(w.doc); }},
        {"GetStarted", [](DialogWorld&) -> D { return std::make_unique<GuideDialog>(GuideMode::GetStarted); }},
        {"About", [](DialogWorld&) -> D { return std::make_unique<AboutDialog>(); }},
    };
}

} // namespace rt62::test
