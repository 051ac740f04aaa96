#include "Kurvendiagramm.h"

#include <QFont>
#include <QTest>
#include <QTextDocument>

// The description as a picture's title: plain text on one line, shortened to the picture.
class TestPictureTitle : public QObject
{
    Q_OBJECT

private slots:
    void title_data()
    {
        QTest::addColumn<QString>("beschreibung");
        QTest::addColumn<QString>("gezeigt"); // as the title shows it; "…" at its end: shortened
        QTest::newRow("fits: unchanged") << "C__kurven_filter_Filter_10MHz"
                                         << "C__kurven_filter_Filter_10MHz";
        QTest::newRow("markup is text") << "<h1>Titel</h1><br>&amp;"
                                        << "<h1>Titel</h1><br>&amp;";
        QTest::newRow("line breaks and controls are blanks") << QString("a\nb\x1b"
                                                                        "c")
                                                             << "a b c";
        QTest::newRow("80 KB") << QString(80000, QLatin1Char('x')) << QString("x…");
        QTest::newRow("long with markup") << QString("<br>").repeated(20000) << QString("<br>…");
    }
    void title()
    {
        QFETCH(QString, beschreibung);
        QFETCH(QString, gezeigt);
        const QFont font;
        const qreal breite = 600;
        const QString html = bildTitel(beschreibung, font, breite);
        QTextDocument dokument;
        dokument.setDefaultFont(font);
        dokument.setDocumentMargin(0);
        dokument.setHtml(html);
        const QString text = dokument.toPlainText();
        QVERIFY2(dokument.idealWidth() <= breite, qPrintable(text));
        if (gezeigt.endsWith(QChar(0x2026))) {
            QVERIFY2(text.startsWith(gezeigt.chopped(1)) && text.endsWith(QChar(0x2026)),
                     qPrintable(text));
            // as much as fits: one more character would not
            QVERIFY(text.size() > 20);
        } else {
            QCOMPARE(text, gezeigt);
        }
    }
};

QTEST_MAIN(TestPictureTitle)
#include "tst_picturetitle.moc"
