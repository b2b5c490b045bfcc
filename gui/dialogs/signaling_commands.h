// The Signaling-menu commands as the main window runs them: bring the image up to date before the
// dialog (no decode after it: the dialogs keep the channel table in step themselves) and report what
// the window must refresh.
#pragma once

#include "gui/dialogs/common_commands.h"

class QWidget;

namespace rt62 {

class CRT62MDoc;

RefreshKind RunAniDialog(QWidget* parent, CRT62MDoc& doc);            // 32783, refresh None
RefreshKind RunPageSettingDialog(QWidget* parent, CRT62MDoc& doc);    // 32784, refresh None
RefreshKind RunPagingCodeDialog(QWidget* parent, CRT62MDoc& doc);     // 32785, refresh Grid
RefreshKind RunTwoToneDialog(QWidget* parent, CRT62MDoc& doc);        // 32786, refresh None
RefreshKind RunTwoToneTableDialog(QWidget* parent, CRT62MDoc& doc);   // 32787, refresh Grid

}  // namespace rt62
