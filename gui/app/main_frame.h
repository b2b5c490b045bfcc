// The main window: menus, toolbar, status bar with clock, the command table and its handlers.
#pragma once

#include "gui/app/ini_settings.h"
#include "gui/dialogs/common_commands.h"

#include <QLabel>
#include <QMainWindow>
#include <QPointer>
#include <QPrinter>
#include <QTime>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

class QAction;
class QMenu;
class QToolBar;

namespace rt62 {

class CRT62MDoc;
class CRT62MView;
class DocumentHistory;
class PortControl;
class Prompter;
class Session;

// Command ids shared between menus, toolbar, prompts and help.
namespace cmd {
inline constexpr int New = 57600, Open = 57601, Save = 57603, SaveAs = 57604, PrintSetup = 57606,
                     Print = 57607, PrintPreview = 57609, RecentFile1 = 57616, Exit = 57665, Copy = 57634,
                     Cut = 57635, Paste = 57637, Undo = 57643, Redo = 57644, HelpTopicsButton = 57664,
                     HelpTopics = 57667, Help = 57670, NextPane = 57680, PrevPane = 57681,
                     ViewToolbar = 59392, ViewStatusBar = 59393;
inline constexpr int Hardware = 32772, Option = 32773, Scanning = 32774, PowerSaving = 32775,
                     KeyFunction = 32776, Marketing = 32777, Miscellaneous = 32778, AniSpeedDial = 32783,
                     PagingSetting = 32784, PageCode = 32785, TwoTone = 32786, TwoToneTable = 32787;
inline constexpr int ItemFirst = 32800, ItemLast = 32814, ItemVisible = 32828, ShiftF1 = 32830;
inline constexpr int Upload = 32820, Download = 32821, UploadButton = 32836, DownloadButton = 32834;
inline constexpr int ChannelType = 32833, GetStarted = 32840, CommonProblems = 32841, About = 32842;
inline constexpr int Configure = 32850;
inline constexpr int ProgramFleet = 32864;
// The text forms (built with yaml-cpp only).
inline constexpr int Export = 32860, Import = 32861, CompareFile = 32862, CompareRadio = 32863;
} // namespace cmd

// A command that runs a dialog (with its own image steps) and says what the window must refresh.
using RefreshCommand = std::function<RefreshKind(QWidget* parent)>;

// Everything the frame works with; owned by the application object (or a test).
struct FrameContext {
    Session& session; // the document, its history, the port
    AppSettings& settings;
    IniSettings ini;
    Prompter& prompter;
    PortControl& portControl;
};

// " %i:%02i" of the local time: a blank, the hour without a leading zero, the minute with two digits.
QString ClockText(const QTime& time);
// Window title: the document title with the desktop's modified mark after it ("[*]", shown while the
// window is marked modified), then string 1007 (or the service title " (M)").
QString FrameTitle(const std::string& documentTitle, bool serviceMode);

// CX and CY in the settings file are the window's outer size, frame included. The window is sized by
// its inside, so both ways go through the frame's margins; with these two a start and an exit give
// back the same numbers whatever the window manager adds.
QSize InnerFrameSize(QSize outer, const QMargins& frame);
QSize OuterFrameSize(QSize inner, const QMargins& frame);

class CMainFrame : public QMainWindow {
    Q_OBJECT
  public:
    explicit CMainFrame(FrameContext ctx, QWidget* parent = nullptr);
    ~CMainFrame() override;

    CRT62MView* view() const { return view_; }
    CRT62MDoc& doc() const;
    // Undo and redo of the document's changes; a command that changes the document runs through it.
    DocumentHistory* history() const { return history_; }
    QAction* action(int id) const;
    // Runs a command as the menu would.
    void trigger(int id);
    // The one place a command id maps to its handler (replace to wire a dialog).
    void setHandler(int id, std::function<void()> handler);
    // The parameter, Visible and Channel Type dialogs: the dialog, then the refresh it asks for.
    void setRefreshCommand(int id, RefreshCommand command);

    // Where Save As and Open get their file names; tests replace the file dialogs.
    using PathChooser = std::function<std::optional<std::string>()>;
    void setSaveAsChooser(PathChooser chooser) { saveAsChooser_ = std::move(chooser); }
    void setOpenChooser(PathChooser chooser) { openChooser_ = std::move(chooser); }
    // Where Export, Import and Compare with File get theirs (by command id; a ".csv" name is a CSV).
    using CommandPathChooser = std::function<std::optional<std::string>(int commandId)>;
    void setTextChooser(CommandPathChooser chooser) { textChooser_ = std::move(chooser); }

    QPrinter& printer() { return printer_; }
    QLabel* clockPane() const { return clock_; }
    QLabel* idlePane() const { return idle_; }
    QToolBar* toolBar() const { return toolBar_; }
    QStringList recentFiles() const { return recent_; }

    // Topic for F1 in the main window: 300 + current grid column, contents over the bars.
    int helpContext() const;
    void updateTitle();
    void updateClock();
    void refresh(RefreshKind kind);
    // A second copy of the program asked for this window.
    void bringToFront();
    // File > Open of a path chosen elsewhere (a dropped file, a second start): the probe, the save
    // question, the load with a fresh history, the recent list.
    void openFile(const std::string& path);

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void createActions();
    void createMenus();
    void createToolBar();
    void createStatusBar();
    void installHandlers();
    void updateItemChecks();
    void updateRecentMenu();
    void addRecent(const std::string& path);
    void saveOnExit();
    void updateUndoActions();
    void applyFrameSize();
    // What the window manager's frame adds around the window on each side (zero before it is framed).
    QMargins frameMargins() const;
    // A frequency still being typed in the grid is stored first (its own undo step), so that a toolbar
    // button or a key that leaves the focus where it is does not act on, or save, the image without it.
    void finishEditing();

    void onNew();
    void onOpen();
    void onOpenRecent(int index);
    void onSave();
    void onSaveAs();
    void onPrintSetup();
    void onConfigure();
    void onCopy();
    void onPaste();
    void onToggleItem(int item);
    void onTransfer(bool upload);
    void onProgramFleet();
    void onContextHelp();
    void onTextCommand(int id);
    std::optional<std::string> chooseSavePath();
    // The settings as the session works with them, taken before each use case that needs them.
    void syncSession();

    FrameContext ctx_;
    CRT62MView* view_ = nullptr;
    DocumentHistory* history_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QMenu* recentMenu_ = nullptr;
    QMenu* editMenu_ = nullptr;
    QLabel* idle_ = nullptr;
    QLabel* clock_ = nullptr;
    QLabel* indicators_[3] = {};
    QTimer timer_;
    QPrinter printer_;
    QStringList recent_;
    std::map<int, QAction*> actions_;
    std::map<int, std::function<void()>> handlers_;
    PathChooser saveAsChooser_;
    PathChooser openChooser_;
    CommandPathChooser textChooser_;
    bool saved_ = false;
    QSize outerSize_; // CX/CY as read, applied once the frame's margins are known
    bool outerSizeApplied_ = false;
};

} // namespace rt62
