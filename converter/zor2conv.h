#pragma once

#include "CurveRecord.h"

#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class Dialogs;
class Kurvenvorschau;
class RecentFiles;

namespace Ui {
class zor2conv;
}

// The converter's main window: open an old curve file, convert it, save it in the new format.
// The three buttons are enabled in that order (idle, loaded, converted); every save, written,
// failed or cancelled, returns the window to idle. All file formats live in the core; the window
// asks the user and shows the results.
class zor2conv : public QMainWindow
{
    Q_OBJECT

public:
    explicit zor2conv(QWidget *parent = nullptr);
    // The window asks through dialogs, which must outlive it.
    explicit zor2conv(Dialogs &dialogs, QWidget *parent = nullptr);
    ~zor2conv() override;

    // Returns the window and the curve record to the idle state.
    void kurveLoeschen();
    // Opens the old curve file as "Kurvendatei ALT oeffnen" does when the person picks it (a
    // file named on the command line, or opened from the desktop).
    void kurveAltOeffnen(const QString &fileName);
    // Opens new curve files in the preview for comparison and shows it; returns one line per
    // refused file, its name and why (the window has told the user in a box).
    QStringList kurvenNeuAnzeigen(const QStringList &fileNames);
    // Files named on the command line or dropped onto a window: the new curve files go to the
    // preview, the first other file is opened as an old curve file. Returns the refused new
    // curve files as kurvenNeuAnzeigen does.
    QStringList dateienOeffnen(const QStringList &fileNames);
    // Where refused new curve files are told before the box: the terminal, for the files named
    // on the command line. None: only the box.
    void setRefusalReporter(std::function<void(const QString &)> reporter)
    {
        refusalReporter = std::move(reporter);
    }
    // The current local time in the format formatfilename: the name proposed for an empty
    // description.
    QString zeitstempel() const;

protected:
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private slots:
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();
    void on_pushButton_3_clicked();
    void on_actionBeenden_triggered();
    void on_actionKurvenvorschau_toggled(bool checked);

private:
    zor2conv(Dialogs *dialogs, std::unique_ptr<Dialogs> ownDialogs, QWidget *parent);

    // Asks for the old file to open; empty when the person cancelled.
    QString kurveAltWaehlen();
    // Opens fileName (none: nothing) into the emptied window.
    void kurveAltLaden(const QString &fileName);
    bool kurveAltPruefen(const QString &fileName);
    // Returns the version code; for a file that was chosen but refused, grund tells why.
    int kurveAltLesen(const QString &fileName, QString &grund);
    // Returns the files written.
    QStringList kurveNeuSpeichern();
    // The idle form, with the preview left as it is.
    void formLeeren();
    // The new-file group, its save button and the menu entry for it.
    void setSavable(bool savable);
    void vorschauZeigen();
    void kurvenNeuWaehlen();

    Ui::zor2conv *ui;
    CurveRecord record;
    QString formatfilename;

    std::unique_ptr<Dialogs> ownDialogs; // the real dialogs, when none were given
    Dialogs *dialogs;
    // The plot of the converted curve, a window of its own beside this one.
    Kurvenvorschau *vorschau;
    bool vorschauPlatziert = false;
    RecentFiles *zuletzt;
    std::function<void(const QString &)> refusalReporter;
};
