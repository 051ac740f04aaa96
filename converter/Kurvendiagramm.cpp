#include "Kurvendiagramm.h"

#include "NewCurveFile.h"

#include <QBuffer>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QGraphicsSceneResizeEvent>
#include <QImage>
#include <QImageWriter>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QScatterSeries>
#include <QSvgGenerator>
#include <QTextDocument>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

// A tick step of 1, 2 or 5 times a power of ten, giving four to ten ticks over the span.
double runderSchritt(double spanne)
{
    const double roh = spanne / 10;
    const double zehner = std::pow(10.0, std::floor(std::log10(roh)));
    for (const double m : {1.0, 2.0, 5.0}) {
        if (roh <= m * zehner)
            return m * zehner;
    }
    return 10 * zehner;
}

// min and max widened so that a flat curve, or none, still gets a span.
void spanneSichern(double &min, double &max, double rand)
{
    if (!(min <= max)) {
        min = 0;
        max = 1;
    } else if (max - min < 1e-9 * std::max(1.0, std::abs(max))) {
        min -= 1;
        max += 1;
    } else {
        const double r = (max - min) * rand;
        min -= r;
        max += r;
    }
}

// The width a chart title takes when drawn (its HTML laid out as the chart lays it out).
qreal titelBreite(const QString &html, const QFont &font)
{
    QTextDocument dokument;
    dokument.setDefaultFont(font);
    dokument.setDocumentMargin(0);
    dokument.setHtml(html);
    return dokument.idealWidth();
}

// The chart draws a title whole only when it is narrower than its place by this much; else it
// shortens the title itself.
constexpr qreal kTitelRand = 2;

} // namespace

QString bildTitel(const QString &beschreibung, const QFont &font, qreal breite)
{
    // No character is narrower than a pixel's fraction that matters here: beyond one character
    // per pixel nothing can show.
    const qsizetype grenze = qsizetype(std::max<qreal>(breite, 0)) + 2;
    QString text = beschreibung.left(grenze);
    if (!text.isEmpty() && text.back().isHighSurrogate())
        text.chop(1);
    const bool abgeschnitten = text.size() < beschreibung.size();
    for (QChar &c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == 0x7F || (u >= 0x80 && u < 0xA0) || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            c = QLatin1Char(' ');
    }
    const auto passt = [&](const QString &html) {
        return titelBreite(html, font) <= breite - kTitelRand;
    };
    if (!abgeschnitten && passt(text.toHtmlEscaped()))
        return text.toHtmlEscaped();
    // The longest beginning that fits with "…" behind it.
    const QChar auslassung(0x2026);
    qsizetype gut = 0;
    qsizetype schlecht = text.size() + 1;
    while (schlecht - gut > 1) {
        const qsizetype mitte = (gut + schlecht) / 2;
        if (passt((text.left(mitte) + auslassung).toHtmlEscaped()))
            gut = mitte;
        else
            schlecht = mitte;
    }
    if (gut > 0 && text.at(gut - 1).isHighSurrogate())
        --gut;
    return (text.left(gut) + auslassung).toHtmlEscaped();
}

// Kept from picture to picture, so that one chart draws many pictures quicker: the images, and
// the palette with the entry found for each colour.
struct Kurvendiagramm::Bildpuffer
{
    QImage farbig;
    QImage palettenbild;
    QList<QRgb> palette;
    std::vector<qint16> eintrag; // per colour at six bits a channel; -1 not yet looked up

    void paletteSetzen(const QColor &c1, const QColor &c2);
    int naechste(QRgb farbe) const;
    void palettieren();
};

// A plot holds few colours: white, greys for text, axes and grid, the channels' colours, and
// the blends that smooth their edges, which lie between two of them. A palette of ramps between
// those keeps the picture as it is drawn, and a palette PNG is written several times faster than
// a true-colour one (no search for row filters) and is about half its size.
void Kurvendiagramm::Bildpuffer::paletteSetzen(const QColor &c1, const QColor &c2)
{
    QList<QRgb> neu;
    const auto rampe = [&neu](const QColor &von, const QColor &bis, int stufen) {
        for (int i = 0; i < stufen; ++i) {
            const double t = double(i) / (stufen - 1);
            const auto mischen = [t](int a, int b) { return int(std::lround(a + (b - a) * t)); };
            neu.append(qRgb(mischen(von.red(), bis.red()), mischen(von.green(), bis.green()),
                            mischen(von.blue(), bis.blue())));
        }
    };
    const QColor weiss(Qt::white);
    rampe(weiss, Qt::black, 64);
    rampe(weiss, c1, 64);
    rampe(weiss, c2, 64);
    rampe(c1, c2, 32);
    rampe(c1, Qt::black, 16);
    rampe(c2, Qt::black, 16);
    if (neu != palette) {
        palette = neu;
        eintrag.assign(std::size_t(1) << 18, -1);
    }
}

int Kurvendiagramm::Bildpuffer::naechste(QRgb farbe) const
{
    int beste = 0;
    int abstand = std::numeric_limits<int>::max();
    for (int i = 0; i < palette.size(); ++i) {
        const int r = qRed(farbe) - qRed(palette[i]);
        const int g = qGreen(farbe) - qGreen(palette[i]);
        const int b = qBlue(farbe) - qBlue(palette[i]);
        const int d = r * r + g * g + b * b;
        if (d < abstand) {
            abstand = d;
            beste = i;
        }
    }
    return beste;
}

void Kurvendiagramm::Bildpuffer::palettieren()
{
    if (palettenbild.size() != farbig.size())
        palettenbild = QImage(farbig.size(), QImage::Format_Indexed8);
    palettenbild.setColorTable(palette);
    // Most pixels are background and neighbours mostly alike: the last colour is kept at hand.
    QRgb letzte = qRgb(255, 255, 255);
    uchar letzterIndex = uchar(naechste(letzte));
    const int breite = farbig.width();
    for (int y = 0; y < farbig.height(); ++y) {
        const auto *zeile = reinterpret_cast<const QRgb *>(farbig.constScanLine(y));
        uchar *ziel = palettenbild.scanLine(y);
        for (int x = 0; x < breite; ++x) {
            const QRgb farbe = zeile[x] | 0xff000000u;
            if (farbe != letzte) {
                qint16 &e = eintrag[std::size_t(((qRed(farbe) >> 2) << 12) |
                                                ((qGreen(farbe) >> 2) << 6) | (qBlue(farbe) >> 2))];
                if (e < 0)
                    e = qint16(naechste(farbe));
                letzte = farbe;
                letzterIndex = uchar(e);
            }
            ziel[x] = letzterIndex;
        }
    }
}

Kurvendiagramm::Kurvendiagramm()
    : kanal1(new QLineSeries(this))
    , kanal2(new QLineSeries(this))
    , frequenzAchse(new QValueAxis(this))
    , wertAchse(new QValueAxis(this))
    , marke(new QScatterSeries(this))
{
    kanal1->setName(tr("Kanal 1"));
    kanal2->setName(tr("Kanal 2"));
    addSeries(kanal1);
    addSeries(kanal2);
    addSeries(marke);
    marke->setMarkerSize(9);
    marke->setColor(Qt::black);
    legend()->markers(marke).constFirst()->setVisible(false);
    frequenzAchse->setTitleText(tr("Frequenz (MHz)"));
    frequenzAchse->setLabelFormat(QStringLiteral("%.6g"));
    wertAchse->setLabelFormat(QStringLiteral("%.6g"));
    addAxis(frequenzAchse, Qt::AlignBottom);
    addAxis(wertAchse, Qt::AlignLeft);
    for (QXYSeries *s : std::initializer_list<QXYSeries *>{kanal1, kanal2, marke}) {
        s->attachAxis(frequenzAchse);
        s->attachAxis(wertAchse);
    }
    legend()->setAlignment(Qt::AlignBottom);
    setAnimationOptions(QChart::NoAnimation);
    leeren();
}

Kurvendiagramm::~Kurvendiagramm()
{
    // The scene would otherwise delete this chart once more.
    if (eigeneSzene)
        eigeneSzene->removeItem(this);
}

QLineSeries *Kurvendiagramm::kanal(int kanal) const
{
    return kanal == 1 ? kanal1 : kanal2;
}

void Kurvendiagramm::kurveZeigen(const CurveRecord &record, const QString &beschreibung)
{
    const bool swv = record.kurvealt.kurventyp == KurventypSwv ||
                     record.kurvealt.kurventyp == KurventypSwvAntenne;
    wertAchse->setTitleText(swv ? tr("SWV") : tr("dB"));
    beschreibungSetzen(beschreibung);

    fMin = std::numeric_limits<double>::infinity();
    fMax = -fMin;
    double wMin = fMin;
    double wMax = fMax;
    QList<QPointF> punkte[2];
    for (int k = 1; k <= 2; ++k) {
        const NewCurveFile::KanalPunkte p = NewCurveFile::kanalPunkte(record, k);
        if (!p.geschrieben)
            continue;
        punkte[k - 1].reserve(p.anzahl);
        for (int i = 0; i < p.anzahl; ++i) {
            punkte[k - 1].append(QPointF(p.frequenz[i], p.wert[i]));
            if (std::isfinite(p.frequenz[i])) {
                fMin = std::min(fMin, p.frequenz[i]);
                fMax = std::max(fMax, p.frequenz[i]);
            }
            if (std::isfinite(p.wert[i])) {
                wMin = std::min(wMin, p.wert[i]);
                wMax = std::max(wMax, p.wert[i]);
            }
        }
    }
    spanneSichern(fMin, fMax, 0);
    spanneSichern(wMin, wMax, 0.05);
    // Every change of the points or of an axis lays a line out anew, which for 2001 points
    // costs more than all the rest: the axes are set while the lines are empty, then the points.
    kanal1->clear();
    kanal2->clear();
    marke->clear();
    bereichSetzen(wertAchse, wMin, wMax);
    ansichtZuruecksetzen();
    kanal1->replace(punkte[0]);
    kanal2->replace(punkte[1]);
}

void Kurvendiagramm::beschreibungSetzen(const QString &text)
{
    beschreibung = text;
    titelAnpassen();
}

void Kurvendiagramm::titelAnpassen()
{
    if (beschreibung.isEmpty()) {
        setTitle(QString());
        return;
    }
    // The place the chart gives its title: its width within its margins.
    qreal links = 0, oben = 0, rechts = 0, unten = 0;
    layout()->getContentsMargins(&links, &oben, &rechts, &unten);
    const qreal breite = size().width() - links - rechts - margins().left() - margins().right();
    setTitle(bildTitel(beschreibung, titleFont(), breite));
}

void Kurvendiagramm::resizeEvent(QGraphicsSceneResizeEvent *event)
{
    QChart::resizeEvent(event);
    if (event->oldSize().width() != event->newSize().width())
        titelAnpassen();
}

void Kurvendiagramm::leeren()
{
    kanal1->clear();
    kanal2->clear();
    marke->clear();
    beschreibungSetzen(QString());
    wertAchse->setTitleText(tr("dB"));
    fMin = 0;
    fMax = 1;
    bereichSetzen(wertAchse, 0, 1);
    ansichtZuruecksetzen();
}

void Kurvendiagramm::ansichtZuruecksetzen()
{
    bereichSetzen(frequenzAchse, fMin, fMax);
}

void Kurvendiagramm::xZoomen(double faktor, double mitte)
{
    const double links = frequenzAchse->min();
    const double rechts = frequenzAchse->max();
    mitte = std::clamp(mitte, links, rechts);
    double neuLinks = mitte - (mitte - links) * faktor;
    double neuRechts = mitte + (rechts - mitte) * faktor;
    // Not narrower than a millionth of the curve, where the labels could no longer tell apart.
    if (neuRechts - neuLinks < (fMax - fMin) * 1e-6)
        return;
    neuLinks = std::max(neuLinks, fMin);
    neuRechts = std::min(neuRechts, fMax);
    bereichSetzen(frequenzAchse, neuLinks, neuRechts);
}

int Kurvendiagramm::naechsterPunkt(double frequenz) const
{
    const QLineSeries *s = kanal1->count() > 0 ? kanal1 : kanal2;
    int best = -1;
    double abstand = std::numeric_limits<double>::infinity();
    for (int i = 0; i < s->count(); ++i) {
        const double d = std::abs(s->at(i).x() - frequenz);
        if (d < abstand) {
            abstand = d;
            best = i;
        }
    }
    return best;
}

void Kurvendiagramm::punktMarkieren(int index)
{
    QList<QPointF> punkte;
    for (const QLineSeries *s : {kanal1, kanal2}) {
        if (index >= 0 && index < s->count())
            punkte.append(s->at(index));
    }
    marke->replace(punkte);
}

void Kurvendiagramm::bereichSetzen(QValueAxis *achse, double min, double max) const
{
    // Fixed ticks while the range changes: dynamic ticks at the old interval over a new, wider
    // range would lay out hundreds of labels for nothing.
    achse->setTickType(QValueAxis::TicksFixed);
    achse->setRange(min, max);
    const double schritt = runderSchritt(max - min);
    achse->setTickAnchor(std::ceil(min / schritt) * schritt);
    achse->setTickInterval(schritt);
    achse->setTickType(QValueAxis::TicksDynamic);
}

std::unique_ptr<Kurvendiagramm> Kurvendiagramm::kopie() const
{
    auto k = std::make_unique<Kurvendiagramm>();
    k->kanal1->replace(kanal1->points());
    k->kanal2->replace(kanal2->points());
    k->beschreibungSetzen(beschreibung);
    k->wertAchse->setTitleText(wertAchse->titleText());
    k->fMin = fMin;
    k->fMax = fMax;
    k->bereichSetzen(k->wertAchse, wertAchse->min(), wertAchse->max());
    k->bereichSetzen(k->frequenzAchse, frequenzAchse->min(), frequenzAchse->max());
    return k;
}

void Kurvendiagramm::zeichnen(QPainter &painter, const QSize &groesse)
{
    // Laid out in a scene of its own: a chart shown in a view is drawn at another size only
    // through a copy (kopie), never resized under the user's eyes.
    Q_ASSERT(!scene() || scene() == eigeneSzene.get());
    if (!eigeneSzene) {
        eigeneSzene = std::make_unique<QGraphicsScene>();
        eigeneSzene->addItem(this);
    }
    setGeometry(QRectF(QPointF(0, 0), groesse));
    layout()->activate();
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF rect(QPointF(0, 0), groesse);
    eigeneSzene->render(&painter, rect, rect);
}

QByteArray Kurvendiagramm::png(const QSize &groesse)
{
    if (!puffer)
        puffer = std::make_unique<Bildpuffer>();
    if (puffer->farbig.size() != groesse)
        puffer->farbig = QImage(groesse, QImage::Format_RGB32);
    puffer->farbig.fill(Qt::white);
    {
        QPainter painter(&puffer->farbig);
        zeichnen(painter, groesse);
    }
    puffer->paletteSetzen(kanal1->color(), kanal2->color());
    puffer->palettieren();
    QByteArray daten;
    QBuffer ausgabe(&daten);
    ausgabe.open(QIODevice::WriteOnly);
    QImageWriter writer(&ausgabe, "png");
    // Plots are mostly white: light compression is nearly as small and several times faster.
    writer.setQuality(80);
    if (!writer.write(puffer->palettenbild))
        return QByteArray();
    return daten;
}

QByteArray Kurvendiagramm::svg(const QSize &groesse)
{
    QByteArray daten;
    QBuffer puffer(&daten);
    puffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&puffer);
    generator.setSize(groesse);
    // The size is written in millimetres; at 96 dots per inch they are the pixels of the web.
    generator.setResolution(96);
    generator.setViewBox(QRect(QPoint(0, 0), groesse));
    generator.setTitle(beschreibung);
    {
        QPainter painter;
        if (!painter.begin(&generator))
            return QByteArray();
        zeichnen(painter, groesse);
    }
    return daten;
}
