#include "ConverterWindow.h"
#include "ui_ConverterWindow.h"

#include "CurvePreview.h"
#include "DroppedFiles.h"
#include "FolderMemory.h"
#include "RecentFiles.h"
#include "core/ChannelConversion.h"
#include "core/NewCurveFile.h"
#include "core/OldCurveFile.h"
#include "dialogs/Dialogs.h"
#include "platform/Platform.h"
#include "settings/KeyValueFile.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsPlace.h"
#include "widgets/AccessibleTexts.h"
#include "widgets/TextFit.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QStatusBar>
#include <QTimer>

namespace {

const QString kPreviewKey = QStringLiteral("kurvenvorschau");
// Refused files named in one box.
constexpr int kShownRefusals = 10;

} // namespace

ConverterWindow::ConverterWindow(QWidget *parent)
    : ConverterWindow(nullptr, std::make_unique<QtDialogs>(), parent)
{
}

ConverterWindow::ConverterWindow(Dialogs &dialogs, QWidget *parent)
    : ConverterWindow(&dialogs, nullptr, parent)
{
}

ConverterWindow::ConverterWindow(Dialogs *givenDialogs, std::unique_ptr<Dialogs> ownDialogs,
                                 QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::ConverterWindow)
    , ownDialogs(std::move(ownDialogs))
    , dialogs(givenDialogs ? givenDialogs : this->ownDialogs.get())
    , preview(new CurvePreview(*dialogs, this))
{
    ui->setupUi(this);
    // Set before the slots are heard: the preview is shown only once there is a curve.
    {
        const QSignalBlocker blocker(ui->previewAction);
        ui->previewAction->setChecked(
            SettingsFile(QStringLiteral("ZOR5")).value(kPreviewKey, true).toBool());
    }
    addFileMenuEntries();
    // A description comes from a file's name and label: text, never HTML.
    ui->oldDescriptionLabel->setTextFormat(Qt::PlainText);
    setAcceptDrops(true);
    connect(preview, &CurvePreview::filesDropped, this, &ConverterWindow::openFiles);

    connect(preview, &CurvePreview::closed, ui->previewAction,
            [this] { ui->previewAction->setChecked(false); });
    // Only an edit of the converted curve's description names the preview; the panel emptied
    // by a reset leaves the saved curve's name in place.
    connect(ui->descriptionEdit, &QTextEdit::textChanged, preview, [this] {
        if (ui->newFileGroup->isEnabled())
            preview->setDescription(ui->descriptionEdit->toPlainText());
    });
    // The menu entries do what the buttons do, and only while the buttons can.
    connect(ui->openAction, &QAction::triggered, ui->openButton, &QPushButton::click);
    connect(ui->saveAction, &QAction::triggered, ui->saveButton, &QPushButton::click);
    // Tab leaves the description for the save button: a keyboard is never caught in the panel.
    ui->descriptionEdit->setTabChangesFocus(true);
    // While the program waits for its first file.
    QTimer::singleShot(0, preview, &CurvePreview::prepare);
    setSavable(false);
    ui->convertButton->setEnabled(false);
    record.oldCurve.frequencyDivisor = 1;

    // The store is never loaded from a file, so this always yields the default; it is the one
    // place where a different time-stamp format would come from.
    {
        KeyValueFile settings;
        fileNameFormat =
            settings.value(QStringLiteral("formatfilename"), QStringLiteral("yyMMdd_hhmmss"));
    }

    setToolTips();
    TextFit::keep(this);
    describeToolTips(this);
}

void ConverterWindow::addFileMenuEntries()
{
    // Before the separator above "Beenden": new curve files for the preview, the old files
    // opened last.
    QAction *quitEntry = ui->fileMenu->actions().value(ui->fileMenu->actions().size() - 2);
    auto *showNewAction = new QAction(tr("Kurve &NEU anzeigen..."), this);
    showNewAction->setObjectName(QStringLiteral("showNewCurvesAction"));
    ui->fileMenu->insertAction(quitEntry, showNewAction);
    connect(showNewAction, &QAction::triggered, this, &ConverterWindow::chooseNewCurves);
    auto *recentMenu = new QMenu(tr("&Zuletzt geoeffnet"), this);
    recentMenu->setObjectName(QStringLiteral("recentMenu"));
    ui->fileMenu->insertMenu(quitEntry, recentMenu);
    recent = new RecentFiles(recentMenu, this);
    connect(recent, &RecentFiles::chosen, this, &ConverterWindow::openOldCurve);
}

void ConverterWindow::setToolTips()
{
    ui->descriptionEdit->setToolTip(
        tr("<b>Beschreibung der Wobbelkurve</b><br>-----------------------------<br>"
           "Dieser Text wird generiert aus<br><b>Path + Dateiname + Kurvenbeschreibung</b><br>"
           "Das ist die neue Vorgabe der Beschreibung.<br>Aus diesem Text wird auch der "
           "Dateiname<br>generiert.<br><b>Es ist also ratsam diesen Text zu<br>editieren!!</b>"
           "<br>Es entstehen 2 Dateien, da die alte Datei<br>2 Kurven beinhaltet.",
           "tooltip text"));
    ui->convertButton->setToolTip(
        tr("<b>Konvertierung der Kurven</b><br>-----------------------------<br>In der Datei im "
           "alten Format<br>sind 2 Kurven enthalten. Die Kurve<br>vom Kanal 1 und die Kurve vom "
           "Kanal 2.<br>Da das neue Format pro Datei nur eine<br>Kurve beinhaltet entstehen beim "
           "Konvertieren<br>und anschliessenden \"Speichern\" 2 Dateien<br>im neuen Format.<br>",
           "tooltip text"));
}

ConverterWindow::~ConverterWindow()
{
    delete ui;
}

void ConverterWindow::clearCurve()
{
    clearForm();
    preview->clear();
}

void ConverterWindow::clearForm()
{
    ui->typeLabel->setText(tr("Kurve Typ:"));
    ui->oldDescriptionLabel->setText(QString());
    setSavable(false);
    ui->convertButton->setEnabled(false);
    ui->descriptionEdit->clear();
    record.clearCurve();
    setWindowTitle(QStringLiteral("zor2conv"));
    statusBar()->clearMessage();
}

void ConverterWindow::setSavable(bool savable)
{
    ui->newFileGroup->setEnabled(savable);
    ui->saveButton->setEnabled(savable);
    ui->saveAction->setEnabled(savable);
}

QString ConverterWindow::timestamp() const
{
    return QDateTime::currentDateTime().toString(fileNameFormat);
}

void ConverterWindow::on_openButton_clicked()
{
    // A cancelled dialog changes nothing.
    const QString fileName = chooseOldCurve();
    if (fileName.isEmpty() || !conversionMayGo())
        return;
    clearCurve();
    loadOldCurve(fileName);
}

void ConverterWindow::openOldCurve(const QString &fileName)
{
    if (!conversionMayGo())
        return;
    clearCurve();
    // Names by their bytes, never through Qt's file names: a Latin-1 name stays found.
    loadOldCurve(Platform::absoluteName(Platform::storedName(fileName)));
}

bool ConverterWindow::conversionMayGo()
{
    if (!ui->saveButton->isEnabled())
        return true;
    switch (dialogs->askToSave(this, tr("Konvertierte Kurve"),
                               tr("Die konvertierte Kurve ist noch nicht gespeichert. Soll sie "
                                  "gespeichert werden?"))) {
    case Dialogs::SaveChoice::Save:
        return saveConversion();
    case Dialogs::SaveChoice::Discard:
        return true;
    case Dialogs::SaveChoice::Cancel:
        break;
    }
    return false;
}

void ConverterWindow::loadOldCurve(const QString &fileName)
{
    if (!checkOldCurve(fileName)) {
        if (!fileName.isEmpty())
            recent->remove(fileName);
        return;
    }
    ui->convertButton->setEnabled(true);
    ui->convertButton->setFocus();
    recent->add(fileName);
    setWindowTitle(QStringLiteral("%1 \u2013 zor2conv")
                       .arg(Platform::nameAsText(fileName.section(QLatin1Char('/'), -1))));
}

QStringList ConverterWindow::showNewCurves(const QStringList &fileNames)
{
    QStringList absolute;
    for (const QString &name : fileNames)
        absolute.append(Platform::absoluteName(Platform::storedName(name)));
    const QStringList refused = preview->openCurves(absolute);
    if (!refused.isEmpty()) {
        for (const QString &line : refused) {
            if (refusalReporter)
                refusalReporter(line);
        }
        // A box that fits on the screen: the first few files named, the rest counted.
        QStringList shown = refused.mid(0, kShownRefusals);
        if (refused.size() > kShownRefusals)
            shown.append(tr("... und %1 weitere").arg(refused.size() - kShownRefusals));
        dialogs->warning(this, tr("Kurve NEU anzeigen"),
                         tr("Diese Dateien koennen nicht angezeigt werden:") + QLatin1Char('\n') +
                             shown.join(QLatin1Char('\n')));
    }
    if (refused.size() < fileNames.size()) {
        // Asked for in person: the preview is shown, and stays on.
        ui->previewAction->setChecked(true);
        showPreview();
    }
    return refused;
}

QStringList ConverterWindow::openFiles(const QStringList &fileNames)
{
    QStringList newFiles;
    QString old;
    for (const QString &name : fileNames) {
        if (isNewCurveFile(name))
            newFiles.append(name);
        else if (old.isEmpty())
            old = name;
    }
    if (!old.isEmpty())
        openOldCurve(old);
    return newFiles.isEmpty() ? QStringList() : showNewCurves(newFiles);
}

void ConverterWindow::chooseNewCurves()
{
    SettingsFile settings(SettingsPlace::application());
    const QString start =
        QDir(settings.value(QStringLiteral("kurvenpath"), QDir::homePath()).toString())
            .absolutePath();
    showNewCurves(dialogs->openFileNames(this, tr("ZOR2.0 Kurven-Datei anzeigen", "FileDialog"),
                                         start, tr("ZOR2.0 Kurven-Datei (*.z2k)", "FileDialog")));
}

void ConverterWindow::dragEnterEvent(QDragEnterEvent *event)
{
    acceptFileDrag(event);
}

void ConverterWindow::dropEvent(QDropEvent *event)
{
    const QStringList files = takeDroppedFiles(event);
    if (!files.isEmpty())
        openFiles(files);
}

void ConverterWindow::on_saveButton_clicked()
{
    saveConversion();
}

// The window returns to idle once a file is written; the preview keeps the curve that was
// written. A save that wrote nothing, cancelled or failed, leaves the conversion to try again.
bool ConverterWindow::saveConversion()
{
    const QStringList written = saveNewCurve();
    if (written.isEmpty())
        return false;
    clearForm();
    QStringList names;
    for (const QString &file : written)
        names << QFileInfo(file).fileName();
    statusBar()->showMessage(tr("Gespeichert: %1").arg(names.join(QStringLiteral(", "))));
    return true;
}

void ConverterWindow::on_convertButton_clicked()
{
    if (!convertCurve(record)) {
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
    ui->descriptionEdit->setPlainText(record.description);
    setSavable(true);
    ui->saveButton->setFocus();
    preview->showCurve(record, record.description);
    if (ui->previewAction->isChecked())
        showPreview();
}

void ConverterWindow::on_quitAction_triggered()
{
    close();
}

void ConverterWindow::on_previewAction_toggled(bool checked)
{
    SettingsFile(QStringLiteral("ZOR5")).setValue(kPreviewKey, checked);
    if (checked)
        showPreview();
    else
        preview->hide();
}

void ConverterWindow::showPreview()
{
    // The first time beside this window; afterwards where the user left it.
    if (!preview->isVisible() && !previewPlaced) {
        preview->placeBeside(this);
        previewPlaced = true;
    }
    preview->show();
}

void ConverterWindow::closeEvent(QCloseEvent *event)
{
    if (!conversionMayGo()) {
        event->ignore();
        return;
    }
    // Hidden, not closed: a close would count as the user's and switch the preview off.
    preview->hide();
    QMainWindow::closeEvent(event);
}

bool ConverterWindow::checkOldCurve(const QString &fileName)
{
    QString reason;
    if (readOldCurve(fileName, reason) < 2) {
        if (!reason.isEmpty()) {
            dialogs->warning(this, tr("Kurvendatei ALT laden"),
                             tr("Die Datei %1 kann nicht geladen werden.")
                                     .arg(QDir::toNativeSeparators(record.description)) +
                                 QLatin1Char('\n') + reason);
        }
        return false;
    }
    ui->typeLabel->setText(QStringLiteral("Typ: ") + record.curveTypeName);
    ui->oldDescriptionLabel->setText(record.description);
    return true;
}

QString ConverterWindow::chooseOldCurve()
{
    SettingsFile settings(QStringLiteral("ZOR5"));
    const QString start =
        QDir(settings.value(QStringLiteral("kurvenpath_alt"), QDir::homePath()).toString())
            .absolutePath();
    return Platform::storedName(dialogs->openFileName(this, tr("ZOR Kurve ALT laden", "FileDialog"),
                                                      start,
                                                      tr("ZOR Kurvendatei (*.hfd)", "FileDialog")));
}

int ConverterWindow::readOldCurve(const QString &fileName, QString &reason)
{
    record.description.clear();
    if (fileName.isEmpty())
        return 1;
    const OldCurveFile::Result result = OldCurveFile::openOldCurve(fileName, record);
    SettingsFile(QStringLiteral("ZOR5"))
        .setValue(QStringLiteral("kurvenpath_alt"), folderToRemember(fileName));
    if (!result.ok())
        reason = result.reason();
    return result.versionCode;
}

QStringList ConverterWindow::saveNewCurve()
{
    SettingsFile settings(SettingsPlace::application());
    const QString start = settings.value(QStringLiteral("kurvenpath"), QDir::homePath()).toString();
    const QString description = ui->descriptionEdit->toPlainText();
    const QString proposal = safeFileName(description.isEmpty() ? timestamp() : description);
    const QString chosen = Platform::storedName(dialogs->saveFileName(
        this, tr("ZOR2.0 Kurven-Datei speichern", "FileDialog"), QDir(start).filePath(proposal),
        tr("ZOR2.0 Kurven-Datei (*.z2k)", "FileDialog")));
    if (chosen.isEmpty())
        return {};

    // Both files or neither, as the batch mode writes them.
    const NewCurveFile::Result result =
        NewCurveFile::saveNewCurveAllOrNone(NewCurveFile::basisName(chosen), description, record);
    settings.setValue(QStringLiteral("kurvenpath"), folderToRemember(result.lastFile));
    if (!result.ok()) {
        dialogs->warning(this, tr("Kurvendatei speichern"),
                         tr("Die Datei %1 konnte nicht geschrieben werden.")
                                 .arg(QDir::toNativeSeparators(result.failed.constFirst())) +
                             QLatin1Char('\n') + result.reasons.constFirst());
    }
    return result.written;
}
