#pragma once

#include <QString>
#include <QStringList>

// A small store of key=value lines kept in a plain text file in the system's 8-bit encoding.
// A file may hold several lines of one key: reads take the first of them, and a write replaces
// them all, so that a read after a write gives the value written.
// The entries are sorted after loading and before saving; the destructor saves pending changes.
// Only a regular file of at most kMaxSize bytes is read, and a save replaces the file whole or
// leaves it as it was.
class KeyValueFile
{
public:
    // Larger files are not read.
    static constexpr qint64 kMaxSize = 1024 * 1024;

    KeyValueFile() = default;
    ~KeyValueFile();

    KeyValueFile(const KeyValueFile &) = delete;
    KeyValueFile &operator=(const KeyValueFile &) = delete;

    bool load(const QString &fileName);
    void save();

    bool removeEntryContaining(const QString &text);

    double value(const QString &key, double defaultValue) const;
    long value(const QString &key, long defaultValue) const;
    long long value(const QString &key, long long defaultValue) const;
    int value(const QString &key, int defaultValue) const;
    bool value(const QString &key, bool defaultValue) const;
    QString value(const QString &key, const QString &defaultValue) const;
    // Without this a string literal default would pick the bool overload.
    QString value(const QString &key, const char *defaultValue) const;

    void setValue(const QString &key, int value);
    void setValue(const QString &key, long value);
    void setValue(const QString &key, long long value);
    void setValue(const QString &key, bool value);
    void setValue(const QString &key, double value);
    void setValue(const QString &key, const QString &value);
    // Without this a string literal would be stored as the bool "1".
    void setValue(const QString &key, const char *value);
    void setValueScientific(const QString &key, double value);

    const QStringList &entries() const { return lines; }
    bool isDirty() const { return dirty; }

private:
    bool findValue(const QString &key, QString *valueText) const;
    void store(const QString &key, const QString &valueText);

    QStringList lines;
    QString fileName;
    bool dirty = false;
};
