// Measures how long new curve files take to appear together in the preview: the files are read,
// laid over each other with their markers and the plot drawn, again and again. Run by
// scripts/bench-curves on a Release build.
#include "AnsweringDialogs.h"
#include "ConverterWindow.h"
#include "CurveChart.h"
#include "CurvePreview.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineSeries>
#include <QLoggingCategory>
#include <QSettings>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList files = QCoreApplication::arguments().mid(1);
    if (files.isEmpty()) {
        std::fputs("Aufruf: comparison_bench KURVE.z2k ...\n", stderr);
        return 2;
    }
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    QTemporaryDir settingsDir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());

    AnsweringDialogs answers{QString()};
    auto window = std::make_unique<ConverterWindow>(answers);
    window->show();
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 500)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    auto *preview = window->findChild<CurvePreview *>();
    QWidget *area =
        preview->findChild<QAbstractScrollArea *>(QStringLiteral("chartView"))->viewport();

    const int runs = 15;
    std::vector<double> times;
    int points = 0;
    for (int i = 0; i < runs; ++i) {
        preview->clearComparison();
        QApplication::processEvents();
        clock.start();
        if (!window->showNewCurves(files).isEmpty()) {
            std::fputs("comparison_bench: eine Datei wurde abgelehnt\n", stderr);
            return 1;
        }
        QApplication::processEvents();
        area->repaint(); // drawn now, not at the next turn of the event loop
        times.push_back(clock.nsecsElapsed() / 1e6);
        points = int(preview->curveChart()->comparisonLine(0)->count());
    }
    const double first = times.front();
    std::sort(times.begin() + 1, times.end());
    std::printf("%d files of %d points: first %.1f ms (window shown the first time), later median "
                "%.1f ms, worst %.1f ms\n",
                int(files.size()), points, first, times[times.size() / 2 + 1], times.back());
    return 0;
}
