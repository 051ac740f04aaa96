#include "RecentFiles.h"

#include "core/MessageText.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsPlace.h"

#include <QDir>
#include <QMenu>

namespace {

const QString kKey = QStringLiteral("zuletztgeoeffnet");

} // namespace

RecentFiles::RecentFiles(QMenu *menu, QObject *parent)
    : QObject(parent)
    , menu(menu)
{
    fillMenu();
}

QStringList RecentFiles::files() const
{
    QStringList list = SettingsFile(SettingsPlace::application()).value(kKey).toStringList();
    list.removeAll(QString());
    return list.mid(0, kMost);
}

void RecentFiles::add(const QString &path)
{
    QStringList list = files();
    list.removeAll(path);
    list.prepend(path);
    store(list.mid(0, kMost));
}

void RecentFiles::remove(const QString &path)
{
    QStringList list = files();
    if (list.removeAll(path) > 0)
        store(list);
}

void RecentFiles::store(const QStringList &list)
{
    SettingsFile(SettingsPlace::application()).setValue(kKey, list);
    fillMenu();
}

void RecentFiles::fillMenu()
{
    // Removed later: the entry being chosen may be the one that emits this change.
    for (QAction *entry : menu->actions()) {
        menu->removeAction(entry);
        entry->deleteLater();
    }
    const QStringList list = files();
    menu->setEnabled(!list.isEmpty());
    for (int i = 0; i < list.size(); ++i) {
        const QString path = list.at(i);
        QString shown = shownInMessage(QDir::toNativeSeparators(path));
        shown.replace(QLatin1Char('&'), QLatin1String("&&"));
        QAction *entry = menu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
        connect(entry, &QAction::triggered, this, [this, path] { emit chosen(path); });
    }
}
