#include "zor2conv.h"
#include "ui_zor2conv.h"

#include "ChannelConversion.h"
#include "Dialogs.h"
#include "DroppedFiles.h"
#include "KeyValueFile.h"
#include "Kurvenvorschau.h"
#include "NewCurveFile.h"
#include "OldCurveFile.h"
#include "Ordner.h"
#include "RecentFiles.h"
#include "SettingsPlace.h"
#include "TextFit.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>

namespace {

const QString kKurvenvorschau = QStringLiteral("kurvenvorschau");

} // namespace

zor2conv::zor2conv(QWidget *parent)
    : zor2conv(nullptr, std::make_unique<QtDialogs>(), parent)
{
}

zor2conv::zor2conv(Dialogs &dialogs, QWidget *parent)
    : zor2conv(&dialogs, nullptr, parent)
{
}

zor2conv::zor2conv(Dialogs *givenDialogs, std::unique_ptr<Dialogs> ownDialogs, QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::zor2conv)
    , ownDialogs(std::move(ownDialogs))
    , dialogs(givenDialogs ? givenDialogs : this->ownDialogs.get())
    , vorschau(new Kurvenvorschau(*dialogs, this))
{
    ui->setupUi(this);
    // Set before the slots are heard: the preview is shown only once there is a curve.
    {
        const QSignalBlocker blocker(ui->actionKurvenvorschau);
        ui->actionKurvenvorschau->setChecked(
            QSettings(SettingsPlace::organisation(), QStringLiteral("ZOR5"))
                .value(kKurvenvorschau, true)
                .toBool());
    }
    // Before the separator above "Beenden": new curve files for the preview, the old files
    // opened last.
    QAction *ende = ui->menuDatei->actions().value(ui->menuDatei->actions().size() - 2);
    auto *neuAnzeigen = new QAction(tr("Kurve &NEU anzeigen..."), this);
    neuAnzeigen->setObjectName(QStringLiteral("actionKurveNeuAnzeigen"));
    ui->menuDatei->insertAction(ende, neuAnzeigen);
    connect(neuAnzeigen, &QAction::triggered, this, &zor2conv::kurvenNeuWaehlen);
    auto *zuletztMenu = new QMenu(tr("&Zuletzt geoeffnet"), this);
    zuletztMenu->setObjectName(QStringLiteral("menuZuletzt"));
    ui->menuDatei->insertMenu(ende, zuletztMenu);
    zuletzt = new RecentFiles(zuletztMenu, this);
    connect(zuletzt, &RecentFiles::chosen, this, &zor2conv::kurveAltOeffnen);
    setAcceptDrops(true);
    connect(vorschau, &Kurvenvorschau::dateienAbgelegt, this, &zor2conv::dateienOeffnen);

    connect(vorschau, &Kurvenvorschau::geschlossen, ui->actionKurvenvorschau,
            [this] { ui->actionKurvenvorschau->setChecked(false); });
    // Only an edit of the converted curve's description names the preview; the panel emptied
    // by a reset leaves the saved curve's name in place.
    connect(ui->textEdit, &QTextEdit::textChanged, vorschau, [this] {
        if (ui->groupBox_2->isEnabled())
            vorschau->beschreibungSetzen(ui->textEdit->toPlainText());
    });
    // The menu entries do what the buttons do, and only while the buttons can.
    connect(ui->actionOeffnen, &QAction::triggered, ui->pushButton, &QPushButton::click);
    connect(ui->actionSpeichern, &QAction::triggered, ui->pushButton_2, &QPushButton::click);
    // Tab leaves the description for the save button: a keyboard is never caught in the panel.
    ui->textEdit->setTabChangesFocus(true);
    // While the program waits for its first file.
    QTimer::singleShot(0, vorschau, &Kurvenvorschau::vorbereiten);
    setSavable(false);
    ui->pushButton_3->setEnabled(false);
    record.kurvealt.frqteiler = 1;

    // The store is never loaded from a file, so this always yields the default; it is the one
    // place where a different time-stamp format would come from.
    {
        KeyValueFile settings;
        formatfilename =
            settings.value(QStringLiteral("formatfilename"), QStringLiteral("yyMMdd_hhmmss"));
    }

    ui->textEdit->setToolTip(
        tr("<b>Beschreibung der Wobbelkurve</b><br>-----------------------------<br>"
           "Dieser Text wird generiert aus<br><b>Path + Dateiname + Kurvenbeschreibung</b><br>"
           "Das ist die neue Vorgabe der Beschreibung.<br>Aus diesem Text wird auch der "
           "Dateiname<br>generiert.<br><b>Es ist also ratsam diesen Text zu<br>editieren!!</b>"
           "<br>Es entstehen 2 Dateien, da die alte Datei<br>2 Kurven beinhaltet.",
           "tooltip text"));
    ui->pushButton_3->setToolTip(
        tr("<b>Konvertierung der Kurven</b><br>-----------------------------<br>In der Datei im "
           "alten Format<br>sind 2 Kurven enthalten. Die Kurve<br>vom Kanal 1 und die Kurve vom "
           "Kanal 2.<br>Da das neue Format pro Datei nur eine<br>Kurve beinhaltet entstehen beim "
           "Konvertieren<br>und anschliessenden \"Speichern\" 2 Dateien<br>im neuen Format.<br>",
           "tooltip text"));
    TextFit::keep(this);
}

zor2conv::~zor2conv()
{
    delete ui;
}

void zor2conv::kurveLoeschen()
{
    formLeeren();
    vorschau->leeren();
}

void zor2conv::formLeeren()
{
    ui->label->setText(tr("Kurve Typ:"));
    ui->label_2->setText(QString());
    setSavable(false);
    ui->pushButton_3->setEnabled(false);
    ui->textEdit->clear();
    record.kurveLoeschen();
    setWindowTitle(QStringLiteral("zor2conv"));
    statusBar()->clearMessage();
}

void zor2conv::setSavable(bool savable)
{
    ui->groupBox_2->setEnabled(savable);
    ui->pushButton_2->setEnabled(savable);
    ui->actionSpeichern->setEnabled(savable);
}

QString zor2conv::zeitstempel() const
{
    return QDateTime::currentDateTime().toString(formatfilename);
}

void zor2conv::on_pushButton_clicked()
{
    kurveLoeschen();
    kurveAltLaden(kurveAltWaehlen());
}

void zor2conv::kurveAltOeffnen(const QString &fileName)
{
    kurveLoeschen();
    kurveAltLaden(QFileInfo(fileName).absoluteFilePath());
}

void zor2conv::kurveAltLaden(const QString &fileName)
{
    if (!kurveAltPruefen(fileName)) {
        if (!fileName.isEmpty())
            zuletzt->remove(fileName);
        return;
    }
    ui->pushButton_3->setEnabled(true);
    ui->pushButton_3->setFocus();
    zuletzt->add(fileName);
    setWindowTitle(QStringLiteral("%1 \u2013 zor2conv").arg(QFileInfo(fileName).fileName()));
}

QStringList zor2conv::kurvenNeuAnzeigen(const QStringList &fileNames)
{
    QStringList absolut;
    for (const QString &name : fileNames)
        absolut.append(QFileInfo(name).absoluteFilePath());
    const QStringList abgelehnt = vorschau->kurvenOeffnen(absolut);
    if (!abgelehnt.isEmpty()) {
        for (const QString &zeile : abgelehnt) {
            if (refusalReporter)
                refusalReporter(zeile);
        }
        dialogs->warning(this, tr("Kurve NEU anzeigen"),
                         tr("Diese Dateien koennen nicht angezeigt werden:") + QLatin1Char('\n') +
                             abgelehnt.join(QLatin1Char('\n')));
    }
    if (abgelehnt.size() < fileNames.size()) {
        // Asked for in person: the preview is shown, and stays on.
        ui->actionKurvenvorschau->setChecked(true);
        vorschauZeigen();
    }
    return abgelehnt;
}

QStringList zor2conv::dateienOeffnen(const QStringList &fileNames)
{
    QStringList neu;
    QString alt;
    for (const QString &name : fileNames) {
        if (isNewCurveFile(name))
            neu.append(name);
        else if (alt.isEmpty())
            alt = name;
    }
    if (!alt.isEmpty())
        kurveAltOeffnen(alt);
    return neu.isEmpty() ? QStringList() : kurvenNeuAnzeigen(neu);
}

void zor2conv::kurvenNeuWaehlen()
{
    QSettings settings(SettingsPlace::organisation(), SettingsPlace::application());
    const QString start =
        QDir(settings.value(QStringLiteral("kurvenpath"), QDir::homePath()).toString())
            .absolutePath();
    kurvenNeuAnzeigen(dialogs->openFileNames(this, tr("ZOR2.0 Kurven-Datei anzeigen", "FileDialog"),
                                             start,
                                             tr("ZOR2.0 Kurven-Datei (*.z2k)", "FileDialog")));
}

void zor2conv::dragEnterEvent(QDragEnterEvent *event)
{
    acceptFileDrag(event);
}

void zor2conv::dropEvent(QDropEvent *event)
{
    const QStringList files = takeDroppedFiles(event);
    if (!files.isEmpty())
        dateienOeffnen(files);
}

// The window returns to idle after every save; the preview keeps the curve that was written.
void zor2conv::on_pushButton_2_clicked()
{
    const QStringList written = kurveNeuSpeichern();
    formLeeren();
    if (written.isEmpty()) {
        vorschau->leeren();
        return;
    }
    QStringList names;
    for (const QString &file : written)
        names << QFileInfo(file).fileName();
    statusBar()->showMessage(tr("Gespeichert: %1").arg(names.join(QStringLiteral(", "))));
}

void zor2conv::on_pushButton_3_clicked()
{
    if (!kurveKonvertieren(record)) {
        dialogs->warning(this, tr("Kurvendatei Impedanz", "Kurvendatei laden"),
                         tr("<B>Kurvendatei ist eine Impedanzkurve! </B><BR>Diese Kurvendateien "
                            "k&ouml;nnen leider nicht<BR>umgewandelt werden.",
                            "Kurvendatei laden"));
        return;
    }
    // A curve the new format cannot hold is refused here as in the batch mode, before any
    // file could get it.
    const QString problem = convertedCurveProblem(record);
    if (!problem.isEmpty()) {
        dialogs->warning(this, tr("Kurvendatei konvertieren"),
                         tr("Die Kurvendatei kann nicht umgewandelt werden: %1").arg(problem));
        return;
    }
    // Plain text: a description holding "<" must reach the file as it stands.
    ui->textEdit->setPlainText(record.beschreibung);
    setSavable(true);
    ui->pushButton_2->setFocus();
    vorschau->kurveZeigen(record, record.beschreibung);
    if (ui->actionKurvenvorschau->isChecked())
        vorschauZeigen();
}

void zor2conv::on_actionBeenden_triggered()
{
    close();
}

void zor2conv::on_actionKurvenvorschau_toggled(bool checked)
{
    QSettings(SettingsPlace::organisation(), QStringLiteral("ZOR5"))
        .setValue(kKurvenvorschau, checked);
    if (checked)
        vorschauZeigen();
    else
        vorschau->hide();
}

void zor2conv::vorschauZeigen()
{
    // The first time beside this window; afterwards where the user left it.
    if (!vorschau->isVisible() && !vorschauPlatziert) {
        vorschau->placeBeside(this);
        vorschauPlatziert = true;
    }
    vorschau->show();
}

void zor2conv::closeEvent(QCloseEvent *event)
{
    // Hidden, not closed: a close would count as the user's and switch the preview off.
    vorschau->hide();
    QMainWindow::closeEvent(event);
}

bool zor2conv::kurveAltPruefen(const QString &fileName)
{
    QString grund;
    if (kurveAltLesen(fileName, grund) < 2) {
        if (!grund.isEmpty()) {
            dialogs->warning(this, tr("Kurvendatei ALT laden"),
                             tr("Die Datei %1 kann nicht geladen werden.")
                                     .arg(QDir::toNativeSeparators(record.beschreibung)) +
                                 QLatin1Char('\n') + grund);
        }
        return false;
    }
    ui->label->setText(QStringLiteral("Typ: ") + record.kurventypname);
    ui->label_2->setText(record.beschreibung);
    return true;
}

QString zor2conv::kurveAltWaehlen()
{
    QSettings settings(SettingsPlace::organisation(), QStringLiteral("ZOR5"));
    const QString start =
        QDir(settings.value(QStringLiteral("kurvenpath_alt"), QDir::homePath()).toString())
            .absolutePath();
    return dialogs->openFileName(this, tr("ZOR Kurve ALT laden", "FileDialog"), start,
                                 tr("ZOR Kurvendatei (*.hfd)", "FileDialog"));
}

int zor2conv::kurveAltLesen(const QString &fileName, QString &grund)
{
    record.beschreibung.clear();
    if (fileName.isEmpty())
        return 1;
    const OldCurveFile::Ergebnis ergebnis = OldCurveFile::kurveAltOeffnen(fileName, record);
    QSettings(SettingsPlace::organisation(), QStringLiteral("ZOR5"))
        .setValue(QStringLiteral("kurvenpath_alt"), ordnerVon(fileName));
    if (!ergebnis.ok())
        grund = ergebnis.grund();
    return ergebnis.versioncode;
}

QStringList zor2conv::kurveNeuSpeichern()
{
    QSettings settings(SettingsPlace::organisation(), SettingsPlace::application());
    const QString start = settings.value(QStringLiteral("kurvenpath"), QDir::homePath()).toString();
    const QString beschreibung = ui->textEdit->toPlainText();
    const QString vorschlag =
        dateinameAusText(beschreibung.isEmpty() ? zeitstempel() : beschreibung);
    const QString chosen = dialogs->saveFileName(
        this, tr("ZOR2.0 Kurven-Datei speichern", "FileDialog"), QDir(start).filePath(vorschlag),
        tr("ZOR2.0 Kurven-Datei (*.z2k)", "FileDialog"));
    if (chosen.isEmpty())
        return {};

    const NewCurveFile::Ergebnis ergebnis =
        NewCurveFile::kurveNeuSpeichern(NewCurveFile::basisName(chosen), beschreibung, record);
    settings.setValue(QStringLiteral("kurvenpath"), ordnerVon(ergebnis.letzteDatei));
    for (int i = 0; i < ergebnis.fehlgeschlagen.size(); ++i) {
        dialogs->warning(this, tr("Kurvendatei speichern"),
                         tr("Die Datei %1 konnte nicht geschrieben werden.")
                                 .arg(QDir::toNativeSeparators(ergebnis.fehlgeschlagen.at(i))) +
                             QLatin1Char('\n') + ergebnis.gruende.at(i));
    }
    return ergebnis.geschrieben;
}
