#include "DroppedFiles.h"

#include "platform/Platform.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace {

QStringList localFiles(const QMimeData *data)
{
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl &url : data->urls()) {
        if (url.isLocalFile())
            files.append(Platform::storedName(url.toLocalFile()));
    }
    return files;
}

} // namespace

void acceptFileDrag(QDragMoveEvent *event)
{
    if (!localFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

QStringList takeDroppedFiles(QDropEvent *event)
{
    const QStringList files = localFiles(event->mimeData());
    if (!files.isEmpty())
        event->acceptProposedAction();
    return files;
}

bool isNewCurveFile(const QString &path)
{
    return path.endsWith(QLatin1String(".z2k"), Qt::CaseInsensitive);
}
