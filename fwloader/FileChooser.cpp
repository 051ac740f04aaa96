#include "FileChooser.h"

#include <QFileDialog>

QString DialogFileChooser::getOpenFileName(QWidget *parent, const QString &caption,
                                           const QString &dir, const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}
