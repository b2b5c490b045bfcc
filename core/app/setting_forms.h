// The radio-wide settings as the window's dialogs lay them out: which dialog holds which field, under
// which label, and when a field may be changed. The window's dialogs ask here whether a control is
// open to edits; the browser edition builds its forms from the whole table.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/image/model.h"

namespace rt62 {

// What must hold for a field to take edits.
enum class SettingGate {
    Always,
    ServiceMode,  // the hardware and marketing values: service mode only
    KtTrunkBoard, // the KT-Trunk position: with that option board
    PagingBoard,  // paging settings and codes: with the paging board
    PageDecode,   // a page's decode switch: with the paging board, for a page that has a code
    DutyFirmware, // complement and duty: firmware 2.00 and later
};

struct SettingRow {
    std::string path;       // the catalogue field
    int label = 0;          // string id of the label, mnemonic and all; 0: literal holds it
    std::string literal;    // a label the window does not translate ("CH- &1")
    int arg = 0;            // > 0: the label's %1 (the page number), or the pair number after "Pair#"
    SettingGate gate = SettingGate::Always;
};

struct SettingForm {
    int command;  // the menu command that opens the dialog
    int menuText; // string id of that menu entry
    int title;    // string id of the dialog's title
    std::vector<SettingRow> rows;
};

// Every parameter dialog in menu order (Common, Signaling, Channel).
const std::vector<SettingForm>& SettingForms();
// The row of a field, or null when no dialog shows it.
const SettingRow* FindSettingRow(std::string_view path);

// A row's label in the current language: with its & mnemonic, or without it and with blanks tidied
// (how a screen reader and a form without mnemonics show it).
std::string SettingLabel(const SettingRow& row, bool withMnemonic = false);

// A menu entry's or label's text as a name: the mnemonic mark taken out, whether "&Scan" or a letter set
// apart in brackets ("扫描(&S)"), and blanks tidied. Undo steps and the page's forms are named so.
std::string WithoutMnemonicMark(std::string_view text);

// Whether the row's field takes edits for this image.
bool SettingOpen(const SettingRow& row, const ImageModel& model, bool serviceMode);
bool SettingOpen(std::string_view path, const ImageModel& model, bool serviceMode);

// Firmware from which the radio has the complement and duty settings (BCD 2.00).
inline constexpr int kFirstFirmwareWithDuty = 200;

} // namespace rt62
