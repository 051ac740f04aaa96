#pragma once

#include "core/CurveMarkers.h"
#include "core/CurveRecord.h"
#include "core/NewCurveReader.h"

#include <QByteArray>
#include <QChart>
#include <QSize>

#include <memory>

// A description as a chart title of at most breite pixels in font: one line of plain text,
// shortened with "…" where it is wider, given in the HTML a chart title takes. Only as much of
// the description as can fit is ever laid out, so that memory and time stay bounded however
// long it is (a chart left to shorten it itself needs memory growing with the square of its
// length).
QString chartTitleHtml(const QString &description, const QFont &font, qreal width);

// The size of every saved picture, from the preview window and from the batch mode alike.
inline constexpr QSize kPictureSize(1200, 800);

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
class CurveChart : public QChart
{
    Q_OBJECT

public:
    CurveChart();
    ~CurveChart() override;

    // Shows both channels of the record's converted curve (those that are written) and the
    // description as the title, over the whole curve.
    void showCurve(const CurveRecord &record, const QString &description);
    // The description drawn as the title: plain text on one line, shortened with "…" to the
    // chart's width, and fitted again whenever the chart is resized.
    void setDescription(const QString &description);
    // No curve, no title. The compared curves stay.
    void clear();

    // Lays these new curves over the converted curve, in place of those compared before.
    void showComparison(const QList<NewCurve> &curves);
    const QList<NewCurve> &compared() const { return comparison; }
    // The line of the i-th compared curve.
    QLineSeries *comparisonLine(int i) const { return comparisonLines.at(i); }
    // The value axis of the compared curves that the left one does not suit; hidden when unused.
    QValueAxis *secondAxis() const { return otherAxis; }

    // One entry per curve shown, converted channels first: its name, colour and markers.
    struct MarkerLine
    {
        QString name;
        QColor colour;
        QString text;
    };
    QList<MarkerLine> markerLines() const;

    // The whole curve again, after a zoom.
    void resetView();
    // Zooms the frequency axis by factor (below 1 zooms in) around the frequency middle; never
    // beyond the whole curve.
    void zoomFrequencies(double factor, double middle);
    // The same for the value axis, never beyond the values of the whole curve.
    void zoomValues(double factor, double centre);
    // Moves the zoomed view by so many MHz and so many dB (or SWR) within the whole curve.
    void moveView(double frequencyShift, double valueShift);
    // The frequency step between the points shown; 0 with fewer than two.
    double frequencyStep() const;

    // Shows or hides a channel's line; its legend entry stays, dimmed while the line is hidden.
    void setChannelShown(int channel, bool shown);
    bool channelShown(int channel) const;
    // Index of the point nearest to the frequency, or -1 without points.
    int nearestPoint(double frequency) const;
    // Marks the point of that index on both channels; -1 marks none.
    void markPoint(int index);

    QLineSeries *channel(int channel) const;
    QValueAxis *xAxis() const { return frequencyAxis; }
    QValueAxis *yAxis() const { return valueAxis; }

    // A second chart with the same curve, title and view, for a picture of another size.
    std::unique_ptr<CurveChart> clone() const;

    // Draws the chart at the given size onto the painter's device, from its top left corner.
    // Only for a chart that no view shows (a copy, or the batch mode's own).
    void draw(QPainter &painter, const QSize &pictureSize);
    // The chart as a PNG or SVG picture of the given size; empty when it cannot be made. One
    // chart draws many PNG pictures quicker than many charts one each.
    QByteArray png(const QSize &pictureSize);
    QByteArray svg(const QSize &pictureSize);

protected:
    void resizeEvent(QGraphicsSceneResizeEvent *event) override;

private:
    void fitTitle();
    void setAxisRange(QValueAxis *axis, double min, double max) const;
    // The axis' range zoomed by factor around centre, kept within [whole min, whole max].
    void zoomAxis(QValueAxis *axis, double factor, double centre, double wholeMin,
                  double wholeMax) const;
    // Puts every curve shown into the chart anew: lines, markers, axes and their ranges.
    void drawAll();
    void setUpMarkerPoints(QScatterSeries *points, const QColor &colour);
    void setMarkers(QScatterSeries *points, const CurveMarkers &markers);
    // Shows or hides a line with its markers; its legend entry stays, dimmed while hidden.
    void showLine(QLineSeries *line, QScatterSeries *markerPoints, bool shown);

    QLineSeries *channel1;
    QLineSeries *channel2;
    QValueAxis *frequencyAxis;
    QValueAxis *valueAxis;
    QScatterSeries *readMarker; // the point read with the mouse
    double fMin = 0;
    double fMax = 1;
    double valueMin = 0; // the value axis' range over the whole curve
    double valueMax = 1;
    QString description; // the title as given; the chart shows it fitted

    Quantity curveQuantity = Quantity::Level; // of the converted curve
    Quantity valueQuantity = Quantity::Level; // what the left value axis shows
    QList<QPointF> channelData[2];            // the converted curve's points per channel
    // The markers of one curve shown, with the frequency digits its step needs.
    struct ShownMarkers
    {
        CurveMarkers markers;
        int decimals = 3;
    };
    ShownMarkers channelMarkers[2];
    QScatterSeries *channelMarkerPoints[2];
    QList<NewCurve> comparison;
    QList<QLineSeries *> comparisonLines;
    QList<QScatterSeries *> comparisonMarkerPoints;
    QList<ShownMarkers> comparisonMarkers;
    QValueAxis *otherAxis;

    struct PictureBuffer;
    std::unique_ptr<PictureBuffer> pictureBuffer;
    std::unique_ptr<QGraphicsScene> ownScene;
};
