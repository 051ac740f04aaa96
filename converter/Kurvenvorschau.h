#pragma once

#include "CurveRecord.h"

#include <QMainWindow>

class Dialogs;
class Kurvendiagramm;
class QChartView;
class QKeyEvent;
class QWheelEvent;
class QLabel;
class QPushButton;

// The converter's preview window: the converted curve's two channels as a plot, beside the main
// window, before and after they are saved. The mouse over the plot reads frequency and both
// values at the nearest point; the wheel zooms the frequency axis, with Ctrl the value axis; a
// zoomed view moves by dragging and with the arrow keys; a double-click shows the whole curve
// again; a click on a legend entry hides and shows its channel. "Bild speichern..." saves the
// plot as PNG or SVG. A main window of its own, so that the desktop and its accessibility tools
// take it for the window it is.
class Kurvenvorschau : public QMainWindow
{
    Q_OBJECT

public:
    // Asks through dialogs, which must outlive the window.
    Kurvenvorschau(Dialogs &dialogs, QWidget *parent = nullptr);

    // Shows the record's converted curve; the window title holds the description.
    void kurveZeigen(const CurveRecord &record, const QString &beschreibung);
    // The description edited after the conversion: title, and name proposed for a picture.
    void beschreibungSetzen(const QString &beschreibung);
    void leeren();
    // Does beforehand what the first showing would otherwise spend on the platform window,
    // fonts and the chart's items, so that the first curve appears as quickly as later ones.
    void vorbereiten();
    // Places the window beside mainWindow, on mainWindow's screen and no larger than it.
    void placeBeside(const QWidget *mainWindow);

    Kurvendiagramm *diagramm() const { return chart; }

    // Saves the plot as it is shown (same frequency range) into path: SVG for a name ending
    // in ".svg", else PNG, at the size of the batch pictures. Tells the user when it fails.
    bool bildSpeichern(const QString &path);

signals:
    // The user closed the window.
    void geschlossen();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void bildSpeichernFragen();
    void ablesen(const QPointF &position);
    bool viewKeyPressed(const QKeyEvent *key);
    bool wheelTurned(const QWheelEvent *wheel);

    Dialogs &dialogs;
    Kurvendiagramm *chart;
    QChartView *ansicht;
    QLabel *ablesung;
    QPushButton *speichern;
    QString beschreibung;
    QPointF dragFrom; // where a drag of the view started or last moved to
    bool dragging = false;
};
