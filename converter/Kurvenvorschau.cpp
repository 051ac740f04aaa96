#include "Kurvenvorschau.h"

#include "CsvFile.h"
#include "CurveMarkers.h"
#include "Dialogs.h"
#include "DroppedFiles.h"
#include "Kurvendiagramm.h"
#include "MessageText.h"
#include "NewCurveFile.h"
#include "NewCurveReader.h"
#include "Ordner.h"
#include "SettingsPlace.h"

#include <QBoxLayout>
#include <QChartView>
#include <QCloseEvent>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineSeries>
#include <QMouseEvent>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QSettings>
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

Kurvenvorschau::Kurvenvorschau(Dialogs &dialogs, QWidget *parent)
    : QMainWindow(parent)
    , dialogs(dialogs)
    , chart(new Kurvendiagramm)
    , ansicht(new QChartView(chart, this))
    , ablesung(new QLabel(this))
    , speichern(new QPushButton(tr("Bild speichern..."), this))
    , tabelle(new QPushButton(tr("Als CSV speichern..."), this))
    , vergleichEntfernen(new QPushButton(tr("Vergleich entfernen"), this))
    , marken(new QTextEdit(this))
    , kurve(std::make_unique<CurveRecord>())
{
    setObjectName(QStringLiteral("Kurvenvorschau"));
    ansicht->setObjectName(QStringLiteral("chartView"));
    ablesung->setObjectName(QStringLiteral("ablesung"));
    speichern->setObjectName(QStringLiteral("bildSpeichern"));
    tabelle->setObjectName(QStringLiteral("csvSpeichern"));
    vergleichEntfernen->setObjectName(QStringLiteral("vergleichEntfernen"));
    marken->setObjectName(QStringLiteral("marken"));
    marken->setReadOnly(true);
    // Its height follows the width its text has, which its viewport knows once resized.
    marken->viewport()->installEventFilter(this);
    setAcceptDrops(true);
    // Shown after a conversion without taking the keyboard from the main window.
    setAttribute(Qt::WA_ShowWithoutActivating);
    ansicht->setRenderHint(QPainter::Antialiasing);
    ansicht->viewport()->setMouseTracking(true);
    ansicht->viewport()->installEventFilter(this);
    ansicht->installEventFilter(this);
    ansicht->setFocusPolicy(Qt::StrongFocus);
    ablesung->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *zeile = new QHBoxLayout;
    zeile->addWidget(ablesung, 1);
    zeile->addWidget(speichern);
    zeile->addWidget(tabelle);
    zeile->addWidget(vergleichEntfernen);
    auto *inhalt = new QWidget(this);
    auto *spalte = new QVBoxLayout(inhalt);
    spalte->addWidget(ansicht, 1);
    spalte->addWidget(marken);
    spalte->addLayout(zeile);
    setCentralWidget(inhalt);
    connect(speichern, &QPushButton::clicked, this, &Kurvenvorschau::bildSpeichernFragen);
    connect(tabelle, &QPushButton::clicked, this, &Kurvenvorschau::csvSpeichernFragen);
    connect(vergleichEntfernen, &QPushButton::clicked, this, &Kurvenvorschau::vergleichLeeren);

    resize(720, 500);
    leeren();
}

void Kurvenvorschau::kurveZeigen(const CurveRecord &record, const QString &text)
{
    chart->kurveZeigen(record, text);
    *kurve = record;
    kurveDa = true;
    ablesung->clear();
    markenListen();
    beschreibungSetzen(text);
}

void Kurvenvorschau::beschreibungSetzen(const QString &text)
{
    if (!kurveDa)
        return; // no curve shown
    beschreibung = text;
    chart->beschreibungSetzen(text);
    setWindowTitle(tr("%1 - Kurvenvorschau").arg(text));
}

void Kurvenvorschau::leeren()
{
    beschreibung.clear();
    chart->leeren();
    setWindowTitle(tr("Kurvenvorschau"));
    ablesung->clear();
    kurveDa = false;
    markenListen();
}

void Kurvenvorschau::markenListen()
{
    QString html;
    for (const Kurvendiagramm::MarkenZeile &z : chart->markenZeilen()) {
        html += QStringLiteral("<span style=\"color:%1\">&#9632;</span> <b>%2:</b> %3<br>")
                    .arg(z.farbe.name(), z.name.toHtmlEscaped(), z.text.toHtmlEscaped());
    }
    html.chop(4);
    marken->setHtml(html);
    marken->setVisible(!html.isEmpty());
    markenHoeheSetzen();
    const bool vergleich = !chart->verglichen().isEmpty();
    speichern->setEnabled(kurveDa || vergleich);
    tabelle->setEnabled(kurveDa);
    vergleichEntfernen->setEnabled(vergleich);
}

QStringList Kurvenvorschau::kurvenOeffnen(const QStringList &paths)
{
    QList<NewCurve> kurven = chart->verglichen();
    QStringList abgelehnt;
    for (const QString &path : paths) {
        const NewCurveReader::Ergebnis e = NewCurveReader::lesen(path);
        if (e.ok())
            kurven.append(e.kurve);
        else
            abgelehnt.append(QStringLiteral("%1: %2").arg(
                shownInMessage(QDir::toNativeSeparators(path)), e.meldung()));
    }
    if (kurven.size() != chart->verglichen().size()) {
        chart->vergleichZeigen(kurven);
        markenListen();
    }
    return abgelehnt;
}

void Kurvenvorschau::markenHoeheSetzen()
{
    // As high as the lines need, wrapped at the width there is; beyond six lines they scroll.
    QTextDocument *text = marken->document();
    text->setTextWidth(marken->viewport()->width());
    const int rand = 2 * marken->frameWidth();
    const int hoechstens =
        marken->fontMetrics().lineSpacing() * 6 + int(2 * text->documentMargin());
    marken->setFixedHeight(std::min(int(std::ceil(text->size().height())), hoechstens) + rand);
}

void Kurvenvorschau::vergleichLeeren()
{
    chart->vergleichZeigen({});
    markenListen();
}

void Kurvenvorschau::dragEnterEvent(QDragEnterEvent *event)
{
    acceptFileDrag(event);
}

void Kurvenvorschau::dropEvent(QDropEvent *event)
{
    const QStringList files = takeDroppedFiles(event);
    if (!files.isEmpty())
        emit dateienAbgelegt(files);
}

void Kurvenvorschau::vorbereiten()
{
    winId();
    layout()->activate();
    ansicht->grab();
}

void Kurvenvorschau::placeBeside(const QWidget *mainWindow)
{
    const QScreen *screen = mainWindow->screen();
    const QRect frei = screen ? screen->availableGeometry() : QRect();
    const QRect haupt = mainWindow->frameGeometry();
    // The frame the window system adds, as the main window has it.
    const QMargins rahmen(mainWindow->geometry().left() - haupt.left(),
                          mainWindow->geometry().top() - haupt.top(),
                          haupt.right() - mainWindow->geometry().right(),
                          haupt.bottom() - mainWindow->geometry().bottom());
    if (frei.isEmpty()) {
        move(haupt.right() + kGap, haupt.top());
        return;
    }
    const QSize aussen = (size().grownBy(rahmen)).boundedTo(frei.size());
    resize(aussen.shrunkBy(rahmen).expandedTo(minimumSizeHint()));
    const QSize groesse = size().grownBy(rahmen);
    // Right of the main window where there is room, else left of it, else as far right as the
    // screen allows.
    int x = haupt.right() + 1 + kGap;
    if (x + groesse.width() > frei.right() + 1)
        x = haupt.left() - kGap - groesse.width();
    if (x < frei.left())
        x = frei.right() + 1 - groesse.width();
    const int y = std::clamp(haupt.top(), frei.top(),
                             std::max(frei.top(), frei.bottom() + 1 - groesse.height()));
    move(std::max(x, frei.left()), y);
}

void Kurvenvorschau::closeEvent(QCloseEvent *event)
{
    event->accept();
    emit geschlossen();
}

bool Kurvenvorschau::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ansicht && event->type() == QEvent::KeyPress)
        return viewKeyPressed(static_cast<QKeyEvent *>(event));
    if (watched == marken->viewport()) {
        if (event->type() == QEvent::Resize)
            markenHoeheSetzen();
        return false;
    }
    if (watched != ansicht->viewport())
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        // Left to the chart when it lands on the legend, whose entries take clicks.
        if (mouse->button() != Qt::LeftButton ||
            !chart->plotArea().contains(ansicht->mapToScene(mouse->position().toPoint())))
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
            const QPointF von = chart->mapToValue(ansicht->mapToScene(dragFrom.toPoint()));
            const QPointF bis = chart->mapToValue(ansicht->mapToScene(mouse->position().toPoint()));
            chart->moveView(von.x() - bis.x(), von.y() - bis.y());
            dragFrom = mouse->position();
        }
        ablesen(mouse->position());
        return false;
    }
    case QEvent::Wheel:
        return wheelTurned(static_cast<QWheelEvent *>(event));
    case QEvent::MouseButtonDblClick:
        chart->ansichtZuruecksetzen();
        return true;
    default:
        return false;
    }
}

bool Kurvenvorschau::wheelTurned(const QWheelEvent *wheel)
{
    const int achtel = wheel->angleDelta().y();
    if (achtel == 0)
        return false;
    // One notch (120) zooms in or out by a fifth.
    const double faktor = std::pow(kZoomPerNotch, achtel / 120.0);
    const QPointF wert = chart->mapToValue(ansicht->mapToScene(wheel->position().toPoint()));
    if (wheel->modifiers() & Qt::ControlModifier)
        chart->zoomValues(faktor, wert.y());
    else
        chart->xZoomen(faktor, wert.x());
    return true;
}

bool Kurvenvorschau::viewKeyPressed(const QKeyEvent *key)
{
    const double breite = chart->xAchse()->max() - chart->xAchse()->min();
    const double hoehe = chart->yAchse()->max() - chart->yAchse()->min();
    switch (key->key()) {
    case Qt::Key_Left:
        chart->moveView(-breite * kMovePerKey, 0);
        return true;
    case Qt::Key_Right:
        chart->moveView(breite * kMovePerKey, 0);
        return true;
    case Qt::Key_Up:
        chart->moveView(0, hoehe * kMovePerKey);
        return true;
    case Qt::Key_Down:
        chart->moveView(0, -hoehe * kMovePerKey);
        return true;
    default:
        return false;
    }
}

void Kurvenvorschau::ablesen(const QPointF &position)
{
    const QPointF wert = chart->mapToValue(ansicht->mapToScene(position.toPoint()));
    const int i = chart->naechsterPunkt(wert.x());
    chart->punktMarkieren(i);
    if (i < 0) {
        ablesung->clear();
        return;
    }
    const QLineSeries *k1 = chart->kanal(1);
    const QLineSeries *k2 = chart->kanal(2);
    const double f = (k1->count() > i ? k1 : k2)->at(i).x();
    const QString einheit = chart->yAchse()->titleText();
    auto kanalText = [&](const QLineSeries *s) {
        return s->count() > i && s->isVisible() && std::isfinite(s->at(i).y())
                   ? germanFixed(s->at(i).y(), 2) + QLatin1Char(' ') + einheit
                   : QStringLiteral("-");
    };
    const QString frequenz = germanFixed(f, frequencyDecimals(chart->frequencyStep()));
    ablesung->setText(
        tr("%1 MHz  Kanal 1: %2  Kanal 2: %3").arg(frequenz, kanalText(k1), kanalText(k2)));
}

QString Kurvenvorschau::speichernUnter(const QString &ordnerSchluessel, const QString &titel,
                                       const QString &filter, const QStringList &endungen)
{
    const QString start = QSettings(SettingsPlace::organisation(), SettingsPlace::application())
                              .value(ordnerSchluessel, QDir::homePath())
                              .toString();
    const QString vorschlag =
        dateinameAusText(beschreibung.isEmpty() ? tr("Kurve") : beschreibung) + endungen.first();
    QString chosen = dialogs.saveFileName(this, titel, QDir(start).filePath(vorschlag), filter);
    const bool mitEndung = std::any_of(endungen.begin(), endungen.end(), [&](const QString &e) {
        return chosen.endsWith(e, Qt::CaseInsensitive);
    });
    if (!chosen.isEmpty() && !mitEndung)
        chosen += endungen.first();
    return chosen;
}

void Kurvenvorschau::bildSpeichernFragen()
{
    const QString chosen =
        speichernUnter(QStringLiteral("bildpath"), tr("Bild speichern", "FileDialog"),
                       tr("PNG-Bild (*.png);;SVG-Bild (*.svg)", "FileDialog"),
                       {QStringLiteral(".png"), QStringLiteral(".svg")});
    if (chosen.isEmpty())
        return;
    bildSpeichern(chosen);
    QSettings(SettingsPlace::organisation(), SettingsPlace::application())
        .setValue(QStringLiteral("bildpath"), ordnerVon(chosen));
}

void Kurvenvorschau::csvSpeichernFragen()
{
    // Beside the pair: in the folder its files were last saved in, under the name they get.
    const QString chosen =
        speichernUnter(QStringLiteral("kurvenpath"), tr("Als CSV speichern", "FileDialog"),
                       tr("CSV-Tabelle (*.csv)", "FileDialog"), {QStringLiteral(".csv")});
    if (!chosen.isEmpty())
        csvSpeichern(chosen);
}

bool Kurvenvorschau::csvSpeichern(const QString &path)
{
    return dateiSchreiben(path, kurveDa ? CsvFile::inhalt(*kurve) : QByteArray(),
                          tr("Als CSV speichern"),
                          tr("Die Tabelle %1 konnte nicht gespeichert werden."));
}

bool Kurvenvorschau::dateiSchreiben(const QString &path, const QByteArray &daten,
                                    const QString &titel, const QString &fehler)
{
    QSaveFile file(path);
    const bool ok = !daten.isEmpty() && file.open(QIODevice::WriteOnly) &&
                    file.write(daten) == daten.size() && file.commit();
    if (!ok)
        dialogs.warning(this, titel, fehler.arg(QDir::toNativeSeparators(path)));
    return ok;
}

bool Kurvenvorschau::bildSpeichern(const QString &path)
{
    const std::unique_ptr<Kurvendiagramm> bild = chart->kopie();
    const QByteArray daten = path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)
                                 ? bild->svg(kBildGroesse)
                                 : bild->png(kBildGroesse);
    return dateiSchreiben(path, daten, tr("Bild speichern"),
                          tr("Das Bild %1 konnte nicht gespeichert werden."));
}
