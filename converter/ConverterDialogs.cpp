#include "ConverterDialogs.h"

#include <QFileInfo>

#include <utility>

ChosenFileDialogs::ChosenFileDialogs(Dialogs &others, const QString &fileName)
    : others(others)
    , fileName(fileName)
{
}

QString ChosenFileDialogs::openFileName(QWidget *parent, const QString &caption, const QString &dir,
                                        const QString &filter)
{
    if (!fileName.isEmpty())
        return std::exchange(fileName, QString());
    return others.openFileName(parent, caption, dir, filter);
}

QString ChosenFileDialogs::saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                                        const QString &filter)
{
    return others.saveFileName(parent, caption, dir, filter);
}

void ChosenFileDialogs::warning(QWidget *parent, const QString &title, const QString &text)
{
    others.warning(parent, title, text);
}

QString ordnerVon(const QString &filePath)
{
    const QString absolut = QFileInfo(filePath).absoluteFilePath();
    return absolut.left(absolut.lastIndexOf(QLatin1Char('/')) + 1);
}
