#pragma once

#include <QChartView>
#include <QStringList>

class CurveChart;
class QMenu;

// The plot on screen and how a person works it, with the mouse or the keyboard alone. The
// pointer reads every curve shown at its frequency; the wheel zooms the frequency axis, with
// Ctrl the values; a zoomed view moves by dragging; a double-click shows the whole curve. With
// the plot focused (a frame shows it), Left and Right move a cursor from point to point, Home and
// End to the ends, "+" and "-" zoom around it, "0" shows the whole curve, Shift with Left or
// Right moves the view, Up and Down the values, the digits 1 to 9 hide and show the curves,
// and the menu key opens the curves' menu. A click on a legend entry hides and shows its
// curve, a right click opens its menu. Files dropped onto the plot are handed on. The chart
// follows the palette of the desktop.
class CurveView : public QChartView
{
    Q_OBJECT

public:
    CurveView(CurveChart *chart, QWidget *parent);

    CurveChart *curveChart() const { return chart; }
    // What is read at the pointer or the cursor; empty while neither has reached the plot.
    QString readout() const { return reading; }
    // The menu of one curve (-1: of every curve): hide or show it, move it to the other axis.
    QMenu *curveMenu(int curve);

signals:
    void readoutChanged(const QString &text);
    void filesDropped(const QStringList &paths);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    QPointF valueAt(const QPointF &position) const;
    // Reads the curves at frequency (their nearest points), marks them and tells the readout.
    void readAt(double frequency);
    // Moves the cursor to frequency and the view along where the cursor would leave it.
    void moveCursorTo(double frequency);
    bool cursorKey(const QKeyEvent *key);
    void legendEntryClicked(int curve);
    void curvesChanged();

    CurveChart *chart;
    QString reading;
    QPointF dragFrom; // where a drag of the view started or last moved to
    bool dragging = false;
    Qt::MouseButton pressed = Qt::NoButton; // of the click a legend entry hears
    int hoveredEntry = -1;
};
