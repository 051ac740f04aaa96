// Measures how long new curve files take to appear together in the preview: the files are read,
// laid over each other with their markers and the plot drawn, again and again. Run by
// scripts/bench-curves on a Release build.
#include "FesteAntworten.h"
#include "Kurvendiagramm.h"
#include "Kurvenvorschau.h"
#include "zor2conv.h"

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
    const QStringList dateien = QCoreApplication::arguments().mid(1);
    if (dateien.isEmpty()) {
        std::fputs("Aufruf: vergleich_messen KURVE.z2k ...\n", stderr);
        return 2;
    }
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    QTemporaryDir einstellungen;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, einstellungen.path());

    FesteAntworten antworten{QString()};
    auto fenster = std::make_unique<zor2conv>(antworten);
    fenster->show();
    QElapsedTimer uhr;
    uhr.start();
    while (uhr.elapsed() < 500)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    auto *vorschau = fenster->findChild<Kurvenvorschau *>();
    QWidget *flaeche =
        vorschau->findChild<QAbstractScrollArea *>(QStringLiteral("chartView"))->viewport();

    const int laeufe = 15;
    std::vector<double> zeiten;
    int punkte = 0;
    for (int i = 0; i < laeufe; ++i) {
        vorschau->vergleichLeeren();
        QApplication::processEvents();
        uhr.start();
        if (!fenster->kurvenNeuAnzeigen(dateien).isEmpty()) {
            std::fputs("vergleich_messen: eine Datei wurde abgelehnt\n", stderr);
            return 1;
        }
        QApplication::processEvents();
        flaeche->repaint(); // drawn now, not at the next turn of the event loop
        zeiten.push_back(uhr.nsecsElapsed() / 1e6);
        punkte = int(vorschau->diagramm()->vergleichsLinie(0)->count());
    }
    const double erste = zeiten.front();
    std::sort(zeiten.begin() + 1, zeiten.end());
    std::printf("%d files of %d points: first %.1f ms (window shown the first time), later median "
                "%.1f ms, worst %.1f ms\n",
                int(dateien.size()), punkte, erste, zeiten[zeiten.size() / 2 + 1], zeiten.back());
    return 0;
}
