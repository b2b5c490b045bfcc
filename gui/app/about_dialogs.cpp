#include "gui/app/about_dialogs.h"

#include "gui/common/file_paths.h"
#include "gui/common/fixed_font.h"
#include "gui/common/help_window.h"
#include "gui/common/qt_prompter.h"
#include "core/image/strings.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace rt62 {
namespace {

// A piece of a guide: a string-table entry, or a literal separator when id is 0.
struct Piece {
    int id;
    const char* literal;
};

constexpr Piece kGetStarted[] = {{60, nullptr},  {61, nullptr},   {62, nullptr}, {0, "\r\n\r\n"},
                                 {63, nullptr},  {0, "\r\n\r\n"}, {64, nullptr}, {65, nullptr},
                                 {104, nullptr}, {105, nullptr},  {106, nullptr}};
constexpr Piece kCommonProblems[] = {
    {66, nullptr}, {0, "\r\n\r\n"}, {67, nullptr},   {0, "\r\n\r\n"}, {68, nullptr}, {69, nullptr},
    {70, nullptr}, {71, nullptr},   {0, "\r\n\r\n"}, {72, nullptr},   {73, nullptr}, {74, nullptr},
    {75, nullptr}, {76, nullptr},   {0, "\r\n"},     {77, nullptr},   {78, nullptr}};

// The closing topic of Common Problems: where the backups of the radio's images are.
constexpr int kStrGuideBackups = 4220;

template <size_t N> std::string Assemble(const Piece (&pieces)[N]) {
    std::string out;
    for (const Piece& p : pieces)
        out += p.id ? FormatString(p.id, {""}) : std::string(p.literal);
    return out;
}


} // namespace

std::string GuideText(GuideMode mode, const std::string& backupFolder) {
    if (mode == GuideMode::GetStarted) return Assemble(kGetStarted);
    return Assemble(kCommonProblems) + "\r\n\r\n" + FormatString(kStrGuideBackups, {backupFolder});
}

QString GuideCaption(GuideMode mode) {
    return mode == GuideMode::GetStarted ? TableText(4978) : TableText(4979);
}

int GuideHelpContext(GuideMode mode) {
    return mode == GuideMode::GetStarted ? kHelpGetStarted : kHelpCommonProblems;
}

GuideDialog::GuideDialog(GuideMode mode, QWidget* parent, const QString& backupFolder)
    : QDialog(parent), text_(new QPlainTextEdit(this)) {
    setWindowTitle(GuideCaption(mode));
    EnsureResources();
    setWindowIcon(QIcon(QStringLiteral(":/icons/rt62mwin.xpm")));
    text_->setObjectName(QStringLiteral("1002"));
    text_->setAccessibleName(windowTitle()); // the guide has no label; its title names it
    text_->setReadOnly(true);
    text_->setFont(SystemFixedFont(0));
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    text_->setPlainText(QString::fromStdString(GuideText(mode, NativePath(backupFolder)))
                            .replace(QStringLiteral("\r\n"), QStringLiteral("\n")));

    auto* ok = new QPushButton(TableText(kStrOk), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* side = new QVBoxLayout;
    side->addWidget(ok);
    side->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(text_, 1);
    layout->addLayout(side);

    // Wide enough for the 63-character lines of the guides.
    const int width = QFontMetrics(text_->font()).horizontalAdvance(QString(66, QLatin1Char('M')));
    resize(width + ok->sizeHint().width() + 60, 420);
    InstallHelpKey(this, GuideHelpContext(mode));
}

QString AboutDialog::VersionLine() {
    return TableText(1006, {FormatString(120)});
}

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent), version_(new QLabel(VersionLine(), this)) {
    setWindowTitle(TableText(4980));
    EnsureResources();
    version_->setObjectName(QStringLiteral("1006"));
    version_->setAlignment(Qt::AlignCenter);
    version_->setFont(SystemFixedFont(24));

    auto* product = new QLabel(TableText(5037), this);
    product->setObjectName(QStringLiteral("1007"));
    product->setAlignment(Qt::AlignCenter);
    product->setFont(SystemFixedFont(10));

    auto* notice = new QLabel(TableText(5038), this);
    notice->setObjectName(QStringLiteral("1009"));
    notice->setAlignment(Qt::AlignCenter);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(version_);
    layout->addWidget(product);
    layout->addSpacing(20);
    layout->addWidget(notice);
    layout->addSpacing(10);
    layout->addWidget(buttons, 0, Qt::AlignCenter);
    InstallHelpKey(this, kHelpContents);
}

} // namespace rt62
