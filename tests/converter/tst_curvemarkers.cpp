#include "core/CurveMarkers.h"

#include <QTest>

#include <limits>

// Markers of constructed curves whose minimum, maximum and band edges are known, read from the
// line the batch mode and the preview print (frequencies to three decimals unless a row says
// otherwise).
class TestCurveMarkers : public QObject
{
    Q_OBJECT

private slots:
    void markers_data()
    {
        QTest::addColumn<int>("quantity");
        QTest::addColumn<double>("step"); // points at 1, 1 + step, ... MHz
        QTest::addColumn<QList<double>>("values");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("text");
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const double inf = std::numeric_limits<double>::infinity();
        const int swr = int(Quantity::Swr);
        const int level = int(Quantity::Level);
        // 4 -> 1.5 crosses 2 at 1/2.5 of the step; 1.5 -> 3 at 1/3.
        QTest::newRow("SWR band inside")
            << swr << 1.0 << QList<double>{5, 4, 1.5, 1.2, 1.5, 3, 6} << 3
            << "Minimum 1,20 SWV bei 4,000 MHz; SWV <= 2 von 2,800 bis 5,333 MHz (2,533 MHz)";
        QTest::newRow("SWR, band in kHz")
            << swr << 0.05 << QList<double>{2.5, 1.5, 1.234, 1.5, 2.5} << 3
            << "Minimum 1,23 SWV bei 1,100 MHz; SWV <= 2 von 1,025 bis 1,175 MHz (150 kHz)";
        QTest::newRow("SWR without band")
            << swr << 1.0 << QList<double>{5, 3, 2.5, 2.01, 4} << 2
            << "Minimum 2,01 SWV bei 4,00 MHz; kein Bereich mit SWV <= 2";
        QTest::newRow("SWR band from the sweep's start")
            << swr << 1.0 << QList<double>{1.1, 1.8, 2.2, 3} << 3
            << "Minimum 1,10 SWV bei 1,000 MHz; SWV <= 2 von 1,000 bis 2,500 MHz (1,500 MHz); "
               "das untere Bandende liegt ausserhalb des Sweeps";
        QTest::newRow("SWR, values that are none")
            << swr << 1.0 << QList<double>{nan, 1.5, inf, 1.9} << 3
            << "Minimum 1,50 SWV bei 2,000 MHz; SWV <= 2 von 2,000 bis 2,000 MHz (0 kHz)";
        QTest::newRow("level, an infinite value ends the band")
            << level << 1.0 << QList<double>{-1, inf, -2} << 3
            << "Maximum -1,00 dB bei 1,000 MHz; -3 dB von 1,000 bis 1,000 MHz (0 kHz); "
               "das untere Bandende liegt ausserhalb des Sweeps";
        QTest::newRow("level band within 3 dB")
            << level << 1.0 << QList<double>{-40, -10, -2, -1, -4, -30} << 3
            << "Maximum -1,00 dB bei 4,000 MHz; -3 dB von 2,750 bis 5,000 MHz (2,250 MHz)";
        QTest::newRow("level, band edge outside")
            << level << 0.05 << QList<double>{-0.004, -1, -6} << 1
            << "Maximum 0,00 dB bei 1,0 MHz; -3 dB von 1,0 bis 1,1 MHz (70 kHz); "
               "das untere Bandende liegt ausserhalb des Sweeps";
        QTest::newRow("level, a single point")
            << level << 1.0 << QList<double>{-7} << 3
            << "Maximum -7,00 dB bei 1,000 MHz; -3 dB von 1,000 bis 1,000 MHz (0 kHz); "
               "beide Bandenden liegen ausserhalb des Sweeps";
        QTest::newRow("no unit")
            << int(Quantity::Neutral) << 0.05 << QList<double>{12.5, -1234567, 3} << 3
            << "Minimum -1234567,00 bei 1,050 MHz; Maximum 12,50 bei 1,000 MHz";
        // Rounded as a converted curve is, not "-38,4184".
        QTest::newRow("no unit, many digits")
            << int(Quantity::Neutral) << 0.05 << QList<double>{-38.4184, -2.5} << 3
            << "Minimum -38,42 bei 1,000 MHz; Maximum -2,50 bei 1,050 MHz";
    }
    void markers()
    {
        QFETCH(double, step);
        QFETCH(QList<double>, values);
        QList<double> f;
        for (int i = 0; i < values.size(); ++i)
            f.append(1 + step * i);
        QFETCH(int, quantity);
        QFETCH(int, decimals);
        QTEST(CurveMarkers::compute(f.constData(), values.constData(), int(f.size()),
                                    Quantity(quantity))
                  .text(decimals),
              "text");
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
