// Measures how long the curve preview takes to show a converted curve: an old curve file is
// opened, "Konvertieren" pressed and the preview's plot drawn, again and again; the conversion
// alone is timed on the same file and taken off. Run by scripts/bench-preview on a Release build.
#include "ChannelConversion.h"
#include "FesteAntworten.h"
#include "Kurvenvorschau.h"
#include "OldCurveFile.h"
#include "zor2conv.h"

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
double prozessZeit()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double median(std::vector<double> werte)
{
    std::sort(werte.begin(), werte.end());
    return werte[werte.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fputs("Aufruf: vorschau_messen DATEI.hfd [DURCHLAEUFE]\n", stderr);
        return 2;
    }
    const QString datei = QString::fromLocal8Bit(argv[1]);
    const int laeufe = argc > 2 ? std::max(3, std::atoi(argv[2])) : 30;
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    QTemporaryDir einstellungen;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, einstellungen.path());

    // The conversion alone, on a record of its own.
    auto record = std::make_unique<CurveRecord>();
    if (!OldCurveFile::kurveAltLesen(datei, *record).ok()) {
        std::fputs("vorschau_messen: die Datei kann nicht gelesen werden\n", stderr);
        return 1;
    }
    std::vector<double> konvertierung;
    QElapsedTimer uhr;
    for (int i = 0; i < laeufe; ++i) {
        uhr.start();
        kurveKonvertieren(*record);
        konvertierung.push_back(uhr.nsecsElapsed() / 1e6);
    }

    FesteAntworten antworten(datei);
    auto fenster = std::make_unique<zor2conv>(antworten);
    fenster->show();
    // A person takes far longer than this to choose a file.
    uhr.start();
    while (uhr.elapsed() < 500)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    auto *oeffnen = fenster->findChild<QPushButton *>(QStringLiteral("pushButton"));
    auto *konvertieren = fenster->findChild<QPushButton *>(QStringLiteral("pushButton_3"));
    auto *vorschau = fenster->findChild<Kurvenvorschau *>();
    QWidget *flaeche =
        vorschau->findChild<QAbstractScrollArea *>(QStringLiteral("chartView"))->viewport();

    std::vector<double> gesamt;
    std::vector<double> rechenzeit; // of this process alone: what other programs take is left out
    for (int i = 0; i < laeufe; ++i) {
        // As a person works: open a file (which clears the preview), then convert it.
        oeffnen->click();
        QApplication::processEvents();
        uhr.start();
        const double rechenzeitVorher = prozessZeit();
        konvertieren->click();
        QApplication::processEvents();
        flaeche->repaint(); // drawn now, not at the next turn of the event loop
        gesamt.push_back(uhr.nsecsElapsed() / 1e6);
        rechenzeit.push_back(prozessZeit() - rechenzeitVorher);
    }
    const double k = median(konvertierung);
    std::printf("points: %d\n", int(record->punkte));
    std::printf("conversion alone: median %.2f ms\n", k);
    std::printf("preview, first conversion (window shown the first time): %.2f ms "
                "(processor %.2f ms)\n",
                gesamt.front() - k, rechenzeit.front() - k);
    std::printf("preview, later conversions: median %.2f ms, worst %.2f ms (processor: median "
                "%.2f ms)\n",
                median(std::vector<double>(gesamt.begin() + 1, gesamt.end())) - k,
                *std::max_element(gesamt.begin() + 1, gesamt.end()) - k,
                median(std::vector<double>(rechenzeit.begin() + 1, rechenzeit.end())) - k);
    return 0;
}
