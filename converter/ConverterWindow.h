#pragma once

#include "core/CurveRecord.h"

#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class Dialogs;
class CurvePreview;
class RecentFiles;

namespace Ui {
class ConverterWindow;
}

// The converter's main window: open an old curve file, convert it, save it in the new format.
// The three buttons are enabled in that order (idle, loaded, converted); every save, written,
// failed or cancelled, returns the window to idle. All file formats live in the core; the window
// asks the user and shows the results.
class ConverterWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit ConverterWindow(QWidget *parent = nullptr);
    // The window asks through dialogs, which must outlive it.
    explicit ConverterWindow(Dialogs &dialogs, QWidget *parent = nullptr);
    ~ConverterWindow() override;

    // Returns the window and the curve record to the idle state.
    void clearCurve();
    // Opens the old curve file as "Kurvendatei ALT oeffnen" does when the person picks it (a
    // file named on the command line, or opened from the desktop).
    void openOldCurve(const QString &fileName);
    // Opens new curve files in the preview for comparison and shows it; returns one line per
    // refused file, its name and why (the window has told the user in a box).
    QStringList showNewCurves(const QStringList &fileNames);
    // Files named on the command line or dropped onto a window: the new curve files go to the
    // preview, the first other file is opened as an old curve file. Returns the refused new
    // curve files as showNewCurves does.
    QStringList openFiles(const QStringList &fileNames);
    // Where refused new curve files are told before the box: the terminal, for the files named
    // on the command line. None: only the box.
    void setRefusalReporter(std::function<void(const QString &)> reporter)
    {
        refusalReporter = std::move(reporter);
    }
    // The current local time in the format fileNameFormat: the name proposed for an empty
    // description.
    QString timestamp() const;

protected:
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private slots:
    void on_openButton_clicked();
    void on_saveButton_clicked();
    void on_convertButton_clicked();
    void on_quitAction_triggered();
    void on_previewAction_toggled(bool checked);

private:
    ConverterWindow(Dialogs *dialogs, std::unique_ptr<Dialogs> ownDialogs, QWidget *parent);
    // "Kurve NEU anzeigen..." and "Zuletzt geoeffnet" in the file menu.
    void addFileMenuEntries();
    void setToolTips();

    // Asks for the old file to open; empty when the person cancelled.
    QString chooseOldCurve();
    // Opens fileName (none: nothing) into the emptied window.
    void loadOldCurve(const QString &fileName);
    bool checkOldCurve(const QString &fileName);
    // Returns the version code; for a file that was chosen but refused, reason tells why.
    int readOldCurve(const QString &fileName, QString &reason);
    // Returns the files written.
    QStringList saveNewCurve();
    // Saves as the save button does; whether a file was written.
    bool saveConversion();
    // Whether the converted curve may be replaced or the window closed: yes when it is saved,
    // or the person lets it go or saves it now when asked.
    bool conversionMayGo();
    // The idle form, with the preview left as it is.
    void clearForm();
    // The new-file group, its save button and the menu entry for it.
    void setSavable(bool savable);
    void showPreview();
    void chooseNewCurves();

    Ui::ConverterWindow *ui;
    CurveRecord record;
    QString fileNameFormat;

    std::unique_ptr<Dialogs> ownDialogs; // the real dialogs, when none were given
    Dialogs *dialogs;
    // The plot of the converted curve, a window of its own beside this one.
    CurvePreview *preview;
    bool previewPlaced = false;
    RecentFiles *recent;
    std::function<void(const QString &)> refusalReporter;
};
