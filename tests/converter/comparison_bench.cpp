// Measures how long new curve files take to appear together in the preview: the files are read,
// laid over each other with their markers and the plot drawn, again and again. Run by
// scripts/bench-curves on a Release build.
#include "AnsweringDialogs.h"
#include "ConverterWindow.h"
#include "CurveChart.h"
#include "CurvePreview.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QChartView>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QMouseEvent>
#include <QSettings>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList files = QCoreApplication::arguments().mid(1);
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    QTemporaryDir settingsDir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(settingsDir.path()));
    AnsweringDialogs answers{QString()};
    ConverterWindow window(answers);
    window.show();
    QElapsedTimer clock;
    for (clock.start(); clock.elapsed() < 500;)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    auto *preview = window.findChild<CurvePreview *>();
    QWidget *area =
        preview->findChild<QAbstractScrollArea *>(QStringLiteral("chartView"))->viewport();

    std::vector<double> times;
    while (times.size() < 15) {
        preview->clearComparison();
        QApplication::processEvents();
        clock.start();
        if (files.isEmpty() || !window.showNewCurves(files).isEmpty()) {
            std::fputs("Aufruf: comparison_bench KURVE.z2k ... (lesbare Dateien)\n", stderr);
            return 2;
        }
        QApplication::processEvents();
        area->repaint(); // drawn now, not at the next turn of the event loop
        times.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin() + 1, times.end());
    std::printf("%d files: first %.1f ms (window shown the first time), later median %.1f ms, "
                "worst %.1f ms\n",
                int(files.size()), times[0], times[times.size() / 2 + 1], times.back());

    // The readout with four curves shown: the pointer sweeps across the plot; each move is read
    // (every curve's nearest point, the marks, the readout line) and the plot drawn anew.
    preview->clearComparison();
    window.showNewCurves(files.mid(0, 4));
    QApplication::processEvents();
    auto *view = preview->findChild<QChartView *>(QStringLiteral("chartView"));
    const QRectF plot = preview->curveChart()->plotArea();
    constexpr int moves = 2000;
    double handled = 0;
    clock.start();
    for (int i = 0; i < moves; ++i) {
        const double x = plot.left() + plot.width() * ((i * 37) % moves) / moves;
        const QPointF at = view->mapFromScene(QPointF(x, plot.center().y()));
        QMouseEvent move(QEvent::MouseMove, at, area->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QElapsedTimer handler;
        handler.start();
        QCoreApplication::sendEvent(area, &move);
        handled += handler.nsecsElapsed() / 1e6;
        area->repaint();
    }
    std::printf("readout, 4 curves: %.3f ms per pointer move read, %.2f ms read and drawn\n",
                handled / moves, clock.nsecsElapsed() / 1e6 / moves);
    return 0;
}
