#include "RecentFiles.h"

#include "platform/MessageText.h"
#include "platform/Platform.h"
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
    // A name that is no UTF-8 is stored by its bytes (see store()).
    const QVariant stored = SettingsFile(SettingsPlace::application()).value(kKey);
    QVariantList items;
    if (stored.typeId() == QMetaType::QByteArray)
        items = {stored};
    else if (stored.typeId() == QMetaType::QVariantList)
        items = stored.toList();
    else
        for (const QString &text : stored.toStringList())
            items.append(text);
    QStringList list;
    for (const QVariant &item : std::as_const(items)) {
        list.append(item.typeId() == QMetaType::QByteArray
                        ? Platform::nameFromNative(item.toByteArray())
                        : item.toString());
    }
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
    // Text where the names are text, as always; a name with bytes that are no UTF-8 (a Latin-1
    // name from an old disk) as those bytes, which text would turn into U+FFFD.
    QVariantList items;
    bool bytes = false;
    for (const QString &path : list) {
        const QByteArray native = Platform::nativeName(path);
        const bool text = QString::fromUtf8(native) == path;
        items.append(text ? QVariant(path) : QVariant(native));
        bytes = bytes || !text;
    }
    SettingsFile settings(SettingsPlace::application());
    if (!bytes)
        settings.setValue(kKey, list);
    else
        settings.setValue(kKey, items.size() == 1 ? items.constFirst() : QVariant(items));
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
