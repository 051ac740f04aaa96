// Shows the converter's main window and its curve preview as a person sees them after
// converting an old curve file, with the mouse over the plot, and any new curve files given
// after it laid over the curve, for the README's screenshots (scripts/screenshot-preview). Prints
// "bereit" and the preview's place on the screen (WxH+X+Y) once both windows are drawn, then waits
// to be ended. The settings go to a temporary folder; the user's stay untouched.
#include "FesteAntworten.h"
#include "Kurvenvorschau.h"
#include "zor2conv.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fputs("Aufruf: vorschau_bildschirm DATEI.hfd [KURVE.z2k ...]\n", stderr);
        return 2;
    }
    QTemporaryDir einstellungen;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, einstellungen.path());

    FesteAntworten antworten(QString::fromLocal8Bit(argv[1]));
    auto fenster = std::make_unique<zor2conv>(antworten);
    fenster->move(10, 10);
    fenster->show();
    fenster->findChild<QPushButton *>(QStringLiteral("pushButton"))->click();
    fenster->findChild<QPushButton *>(QStringLiteral("pushButton_3"))->click();
    const QStringList vergleich = QCoreApplication::arguments().mid(2);
    if (!vergleich.isEmpty())
        fenster->kurvenNeuAnzeigen(vergleich);

    QTimer::singleShot(500, [&] {
        auto *vorschau = fenster->findChild<Kurvenvorschau *>();
        QWidget *flaeche =
            vorschau->findChild<QAbstractScrollArea *>(QStringLiteral("chartView"))->viewport();
        const QPointF stelle(flaeche->width() * 0.42, flaeche->height() * 0.5);
        QMouseEvent bewegung(QEvent::MouseMove, stelle, flaeche->mapToGlobal(stelle), Qt::NoButton,
                             Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(flaeche, &bewegung);
        QTimer::singleShot(500, [vorschau] {
            const QRect r = vorschau->frameGeometry();
            std::printf("bereit %dx%d+%d+%d\n", r.width(), r.height(), r.x(), r.y());
            std::fflush(stdout);
        });
    });
    return QApplication::exec();
}
