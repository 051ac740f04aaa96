#include "Kurvendiagramm.h"

#include "NewCurveFile.h"

#include <QBuffer>
#include <QFileInfo>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QGraphicsSceneResizeEvent>
#include <QImage>
#include <QImageWriter>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QPen>
#include <QScatterSeries>
#include <QSvgGenerator>
#include <QTextDocument>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <iterator>
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
    , kanalMarkenPunkte{new QScatterSeries(this), new QScatterSeries(this)}
    , andereAchse(new QValueAxis(this))
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
    andereAchse->setLabelFormat(QStringLiteral("%.6g"));
    addAxis(andereAchse, Qt::AlignRight);
    andereAchse->setVisible(false);
    for (int k = 0; k < 2; ++k) {
        addSeries(kanalMarkenPunkte[k]);
        markenPunkteEinrichten(kanalMarkenPunkte[k], kanal(k + 1)->color());
    }
    for (QXYSeries *s : std::initializer_list<QXYSeries *>{
             kanal1, kanal2, marke, kanalMarkenPunkte[0], kanalMarkenPunkte[1]}) {
        s->attachAxis(frequenzAchse);
        s->attachAxis(wertAchse);
    }
    legend()->setShowToolTips(true); // the whole name of an entry shortened for want of room
    // A click on a channel's legend entry hides and shows its line.
    for (int k = 1; k <= 2; ++k) {
        connect(legend()->markers(kanal(k)).constFirst(), &QLegendMarker::clicked, this,
                [this, k] { setChannelShown(k, !channelShown(k)); });
    }
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
    beschreibungSetzen(beschreibung);
    kurvenGroesse = quantityOf(record);
    const int stellen = frequencyDecimals(record.wobbelgrunddaten.schrittweite);
    for (int k = 1; k <= 2; ++k) {
        QList<QPointF> &punkte = kanalDaten[k - 1];
        punkte.clear();
        kanalMarken[k - 1] = Marken();
        const NewCurveFile::KanalPunkte p = NewCurveFile::kanalPunkte(record, k);
        if (!p.geschrieben)
            continue;
        punkte.reserve(p.anzahl);
        for (int i = 0; i < p.anzahl; ++i)
            punkte.append(QPointF(p.frequenz[i], p.wert[i]));
        kanalMarken[k - 1] = {CurveMarkers::compute(p.frequenz, p.wert, p.anzahl, kurvenGroesse),
                              stellen};
    }
    setChannelShown(1, true);
    setChannelShown(2, true);
    allesZeichnen();
}

void Kurvendiagramm::leeren()
{
    beschreibungSetzen(QString());
    kurvenGroesse = Quantity::Level;
    for (int k = 0; k < 2; ++k) {
        kanalDaten[k].clear();
        kanalMarken[k] = Marken();
    }
    setChannelShown(1, true);
    setChannelShown(2, true);
    allesZeichnen();
}

void Kurvendiagramm::vergleichZeigen(const QList<NewCurve> &kurven)
{
    vergleich = kurven;
    allesZeichnen();
}

namespace {

// Colours of the compared curves, apart from the channels' and from each other.
const QColor kVergleichsFarben[] = {
    QColor(0xd6, 0x27, 0x28), QColor(0x94, 0x67, 0xbd), QColor(0xff, 0x7f, 0x0e),
    QColor(0x8c, 0x56, 0x4b), QColor(0xe3, 0x77, 0xc2), QColor(0x17, 0xbe, 0xcf),
    QColor(0x7f, 0x7f, 0x7f), QColor(0xbc, 0xbd, 0x22), QColor(0x1f, 0x3a, 0x93),
    QColor(0x00, 0x00, 0x00),
};

QString einheit(Quantity q)
{
    switch (q) {
    case Quantity::Swr:
        return Kurvendiagramm::tr("SWV");
    case Quantity::Level:
        return Kurvendiagramm::tr("dB");
    case Quantity::Neutral:
        break;
    }
    return Kurvendiagramm::tr("Wert");
}

// The quantity all curves agree on, or none.
Quantity gemeinsam(const QList<Quantity> &groessen)
{
    for (const Quantity q : groessen) {
        if (q != groessen.constFirst())
            return Quantity::Neutral;
    }
    return groessen.isEmpty() ? Quantity::Neutral : groessen.constFirst();
}

struct Bereich
{
    double min = std::numeric_limits<double>::infinity();
    double max = -std::numeric_limits<double>::infinity();
    void erfassen(double v)
    {
        if (std::isfinite(v)) {
            min = std::min(min, v);
            max = std::max(max, v);
        }
    }
};

} // namespace

void Kurvendiagramm::markenPunkteEinrichten(QScatterSeries *punkte, const QColor &farbe)
{
    punkte->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
    punkte->setMarkerSize(8);
    punkte->setColor(farbe);
    punkte->setBorderColor(Qt::black);
    legend()->markers(punkte).constFirst()->setVisible(false);
}

void Kurvendiagramm::markenSetzen(QScatterSeries *punkte, const CurveMarkers &m)
{
    QList<QPointF> liste;
    if (m.extreme.index >= 0)
        liste.append(QPointF(m.extreme.frequency, m.extreme.value));
    if (m.other.index >= 0)
        liste.append(QPointF(m.other.frequency, m.other.value));
    if (m.hasBand) {
        liste.append(QPointF(m.from.frequency, m.threshold));
        liste.append(QPointF(m.to.frequency, m.threshold));
    }
    punkte->replace(liste);
}

void Kurvendiagramm::allesZeichnen()
{
    const bool hatKurve = !kanalDaten[0].isEmpty() || !kanalDaten[1].isEmpty();
    QList<Quantity> groessen;
    for (const NewCurve &k : std::as_const(vergleich))
        groessen.append(k.quantity());
    wertGroesse = hatKurve || vergleich.isEmpty() ? kurvenGroesse : gemeinsam(groessen);
    QList<Quantity> andere;
    for (const Quantity q : std::as_const(groessen)) {
        if (q != wertGroesse)
            andere.append(q);
    }
    wertAchse->setTitleText(einheit(wertGroesse));
    // Beside the plot, one entry a line, so that the headers of compared files have room.
    legend()->setAlignment(vergleich.isEmpty() ? Qt::AlignBottom : Qt::AlignRight);
    andereAchse->setTitleText(einheit(gemeinsam(andere)));
    andereAchse->setVisible(!andere.isEmpty());

    // Every change of the points or of an axis lays a line out anew, which for 2001 points
    // costs more than all the rest: the axes are set while the lines are empty, then the points.
    kanal1->clear();
    kanal2->clear();
    marke->clear();
    for (QXYSeries *s : std::as_const(vergleichsLinien))
        removeSeries(s);
    for (QXYSeries *s : std::as_const(vergleichsMarkenPunkte))
        removeSeries(s);
    qDeleteAll(vergleichsLinien);
    qDeleteAll(vergleichsMarkenPunkte);
    vergleichsLinien.clear();
    vergleichsMarkenPunkte.clear();
    vergleichsMarken.clear();

    Bereich f;
    Bereich w;
    Bereich a;
    for (const QList<QPointF> &punkte : kanalDaten) {
        for (const QPointF &p : punkte) {
            f.erfassen(p.x());
            w.erfassen(p.y());
        }
    }
    QList<QList<QPointF>> vergleichsPunkte;
    for (int i = 0; i < vergleich.size(); ++i) {
        const NewCurve &k = vergleich.at(i);
        const bool links = k.quantity() == wertGroesse;
        QList<QPointF> punkte;
        punkte.reserve(k.frequency.size());
        for (int j = 0; j < k.frequency.size(); ++j) {
            punkte.append(QPointF(k.frequency[j], k.value[j]));
            f.erfassen(k.frequency[j]);
            (links ? w : a).erfassen(k.value[j]);
        }
        vergleichsPunkte.append(punkte);
        const int n = int(k.frequency.size());
        const double schritt =
            n > 1 ? (k.frequency.constLast() - k.frequency.constFirst()) / (n - 1) : 0;
        vergleichsMarken.append(
            {CurveMarkers::compute(k.frequency.constData(), k.value.constData(), n, k.quantity()),
             frequencyDecimals(schritt)});

        const QColor farbe = kVergleichsFarben[i % std::size(kVergleichsFarben)];
        auto *linie = new QLineSeries(this);
        linie->setName(k.header.isEmpty() ? QFileInfo(k.path).fileName() : k.header);
        addSeries(linie);
        linie->setColor(farbe);
        auto *markenPunkte = new QScatterSeries(this);
        addSeries(markenPunkte);
        markenPunkteEinrichten(markenPunkte, farbe);
        for (QXYSeries *s : std::initializer_list<QXYSeries *>{linie, markenPunkte}) {
            s->attachAxis(frequenzAchse);
            s->attachAxis(links ? wertAchse : andereAchse);
        }
        vergleichsLinien.append(linie);
        vergleichsMarkenPunkte.append(markenPunkte);
        connect(
            legend()->markers(linie).constFirst(), &QLegendMarker::clicked, this,
            [this, linie, markenPunkte] { linieZeigen(linie, markenPunkte, !linie->isVisible()); });
    }
    spanneSichern(f.min, f.max, 0);
    spanneSichern(w.min, w.max, 0.05);
    spanneSichern(a.min, a.max, 0.05);
    fMin = f.min;
    fMax = f.max;
    bereichSetzen(wertAchse, w.min, w.max);
    bereichSetzen(andereAchse, a.min, a.max);
    valueMin = w.min;
    valueMax = w.max;
    ansichtZuruecksetzen();

    kanal1->replace(kanalDaten[0]);
    kanal2->replace(kanalDaten[1]);
    for (int k = 0; k < 2; ++k)
        markenSetzen(kanalMarkenPunkte[k], kanalMarken[k].marken);
    for (int i = 0; i < vergleichsLinien.size(); ++i) {
        vergleichsLinien[i]->replace(vergleichsPunkte[i]);
        markenSetzen(vergleichsMarkenPunkte[i], vergleichsMarken[i].marken);
    }
}

QList<Kurvendiagramm::MarkenZeile> Kurvendiagramm::markenZeilen() const
{
    QList<MarkenZeile> zeilen;
    for (int k = 0; k < 2; ++k) {
        if (!kanalDaten[k].isEmpty()) {
            zeilen.append({kanal(k + 1)->name(), kanal(k + 1)->color(),
                           kanalMarken[k].marken.text(kanalMarken[k].stellen)});
        }
    }
    for (int i = 0; i < vergleichsLinien.size(); ++i) {
        zeilen.append({vergleichsLinien[i]->name(), vergleichsLinien[i]->color(),
                       vergleichsMarken[i].marken.text(vergleichsMarken[i].stellen)});
    }
    return zeilen;
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

void Kurvendiagramm::ansichtZuruecksetzen()
{
    bereichSetzen(frequenzAchse, fMin, fMax);
    bereichSetzen(wertAchse, valueMin, valueMax);
}

void Kurvendiagramm::xZoomen(double faktor, double mitte)
{
    zoomAxis(frequenzAchse, faktor, mitte, fMin, fMax);
}

void Kurvendiagramm::zoomValues(double factor, double centre)
{
    zoomAxis(wertAchse, factor, centre, valueMin, valueMax);
}

void Kurvendiagramm::zoomAxis(QValueAxis *axis, double factor, double centre, double wholeMin,
                              double wholeMax) const
{
    const double links = axis->min();
    const double rechts = axis->max();
    centre = std::clamp(centre, links, rechts);
    double neuLinks = centre - (centre - links) * factor;
    double neuRechts = centre + (rechts - centre) * factor;
    // Not narrower than a millionth of the curve, where the labels could no longer tell apart.
    if (neuRechts - neuLinks < (wholeMax - wholeMin) * 1e-6)
        return;
    neuLinks = std::max(neuLinks, wholeMin);
    neuRechts = std::min(neuRechts, wholeMax);
    bereichSetzen(axis, neuLinks, neuRechts);
}

void Kurvendiagramm::moveView(double frequencyShift, double valueShift)
{
    // The view keeps its width and stops at the ends of the whole curve.
    const auto move = [this](QValueAxis *axis, double shift, double wholeMin, double wholeMax) {
        if (shift == 0)
            return;
        const double span = axis->max() - axis->min();
        const double left = std::clamp(axis->min() + shift, wholeMin, wholeMax - span);
        if (left != axis->min())
            bereichSetzen(axis, left, left + span);
    };
    move(frequenzAchse, frequencyShift, fMin, fMax);
    move(wertAchse, valueShift, valueMin, valueMax);
}

double Kurvendiagramm::frequencyStep() const
{
    const QLineSeries *s = kanal1->count() > 1 ? kanal1 : kanal2;
    if (s->count() < 2)
        return 0;
    return (s->at(s->count() - 1).x() - s->at(0).x()) / (s->count() - 1);
}

void Kurvendiagramm::setChannelShown(int k, bool shown)
{
    linieZeigen(kanal(k), kanalMarkenPunkte[k - 1], shown);
}

void Kurvendiagramm::linieZeigen(QLineSeries *line, QScatterSeries *markenPunkte, bool shown)
{
    line->setVisible(shown);
    markenPunkte->setVisible(shown);
    // Hiding a line hides its legend entry as well: shown again, dimmed.
    QLegendMarker *entry = legend()->markers(line).constFirst();
    entry->setVisible(true);
    QColor colour = line->color();
    QColor text = legend()->labelColor();
    if (!shown) {
        colour.setAlpha(60);
        text.setAlpha(100);
    }
    entry->setBrush(colour);
    entry->setPen(QPen(colour));
    entry->setLabelBrush(text);
    if (!shown)
        punktMarkieren(-1);
}

bool Kurvendiagramm::channelShown(int k) const
{
    return kanal(k)->isVisible();
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
        if (index >= 0 && index < s->count() && s->isVisible())
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
    k->beschreibungSetzen(beschreibung);
    k->kurvenGroesse = kurvenGroesse;
    for (int i = 0; i < 2; ++i) {
        k->kanalDaten[i] = kanalDaten[i];
        k->kanalMarken[i] = kanalMarken[i];
    }
    k->vergleich = vergleich;
    k->allesZeichnen();
    k->setChannelShown(1, channelShown(1));
    k->setChannelShown(2, channelShown(2));
    for (int i = 0; i < vergleichsLinien.size(); ++i) {
        k->linieZeigen(k->vergleichsLinien[i], k->vergleichsMarkenPunkte[i],
                       vergleichsLinien[i]->isVisible());
    }
    k->bereichSetzen(k->wertAchse, wertAchse->min(), wertAchse->max());
    k->bereichSetzen(k->andereAchse, andereAchse->min(), andereAchse->max());
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

namespace {

QByteArray pngDaten(const QImage &bild)
{
    QByteArray daten;
    QBuffer ausgabe(&daten);
    ausgabe.open(QIODevice::WriteOnly);
    QImageWriter writer(&ausgabe, "png");
    // Plots are mostly white: light compression is nearly as small and several times faster.
    writer.setQuality(80);
    if (!writer.write(bild))
        return QByteArray();
    return daten;
}

} // namespace

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
    // Compared curves bring more colours than the palette holds: the picture as it is drawn.
    if (!vergleich.isEmpty())
        return pngDaten(puffer->farbig);
    puffer->paletteSetzen(kanal1->color(), kanal2->color());
    puffer->palettieren();
    return pngDaten(puffer->palettenbild);
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
