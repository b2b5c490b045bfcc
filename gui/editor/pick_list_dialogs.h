// The grid's pick-list dialogs: squelch level, page code and two-tone pair (ValueListDialog), CTCSS tone
// and DCS code (ToneListDialog), over the item and selection rules of core/grid.
#pragma once

#include <QDialog>

#include <optional>
#include <string>
#include <vector>

#include "core/grid/pick_lists.h"
#include "core/image/model.h"

class QListWidget;
class QPushButton;

namespace rt62 {

// The list box both dialogs share: one selection, items flowing down and then into further columns.
class PickListDialog : public QDialog {
    Q_OBJECT
  public:
    QListWidget* list() const { return list_; }
    QPushButton* okButton() const { return ok_; }
    // The selected position, -1 for none.
    int selectedPosition() const;

  protected:
    PickListDialog(const std::string& title, const PickList& content, int columnWidth, int listId,
                   int helpTopic, QWidget* parent);

  public:
    // What the list chooses for, as a screen reader names the list ("Channel 3 Squelch level").
    void setSubject(const QString& subject);

  private:
    QListWidget* list_ = nullptr;
    QPushButton* ok_ = nullptr;
};

class ValueListDialog : public PickListDialog {
    Q_OBJECT
  public:
    ValueListDialog(int mode, int current, const PagesInUse& pages, const PairsOn& pairs,
                    QWidget* parent = nullptr);
    // The value for the selection (0 when nothing is selected).
    int value() const;

  private:
    int mode_;
    std::vector<std::string> items_;
};

class ToneListDialog : public PickListDialog {
    Q_OBJECT
  public:
    ToneListDialog(bool dcs, int column, int currentIndex, int firmwareVersion, QWidget* parent = nullptr);
    // The tone-list index of the selection, nullopt when nothing is selected.
    std::optional<int> index() const;

  private:
    bool dcs_;
    int firmware_;
};

// Modal runs over the document's image; nullopt for Cancel (and, for tones, OK without a selection).
// subject: what the list chooses for ("Channel 3 Decode"), its name for a screen reader.
std::optional<int> RunValueList(QWidget* parent, const ImageModel& model, int mode, int current,
                                const QString& subject = {});
std::optional<int> RunToneList(QWidget* parent, const ImageModel& model, int column, bool dcs,
                               int currentIndex, const QString& subject = {});

} // namespace rt62
