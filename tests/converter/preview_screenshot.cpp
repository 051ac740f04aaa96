// Shows the converter's main window and its curve preview as a person sees them after
// converting an old curve file, with the mouse over the plot, and any new curve files given
// after it laid over the curve, for the README's screenshots (scripts/screenshot-preview). Prints
// "bereit" and the preview's place on the screen (WxH+X+Y) once both windows are drawn, then waits
// to be ended. The settings go to a temporary folder; the user's stay untouched.
#include "AnsweringDialogs.h"
#include "ConverterWindow.h"
#include "CurvePreview.h"

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
        std::fputs("Aufruf: preview_screenshot DATEI.hfd [KURVE.z2k ...]\n", stderr);
        return 2;
    }
    QTemporaryDir settingsDir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(settingsDir.path()));

    AnsweringDialogs answers(QString::fromLocal8Bit(argv[1]));
    auto window = std::make_unique<ConverterWindow>(answers);
    window->move(10, 10);
    window->show();
    window->findChild<QPushButton *>(QStringLiteral("openButton"))->click();
    window->findChild<QPushButton *>(QStringLiteral("convertButton"))->click();
    const QStringList comparison = QCoreApplication::arguments().mid(2);
    if (!comparison.isEmpty())
        window->showNewCurves(comparison);

    QTimer::singleShot(500, [&] {
        auto *preview = window->findChild<CurvePreview *>();
        QWidget *area =
            preview->findChild<QAbstractScrollArea *>(QStringLiteral("chartView"))->viewport();
        const QPointF position(area->width() * 0.42, area->height() * 0.5);
        QMouseEvent move(QEvent::MouseMove, position, area->mapToGlobal(position), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(area, &move);
        QTimer::singleShot(500, [preview] {
            const QRect r = preview->frameGeometry();
            std::printf("bereit %dx%d+%d+%d\n", r.width(), r.height(), r.x(), r.y());
            std::fflush(stdout);
        });
    });
    return QApplication::exec();
}
