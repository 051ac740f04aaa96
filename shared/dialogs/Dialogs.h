#pragma once

#include <QString>

class QWidget;

// The file dialogs and message boxes a window asks the person through. The window receives
// one of these, so that tests answer in place of a person and no test waits for one.
class Dialogs
{
public:
    virtual ~Dialogs() = default;

    // An empty result means that the person cancelled.
    virtual QString openFileName(QWidget *parent, const QString &caption, const QString &dir,
                                 const QString &filter) = 0;
    virtual QString saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                                 const QString &filter) = 0;
    // A warning box with the single button OK and no default button.
    virtual void warning(QWidget *parent, const QString &title, const QString &text) = 0;
};

// The real dialogs: QFileDialog and QMessageBox.
class QtDialogs : public Dialogs
{
public:
    QString openFileName(QWidget *parent, const QString &caption, const QString &dir,
                         const QString &filter) override;
    QString saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                         const QString &filter) override;
    void warning(QWidget *parent, const QString &title, const QString &text) override;
};
