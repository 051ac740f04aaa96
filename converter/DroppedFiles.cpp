#include "DroppedFiles.h"

#include <QMimeData>
#include <QUrl>

QStringList droppedFiles(const QMimeData *data)
{
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl &url : data->urls()) {
        if (url.isLocalFile())
            files.append(url.toLocalFile());
    }
    return files;
}

bool isNewCurveFile(const QString &path)
{
    return path.endsWith(QLatin1String(".z2k"), Qt::CaseInsensitive);
}
