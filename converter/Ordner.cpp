#include "Ordner.h"

#include <QFileInfo>

QString ordnerVon(const QString &filePath)
{
    const QString absolut = QFileInfo(filePath).absoluteFilePath();
    return absolut.left(absolut.lastIndexOf(QLatin1Char('/')) + 1);
}
