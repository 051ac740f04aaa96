#pragma once

#include <QString>
#include <QStringList>

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
    // Several files at once; by default the one that openFileName answers.
    virtual QStringList openFileNames(QWidget *parent, const QString &caption, const QString &dir,
                                      const QString &filter)
    {
        const QString name = openFileName(parent, caption, dir, filter);
        return name.isEmpty() ? QStringList() : QStringList{name};
    }
    virtual QString saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                                 const QString &filter) = 0;
    // A warning box with the single button OK and no default button. Its text is plain unless
    // it begins with a tag, as only the programs' own texts do: a name inside a text is never
    // read as HTML.
    virtual void warning(QWidget *parent, const QString &title, const QString &text) = 0;

    // What to do with work that would be lost: save it first, let it go, or stay.
    enum class SaveChoice { Save, Discard, Cancel };
    // Asks with the buttons "Speichern", "Verwerfen" and "Abbrechen" (the default).
    virtual SaveChoice askToSave(QWidget *parent, const QString &title, const QString &text) = 0;
};

// The real dialogs: QFileDialog and QMessageBox.
class QtDialogs : public Dialogs
{
public:
    QString openFileName(QWidget *parent, const QString &caption, const QString &dir,
                         const QString &filter) override;
    QStringList openFileNames(QWidget *parent, const QString &caption, const QString &dir,
                              const QString &filter) override;
    QString saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                         const QString &filter) override;
    void warning(QWidget *parent, const QString &title, const QString &text) override;
    SaveChoice askToSave(QWidget *parent, const QString &title, const QString &text) override;
};
