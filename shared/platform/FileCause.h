#pragma once

#include "platform/Platform.h"

#include <QCoreApplication>
#include <QString>

// Why a file could not be read or written, as the user is told: one short German text per
// cause, the same words in both programs' messages (the converter's window and batch mode, the
// loader's HEX reader).
class FileCause
{
    Q_DECLARE_TR_FUNCTIONS(FileCause)

public:
    // The system's reason, to follow a colon: "nicht gefunden", "keine Berechtigung".
    static QString text(const Platform::FileResult &result);
    // A file to be read is not there (nor is what a link points to).
    static QString fileNotFound() { return tr("Datei nicht gefunden"); }
    // A name to be read as a file names something else (a FIFO, a device, a socket).
    static QString notRegularFile() { return tr("keine gewoehnliche Datei"); }
};
