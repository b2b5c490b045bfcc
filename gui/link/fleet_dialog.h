// Radio > Program Fleet: the open document into radio after radio, each with its own ANI code; a
// table of the radios done, and the run on a worker thread behind it.
#pragma once

#include <QDialog>

#include <functional>
#include <memory>

#include "core/link/fleet_run.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTableWidget;
class QThread;

namespace rt62 {

class GuiThreadPrompter;
class Session;

class FleetDialog : public QDialog {
    Q_OBJECT
public:
    enum Column { kColSerial, kColCode, kColResult };

    // base holds the template, its trailer and format, the backups and the log folder's suggestion;
    // the dialog fills in the codes, the count and the log. Messages go to prompter on this thread.
    FleetDialog(SerialPort& port, FleetRequest base, Prompter& prompter, QWidget* parent = nullptr);
    ~FleetDialog() override;

    QRadioButton* countUpChoice() const { return countUp_; }
    QRadioButton* listChoice() const { return fromList_; }
    QLineEdit* startCodeField() const { return startCode_; }
    QLineEdit* listFileField() const { return listFile_; }
    QPushButton* listBrowseButton() const { return listBrowse_; }
    QSpinBox* countField() const { return count_; }
    QLineEdit* logFileField() const { return logFile_; }
    QPushButton* logBrowseButton() const { return logBrowse_; }
    QCheckBox* againBox() const { return again_; }
    QPushButton* startButton() const { return start_; }
    QPushButton* stopButton() const { return stop_; }
    QTableWidget* radioTable() const { return table_; }
    QLabel* radioLine() const { return radioLine_; }
    QProgressBar* progressBar() const { return bar_; }
    bool isRunning() const { return running_; }
    // The last run's outcome; meaningful once it has ended.
    const FleetSummary& summary() const { return summary_; }

    // Safe from the worker: queued to the dialog.
    void postRadioStarting(int number, int total);
    void postPrompt(const QString& text);
    void postRadioDone(const FleetRadio& radio);
    void postRange(int maximum);
    void postPosition(int position);
    void postStatus(const QString& text);

signals:
    void runFinished();

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void startRun();
    void stopRun();
    void runEnded();
    void updateEnabled();
    void chooseFile(QLineEdit* field, bool save);

    SerialPort& port_;
    FleetRequest base_;
    Prompter& prompter_;
    std::unique_ptr<GuiThreadPrompter> workerPrompter_;
    std::unique_ptr<FleetControl> control_;
    QThread* thread_ = nullptr;
    bool running_ = false;
    FleetSummary summary_;

    QRadioButton* countUp_ = nullptr;
    QRadioButton* fromList_ = nullptr;
    QLineEdit* startCode_ = nullptr;
    QLineEdit* listFile_ = nullptr;
    QPushButton* listBrowse_ = nullptr;
    QSpinBox* count_ = nullptr;
    QLineEdit* logFile_ = nullptr;
    QPushButton* logBrowse_ = nullptr;
    QCheckBox* again_ = nullptr;
    QPushButton* start_ = nullptr;
    QPushButton* stop_ = nullptr;
    QPushButton* close_ = nullptr;
    QTableWidget* table_ = nullptr;
    QLabel* radioLine_ = nullptr;
    QLabel* prompt_ = nullptr;
    QLabel* status_ = nullptr;
    QProgressBar* bar_ = nullptr;
};

// The Program Fleet command: the document saved first when it has changes (through saveDocument, which
// may ask for a name; nothing runs while changes are left unsaved), the session's fleet plan, then the
// dialog. The document itself is not changed.
void RunProgramFleet(Session& session, Prompter& prompter, QWidget* parent,
                     const std::function<void()>& saveDocument);

}  // namespace rt62
