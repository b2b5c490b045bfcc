#include "gui/app/language_menu.h"

#include "gui/app/ini_settings.h"
#include "gui/common/app_settings.h"
#include "gui/common/qt_prompter.h"
#include "core/image/language.h"
#include "core/image/prompter.h"

#include <QActionGroup>
#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QMenu>
#include <QTranslator>

#include <memory>

namespace rt62 {
namespace {

enum LanguageString {
    kStrLanguageMenu = 4320,   // "&Language"
    kStrSystemLanguage = 4321, // "Same as the &System"
    kStrLanguageAtStart = 4322, // "The language changes the next time RT62MWin starts."
};

} // namespace

bool LoadQtTranslations(const Language& language) {
    static QTranslator* installed = nullptr;
    if (installed) {
        QCoreApplication::removeTranslator(installed);
        delete installed;
        installed = nullptr;
    }
    if (language.code == EnglishLanguage().code || !language.shipped) return false;
    auto translator = std::make_unique<QTranslator>();
    const QString name = QStringLiteral("qtbase_") + QString::fromUtf8(language.code.data(), language.code.size());
    const QString folders[] = {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                               QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("translations"))};
    for (const QString& folder : folders) {
        if (translator->load(name, folder)) {
            installed = translator.release();
            QCoreApplication::installTranslator(installed);
            return true;
        }
    }
    return false;
}

void StartInLanguage(const AppSettings& settings) {
    if (!settings.language.isEmpty())
        if (const Language* chosen = FindLanguage(settings.language.toStdString())) SetLanguage(*chosen);
    LoadQtTranslations(CurrentLanguage());
}

QMenu* AddLanguageMenu(QMenu* view, AppSettings& settings, const IniSettings& ini, Prompter& prompter) {
    QMenu* menu = view->addMenu(TableText(kStrLanguageMenu));
    menu->setObjectName(QStringLiteral("languageMenu"));
    auto* group = new QActionGroup(menu);
    const auto add = [&](const QString& text, const QString& code) {
        QAction* a = menu->addAction(text);
        a->setObjectName(QStringLiteral("language_") + (code.isEmpty() ? QStringLiteral("system") : code));
        a->setCheckable(true);
        a->setChecked(settings.language == code);
        group->addAction(a);
        QObject::connect(a, &QAction::triggered, menu, [&settings, ini, &prompter, code] {
            if (settings.language == code) return;
            settings.language = code;
            ini.writeLanguage(settings);
            ShowMessage(prompter, kStrLanguageAtStart, Buttons::Ok, Icon::Information);
        });
    };
    add(TableText(kStrSystemLanguage), QString());
    menu->addSeparator();
    for (const Language& l : Languages())
        if (l.shipped)
            add(QString::fromUtf8(l.name.data(), static_cast<qsizetype>(l.name.size())),
                QString::fromUtf8(l.code.data(), static_cast<qsizetype>(l.code.size())));
    return menu;
}

} // namespace rt62
