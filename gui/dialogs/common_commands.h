// The Common-menu commands and Channel Type as the main window runs them: keep image and sections
// in step around the dialog and report what the window must refresh.
#pragma once

#include "core/app/refresh.h"

class QWidget;

namespace rt62 {

class CRT62MDoc;
class Prompter;

// Command 32772. On a confirmed band change the document's band-change load has already been done
// (LoadBandDefault) when this returns BandChanged; the caller only rebuilds the grid and the title.
RefreshKind RunHardwareDialog(QWidget* parent, CRT62MDoc& doc, bool serviceMode, Prompter& prompter);
RefreshKind RunOptionDialog(QWidget* parent, CRT62MDoc& doc);          // 32773
RefreshKind RunScanningDialog(QWidget* parent, CRT62MDoc& doc);        // 32774
RefreshKind RunPowerSavingDialog(QWidget* parent, CRT62MDoc& doc);     // 32775
RefreshKind RunKeyFunctionDialog(QWidget* parent, CRT62MDoc& doc);     // 32776
RefreshKind RunMarketingDialog(QWidget* parent, CRT62MDoc& doc, bool serviceMode);  // 32777
RefreshKind RunMiscellaneousDialog(QWidget* parent, CRT62MDoc& doc);   // 32778
RefreshKind RunChannelTypeDialog(QWidget* parent, CRT62MDoc& doc);     // 32833

}  // namespace rt62
