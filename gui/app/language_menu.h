// View > Language: the window's language, kept in the settings, and Qt's own texts in the same language.
#pragma once

#include <QString>

class QMenu;

namespace rt62 {

struct AppSettings;
class IniSettings;
class Prompter;
struct Language;

// The window's language: the one kept in the settings when the program speaks it, else the one in use
// (the system's, set by main). Loads Qt's translations of its own texts (buttons, file and print
// dialogs) for it.
void StartInLanguage(const AppSettings& settings);

// Qt's translation of its own texts for a language, from Qt's translations folder or the program's
// translations folder beside it (where the Windows installer puts them); false when neither has it.
bool LoadQtTranslations(const Language& language);

// Adds the Language submenu: the system's language, then each language by its own name. A choice is
// written to the settings at once and said to take effect at the next start.
QMenu* AddLanguageMenu(QMenu* view, AppSettings& settings, const IniSettings& ini, Prompter& prompter);

} // namespace rt62
