// The pick lists of the grid: squelch level, page code and two-tone pair (ValueListDialog), CTCSS tone
// and DCS code (ToneListDialog), with the item and selection rules kept apart from the windows.
#pragma once

#include <QDialog>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "core/image/model.h"

class QListWidget;
class QPushButton;

namespace rt62 {

// Modes of ValueListDialog: the grid column it serves.
inline constexpr int kValueModeSquelch = 13;
inline constexpr int kValueModePage = 16;
inline constexpr int kValueModePair = 18;

// The DCS list gains code "224" (index 106) from this firmware version on, sorted in at position 36.
inline constexpr int kFirmwareWithDcs224 = 208;
inline constexpr int kDcs224Position = 36;

struct PickList {
    std::vector<std::string> items;
    int selected = -1; // -1: nothing selected
};

using PagesInUse = std::array<bool, 10>; // page codes 1-10 that hold a code
using PairsOn = std::array<bool, 6>;     // two-tone pairs 1-6 that are on

std::string ValueListTitle(int mode);
PickList ValueListItems(int mode, int current, const PagesInUse& pages, const PairsOn& pairs);
// The value OK returns for a list position (-1 when nothing is selected gives 0).
int ValueOfListPosition(int mode, const std::vector<std::string>& items, int position);

std::string ToneListTitle(bool dcs);
PickList ToneListItems(bool dcs, int firmwareVersion, int currentIndex);
// Tone-list index <-> list position; -1 where the list has no such entry.
int TonePositionOfIndex(bool dcs, int firmwareVersion, int index);
int ToneIndexOfPosition(bool dcs, int firmwareVersion, int position);

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
