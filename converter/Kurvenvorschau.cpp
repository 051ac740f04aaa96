#include "Kurvenvorschau.h"

#include "Dialogs.h"
#include "Kurvendiagramm.h"
#include "NewCurveFile.h"
#include "Ordner.h"
#include "SettingsPlace.h"

#include <QBoxLayout>
#include <QChartView>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QLineSeries>
#include <QMouseEvent>
#include <QPushButton>
#include <QSaveFile>
#include <QSettings>
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
{
    setObjectName(QStringLiteral("Kurvenvorschau"));
    ansicht->setObjectName(QStringLiteral("chartView"));
    ablesung->setObjectName(QStringLiteral("ablesung"));
    speichern->setObjectName(QStringLiteral("bildSpeichern"));
    // Shown after a conversion without taking the keyboard from the main window.
    setAttribute(Qt::WA_ShowWithoutActivating);
    ansicht->setRenderHint(QPainter::Antialiasing);
    ansicht->viewport()->setMouseTracking(true);
    ansicht->viewport()->installEventFilter(this);
    ablesung->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *zeile = new QHBoxLayout;
    zeile->addWidget(ablesung, 1);
    zeile->addWidget(speichern);
    auto *spalte = new QVBoxLayout(this);
    spalte->addWidget(ansicht, 1);
    spalte->addLayout(zeile);
    connect(speichern, &QPushButton::clicked, this, &Kurvenvorschau::bildSpeichernFragen);

    resize(720, 500);
    leeren();
}

void Kurvenvorschau::kurveZeigen(const CurveRecord &record, const QString &text)
{
    chart->kurveZeigen(record, text);
    ablesung->clear();
    speichern->setEnabled(true);
    beschreibungSetzen(text);
}

void Kurvenvorschau::beschreibungSetzen(const QString &text)
{
    if (!speichern->isEnabled())
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
    speichern->setEnabled(false);
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

bool Kurvenvorschau::bildSpeichern(const QString &path)
{
    const std::unique_ptr<Kurvendiagramm> bild = chart->kopie();
    const QByteArray daten = path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)
                                 ? bild->svg(kBildGroesse)
                                 : bild->png(kBildGroesse);
    QSaveFile file(path);
    const bool ok = !daten.isEmpty() && file.open(QIODevice::WriteOnly) &&
                    file.write(daten) == daten.size() && file.commit();
    if (!ok) {
        dialogs.warning(
            this, tr("Bild speichern"),
            tr("Das Bild %1 konnte nicht gespeichert werden.").arg(QDir::toNativeSeparators(path)));
    }
    return ok;
}
