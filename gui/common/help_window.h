// The built-in help: HTML topics from the resources, chosen by a numeric context id.
#pragma once

#include <QDialog>
#include <QString>
#include <QUrl>

class QTextBrowser;

namespace rt62 {

// Context ids of the topics that are not dialogs or grid columns.
inline constexpr int kHelpContents = 0;
inline constexpr int kHelpGetStarted = 98376;     // command 32840
inline constexpr int kHelpCommonProblems = 98377; // command 32841
inline constexpr int kHelpConfigure = 98386;      // command 32850
inline constexpr int kHelpGridColumnBase = 300;   // + grid column 0-19
inline constexpr int kHelpDialogBase = 131072;    // + dialog resource id

// Registers the help pages and icons (they live in a static library). Called by everything that uses them.
void EnsureResources();

// The topic page for a context id ("qrc:/help/page.html#anchor"), or an empty URL when the id has none.
QUrl HelpTopicUrl(int context);
bool HasHelpTopic(int context);
// The context ids that have topics of their own (for the contents check).
QList<int> HelpTopicContexts();

class HelpWindow : public QDialog {
    Q_OBJECT
  public:
    explicit HelpWindow(QWidget* parent = nullptr);
    // Shows the topic of context, or the contents when the id has no topic.
    void showTopic(int context);
    QTextBrowser* browser() const { return browser_; }
    int context() const { return context_; }

    // The one help window of the program, created on first use.
    static HelpWindow* instance();

  private:
    QTextBrowser* browser_;
    int context_ = kHelpContents;
};

// Opens the help window at a context (F1, Help Topics).
void ShowHelp(int context);
// F1 on widget (and its children) opens the given context; a "helpContext" property on the focused
// child, when present, wins over it.
void InstallHelpKey(QWidget* widget, int context);

} // namespace rt62
