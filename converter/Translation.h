#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

class QCoreApplication;

// The language option "-l<x>": the first argument that begins with "-l" and is longer than two
// characters selects the translation file "zor2convert_<x>" (or <x> itself when it already holds
// "zor2convert_"). Words after "--" are files, never a language. Returns the file name, or an empty
// text when no argument asks for one.
QString translationFileName(const QStringList &arguments);

// The language of Qt's own texts (file dialogs, standard buttons) that goes with the program's:
// the one the language option selects, German without one.
QString qtLanguage(const QStringList &arguments);

// The numbers of the program's language, as the plot's axes and its readout show them: decimal
// commas in German (also without a language option), points in English; never a digit grouping.
QLocale numberLocale(const QStringList &arguments);

// Examines the application's arguments and, when they ask for a language, loads its translation
// from "transl/" under the working directory, else from "transl/" beside the program, else from
// the installed data folder, else from the copy compiled into the program, and installs it. Returns
// whether a translation was loaded.
bool installTranslation(QCoreApplication &app);
