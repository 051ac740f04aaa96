#pragma once

#include "CurveMarkers.h"
#include "CurveRecord.h"
#include "NewCurveReader.h"

#include <QByteArray>
#include <QChart>
#include <QSize>

#include <memory>

// A description as a chart title of at most breite pixels in font: one line of plain text,
// shortened with "…" where it is wider, given in the HTML a chart title takes. Only as much of
// the description as can fit is ever laid out, so that memory and time stay bounded however
// long it is (a chart left to shorten it itself needs memory growing with the square of its
// length).
QString bildTitel(const QString &beschreibung, const QFont &font, qreal breite);

// The size of every saved picture, from the preview window and from the batch mode alike.
inline constexpr QSize kBildGroesse(1200, 800);

class QFont;
class QLineSeries;
class QGraphicsScene;
class QPainter;
class QScatterSeries;
class QValueAxis;

// The plot of a converted curve: channel 1 and channel 2 as two lines over the frequency in MHz,
// the values in dB, or as SWR for SWR curves. It shows exactly the points the new curve files
// get, and each channel's markers as points. New curve files can be laid over it for comparison,
// each in a colour of its own; those whose headers name no unit, or another one, are drawn
// against a value axis of their own on the right. Used by the preview window and, without a
// display, for the batch mode's pictures.
class Kurvendiagramm : public QChart
{
    Q_OBJECT

public:
    Kurvendiagramm();
    ~Kurvendiagramm() override;

    // Shows both channels of the record's converted curve (those that are written) and the
    // description as the title, over the whole curve.
    void kurveZeigen(const CurveRecord &record, const QString &beschreibung);
    // The description drawn as the title: plain text on one line, shortened with "…" to the
    // chart's width, and fitted again whenever the chart is resized.
    void beschreibungSetzen(const QString &beschreibung);
    // No curve, no title. The compared curves stay.
    void leeren();

    // Lays these new curves over the converted curve, in place of those compared before.
    void vergleichZeigen(const QList<NewCurve> &kurven);
    const QList<NewCurve> &verglichen() const { return vergleich; }
    // The line of the i-th compared curve.
    QLineSeries *vergleichsLinie(int i) const { return vergleichsLinien.at(i); }
    // The value axis of the compared curves that the left one does not suit; hidden when unused.
    QValueAxis *zweiteAchse() const { return andereAchse; }

    // One entry per curve shown, converted channels first: its name, colour and markers.
    struct MarkenZeile
    {
        QString name;
        QColor farbe;
        QString text;
    };
    QList<MarkenZeile> markenZeilen() const;

    // The whole curve again, after a zoom.
    void ansichtZuruecksetzen();
    // Zooms the frequency axis by faktor (below 1 zooms in) around the frequency mitte; never
    // beyond the whole curve.
    void xZoomen(double faktor, double mitte);
    // The same for the value axis, never beyond the values of the whole curve.
    void zoomValues(double factor, double centre);
    // Moves the zoomed view by so many MHz and so many dB (or SWR) within the whole curve.
    void moveView(double frequencyShift, double valueShift);
    // The frequency step between the points shown; 0 with fewer than two.
    double frequencyStep() const;

    // Shows or hides a channel's line; its legend entry stays, dimmed while the line is hidden.
    void setChannelShown(int kanal, bool shown);
    bool channelShown(int kanal) const;
    // Index of the point nearest to the frequency, or -1 without points.
    int naechsterPunkt(double frequenz) const;
    // Marks the point of that index on both channels; -1 marks none.
    void punktMarkieren(int index);

    QLineSeries *kanal(int kanal) const;
    QValueAxis *xAchse() const { return frequenzAchse; }
    QValueAxis *yAchse() const { return wertAchse; }

    // A second chart with the same curve, title and view, for a picture of another size.
    std::unique_ptr<Kurvendiagramm> kopie() const;

    // Draws the chart at the given size onto the painter's device, from its top left corner.
    // Only for a chart that no view shows (a copy, or the batch mode's own).
    void zeichnen(QPainter &painter, const QSize &groesse);
    // The chart as a PNG or SVG picture of the given size; empty when it cannot be made. One
    // chart draws many PNG pictures quicker than many charts one each.
    QByteArray png(const QSize &groesse);
    QByteArray svg(const QSize &groesse);

protected:
    void resizeEvent(QGraphicsSceneResizeEvent *event) override;

private:
    void titelAnpassen();
    void bereichSetzen(QValueAxis *achse, double min, double max) const;
    // The axis' range zoomed by factor around centre, kept within [whole min, whole max].
    void zoomAxis(QValueAxis *axis, double factor, double centre, double wholeMin,
                  double wholeMax) const;
    // Puts every curve shown into the chart anew: lines, markers, axes and their ranges.
    void allesZeichnen();
    void markenPunkteEinrichten(QScatterSeries *punkte, const QColor &farbe);
    void markenSetzen(QScatterSeries *punkte, const CurveMarkers &marken);
    // Shows or hides a line with its markers; its legend entry stays, dimmed while hidden.
    void linieZeigen(QLineSeries *line, QScatterSeries *markenPunkte, bool shown);

    QLineSeries *kanal1;
    QLineSeries *kanal2;
    QValueAxis *frequenzAchse;
    QValueAxis *wertAchse;
    QScatterSeries *marke; // the point read with the mouse
    double fMin = 0;
    double fMax = 1;
    double valueMin = 0; // the value axis' range over the whole curve
    double valueMax = 1;
    QString beschreibung; // the title as given; the chart shows it fitted

    Quantity kurvenGroesse = Quantity::Level; // of the converted curve
    Quantity wertGroesse = Quantity::Level;   // what the left value axis shows
    QList<QPointF> kanalDaten[2];             // the converted curve's points per channel
    // The markers of one curve shown, with the frequency digits its step needs.
    struct Marken
    {
        CurveMarkers marken;
        int stellen = 3;
    };
    Marken kanalMarken[2];
    QScatterSeries *kanalMarkenPunkte[2];
    QList<NewCurve> vergleich;
    QList<QLineSeries *> vergleichsLinien;
    QList<QScatterSeries *> vergleichsMarkenPunkte;
    QList<Marken> vergleichsMarken;
    QValueAxis *andereAchse;

    struct Bildpuffer;
    std::unique_ptr<Bildpuffer> puffer;
    std::unique_ptr<QGraphicsScene> eigeneSzene;
};
