#pragma once

#include <QObject>
#include <QStringList>

class QMenu;

// The old curve files opened last, newest first, at most eight, remembered in the settings
// (organisation "VEZ", application "ZOR2", key "zuletztgeoeffnet") and listed in a menu, one
// entry per file; choosing one emits chosen().
class RecentFiles : public QObject
{
    Q_OBJECT

public:
    static constexpr int kMost = 8;

    RecentFiles(QMenu *menu, QObject *parent);

    // The file moves to the top of the list.
    void add(const QString &path);
    // A file that can no longer be opened leaves the list.
    void remove(const QString &path);
    QStringList files() const;

signals:
    void chosen(const QString &path);

private:
    void store(const QStringList &files);
    void fillMenu();

    QMenu *menu;
};
