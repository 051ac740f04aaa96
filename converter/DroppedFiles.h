#pragma once

#include <QStringList>

class QDragMoveEvent;
class QDropEvent;

// Files dragged onto a window: a drag that brings local files is taken; a drop hands them over,
// in order, and none for anything else.
void acceptFileDrag(QDragMoveEvent *event);
QStringList takeDroppedFiles(QDropEvent *event);

// Whether a file is to be opened as a new curve file (".z2k", any letter case) rather than as
// an old one.
bool isNewCurveFile(const QString &path);
