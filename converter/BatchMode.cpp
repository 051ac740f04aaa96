#include "BatchMode.h"

#include "CurveChart.h"
#include "Translation.h"
#include "commandline/CommandLine.h"
#include "core/ChannelConversion.h"
#include "core/CsvFile.h"
#include "core/CurveMarkers.h"
#include "core/Diagnostics.h"
#include "core/NewCurveFile.h"
#include "core/OldCurveFile.h"
#include "platform/FileCause.h"
#include "platform/FileWriter.h"
#include "platform/MessageText.h"
#include "platform/Platform.h"

#include <QApplication>
#include <QDir>
#include <QLoggingCategory>
#include <QSet>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

using CommandLine::ExitStatus;

// One line, whatever names and files put into it.
void print(FILE *stream, const QString &line)
{
    CommandLine::print(stream, shownInMessage(line) + QLatin1Char('\n'));
}

// The folder of an absolute path, by its text alone: names keep the bytes they came with.
QString parentOf(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash <= 0 ? QStringLiteral("/") : path.left(slash);
}

// Whether the folder exists or can be made: its nearest existing folder must take new files.
Platform::FileResult folderUsable(const QString &folder)
{
    QString path = Platform::absoluteName(folder);
    Platform::FileStatus status = Platform::fileStatus(path);
    while (status.kind == Platform::FileKind::Missing && status.result.ok()) {
        const QString top = parentOf(path);
        if (top == path)
            break;
        path = top;
        status = Platform::fileStatus(path);
    }
    if (!status.result.ok())
        return status.result;
    if (status.kind != Platform::FileKind::Folder) {
        Platform::FileResult r;
        r.error = status.kind == Platform::FileKind::DanglingLink ? Platform::FileError::NotFound
                                                                  : Platform::FileError::NotAFolder;
        return r;
    }
    return Platform::folderWritable(path);
}

class Batch
{
public:
    explicit Batch(const ConverterOptions &options)
        : options(options)
        , record(std::make_unique<CurveRecord>())
    {
    }

    int run()
    {
        if (!options.outputDir.isEmpty()) {
            const Platform::FileResult r = folderUsable(options.outputDir);
            if (!r.ok()) {
                const bool exists =
                    Platform::fileStatus(options.outputDir).kind == Platform::FileKind::Folder;
                print(stderr, QStringLiteral("zor2conv: %1")
                                  .arg(exists ? folderNotWritable(options.outputDir, r)
                                              : folderError(options.outputDir, r)));
                return ExitStatus::Failed;
            }
        }
        for (const QString &input : options.inputs) {
            if (Platform::fileStatus(input).kind != Platform::FileKind::Missing)
                inputs.insert(FileWriter::comparisonPath(input));
        }
        // A request to stop ends the batch between two inputs: the input in hand is finished
        // (all its outputs new) or, should its save fail, rolled back (all old), and every
        // temporary file of it removed, as at any other end.
        Platform::catchStopSignals();
        bool allOk = true;
        int edited = 0;
        for (const QString &input : options.inputs) {
            if (Platform::stopSignal() != 0)
                break;
            const QString error = convert(input);
            ++edited;
            if (!error.isEmpty()) {
                print(stderr, QStringLiteral("%1: %2").arg(input, error));
                allOk = false;
            }
        }
        const int signal = Platform::stopSignal();
        if (signal != 0) {
            print(stderr, QStringLiteral("zor2conv: %1")
                              .arg(BatchMode::tr("durch Signal %1 abgebrochen, %2 von %3 "
                                                 "Eingaben bearbeitet")
                                       .arg(signal)
                                       .arg(edited)
                                       .arg(options.inputs.size())));
        }
        // Names on a full or closed standard output are lost: that is a failure too.
        if (!CommandLine::standardOutputWritten()) {
            print(stderr,
                  QStringLiteral("zor2conv: %1")
                      .arg(BatchMode::tr("die Standardausgabe kann nicht geschrieben werden")));
            return ExitStatus::Failed;
        }
        if (signal != 0)
            return 128 + signal;
        return allOk ? ExitStatus::Done : ExitStatus::Failed;
    }

private:
    static QString folderError(const QString &folder, const Platform::FileResult &r)
    {
        return BatchMode::tr("der Ausgabeordner %1 kann nicht angelegt werden: %2")
            .arg(folder, FileCause::text(r));
    }
    // The folder exists, but takes no file.
    static QString folderNotWritable(const QString &folder, const Platform::FileResult &r)
    {
        return BatchMode::tr("in den Ausgabeordner %1 kann nichts geschrieben werden: %2")
            .arg(folder, FileCause::text(r));
    }

    // Converts one input; returns why it was refused, or an empty text.
    QString convert(const QString &input)
    {
        // Names by their text alone, never through Qt's file names: a name that is no UTF-8
        // keeps its bytes up to the system calls and into the output names made from it.
        const QString path = Platform::absoluteName(QDir::fromNativeSeparators(input));
        const OldCurveFile::Result outcome = OldCurveFile::openOldCurve(path, *record);
        if (!outcome.ok())
            return outcome.reason();
        if (!convertCurve(*record))
            return BatchMode::tr("Impedanzkurve, kann nicht umgewandelt werden");
        const QString problem = convertedCurveProblem(*record);
        if (!problem.isEmpty())
            return problem;

        const QString dir =
            options.outputDir.isEmpty()
                ? parentOf(path)
                : Platform::absoluteName(QDir::fromNativeSeparators(options.outputDir));
        // The input's name without its last suffix.
        const QString file = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
        const QString basis =
            dir + QLatin1Char('/') + file.left(file.lastIndexOf(QLatin1Char('.')));
        const bool both = record->channel1Ok && record->channel2Ok;
        QStringList names = {NewCurveFile::channel1File(basis),
                             NewCurveFile::channel2File(basis, both)};
        const QString csvName = basis + QStringLiteral(".csv");
        if (options.csv)
            names.append(csvName);
        if (options.png)
            names.append(basis + QStringLiteral(".png"));
        for (const QString &name : names) {
            const QString comparison = FileWriter::comparisonPath(name);
            if (written.contains(comparison))
                return BatchMode::tr("die Ausgabedatei %1 wurde in diesem Lauf schon geschrieben")
                    .arg(name);
            if (inputs.contains(comparison))
                return BatchMode::tr(
                           "die Ausgabedatei %1 wuerde eine Eingabe dieses Laufs ersetzen")
                    .arg(name);
        }

        // The output folder is made at the first write only.
        const Platform::FileResult folder = Platform::makeFolders(dir);
        if (!folder.ok())
            return folderError(dir, folder);

        const QString description = textPanelText(record->description);
        QList<NewCurveFile::Attachment> attachments;
        // The table and the picture join the curve files: all of them are replaced, or none.
        if (options.csv)
            attachments.append({csvName, CsvFile::content(*record)});
        if (options.png) {
            if (!chart)
                chart = std::make_unique<CurveChart>();
            chart->showCurve(*record, description);
            const QByteArray picture = chart->png(kPictureSize);
            if (picture.isEmpty())
                return BatchMode::tr("das Bild %1 kann nicht erzeugt werden").arg(names.last());
            attachments.append({names.last(), picture});
        }
        const NewCurveFile::Result result =
            NewCurveFile::saveNewCurveAllOrNone(basis, description, *record, attachments);
        if (!result.ok()) {
            return BatchMode::tr("die Ausgabedatei %1 kann nicht geschrieben werden: %2")
                .arg(result.failed.constFirst(), result.reasons.constFirst());
        }
        for (const QString &name : result.written) {
            written.insert(FileWriter::comparisonPath(name));
            print(stdout, name + markerText(name, basis));
        }
        return QString();
    }

    // With --markers, what follows a curve file's name: its channel's markers.
    QString markerText(const QString &name, const QString &basis) const
    {
        const bool both = record->channel1Ok && record->channel2Ok;
        int channel = 0;
        if (record->channel1Ok && name == NewCurveFile::channel1File(basis))
            channel = 1;
        else if (record->channel2Ok && name == NewCurveFile::channel2File(basis, both))
            channel = 2;
        if (!options.markers || channel == 0)
            return QString();
        const NewCurveFile::ChannelPoints p = NewCurveFile::channelPoints(*record, channel);
        const CurveMarkers markers =
            CurveMarkers::compute(p.frequency, p.value, p.count, quantityOf(*record));
        return QStringLiteral(": ") + markers.text(frequencyDecimals(record->sweepGrid.stepMHz));
    }

    const ConverterOptions &options;
    std::unique_ptr<CurveRecord> record; // about 400 KB: one for all inputs
    QSet<QString> inputs;                // every input of this run, for comparing
    QSet<QString> written;               // every output of this run, for comparing
    std::unique_ptr<CurveChart> chart;   // draws the pictures of --png
};

// A language option that did not load may be a file meant for conversion: say so, once each.
void checkLanguages(const ConverterOptions &options, bool loaded)
{
    for (int i = loaded ? 1 : 0; i < options.languageOptions.size(); ++i) {
        const QString &option = options.languageOptions.at(i);
        print(stderr, QStringLiteral("zor2conv: %1")
                          .arg(BatchMode::tr("%1: keine Uebersetzung geladen; eine Datei dieses "
                                             "Namens wandelt zor2conv --convert -- %1 um")
                                   .arg(option)));
    }
}

} // namespace

int BatchMode::run(int &argc, char **argv, const ConverterOptions &options)
{
    // Pictures are drawn through Qt Widgets, which needs a GUI application: on a platform that
    // draws without a display. Named last, it wins over any -platform given.
    const bool pictures = options.png;
    std::vector<char *> argumentList(argv, argv + argc);
    char platform[] = "-platform";
    QByteArray offscreen = Platform::picturePlatform();
    if (pictures) {
        argumentList.push_back(platform);
        argumentList.push_back(offscreen.data());
    }
    int count = int(argumentList.size());
    argumentList.push_back(nullptr);
    // The diagnostic lines stay off unless asked for; switched off at the source, so that the
    // conversion does not even format them. So do Qt's remarks on the picture platform (no
    // XDG_RUNTIME_DIR and the like), which are no business of the batch mode's user.
    if (options.verbose) {
        enableDiagnostics();
    } else if (pictures) {
        QLoggingCategory::setFilterRules(
            QStringLiteral("default.warning=false\nqt.*.warning=false"));
    }
    const std::unique_ptr<QCoreApplication> application =
        pictures ? std::make_unique<QApplication>(count, argumentList.data())
                 : std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication &app = *application;
    const bool loaded = installTranslation(app);
    checkLanguages(options, loaded);
    return Batch(options).run();
}

namespace {

// The application and translation the answers below need: no window, and the diagnostic lines
// only when asked for, as in a conversion.
class AnswerApplication
{
public:
    AnswerApplication(int &argc, char **argv, const ConverterOptions &options)
        : app(argc, argv)
    {
        if (options.verbose)
            enableDiagnostics();
        installTranslation(app);
    }

private:
    QCoreApplication app;
};

} // namespace

int BatchMode::answer(int &argc, char **argv, const ConverterOptions &options)
{
    const AnswerApplication app(argc, argv, options);
    if (options.error.isSet()) {
        return CommandLine::reportUsageError(QStringLiteral("zor2conv"), options.errorText(),
                                             ConverterOptions::usage() + QLatin1Char('\n'));
    }
    if (options.mode == ConverterOptions::Mode::Help) {
        // The program's own text, with its line breaks: not escaped as a message is.
        CommandLine::print(stdout, ConverterOptions::usage() + QLatin1Char('\n'));
    } else {
        print(stdout, QStringLiteral("zor2conv " ZOR2_VERSION));
    }
    return CommandLine::standardOutputWritten() ? ExitStatus::Done : ExitStatus::Failed;
}

int BatchMode::reportNoDisplay(int &argc, char **argv, const ConverterOptions &options)
{
    const AnswerApplication app(argc, argv, options);
    return CommandLine::reportNoDisplay(QStringLiteral("zor2conv"),
                                        tr("ohne Fenster umwandeln: zor2conv --convert DATEI.hfd"));
}
