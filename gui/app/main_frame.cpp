#include "gui/app/main_frame.h"
#include "gui/common/file_paths.h"

#include "core/app/session.h"
#include "core/app/setting_forms.h"

#include "gui/app/about_dialogs.h"
#include "gui/app/config_dialog.h"
#include "gui/app/language_menu.h"
#include "gui/common/help_window.h"
#include "gui/common/qt_prompter.h"
#include "gui/app/text_forms.h"
#include "gui/dialogs/param_dialog.h"
#include "gui/dialogs/signaling_commands.h"
#include "gui/editor/document_history.h"
#include "gui/editor/form_view.h"
#include "gui/editor/grid_editing.h"
#include "gui/editor/visible_dialog.h"
#include "core/image/document.h"
#include "core/image/model.h"
#include "core/image/text_strings.h"
#include "gui/link/fleet_dialog.h"
#include "gui/link/transfer.h"
#include "gui/report/report_printer.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QScreen>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>

namespace rt62 {
namespace {

// One row of the command table: id, the string id of its menu text and every key bound to it.
struct CommandDef {
    int id;
    int text;
    const char* keys; // ";"-separated key sequences, portable text
    const char* icon; // toolbar image under :/icons, or nullptr
};

constexpr CommandDef kCommands[] = {
    {cmd::New, 4910, "Ctrl+N", "new"},
    {cmd::Open, 4911, "Ctrl+O", "open"},
    {cmd::Save, 4912, "Ctrl+S", "save"},
    {cmd::SaveAs, 4913, "", nullptr},
    {cmd::Print, 4917, "Ctrl+P", "print"},
    {cmd::PrintPreview, 4918, "", nullptr},
    {cmd::PrintSetup, 4919, "", nullptr},
    {cmd::Configure, 4920, "", nullptr},
    {cmd::Exit, 4921, "", nullptr},
    {cmd::Copy, 4925, "Ctrl+C;Ctrl+Ins", "copy"},
    {cmd::Paste, 4926, "Ctrl+V;Shift+Ins", "paste"},
    {cmd::Cut, 4927, "Ctrl+X;Shift+Del", nullptr},
    {cmd::Undo, 4923, "Ctrl+Z;Alt+Backspace", "undo"},
    {cmd::Redo, 4924, "Ctrl+Y;Ctrl+Shift+Z", "redo"},
    {cmd::ViewToolbar, 4928, "", nullptr},
    {cmd::ViewStatusBar, 4929, "", nullptr},
    {cmd::ItemVisible, 4930, "", nullptr},
    {32800, 4931, "", nullptr},
    {32801, 4932, "", nullptr},
    {32802, 4933, "", nullptr},
    {32803, 4934, "", nullptr},
    {32804, 4935, "", nullptr},
    {32805, 4936, "", nullptr},
    {32806, 4937, "", nullptr},
    {32807, 4938, "", nullptr},
    {32808, 4939, "", nullptr},
    {32809, 4940, "", nullptr},
    {32810, 4941, "", nullptr},
    {32811, 4942, "", nullptr},
    {32812, 4943, "", nullptr},
    {32813, 4944, "", nullptr},
    {32814, 4945, "", nullptr},
    {cmd::Hardware, 4946, "", nullptr},
    {cmd::Option, 4947, "", nullptr},
    {cmd::Scanning, 4948, "", nullptr},
    {cmd::PowerSaving, 4949, "", nullptr},
    {cmd::KeyFunction, 4950, "", nullptr},
    {cmd::Marketing, 4951, "", nullptr},
    {cmd::Miscellaneous, 4952, "", nullptr},
    {cmd::AniSpeedDial, 4953, "", nullptr},
    {cmd::PagingSetting, 4954, "", nullptr},
    {cmd::PageCode, 4955, "", nullptr},
    {cmd::TwoTone, 4956, "", nullptr},
    {cmd::TwoToneTable, 4957, "", nullptr},
#ifdef RT62_HAVE_YAML
    {cmd::Export, 4914, "", nullptr},
    {cmd::Import, 4915, "", nullptr},
    {cmd::CompareFile, 4916, "", nullptr},
    {cmd::CompareRadio, 4961, "", nullptr},
#endif
    {cmd::Upload, 4958, "", nullptr},
    {cmd::Download, 4959, "", nullptr},
    {cmd::ProgramFleet, 4960, "", nullptr},
    {cmd::UploadButton, 4962, "", "upload"},
    {cmd::DownloadButton, 4963, "", "download"},
    {cmd::ChannelType, 4964, "", nullptr},
    {cmd::HelpTopics, 4965, "", nullptr},
    {cmd::HelpTopicsButton, 4969, "", "help"},
    {cmd::GetStarted, 4966, "", nullptr},
    {cmd::CommonProblems, 4967, "", nullptr},
    {cmd::About, 4968, "", nullptr},
    {cmd::Help, 4970, "F1", nullptr},
    {cmd::ShiftF1, 4971, "Shift+F1", nullptr},
    {cmd::NextPane, 4972, "F6", nullptr},
    {cmd::PrevPane, 4973, "Shift+F6", nullptr},
};

// Menus in order; 0 is a separator, -1 the recent-file entries, -2 the Item submenu, -3 the Language submenu.
struct MenuDef {
    int title; // string id
    std::initializer_list<int> ids;
};

#ifdef RT62_HAVE_YAML
#define RT62_TEXT_FILE_ITEMS cmd::Export, cmd::Import, cmd::CompareFile, 0,
#define RT62_TEXT_RADIO_ITEMS , 0, cmd::CompareRadio
#else
#define RT62_TEXT_FILE_ITEMS
#define RT62_TEXT_RADIO_ITEMS
#endif

const MenuDef kMenus[] = {
    {4900,
     {cmd::New, cmd::Open, cmd::Save, cmd::SaveAs, 0, RT62_TEXT_FILE_ITEMS cmd::Print, cmd::PrintPreview,
      cmd::PrintSetup, 0, cmd::Configure, 0, -1, 0, cmd::Exit}},
    {4901, {cmd::Undo, cmd::Redo, 0, cmd::Copy, cmd::Paste}},
    {4902, {cmd::ViewToolbar, cmd::ViewStatusBar, 0, -2, 0, -3}},
    {4903,
     {cmd::Hardware, cmd::Option, cmd::Scanning, cmd::PowerSaving, cmd::KeyFunction, cmd::Marketing,
      cmd::Miscellaneous}},
    {4904, {cmd::AniSpeedDial, cmd::PagingSetting, cmd::PageCode, cmd::TwoTone, cmd::TwoToneTable}},
    {4905, {cmd::Upload, cmd::Download, 0, cmd::ProgramFleet RT62_TEXT_RADIO_ITEMS}},
    {4906, {cmd::ChannelType}},
    {4907, {cmd::HelpTopics, 0, cmd::GetStarted, cmd::CommonProblems, 0, cmd::About}},
};

constexpr int kToolBarIds[] = {cmd::New,
                               cmd::Open,
                               0,
                               cmd::Save,
                               0,
                               cmd::Copy,
                               cmd::Paste,
                               0,
                               cmd::Undo,
                               cmd::Redo,
                               0,
                               cmd::Print,
                               0,
                               cmd::UploadButton,
                               cmd::DownloadButton,
                               0,
                               cmd::HelpTopicsButton};

QList<QKeySequence> KeysOf(const char* keys) {
    QList<QKeySequence> out;
    for (const QString& k : QString::fromLatin1(keys).split(QLatin1Char(';'), Qt::SkipEmptyParts))
        out << QKeySequence::fromString(k, QKeySequence::PortableText);
    return out;
}

enum FrameText {
    kStrEditMenu = 4901,   // "&Edit"
    kStrFileFilter = 5006, // "RT62M Files(*.R62)"
    kStrRecentFile = 4922, // "Recent File"
    kStrItemMenu = 4908,   // "&Item"
    kStrToolBar = 4974,    // "Standard"
    kStrSaveAsTitle = 4997,
    kStrOpenTitle = 4998,
    kStrPrintSetupTitle = 4999,
};

enum FrameString {
    kStrUndoEntry = 4200, // "&Undo %1"
    kStrRedoEntry = 4201, // "&Redo %1"
};

// The step name of a dialog command: its menu text without the mnemonic ("Scanning", "2-Tone Table").
QString CommandStepName(int id) {
    for (const CommandDef& def : kCommands)
        if (def.id == id)
            return QString::fromStdString(WithoutMnemonicMark(TableText(def.text).toStdString()));
    return {};
}

// The one file a drop may carry: a local .R62 file (the extension in any case), else empty.
QString DroppedDataFile(const QMimeData* mime) {
    if (!mime || !mime->hasUrls() || mime->urls().size() != 1) return {};
    const QUrl url = mime->urls().front();
    if (!url.isLocalFile()) return {};
    const QString path = url.toLocalFile();
    return QFileInfo(path).suffix().compare(QLatin1String("R62"), Qt::CaseInsensitive) == 0 ? path
                                                                                            : QString();
}

} // namespace

QString ClockText(const QTime& time) {
    return QString::asprintf(" %i:%02i", time.hour(), time.minute());
}

QString FrameTitle(const std::string& documentTitle, bool serviceMode) {
    // The service title is the first field of the document template string.
    const QString appTitle = serviceMode ? TableText(128).section(QLatin1Char('\n'), 0, 0) : TableText(1007);
    // A "[*]" inside a file name is doubled, so it shows as it is and does not become the mark.
    QString document = QString::fromStdString(documentTitle);
    document.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    return document + QStringLiteral("[*] - ") + appTitle;
}

QSize InnerFrameSize(QSize outer, const QMargins& frame) {
    return {outer.width() - frame.left() - frame.right(), outer.height() - frame.top() - frame.bottom()};
}

QSize OuterFrameSize(QSize inner, const QMargins& frame) {
    return {inner.width() + frame.left() + frame.right(), inner.height() + frame.top() + frame.bottom()};
}

CMainFrame::CMainFrame(FrameContext ctx, QWidget* parent) : QMainWindow(parent), ctx_(std::move(ctx)) {
    setObjectName(QStringLiteral("mainFrame"));
    EnsureResources();
    setWindowIcon(QIcon(QStringLiteral(":/icons/rt62mwin.xpm")));
    // Until the window manager has framed the window, its margins are unknown (zero): the outer size is
    // applied again once they are (see event()).
    outerSize_ = ctx_.ini.frameSize();
    applyFrameSize();
    setAcceptDrops(true);

    if (!ctx_.settings.printerName.isEmpty()) {
        const QPrinterInfo info = QPrinterInfo::printerInfo(ctx_.settings.printerName);
        if (!info.isNull()) printer_.setPrinterName(info.printerName());
    }

    view_ = new CRT62MView(doc(), ctx_.settings, this);
    view_->setObjectName(QStringLiteral("formView"));
    setCentralWidget(view_);
    history_ = new DocumentHistory(ctx_.session.History(), this);
    view_->setHistory(history_);

    createActions();
    createMenus();
    createToolBar();
    createStatusBar();
    installHandlers();
    recent_ = ctx_.ini.recentFiles();
    updateRecentMenu();
    view_->setEditMenu(editMenu_);

    // A Save or a default file written redraws in place; new contents are refreshed by what the
    // session's call returns.
    doc().SetUpdateViews([this] {
        updateTitle();
        view_->RebuildGrid();
    });
    connect(history_, &DocumentHistory::modifiedChanged, this, &CMainFrame::updateTitle);
    connect(history_, &DocumentHistory::stateRestored, this, [this] {
        view_->RebuildGrid();
        updateTitle();
    });
    connect(history_, &DocumentHistory::stepsChanged, this, &CMainFrame::updateUndoActions);
    updateUndoActions();
    history_->reset(); // whatever was loaded before the window existed counts as saved
    updateTitle();

    connect(&timer_, &QTimer::timeout, this, &CMainFrame::updateClock);
    timer_.start(1000);
    updateClock();

    qApp->installEventFilter(this);
    // F1 in the parameter dialogs opens the same help window.
    ParamDialog::HelpHook() = [](int topic) { ShowHelp(topic); };

    // Centred on the screen the window will appear on.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect r = frameGeometry();
        r.moveCenter(screen->availableGeometry().center());
        move(r.topLeft());
    }
}

CMainFrame::~CMainFrame() {
    qApp->removeEventFilter(this);
    doc().SetUpdateViews({});
    saveOnExit();
    // The children's signals (the history, the view) would otherwise reach this frame
    // while QWidget's destructor deletes them, when only a QWidget is left of it.
    const QList<QObject*> children = findChildren<QObject*>();
    for (QObject* child : children)
        child->disconnect(this);
}

void CMainFrame::saveOnExit() {
    if (saved_) return;
    saved_ = true;
    timer_.stop();
    ctx_.ini.writeFrame(ctx_.settings, OuterFrameSize(size(), frameMargins()));
    ctx_.ini.writeItems(ctx_.settings);
}

QAction* CMainFrame::action(int id) const {
    auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

void CMainFrame::trigger(int id) {
    auto it = handlers_.find(id);
    if (it != handlers_.end() && it->second) it->second();
}

void CMainFrame::setHandler(int id, std::function<void()> handler) {
    handlers_[id] = std::move(handler);
}

void CMainFrame::setRefreshCommand(int id, RefreshCommand command) {
    setHandler(id, [this, id, command = std::move(command)] {
        // What the dialog changed is one step, named after its menu entry.
        RefreshKind kind = RefreshKind::None;
        finishEditing();
        history_->record(CommandStepName(id), [&] { kind = command(this); });
        // The column choice is kept whatever the Visible dialog ended with.
        if (id == cmd::ItemVisible) ctx_.ini.writeItems(ctx_.settings);
        refresh(kind);
    });
}

void CMainFrame::createActions() {
    for (const CommandDef& def : kCommands) {
        auto* a = new QAction(TableText(def.text), this); // Qt shows the shortcut itself
        a->setProperty("commandId", def.id);
        a->setObjectName(QStringLiteral("command%1").arg(def.id));
        a->setShortcuts(KeysOf(def.keys));
        a->setShortcutContext(Qt::WindowShortcut);
        if (def.icon) a->setIcon(QIcon(QStringLiteral(":/icons/%1.xpm").arg(QLatin1String(def.icon))));
        const QString status = PromptPart(def.id, 0);
        const QString tip = PromptPart(def.id, 1);
        if (!status.isEmpty()) a->setStatusTip(status);
        if (!tip.isEmpty()) a->setToolTip(tip);
        const int id = def.id;
        connect(a, &QAction::triggered, this, [this, id] { trigger(id); });
        addAction(a); // keys work even for actions that are in no menu
        actions_[def.id] = a;
    }
    for (int id = cmd::ItemFirst; id <= cmd::ItemLast; ++id)
        action(id)->setCheckable(true);
    action(cmd::ViewToolbar)->setCheckable(true);
    action(cmd::ViewStatusBar)->setCheckable(true);
    for (int i = 0; i < kRecentFileCount; ++i) {
        auto* a = new QAction(this);
        a->setProperty("commandId", cmd::RecentFile1 + i);
        a->setObjectName(QStringLiteral("command%1").arg(cmd::RecentFile1 + i));
        a->setStatusTip(PromptPart(cmd::RecentFile1 + i, 0));
        connect(a, &QAction::triggered, this, [this, i] { onOpenRecent(i); });
        actions_[cmd::RecentFile1 + i] = a;
    }
}

void CMainFrame::createMenus() {
    for (const MenuDef& m : kMenus) {
        QMenu* menu = menuBar()->addMenu(TableText(m.title));
        if (m.title == kStrEditMenu) editMenu_ = menu;
        for (int id : m.ids) {
            if (id == 0) {
                menu->addSeparator();
            } else if (id == -1) {
                recentMenu_ = menu; // entries are inserted before the separator that follows
                for (int i = 0; i < kRecentFileCount; ++i)
                    menu->addAction(action(cmd::RecentFile1 + i));
            } else if (id == -2) {
                QMenu* item = menu->addMenu(TableText(kStrItemMenu));
                item->addAction(action(cmd::ItemVisible));
                item->addSeparator();
                for (int c = cmd::ItemFirst; c <= cmd::ItemLast; ++c)
                    item->addAction(action(c));
                connect(item, &QMenu::aboutToShow, this, &CMainFrame::updateItemChecks);
            } else if (id == -3) {
                AddLanguageMenu(menu, ctx_.settings, ctx_.ini, ctx_.prompter);
            } else {
                menu->addAction(action(id));
            }
        }
    }
}

void CMainFrame::createToolBar() {
    toolBar_ = addToolBar(TableText(kStrToolBar));
    toolBar_->setObjectName(QStringLiteral("toolBar"));
    toolBar_->setIconSize(QSize(18, 15));
    toolBar_->setMovable(true);
    toolBar_->setFloatable(true);
    toolBar_->setAllowedAreas(Qt::AllToolBarAreas);
    for (int id : kToolBarIds) {
        if (id == 0)
            toolBar_->addSeparator();
        else
            toolBar_->addAction(action(id));
    }
    QAction* view = action(cmd::ViewToolbar);
    view->setChecked(true);
    connect(view, &QAction::toggled, toolBar_, &QToolBar::setVisible);
    connect(toolBar_, &QToolBar::visibilityChanged, view, &QAction::setChecked);
}

void CMainFrame::createStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("statusBar"));
    // A normal widget: a prompt shown while a menu item is hovered covers it, and it returns after.
    idle_ = new QLabel(TableText(57345), bar);
    idle_->setObjectName(QStringLiteral("idlePane"));
    bar->addWidget(idle_, 1);
    const int ids[3] = {59137, 59138, 59139};
    for (int i = 0; i < 3; ++i) {
        indicators_[i] = new QLabel(TableText(ids[i]), bar);
        indicators_[i]->setObjectName(QStringLiteral("indicator%1").arg(ids[i]));
        indicators_[i]->setEnabled(false); // shown greyed until the key is known to be on
        bar->addPermanentWidget(indicators_[i]);
    }
    clock_ = new QLabel(QStringLiteral("00:00"), bar);
    clock_->setObjectName(QStringLiteral("pane59142"));
    // 30 pixels as the pane always was, or wider where the font needs it.
    clock_->setMinimumWidth(
        std::max(30, clock_->fontMetrics().horizontalAdvance(QStringLiteral(" 00:00")) + 6));
    bar->addPermanentWidget(clock_);

    QAction* view = action(cmd::ViewStatusBar);
    view->setChecked(true);
    connect(view, &QAction::toggled, bar, &QStatusBar::setVisible);
}

void CMainFrame::installHandlers() {
    setHandler(cmd::New, [this] { onNew(); });
    setHandler(cmd::Open, [this] { onOpen(); });
    setHandler(cmd::Save, [this] { onSave(); });
    setHandler(cmd::SaveAs, [this] { onSaveAs(); });
    setHandler(cmd::Print, [this] {
        RunPrint(this, printer_, doc(), ctx_.settings);
        view_->RefreshInfoPanel(); // the printer's name
    });
    setHandler(cmd::PrintPreview,
               [this] {
                   RunPrintPreview(this, printer_, doc(), ctx_.settings);
                   view_->RefreshInfoPanel();
               });
    setHandler(cmd::PrintSetup, [this] { onPrintSetup(); });
    setHandler(cmd::Configure, [this] { onConfigure(); });
    setHandler(cmd::Exit, [this] { close(); });
    setHandler(cmd::Copy, [this] { onCopy(); });
    setHandler(cmd::Paste, [this] { onPaste(); });
    setHandler(cmd::Undo, [this] {
        finishEditing();
        history_->undo();
    });
    setHandler(cmd::Redo, [this] {
        finishEditing();
        history_->redo();
    });
    for (int i = 0; i < kColumnItemCount; ++i)
        setHandler(cmd::ItemFirst + i, [this, i] { onToggleItem(i); });
    setHandler(cmd::Upload, [this] { onTransfer(true); });
    setHandler(cmd::UploadButton, [this] { onTransfer(true); });
    setHandler(cmd::Download, [this] { onTransfer(false); });
    setHandler(cmd::DownloadButton, [this] { onTransfer(false); });
    setHandler(cmd::ProgramFleet, [this] { onProgramFleet(); });
#ifdef RT62_HAVE_YAML
    for (int id : {cmd::Export, cmd::Import, cmd::CompareFile, cmd::CompareRadio})
        setHandler(id, [this, id] { onTextCommand(id); });
#endif
    setHandler(cmd::HelpTopics, [] { ShowHelp(kHelpContents); });
    setHandler(cmd::HelpTopicsButton, [] { ShowHelp(kHelpContents); });
    setHandler(cmd::Help, [this] { onContextHelp(); });
    setHandler(cmd::GetStarted, [this] { GuideDialog(GuideMode::GetStarted, this).exec(); });
    setHandler(cmd::CommonProblems, [this] {
        GuideDialog(GuideMode::CommonProblems, this, ctx_.settings.backupFolderInUse()).exec();
    });
    setHandler(cmd::About, [this] { AboutDialog(this).exec(); });
    // Cut, Shift+F1 and the pane keys are bound but do nothing, as they always did.

    // The dialogs of the Common, Signaling, View / Item and Channel menus: one line each. The dialogs
    // keep the image and the sections in step themselves (normalize before, decode after).
    CRT62MDoc& doc = this->doc();
    AppSettings& settings = ctx_.settings;
    Prompter& prompter = ctx_.prompter;
    setRefreshCommand(cmd::Hardware,
                      [&](QWidget* p) { return RunHardwareDialog(p, doc, settings.serviceMode, prompter); });
    setRefreshCommand(cmd::Option, [&](QWidget* p) { return RunOptionDialog(p, doc); });
    setRefreshCommand(cmd::Scanning, [&](QWidget* p) { return RunScanningDialog(p, doc); });
    setRefreshCommand(cmd::PowerSaving, [&](QWidget* p) { return RunPowerSavingDialog(p, doc); });
    setRefreshCommand(cmd::KeyFunction, [&](QWidget* p) { return RunKeyFunctionDialog(p, doc); });
    setRefreshCommand(cmd::Marketing,
                      [&](QWidget* p) { return RunMarketingDialog(p, doc, settings.serviceMode); });
    setRefreshCommand(cmd::Miscellaneous, [&](QWidget* p) { return RunMiscellaneousDialog(p, doc); });
    setRefreshCommand(cmd::AniSpeedDial, [&](QWidget* p) { return RunAniDialog(p, doc); });
    setRefreshCommand(cmd::PagingSetting, [&](QWidget* p) { return RunPageSettingDialog(p, doc); });
    setRefreshCommand(cmd::PageCode, [&](QWidget* p) { return RunPagingCodeDialog(p, doc); });
    setRefreshCommand(cmd::TwoTone, [&](QWidget* p) { return RunTwoToneDialog(p, doc); });
    setRefreshCommand(cmd::TwoToneTable, [&](QWidget* p) { return RunTwoToneTableDialog(p, doc); });
    setRefreshCommand(cmd::ChannelType, [&](QWidget* p) { return RunChannelTypeDialog(p, doc); });
    setRefreshCommand(cmd::ItemVisible, [&](QWidget* p) {
        return RunVisibleDialog(settings, p) ? RefreshKind::Grid : RefreshKind::None;
    });
}

void CMainFrame::refresh(RefreshKind kind) {
    // A band change has already loaded the band's default file; the grid and the title follow it.
    switch (kind) {
    case RefreshKind::None:
        break;
    case RefreshKind::Grid:
        view_->RebuildGrid();
        break;
    case RefreshKind::InfoPanel:
        view_->RefreshInfoPanel();
        break;
    case RefreshKind::BandChanged:
    case RefreshKind::Contents:
        view_->FullRefresh();
        break;
    }
    updateTitle();
}

void CMainFrame::updateTitle() {
    setWindowTitle(FrameTitle(doc().Title(), ctx_.settings.serviceMode));
    setWindowModified(doc().IsModified());
}

void CMainFrame::updateUndoActions() {
    const std::pair<QAction*, bool> entries[] = {{action(cmd::Undo), true}, {action(cmd::Redo), false}};
    for (const auto& [a, undo] : entries) {
        const bool can = undo ? history_->canUndo() : history_->canRedo();
        const QString step = undo ? history_->undoText() : history_->redoText();
        a->setEnabled(can);
        a->setText(TableText(undo ? kStrUndoEntry : kStrRedoEntry, {can ? step.toStdString() : std::string()})
                       .trimmed());
    }
}

QMargins CMainFrame::frameMargins() const {
    const QRect inner = geometry();
    const QRect outer = frameGeometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

void CMainFrame::applyFrameSize() {
    const QMargins margins = frameMargins();
    // The smallest window is 750 x 540 outside, as the settings rule says.
    setMinimumSize(InnerFrameSize(QSize(kMinFrameWidth, kMinFrameHeight), margins));
    resize(InnerFrameSize(outerSize_, margins));
}

CRT62MDoc& CMainFrame::doc() const {
    return ctx_.session.Document();
}

void CMainFrame::syncSession() {
    ctx_.session.Settings() = ctx_.settings.sessionSettings();
}

void CMainFrame::updateClock() {
    clock_->setText(ClockText(QTime::currentTime()));
}

void CMainFrame::updateItemChecks() {
    // Checked for any non-zero value, although only 1 shows the columns.
    for (int i = 0; i < kColumnItemCount; ++i)
        action(cmd::ItemFirst + i)->setChecked(ctx_.settings.items[static_cast<size_t>(i)] != 0);
}

void CMainFrame::updateRecentMenu() {
    for (int i = 0; i < kRecentFileCount; ++i) {
        QAction* a = action(cmd::RecentFile1 + i);
        if (i < recent_.size()) {
            QString shown = recent_[i];
            shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
            a->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
            a->setVisible(true);
            a->setEnabled(true);
        } else if (i == 0) {
            a->setText(TableText(kStrRecentFile));
            a->setVisible(true);
            a->setEnabled(false);
        } else {
            a->setVisible(false);
        }
    }
}

void CMainFrame::addRecent(const std::string& path) {
    if (path.empty() || path == kNoPath) return;
    // Kept and shown in the system's spelling (C:\Radios\x.r62 on Windows).
    recent_ = AddRecentFile(recent_, QDir::toNativeSeparators(QFileInfo(QString::fromStdString(path)).absoluteFilePath()));
    ctx_.ini.writeRecentFiles(recent_);
    updateRecentMenu();
}

std::optional<std::string> CMainFrame::chooseSavePath() {
    if (saveAsChooser_) return saveAsChooser_();
    QFileDialog dlg(this, TableText(kStrSaveAsTitle));
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setNameFilter(TableText(kStrFileFilter));
    dlg.setDefaultSuffix(QStringLiteral("R62"));
    if (doc().HasFile()) dlg.selectFile(QString::fromStdString(doc().CurrentPath()));
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return std::nullopt;
    return NativePath(dlg.selectedFiles().front());
}

void CMainFrame::onNew() {
    refresh(ctx_.session.New([this] { return chooseSavePath(); }).refresh);
}

void CMainFrame::onOpen() {
    std::optional<std::string> path;
    if (openChooser_) {
        path = openChooser_();
    } else {
        QFileDialog dlg(this, TableText(kStrOpenTitle));
        dlg.setAcceptMode(QFileDialog::AcceptOpen);
        dlg.setFileMode(QFileDialog::ExistingFile);
        dlg.setNameFilter(TableText(kStrFileFilter));
        dlg.setDefaultSuffix(QStringLiteral("R62"));
        if (dlg.exec() == QDialog::Accepted && !dlg.selectedFiles().isEmpty())
            path = NativePath(dlg.selectedFiles().front());
    }
    if (path) openFile(*path);
}

void CMainFrame::openFile(const std::string& path) {
    const Outcome opened = ctx_.session.Open(path, [this] { return chooseSavePath(); });
    if (opened.ok) addRecent(path);
    refresh(opened.refresh);
}

void CMainFrame::onOpenRecent(int index) {
    if (index >= recent_.size()) return;
    const std::string path = NativePath(recent_[index]);
    const Outcome opened = ctx_.session.Open(path, [this] { return chooseSavePath(); });
    if (opened.ok) {
        addRecent(path);
    } else if (CRT62MDoc::ProbeOpenFile(path) != OpenProbe::Ok) {
        // A file that is gone or unusable leaves the list, as the list always did.
        recent_.removeAt(index);
        ctx_.ini.writeRecentFiles(recent_);
        updateRecentMenu();
    }
    refresh(opened.refresh);
}

void CMainFrame::finishEditing() {
    GridEditing* editing = view_->editing();
    if (!editing || !editing->isEditing()) return;
    // The focus goes back to the grid as after Enter; an inactive window commits nothing by that.
    view_->grid()->setFocus(Qt::OtherFocusReason);
    editing->CommitEditor();
}

void CMainFrame::onSave() {
    finishEditing();
    // A document without a file (after an Upload) asks for a name, as any untitled document does.
    if (!doc().HasFile()) return onSaveAs();
    ctx_.session.Save();
    updateTitle();
}

void CMainFrame::onSaveAs() {
    finishEditing();
    const std::optional<std::string> path = chooseSavePath();
    if (!path) return;
    if (ctx_.session.SaveAs(*path).ok) addRecent(*path);
    updateTitle();
}

void CMainFrame::onPrintSetup() {
    QPrintDialog dlg(&printer_, this);
    dlg.setWindowTitle(TableText(kStrPrintSetupTitle));
    dlg.setOption(QAbstractPrintDialog::PrintSelection, false);
    dlg.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dlg.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dlg.exec();
    // Whatever the dialog ended with, the panel shows the printer now in use.
    ctx_.settings.printerName =
        printer_.outputFormat() == QPrinter::NativeFormat ? printer_.printerName() : QString();
    view_->RefreshInfoPanel();
}

void CMainFrame::onConfigure() {
    ConfigurationDialog dlg(ctx_.settings, ctx_.portControl, ctx_.prompter, SystemSerialPorts(), this);
    dlg.exec();
    refresh(RefreshKind::InfoPanel);
}

void CMainFrame::onCopy() {
    // The grid or its in-place editor copy when they have the focus; elsewhere nothing happens.
    if (GridEditing* editing = view_->editing()) editing->Copy();
}

void CMainFrame::onPaste() {
    if (GridEditing* editing = view_->editing()) editing->Paste();
}

void CMainFrame::onToggleItem(int item) {
    if (GridEditing* editing = view_->editing()) editing->ToggleColumnItem(item);
    updateItemChecks();
}

void CMainFrame::onTransfer(bool upload) {
    finishEditing();
    syncSession();
    refresh(RunTransfer(upload ? TransferKind::Upload : TransferKind::Download, ctx_.session, ctx_.prompter, this)
                .refresh);
}

void CMainFrame::onProgramFleet() {
    finishEditing();
    syncSession();
    // The document is the template and stays as it is: no undo step; only a save may happen first.
    RunProgramFleet(ctx_.session, ctx_.prompter, this, [this] { onSave(); });
    updateTitle();
}

void CMainFrame::onTextCommand([[maybe_unused]] int id) {
#ifdef RT62_HAVE_YAML
    std::optional<TextChoice> choice;
    if (id != cmd::CompareRadio) {
        if (textChooser_) {
            if (const auto path = textChooser_(id)) {
                const bool csv =
                    QFileInfo(QString::fromStdString(*path)).suffix().compare("csv", Qt::CaseInsensitive) ==
                    0;
                choice = TextChoice{*path, csv ? TextKind::Csv : TextKind::Yaml};
            }
        } else if (id == cmd::CompareFile) {
            if (const auto path = ChooseCompareFile(this)) choice = TextChoice{*path, TextKind::Yaml};
        } else {
            choice = ChooseTextFile(this, id == cmd::Export);
        }
        if (!choice) return;
    }
    Session& session = ctx_.session;
    switch (id) {
    case cmd::Export:
        session.Export(choice->path, choice->kind);
        break;
    case cmd::Import: {
        const ImportOutcome imported =
            session.Import(choice->path, choice->kind, [this] { return chooseSavePath(); });
        refresh(imported.refresh);
        if (!imported.skippedRows.empty())
            ShowMessage2(ctx_.prompter, kStrImportSkipped, Buttons::Ok, Icon::Exclamation, imported.skippedSummary,
                         imported.skippedRows);
        break;
    }
    case cmd::CompareFile:
        ShowComparison(this, ctx_.prompter, view_, TableText(kStrCompareFileHead, {FileNameOfPath(choice->path)}),
                       session.CompareWithFile(choice->path));
        break;
    case cmd::CompareRadio: {
        syncSession();
        const TransferEnd read = RunTransfer(TransferKind::ReadRadio, session, ctx_.prompter, this);
        refresh(read.refresh);
        if (read.radioImage)
            ShowComparison(this, ctx_.prompter, view_, TableText(kStrCompareRadioHead),
                           session.CompareWithRadio(*read.radioImage));
        break;
    }
    }
    updateTitle();
#endif
}

int CMainFrame::helpContext() const {
    // Over the menu, the toolbar or the status bar the contents answer.
    for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget()) {
        if (w == view_) return view_->helpContext();
        if (w == toolBar_ || w == statusBar() || w == menuBar()) break;
    }
    return kHelpContents;
}

void CMainFrame::onContextHelp() {
    ShowHelp(helpContext());
}

void CMainFrame::bringToFront() {
    if (isMinimized()) setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
    // The dialog the user last had open comes first, as it would have on its own.
    if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->raise();
        modal->activateWindow();
    }
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    // Asked also while printing or previewing: closing then must not drop unsaved edits.
    if (doc().IsModified() && !doc().AskSaveChanges([this] { return chooseSavePath(); })) {
        event->ignore();
        updateTitle();
        return;
    }
    saveOnExit();
    event->accept();
}

bool CMainFrame::event(QEvent* event) {
    // The window manager's frame arrives after the window is shown; the size is then set once more so
    // that the outside is CX x CY. A size the user has already dragged stays.
    const bool result = QMainWindow::event(event);
    const QEvent::Type t = event->type();
    if (!outerSizeApplied_ && (t == QEvent::Show || t == QEvent::Move || t == QEvent::WindowActivate) &&
        !frameMargins().isNull()) {
        outerSizeApplied_ = true;
        if (size() == InnerFrameSize(outerSize_, QMargins())) applyFrameSize();
    }
    return result;
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (DroppedDataFile(event->mimeData()).isEmpty()) return event->ignore();
    event->acceptProposedAction();
}

void CMainFrame::dragMoveEvent(QDragMoveEvent* event) {
    if (DroppedDataFile(event->mimeData()).isEmpty()) return event->ignore();
    event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    const QString path = DroppedDataFile(event->mimeData());
    if (path.isEmpty()) return event->ignore();
    event->acceptProposedAction();
    // The modal questions of the open come after the drop has ended.
    const std::string file = NativePath(QFileInfo(path).absoluteFilePath());
    QMetaObject::invokeMethod(
        this, [this, file] { openFile(file); }, Qt::QueuedConnection);
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    // Shift+F1 is swallowed before anything else sees it, anywhere in this window.
    const QEvent::Type t = event->type();
    if (t == QEvent::KeyPress || t == QEvent::KeyRelease || t == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        auto* widget = qobject_cast<QWidget*>(watched);
        if (key->key() == Qt::Key_F1 && (key->modifiers() & Qt::ShiftModifier) && widget &&
            widget->window() == this) {
            event->accept(); // an accepted override also stops the shortcut lookup
            return true;
        }
        if (t == QEvent::KeyPress && widget && widget->window() == this) {
            const int k = key->key();
            if (k == Qt::Key_CapsLock) indicators_[0]->setEnabled(!indicators_[0]->isEnabled());
            if (k == Qt::Key_NumLock) indicators_[1]->setEnabled(!indicators_[1]->isEnabled());
            if (k == Qt::Key_ScrollLock) indicators_[2]->setEnabled(!indicators_[2]->isEnabled());
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace rt62
