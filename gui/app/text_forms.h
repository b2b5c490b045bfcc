// File > Export, Import and Compare with File, Radio > Compare with Radio: the file dialogs and the
// Differences list of the session's text forms. Built only with the YAML form (yaml-cpp).
#pragma once

#ifdef RT62_HAVE_YAML

#include <QDialog>

#include <optional>
#include <string>

#include "core/app/session.h"

class QListWidget;

namespace rt62 {

class CRT62MView;
class Prompter;

struct TextChoice {
    std::string path;
    TextKind kind = TextKind::Yaml;
};

// The file dialogs: the filter chosen gives the kind. save: an export's dialog.
std::optional<TextChoice> ChooseTextFile(QWidget* parent, bool save);
// A data file or a YAML text to compare with.
std::optional<std::string> ChooseCompareFile(QWidget* parent);

// A comparison as the window shows it: refused with its problems in one message, or the differing grid
// cells marked (until the next edit) and the lines in the Differences dialog ("No differences." when
// there are none). heading names the two sides.
void ShowComparison(QWidget* parent, Prompter& prompter, CRT62MView* view, const QString& heading,
                    const Comparison& comparison);

// The modeless list of differences, one line per field as rt62m diff prints them.
class DifferencesDialog : public QDialog {
    Q_OBJECT
  public:
    DifferencesDialog(const QString& heading, const DiffReport& report, QWidget* parent);
    QListWidget* list() const { return list_; }
    QStringList lines() const;

  private:
    QListWidget* list_ = nullptr;
};

} // namespace rt62

#endif
