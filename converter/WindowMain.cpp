#include "WindowMain.h"

#include "ConverterOptions.h"
#include "Diagnostics.h"
#include "QtTranslation.h"
#include "Translation.h"
#include "zor2conv.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>

#include <memory>

int runWindow(int &argc, char **argv, const ConverterOptions &options)
{
    if (options.verbose)
        enableDiagnostics();
    QApplication app(argc, argv);
    installTranslation(app);
    installQtTranslation(app, qtLanguage(QApplication::arguments()));
    // The window holds the whole curve record (about 400 KB): kept off the stack.
    auto window = std::make_unique<zor2conv>();
    const QIcon icon(QStringLiteral(":images/zor2conv.ico"));
    QApplication::setWindowIcon(icon);
    window->setWindowIcon(icon);
    window->show();
    // Opened once the window is up, so that a refusal shows over it.
    const QString file = options.inputs.value(0);
    if (!file.isEmpty())
        QTimer::singleShot(0, window.get(), [&window, file] { window->kurveAltOeffnen(file); });
    return QApplication::exec();
}
