#include "FolderMemory.h"

#include <QFileInfo>

QString folderToRemember(const QString &filePath)
{
    const QString absolute = QFileInfo(filePath).absoluteFilePath();
    return absolute.left(absolute.lastIndexOf(QLatin1Char('/')) + 1);
}
