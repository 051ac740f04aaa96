#include "AnsweringDialogs.h"
#include "ConverterWindow.h"
#include "CurveChart.h"
#include "CurvePreview.h"
#include "CurveView.h"
#include "FolderMemory.h"
#include "TestFiles.h"
#include "WholeTexts.h"
#include "core/CsvFile.h"
#include "core/NewCurveFile.h"
#include "core/NumberText.h"
#include "platform/Platform.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QChartView>
#include <QDir>
#include <QFile>
#include <QGraphicsTextItem>
#include <QGroupBox>
#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLoggingCategory>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTranslator>
#include <QUrl>
#include <QValueAxis>

#include <algorithm>
#include <memory>
#include <utility>

namespace {

enum class State { Idle, Loaded, Converted };

// An old curve file: header fields, samples of both channels, label, and for "#V4.05" and
// later the five tables.
QByteArray oldFile(const QByteArray &tag, int mode, const QByteArray &label, int steps = 5,
                   int audio = 0)
{
    QByteArray out = tag + '\n';
    const bool v4 = tag.startsWith("#V4");
    const bool tables = tag == "#V4.05" || tag == "#V4.10";
    if (tag == "#V4.10")
        out += QByteArray::number(audio) + '\n';
    out += "1000000 250000 " + QByteArray::number(steps) + " 0.1 -80 0.2 -90 " +
           QByteArray::number(mode) + '\n';
    if (mode == 5 && v4)
        out += "1 2 3 4 5 6\n";
    for (int channel = 1; channel <= 2; ++channel) {
        for (int i = 0; i < steps; ++i)
            out += QByteArray::number(channel * 100 + i * 7) + ' ';
        out += '\n';
    }
    out += label + '\n';
    if (tables) {
        for (int table = 0; table < 5; ++table) {
            const int n = table == 4 ? 10000 : 9999;
            for (int i = 0; i < n; ++i)
                out += QByteArray::number(0.25 * (table + 1) + i * 0.001) + ' ';
            out += '\n';
        }
    }
    return out;
}

} // namespace

Q_DECLARE_METATYPE(State)
Q_DECLARE_METATYPE(Dialogs::SaveChoice)

class TestConverterWindow : public QObject
{
    Q_OBJECT

private:
    QString writeOld(const QString &name, const QByteArray &content)
    {
        return writeTestFile(files.filePath(name), content);
    }

    void newWindow()
    {
        window.reset();
        dialogs = std::make_unique<AnsweringDialogs>();
        window = std::make_unique<ConverterWindow>(*dialogs);
        window->show();
    }

    template <typename T>
    T *child(const char *name)
    {
        return findChildOrFail<T>(window.get(), name);
    }

    void click(const char *button)
    {
        QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton);
    }

    // Opens the given file through the open button, the dialog answered with its path.
    void open(const QString &path)
    {
        dialogs->openAnswers = {path};
        click("openButton");
    }

    bool inState(State state)
    {
        const bool loaded = state != State::Idle;
        const bool converted = state == State::Converted;
        return child<QPushButton>("openButton")->isEnabled() &&
               child<QPushButton>("convertButton")->isEnabled() == loaded &&
               child<QGroupBox>("newFileGroup")->isEnabled() == converted &&
               child<QTextEdit>("descriptionEdit")->isEnabled() == converted &&
               child<QPushButton>("saveButton")->isEnabled() == converted &&
               child<QAction>("quitAction")->isEnabled();
    }

    bool isResetIdle()
    {
        return inState(State::Idle) && child<QLabel>("typeLabel")->text() == "Kurve Typ:" &&
               child<QLabel>("oldDescriptionLabel")->text().isEmpty() &&
               child<QTextEdit>("descriptionEdit")->toPlainText().isEmpty();
    }

    CurvePreview *preview() { return findChildOrFail<CurvePreview>(window.get(), "CurvePreview"); }

    // The preview's points of one channel as the new files write numbers.
    QList<QByteArray> previewLines(int channel)
    {
        QList<QByteArray> lines;
        for (const QPointF &p : preview()->curveChart()->channel(channel)->points()) {
            QByteArray line;
            NumberText::append(line, p.x());
            line += ';';
            NumberText::append(line, p.y());
            lines.append(line);
        }
        return lines;
    }

    // The points of the chart's lines, or -1 when one lies outside its axes' ranges.
    static int pointsWithinAxes(CurveChart &chart)
    {
        int inside = 0;
        for (QAbstractSeries *series : chart.series()) {
            auto *line = qobject_cast<QLineSeries *>(series);
            if (!line)
                continue;
            const auto *x = static_cast<QValueAxis *>(line->attachedAxes().at(0));
            const auto *y = static_cast<QValueAxis *>(line->attachedAxes().at(1));
            for (const QPointF &p : line->points()) {
                if (p.x() < x->min() - 1e-9 || p.x() > x->max() + 1e-9 || p.y() < y->min() - 1e-9 ||
                    p.y() > y->max() + 1e-9)
                    return -1;
                ++inside;
            }
        }
        return inside;
    }

    static QVariant setting(const char *application, const char *key)
    {
        return QSettings(QStringLiteral("VEZ"), QLatin1String(application)).value(key);
    }

    static void clearSettings()
    {
        QSettings(QStringLiteral("VEZ"), QStringLiteral("ZOR2")).clear();
        QSettings(QStringLiteral("VEZ"), QStringLiteral("ZOR5")).clear();
    }

    QTemporaryDir settingsDir;
    QTemporaryDir files;
    std::unique_ptr<AnsweringDialogs> dialogs;
    std::unique_ptr<ConverterWindow> window;

private slots:
    void initTestCase()
    {
        QVERIFY(settingsDir.isValid() && files.isValid());
        // The header and correction values go to the debug channel; thousands of lines here.
        QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(settingsDir.path()));
    }

    void init()
    {
        clearSettings();
        newWindow();
    }

    void cleanup()
    {
        window.reset();
        dialogs.reset();
    }

    void formHasEveryWidgetInPlace_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("className");
        QTest::addColumn<QString>("parentName");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QString>("text");
        QTest::newRow("oldFileGroup")
            << "oldFileGroup"
            << "QGroupBox"
            << "centralWidget" << QRect(20, 9, 501, 141) << "Kurvendatei alt ZOR01 Format";
        QTest::newRow("openButton")
            << "openButton"
            << "QPushButton"
            << "oldFileGroup" << QRect(310, 16, 181, 27) << "Kurvendatei ALT oeffnen";
        QTest::newRow("convertButton")
            << "convertButton"
            << "QPushButton"
            << "oldFileGroup" << QRect(310, 44, 181, 27) << "Konvertieren";
        QTest::newRow("typeLabel") << "typeLabel"
                                   << "QLabel"
                                   << "oldFileGroup" << QRect(20, 30, 301, 17) << "Kurve Typ";
        QTest::newRow("oldDescriptionLabel") << "oldDescriptionLabel"
                                             << "QLabel"
                                             << "oldFileGroup" << QRect(10, 80, 481, 61) << "";
        QTest::newRow("oldDescriptionCaption")
            << "oldDescriptionCaption"
            << "QLabel"
            << "oldFileGroup" << QRect(20, 55, 141, 17) << "Kurve Beschreibung:";
        QTest::newRow("newFileGroup")
            << "newFileGroup"
            << "QGroupBox"
            << "centralWidget" << QRect(20, 160, 501, 131) << "Kurvendatei neu ZOR2.0 Format";
        QTest::newRow("saveButton")
            << "saveButton"
            << "QPushButton"
            << "newFileGroup" << QRect(300, 100, 191, 30) << " Speichern neues Format";
        QTest::newRow("descriptionLabel") << "descriptionLabel"
                                          << "QLabel"
                                          << "newFileGroup" << QRect(10, 20, 281, 17)
                                          << "Kurve Beschreibung und default Dateiname:";
        QTest::newRow("descriptionEdit") << "descriptionEdit"
                                         << "QTextEdit"
                                         << "newFileGroup" << QRect(10, 36, 481, 60) << "";
    }
    void formHasEveryWidgetInPlace()
    {
        QFETCH(QString, name);
        QFETCH(QString, className);
        QFETCH(QString, parentName);
        QFETCH(QRect, geometry);
        QFETCH(QString, text);
        const QWidget *widget = window->findChild<QWidget *>(name);
        QVERIFY(widget);
        QCOMPARE(widget->metaObject()->className(), className);
        QCOMPARE(widget->parent()->objectName(), parentName);
        // Where the system's font needs more room, a text widget grows to the right by what its
        // text needs, and no more.
        QCOMPARE(widget->pos(), geometry.topLeft());
        QCOMPARE(widget->height(), geometry.height());
        QVERIFY(widget->width() >= geometry.width());
        if (widget->width() > geometry.width())
            QCOMPARE(widget->width(), widget->sizeHint().width());
        const char *textProperty = className == "QGroupBox"   ? "title"
                                   : className == "QTextEdit" ? "plainText"
                                                              : "text";
        QCOMPARE(QString(widget->property(textProperty).toString()).remove('&'), text);
    }

    void formWindowMenuAndFonts()
    {
        QCOMPARE(window->objectName(), QStringLiteral("ConverterWindow"));
        QCOMPARE(window->windowTitle(), QStringLiteral("zor2conv"));
        QCOMPARE(window->size(), QSize(536, 355));
        QCOMPARE(window->centralWidget()->objectName(), QStringLiteral("centralWidget"));
        QCOMPARE(window->statusBar()->objectName(), QStringLiteral("statusBar"));
        QCOMPARE(window->menuBar()->objectName(), QStringLiteral("menuBar"));

        const QMenu *menu = child<QMenu>("fileMenu");
        QCOMPARE(menu->title(), QStringLiteral("&Datei"));
        const QMenu *view = child<QMenu>("viewMenu");
        QCOMPARE(view->title(), QStringLiteral("&Ansicht"));
        QCOMPARE(window->menuBar()->actions(),
                 (QList<QAction *>{menu->menuAction(), view->menuAction()}));
        QCOMPARE(view->actions(), QList<QAction *>{child<QAction>("previewAction")});
        QCOMPARE(QString(view->actions()[0]->text()).remove('&'), QStringLiteral("Kurvenvorschau"));
        // The buttons' steps above the separator, then Beenden.
        const QList<QAction *> entries = menu->actions();
        QCOMPARE(entries.size(), 6);
        QCOMPARE(entries[0], child<QAction>("openAction"));
        QCOMPARE(entries[1], child<QAction>("saveAction"));
        QCOMPARE(QString(entries[2]->text()).remove('&'), QStringLiteral("Kurve NEU anzeigen..."));
        QCOMPARE(QString(entries[3]->menu()->title()).remove('&'),
                 QStringLiteral("Zuletzt geoeffnet"));
        QVERIFY(entries[4]->isSeparator());
        QCOMPARE(entries[5], child<QAction>("quitAction"));
        QCOMPARE(QString(entries[5]->text()).remove('&'), QStringLiteral("Beenden"));
        QVERIFY(!entries[5]->icon().isNull());

        QVERIFY(child<QLabel>("oldDescriptionCaption")->font().bold());
        QVERIFY(child<QLabel>("descriptionLabel")->font().bold());
        QVERIFY(!child<QLabel>("typeLabel")->font().bold());
        const QLabel *description = child<QLabel>("oldDescriptionLabel");
        QCOMPARE(description->alignment(), Qt::AlignLeft | Qt::AlignTop);
        QVERIFY(description->wordWrap());
        QCOMPARE(description->margin(), 1);
    }

    void startsIdleWithToolTips()
    {
        QVERIFY(inState(State::Idle));
        QCOMPARE(child<QLabel>("typeLabel")->text(), QStringLiteral("Kurve Typ"));
        const QString textTip = child<QTextEdit>("descriptionEdit")->toolTip();
        QVERIFY(textTip.startsWith("<b>Beschreibung der Wobbelkurve</b><br>---"));
        QVERIFY(textTip.endsWith("<br>Es entstehen 2 Dateien, da die alte Datei<br>2 Kurven "
                                 "beinhaltet."));
        const QString buttonTip = child<QPushButton>("convertButton")->toolTip();
        QVERIFY(buttonTip.startsWith("<b>Konvertierung der Kurven</b><br>"));
        QVERIFY(buttonTip.endsWith("und anschliessenden \"Speichern\" 2 Dateien<br>im neuen "
                                   "Format.<br>"));
        // Assistive technology reads the tool tips' words, not their tags.
        for (QWidget *tipped : std::initializer_list<QWidget *>{
                 child<QPushButton>("convertButton"), child<QTextEdit>("descriptionEdit")}) {
            const QString told =
                QAccessible::queryAccessibleInterface(tipped)->text(QAccessible::Description);
            QVERIFY2(told.size() > 100 && !told.contains('<'), qPrintable(told));
        }
    }

    void imagesAreCompiledIn()
    {
        QImageReader icon(QStringLiteral(":images/zor2conv.ico"));
        QList<int> sizes;
        for (int i = 0; i < icon.imageCount(); ++i) {
            QVERIFY(icon.jumpToImage(i));
            const QImage image = icon.read();
            QVERIFY(image.hasAlphaChannel());
            QCOMPARE(image.width(), image.height());
            sizes << image.width();
        }
        std::sort(sizes.begin(), sizes.end());
        QCOMPARE(sizes, (QList<int>{16, 32, 48, 64, 128, 256}));
        QVERIFY(!QImage(QStringLiteral(":/images/quit.png")).isNull());
        QVERIFY(!QImage(QStringLiteral(":/images/open.png")).isNull());
    }

    void cancelledOpenStaysIdleAndRemembersNothing()
    {
        click("openButton");
        QCOMPARE(dialogs->openQuestions.size(), 1);
        const AnsweringDialogs::Question &q = dialogs->openQuestions.first();
        QCOMPARE(q.caption, QStringLiteral("ZOR Kurve ALT laden"));
        QCOMPARE(q.filter, QStringLiteral("ZOR Kurvendatei (*.hfd)"));
        QCOMPARE(q.dir, QDir::homePath());
        QVERIFY(inState(State::Idle));
        QVERIFY(!setting("ZOR5", "kurvenpath_alt").isValid());
    }

    void openShowsTypeAndDescription_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("label");
        QTest::newRow("V3.05 log, label of words")
            << QByteArray("#V3.05 1e6 1e5 2 1 0 1 0 0 1 2 3 4 my curve 1\n")
            << "Typ: Wobbel-Kurve-logarithmisch"
            << ";mycurve1";
        QTest::newRow("V4.04 SWR") << oldFile("#V4.04", 1, "Filter_10MHz") << "Typ: SWV-Kurve"
                                   << ";Filter 10MHz";
        QTest::newRow("V4.05 linear, @;")
            << oldFile("#V4.05", 2, ";Kurve1@;Rest") << "Typ: Wobbel-Kurve-Linear"
            << ";Kurve1";
        QTest::newRow("V3.05 without label")
            << QByteArray("#V3.05 1e6 1e5 1 1 0 1 0 0 7 8") << "Typ: Wobbel-Kurve-logarithmisch"
            << ";no label";
        QTest::newRow("V4.10 audio, @ without ;")
            << oldFile("#V4.10", 0, "a@b", 5, 1) << "Typ: Wobbel-Kurve-Audio_NF"
            << ";a@b";
        QTest::newRow("V4.10 antenna") << oldFile("#V4.10", 3, "x") << "Typ: SWV-Antenne-Kurve"
                                       << ";x";
        QTest::newRow("V4.04 SAV") << oldFile("#V4.04", 5, "s") << "Typ: SAV-Kurve"
                                   << ";s";
        QTest::newRow("impedance") << oldFile("#V4.05", 4, "z") << "Typ: Impedanz-Kurve"
                                   << ";z";
    }
    void openShowsTypeAndDescription()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, type);
        QFETCH(QString, label);
        const QString path = writeOld(QStringLiteral("open/a_b.hfd"), content);
        open(path);
        QVERIFY(inState(State::Loaded));
        QCOMPARE(child<QLabel>("typeLabel")->text(), type);
        QCOMPARE(child<QLabel>("oldDescriptionLabel")->text(),
                 QString(path).replace('_', ' ') + label);
        QCOMPARE(window->windowTitle(), QString::fromUtf8("a_b.hfd \u2013 zor2conv"));
        QCOMPARE(setting("ZOR5", "kurvenpath_alt").toString(), files.filePath("open/"));

        // The next open starts in the remembered folder, and a cancel there changes nothing.
        click("openButton");
        QCOMPARE(dialogs->openQuestions.last().dir, files.filePath("open"));
        QVERIFY(inState(State::Loaded));
        QCOMPARE(child<QLabel>("typeLabel")->text(), type);
    }

    void refusedOpenStaysIdle_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("reason");
        QTest::newRow("untagged") << QByteArray("1e6 1e5 2 1 0 1 0 0 1 2 3 4 label\n")
                                  << "keine Kurvendatei im alten Format";
        QTest::newRow("too many steps") << QByteArray("#V3.05 1e6 1e5 10000 1 0 1 0 0\n")
                                        << "zu viele Frequenzschritte (hoechstens 9999)";
        QTest::newRow("mode 6") << QByteArray("#V3.05 1e6 1e5 1 1 0 1 0 6 1 2 l\n")
                                << "unbekannte Kurvenart";
        QTest::newRow("not a number")
            << QByteArray("#V3.05 1e6 abc 1 1 0 1 0 0 1 2 l\n")
            << "das Feld \"Frequenzschrittweite\" enthaelt keine gueltige Zahl: \"abc\"";
        QTest::newRow("cut off") << oldFile("#V4.05", 0, "x").left(200)
                                 << "Datei endet vorzeitig, es fehlt: Korrekturtabelle 1, Wert 21 "
                                    "von 9999";
    }
    void refusedOpenStaysIdle()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, reason);
        // A good file first, so that nothing of it may remain.
        open(writeOld(QStringLiteral("good.hfd"), oldFile("#V4.10", 0, "gut")));
        QVERIFY(inState(State::Loaded));

        const QString bad = writeOld(QStringLiteral("refused/bad.hfd"), content);
        open(bad);
        QVERIFY(isResetIdle());
        QCOMPARE(dialogs->warnings.size(), 1);
        QCOMPARE(dialogs->warnings[0].first, QStringLiteral("Kurvendatei ALT laden"));
        QCOMPARE(dialogs->warnings[0].second, "Die Datei " + QDir::toNativeSeparators(bad) +
                                                  " kann nicht geladen werden.\n" + reason);
        QCOMPARE(setting("ZOR5", "kurvenpath_alt").toString(), files.filePath("refused/"));
    }

    void acceptedOpenWritesHeaderLines()
    {
        static QStringList lines;
        lines.clear();
        // Without any rule, an open and a conversion leave the terminal quiet.
        QLoggingCategory::setFilterRules(QString());
        const QtMessageHandler previous = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext &, const QString &m) {
                if (type == QtDebugMsg)
                    lines.append(m);
            });
        open(writeOld(QStringLiteral("quiet.hfd"), oldFile("#V4.05", 1, "leise", 40)));
        click("convertButton");
        QVERIFY2(lines.isEmpty(), qPrintable(lines.join('\n')));
        QLoggingCategory::setFilterRules(QStringLiteral("zor2conv.debug=true"));
        const QString path = writeOld(QStringLiteral("dbg.hfd"),
                                      "#V3.05 1e6 250000 11 0.5 -80 0.25 -90 0 1 2 3 4 5 6 7 8 9 "
                                      "10 11 12 13 14 15 16 17 18 19 20 21 22 a_b");
        open(path);
        const QStringList accepted = lines;
        lines.clear();
        open(writeOld(QStringLiteral("dbg2.hfd"), "notag 1 2 3"));
        qInstallMessageHandler(previous);
        QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));

        QCOMPARE(accepted.size(), 14);
        QCOMPARE(accepted[0], '"' + QString(path).replace('_', ' ') + ";a b\"");
        QCOMPARE(accepted[1], QStringLiteral("Frq-Anfang 1e+06"));
        QCOMPARE(accepted[3], QStringLiteral("Frq-Schritte 11"));
        QCOMPARE(accepted[10], QStringLiteral("Kanal1 k1[10] 11"));
        QCOMPARE(accepted[13], QStringLiteral("dB2 -84.5"));
        QVERIFY(lines.isEmpty());
    }

    void unreadableFileRemembersItsFolder()
    {
        open(files.filePath(QStringLiteral("nowhere/missing.hfd")));
        QVERIFY(isResetIdle());
        QCOMPARE(setting("ZOR5", "kurvenpath_alt").toString(), files.filePath("nowhere/"));
    }

    void convertShowsCleanedDescriptionAsPlainText()
    {
        const QString path = writeOld(QStringLiteral("conv/filter.hfd"),
                                      oldFile("#V4.05", 0, "Filter_<b>10MHz</b>"));
        open(path);
        // The description is a path and a label, never markup: shown as it stands.
        QCOMPARE(child<QLabel>("oldDescriptionLabel")->textFormat(), Qt::PlainText);
        QVERIFY(child<QLabel>("oldDescriptionLabel")->text().endsWith(";Filter <b>10MHz</b>"));
        click("convertButton");
        QVERIFY(inState(State::Converted));
        QString expected = files.filePath("conv/filter") + ";Filter_<b>10MHz</b>";
        for (const char c : {' ', '+', '-', '\\', '/', ':', ';'})
            expected.replace(QLatin1Char(c), QLatin1Char('_'));
        QCOMPARE(child<QTextEdit>("descriptionEdit")->toPlainText(), expected);

        // Converting again cleans the already cleaned description: no change.
        click("convertButton");
        QVERIFY(inState(State::Converted));
        QCOMPARE(child<QTextEdit>("descriptionEdit")->toPlainText(), expected);
    }

    void unwritableCurveIsRefusedWithWarning_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("problem");
        QTest::newRow("overflow") << QByteArray("#V3.05 0 1 1 1e306 0 1 0 1 1000 5")
                                  << "Kanal 1, Punkt 1: Wert nicht darstellbar";
        QTest::newRow("zero steps") << QByteArray("#V3.05 0 1 0 1 0 1 0 0") << "keine Messpunkte";
    }
    void unwritableCurveIsRefusedWithWarning()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, problem);
        open(writeOld(QStringLiteral("u.hfd"), content));
        click("convertButton");
        QCOMPARE(dialogs->warnings.size(), 1);
        QCOMPARE(dialogs->warnings.last().second,
                 "Die Kurvendatei kann nicht umgewandelt werden: " + problem);
        QVERIFY(inState(State::Loaded));
        QVERIFY(child<QTextEdit>("descriptionEdit")->toPlainText().isEmpty());
    }

    void impedanceCurveIsRefusedWithWarning()
    {
        open(writeOld(QStringLiteral("z.hfd"), oldFile("#V4.10", 4, "imp")));
        for (int press = 1; press <= 2; ++press) {
            click("convertButton");
            QCOMPARE(dialogs->warnings.size(), press);
            QCOMPARE(dialogs->warnings.last().first, QStringLiteral("Kurvendatei Impedanz"));
            QCOMPARE(dialogs->warnings.last().second,
                     QStringLiteral("<B>Kurvendatei ist eine Impedanzkurve! </B><BR>Diese "
                                    "Kurvendateien k&ouml;nnen leider nicht<BR>umgewandelt "
                                    "werden."));
            QVERIFY(inState(State::Loaded));
            QVERIFY(child<QTextEdit>("descriptionEdit")->toPlainText().isEmpty());
        }
    }

    void saveEndsIdleOnceWritten_data()
    {
        QTest::addColumn<QString>("answer"); // relative to the files folder; "" cancels
        QTest::addColumn<QStringList>("written");
        QTest::addColumn<QStringList>("failed");
        QTest::addColumn<QString>("remembered"); // "" for nothing stored
        QTest::newRow("written") << "out/tp" << QStringList{"out/tp.z2k", "out/tp_2.z2k"}
                                 << QStringList{} << "out/";
        QTest::newRow("suffix given")
            << "out/tp.z2k" << QStringList{"out/tp.z2k", "out/tp_2.z2k"} << QStringList{} << "out/";
        QTest::newRow("suffix in other case")
            << "out/tp.Z2K" << QStringList{"out/tp.Z2K.z2k", "out/tp.Z2K_2.z2k"} << QStringList{}
            << "out/";
        // Both files or neither, as in the batch mode: one box, for the first that fails.
        QTest::newRow("folder missing")
            << "missing/tp" << QStringList{} << QStringList{"missing/tp.z2k"} << "missing/";
        QTest::newRow("cancelled") << "" << QStringList{} << QStringList{} << "";
    }
    void saveEndsIdleOnceWritten()
    {
        QFETCH(QString, answer);
        QFETCH(QStringList, written);
        QFETCH(QStringList, failed);
        QFETCH(QString, remembered);
        QDir(files.filePath("out")).removeRecursively();
        QDir().mkpath(files.filePath("out"));

        open(writeOld(QStringLiteral("save.hfd"), oldFile("#V4.04", 0, "Tief")));
        click("convertButton");
        child<QTextEdit>("descriptionEdit")->setPlainText(QStringLiteral("Tiefpass 10 MHz"));
        dialogs->saveAnswers = {answer.isEmpty() ? QString() : files.filePath(answer)};
        click("saveButton");

        QCOMPARE(dialogs->saveQuestions.size(), 1);
        const AnsweringDialogs::Question &q = dialogs->saveQuestions.first();
        QCOMPARE(q.caption, QStringLiteral("ZOR2.0 Kurven-Datei speichern"));
        QCOMPARE(q.filter, QStringLiteral("ZOR2.0 Kurven-Datei (*.z2k)"));
        QCOMPARE(q.dir, QDir::homePath() + QStringLiteral("/Tiefpass 10 MHz"));

        for (const QString &name : written)
            QVERIFY2(QFile::exists(files.filePath(name)), qPrintable(name));
        if (!written.isEmpty()) {
            QVERIFY(readTestFile(files.filePath(written[0])).startsWith("#Tiefpass_10_MHz\n1;"));
            QVERIFY(
                readTestFile(files.filePath(written[1])).startsWith("#K2: Tiefpass 10 MHz\n1;"));
        }
        QCOMPARE(QDir(files.filePath("out")).entryList(QDir::Files).size(), written.size());
        QCOMPARE(dialogs->warnings.size(), failed.size());
        for (int i = 0; i < failed.size(); ++i) {
            QCOMPARE(dialogs->warnings[i].first, QStringLiteral("Kurvendatei speichern"));
            QCOMPARE(dialogs->warnings[i].second,
                     QStringLiteral("Die Datei %1 konnte nicht geschrieben werden.\nder Ordner "
                                    "ist nicht vorhanden")
                         .arg(QDir::toNativeSeparators(files.filePath(failed[i]))));
        }
        QCOMPARE(setting("ZOR2", "kurvenpath").toString(),
                 remembered.isEmpty() ? QString() : files.filePath(remembered));
        // Only a file written ends the conversion; else it stays to be saved elsewhere.
        if (written.isEmpty())
            QVERIFY(inState(State::Converted));
        else
            QVERIFY(isResetIdle());
    }

    void saveProposesFromRememberedFolder()
    {
        QSettings(QStringLiteral("VEZ"), QStringLiteral("ZOR2"))
            .setValue(QStringLiteral("kurvenpath"), files.filePath("last/"));
        open(writeOld(QStringLiteral("p.hfd"), oldFile("#V3.05", 0, "x")));
        click("convertButton");
        child<QTextEdit>("descriptionEdit")
            ->setPlainText(QStringLiteral("C:/kurven/tp.hfd, 10 MHz"));
        click("saveButton");
        QCOMPARE(dialogs->saveQuestions.last().dir,
                 files.filePath("last/C__kurven_tp.hfd_ 10 MHz"));

        // An empty description proposes the time stamp.
        open(writeOld(QStringLiteral("p.hfd"), oldFile("#V3.05", 0, "x")));
        click("convertButton");
        child<QTextEdit>("descriptionEdit")->clear();
        click("saveButton");
        const QString proposal = QFileInfo(dialogs->saveQuestions.last().dir).fileName();
        QVERIFY2(QRegularExpression("^\\d{6}_\\d{6}$").match(proposal).hasMatch(),
                 qPrintable(proposal));
        QVERIFY(inState(State::Converted)); // cancelled: the conversion stays

        // Enter typed into the description puts no line break into the files' names.
        open(writeOld(QStringLiteral("p.hfd"), oldFile("#V3.05", 0, "x")));
        click("convertButton");
        child<QTextEdit>("descriptionEdit")->clear();
        QTest::keyClicks(child<QTextEdit>("descriptionEdit"), "Dipol80m\r");
        click("saveButton");
        QCOMPARE(dialogs->saveQuestions.last().dir, files.filePath("last/Dipol80m_"));
    }

    void windowWritesWhatBatchModeWrites_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("V4.10 full tables, 9999 steps") << oldFile("#V4.10", 1, "S_W+R", 9999);
        QTest::newRow("V3.05 linear") << oldFile("#V3.05", 2, "lin ear", 40);
        QTest::newRow("markup in label") << oldFile("#V4.05", 0, "a<b>c&amp;</b>", 300);
        QTest::newRow("Windows-1252 label") << oldFile("#V4.05", 0, "Tiefpa\xdf_\xe4\x80", 10);
        QTest::newRow("line separator in label") << oldFile("#V3.05", 1,
                                                            "a\xe2\x80\xa8"
                                                            "b\xe2\x80\xa9"
                                                            "c",
                                                            10);
    }
    void windowWritesWhatBatchModeWrites()
    {
        QFETCH(QByteArray, content);
        QDir(files.filePath("batch")).removeRecursively();
        QDir(files.filePath("window")).removeRecursively();
        QDir().mkpath(files.filePath("window"));
        const QString input = writeOld(QStringLiteral("same/in_put.hfd"), content);

        QProcess batch;
        batch.start(QStringLiteral(ZOR2CONV_PROGRAM),
                    {"--convert", input, "--output-dir", files.filePath("batch")});
        QVERIFY(batch.waitForFinished(60000));
        QCOMPARE(batch.exitStatus(), QProcess::NormalExit);
        QVERIFY2(batch.exitCode() == 0, batch.readAllStandardError().constData());

        open(input);
        click("convertButton");
        dialogs->saveAnswers = {files.filePath("window/in_put")};
        click("saveButton");
        QVERIFY(dialogs->warnings.isEmpty());
        for (const char *name : {"in_put.z2k", "in_put_2.z2k"}) {
            const QByteArray fromWindow = readTestFile(files.filePath("window/") + name);
            QVERIFY(fromWindow.count('\n') > 1);
            QCOMPARE(fromWindow, readTestFile(files.filePath("batch/") + name));
        }
    }

    void previewShowsTheWrittenValues_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("unitOf");
        QTest::newRow("level, tables, decimated") << oldFile("#V4.10", 0, "pegel", 4500) << "dB";
        QTest::newRow("linear level") << oldFile("#V3.05", 2, "lin", 30) << "dB";
        QTest::newRow("SWR, tables") << oldFile("#V4.05", 1, "swr", 2001) << "SWV";
        QTest::newRow("antenna SWR") << oldFile("#V4.04", 3, "ant", 7) << "SWV";
    }
    void previewShowsTheWrittenValues()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, unitOf);
        QDir(files.filePath("shown")).removeRecursively();
        QDir().mkpath(files.filePath("shown"));
        open(writeOld(QStringLiteral("shown.hfd"), content));
        QVERIFY(!preview()->isVisible());
        click("convertButton");
        QVERIFY(preview()->isVisible());
        const QString description = child<QTextEdit>("descriptionEdit")->toPlainText();
        QVERIFY(preview()->windowTitle().contains(description));
        child<QTextEdit>("descriptionEdit")->setPlainText(QStringLiteral("Neuer Name"));
        QCOMPARE(preview()->windowTitle(), QStringLiteral("Neuer Name - Kurvenvorschau"));
        const CurveChart *d = preview()->curveChart();
        QCOMPARE(d->yAxis()->titleText(), unitOf);
        QCOMPARE(d->channel(1)->name(), QStringLiteral("Kanal 1"));
        QCOMPARE(d->channel(2)->name(), QStringLiteral("Kanal 2"));
        const QList<QByteArray> channel1 = previewLines(1);
        const QList<QByteArray> channel2 = previewLines(2);

        dialogs->saveAnswers = {files.filePath("shown/k")};
        click("saveButton");
        for (const auto &[file, lines] :
             {std::pair{"shown/k.z2k", channel1}, std::pair{"shown/k_2.z2k", channel2}}) {
            QList<QByteArray> written = readTestFile(files.filePath(file)).split('\n');
            written.removeFirst(); // the header
            written.removeLast();  // after the last line feed
            QVERIFY(written.size() > 1);
            QCOMPARE(lines, written);
        }
        // The window is idle again; the preview keeps showing the curve that was saved.
        QVERIFY(isResetIdle());
        QCOMPARE(previewLines(1), channel1);
        QCOMPARE(preview()->windowTitle(), QStringLiteral("Neuer Name - Kurvenvorschau"));
        QCOMPARE(window->statusBar()->currentMessage(),
                 QStringLiteral("Gespeichert: k.z2k, k_2.z2k"));
    }

    void previewIsClearedByAFailedLoad()
    {
        open(writeOld(QStringLiteral("ok.hfd"), oldFile("#V4.05", 1, "gut", 50)));
        click("convertButton");
        QCOMPARE(preview()->curveChart()->channel(2)->count(), 50);
        open(writeOld(QStringLiteral("bad.hfd"), "#V4.05 1e6 zwei"));
        QVERIFY(isResetIdle());
        QCOMPARE(preview()->curveChart()->channel(1)->count(), 0);
        QCOMPARE(preview()->curveChart()->channel(2)->count(), 0);
        QCOMPARE(preview()->windowTitle(), QStringLiteral("Kurvenvorschau"));
        QVERIFY(!findChildOrFail<QPushButton>(preview(), "savePictureButton")->isEnabled());
    }

    void previewMenuEntryIsRemembered()
    {
        QAction *entry = child<QAction>("previewAction");
        QVERIFY(entry->isChecked()); // on by default
        const QString path = writeOld(QStringLiteral("menu.hfd"), oldFile("#V3.05", 0, "m"));
        open(path);
        click("convertButton");
        QVERIFY(preview()->isVisible());

        entry->trigger();
        QVERIFY(!preview()->isVisible());
        QCOMPARE(setting("ZOR5", "kurvenvorschau"), QVariant(false));
        newWindow();
        entry = child<QAction>("previewAction");
        QVERIFY(!entry->isChecked());
        open(path);
        click("convertButton");
        QVERIFY(!preview()->isVisible());
        QCOMPARE(preview()->curveChart()->channel(1)->count(), 5); // kept up to date all the same

        entry->trigger();
        QVERIFY(preview()->isVisible());
        QCOMPARE(setting("ZOR5", "kurvenvorschau"), QVariant(true));
        // Closed by the user: the entry follows, and so does the setting.
        preview()->close();
        QVERIFY(!entry->isChecked());
        QCOMPARE(setting("ZOR5", "kurvenvorschau"), QVariant(false));
        entry->trigger();
        // Beenden closes both windows; the preview stays switched on for the next start.
        child<QAction>("quitAction")->trigger();
        QVERIFY(!window->isVisible());
        QVERIFY(!preview()->isVisible());
        QCOMPARE(setting("ZOR5", "kurvenvorschau"), QVariant(true));
    }

    // The mouse reads the nearest point of both channels; a zoomed view moves within the curve,
    // a double-click undoes the zoom, a legend entry dims its channel; the preview is on screen.
    void previewReadsTheNearestPoint()
    {
        const QRect available = window->screen()->availableGeometry();
        window->move(available.right() - window->frameGeometry().width(), 0);
        open(writeOld(QStringLiteral("lesen.hfd"), oldFile("#V4.04", 1, "lesen", 300)));
        click("convertButton");
        QVERIFY(available.contains(preview()->frameGeometry()));
        QChartView *view = findChildOrFail<QChartView>(preview(), "chartView");
        QVERIFY(QTest::qWaitForWindowExposed(preview()));
        CurveChart *d = preview()->curveChart();
        const QPointF samples1 = d->channel(1)->at(100);
        const QPointF samples2 = d->channel(2)->at(100);
        const QPointF position = view->mapFromScene(d->mapToPosition(samples1 + QPointF(0.05, 0)));
        QMouseEvent move(QEvent::MouseMove, position, view->viewport()->mapToGlobal(position),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view->viewport(), &move);
        // German numbers: the frequency to the 0.25 MHz step's two decimals, the SWR to two.
        const auto de = [](double v) { return QLocale(QLocale::German).toString(v, 'f', 2); };
        QCOMPARE(findChildOrFail<QLabel>(preview(), "readingLabel")->text(),
                 QStringLiteral("%1 MHz  Kanal 1: %2 SWV  Kanal 2: %3 SWV")
                     .arg(de(samples1.x()), de(samples1.y()), de(samples2.y())));

        const double left = d->xAxis()->min();
        const double right = d->xAxis()->max();
        QWheelEvent rad(position, QPointF(), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                        Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(view->viewport(), &rad);
        QVERIFY(d->xAxis()->min() > left && d->xAxis()->max() < right);
        const double height = d->yAxis()->max() - d->yAxis()->min();
        QWheelEvent ctrlWheel(position, QPointF(), QPoint(), QPoint(0, 360), Qt::NoButton,
                              Qt::ControlModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(view->viewport(), &ctrlWheel);
        QVERIFY(d->yAxis()->max() - d->yAxis()->min() < 0.9 * height);
        for (int i = 0; i < 50; ++i) // to the last point, and no further
            QTest::keyClick(view, Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(d->xAxis()->max(), d->channel(1)->at(299).x());
        const double shifted = d->xAxis()->min();
        QTest::mousePress(view->viewport(), Qt::LeftButton, Qt::NoModifier, position.toPoint());
        QTest::mouseMove(view->viewport(), position.toPoint() + QPoint(100, 0));
        QVERIFY(d->xAxis()->min() < shifted);
        QMouseEvent duplicate(QEvent::MouseButtonDblClick, position,
                              view->viewport()->mapToGlobal(position), Qt::LeftButton,
                              Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view->viewport(), &duplicate);
        QCOMPARE(d->xAxis()->min(), left);
        QCOMPARE(d->xAxis()->max(), right);

        QLegendMarker *entry = d->legend()->markers(d->channel(2)).constFirst();
        emit entry->clicked();
        QVERIFY(!d->channel(2)->isVisible() && entry->isVisible());
        QVERIFY(entry->labelBrush().color().alpha() < 255);
        // Shown again: one legend entry per curve, no nameless ones of its markers.
        emit entry->clicked();
        QVERIFY(d->channel(2)->isVisible());
        const QList<QLegendMarker *> entries = d->legend()->markers();
        QCOMPARE(std::count_if(entries.begin(), entries.end(),
                               [](const QLegendMarker *m) { return m->isVisible(); }),
                 2);
    }

    void previewSavesPictures_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("format");
        QTest::newRow("png") << "bilder/a.png"
                             << "bilder/a.png" << QByteArray("png");
        QTest::newRow("no suffix") << "bilder/b"
                                   << "bilder/b.png" << QByteArray("png");
        QTest::newRow("svg") << "bilder/c.SVG"
                             << "bilder/c.SVG" << QByteArray("svg");
    }
    void previewSavesPictures()
    {
        QFETCH(QString, answer);
        QFETCH(QString, file);
        QFETCH(QByteArray, format);
        QDir().mkpath(files.filePath("bilder"));
        open(writeOld(QStringLiteral("bild.hfd"), oldFile("#V4.05", 0, "Bild_1", 300)));
        click("convertButton");
        // What the user sees is saved: the zoomed frequency range, not the whole curve.
        QWheelEvent wheel(QPointF(100, 100), QPointF(), QPoint(), QPoint(0, 240), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(findChildOrFail<QChartView>(preview(), "chartView")->viewport(),
                                    &wheel);
        const QValueAxis *x = preview()->curveChart()->xAxis();
        QVERIFY(x->max() - x->min() < 300 * 0.25 * 0.7);
        QWheelEvent ctrlWheel(QPointF(300, 100), QPointF(), QPoint(), QPoint(0, 600), Qt::NoButton,
                              Qt::ControlModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(findChildOrFail<QChartView>(preview(), "chartView")->viewport(),
                                    &ctrlWheel);

        dialogs->saveAnswers = {files.filePath(answer)};
        QTest::mouseClick(findChildOrFail<QPushButton>(preview(), "savePictureButton"),
                          Qt::LeftButton);
        const AnsweringDialogs::Question &q = dialogs->saveQuestions.last();
        QCOMPARE(q.caption, QStringLiteral("Bild speichern"));
        QCOMPARE(q.dir, QDir::homePath() + "/" +
                            safeFileName(child<QTextEdit>("descriptionEdit")->toPlainText()) +
                            ".png");
        QVERIFY(dialogs->warnings.isEmpty());
        if (format == "svg") {
            QVERIFY(readTestFile(files.filePath(file)).contains("viewBox=\"0 0 1200 800\""));
            // An SVG keeps no clip: its lines are cut at the plot's border before they are drawn.
            const std::unique_ptr<CurveChart> copy = preview()->curveChart()->clone();
            QVERIFY(!copy->svg(kPictureSize).isEmpty());
            const int inside = pointsWithinAxes(*copy);
            QVERIFY(inside > 2 && inside < 300);
        } else {
            QImageReader reader(files.filePath(file), format);
            QCOMPARE(reader.size(), QSize(1200, 800));
        }
        QCOMPARE(setting("ZOR2", "bildpath").toString(), files.filePath("bilder/"));

        // The next picture is proposed in the remembered folder; a failed one is told.
        dialogs->saveAnswers = {files.filePath("fehlt/d.png")};
        QTest::mouseClick(findChildOrFail<QPushButton>(preview(), "savePictureButton"),
                          Qt::LeftButton);
        QVERIFY(dialogs->saveQuestions.last().dir.startsWith(files.filePath("bilder/")));
        QCOMPARE(dialogs->warnings.size(), 1);
        QVERIFY(!QFile::exists(files.filePath("fehlt/d.png")));
    }

    // The keys a person uses instead of the mouse, in the state where each one counts.
    void shortcuts_data()
    {
        QTest::addColumn<State>("state");
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<QString>("outcome");
        QTest::newRow("Ctrl+O opens") << State::Idle << QKeySequence("Ctrl+O") << "open";
        QTest::newRow("Ctrl+S saves") << State::Converted << QKeySequence("Ctrl+S") << "save";
        QTest::newRow("Ctrl+S without a curve") << State::Loaded << QKeySequence("Ctrl+S") << "";
        QTest::newRow("Alt+V converts") << State::Loaded << QKeySequence("Alt+V") << "convert";
        QTest::newRow("Enter on Konvertieren")
            << State::Loaded << QKeySequence(Qt::Key_Return) << "convert";
    }
    void shortcuts()
    {
        QFETCH(State, state);
        QFETCH(QKeySequence, keys);
        QFETCH(QString, outcome);
        if (state != State::Idle)
            open(writeOld(QStringLiteral("keys.hfd"), oldFile("#V4.04", 1, "Tasten")));
        if (state == State::Converted)
            click("convertButton");
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QTest::keySequence(QApplication::focusWidget(), keys); // after an open: Konvertieren
        QTest::qWait(200); // a mnemonic presses its button after a short flash
        QCOMPARE(dialogs->openQuestions.size(), int(state != State::Idle) + (outcome == "open"));
        QCOMPARE(dialogs->saveQuestions.size(), int(outcome == "save"));
        if (outcome.isEmpty() || outcome == "convert")
            QVERIFY(inState(outcome.isEmpty() ? state : State::Converted));
    }

    // Two new curve files opened together over a converted SWR curve: each its own colour and
    // legend entry named after its file, both on the one value axis until one is moved to the
    // other; markers listed; a refused file told with its line; the table saved beside the pair.
    void newCurvesAreComparedWithTheConvertedOne()
    {
        open(writeOld(QStringLiteral("swr.hfd"), oldFile("#V4.04", 1, "Dipol", 40)));
        click("convertButton");
        const QString a = writeTestFile(files.filePath("a.z2k"),
                                        "#Dipol SWV\n1;2.2\n1.1;1.2\n1.2;1\n1.3;1.8\n1.4;2.4\n");
        const QString b = writeTestFile(files.filePath("b.z2k"), "#Vorher\n1;-1\n2;7\n");
        const QString broken = writeTestFile(files.filePath("c\u0085.z2k"), "#x\n1;2\n1;2;3\n");
        dialogs->openAnswers = {a, b};
        child<QAction>("showNewCurvesAction")->trigger();
        QVERIFY(preview()->isVisible());
        CurveChart *d = preview()->curveChart();
        QCOMPARE(d->compared().size(), 2);
        QCOMPARE(d->comparisonLine(0)->name(), QStringLiteral("a"));
        QCOMPARE(d->comparisonLine(1)->name(), QStringLiteral("b"));
        QCOMPARE(d->curveToolTip(2), QStringLiteral("Dipol SWV"));
        const QList<QColor> colours = {d->channel(1)->color(), d->channel(2)->color(),
                                       d->comparisonLine(0)->color(),
                                       d->comparisonLine(1)->color()};
        for (int i = 0; i < colours.size(); ++i)
            QCOMPARE(colours.count(colours[i]), 1);
        QVERIFY(!d->secondAxis()->isVisible());
        // Moved to the other axis from its legend entry's menu.
        findChildOrFail<CurveView>(preview(), "chartView")
            ->curveMenu(3)
            ->actions()
            .last()
            ->trigger();
        QVERIFY(d->comparisonLine(0)->attachedAxes().contains(d->yAxis()));
        QVERIFY(d->comparisonLine(1)->attachedAxes().contains(d->secondAxis()));
        QCOMPARE(d->yAxis()->titleText(), QStringLiteral("SWV"));
        QCOMPARE(d->secondAxis()->titleText(), QStringLiteral("Wert"));
        QVERIFY(d->secondAxis()->isVisible());
        const QString markers = findChildOrFail<QTextEdit>(preview(), "markerList")->toPlainText();
        QVERIFY2(markers.contains("a: Minimum 1,00 SWV bei 1,2 MHz; SWV <= 2 von 1,0 bis "
                                  "1,3 MHz (313 kHz)") &&
                     markers.contains("b: Minimum -1,00 bei 1 MHz; Maximum 7,00 bei 2 MHz") &&
                     markers.contains("Kanal 1: Minimum"),
                 qPrintable(markers));

        QCoreApplication::sendPostedEvents();
        QVERIFY2(cutTexts(preview()).isEmpty(), qPrintable(cutTexts(preview()).join(", ")));

        QCOMPARE(window->showNewCurves({broken}),
                 QStringList(QDir::toNativeSeparators(files.filePath("c\\x85.z2k")) +
                             ": Zeile 3: mehr als zwei Spalten: \"1;2;3\""));
        QCOMPARE(dialogs->warnings.size(), 1);
        QVERIFY(dialogs->warnings.last().second.contains("Zeile 3: mehr als zwei Spalten"));
        QCOMPARE(d->compared().size(), 2);
        // Many refused at once: a box of the first few, and the count of the rest.
        QCOMPARE(window->showNewCurves(QStringList(300, files.filePath("fehlt.z2k"))).size(), 300);
        QCOMPARE(dialogs->warnings.last().second.count('\n'), 11);
        QVERIFY(dialogs->warnings.last().second.endsWith("gefunden\n... und 290 weitere"));

        // The comparison stays in a saved picture; the table is the converted curve's.
        dialogs->saveAnswers = {files.filePath("vergleich.png"), files.filePath("tabelle")};
        QTest::mouseClick(findChildOrFail<QPushButton>(preview(), "savePictureButton"),
                          Qt::LeftButton);
        QCOMPARE(QImageReader(files.filePath("vergleich.png")).size(), QSize(1200, 800));
        QTest::mouseClick(findChildOrFail<QPushButton>(preview(), "saveCsvButton"), Qt::LeftButton);
        const QByteArray csv = readTestFile(files.filePath("tabelle.csv"));
        QVERIFY(csv.startsWith("Frequenz (MHz);Kanal 1 (SWV);Kanal 2 (SWV)\r\n1;"));
        QCOMPARE(csv.count('\n'), 41);

        QTest::mouseClick(findChildOrFail<QPushButton>(preview(), "removeComparisonButton"),
                          Qt::LeftButton);
        QVERIFY(d->compared().isEmpty());
        QVERIFY(!d->secondAxis()->isVisible());
    }

    // One value axis unless a header names another unit; the readout names every curve shown
    // at the pointer's frequency, "—" outside a curve's sweep; equal names get a number.
    void comparisonAxesAndReadout_data()
    {
        QTest::addColumn<bool>("converted");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QByteArrayList>("contents");
        QTest::addColumn<QList<bool>>("onRight");
        QTest::addColumn<QString>("titles");  // left and right, the right one empty when hidden
        QTest::addColumn<QString>("reading"); // at 1.9 MHz, what follows the converted curve
        const QByteArray points = "\n1;1.5\n2;2.5\n";
        QTest::newRow("header without unit, as the batch writes it")
            << true << QStringList{"dipol.z2k"}
            << QByteArrayList{"#C__kurven_dipol.hfd;Dipol" + points} << QList<bool>{false} << "SWV|"
            << "dipol: 2,50";
        QTest::newRow("the same unit")
            << true << QStringList{"a.z2k"} << QByteArrayList{"#Dipol SWV" + points}
            << QList<bool>{false} << "SWV|"
            << "a: 2,50 SWV";
        QTest::newRow("another unit")
            << true << QStringList{"a.z2k"} << QByteArrayList{"#Pegel_dB" + points}
            << QList<bool>{true} << "SWV|dB"
            << "a: 2,50 dB";
        QTest::newRow("outside its sweep")
            << true << QStringList{"a.z2k"} << QByteArrayList{"#x\n3;1\n4;2\n"}
            << QList<bool>{false} << "SWV|"
            << "a: \u2014";
        QTest::newRow("only compared, no unit")
            << false << QStringList{"a.z2k", "b.z2k"}
            << QByteArrayList{"#x" + points, "#y" + points} << QList<bool>{false, false} << "Wert|"
            << "a: 2,50  b: 2,50";
        QTest::newRow("only compared, the first unit named wins")
            << false << QStringList{"a.z2k", "b.z2k", "c.z2k"}
            << QByteArrayList{"#x" + points, "#A dB" + points, "#B SWV" + points}
            << QList<bool>{false, false, true} << "dB|SWV"
            << "a: 2,50  b: 2,50 dB  c: 2,50 SWV";
        QTest::newRow("equal names")
            << false << QStringList{"1/k.z2k", "2/k.z2k"}
            << QByteArrayList{"#x" + points, "#x\n1.5;7\n"} << QList<bool>{false, false} << "Wert|"
            << "k: 2,50  k (2): \u2014";
    }
    void comparisonAxesAndReadout()
    {
        QFETCH(bool, converted);
        QFETCH(QStringList, names);
        QFETCH(QByteArrayList, contents);
        QFETCH(QList<bool>, onRight);
        QFETCH(QString, titles);
        QFETCH(QString, reading);
        if (converted) {
            open(writeOld(QStringLiteral("dipol.hfd"), oldFile("#V4.04", 1, "Dipol", 40)));
            click("convertButton");
        }
        QStringList paths;
        for (int i = 0; i < names.size(); ++i)
            paths.append(writeTestFile(files.filePath("axes/" + names[i]), contents[i]));
        QVERIFY(window->showNewCurves(paths).isEmpty());
        CurveChart *d = preview()->curveChart();
        const int first = converted ? 2 : 0;
        for (int i = 0; i < onRight.size(); ++i)
            QCOMPARE(d->onSecondAxis(first + i), onRight[i]);
        const QString right = d->secondAxis()->isVisible() ? d->secondAxis()->titleText() : "";
        QCOMPARE(d->yAxis()->titleText() + "|" + right, titles);

        QVERIFY(QTest::qWaitForWindowExposed(preview()));
        QChartView *view = findChildOrFail<QChartView>(preview(), "chartView");
        const QPointF at =
            view->mapFromScene(d->mapToPosition(QPointF(1.9, d->yAxis()->min() + 0.1)));
        QMouseEvent move(QEvent::MouseMove, at, view->viewport()->mapToGlobal(at), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view->viewport(), &move);
        const QString readout = findChildOrFail<QLabel>(preview(), "readingLabel")->text();
        QVERIFY2(readout.startsWith(converted ? "2,00 MHz  " : "2 MHz  ") &&
                     readout.endsWith("  " + reading),
                 qPrintable(readout));
        QCOMPARE(readout.count("Kanal"), converted ? 2 : 0);

        // A compared curve's legend entry hides it, and the readout leaves it out; the entry
        // stays, and shows it again.
        QLegendMarker *entry = d->legend()->markers(d->comparisonLine(0)).constFirst();
        const QString named = "  " + d->curveName(first) + ": ";
        emit entry->clicked();
        QVERIFY(!d->comparisonLine(0)->isVisible() && entry->isVisible());
        QVERIFY(!findChildOrFail<QLabel>(preview(), "readingLabel")->text().contains(named));
        emit entry->clicked();
        QVERIFY(d->comparisonLine(0)->isVisible());
        QVERIFY(findChildOrFail<QLabel>(preview(), "readingLabel")->text().contains(named));
    }

    // A click on a legend entry hides and shows its curve; a right click opens its menu.
    void legendEntryClicks_data()
    {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<bool>("menu");
        QTest::newRow("left") << Qt::LeftButton << false << false;
        QTest::newRow("right") << Qt::RightButton << true << true;
    }
    void legendEntryClicks()
    {
        QFETCH(Qt::MouseButton, button);
        QFETCH(bool, shown);
        QFETCH(bool, menu);
        open(writeOld(QStringLiteral("legende.hfd"), oldFile("#V4.04", 1, "Legende", 30)));
        click("convertButton");
        QVERIFY(QTest::qWaitForWindowExposed(preview()));
        CurveChart *d = preview()->curveChart();
        QChartView *view = findChildOrFail<QChartView>(preview(), "chartView");
        // The entry's label, found among the legend's items by its text.
        QPointF label;
        QList<QGraphicsItem *> items = d->legend()->childItems();
        while (!items.isEmpty()) {
            QGraphicsItem *item = items.takeFirst();
            items += item->childItems();
            const auto *text = dynamic_cast<QGraphicsTextItem *>(item);
            if (text && text->toPlainText() == "Kanal 2")
                label = item->sceneBoundingRect().center();
        }
        QVERIFY(!label.isNull());
        const QPoint at = view->mapFromScene(label);
        QTest::mouseClick(view->viewport(), button, Qt::NoModifier, at);
        QCOMPARE(d->channel(2)->isVisible(), shown);
        QWidget *popup = QApplication::activePopupWidget();
        QCOMPARE(qobject_cast<QMenu *>(popup) != nullptr, menu);
        if (popup)
            popup->close();
    }

    // Left and Right step from point to point, Home and End to the ends, "+" zooms around the
    // cursor and "0" shows the whole curve, a digit hides its curve; the readout follows.
    void keyboardCursor_data()
    {
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<int>("point");
        QTest::addColumn<bool>("zoomed");
        QTest::addColumn<bool>("channel2Read");
        QTest::newRow("the first Right reaches the first point")
            << QList<int>{Qt::Key_Right} << 0 << false << true;
        QTest::newRow("point to point")
            << QList<int>{Qt::Key_Home, Qt::Key_Right, Qt::Key_Right, Qt::Key_Left} << 1 << false
            << true;
        QTest::newRow("not beyond the last point")
            << QList<int>{Qt::Key_End, Qt::Key_Right, Qt::Key_Left} << 298 << false << true;
        QTest::newRow("plus zooms around the cursor")
            << QList<int>{Qt::Key_End, Qt::Key_Plus, Qt::Key_Plus} << 299 << true << true;
        QTest::newRow("zero shows the whole curve")
            << QList<int>{Qt::Key_Home, Qt::Key_Plus, Qt::Key_0} << 0 << false << true;
        QTest::newRow("a digit hides its curve")
            << QList<int>{Qt::Key_2, Qt::Key_Home} << 0 << false << false;
    }
    void keyboardCursor()
    {
        QFETCH(QList<int>, keys);
        QFETCH(int, point);
        QFETCH(bool, zoomed);
        QFETCH(bool, channel2Read);
        open(writeOld(QStringLiteral("tasten.hfd"), oldFile("#V4.04", 1, "Tasten", 300)));
        click("convertButton");
        CurveChart *d = preview()->curveChart();
        QChartView *view = findChildOrFail<QChartView>(preview(), "chartView");
        const double span = d->xAxis()->max() - d->xAxis()->min();
        for (const int key : keys)
            QTest::keyClick(view, Qt::Key(key));
        const double f = d->channel(1)->at(point).x();
        QCOMPARE(d->markedFrequency(), f);
        QVERIFY(d->xAxis()->min() <= f && f <= d->xAxis()->max());
        QCOMPARE(d->xAxis()->max() - d->xAxis()->min() < span, zoomed);
        const QString readout = findChildOrFail<QLabel>(preview(), "readingLabel")->text();
        QVERIFY2(
            readout.startsWith(QLocale(QLocale::German).toString(f, 'f', 2) + " MHz  Kanal 1: "),
            qPrintable(readout));
        QCOMPARE(readout.contains("Kanal 2: "), channel2Read);
        QCOMPARE(findChildOrFail<QLabel>(preview(), "readingLabel")->accessibleName(), readout);
    }

    // Names of files and their headers reach the preview as text: no HTML, and no character
    // that turns the names and numbers after it around.
    void namesAreShownAsText_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("header");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("toolTip");
        QTest::newRow("HTML header")
            << "h.z2k" << QByteArray("<font size=7 color=magenta>G</font>") << "h"
            << "<font size=7 color=magenta>G</font>";
        QTest::newRow("HTML file name") << "<b>fett.z2k" << QByteArray("x") << "<b>fett"
                                        << "x";
        QTest::newRow("right-to-left override in the name")
            << "a\u202Eb.z2k" << QByteArray("x") << "a\\u202eb"
            << "x";
        QTest::newRow("isolate in the header")
            << "i.z2k" << QByteArray("x\xE2\x81\xA7y\xE2\x80\xAA") << "i"
            << "x\\u2067y\\u202a";
    }
    void namesAreShownAsText()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, header);
        QFETCH(QString, name);
        QFETCH(QString, toolTip);
#ifndef Q_OS_UNIX
        if (file.contains('<'))
            QSKIP("Windows allows no < and > in file names");
        if (header.contains('\xE2'))
            QSKIP("a header is Windows-1252 on Windows, which has no isolates");
#endif
        const QString path =
            writeTestFile(files.filePath("namen/" + file), "#" + header + "\n1;2\n2;3\n");
        QVERIFY(window->showNewCurves({path}).isEmpty());
        const CurveChart *d = preview()->curveChart();
        QCOMPARE(d->curveName(0), name);
        QCOMPARE(d->curveToolTip(0), toolTip);
        // The legend draws HTML: the name reaches it escaped.
        QCOMPARE(d->legend()->markers(d->comparisonLine(0)).constFirst()->label(),
                 name.toHtmlEscaped());
        const QTextEdit *list = findChildOrFail<QTextEdit>(preview(), "markerList");
        QVERIFY(list->toPlainText().startsWith(QString(QChar(0x25A0)) + " " + name +
                                               ": Minimum 2,00 bei 1 MHz"));
    }

    // Work that is not saved is never lost without a question: opening another old file,
    // closing and quitting ask; a cancelled dialog changes nothing.
    void unsavedConversionIsAskedFor_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QList<Dialogs::SaveChoice>>("answers");
        QTest::addColumn<QString>("saveAs"); // empty: the save dialog is cancelled
        QTest::addColumn<int>("questions");
        QTest::addColumn<bool>("kept"); // the conversion and its edited description
        using C = Dialogs::SaveChoice;
        QTest::newRow("open, dialog cancelled")
            << "open cancelled" << QList<C>{} << "" << 0 << true;
        QTest::newRow("open, Abbrechen") << "open" << QList<C>{C::Cancel} << "" << 1 << true;
        QTest::newRow("open, Verwerfen") << "open" << QList<C>{C::Discard} << "" << 1 << false;
        QTest::newRow("open, Speichern") << "open" << QList<C>{C::Save} << "frage/k" << 1 << false;
        QTest::newRow("open, Speichern, save cancelled")
            << "open" << QList<C>{C::Save} << "" << 1 << true;
        QTest::newRow("dropped old file, Abbrechen")
            << "drop" << QList<C>{C::Cancel} << "" << 1 << true;
        QTest::newRow("quit, Abbrechen") << "quit" << QList<C>{C::Cancel} << "" << 1 << true;
        QTest::newRow("quit, Verwerfen") << "quit" << QList<C>{C::Discard} << "" << 1 << false;
        QTest::newRow("close, Speichern")
            << "close" << QList<C>{C::Save} << "frage/k" << 1 << false;
        QTest::newRow("saved: quit asks nothing")
            << "save, quit" << QList<C>{} << "frage/k" << 0 << false;
    }
    void unsavedConversionIsAskedFor()
    {
        QFETCH(QString, action);
        QFETCH(QList<Dialogs::SaveChoice>, answers);
        QFETCH(QString, saveAs);
        QFETCH(int, questions);
        QFETCH(bool, kept);
        QDir(files.filePath("frage")).removeRecursively();
        QDir().mkpath(files.filePath("frage"));
        const QString other = writeOld(QStringLiteral("frage_b.hfd"), oldFile("#V4.04", 1, "B"));
        open(writeOld(QStringLiteral("frage_a.hfd"), oldFile("#V4.04", 1, "A")));
        click("convertButton");
        child<QTextEdit>("descriptionEdit")->setPlainText(QStringLiteral("Bearbeitet"));
        dialogs->saveChoices = answers;
        dialogs->saveAnswers = {saveAs.isEmpty() ? QString() : files.filePath(saveAs)};
        if (action.startsWith("save"))
            click("saveButton");
        if (action == "open" || action == "open cancelled")
            open(action == "open" ? other : QString());
        else if (action == "drop")
            window->openFiles({other});
        else if (action.endsWith("quit"))
            child<QAction>("quitAction")->trigger();
        else
            window->close();
        QCOMPARE(dialogs->saveChoiceQuestions.size(), questions);
        QCOMPARE(QFile::exists(files.filePath("frage/k.z2k")), !saveAs.isEmpty());
        if (action.endsWith("quit") || action == "close") {
            QCOMPARE(window->isVisible(), kept);
            return;
        }
        QCOMPARE(inState(State::Converted), kept);
        QCOMPARE(child<QTextEdit>("descriptionEdit")->toPlainText(),
                 kept ? QStringLiteral("Bearbeitet") : QString());
        if (!kept)
            QVERIFY(child<QLabel>("oldDescriptionLabel")->text().endsWith("frage b.hfd;B"));
    }

    // Files dropped onto either window: the old one opens as with the open button, the new
    // ones go to the preview.
    void droppedFilesAreOpened()
    {
        const QString old = writeOld(QStringLiteral("drop.hfd"), oldFile("#V4.04", 1, "Drop"));
        const QString newFiles = writeTestFile(files.filePath("drop.z2k"), "#Neu\n1;2\n");
        QWidget *plot = findChildOrFail<CurveView>(preview(), "chartView")->viewport();
        for (QWidget *dest : std::initializer_list<QWidget *>{window.get(), preview(), plot}) {
            window->clearCurve();
            preview()->clearComparison();
            QMimeData bytes;
            bytes.setUrls({QUrl::fromLocalFile(newFiles), QUrl::fromLocalFile(old)});
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &bytes, Qt::LeftButton,
                                  Qt::NoModifier);
            QCoreApplication::sendEvent(dest, &enter);
            QVERIFY(enter.isAccepted());
            QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &bytes, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(dest, &drop);
            QVERIFY(inState(State::Loaded));
            QVERIFY(child<QLabel>("oldDescriptionLabel")->text().endsWith("drop.hfd;Drop"));
            QCOMPARE(preview()->curveChart()->compared().size(), 1);
        }
        QVERIFY(dialogs->openQuestions.isEmpty());
    }

    // The last eight old files opened, newest first, in the menu and the settings; an entry
    // opens its file, and one that is refused leaves the list.
    void recentFilesAreListed()
    {
        QStringList paths;
        for (int i = 0; i < 9; ++i) {
            paths.prepend(
                writeOld(QStringLiteral("zuletzt/k%1.hfd").arg(i), oldFile("#V4.04", 1, "K")));
            open(paths.first());
        }
        paths.removeLast();
        QCOMPARE(setting("ZOR2", "zuletztgeoeffnet").toStringList(), paths);
        const QMenu *menu = child<QMenu>("recentMenu");
        QCOMPARE(menu->actions().size(), 8);
        QCOMPARE(menu->actions()[1]->text(), "&2 " + QDir::toNativeSeparators(paths[1]));
        menu->actions()[1]->trigger();
        QVERIFY(inState(State::Loaded));
        QVERIFY(child<QLabel>("oldDescriptionLabel")->text().endsWith("/k7.hfd;K"));
        QCOMPARE(setting("ZOR2", "zuletztgeoeffnet").toStringList().first(), paths[1]);

        QVERIFY(QFile::remove(paths[3]));
        menu->actions()[3]->trigger();
        QCOMPARE(dialogs->warnings.size(), 1);
        QCOMPARE(menu->actions().size(), 7);
        QVERIFY(!setting("ZOR2", "zuletztgeoeffnet").toStringList().contains(paths[3]));
    }

    // A Latin-1 name found from the command line's bytes, the dialog's U+FFFD, the recent list.
    void latin1Names()
    {
#ifndef Q_OS_UNIX
        QSKIP("Windows names are text, never bytes in another code");
#endif
        const QString folder = files.filePath(QStringLiteral("latin1"));
        const auto gone = qScopeGuard([&] { QProcess::execute("rm", {"-rf", folder}); });
        QVERIFY(::rename(QFile::encodeName(writeOld("latin1/a.hfd", oldFile("#V4.04", 1, "K"))),
                         QFile::encodeName(folder) + "/\xe4rger.hfd") == 0);
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(folder));
        window->openFiles({Platform::nameFromNative("\xe4rger.hfd")});
        QVERIFY(QDir::setCurrent(before) && inState(State::Loaded));
        open(folder + "/" + QChar(QChar::ReplacementCharacter) + "rger.hfd");
        QVERIFY(inState(State::Loaded));
        window->clearCurve();
        child<QMenu>("recentMenu")->actions().constFirst()->trigger();
        QVERIFY(inState(State::Loaded) && dialogs->warnings.isEmpty());
    }

    void englishTranslationCoversTheWindow()
    {
        QTranslator translator;
        QVERIFY(translator.load(QStringLiteral("zor2convert_en"), QStringLiteral(":/i18n")));
        QCoreApplication::installTranslator(&translator);
        newWindow();
        QCoreApplication::removeTranslator(&translator);

        const char *germanTexts[][2] = {
            {"openButton", "Kurvendatei ALT oeffnen"},
            {"convertButton", "Konvertieren"},
            {"saveButton", " Speichern neues Format"},
            {"typeLabel", "Kurve Typ"},
            {"oldDescriptionCaption", "Kurve Beschreibung:"},
            {"descriptionLabel", "Kurve Beschreibung und default Dateiname:"}};
        for (const auto &[name, german] : germanTexts) {
            const QString text = window->findChild<QWidget *>(name)->property("text").toString();
            QVERIFY2(!text.isEmpty() && text != QLatin1String(german), name);
        }
        QVERIFY(child<QGroupBox>("oldFileGroup")->title() != "Kurvendatei alt ZOR01 Format");
        QVERIFY(child<QMenu>("fileMenu")->title() != "Datei");
        QCOMPARE(child<QMenu>("viewMenu")->title(), QStringLiteral("&View"));
        QCOMPARE(findChildOrFail<QPushButton>(preview(), "savePictureButton")->text(),
                 QStringLiteral("Save &picture..."));
        QVERIFY(!child<QPushButton>("convertButton")->toolTip().contains("Konvertierung"));
        QVERIFY(!child<QTextEdit>("descriptionEdit")->toolTip().contains("Beschreibung"));
    }

    void languageOptionWorksFromAnyFolder()
    {
        // The program finds its translation without a transl/ folder in the working directory.
        QProcess program;
        program.setWorkingDirectory(files.path());
        program.start(QStringLiteral(ZOR2CONV_PROGRAM), {"-len", "--help"});
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitCode(), 0);
        const QByteArray english = program.readAllStandardOutput();
        program.start(QStringLiteral(ZOR2CONV_PROGRAM), {"--help"});
        QVERIFY(program.waitForFinished(60000));
        const QByteArray german = program.readAllStandardOutput();
        QVERIFY(german.contains("--output-dir"));
        QVERIFY(english.contains("--output-dir"));
        QVERIFY(english != german);
    }

    // A file named on the command line or opened from the desktop: read as if picked in the
    // open dialog, without asking.
    void fileOpensWithoutDialog_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("relative");
        QTest::addColumn<bool>("loaded");
        QTest::newRow("absolute path") << oldFile("#V4.04", 1, "Filter_10MHz") << false << true;
        QTest::newRow("relative path") << oldFile("#V4.04", 1, "Filter_10MHz") << true << true;
        QTest::newRow("refused") << QByteArray("no curve file") << false << false;
    }
    void fileOpensWithoutDialog()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, relative);
        QFETCH(bool, loaded);
        const QString path = writeOld(QStringLiteral("sub/filter.hfd"), content);
        const QString before = QDir::currentPath();
        if (relative)
            QVERIFY(QDir::setCurrent(files.path()));
        window->openOldCurve(relative ? QStringLiteral("sub/filter.hfd") : path);
        QVERIFY(QDir::setCurrent(before));
        QVERIFY(dialogs->openQuestions.isEmpty());
        QVERIFY(inState(loaded ? State::Loaded : State::Idle));
        // A refused file is refused with the open button's box.
        QCOMPARE(dialogs->warnings.size(), loaded ? 0 : 1);
        if (!loaded)
            QCOMPARE(dialogs->warnings.first().first, QStringLiteral("Kurvendatei ALT laden"));
        if (loaded) {
            QCOMPARE(child<QLabel>("typeLabel")->text(), QStringLiteral("Typ: SWV-Kurve"));
            QVERIFY(child<QLabel>("oldDescriptionLabel")
                        ->text()
                        .endsWith("/sub/filter.hfd;Filter 10MHz"));
        }
        QCOMPARE(setting("ZOR5", "kurvenpath_alt").toString(), files.filePath("sub/"));
        // The next open asks again.
        click("openButton");
        QCOMPARE(dialogs->openQuestions.size(), 1);
        QCOMPARE(dialogs->openQuestions.first().dir, files.filePath("sub"));
    }

    void textsAreWhole_data()
    {
        QTest::addColumn<QByteArray>("content"); // empty: the window as it starts
        QTest::addColumn<bool>("convert");
        const QByteArray label = "Tiefpass_7_MHz_hinter_dem_Daempfungsglied_20_dB,_gemessen_mit_"
                                 "dem_langen_Kabel_am_Eingang_und_dem_kurzen_am_Ausgang,_zweiter_"
                                 "Versuch_nach_dem_Umbau_der_Spulen_und_mit_neuen_Kondensatoren";
        QTest::newRow("idle") << QByteArray() << false;
        QTest::newRow("loaded, longest type") << oldFile("#V3.05", 0, "Antenne_80m_Dipol") << false;
        QTest::newRow("loaded, long description") << oldFile("#V4.05", 0, label) << false;
        QTest::newRow("converted, long description") << oldFile("#V4.05", 0, label) << true;
    }
    void textsAreWhole()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, convert);
        if (!content.isEmpty()) {
            open(writeOld(QStringLiteral("eine_recht_lange_Kurvendatei_zum_Ansehen.hfd"), content));
            QVERIFY(inState(State::Loaded));
        }
        if (convert) {
            click("convertButton");
            QVERIFY(inState(State::Converted));
        }
        QCoreApplication::sendPostedEvents();
        QVERIFY2(cutTexts(window.get()).isEmpty(), qPrintable(cutTexts(window.get()).join(", ")));
        // The window shrinks back to what an idle window needs once it is reset.
        window->clearCurve();
        QCoreApplication::sendPostedEvents();
        QVERIFY2(cutTexts(window.get()).isEmpty(), qPrintable(cutTexts(window.get()).join(", ")));
        QCOMPARE(child<QLabel>("oldDescriptionLabel")->height(), 61);
    }

    void quitClosesTheWindow()
    {
        QVERIFY(window->isVisible());
        child<QAction>("quitAction")->trigger();
        QVERIFY(!window->isVisible());
    }

    void rememberedFolder_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("folder");
        // On Windows an absolute path begins with its drive.
        QTest::newRow("absolute") << QDir::rootPath() + "a/b/x.hfd" << QDir::rootPath() + "a/b/";
        QTest::newRow("root") << QDir::rootPath() + "x.hfd" << QDir::rootPath();
        QTest::newRow("relative") << "sub/x.hfd" << QDir::currentPath() + "/sub/";
    }
    void rememberedFolder()
    {
        QFETCH(QString, path);
        QFETCH(QString, folder);
        QCOMPARE(folderToRemember(path), folder);
    }
};

QTEST_MAIN(TestConverterWindow)
#include "tst_converterwindow.moc"
