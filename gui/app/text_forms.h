// File > Export, Import and Compare with File, Radio > Compare with Radio: the text forms and the field
// diff of core/text in the window. Built only with the YAML form (yaml-cpp).
#pragma once

#ifdef RT62_HAVE_YAML

#include <QDialog>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QListWidget;

namespace rt62 {

class CRT62MDoc;
class CRT62MView;
class Prompter;
class SerialPort;
struct AppSettings;
struct DiffReport;

enum class TextKind { Yaml, Csv };

struct TextChoice {
    std::string path;
    TextKind kind = TextKind::Yaml;
};

// What the commands work with; the frame fills it in.
struct TextFormsContext {
    QWidget* parent;
    CRT62MDoc& doc;
    Prompter& prompter;
    CRT62MView* view;
    AppSettings& settings;
    std::unique_ptr<SerialPort>& port;
    // The Save As of the save question an import asks first.
    std::function<std::optional<std::string>()> chooseSavePath;
};

// The file dialogs: the filter chosen gives the kind. save: an export's dialog.
std::optional<TextChoice> ChooseTextFile(QWidget* parent, bool save);
// A data file or a YAML text to compare with.
std::optional<std::string> ChooseCompareFile(QWidget* parent);

// Writes the document as YAML or channel CSV. true when written.
bool ExportText(TextFormsContext& ctx, const TextChoice& choice);
// Reads a YAML text (on the factory file of its band) or a channel CSV (on the document) and, after the
// save question, makes it the document; it has no file then. Problems and skipped rows are listed in
// one message. true when the document was replaced.
bool ImportText(TextFormsContext& ctx, const TextChoice& choice);
// The differences between the document and a data file or YAML text, in the Differences dialog, and
// the differing grid cells marked. false when the file could not be read.
bool CompareWithFile(TextFormsContext& ctx, const std::string& path);
// Reads the radio as an Upload does, without taking its image, and shows what differs from the
// document (radio-owned bytes listed, not counted).
bool CompareWithRadio(TextFormsContext& ctx);

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
