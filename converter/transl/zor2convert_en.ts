<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>BatchMode</name>
    <message>
        <source>Impedanzkurve, kann nicht umgewandelt werden</source>
        <translation>impedance curve, cannot be converted</translation>
    </message>
    <message>
        <source>die Ausgabedatei %1 wurde in diesem Lauf schon geschrieben</source>
        <translation>the output file %1 was already written in this run</translation>
    </message>
    <message>
        <source>die Standardausgabe kann nicht geschrieben werden</source>
        <translation>standard output cannot be written</translation>
    </message>
    <message>
        <source>der Ausgabeordner %1 kann nicht angelegt werden: %2</source>
        <translation>the output folder %1 cannot be made: %2</translation>
    </message>
    <message>
        <source>die Ausgabedatei %1 wuerde eine Eingabe dieses Laufs ersetzen</source>
        <translation>the output file %1 would replace an input of this run</translation>
    </message>
    <message>
        <source>das Bild %1 kann nicht erzeugt werden</source>
        <translation>the picture %1 cannot be made</translation>
    </message>
    <message>
        <source>die Ausgabedatei %1 kann nicht geschrieben werden: %2</source>
        <translation>the output file %1 cannot be written: %2</translation>
    </message>
    <message>
        <source>%1: keine Uebersetzung geladen; eine Datei dieses Namens wandelt zor2conv --convert -- %1 um</source>
        <translation>%1: no translation loaded; a file of that name is converted by zor2conv --convert -- %1</translation>
    </message>
    <message>
        <source>ohne Fenster umwandeln: zor2conv --convert DATEI.hfd</source>
        <translation>to convert without a window: zor2conv --convert FILE.hfd</translation>
    </message>
    <message>
        <source>in den Ausgabeordner %1 kann nichts geschrieben werden: %2</source>
        <translation>nothing can be written into the output folder %1: %2</translation>
    </message>
    <message>
        <source>durch Signal %1 abgebrochen, %2 von %3 Eingaben bearbeitet</source>
        <translation>stopped by signal %1, %2 of %3 inputs handled</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>kein Bildschirm gefunden (DISPLAY und WAYLAND_DISPLAY sind leer); %1</source>
        <translation>no display found (DISPLAY and WAYLAND_DISPLAY are empty); %1</translation>
    </message>
</context>
<context>
    <name>ConverterOptions</name>
    <message>
        <source>%1: das Fenster oeffnet nur eine alte Kurvendatei; mehrere wandelt zor2conv --convert um</source>
        <translation>%1: the window opens one old curve file only; zor2conv --convert converts several</translation>
    </message>
    <message>
        <source>%1 ist zweimal angegeben</source>
        <translation>%1 is given twice</translation>
    </message>
    <message>
        <source>schreibt hinter jede neue Kurvendatei ihre Marken:
Minimum oder Maximum, Bandbreite (SWV &lt;= 2, -3 dB)</source>
        <translation>writes each new curve file&apos;s markers behind its name:
minimum or maximum, bandwidth (SWR &lt;= 2, -3 dB)</translation>
    </message>
    <message>
        <source>schreibt je Eingabe auch NAME.csv fuer Tabellenprogramme
(Semikolon, Dezimalkomma)</source>
        <translation>also writes NAME.csv for each input, for spreadsheets
(semicolons, decimal commas)</translation>
    </message>
    <message>
        <source>keine Eingabedatei angegeben</source>
        <translation>no input file given</translation>
    </message>
    <message>
        <source>unbekannte Option %1</source>
        <translation>unknown option %1</translation>
    </message>
    <message>
        <source>--output-dir braucht einen Ordner</source>
        <translation>--output-dir needs a folder</translation>
    </message>
    <message>
        <source>%1: diese Option nimmt keinen Wert</source>
        <translation>%1: this option takes no value</translation>
    </message>
    <message>
        <source>%1 gilt nur zusammen mit --convert</source>
        <translation>%1 only goes with --convert</translation>
    </message>
    <message>
        <source>leeres Argument statt eines Dateinamens oder einer Option</source>
        <translation>empty argument instead of a file name or an option</translation>
    </message>
    <message>
        <source>%1 braucht einen Wert</source>
        <translation>%1 needs a value</translation>
    </message>
    <message>
        <source>schreibt die neuen Dateien nach ORDNER (wird angelegt)</source>
        <translation>writes the new files into FOLDER (created when missing)</translation>
    </message>
    <message>
        <source>ORDNER</source>
        <translation>FOLDER</translation>
    </message>
    <message>
        <source>schreibt je Eingabe auch NAME.png, ein Bild beider Kanaele
(1200 x 800 Pixel)</source>
        <translation>also writes NAME.png for each input, a picture of both
channels (1200 x 800 pixels)</translation>
    </message>
    <message>
        <source>gibt die Diagnosezeilen aus</source>
        <translation>prints the diagnostic lines</translation>
    </message>
    <message>
        <source>-l&lt;Sprache&gt;</source>
        <translation>-l&lt;language&gt;</translation>
    </message>
    <message>
        <source>laedt eine Uebersetzung, zum Beispiel -len</source>
        <translation>loads a translation, for example -len</translation>
    </message>
    <message>
        <source>alle folgenden Woerter sind Dateien, auch wenn sie
mit - beginnen: zor2conv --convert -- -lauf.hfd</source>
        <translation>every following word is a file, even when it starts
with -: zor2conv --convert -- -lauf.hfd</translation>
    </message>
    <message>
        <source>zeigt die Version</source>
        <translation>shows the version</translation>
    </message>
    <message>
        <source>zeigt diese Hilfe</source>
        <translation>shows this help</translation>
    </message>
    <message>
        <source>Aufruf: zor2conv --convert DATEI.hfd [DATEI.hfd ...] [--output-dir ORDNER] [--png]
                [--csv] [--markers] [--verbose]
        zor2conv [-l&lt;Sprache&gt;] [DATEI.hfd] [KURVE.z2k ...]
                (oeffnet das Fenster, mit der alten Datei; neue Kurvendateien
                zum Vergleich in der Vorschau)

Wandelt alte Kurvendateien (.hfd) ohne Fenster in Kurvendateien des neuen
Formats um: je Eingabe NAME.z2k (Kanal 1) und NAME_2.z2k (Kanal 2), im Ordner
der Eingabe oder in ORDNER. Vorhandene Dateien gleichen Namens werden ersetzt.

</source>
        <translation>Usage: zor2conv --convert FILE.hfd [FILE.hfd ...] [--output-dir FOLDER] [--png]
               [--csv] [--markers] [--verbose]
       zor2conv [-l&lt;language&gt;] [FILE.hfd] [CURVE.z2k ...]
               (opens the window, with the old file; new curve files
               for comparison in the preview)

Converts old curve files (.hfd) into curve files of the new format without a
window: for each input NAME.z2k (channel 1) and NAME_2.z2k (channel 2), in the
input&apos;s folder or in FOLDER. Existing files of the same name are replaced.

</translation>
    </message>
    <message>
        <source>
Exit-Status: 0 alle Eingaben umgewandelt, 1 mindestens eine nicht, 2 falscher Aufruf.</source>
        <translation>
Exit status: 0 every input converted, 1 at least one not, 2 wrong call.</translation>
    </message>
</context>
<context>
    <name>FileCause</name>
    <message>
        <source>nicht gefunden</source>
        <translation>not found</translation>
    </message>
    <message>
        <source>keine Berechtigung</source>
        <translation>no permission</translation>
    </message>
    <message>
        <source>das Dateisystem ist nur lesbar</source>
        <translation>the file system is read-only</translation>
    </message>
    <message>
        <source>der Datentraeger ist voll</source>
        <translation>the disk is full</translation>
    </message>
    <message>
        <source>die Datei wuerde groesser als erlaubt</source>
        <translation>the file would grow beyond the allowed size</translation>
    </message>
    <message>
        <source>der Name ist zu lang fuer das Dateisystem</source>
        <translation>the name is too long for the file system</translation>
    </message>
    <message>
        <source>ein Teil des Pfads ist kein Ordner</source>
        <translation>a part of the path is not a folder</translation>
    </message>
    <message>
        <source>ein Ordner dieses Namens ist im Weg</source>
        <translation>a folder of that name is in the way</translation>
    </message>
    <message>
        <source>Ein-/Ausgabefehler des Datentraegers</source>
        <translation>input/output error of the disk</translation>
    </message>
    <message>
        <source>Datei nicht gefunden</source>
        <translation>file not found</translation>
    </message>
    <message>
        <source>keine gewoehnliche Datei</source>
        <translation>not a regular file</translation>
    </message>
</context>
<context>
    <name>ChannelConversion</name>
    <message>
        <source>keine Messpunkte</source>
        <translation>no measuring points</translation>
    </message>
    <message>
        <source>Punkt %1: Frequenz nicht darstellbar</source>
        <translation>point %1: frequency cannot be represented</translation>
    </message>
    <message>
        <source>Kanal %1, Punkt %2: Wert nicht darstellbar</source>
        <translation>channel %1, point %2: value cannot be represented</translation>
    </message>
</context>
<context>
    <name>FileWriter</name>
    <message>
        <source>der Ordner ist nicht vorhanden</source>
        <translation>the folder does not exist</translation>
    </message>
    <message>
        <source>der Ordner %1 ist nicht vorhanden</source>
        <translation>the folder %1 does not exist</translation>
    </message>
    <message>
        <source>die Verknuepfung %1 gehoert einem anderen Benutzer und wird nicht verfolgt</source>
        <translation>the link %1 belongs to another user and is not followed</translation>
    </message>
    <message>
        <source>die Verknuepfungen bilden eine Schleife</source>
        <translation>the links form a loop</translation>
    </message>
    <message>
        <source>dort ist eine FIFO (benannte Pipe), keine gewoehnliche Datei</source>
        <translation>a FIFO (named pipe) is there, not a regular file</translation>
    </message>
    <message>
        <source>dort ist ein Geraet, keine gewoehnliche Datei</source>
        <translation>a device is there, not a regular file</translation>
    </message>
    <message>
        <source>dort ist ein Socket, keine gewoehnliche Datei</source>
        <translation>a socket is there, not a regular file</translation>
    </message>
    <message>
        <source>dort ist keine gewoehnliche Datei</source>
        <translation>what is there is not a regular file</translation>
    </message>
    <message>
        <source>sie fuehrt zur selben Datei wie %1</source>
        <translation>it leads to the same file as %1</translation>
    </message>
</context>
<context>
    <name>OldCurveFile</name>
    <message>
        <source>Audio-Kennung</source>
        <translation>audio marker</translation>
    </message>
    <message>
        <source>Startfrequenz</source>
        <translation>start frequency</translation>
    </message>
    <message>
        <source>Frequenzschrittweite</source>
        <translation>frequency step width</translation>
    </message>
    <message>
        <source>Anzahl der Frequenzschritte</source>
        <translation>number of frequency steps</translation>
    </message>
    <message>
        <source>Faktor Kanal 1</source>
        <translation>channel 1 scale</translation>
    </message>
    <message>
        <source>Offset Kanal 1</source>
        <translation>channel 1 offset</translation>
    </message>
    <message>
        <source>Faktor Kanal 2</source>
        <translation>channel 2 scale</translation>
    </message>
    <message>
        <source>Offset Kanal 2</source>
        <translation>channel 2 offset</translation>
    </message>
    <message>
        <source>Kurvenart</source>
        <translation>curve kind</translation>
    </message>
    <message>
        <source>SAV-Angaben</source>
        <translation>SAV settings</translation>
    </message>
    <message>
        <source>Kanal %1, Messwert %2 von %3</source>
        <translation>channel %1, sample %2 of %3</translation>
    </message>
    <message>
        <source>Beschriftung</source>
        <translation>label</translation>
    </message>
    <message>
        <source>Korrekturtabelle %1, Wert %2 von %3</source>
        <translation>correction table %1, value %2 of %3</translation>
    </message>
    <message>
        <source>keine Leseberechtigung</source>
        <translation>no permission to read</translation>
    </message>
    <message>
        <source>Datei kann nicht gelesen werden: %1</source>
        <translation>file cannot be read: %1</translation>
    </message>
    <message>
        <source>die Verknuepfung zeigt auf keine vorhandene Datei</source>
        <translation>the link points to no existing file</translation>
    </message>
    <message>
        <source>ist ein Ordner, keine Datei</source>
        <translation>is a folder, not a file</translation>
    </message>
    <message>
        <source>ist eine FIFO (benannte Pipe), keine Datei</source>
        <translation>is a FIFO (named pipe), not a file</translation>
    </message>
    <message>
        <source>ist ein Geraet, keine Datei</source>
        <translation>is a device, not a file</translation>
    </message>
    <message>
        <source>ist ein Socket, keine Datei</source>
        <translation>is a socket, not a file</translation>
    </message>
    <message>
        <source>Datei zu gross (%1 Bytes, hoechstens %2 MB)</source>
        <translation>file too large (%1 bytes, at most %2 MB)</translation>
    </message>
    <message>
        <source>keine Kurvendatei im alten Format</source>
        <translation>not a curve file of the old format</translation>
    </message>
    <message>
        <source>zu viele Frequenzschritte (hoechstens 9999)</source>
        <translation>too many frequency steps (at most 9999)</translation>
    </message>
    <message>
        <source>negative Anzahl der Frequenzschritte (%1)</source>
        <translation>negative number of frequency steps (%1)</translation>
    </message>
    <message>
        <source>unbekannte Kurvenart</source>
        <translation>unknown curve kind</translation>
    </message>
    <message>
        <source>das Feld &quot;%1&quot; enthaelt keine gueltige Zahl: &quot;%2&quot;</source>
        <translation>the field &quot;%1&quot; holds no valid number: &quot;%2&quot;</translation>
    </message>
    <message>
        <source>Datei endet vorzeitig, es fehlt: %1</source>
        <translation>file ends early, missing: %1</translation>
    </message>
</context>
<context>
    <name>ConverterWindow</name>
    <message>
        <source>... und %1 weitere</source>
        <translation>... and %1 more</translation>
    </message>
    <message>
        <source>Diese Dateien koennen nicht angezeigt werden:</source>
        <translation>These files cannot be shown:</translation>
    </message>
    <message>
        <source>Kurve NEU anzeigen</source>
        <translation>Show NEW curve</translation>
    </message>
    <message>
        <source>ZOR2.0 Kurven-Datei anzeigen</source>
        <comment>FileDialog</comment>
        <translation>Show ZOR2.0 curve file</translation>
    </message>
    <message>
        <source>&amp;Zuletzt geoeffnet</source>
        <translation>&amp;Recently opened</translation>
    </message>
    <message>
        <source>Kurve &amp;NEU anzeigen...</source>
        <translation>Show &amp;NEW curve...</translation>
    </message>
    <message>
        <source>zor2conv</source>
        <translation>zor2conv</translation>
    </message>
    <message>
        <source>Kurvendatei alt ZOR01 Format</source>
        <translation>Old curve file, ZOR01 format</translation>
    </message>
    <message>
        <source>&amp;Kurvendatei ALT oeffnen</source>
        <translation>Open OLD &amp;curve file</translation>
    </message>
    <message>
        <source>Kon&amp;vertieren</source>
        <translation>Con&amp;vert</translation>
    </message>
    <message>
        <source>Kurve Typ</source>
        <translation>Curve type</translation>
    </message>
    <message>
        <source>Kurve Beschreibung:</source>
        <translation>Curve description:</translation>
    </message>
    <message>
        <source>Kurvendatei neu ZOR2.0 Format</source>
        <translation>New curve file, ZOR2.0 format</translation>
    </message>
    <message>
        <source> &amp;Speichern neues Format</source>
        <translation> &amp;Save in new format</translation>
    </message>
    <message>
        <source>Kurve Beschreibung und default Dateiname:</source>
        <translation>Curve description and default file name:</translation>
    </message>
    <message>
        <source>&amp;Datei</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>&amp;Beenden</source>
        <translation>&amp;Quit</translation>
    </message>
    <message>
        <source>Kurvendatei ALT &amp;oeffnen...</source>
        <translation>&amp;Open OLD curve file...</translation>
    </message>
    <message>
        <source>&amp;Speichern neues Format...</source>
        <translation>&amp;Save in new format...</translation>
    </message>
    <message>
        <source>Gespeichert: %1</source>
        <translation>Saved: %1</translation>
    </message>
    <message>
        <source>Kurvendatei konvertieren</source>
        <translation>Convert curve file</translation>
    </message>
    <message>
        <source>Die Kurvendatei kann nicht umgewandelt werden: %1</source>
        <translation>The curve file cannot be converted: %1</translation>
    </message>
    <message>
        <source>Wobbel-Kurve-logarithmisch</source>
        <translation>Sweep-curve-logarithmic</translation>
    </message>
    <message>
        <source>SWV-Kurve</source>
        <translation>SWR-curve</translation>
    </message>
    <message>
        <source>Wobbel-Kurve-Linear</source>
        <translation>Sweep-curve-linear</translation>
    </message>
    <message>
        <source>SWV-Antenne-Kurve</source>
        <translation>SWR-antenna-curve</translation>
    </message>
    <message>
        <source>Impedanz-Kurve</source>
        <translation>Impedance-curve</translation>
    </message>
    <message>
        <source>SAV-Kurve</source>
        <translation>SAV-curve</translation>
    </message>
    <message>
        <source>Wobbel-Kurve-Audio_NF</source>
        <translation>Sweep-curve-audio_AF</translation>
    </message>
    <message>
        <source>&lt;b&gt;Beschreibung der Wobbelkurve&lt;/b&gt;&lt;br&gt;-----------------------------&lt;br&gt;Dieser Text wird generiert aus&lt;br&gt;&lt;b&gt;Path + Dateiname + Kurvenbeschreibung&lt;/b&gt;&lt;br&gt;Das ist die neue Vorgabe der Beschreibung.&lt;br&gt;Aus diesem Text wird auch der Dateiname&lt;br&gt;generiert.&lt;br&gt;&lt;b&gt;Es ist also ratsam diesen Text zu&lt;br&gt;editieren!!&lt;/b&gt;&lt;br&gt;Es entstehen 2 Dateien, da die alte Datei&lt;br&gt;2 Kurven beinhaltet.</source>
        <comment>tooltip text</comment>
        <translation>&lt;b&gt;Description of the sweep curve&lt;/b&gt;&lt;br&gt;-----------------------------&lt;br&gt;This text is made from&lt;br&gt;&lt;b&gt;path + file name + curve description&lt;/b&gt;&lt;br&gt;It is the new default description.&lt;br&gt;The file name is made from this text&lt;br&gt;as well.&lt;br&gt;&lt;b&gt;So it is a good idea to&lt;br&gt;edit this text!!&lt;/b&gt;&lt;br&gt;2 files are made, because the old file&lt;br&gt;holds 2 curves.</translation>
    </message>
    <message>
        <source>&lt;b&gt;Konvertierung der Kurven&lt;/b&gt;&lt;br&gt;-----------------------------&lt;br&gt;In der Datei im alten Format&lt;br&gt;sind 2 Kurven enthalten. Die Kurve&lt;br&gt;vom Kanal 1 und die Kurve vom Kanal 2.&lt;br&gt;Da das neue Format pro Datei nur eine&lt;br&gt;Kurve beinhaltet entstehen beim Konvertieren&lt;br&gt;und anschliessenden &quot;Speichern&quot; 2 Dateien&lt;br&gt;im neuen Format.&lt;br&gt;</source>
        <comment>tooltip text</comment>
        <translation>&lt;b&gt;Conversion of the curves&lt;/b&gt;&lt;br&gt;-----------------------------&lt;br&gt;A file in the old format&lt;br&gt;holds 2 curves: the curve&lt;br&gt;of channel 1 and the curve of channel 2.&lt;br&gt;As the new format holds only one&lt;br&gt;curve per file, converting&lt;br&gt;and then &quot;Save&quot; make 2 files&lt;br&gt;in the new format.&lt;br&gt;</translation>
    </message>
    <message>
        <source>Kurve Typ:</source>
        <translation>Curve type:</translation>
    </message>
    <message>
        <source>Kurvendatei Impedanz</source>
        <comment>Kurvendatei laden</comment>
        <translation>Impedance curve file</translation>
    </message>
    <message>
        <source>&lt;B&gt;Kurvendatei ist eine Impedanzkurve! &lt;/B&gt;&lt;BR&gt;Diese Kurvendateien k&amp;ouml;nnen leider nicht&lt;BR&gt;umgewandelt werden.</source>
        <comment>Kurvendatei laden</comment>
        <translation>&lt;B&gt;The curve file is an impedance curve! &lt;/B&gt;&lt;BR&gt;Sorry, such curve files cannot&lt;BR&gt;be converted.</translation>
    </message>
    <message>
        <source>ZOR Kurve ALT laden</source>
        <comment>FileDialog</comment>
        <translation>Load OLD ZOR curve</translation>
    </message>
    <message>
        <source>ZOR Kurvendatei (*.hfd)</source>
        <comment>FileDialog</comment>
        <translation>ZOR curve file (*.hfd)</translation>
    </message>
    <message>
        <source>ZOR2.0 Kurven-Datei speichern</source>
        <comment>FileDialog</comment>
        <translation>Save ZOR2.0 curve file</translation>
    </message>
    <message>
        <source>ZOR2.0 Kurven-Datei (*.z2k)</source>
        <comment>FileDialog</comment>
        <translation>ZOR2.0 curve file (*.z2k)</translation>
    </message>
    <message>
        <source>Kurvendatei speichern</source>
        <translation>Save curve file</translation>
    </message>
    <message>
        <source>Die Datei %1 konnte nicht geschrieben werden.</source>
        <translation>The file %1 could not be written.</translation>
    </message>
    <message>
        <source>Kurvendatei ALT laden</source>
        <translation>Load OLD curve file</translation>
    </message>
    <message>
        <source>Die Datei %1 kann nicht geladen werden.</source>
        <translation>The file %1 cannot be loaded.</translation>
    </message>
    <message>
        <source>&amp;Ansicht</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>&amp;Kurvenvorschau</source>
        <translation>Curve &amp;preview</translation>
    </message>
    <message>
        <source>Konvertierte Kurve</source>
        <translation>Converted curve</translation>
    </message>
    <message>
        <source>Die konvertierte Kurve ist noch nicht gespeichert. Soll sie gespeichert werden?</source>
        <translation>The converted curve has not been saved yet. Save it?</translation>
    </message>
</context>
<context>
    <name>CurveChart</name>
    <message>
        <source>Wert</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>Kanal 1</source>
        <translation>Channel 1</translation>
    </message>
    <message>
        <source>Kanal 2</source>
        <translation>Channel 2</translation>
    </message>
    <message>
        <source>Frequenz (MHz)</source>
        <translation>Frequency (MHz)</translation>
    </message>
    <message>
        <source>SWV</source>
        <translation>SWR</translation>
    </message>
    <message>
        <source>dB</source>
        <translation>dB</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>%1 MHz</source>
        <translation>%1 MHz</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>%1: %2 bis %3 MHz, Werte %4 bis %5</source>
        <translation>%1: %2 to %3 MHz, values %4 to %5</translation>
    </message>
    <message>
        <source>(ausgeblendet)</source>
        <translation>(hidden)</translation>
    </message>
    <message>
        <source>Keine Kurve</source>
        <translation>No curve</translation>
    </message>
</context>
<context>
    <name>CurvePreview</name>
    <message>
        <source>Als CSV speichern</source>
        <translation>Save as CSV</translation>
    </message>
    <message>
        <source>Die Tabelle %1 konnte nicht gespeichert werden.</source>
        <translation>The table %1 could not be saved.</translation>
    </message>
    <message>
        <source>CSV-Tabelle (*.csv)</source>
        <comment>FileDialog</comment>
        <translation>CSV table (*.csv)</translation>
    </message>
    <message>
        <source>Als CSV speichern</source>
        <comment>FileDialog</comment>
        <translation>Save as CSV</translation>
    </message>
    <message>
        <source>&amp;Vergleich entfernen</source>
        <translation>&amp;Remove comparison</translation>
    </message>
    <message>
        <source>Als &amp;CSV speichern...</source>
        <translation>Save as &amp;CSV...</translation>
    </message>
    <message>
        <source>&amp;Bild speichern...</source>
        <translation>Save &amp;picture...</translation>
    </message>
    <message>
        <source>%1 - Kurvenvorschau</source>
        <translation>%1 - Curve preview</translation>
    </message>
    <message>
        <source>Kurvenvorschau</source>
        <translation>Curve preview</translation>
    </message>
    <message>
        <source>Marker der Kurven</source>
        <translation>Markers of the curves</translation>
    </message>
    <message>
        <source>Messwerte: Zeiger auf die Kurve</source>
        <translation>Readings: pointer onto the curve</translation>
    </message>
    <message>
        <source>Kurve</source>
        <translation>curve</translation>
    </message>
    <message>
        <source>Bild speichern</source>
        <comment>FileDialog</comment>
        <translation>Save picture</translation>
    </message>
    <message>
        <source>PNG-Bild (*.png);;SVG-Bild (*.svg)</source>
        <comment>FileDialog</comment>
        <translation>PNG picture (*.png);;SVG picture (*.svg)</translation>
    </message>
    <message>
        <source>Bild speichern</source>
        <translation>Save picture</translation>
    </message>
    <message>
        <source>Das Bild %1 konnte nicht gespeichert werden.</source>
        <translation>The picture %1 could not be saved.</translation>
    </message>
</context>
<context>
    <name>CsvFile</name>
    <message>
        <source>Frequenz (MHz)</source>
        <translation>Frequency (MHz)</translation>
    </message>
    <message>
        <source>dB</source>
        <translation>dB</translation>
    </message>
    <message>
        <source>SWV</source>
        <translation>SWR</translation>
    </message>
    <message>
        <source>Kanal %1 (%2)</source>
        <translation>Channel %1 (%2)</translation>
    </message>
</context>
<context>
    <name>CurveMarkers</name>
    <message>
        <source>das obere Bandende liegt ausserhalb des Sweeps</source>
        <translation>the upper band edge lies outside the sweep</translation>
    </message>
    <message>
        <source>das untere Bandende liegt ausserhalb des Sweeps</source>
        <translation>the lower band edge lies outside the sweep</translation>
    </message>
    <message>
        <source>beide Bandenden liegen ausserhalb des Sweeps</source>
        <translation>both band edges lie outside the sweep</translation>
    </message>
    <message>
        <source>-3 dB von %1 bis %2 MHz (%3)</source>
        <translation>-3 dB from %1 to %2 MHz (%3)</translation>
    </message>
    <message>
        <source>SWV &lt;= 2 von %1 bis %2 MHz (%3)</source>
        <translation>SWR &lt;= 2 from %1 to %2 MHz (%3)</translation>
    </message>
    <message>
        <source>%1 MHz</source>
        <translation>%1 MHz</translation>
    </message>
    <message>
        <source>%1 kHz</source>
        <translation>%1 kHz</translation>
    </message>
    <message>
        <source>kein Bereich mit SWV &lt;= 2</source>
        <translation>no range with SWR &lt;= 2</translation>
    </message>
    <message>
        <source>Maximum %1 dB bei %2 MHz</source>
        <translation>maximum %1 dB at %2 MHz</translation>
    </message>
    <message>
        <source>Minimum %1 SWV bei %2 MHz</source>
        <translation>minimum SWR %1 at %2 MHz</translation>
    </message>
    <message>
        <source>Minimum %1 bei %2 MHz; Maximum %3 bei %4 MHz</source>
        <translation>minimum %1 at %2 MHz; maximum %3 at %4 MHz</translation>
    </message>
    <message>
        <source>keine Messwerte</source>
        <translation>no measured values</translation>
    </message>
</context>
<context>
    <name>NewCurveReader</name>
    <message>
        <source>Datei zu gross (%1 Bytes, hoechstens %2 MB)</source>
        <translation>file too large (%1 bytes, at most %2 MB)</translation>
    </message>
    <message>
        <source>mehr als %1 Punkte</source>
        <translation>more than %1 points</translation>
    </message>
    <message>
        <source>die Frequenz ist kleiner als in der Zeile davor</source>
        <translation>the frequency is lower than in the line before</translation>
    </message>
    <message>
        <source>die Frequenz</source>
        <translation>the frequency</translation>
    </message>
    <message>
        <source>der Wert</source>
        <translation>the value</translation>
    </message>
    <message>
        <source>%1 &quot;%2&quot; ist keine Zahl</source>
        <translation>%1 &quot;%2&quot; is no number</translation>
    </message>
    <message>
        <source>%1 &quot;%2&quot; ist nicht darstellbar</source>
        <translation>%1 &quot;%2&quot; cannot be represented</translation>
    </message>
    <message>
        <source>%1 &quot;%2&quot; ist nicht darstellbar: Zahl zu gross</source>
        <translation>%1 &quot;%2&quot; cannot be represented: number too large</translation>
    </message>
    <message>
        <source>%1 &quot;%2&quot; ist nicht darstellbar: Zahl zu klein</source>
        <translation>%1 &quot;%2&quot; cannot be represented: number too small</translation>
    </message>
    <message>
        <source>die Frequenz ist groesser als in der Zeile davor</source>
        <translation>the frequency is higher than in the line before</translation>
    </message>
    <message>
        <source>die Datei beginnt mit einer UTF-8-Bytereihenfolgemarke (BOM)</source>
        <translation>the file begins with a UTF-8 byte order mark (BOM)</translation>
    </message>
    <message>
        <source>keine Messpunkte</source>
        <translation>no measuring points</translation>
    </message>
    <message>
        <source>mehr als zwei Spalten: &quot;%1&quot;</source>
        <translation>more than two columns: &quot;%1&quot;</translation>
    </message>
    <message>
        <source>&quot;;&quot; zwischen Frequenz und Wert fehlt: &quot;%1&quot;</source>
        <translation>&quot;;&quot; between frequency and value is missing: &quot;%1&quot;</translation>
    </message>
    <message>
        <source>leere Zeile</source>
        <translation>empty line</translation>
    </message>
    <message>
        <source>Zeilenende mit Wagenruecklauf (CR)</source>
        <translation>line ends with a carriage return (CR)</translation>
    </message>
    <message>
        <source>die letzte Zeile endet nicht mit einem Zeilenvorschub; ist die Datei abgeschnitten?</source>
        <translation>the last line does not end with a line feed; was the file cut off?</translation>
    </message>
    <message>
        <source>die erste Zeile beginnt nicht mit &quot;#&quot;</source>
        <translation>the first line does not begin with &quot;#&quot;</translation>
    </message>
    <message>
        <source>die Datei ist leer</source>
        <translation>the file is empty</translation>
    </message>
    <message>
        <source>Zeile %1: %2</source>
        <translation>line %1: %2</translation>
    </message>
</context>
<context>
    <name>CurveView</name>
    <message>
        <source>Kurvendiagramm</source>
        <translation>Curve plot</translation>
    </message>
    <message>
        <source>%1 anzeigen</source>
        <translation>Show %1</translation>
    </message>
    <message>
        <source>%1 auf die linke Achse</source>
        <translation>%1 to the left axis</translation>
    </message>
    <message>
        <source>%1 auf die rechte Achse</source>
        <translation>%1 to the right axis</translation>
    </message>
</context>
<context>
    <name>Dialogs</name>
    <message>
        <source>&amp;Speichern</source>
        <translation>&amp;Save</translation>
    </message>
    <message>
        <source>&amp;Verwerfen</source>
        <translation>&amp;Discard</translation>
    </message>
    <message>
        <source>Abbrechen</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>SettingsFile</name>
    <message>
        <source>sie ist groesser als %1 MB</source>
        <translation>it is larger than %1 MB</translation>
    </message>
    <message>
        <source>sie kann nicht zwischengespeichert werden</source>
        <translation>it cannot be copied for reading</translation>
    </message>
    <message>
        <source>sie ist keine Einstellungsdatei</source>
        <translation>it is not a settings file</translation>
    </message>
    <message>
        <source>Die Einstellungsdatei %1 wird nicht verwendet, es gelten die Voreinstellungen: %2</source>
        <translation>The settings file %1 is not used, the defaults apply: %2</translation>
    </message>
</context>
</TS>
