#include "Dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

#include <utility>

QString QtDialogs::openFileName(QWidget *parent, const QString &caption, const QString &dir,
                                const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

QString QtDialogs::saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                                const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, caption, dir, filter);
}

void QtDialogs::warning(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox::warning(parent, title, text, QMessageBox::Ok, QMessageBox::NoButton);
}

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
