// The HELP dialog (the two built-in guides) and the About box.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPlainTextEdit;

namespace rt62 {

enum class GuideMode { GetStarted = 0, CommonProblems = 1 };

// The guide text assembled from the string table, with "\r\n" line ends as stored. Common Problems ends
// with where the radio's backups are (backupFolder).
std::string GuideText(GuideMode mode, const std::string& backupFolder = {});
QString GuideCaption(GuideMode mode);
int GuideHelpContext(GuideMode mode);

// "HELP": one read-only fixed-pitch text with the guide, and OK.
class GuideDialog : public QDialog {
    Q_OBJECT
  public:
    explicit GuideDialog(GuideMode mode, QWidget* parent = nullptr, const QString& backupFolder = {});
    QPlainTextEdit* textBox() const { return text_; }

  private:
    QPlainTextEdit* text_;
};

// "About": version line, product line and a two-line notice.
class AboutDialog : public QDialog {
    Q_OBJECT
  public:
    explicit AboutDialog(QWidget* parent = nullptr);
    static QString VersionLine();
    QLabel* versionLabel() const { return version_; }

  private:
    QLabel* version_;
};

} // namespace rt62
