#include "core/CurveMarkers.h"

#include <QTest>

#include <limits>

// Markers of constructed curves whose minimum, maximum and band edges are known.
class TestCurveMarkers : public QObject
{
    Q_OBJECT

private slots:
    void markers_data()
    {
        QTest::addColumn<int>("quantity");
        QTest::addColumn<QList<double>>("values"); // at 1, 2, 3, ... MHz
        QTest::addColumn<double>("extremeFrequency");
        QTest::addColumn<bool>("hasBand");
        QTest::addColumn<double>("from");
        QTest::addColumn<double>("to");
        QTest::addColumn<bool>("fromOutside");
        QTest::addColumn<bool>("toOutside");
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const int swr = int(Quantity::Swr);
        const int level = int(Quantity::Level);
        // 4 -> 1.5 crosses 2 at 1/2.5 of the step; 1.5 -> 3 at 1/3.
        QTest::newRow("SWR band inside") << swr << QList<double>{5, 4, 1.5, 1.2, 1.5, 3, 6} << 4.0
                                         << true << 2.8 << 5.0 + 1.0 / 3 << false << false;
        QTest::newRow("SWR without band") << swr << QList<double>{5, 3, 2.5, 2.01, 4} << 4.0
                                          << false << 0.0 << 0.0 << false << false;
        QTest::newRow("SWR band from the sweep's start")
            << swr << QList<double>{1.1, 1.8, 2.2, 3} << 1.0 << true << 1.0 << 2.5 << true << false;
        QTest::newRow("SWR, values that are none")
            << swr << QList<double>{nan, 1.5, std::numeric_limits<double>::infinity(), 1.9} << 2.0
            << true << 2.0 << 2.0 << false << false;
        QTest::newRow("level, an infinite value ends the band")
            << level << QList<double>{-1, std::numeric_limits<double>::infinity(), -2} << 1.0
            << true << 1.0 << 1.0 << true << false;
        QTest::newRow("level band within 3 dB") << level << QList<double>{-40, -10, -2, -1, -4, -30}
                                                << 4.0 << true << 2.75 << 5.0 << false << false;
        QTest::newRow("level, a single point")
            << level << QList<double>{-7} << 1.0 << true << 1.0 << 1.0 << true << true;
    }
    void markers()
    {
        QFETCH(int, quantity);
        QFETCH(QList<double>, values);
        QFETCH(double, extremeFrequency);
        QFETCH(bool, hasBand);
        QList<double> f;
        for (int i = 0; i < values.size(); ++i)
            f.append(i + 1);
        const CurveMarkers m = CurveMarkers::compute(f.constData(), values.constData(),
                                                     int(f.size()), Quantity(quantity));
        QCOMPARE(m.extreme.frequency, extremeFrequency);
        QCOMPARE(m.hasBand, hasBand);
        if (!hasBand)
            return;
        QTEST(m.from.frequency, "from");
        QTEST(m.to.frequency, "to");
        QTEST(m.from.outsideSweep, "fromOutside");
        QTEST(m.to.outsideSweep, "toOutside");
    }

    void text_data()
    {
        QTest::addColumn<int>("quantity");
        QTest::addColumn<QList<double>>("values");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("text");
        QTest::newRow("SWR, band in kHz")
            << int(Quantity::Swr) << QList<double>{2.5, 1.5, 1.234, 1.5, 2.5} << 3
            << QStringLiteral("Minimum 1,23 SWV bei 3,600 MHz; SWV <= 2 von 3,525 bis 3,675 "
                              "MHz (150 kHz)");
        QTest::newRow("SWR without band")
            << int(Quantity::Swr) << QList<double>{2.5, 2.25, 3} << 2
            << QStringLiteral("Minimum 2,25 SWV bei 3,55 MHz; kein Bereich mit SWV <= 2");
        QTest::newRow("level, band edge outside")
            << int(Quantity::Level) << QList<double>{-0.004, -1, -6} << 1
            << QStringLiteral("Maximum 0,00 dB bei 3,5 MHz; -3 dB von 3,5 bis 3,6 MHz (70 kHz); "
                              "das untere Bandende liegt ausserhalb des Sweeps");
        QTest::newRow("no unit")
            << int(Quantity::Neutral) << QList<double>{12.5, -1234567, 3} << 3
            << QStringLiteral("Minimum -1,23457E+06 bei 3,550 MHz; Maximum 12,5 bei 3,500 MHz");
    }
    void text()
    {
        QFETCH(int, quantity);
        QFETCH(QList<double>, values);
        QFETCH(int, decimals);
        QList<double> f;
        for (int i = 0; i < values.size(); ++i)
            f.append(3.5 + 0.05 * i);
        const CurveMarkers m = CurveMarkers::compute(f.constData(), values.constData(),
                                                     int(f.size()), Quantity(quantity));
        QTEST(m.text(decimals), "text");
    }

    void frequencyDecimals_data()
    {
        QTest::addColumn<double>("step");
        QTest::addColumn<int>("decimals");
        QTest::newRow("1 kHz") << 0.001 << 3;
        QTest::newRow("150 Hz") << 0.00015 << 5;
        QTest::newRow("1 MHz") << 1.0 << 0;
        QTest::newRow("250 kHz") << 0.25 << 2;
        QTest::newRow("25 kHz") << 0.025 << 3;
        QTest::newRow("below 1 Hz") << 1e-9 << 6;
        QTest::newRow("no step") << 0.0 << 3;
    }
    void frequencyDecimals()
    {
        QFETCH(double, step);
        QTEST(::frequencyDecimals(step), "decimals");
    }
};

QTEST_GUILESS_MAIN(TestCurveMarkers)
#include "tst_curvemarkers.moc"
