#include "core/app/setting_forms.h"

#include "core/image/fields.h"
#include "core/image/layout.h"
#include "core/image/sections.h"
#include "core/image/strings.h"

#include <cctype>

namespace rt62 {
namespace {

using G = SettingGate;

SettingRow Row(std::string path, int label, G gate = G::Always) { return {std::move(path), label, {}, 0, gate}; }

std::vector<SettingForm> BuildForms() {
    std::vector<SettingForm> forms;
    forms.push_back({32772, 4946, 4984, {}});
    {
        const char* paths[] = {"radio.band",
                               "hardware.ref_xtal",
                               "hardware.1st_if",
                               "hardware.local_offset",
                               "hardware.channel_step",
                               "hardware.dcs_rx_data",
                               "hardware.dcs_tx_data",
                               "hardware.sql_release_time",
                               "hardware.sql_attack_time",
                               "hardware.sql_hysterisis",
                               "hardware.receive_save_off_time",
                               "hardware.ctcss_release_time"};
        int label = 5050;
        for (const char* p : paths) forms.back().rows.push_back(Row(p, label++, G::ServiceMode));
    }
    forms.push_back({32773, 4947, 4985, {Row("option.option_device", 5075)}});
    forms.push_back({32774, 4948, 4986, {}});
    {
        const char* paths[] = {"dial_scan_position", "priority_channel", "kt_trunk_position", "scan_resume_time_1",
                               "scan_resume_time_2", "dual_watch",       "dual_watch_timer",  "talk_back",
                               "revert_channel",     "scan_speed"};
        int label = 5080;
        for (const char* p : paths) {
            const std::string path = std::string("scanning.") + p;
            forms.back().rows.push_back(
                Row(path, label++, path == "scanning.kt_trunk_position" ? G::KtTrunkBoard : G::Always));
        }
    }
    forms.push_back({32775, 4949, 4987,
                     {Row("power_saving.transmit_timer", 5076), Row("power_saving.penalty_timer", 5077),
                      Row("power_saving.release_timer", 5078), Row("power_saving.receive_save_mode", 5079)}});
    forms.push_back({32776, 4950, 4988, {Row("keys.acc_key_press", 5062), Row("keys.acc_key_press_and_hold", 5063)}});
    forms.push_back({32777, 4951, 4989,
                     {Row("radio.market_application", 5064, G::ServiceMode),
                      Row("radio.serial_number", 5065, G::ServiceMode)}});
    forms.push_back({32778, 4952, 4990, {Row("default_split", 5074)}});
    {
        const char* paths[] = {"beep", "call_times", "squelch_tail_elim", "bell", "lamp_mode", "set_to_set_clone",
                               "external_jack", "auto_reset_time"};
        int label = 5066;
        for (const char* p : paths) forms.back().rows.push_back(Row(std::string("miscellaneous.") + p, label++));
    }
    forms.push_back({32783, 4953, 4991,
                     {Row("ani.ani_transmit", 5090), Row("ani.dtmf_delay", 5091), Row("ani.dtmf_speed", 5092),
                      Row("ani.dtmf_code", 5093)}});
    forms.push_back({32784, 4954, 4992,
                     {Row("paging.dtmf_speed", 5092, G::PagingBoard), Row("paging.answer_back", 5094, G::PagingBoard)}});
    forms.push_back({32785, 4955, 4993, {}});
    for (int k = 1; k <= 10; ++k) {
        const std::string page = "paging.page_" + std::to_string(k);
        SettingRow code = Row(page, k < 10 ? 5095 : 5096, G::PagingBoard);
        if (k < 10) code.arg = k;
        SettingRow decode = code;
        decode.path = page + "_decode";
        decode.gate = G::PageDecode;
        forms.back().rows.push_back(std::move(code));
        forms.back().rows.push_back(std::move(decode));
    }
    forms.push_back({32786, 4956, 4994, {}});
    {
        const char* paths[] = {"primary_group_call", "secondary_group_call", "sencondary_page_pair",
                               "tone_format",        "ctcss_dcs_complement", "duty"};
        int label = 5097;
        for (const char* p : paths) {
            const std::string path = std::string("two_tone.") + p;
            const bool duty = path == "two_tone.ctcss_dcs_complement" || path == "two_tone.duty";
            forms.back().rows.push_back(Row(path, label++, duty ? G::DutyFirmware : G::Always));
        }
    }
    forms.push_back({32787, 4957, 4995, {}});
    for (int k = 1; k <= layout::kTwoTonePairCount; ++k) {
        SettingRow pair = Row("two_tone.pair_" + std::to_string(k), 5103);
        pair.arg = k;
        forms.back().rows.push_back(std::move(pair));
    }
    forms.push_back({32833, 4964, 4996, {}});
    for (int n = 1; n <= 16; ++n) {
        SettingRow type;
        type.path = "channels[" + std::to_string(n) + "].channel_type";
        // The window's labels: a digit for the first nine, a letter from A for the rest.
        type.literal = n < 10 ? "CH- &" + std::to_string(n)
                              : "CH-" + std::to_string(n) + "(&" + static_cast<char>('A' + n - 10) + ")";
        forms.back().rows.push_back(std::move(type));
    }
    return forms;
}

// A page's number from the path of its decode switch ("paging.page_7_decode": 7).
int PageOfDecode(std::string_view path) {
    const std::string_view prefix = "paging.page_";
    int page = 0;
    for (std::size_t i = prefix.size(); i < path.size() && std::isdigit(static_cast<unsigned char>(path[i])); ++i)
        page = page * 10 + (path[i] - '0');
    return page;
}

} // namespace

const std::vector<SettingForm>& SettingForms() {
    static const std::vector<SettingForm> forms = BuildForms();
    return forms;
}

const SettingRow* FindSettingRow(std::string_view path) {
    for (const SettingForm& form : SettingForms())
        for (const SettingRow& row : form.rows)
            if (row.path == path) return &row;
    return nullptr;
}

std::string SettingLabel(const SettingRow& row, bool withMnemonic) {
    std::string text = row.label == 0          ? row.literal
                       : row.label == 5103     ? FormatString(row.label) + std::to_string(row.arg)
                       : row.arg > 0           ? FormatString(row.label, {std::to_string(row.arg)})
                                               : FormatString(row.label);
    return withMnemonic ? text : WithoutMnemonicMark(text);
}

std::string WithoutMnemonicMark(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.substr(i, 2) == "(&" && i + 3 < text.size() && text[i + 3] == ')') {
            i += 3;
            continue;
        }
        if (text[i] == '&' && i + 1 < text.size()) ++i;
        if (text[i] == ' ' && (out.empty() || out.back() == ' ')) continue;
        out += text[i];
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

bool SettingOpen(const SettingRow& row, const ImageModel& model, bool serviceMode) {
    switch (row.gate) {
    case G::Always: return true;
    case G::ServiceMode: return serviceMode;
    case G::KtTrunkBoard: return layout::kOptionKtTrunk.Read(model.image) != 0;
    case G::PagingBoard: return layout::kOptionBoardPaging.Read(model.image) != 0;
    case G::PageDecode: {
        if (layout::kOptionBoardPaging.Read(model.image) == 0) return false;
        PageCodeList pages;
        pages.Decode(model.image);
        const int page = PageOfDecode(row.path);
        return page >= 1 && page <= 10 && !pages.codes[static_cast<std::size_t>(page - 1)].empty();
    }
    case G::DutyFirmware: return ReadFirmwareVersion(model.image) >= kFirstFirmwareWithDuty;
    }
    return false;
}

bool SettingOpen(std::string_view path, const ImageModel& model, bool serviceMode) {
    const SettingRow* row = FindSettingRow(path);
    return row && SettingOpen(*row, model, serviceMode);
}

} // namespace rt62
