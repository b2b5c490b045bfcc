#include "gui/common/help_window.h"
#include "gui/common/qt_prompter.h"

#include <QApplication>
#include <QFile>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QTextBrowser>
#include <QVBoxLayout>

// The resources live in a static library; nothing references them unless they are registered by hand.
static void InitAppResources() {
    Q_INIT_RESOURCE(rt62mwin);
}

namespace rt62 {

void EnsureResources() {
    static const bool done = (InitAppResources(), true);
    (void)done;
}

namespace {

struct Topic {
    int context;
    const char* page; // under :/help/, may carry an anchor
};

constexpr int Dlg(int id) {
    return kHelpDialogBase + id;
}

// Every numbered topic and the page that answers it.
constexpr Topic kTopics[] = {
    {kHelpContents, "contents.html"},
    {kHelpGetStarted, "get_started.html"},
    {kHelpCommonProblems, "common_problems.html"},
    {kHelpConfigure, "configuration.html"},
    {Dlg(102), "hardware.html"},
    {Dlg(130), "page_setting.html"},
    {Dlg(131), "option.html"},
    {Dlg(133), "paging_code.html"},
    {Dlg(134), "two_tone.html"},
    {Dlg(136), "tone_list.html"},
    {Dlg(146), "password.html"},
    {Dlg(148), "two_tone_table.html"},
    {Dlg(149), "ani.html"},
    {Dlg(158), "scanning.html"},
    {Dlg(159), "power_saving.html"},
    {Dlg(161), "key_function.html"},
    {Dlg(163), "marketing.html"},
    {Dlg(164), "miscellaneous.html"},
    {Dlg(165), "about.html"},
    {Dlg(166), "guides.html"},
    {Dlg(169), "visible.html"},
    {Dlg(170), "file_data.html"},
    {Dlg(173), "transfer.html"},
    {Dlg(174), "configuration.html"},
    {Dlg(186), "value_list.html"},
    {Dlg(189), "two_tone_browser.html"},
    {Dlg(192), "channel_type.html"},
};

} // namespace

QUrl HelpTopicUrl(int context) {
    EnsureResources();
    if (context >= kHelpGridColumnBase && context < kHelpGridColumnBase + 20)
        return QUrl(QStringLiteral("qrc:/help/grid.html#col%1").arg(context - kHelpGridColumnBase));
    for (const Topic& t : kTopics)
        if (t.context == context) return QUrl(QStringLiteral("qrc:/help/") + QLatin1String(t.page));
    return {};
}

bool HasHelpTopic(int context) {
    return !HelpTopicUrl(context).isEmpty();
}

QList<int> HelpTopicContexts() {
    QList<int> out;
    for (const Topic& t : kTopics)
        out << t.context;
    for (int c = 0; c < 20; ++c)
        out << kHelpGridColumnBase + c;
    return out;
}

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent), browser_(new QTextBrowser(this)) {
    setWindowTitle(TableText(4982));
    setObjectName(QStringLiteral("helpWindow"));
    setModal(false);
    resize(640, 560);
    browser_->setOpenExternalLinks(true);
    browser_->setSearchPaths({QStringLiteral(":/help")});

    auto* contents = new QPushButton(TableText(5014), this);
    auto* back = new QPushButton(TableText(5015), this);
    auto* close = new QPushButton(TableText(kStrClose), this);
    connect(contents, &QPushButton::clicked, this, [this] { showTopic(kHelpContents); });
    connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    back->setEnabled(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(contents);
    buttons->addWidget(back);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(browser_);
}

void HelpWindow::showTopic(int context) {
    QUrl url = HelpTopicUrl(context);
    if (url.isEmpty()) {
        context = kHelpContents;
        url = HelpTopicUrl(kHelpContents);
    }
    context_ = context;
    browser_->setSource(url);
    if (!url.fragment().isEmpty()) browser_->scrollToAnchor(url.fragment());
}

HelpWindow* HelpWindow::instance() {
    static QPointer<HelpWindow> window;
    if (!window) {
        window = new HelpWindow(nullptr);
        window->setAttribute(Qt::WA_DeleteOnClose);
        // The help window belongs to the application, not to a dialog that may close first.
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, window.data(), &QObject::deleteLater);
    }
    return window;
}

void ShowHelp(int context) {
    HelpWindow* w = HelpWindow::instance();
    // A modal dialog blocks every other top-level window; as its child the help stays usable.
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal != w && w->parentWidget() != modal) w->setParent(modal, Qt::Window);
    w->showTopic(context);
    w->show();
    w->raise();
    w->activateWindow();
}

void InstallHelpKey(QWidget* widget, int context) {
    widget->setProperty("helpContext", context);
    auto* key = new QShortcut(QKeySequence(Qt::Key_F1), widget);
    key->setContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(key, &QShortcut::activated, widget, [widget, context] {
        // A focused control with its own topic answers first, as the dialogs always did.
        for (QWidget* w = QApplication::focusWidget(); w && w != widget; w = w->parentWidget()) {
            const QVariant v = w->property("helpContext");
            if (v.isValid() && HasHelpTopic(v.toInt())) {
                ShowHelp(v.toInt());
                return;
            }
        }
        ShowHelp(context);
    });
}

} // namespace rt62
