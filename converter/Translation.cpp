#include "Translation.h"

#include "core/Diagnostics.h"

#include <QCoreApplication>
#include <QTranslator>

QString translationFileName(const QStringList &arguments)
{
    for (const QString &argument : arguments) {
        if (argument == QLatin1String("--"))
            break; // every word after it is a file
        if (argument.startsWith(QLatin1String("-l")) && argument.size() > 2) {
            const QString value = argument.mid(2);
            if (value.contains(QLatin1String("zor2convert_")))
                return value;
            return QStringLiteral("zor2convert_%1").arg(value);
        }
    }
    return QString();
}

QString qtLanguage(const QStringList &arguments)
{
    const QString fname = translationFileName(arguments);
    if (fname.isEmpty())
        return QStringLiteral("de");
    return fname.section(QStringLiteral("zor2convert_"), -1);
}

QLocale numberLocale(const QStringList &arguments)
{
    QLocale locale(qtLanguage(arguments));
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

bool installTranslation(QCoreApplication &app)
{
    const QString fname = translationFileName(app.arguments());
    if (fname.isEmpty())
        return false;
    qCDebug(converterDiagnostics) << "fname:" << fname;
    // Owned by the application, so it lives as long as the texts it translates.
    auto *translator = new QTranslator(&app);
    const QString folders[] = {
        QStringLiteral("transl/"),
        QCoreApplication::applicationDirPath() + QStringLiteral("/transl/"),
        QCoreApplication::applicationDirPath() +
            QStringLiteral("/" ZOR2_TRANSLATIONS_FROM_PROGRAM "/"),
        QStringLiteral(":/i18n"),
    };
    bool loaded = false;
    for (const QString &folder : folders) {
        if (translator->load(fname, folder)) {
            loaded = true;
            break;
        }
    }
    if (loaded)
        qCDebug(converterDiagnostics) << "Translator OK";
    QCoreApplication::installTranslator(translator);
    return loaded;
}
