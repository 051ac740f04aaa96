#pragma once

#include <QString>

class QCoreApplication;

// Installs Qt's own translation ("qtbase_<language>") from Qt's translations folder, so that the
// file dialogs and the standard buttons speak the program's language. Returns whether it was
// found; without it Qt's texts stay English, which is no reason to stop.
bool installQtTranslation(QCoreApplication &app, const QString &language);
