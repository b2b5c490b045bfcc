// Names for screen readers taken from what the window already shows: a label names the control it is
// the buddy of.
#pragma once

#include <QString>

class QComboBox;
class QWidget;

namespace rt62 {

// "&Frequency Band" -> "Frequency Band" ("&&" stays one "&").
QString WithoutMnemonic(const QString& text);
// Every control under root that a label has as its buddy gets the label's text as its accessible name;
// a name given before is kept.
void NameControlsFromLabels(QWidget* root);
// A list's current item as it is read out: without the blanks that pad the items to one width.
QString SpokenItem(const QComboBox* list);
// The program's own accessible interfaces for drop-down lists and edit fields, whose values Qt's leave
// unsaid or cut short; once, before the first window.
void InstallAccessibleInterfaces();
// Hands the focus of assistive tools to the current item of a list that has the keyboard focus (the
// lists call it when their item changes).
void AnnounceCurrentItem(QComboBox* list);

}  // namespace rt62
