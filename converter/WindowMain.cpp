#include "WindowMain.h"

#include "ConverterOptions.h"
#include "ConverterWindow.h"
#include "Translation.h"
#include "commandline/CommandLine.h"
#include "core/Diagnostics.h"
#include "platform/MessageText.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsPlace.h"
#include "widgets/QtTranslation.h"

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
    // A settings file that cannot be used is told once; the window starts with defaults.
    for (const QString &application : {SettingsPlace::application(), QStringLiteral("ZOR5")}) {
        const QString problem = SettingsFile(application).problem();
        if (!problem.isEmpty())
            CommandLine::print(stderr,
                               QStringLiteral("zor2conv: %1\n").arg(shownInMessage(problem)));
    }
    // The window holds the whole curve record (about 400 KB): kept off the stack.
    auto window = std::make_unique<ConverterWindow>();
    const QIcon icon(QStringLiteral(":images/zor2conv.ico"));
    QApplication::setWindowIcon(icon);
    window->setWindowIcon(icon);
    window->show();
    // Opened once the window is up, so that a refusal shows over it; a refused new curve file
    // is told on the terminal too, where it was named.
    const QStringList files = options.inputs;
    if (!files.isEmpty()) {
        QTimer::singleShot(0, window.get(), [&window, files] {
            window->setRefusalReporter([](const QString &line) {
                CommandLine::print(stderr, QStringLiteral("zor2conv: %1\n").arg(line));
            });
            window->openFiles(files);
            window->setRefusalReporter({});
        });
    }
    return QApplication::exec();
}
