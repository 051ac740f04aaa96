#include "Kurvenvorschau.h"

#include "CsvFile.h"
#include "Dialogs.h"
#include "DroppedFiles.h"
#include "Kurvendiagramm.h"
#include "NewCurveFile.h"
#include "NewCurveReader.h"
#include "Ordner.h"
#include "SettingsPlace.h"

#include <QBoxLayout>
#include <QChartView>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineSeries>
#include <QMouseEvent>
#include <QPushButton>
#include <QSaveFile>
#include <QSettings>
#include <QTextDocument>
#include <QTextEdit>
#include <QValueAxis>
#include <QWheelEvent>

#include <cmath>
#include <memory>

namespace {

QString zahl(double wert)
{
    return QString::number(wert, 'g', 6);
}

} // namespace

Kurvenvorschau::Kurvenvorschau(Dialogs &dialogs, QWidget *parent)
    : QWidget(parent, Qt::Window)
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
    marken->installEventFilter(this);
    setAcceptDrops(true);
    // Shown after a conversion without taking the keyboard from the main window.
    setAttribute(Qt::WA_ShowWithoutActivating);
    ansicht->setRenderHint(QPainter::Antialiasing);
    ansicht->viewport()->setMouseTracking(true);
    ansicht->viewport()->installEventFilter(this);
    ablesung->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *zeile = new QHBoxLayout;
    zeile->addWidget(ablesung, 1);
    zeile->addWidget(speichern);
    zeile->addWidget(tabelle);
    zeile->addWidget(vergleichEntfernen);
    auto *spalte = new QVBoxLayout(this);
    spalte->addWidget(ansicht, 1);
    spalte->addWidget(marken);
    spalte->addLayout(zeile);
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
            abgelehnt.append(
                QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), e.meldung()));
    }
    if (kurven.size() != chart->verglichen().size()) {
        chart->vergleichZeigen(kurven);
        markenListen();
    }
    if (!abgelehnt.isEmpty()) {
        dialogs.warning(this, tr("Kurve NEU anzeigen"),
                        tr("Diese Dateien koennen nicht angezeigt werden:") + QLatin1Char('\n') +
                            abgelehnt.join(QLatin1Char('\n')));
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
    if (!droppedFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void Kurvenvorschau::dropEvent(QDropEvent *event)
{
    const QStringList files = droppedFiles(event->mimeData());
    if (files.isEmpty())
        return;
    event->acceptProposedAction();
    emit dateienAbgelegt(files);
}

void Kurvenvorschau::vorbereiten()
{
    winId();
    layout()->activate();
    ansicht->grab();
}

void Kurvenvorschau::closeEvent(QCloseEvent *event)
{
    event->accept();
    emit geschlossen();
}

bool Kurvenvorschau::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == marken) {
        if (event->type() == QEvent::Resize)
            markenHoeheSetzen();
        return false;
    }
    if (watched != ansicht->viewport())
        return false;
    switch (event->type()) {
    case QEvent::MouseMove:
        ablesen(static_cast<QMouseEvent *>(event)->position());
        return false;
    case QEvent::Wheel: {
        auto *wheel = static_cast<QWheelEvent *>(event);
        const int achtel = wheel->angleDelta().y();
        if (achtel == 0)
            return false;
        // One notch (120) zooms in or out by a fifth.
        const double faktor = std::pow(0.8, achtel / 120.0);
        const QPointF wert = chart->mapToValue(ansicht->mapToScene(wheel->position().toPoint()));
        chart->xZoomen(faktor, wert.x());
        return true;
    }
    case QEvent::MouseButtonDblClick:
        chart->ansichtZuruecksetzen();
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
        return s->count() > i ? zahl(s->at(i).y()) + QLatin1Char(' ') + einheit
                              : QStringLiteral("-");
    };
    ablesung->setText(
        tr("%1 MHz    Kanal 1: %2    Kanal 2: %3").arg(zahl(f), kanalText(k1), kanalText(k2)));
}

void Kurvenvorschau::bildSpeichernFragen()
{
    QSettings settings(SettingsPlace::organisation(), SettingsPlace::application());
    const QString start = settings.value(QStringLiteral("bildpath"), QDir::homePath()).toString();
    const QString vorschlag =
        dateinameAusText(beschreibung.isEmpty() ? tr("Kurve") : beschreibung) +
        QStringLiteral(".png");
    QString chosen = dialogs.saveFileName(this, tr("Bild speichern", "FileDialog"),
                                          QDir(start).filePath(vorschlag),
                                          tr("PNG-Bild (*.png);;SVG-Bild (*.svg)", "FileDialog"));
    if (chosen.isEmpty())
        return;
    if (!chosen.endsWith(QLatin1String(".png"), Qt::CaseInsensitive) &&
        !chosen.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive))
        chosen += QStringLiteral(".png");
    bildSpeichern(chosen);
    settings.setValue(QStringLiteral("bildpath"), ordnerVon(chosen));
}

void Kurvenvorschau::csvSpeichernFragen()
{
    // Beside the pair: the folder its files were last saved in, the name they are proposed.
    QSettings settings(SettingsPlace::organisation(), SettingsPlace::application());
    const QString start = settings.value(QStringLiteral("kurvenpath"), QDir::homePath()).toString();
    const QString vorschlag =
        dateinameAusText(beschreibung.isEmpty() ? tr("Kurve") : beschreibung) +
        QStringLiteral(".csv");
    QString chosen = dialogs.saveFileName(this, tr("Als CSV speichern", "FileDialog"),
                                          QDir(start).filePath(vorschlag),
                                          tr("CSV-Tabelle (*.csv)", "FileDialog"));
    if (chosen.isEmpty())
        return;
    if (!chosen.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive))
        chosen += QStringLiteral(".csv");
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
