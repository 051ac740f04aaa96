#pragma once

#include "Dialogs.h"

// Dialogs for the helper programs that drive the converter window without a person: the open
// dialog answers with the one given file, every other dialog is cancelled and no box is shown.
class FesteAntworten : public Dialogs
{
public:
    explicit FesteAntworten(QString datei)
        : datei(std::move(datei))
    {
    }
    QString openFileName(QWidget *, const QString &, const QString &, const QString &) override
    {
        return datei;
    }
    QString saveFileName(QWidget *, const QString &, const QString &, const QString &) override
    {
        return QString();
    }
    void warning(QWidget *, const QString &, const QString &) override {}

private:
    QString datei;
};
