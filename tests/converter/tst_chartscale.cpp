#include "ChartScale.h"

#include <QTest>

#include <limits>

using Line = QList<QPointF>;

class TestChartScale : public QObject
{
    Q_OBJECT

private slots:
    // The pieces of a line that an SVG picture draws of a zoomed view: cut where the line
    // crosses the plot's border, nothing of it outside.
    void clippedLine_data()
    {
        QTest::addColumn<Line>("points");
        QTest::addColumn<QList<Line>>("parts");
        const double nan = std::numeric_limits<double>::quiet_NaN();
        // The plot: 0 to 10 MHz, values 0 to 4.
        QTest::newRow("inside") << Line{{1, 1}, {2, 2}, {3, 1}}
                                << QList<Line>{{{1, 1}, {2, 2}, {3, 1}}};
        QTest::newRow("leaves at the top and comes back")
            << Line{{1, 2}, {2, 6}, {3, 2}} << QList<Line>{{{1, 2}, {1.5, 4}}, {{2.5, 4}, {3, 2}}};
        QTest::newRow("one segment through the whole plot")
            << Line{{-2, 2}, {12, 2}} << QList<Line>{{{0, 2}, {10, 2}}};
        QTest::newRow("crosses two borders at once")
            << Line{{-1, -1}, {3, 7}} << QList<Line>{{{0, 1}, {1.5, 4}}};
        QTest::newRow("wholly outside") << Line{{1, 5}, {9, 6}} << QList<Line>{};
        QTest::newRow("a value that is no number parts the line")
            << Line{{1, 1}, {2, 1}, {3, nan}, {4, 1}, {5, 1}}
            << QList<Line>{{{1, 1}, {2, 1}}, {{4, 1}, {5, 1}}};
    }
    void clippedLine()
    {
        QFETCH(Line, points);
        QFETCH(QList<Line>, parts);
        const QList<Line> cut = ChartScale::clippedLine(points, QRectF(0, 0, 10, 4));
        QCOMPARE(cut.size(), parts.size());
        for (qsizetype i = 0; i < parts.size(); ++i) {
            QCOMPARE(cut[i].size(), parts[i].size());
            for (qsizetype j = 0; j < parts[i].size(); ++j) {
                QCOMPARE(cut[i][j].x(), parts[i][j].x());
                QCOMPARE(cut[i][j].y(), parts[i][j].y());
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestChartScale)
#include "tst_chartscale.moc"
