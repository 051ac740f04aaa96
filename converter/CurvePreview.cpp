#include "CurvePreview.h"

#include "CurveChart.h"
#include "DroppedFiles.h"
#include "FolderMemory.h"
#include "core/CsvFile.h"
#include "core/CurveMarkers.h"
#include "core/NewCurveFile.h"
#include "core/NewCurveReader.h"
#include "dialogs/Dialogs.h"
#include "platform/FileWriter.h"
#include "platform/MessageText.h"
#include "platform/Platform.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsPlace.h"

#include <QBoxLayout>
#include <QChartView>
#include <QCloseEvent>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineSeries>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTextDocument>
#include <QTextEdit>
#include <QValueAxis>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// Room left between the main window and the preview.
constexpr int kGap = 8;
// A wheel notch (120) or an arrow key changes the view by this part of it.
constexpr double kZoomPerNotch = 0.8;
constexpr double kMovePerKey = 0.1;

} // namespace

CurvePreview::CurvePreview(Dialogs &dialogs, QWidget *parent)
    : QMainWindow(parent)
    , dialogs(dialogs)
    , chart(new CurveChart)
    , view(new QChartView(chart, this))
    , readingLabel(new QLabel(this))
    , savePictureButton(new QPushButton(tr("Bild speichern..."), this))
    , saveCsvButton(new QPushButton(tr("Als CSV speichern..."), this))
    , removeComparisonButton(new QPushButton(tr("Vergleich entfernen"), this))
    , markerList(new QTextEdit(this))
    , curve(std::make_unique<CurveRecord>())
{
    setObjectName(QStringLiteral("CurvePreview"));
    view->setObjectName(QStringLiteral("chartView"));
    readingLabel->setObjectName(QStringLiteral("readingLabel"));
    savePictureButton->setObjectName(QStringLiteral("savePictureButton"));
    saveCsvButton->setObjectName(QStringLiteral("saveCsvButton"));
    removeComparisonButton->setObjectName(QStringLiteral("removeComparisonButton"));
    markerList->setObjectName(QStringLiteral("markerList"));
    markerList->setReadOnly(true);
    // Its height follows the width its text has, which its viewport knows once resized.
    markerList->viewport()->installEventFilter(this);
    setAcceptDrops(true);
    // Shown after a conversion without taking the keyboard from the main window.
    setAttribute(Qt::WA_ShowWithoutActivating);
    view->setRenderHint(QPainter::Antialiasing);
    view->viewport()->setMouseTracking(true);
    view->viewport()->installEventFilter(this);
    view->installEventFilter(this);
    view->setFocusPolicy(Qt::StrongFocus);
    readingLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *buttonRow = new QHBoxLayout;
    buttonRow->addWidget(readingLabel, 1);
    buttonRow->addWidget(savePictureButton);
    buttonRow->addWidget(saveCsvButton);
    buttonRow->addWidget(removeComparisonButton);
    auto *content = new QWidget(this);
    auto *column = new QVBoxLayout(content);
    column->addWidget(view, 1);
    column->addWidget(markerList);
    column->addLayout(buttonRow);
    setCentralWidget(content);
    connect(savePictureButton, &QPushButton::clicked, this, &CurvePreview::askToSavePicture);
    connect(saveCsvButton, &QPushButton::clicked, this, &CurvePreview::askToSaveCsv);
    connect(removeComparisonButton, &QPushButton::clicked, this, &CurvePreview::clearComparison);

    resize(720, 500);
    clear();
}

void CurvePreview::showCurve(const CurveRecord &record, const QString &text)
{
    chart->showCurve(record, text);
    *curve = record;
    curveShown = true;
    readingLabel->clear();
    listMarkers();
    setDescription(text);
}

void CurvePreview::setDescription(const QString &text)
{
    if (!curveShown)
        return; // no curve shown
    description = text;
    chart->setDescription(text);
    setWindowTitle(tr("%1 - Kurvenvorschau").arg(text));
}

void CurvePreview::clear()
{
    description.clear();
    chart->clear();
    setWindowTitle(tr("Kurvenvorschau"));
    readingLabel->clear();
    curveShown = false;
    listMarkers();
}

void CurvePreview::listMarkers()
{
    QString html;
    for (const CurveChart::MarkerLine &z : chart->markerLines()) {
        html += QStringLiteral("<span style=\"color:%1\">&#9632;</span> <b>%2:</b> %3<br>")
                    .arg(z.colour.name(), z.name.toHtmlEscaped(), z.text.toHtmlEscaped());
    }
    html.chop(4);
    markerList->setHtml(html);
    markerList->setVisible(!html.isEmpty());
    fitMarkerListHeight();
    const bool comparison = !chart->compared().isEmpty();
    savePictureButton->setEnabled(curveShown || comparison);
    saveCsvButton->setEnabled(curveShown);
    removeComparisonButton->setEnabled(comparison);
}

QStringList CurvePreview::openCurves(const QStringList &paths)
{
    QList<NewCurve> curves = chart->compared();
    QStringList refused;
    for (const QString &path : paths) {
        const NewCurveReader::Result e = NewCurveReader::read(path);
        if (e.ok())
            curves.append(e.curve);
        else
            refused.append(QStringLiteral("%1: %2").arg(
                shownInMessage(QDir::toNativeSeparators(path)), e.message()));
    }
    if (curves.size() != chart->compared().size()) {
        chart->showComparison(curves);
        listMarkers();
    }
    return refused;
}

void CurvePreview::fitMarkerListHeight()
{
    // As high as the lines need, wrapped at the width there is; beyond six lines they scroll.
    QTextDocument *text = markerList->document();
    text->setTextWidth(markerList->viewport()->width());
    const int margin = 2 * markerList->frameWidth();
    const int maxDigits =
        markerList->fontMetrics().lineSpacing() * 6 + int(2 * text->documentMargin());
    markerList->setFixedHeight(std::min(int(std::ceil(text->size().height())), maxDigits) + margin);
}

void CurvePreview::clearComparison()
{
    chart->showComparison({});
    listMarkers();
}

void CurvePreview::dragEnterEvent(QDragEnterEvent *event)
{
    acceptFileDrag(event);
}

void CurvePreview::dropEvent(QDropEvent *event)
{
    const QStringList files = takeDroppedFiles(event);
    if (!files.isEmpty())
        emit filesDropped(files);
}

void CurvePreview::prepare()
{
    winId();
    layout()->activate();
    view->grab();
}

void CurvePreview::placeBeside(const QWidget *mainWindow)
{
    const QScreen *screen = mainWindow->screen();
    const QRect available = screen ? screen->availableGeometry() : QRect();
    const QRect main = mainWindow->frameGeometry();
    // The frame the window system adds, as the main window has it.
    const QMargins frame(mainWindow->geometry().left() - main.left(),
                         mainWindow->geometry().top() - main.top(),
                         main.right() - mainWindow->geometry().right(),
                         main.bottom() - mainWindow->geometry().bottom());
    if (available.isEmpty()) {
        move(main.right() + kGap, main.top());
        return;
    }
    const QSize outer = (size().grownBy(frame)).boundedTo(available.size());
    resize(outer.shrunkBy(frame).expandedTo(minimumSizeHint()));
    const QSize pictureSize = size().grownBy(frame);
    // Right of the main window where there is room, else left of it, else as far right as the
    // screen allows.
    int x = main.right() + 1 + kGap;
    if (x + pictureSize.width() > available.right() + 1)
        x = main.left() - kGap - pictureSize.width();
    if (x < available.left())
        x = available.right() + 1 - pictureSize.width();
    const int y =
        std::clamp(main.top(), available.top(),
                   std::max(available.top(), available.bottom() + 1 - pictureSize.height()));
    move(std::max(x, available.left()), y);
}

void CurvePreview::closeEvent(QCloseEvent *event)
{
    event->accept();
    emit closed();
}

bool CurvePreview::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == view && event->type() == QEvent::KeyPress)
        return viewKeyPressed(static_cast<QKeyEvent *>(event));
    if (watched == markerList->viewport()) {
        if (event->type() == QEvent::Resize)
            fitMarkerListHeight();
        return false;
    }
    if (watched != view->viewport())
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        // Left to the chart when it lands on the legend, whose entries take clicks.
        if (mouse->button() != Qt::LeftButton ||
            !chart->plotArea().contains(view->mapToScene(mouse->position().toPoint())))
            return false;
        dragging = true;
        dragFrom = mouse->position();
        return false;
    }
    case QEvent::MouseButtonRelease:
        dragging = false;
        return false;
    case QEvent::MouseMove: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (dragging && (mouse->buttons() & Qt::LeftButton)) {
            // The curve follows the mouse: the view moves the other way.
            const QPointF from = chart->mapToValue(view->mapToScene(dragFrom.toPoint()));
            const QPointF to = chart->mapToValue(view->mapToScene(mouse->position().toPoint()));
            chart->moveView(from.x() - to.x(), from.y() - to.y());
            dragFrom = mouse->position();
        }
        showReading(mouse->position());
        return false;
    }
    case QEvent::Wheel:
        return wheelTurned(static_cast<QWheelEvent *>(event));
    case QEvent::MouseButtonDblClick:
        chart->resetView();
        return true;
    default:
        return false;
    }
}

bool CurvePreview::wheelTurned(const QWheelEvent *wheel)
{
    const int eighth = wheel->angleDelta().y();
    if (eighth == 0)
        return false;
    // One notch (120) zooms in or out by a fifth.
    const double factor = std::pow(kZoomPerNotch, eighth / 120.0);
    const QPointF value = chart->mapToValue(view->mapToScene(wheel->position().toPoint()));
    if (wheel->modifiers() & Qt::ControlModifier)
        chart->zoomValues(factor, value.y());
    else
        chart->zoomFrequencies(factor, value.x());
    return true;
}

bool CurvePreview::viewKeyPressed(const QKeyEvent *key)
{
    const double frequencySpan = chart->xAxis()->max() - chart->xAxis()->min();
    const double height = chart->yAxis()->max() - chart->yAxis()->min();
    switch (key->key()) {
    case Qt::Key_Left:
        chart->moveView(-frequencySpan * kMovePerKey, 0);
        return true;
    case Qt::Key_Right:
        chart->moveView(frequencySpan * kMovePerKey, 0);
        return true;
    case Qt::Key_Up:
        chart->moveView(0, height * kMovePerKey);
        return true;
    case Qt::Key_Down:
        chart->moveView(0, -height * kMovePerKey);
        return true;
    default:
        return false;
    }
}

void CurvePreview::showReading(const QPointF &position)
{
    const QPointF value = chart->mapToValue(view->mapToScene(position.toPoint()));
    const int i = chart->nearestPoint(value.x());
    chart->markPoint(i);
    if (i < 0) {
        readingLabel->clear();
        return;
    }
    const QLineSeries *samples1 = chart->channel(1);
    const QLineSeries *samples2 = chart->channel(2);
    const double f = (samples1->count() > i ? samples1 : samples2)->at(i).x();
    const QString unitOf = chart->yAxis()->titleText();
    auto channelText = [&](const QLineSeries *s) {
        return s->count() > i && s->isVisible() && std::isfinite(s->at(i).y())
                   ? germanFixed(s->at(i).y(), 2) + QLatin1Char(' ') + unitOf
                   : QStringLiteral("-");
    };
    const QString frequency = germanFixed(f, frequencyDecimals(chart->frequencyStep()));
    readingLabel->setText(tr("%1 MHz  Kanal 1: %2  Kanal 2: %3")
                              .arg(frequency, channelText(samples1), channelText(samples2)));
}

QString CurvePreview::askWhereToSave(const QString &folderKey, const QString &title,
                                     const QString &filter, const QStringList &suffixes)
{
    const QString start =
        SettingsFile(SettingsPlace::application()).value(folderKey, QDir::homePath()).toString();
    const QString proposal =
        safeFileName(description.isEmpty() ? tr("Kurve") : description) + suffixes.first();
    QString chosen = Platform::storedName(
        dialogs.saveFileName(this, title, QDir(start).filePath(proposal), filter));
    const bool withSuffix = std::any_of(suffixes.begin(), suffixes.end(), [&](const QString &e) {
        return chosen.endsWith(e, Qt::CaseInsensitive);
    });
    if (!chosen.isEmpty() && !withSuffix)
        chosen += suffixes.first();
    return chosen;
}

void CurvePreview::askToSavePicture()
{
    const QString chosen =
        askWhereToSave(QStringLiteral("bildpath"), tr("Bild speichern", "FileDialog"),
                       tr("PNG-Bild (*.png);;SVG-Bild (*.svg)", "FileDialog"),
                       {QStringLiteral(".png"), QStringLiteral(".svg")});
    if (chosen.isEmpty())
        return;
    savePicture(chosen);
    SettingsFile(SettingsPlace::application())
        .setValue(QStringLiteral("bildpath"), folderToRemember(chosen));
}

void CurvePreview::askToSaveCsv()
{
    // Beside the pair: in the folder its files were last saved in, under the name they get.
    const QString chosen =
        askWhereToSave(QStringLiteral("kurvenpath"), tr("Als CSV speichern", "FileDialog"),
                       tr("CSV-Tabelle (*.csv)", "FileDialog"), {QStringLiteral(".csv")});
    if (!chosen.isEmpty())
        saveCsv(chosen);
}

bool CurvePreview::saveCsv(const QString &path)
{
    return writeFile(path, curveShown ? CsvFile::content(*curve) : QByteArray(),
                     tr("Als CSV speichern"),
                     tr("Die Tabelle %1 konnte nicht gespeichert werden."));
}

bool CurvePreview::writeFile(const QString &path, const QByteArray &bytes, const QString &title,
                             const QString &error)
{
    // Through the one writer the pair and the batch mode use, with the same refusals and words.
    const FileWriter::Result result =
        bytes.isEmpty() ? FileWriter::Result() : FileWriter::writeAllOrNone({{path, bytes}});
    const bool ok = !bytes.isEmpty() && result.ok();
    if (!ok) {
        QString text = error.arg(QDir::toNativeSeparators(path));
        if (!result.reasons.isEmpty())
            text += QLatin1Char('\n') + result.reasons.constFirst();
        dialogs.warning(this, title, text);
    }
    return ok;
}

bool CurvePreview::savePicture(const QString &path)
{
    const std::unique_ptr<CurveChart> picture = chart->clone();
    const QByteArray bytes = path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)
                                 ? picture->svg(kPictureSize)
                                 : picture->png(kPictureSize);
    return writeFile(path, bytes, tr("Bild speichern"),
                     tr("Das Bild %1 konnte nicht gespeichert werden."));
}
