#include "WindowMain.h"

#include "Translation.h"
#include "zor2conv.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>

#include <memory>

namespace {

// The old curve file named on the command line (the desktop passes the file a person opened
// with the converter): the first argument that is no option, or the first after "--".
QString fileArgument(const QStringList &arguments)
{
    bool onlyFiles = false;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString &a = arguments.at(i);
        if (!onlyFiles && a == QLatin1String("--"))
            onlyFiles = true;
        else if (onlyFiles || !a.startsWith(QLatin1Char('-')))
            return a;
    }
    return QString();
}

} // namespace

int runWindow(int &argc, char **argv)
{
    QApplication app(argc, argv);
    installTranslation(app);
    // The window holds the whole curve record (about 400 KB): kept off the stack.
    auto window = std::make_unique<zor2conv>();
    const QIcon icon(QStringLiteral(":images/zor2conv.ico"));
    QApplication::setWindowIcon(icon);
    window->setWindowIcon(icon);
    window->show();
    // Opened once the window is up, so that a refusal shows over it.
    const QString file = fileArgument(QCoreApplication::arguments());
    if (!file.isEmpty())
        QTimer::singleShot(0, window.get(), [&window, file] { window->kurveAltOeffnen(file); });
    return QApplication::exec();
}
