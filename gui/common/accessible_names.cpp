#include "gui/common/accessible_names.h"

#include <QLabel>
#include <QWidget>

namespace rt62 {

QString WithoutMnemonic(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size()) ++i;
        out += text[i];
    }
    return out.simplified();
}

void NameControlsFromLabels(QWidget* root) {
    for (QLabel* label : root->findChildren<QLabel*>()) {
        QWidget* buddy = label->buddy();
        if (buddy && buddy->accessibleName().isEmpty()) buddy->setAccessibleName(WithoutMnemonic(label->text()));
    }
}

}  // namespace rt62
