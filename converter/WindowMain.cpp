#include "WindowMain.h"

#include "Translation.h"
#include "zor2conv.h"

#include <QApplication>
#include <QIcon>

#include <memory>

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
    return QApplication::exec();
}
