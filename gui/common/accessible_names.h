// Names for screen readers taken from what the window already shows: a label names the control it is
// the buddy of.
#pragma once

#include <QString>

class QWidget;

namespace rt62 {

// "&Frequency Band" -> "Frequency Band" ("&&" stays one "&").
QString WithoutMnemonic(const QString& text);
// Every control under root that a label has as its buddy gets the label's text as its accessible name;
// a name given before is kept.
void NameControlsFromLabels(QWidget* root);

}  // namespace rt62
