#pragma once

#include "ChartText.h"
#include "core/CurveMarkers.h"
#include "core/CurveRecord.h"
#include "core/NewCurveReader.h"

#include <QByteArray>
#include <QChart>
#include <QLocale>
#include <QPalette>
#include <QSize>

#include <memory>

// The size of every saved picture, from the preview window and from the batch mode alike.
inline constexpr QSize kPictureSize(1200, 800);

class QFont;
class QLineSeries;
class QGraphicsScene;
class QPainter;
class QScatterSeries;
class QXYSeries;
class QAbstractSeries;
class QValueAxis;

// The plot of a converted curve: channel 1 and channel 2 as two lines over the frequency in MHz,
// the values in dB, or as SWR for SWR curves. It shows exactly the points the new curve files
// get, and each channel's markers as points. New curve files can be laid over it for comparison,
// each in a colour of its own, against the same value axis unless their headers name another
// unit. Every curve shown can be hidden and moved to the other value axis. Used by the preview
// window and, without a display, for the batch mode's pictures: both draw through this class.
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
    QLineSeries *comparisonLine(int i) const;
    // The value axis on the right, for curves of another unit; hidden when unused.
    QValueAxis *secondAxis() const { return otherAxis; }

    // Every curve shown, the converted channels first, then the compared ones.
    int curveCount() const { return int(curves.size()); }
    QString curveName(int i) const { return curves.at(i).name; }
    QLineSeries *curveLine(int i) const { return curves.at(i).line; }
    // Hidden curves keep their legend entry, dimmed.
    void setCurveShown(int i, bool shown);
    bool curveShown(int i) const { return curves.at(i).shown; }
    // Draws the curve against the other value axis.
    void moveToOtherAxis(int i);
    bool onSecondAxis(int i) const { return curves.at(i).right; }
    // The whole header (or path) of a curve, as its legend entry's tool tip.
    QString curveToolTip(int i) const { return curves.at(i).toolTip; }
    // What the plot shows, for those who cannot see it: each curve with its ranges.
    QString summary() const;

    // One entry per curve shown, converted channels first: its name, colour and markers.
    struct MarkerLine
    {
        QString name;
        QColor colour;
        QString text;
    };
    QList<MarkerLine> markerLines() const;

    // The frequency of the point nearest to frequency on the first curve shown; NaN without one.
    double nearestFrequency(double frequency) const;
    // The frequency of the point after (direction 1) or before (-1) frequency on that curve.
    double stepFrequency(double frequency, int direction) const;
    // Every curve shown at that frequency: its nearest point's value, "—" outside its sweep.
    QString readout(double frequency) const;
    // Marks the nearest point of every curve shown; NaN marks none.
    void markFrequency(double frequency);
    double markedFrequency() const { return marked; }

    // The whole curve again, after a zoom.
    void resetView();
    // Zooms the frequency axis by factor (below 1 zooms in) around the frequency middle; never
    // beyond the whole curve.
    void zoomFrequencies(double factor, double middle);
    // The same for the value axis, never beyond the values of the whole curve.
    void zoomValues(double factor, double centre);
    // Moves the zoomed view by so many MHz and so many dB (or SWR) within the whole curve.
    void moveView(double frequencyShift, double valueShift);

    void setChannelShown(int channel, bool shown);
    bool channelShown(int channel) const;
    QLineSeries *channel(int channel) const;
    QValueAxis *xAxis() const { return frequencyAxis; }
    QValueAxis *yAxis() const { return valueAxis; }

    // Background, axes, grid and texts in the colours of a window's palette.
    void usePalette(const QPalette &palette);

    // A second chart with the same curve, title, colours and view, for a picture of another size.
    std::unique_ptr<CurveChart> clone() const;

    // Draws the chart at the given size onto the painter's device, from its top left corner.
    // Only for a chart that no view shows (a copy, or the batch mode's own).
    void draw(QPainter &painter, const QSize &pictureSize);
    // The chart as a PNG or SVG picture of the given size; empty when it cannot be made. One
    // chart draws many PNG pictures quicker than many charts one each.
    QByteArray png(const QSize &pictureSize);
    QByteArray svg(const QSize &pictureSize);

signals:
    // A legend entry was clicked, with any button: the preview decides what it does.
    void legendEntryClicked(int curve);
    // The pointer went onto a curve's legend entry, or (-1) off it.
    void legendEntryHovered(int curve);
    // The curves, their axes or what is hidden changed.
    void curvesChanged();

protected:
    void resizeEvent(QGraphicsSceneResizeEvent *event) override;

private:
    // One curve shown, converted or compared.
    struct Curve
    {
        QString name;     // in the legend, the marker list and the readout
        QString baseName; // the name before two of one name are told apart
        int source = 0;   // 0, 1: the channel; 2 + i: the i-th compared curve
        QString toolTip;  // the whole header
        QColor colour;
        Quantity quantity = Quantity::Neutral;
        QList<QPointF> points; // by rising frequency
        CurveMarkers markers;
        int decimals = 3; // the frequency digits its step needs
        bool right = false;
        bool shown = true;
        QLineSeries *line = nullptr;
        QScatterSeries *markerPoints = nullptr;
    };
    // What the user chose for a curve, kept while the curves are drawn anew.
    struct Choice
    {
        bool shown = true;
        int side = -1; // -1: by the axis rule; 0 left; 1 right
    };

    void fitTitle();
    // As many ticks as the axis has room for labels, at most ten.
    int tickRoom(const QValueAxis *axis) const;
    void setRange(QValueAxis *axis, double min, double max) const;
    // Ticks again after the plot changed its size.
    void fitTicks();
    void zoomAxis(QValueAxis *axis, double factor, double centre, double wholeMin,
                  double wholeMax) const;
    // Puts every curve shown into the chart anew: lines, markers, axes and their ranges.
    void drawAll();
    void collectCurves();
    void addComparisonCurve(int i);
    void chooseAxes();
    void makeComparisonSeries();
    void fitRanges();
    void setUpMarkerPoints(QScatterSeries *points, const QColor &colour);
    void hearLegendEntry(QLineSeries *line);
    void attach(QXYSeries *series, bool right);
    void setMarkers(QScatterSeries *points, const CurveMarkers &markers);
    // Each curve's legend entry shown once, dimmed while the curve is hidden; no other entries.
    void tidyLegend();
    Choice &choiceOf(const Curve &curve);
    int indexOf(const QAbstractSeries *line) const;
    const Curve *firstShown() const;
    void cutLinesAtPlot();

    QLineSeries *channel1;
    QLineSeries *channel2;
    QValueAxis *frequencyAxis;
    QValueAxis *valueAxis;
    QValueAxis *otherAxis;
    QScatterSeries *readMarkers[2]; // the points read, on the left and the right axis
    double marked;
    double fMin = 0;
    double fMax = 1;
    double valueMin = 0; // the value axis' range over the whole curve
    double valueMax = 1;
    QString description; // the title as given; the chart shows it fitted
    QLocale numbers;

    Quantity curveQuantity = Quantity::Level; // of the converted curve
    QList<QPointF> channelData[2];            // the converted curve's points per channel
    CurveMarkers channelMarkers[2];
    int channelDecimals = 3;
    QScatterSeries *channelMarkerPoints[2];
    Choice channelChoice[2];
    QList<NewCurve> comparison;
    QList<Choice> comparisonChoice;
    QList<Curve> curves;
    QList<QLineSeries *> comparisonLines;
    QList<QScatterSeries *> comparisonMarkerPoints;
    bool ownColours = false; // the colours of a palette, not the chart's own
    QPalette colours;

    struct PictureBuffer;
    std::unique_ptr<PictureBuffer> pictureBuffer;
    std::unique_ptr<QGraphicsScene> ownScene;
};
