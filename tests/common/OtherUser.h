#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>

// Running a built program as another user. The build tree may lie where only its owner may
// enter (a clone under /root on a fresh system), so the program and the leak checker's
// suppressions are copied into a folder under the system's temporary folder that every user may
// enter.
namespace OtherUser {

inline QString leakSuppressions()
{
    const QString options = qEnvironmentVariable("LSAN_OPTIONS");
    const QRegularExpression file(QStringLiteral("suppressions=([^:]+)"));
    const QRegularExpressionMatch match = file.match(options);
    return match.hasMatch() ? match.captured(1) : QString();
}

// The copy of program in folder, or an empty text with the reason in whyNot.
inline QString reachableCopy(QTemporaryDir &folder, const QString &program, QString *whyNot)
{
    const QFileInfo temp(QDir::tempPath());
    if (!(temp.permissions() & QFile::ExeOther)) {
        *whyNot = QStringLiteral("the temporary folder %1 is closed to other users")
                      .arg(temp.absoluteFilePath());
        return QString();
    }
    const QString copy = folder.filePath(QFileInfo(program).fileName());
    const auto open = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                      QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
    const QString suppressions = leakSuppressions();
    if (!folder.isValid() || !QFile::setPermissions(folder.path(), open) ||
        !QFile::copy(program, copy) || !QFile::setPermissions(copy, open) ||
        (!suppressions.isEmpty() &&
         !QFile::copy(suppressions, folder.filePath(QStringLiteral("lsan.txt"))))) {
        *whyNot = QStringLiteral("cannot copy the program into %1").arg(folder.path());
        return QString();
    }
    return copy;
}

// environment with the leak checker's suppressions taken from the copy's folder.
inline QProcessEnvironment environmentFor(QProcessEnvironment environment, const QString &folder)
{
    const QString suppressions = leakSuppressions();
    if (!suppressions.isEmpty()) {
        QString options = environment.value(QStringLiteral("LSAN_OPTIONS"));
        options.replace(suppressions, folder + QStringLiteral("/lsan.txt"));
        environment.insert(QStringLiteral("LSAN_OPTIONS"), options);
    }
    return environment;
}

} // namespace OtherUser
