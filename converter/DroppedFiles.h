#pragma once

#include <QStringList>

class QMimeData;

// The local files among what was dragged onto a window, in order; none for anything else.
QStringList droppedFiles(const QMimeData *data);

// Whether a file is to be opened as a new curve file (".z2k", any letter case) rather than as
// an old one.
bool isNewCurveFile(const QString &path);
