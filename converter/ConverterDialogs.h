#pragma once

#include "Dialogs.h"

#include <QString>

// What the converter's window adds to the dialogs it asks through.

// The dialogs of another, with the question for a file to open answered once by a file chosen
// beforehand (a file named on the command line); every other question goes on to the other.
class ChosenFileDialogs : public Dialogs
{
public:
    ChosenFileDialogs(Dialogs &others, const QString &fileName);

    QString openFileName(QWidget *parent, const QString &caption, const QString &dir,
                         const QString &filter) override;
    QString saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                         const QString &filter) override;
    void warning(QWidget *parent, const QString &title, const QString &text) override;

private:
    Dialogs &others;
    QString fileName;
};

// The folder of a file, made absolute, with a trailing "/": the folder that is remembered
// for the next file dialog.
QString ordnerVon(const QString &filePath);
