#include "gui/dialogs/signaling_commands.h"

#include "gui/dialogs/signaling_ani_dialog.h"
#include "gui/dialogs/signaling_page_dialogs.h"
#include "gui/dialogs/signaling_twotone_dialogs.h"
#include "core/image/document.h"
#include "core/image/model.h"

namespace rt62 {
namespace {

// The image must agree with the channel grid (and carry a current checksum) before a dialog reads it.
// A decode afterwards is not wanted: page and pair references the dialogs clear are cleared in the
// channel table and in the image together.
template <class Dialog>
RefreshKind RunSignaling(QWidget* parent, CRT62MDoc& doc, RefreshKind after) {
    NormalizeImage(doc.Model());
    Dialog dialog(doc, parent);
    dialog.exec();
    return after;
}

}  // namespace

RefreshKind RunAniDialog(QWidget* parent, CRT62MDoc& doc) {
    return RunSignaling<AniDialog>(parent, doc, RefreshKind::None);
}

RefreshKind RunPageSettingDialog(QWidget* parent, CRT62MDoc& doc) {
    return RunSignaling<PageSettingDialog>(parent, doc, RefreshKind::None);
}

RefreshKind RunPagingCodeDialog(QWidget* parent, CRT62MDoc& doc) {
    return RunSignaling<PagingCodeDialog>(parent, doc, RefreshKind::Grid);
}

RefreshKind RunTwoToneDialog(QWidget* parent, CRT62MDoc& doc) {
    return RunSignaling<TwoToneParametersDialog>(parent, doc, RefreshKind::None);
}

RefreshKind RunTwoToneTableDialog(QWidget* parent, CRT62MDoc& doc) {
    return RunSignaling<TwoToneTableDialog>(parent, doc, RefreshKind::Grid);
}

}  // namespace rt62
