// Measures how long the curve preview takes to show a converted curve: an old curve file is
// opened, "Konvertieren" pressed and the preview's plot drawn, again and again; the conversion
// alone is timed on the same file and taken off. Run by scripts/bench-preview on a Release build.
#include "AnsweringDialogs.h"
#include "ConverterWindow.h"
#include "CurvePreview.h"
#include "core/ChannelConversion.h"
#include "core/OldCurveFile.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

namespace {

// Processor time of this process so far, in milliseconds.
double processTime()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fputs("Aufruf: preview_bench DATEI.hfd [DURCHLAEUFE]\n", stderr);
        return 2;
    }
    const QString file = QString::fromLocal8Bit(argv[1]);
    const int runs = argc > 2 ? std::max(3, std::atoi(argv[2])) : 30;
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    QTemporaryDir settingsDir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(settingsDir.path()));

    // The conversion alone, on a record of its own.
    auto record = std::make_unique<CurveRecord>();
    if (!OldCurveFile::readOldCurve(file, *record).ok()) {
        std::fputs("preview_bench: die Datei kann nicht gelesen werden\n", stderr);
        return 1;
    }
    std::vector<double> conversionTimes;
    QElapsedTimer clock;
    for (int i = 0; i < runs; ++i) {
        clock.start();
        convertCurve(*record);
        conversionTimes.push_back(clock.nsecsElapsed() / 1e6);
    }

    AnsweringDialogs answers(file);
    auto window = std::make_unique<ConverterWindow>(answers);
    window->show();
    // A person takes far longer than this to choose a file.
    clock.start();
    while (clock.elapsed() < 500)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    auto *openButton = window->findChild<QPushButton *>(QStringLiteral("openButton"));
    auto *convertButton = window->findChild<QPushButton *>(QStringLiteral("convertButton"));
    auto *preview = window->findChild<CurvePreview *>();
    QWidget *area =
        preview->findChild<QAbstractScrollArea *>(QStringLiteral("chartView"))->viewport();

    std::vector<double> total;
    std::vector<double> cpuTime; // of this process alone: what other programs take is left out
    for (int i = 0; i < runs; ++i) {
        // As a person works: open a file (which clears the preview), then convert it.
        openButton->click();
        QApplication::processEvents();
        clock.start();
        const double cpuTimeBefore = processTime();
        convertButton->click();
        QApplication::processEvents();
        area->repaint(); // drawn now, not at the next turn of the event loop
        total.push_back(clock.nsecsElapsed() / 1e6);
        cpuTime.push_back(processTime() - cpuTimeBefore);
    }
    const double k = median(conversionTimes);
    std::printf("points: %d\n", int(record->pointCount));
    std::printf("conversion alone: median %.2f ms\n", k);
    std::printf("preview, first conversion (window shown the first time): %.2f ms "
                "(processor %.2f ms)\n",
                total.front() - k, cpuTime.front() - k);
    std::printf("preview, later conversions: median %.2f ms, worst %.2f ms (processor: median "
                "%.2f ms)\n",
                median(std::vector<double>(total.begin() + 1, total.end())) - k,
                *std::max_element(total.begin() + 1, total.end()) - k,
                median(std::vector<double>(cpuTime.begin() + 1, cpuTime.end())) - k);
    return 0;
}
