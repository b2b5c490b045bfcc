#include "gui/common/qt_prompter.h"

#include "core/image/strings.h"

#include <QApplication>
#include <QMetaObject>
#include <QThread>

namespace rt62 {

QString TableText(int stringId, const std::vector<std::string>& args) {
    QString text = QString::fromStdString(FormatString(stringId, args));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

QString PromptPart(int stringId, int part) {
    const QString text =
        QString::fromUtf8(StringText(stringId).data(), static_cast<qsizetype>(StringText(stringId).size()));
    const qsizetype nl = text.indexOf(QLatin1Char('\n'));
    if (nl < 0) return text;
    return part == 0 ? text.left(nl) : text.mid(nl + 1);
}

QMessageBox::StandardButtons QtPrompter::ToStandardButtons(Buttons buttons) {
    switch (buttons) {
    case Buttons::Ok:
        return QMessageBox::Ok;
    case Buttons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case Buttons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case Buttons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon QtPrompter::ToMessageIcon(Icon icon) {
    switch (icon) {
    case Icon::None:
        return QMessageBox::NoIcon;
    case Icon::Stop:
        return QMessageBox::Critical;
    case Icon::Question:
        return QMessageBox::Question;
    case Icon::Exclamation:
        return QMessageBox::Warning;
    case Icon::Information:
        return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

Answer QtPrompter::ToAnswer(int standardButton) {
    switch (standardButton) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel; // closing the box counts as Cancel
    }
}

Answer QtPrompter::show(int stringId, Buttons buttons, Icon icon, const std::vector<std::string>& args) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() == app->thread()) return showHere(stringId, buttons, icon, args);
    // From a worker: the box must live on the GUI thread; block until the user has answered.
    Answer answer = Answer::Cancel;
    QMetaObject::invokeMethod(
        app, [&] { answer = showHere(stringId, buttons, icon, args); }, Qt::BlockingQueuedConnection);
    return answer;
}

Answer QtPrompter::showHere(int stringId, Buttons buttons, Icon icon, const std::vector<std::string>& args) {
    QMessageBox box(ToMessageIcon(icon), QApplication::applicationDisplayName(), TableText(stringId, args),
                    ToStandardButtons(buttons), parent_.data());
    box.setObjectName(QStringLiteral("message%1").arg(stringId));
    box.setProperty("helpContext", stringId);
    if (buttons == Buttons::Ok) box.setEscapeButton(QMessageBox::Ok);
    return ToAnswer(box.exec());
}

} // namespace rt62
