#include "CurvePreview.h"

#include "CurveChart.h"
#include "CurveView.h"
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
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// Room left between the main window and the preview.
constexpr int kGap = 8;

} // namespace

CurvePreview::CurvePreview(Dialogs &dialogs, QWidget *parent)
    : QMainWindow(parent)
    , dialogs(dialogs)
    , chart(new CurveChart)
    , view(new CurveView(chart, this))
    , readingLabel(new QLabel(this))
    , savePictureButton(new QPushButton(tr("&Bild speichern..."), this))
    , saveCsvButton(new QPushButton(tr("Als &CSV speichern..."), this))
    , removeComparisonButton(new QPushButton(tr("&Vergleich entfernen"), this))
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
    markerList->setAccessibleName(tr("Marker der Kurven"));
    markerList->setReadOnly(true);
    // Its height follows the width its text has, which its viewport knows once resized.
    markerList->viewport()->installEventFilter(this);
    setAcceptDrops(true);
    // Shown after a conversion without taking the keyboard from the main window.
    setAttribute(Qt::WA_ShowWithoutActivating);
    // A line of its own, wrapped where it is long: many curves never widen the window.
    readingLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    readingLabel->setTextFormat(Qt::PlainText); // names of files are never read as HTML
    readingLabel->setWordWrap(true);
    readingLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    view->setMinimumSize(240, 160);

    auto *buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    buttonRow->addWidget(savePictureButton);
    buttonRow->addWidget(saveCsvButton);
    buttonRow->addWidget(removeComparisonButton);
    auto *content = new QWidget(this);
    auto *column = new QVBoxLayout(content);
    column->addWidget(view, 1);
    column->addWidget(markerList);
    column->addWidget(readingLabel);
    column->addLayout(buttonRow);
    setCentralWidget(content);
    connect(savePictureButton, &QPushButton::clicked, this, &CurvePreview::askToSavePicture);
    connect(saveCsvButton, &QPushButton::clicked, this, &CurvePreview::askToSaveCsv);
    connect(removeComparisonButton, &QPushButton::clicked, this, &CurvePreview::clearComparison);
    connect(view, &CurveView::readoutChanged, this, &CurvePreview::showReadout);
    connect(view, &CurveView::filesDropped, this, &CurvePreview::filesDropped);
    connect(chart, &CurveChart::curvesChanged, this, &CurvePreview::listMarkers);

    resize(720, 500);
    clear();
}

void CurvePreview::showCurve(const CurveRecord &record, const QString &text)
{
    curveShown = true;
    chart->showCurve(record, text);
    *curve = record;
    setDescription(text);
}

void CurvePreview::setDescription(const QString &text)
{
    if (!curveShown)
        return; // no curve shown
    description = text;
    chart->setDescription(text);
    setWindowTitle(tr("%1 - Kurvenvorschau").arg(shownName(text)));
}

void CurvePreview::clear()
{
    description.clear();
    curveShown = false;
    chart->clear();
    setWindowTitle(tr("Kurvenvorschau"));
}

void CurvePreview::showReadout(const QString &text)
{
    // Until the pointer or the cursor reaches a curve, a hint where the values come from. The
    // text is the label's accessible name as well, which tells assistive technology each change.
    const QString shown = text.isEmpty() ? tr("Messwerte: Zeiger auf die Kurve") : text;
    readingLabel->setText(shown);
    readingLabel->setAccessibleName(shown);
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
    showReadout(view->readout());
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
    if (curves.size() != chart->compared().size())
        chart->showComparison(curves);
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
    // Never larger than the screen's free area, whatever the font asks for.
    const QSize room = available.size().shrunkBy(frame);
    resize(size().expandedTo(minimumSizeHint()).boundedTo(room));
    const QSize outer = size().grownBy(frame);
    // Right of the main window where there is room, else left of it, else as far right as the
    // screen allows.
    int x = main.right() + 1 + kGap;
    if (x + outer.width() > available.right() + 1)
        x = main.left() - kGap - outer.width();
    if (x < available.left())
        x = available.right() + 1 - outer.width();
    const int y = std::clamp(main.top(), available.top(),
                             std::max(available.top(), available.bottom() + 1 - outer.height()));
    move(std::max(x, available.left()), y);
}

void CurvePreview::closeEvent(QCloseEvent *event)
{
    event->accept();
    emit closed();
}

bool CurvePreview::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == markerList->viewport() && event->type() == QEvent::Resize)
        fitMarkerListHeight();
    return false;
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
