#pragma once

#include <QString>

class QWidget;

// Asks the person for a file to open. The window receives one, so that tests can answer the
// question themselves instead of a dialog waiting for a person.
class FileChooser
{
public:
    virtual ~FileChooser() = default;
    // An empty name means that the person cancelled.
    virtual QString getOpenFileName(QWidget *parent, const QString &caption, const QString &dir,
                                    const QString &filter) = 0;
};

// The system's file dialog.
class DialogFileChooser : public FileChooser
{
public:
    QString getOpenFileName(QWidget *parent, const QString &caption, const QString &dir,
                            const QString &filter) override;
};
