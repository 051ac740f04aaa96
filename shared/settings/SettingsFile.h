#pragma once

#include <QCoreApplication>
#include <QString>
#include <QVariant>

#include <memory>

class QSettings;
class QTemporaryDir;

// The settings one application keeps under the programs' organisation, in Qt's native store,
// read and written only where that cannot hurt. Where the store is a file, it is used only when
// it is a regular file, or a link of this user to one, of at most kMaxSize bytes that reads as a
// settings file: then it is read without waiting and written through the programs' one writer
// (a link is followed, owner and group are kept). Anything else (a FIFO, a foreign link, a huge
// file, a file of another kind) is neither read nor ever written: the reads give their defaults,
// and problem() tells why. Short-lived, as a QSettings: every object reads the file anew.
class SettingsFile
{
    Q_DECLARE_TR_FUNCTIONS(SettingsFile)

public:
    static constexpr qint64 kMaxSize = 1024 * 1024;

    explicit SettingsFile(const QString &application);
    ~SettingsFile();
    SettingsFile(const SettingsFile &) = delete;
    SettingsFile &operator=(const SettingsFile &) = delete;

    QVariant value(const QString &key, const QVariant &defaultValue = QVariant()) const;
    // Stores the value, and writes the file at once when it may be written.
    void setValue(const QString &key, const QVariant &value);

    // Why the settings file is not used, as the user is told; empty when it is.
    QString problem() const { return why; }

private:
    QString file; // empty where the settings are no file
    QString why;
    std::unique_ptr<QTemporaryDir> copyFolder;
    std::unique_ptr<QSettings> store;
};
