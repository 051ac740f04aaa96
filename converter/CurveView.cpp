#include "CurveView.h"

#include "CurveChart.h"
#include "DroppedFiles.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QTextDocument>
#include <QToolTip>
#include <QValueAxis>
#include <QWheelEvent>

#include <cmath>

namespace {

// A wheel notch (120) or a key changes the view by this part of it.
constexpr double kZoomPerNotch = 0.8;
constexpr double kMovePerKey = 0.1;

} // namespace

CurveView::CurveView(CurveChart *curveChart, QWidget *parent)
    : QChartView(curveChart, parent)
    , chart(curveChart)
{
    setRenderHint(QPainter::Antialiasing);
    viewport()->setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
    setAccessibleName(tr("Kurvendiagramm"));
    chart->usePalette(palette());
    connect(chart, &CurveChart::legendEntryClicked, this, &CurveView::legendEntryClicked);
    connect(chart, &CurveChart::legendEntryHovered, this, [this](int curve) {
        hoveredEntry = curve;
        if (curve < 0)
            QToolTip::hideText();
    });
    connect(chart, &CurveChart::curvesChanged, this, &CurveView::curvesChanged);
    curvesChanged();
}

QPointF CurveView::valueAt(const QPointF &position) const
{
    return chart->mapToValue(mapToScene(position.toPoint()));
}

void CurveView::readAt(double frequency)
{
    chart->markFrequency(frequency);
    const QString text = chart->readout(frequency);
    if (text != reading) {
        reading = text;
        emit readoutChanged(reading);
    }
}

void CurveView::curvesChanged()
{
    setAccessibleDescription(chart->summary());
    // The curves read before may be gone or hidden: the readout follows.
    readAt(chart->markedFrequency());
}

void CurveView::mousePressEvent(QMouseEvent *event)
{
    pressed = event->button();
    // Left to the chart when it lands beside the plot, on the legend, whose entries take clicks.
    if (event->button() == Qt::LeftButton &&
        chart->plotArea().contains(mapToScene(event->position().toPoint()))) {
        dragging = true;
        dragFrom = event->position();
    }
    QChartView::mousePressEvent(event);
    pressed = Qt::NoButton;
}

void CurveView::mouseReleaseEvent(QMouseEvent *event)
{
    dragging = false;
    // A legend entry hears its click as the button is released.
    pressed = event->button();
    QChartView::mouseReleaseEvent(event);
    pressed = Qt::NoButton;
}

void CurveView::mouseMoveEvent(QMouseEvent *event)
{
    if (dragging && (event->buttons() & Qt::LeftButton)) {
        // The curve follows the mouse: the view moves the other way.
        const QPointF from = valueAt(dragFrom);
        const QPointF to = valueAt(event->position());
        chart->moveView(from.x() - to.x(), from.y() - to.y());
        dragFrom = event->position();
    }
    if (chart->plotArea().contains(mapToScene(event->position().toPoint())))
        readAt(chart->nearestFrequency(valueAt(event->position()).x()));
    QChartView::mouseMoveEvent(event);
}

void CurveView::mouseDoubleClickEvent(QMouseEvent *event)
{
    chart->resetView();
    event->accept();
}

void CurveView::wheelEvent(QWheelEvent *event)
{
    const int eighth = event->angleDelta().y();
    if (eighth == 0) {
        QChartView::wheelEvent(event);
        return;
    }
    // One notch (120) zooms in or out by a fifth.
    const double factor = std::pow(kZoomPerNotch, eighth / 120.0);
    const QPointF value = valueAt(event->position());
    if (event->modifiers() & Qt::ControlModifier)
        chart->zoomValues(factor, value.y());
    else
        chart->zoomFrequencies(factor, value.x());
    event->accept();
}

void CurveView::moveCursorTo(double frequency)
{
    if (std::isnan(frequency))
        return;
    const QValueAxis *x = chart->xAxis();
    if (frequency < x->min())
        chart->moveView(frequency - x->min(), 0);
    else if (frequency > x->max())
        chart->moveView(frequency - x->max(), 0);
    readAt(frequency);
}

bool CurveView::cursorKey(const QKeyEvent *key)
{
    const double marked = chart->markedFrequency();
    const double span = chart->xAxis()->max() - chart->xAxis()->min();
    const bool shift = key->modifiers() & Qt::ShiftModifier;
    switch (key->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right: {
        const int direction = key->key() == Qt::Key_Left ? -1 : 1;
        if (shift)
            chart->moveView(direction * span * kMovePerKey, 0);
        else
            moveCursorTo(chart->stepFrequency(marked, direction));
        return true;
    }
    case Qt::Key_Home:
    case Qt::Key_End:
        moveCursorTo(chart->stepFrequency(qQNaN(), key->key() == Qt::Key_Home ? 1 : -1));
        return true;
    case Qt::Key_Plus:
    case Qt::Key_Minus: {
        const double centre = std::isnan(marked) ? chart->xAxis()->min() + span / 2 : marked;
        chart->zoomFrequencies(key->key() == Qt::Key_Plus ? kZoomPerNotch : 1 / kZoomPerNotch,
                               centre);
        return true;
    }
    case Qt::Key_0:
        chart->resetView();
        return true;
    default:
        return false;
    }
}

void CurveView::keyPressEvent(QKeyEvent *event)
{
    if (cursorKey(event))
        return;
    const double height = chart->yAxis()->max() - chart->yAxis()->min();
    const int digit = event->key() - Qt::Key_1;
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
        chart->moveView(0, (event->key() == Qt::Key_Up ? 1 : -1) * height * kMovePerKey);
    } else if (digit >= 0 && digit < 9 && digit < chart->curveCount()) {
        chart->setCurveShown(digit, !chart->curveShown(digit));
    } else if (event->key() == Qt::Key_Menu ||
               (event->key() == Qt::Key_F10 && event->modifiers() & Qt::ShiftModifier)) {
        if (chart->curveCount() > 0)
            curveMenu(-1)->popup(mapToGlobal(rect().center()));
    } else {
        QChartView::keyPressEvent(event);
    }
}

QMenu *CurveView::curveMenu(int curve)
{
    auto *menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const int from = curve < 0 ? 0 : curve;
    const int to = curve < 0 ? chart->curveCount() : curve + 1;
    for (int i = from; i < to; ++i) {
        // A name holding "&" would otherwise underline the letter after it.
        QString name = chart->curveName(i);
        name.replace(QLatin1Char('&'), QLatin1String("&&"));
        if (to - from > 1 && i > from)
            menu->addSeparator();
        QAction *shown = menu->addAction(tr("%1 anzeigen").arg(name));
        shown->setCheckable(true);
        shown->setChecked(chart->curveShown(i));
        connect(shown, &QAction::triggered, chart,
                [this, i](bool checked) { chart->setCurveShown(i, checked); });
        menu->addAction(chart->onSecondAxis(i) ? tr("%1 auf die linke Achse").arg(name)
                                               : tr("%1 auf die rechte Achse").arg(name),
                        chart, [this, i] { chart->moveToOtherAxis(i); });
    }
    return menu;
}

void CurveView::legendEntryClicked(int curve)
{
    if (curve < 0)
        return;
    if (pressed == Qt::RightButton)
        curveMenu(curve)->popup(QCursor::pos());
    else
        chart->setCurveShown(curve, !chart->curveShown(curve));
}

void CurveView::focusInEvent(QFocusEvent *event)
{
    QChartView::focusInEvent(event);
    viewport()->update();
}

void CurveView::focusOutEvent(QFocusEvent *event)
{
    QChartView::focusOutEvent(event);
    viewport()->update();
}

void CurveView::paintEvent(QPaintEvent *event)
{
    QChartView::paintEvent(event);
    if (!hasFocus())
        return;
    // The focus frame: on the screen only, never in a saved picture.
    QPainter painter(viewport());
    painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
    painter.drawRect(QRectF(viewport()->rect()).adjusted(1, 1, -1, -1));
}

void CurveView::changeEvent(QEvent *event)
{
    QChartView::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        chart->usePalette(palette());
}

bool CurveView::viewportEvent(QEvent *event)
{
    // The whole header of a legend entry's curve, as plain text.
    if (event->type() == QEvent::ToolTip && hoveredEntry >= 0 &&
        hoveredEntry < chart->curveCount()) {
        const auto *help = static_cast<QHelpEvent *>(event);
        QToolTip::showText(help->globalPos(),
                           Qt::convertFromPlainText(chart->curveToolTip(hoveredEntry)), viewport());
        return true;
    }
    return QChartView::viewportEvent(event);
}

void CurveView::dragEnterEvent(QDragEnterEvent *event)
{
    acceptFileDrag(event);
}

void CurveView::dragMoveEvent(QDragMoveEvent *event)
{
    // The scene takes no files: the whole plot does.
    acceptFileDrag(event);
}

void CurveView::dropEvent(QDropEvent *event)
{
    const QStringList files = takeDroppedFiles(event);
    if (!files.isEmpty())
        emit filesDropped(files);
}
