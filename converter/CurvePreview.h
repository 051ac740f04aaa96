#pragma once

#include "core/CurveRecord.h"

#include <QMainWindow>
#include <QStringList>

#include <memory>

class Dialogs;
class CurveChart;
class CurveView;
class QLabel;
class QPushButton;
class QTextEdit;

// The converter's preview window: the converted curve's two channels as a plot, beside the main
// window, before and after they are saved, with a readout of the curves at the pointer or the
// keyboard's cursor under it (the plot's own handling is CurveView's). "Bild speichern..." saves
// the plot as PNG or SVG, "Als CSV speichern..." the converted curve as a table. New curve files
// opened here, or dropped onto the window, are laid over the converted curve for comparison;
// every curve's markers are listed under the plot. A main window of its own, so that the
// desktop and its accessibility tools take it for the window it is.
class CurvePreview : public QMainWindow
{
    Q_OBJECT

public:
    // Asks through dialogs, which must outlive the window.
    CurvePreview(Dialogs &dialogs, QWidget *parent = nullptr);

    // Shows the record's converted curve; the window title holds the description.
    void showCurve(const CurveRecord &record, const QString &description);
    // The description edited after the conversion: title, and name proposed for a picture.
    void setDescription(const QString &description);
    void clear();
    // Does beforehand what the first showing would otherwise spend on the platform window,
    // fonts and the chart's items, so that the first curve appears as quickly as later ones.
    void prepare();
    // Places the window beside mainWindow, on mainWindow's screen and no larger than it.
    void placeBeside(const QWidget *mainWindow);

    CurveChart *curveChart() const { return chart; }

    // Reads the new curve files and adds those it accepts to the compared curves. Returns one
    // line per refused file: its name and why.
    QStringList openCurves(const QStringList &paths);
    // No compared curves any more.
    void clearComparison();
    // Saves the converted curve shown as a CSV table into path. Tells the user when it fails.
    bool saveCsv(const QString &path);

    // Saves the plot as it is shown (same frequency range) into path: SVG for a name ending
    // in ".svg", else PNG, at the size of the batch pictures. Tells the user when it fails.
    bool savePicture(const QString &path);

signals:
    // The user closed the window.
    void closed();
    // Files were dropped onto the window; the main window opens them.
    void filesDropped(const QStringList &paths);

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void askToSavePicture();
    void askToSaveCsv();
    // Asks where to save, proposing the description's name with the first of the suffixes in
    // the folder remembered under folderKey; a name with none of them gets the first.
    // Empty when the person cancelled.
    QString askWhereToSave(const QString &folderKey, const QString &title, const QString &filter,
                           const QStringList &suffixes);
    // Writes data whole into path, or tells the user error (with %1 for the file).
    bool writeFile(const QString &path, const QByteArray &bytes, const QString &title,
                   const QString &error);
    // The markers of every curve shown, one line each, and which buttons have work to do.
    void listMarkers();
    void fitMarkerListHeight();
    void showReadout(const QString &text);

    Dialogs &dialogs;
    CurveChart *chart;
    CurveView *view;
    QLabel *readingLabel;
    QPushButton *savePictureButton;
    QPushButton *saveCsvButton;
    QPushButton *removeComparisonButton;
    QTextEdit *markerList;
    QString description;
    // The converted curve shown, kept for its table: the main window empties its own record
    // after a save.
    std::unique_ptr<CurveRecord> curve;
    bool curveShown = false;
};
