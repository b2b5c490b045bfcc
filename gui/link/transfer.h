// Upload and Download as the main window runs them: port, normalize, progress dialog, decode, refresh.
#pragma once

#include <memory>

#include "core/image/prompter.h"
#include "core/image/radio_image.h"

class QObject;
class QWidget;

namespace rt62 {

class CRT62MDoc;
class CRT62MView;
class Prompter;
class SerialPort;
struct AppSettings;

// What a transfer needs from the main window. `port` is the application's port: with PortType 0 it
// is the port opened at start-up (may be empty if that failed); with PortType 1 a port is created for
// the transfer and freed afterwards. `view` (may be null) gets the full refresh.
struct TransferContext {
    QWidget* parent;
    CRT62MDoc& doc;
    AppSettings& settings;
    Prompter& prompter;   // shows the worker's messages; always called on the GUI thread
    std::unique_ptr<SerialPort>& port;
    CRT62MView* view = nullptr;
};

enum class TransferResult {
    Completed,   // the job finished its work (image taken over after an upload)
    Failed,      // the port or the protocol failed; the message was shown
    Declined,    // upload: "Overwrite original data" answered No
    Cancelled,   // Cancel or Escape in the progress dialog
};

// Questions and messages of a worker are shown on the GUI thread while the worker waits for the
// answer; the dialog that guiObject is stays open behind them.
class GuiThreadPrompter : public Prompter {
public:
    GuiThreadPrompter(Prompter& target, QObject& guiObject) : target_(target), gui_(guiObject) {}
    Answer show(int stringId, Buttons buttons, Icon icon, const std::vector<std::string>& args = {}) override;

private:
    Prompter& target_;
    QObject& gui_;
};

TransferResult RunUpload(TransferContext& ctx);
TransferResult RunDownload(TransferContext& ctx);
// An Upload whose image goes to `image` instead of the document: no overwrite question, and the
// document keeps its contents, its file and its flags. Completed: image holds the radio's image.
TransferResult ReadRadioImage(TransferContext& ctx, RadioImage& image);

}  // namespace rt62
