<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>AppError</name>
    <message>
        <source>the disk is full</source>
        <translation>die Festplatte ist voll</translation>
    </message>
    <message>
        <source>permission was denied</source>
        <translation>der Zugriff wurde verweigert</translation>
    </message>
    <message>
        <source>the file could not be written</source>
        <translation>die Datei konnte nicht geschrieben werden</translation>
    </message>
    <message>
        <source>the folder does not exist</source>
        <translation>der Ordner existiert nicht</translation>
    </message>
</context>
<context>
    <name>DriveVolumes</name>
    <message>
        <source>Removable Drive</source>
        <translation>Wechseldatenträger</translation>
    </message>
    <message>
        <source>Local Hard Drive</source>
        <translation>Lokale Festplatte</translation>
    </message>
    <message>
        <source>Network</source>
        <translation>Netzwerk</translation>
    </message>
    <message>
        <source>CD-ROM</source>
        <translation>CD-ROM</translation>
    </message>
    <message>
        <source>RAM Disk</source>
        <translation>RAM-Disk</translation>
    </message>
    <message>
        <source>Total Space: %1GB</source>
        <translation>Gesamt: %1 GB</translation>
    </message>
    <message>
        <source>Free Space: %1GB</source>
        <translation>Frei: %1 GB</translation>
    </message>
</context>
<context>
    <name>ErrorLog</name>
    <message>
        <source>Jottex cannot write to its data folder, %1, because %2.</source>
        <translation>Jottex kann nicht in seinen Datenordner %1 schreiben, denn %2.</translation>
    </message>
    <message>
        <source>

Until it can, changes to your notes may not be kept. Free some space on that disk or make the folder writable.</source>
        <translation>

Bis dahin gehen Änderungen an Ihren Notizen möglicherweise verloren. Geben Sie Speicherplatz auf diesem Datenträger frei oder machen Sie den Ordner beschreibbar.</translation>
    </message>
    <message>
        <source>

Until it can, your open notes are kept in %1 and come back at the next start. Free some space on that disk or make the folder writable.</source>
        <translation>

Bis dahin werden Ihre geöffneten Notizen in %1 aufbewahrt und beim nächsten Start wiederhergestellt. Geben Sie Speicherplatz auf diesem Datenträger frei oder machen Sie den Ordner beschreibbar.</translation>
    </message>
</context>
<context>
    <name>LiveText</name>
    <message>
        <source>%L1 lines, %L2 characters and words of %L3 characters</source>
        <translation>%L1 Zeilen, %L2 Zeichen und Wörter von %L3 Zeichen Länge</translation>
    </message>
</context>
<context>
    <name>MemoryFigures</name>
    <message>
        <source>Total Physical: %1</source>
        <translation>RAM gesamt: %1</translation>
    </message>
    <message>
        <source>Available Physical: %1</source>
        <translation>RAM verfügbar: %1</translation>
    </message>
    <message>
        <source>Total Memory: %1</source>
        <translation>Speicher gesamt: %1</translation>
    </message>
    <message>
        <source>Available Memory: %1</source>
        <translation>Speicher verfügbar: %1</translation>
    </message>
    <message>
        <source>Percent Free: %1%</source>
        <translation>Frei: %1 %</translation>
    </message>
</context>
<context>
    <name>NetworkNoteText</name>
    <message>
        <source>(The feed holds %L1 items; the note shows its first %L2.)</source>
        <translation>(Der Feed enthält %L1 Einträge; die Notiz zeigt die ersten %L2.)</translation>
    </message>
    <message>
        <source>Stock Symbol: %1</source>
        <translation>Aktiensymbol: %1</translation>
    </message>
    <message>
        <source>...no feed could be loaded. Re-attempting connection in 2min.</source>
        <translation>...der Feed konnte nicht geladen werden. Neuer Verbindungsversuch in 2 Minuten.</translation>
    </message>
    <message>
        <source>error looking up symbol</source>
        <translation>Fehler beim Nachschlagen des Symbols</translation>
    </message>
    <message>
        <source>Trade</source>
        <translation>Handelszeit</translation>
    </message>
    <message>
        <source>Last Price</source>
        <translation>Letzter Kurs</translation>
    </message>
    <message>
        <source>Change</source>
        <translation>Veränderung</translation>
    </message>
    <message>
        <source>Open Price</source>
        <translation>Eröffnungskurs</translation>
    </message>
    <message>
        <source>Low Price</source>
        <translation>Tiefstkurs</translation>
    </message>
    <message>
        <source>High Price</source>
        <translation>Höchstkurs</translation>
    </message>
</context>
<context>
    <name>Pictures</name>
    <message>
        <source>%1 MB a picture and %2 MB a note</source>
        <translation>%1 MB je Bild und %2 MB je Notiz</translation>
    </message>
</context>
<context>
    <name>frmAlert</name>
    <message>
        <source>Alert Message</source>
        <translation>Erinnerung</translation>
    </message>
    <message>
        <source>The time on your reminder note has expired</source>
        <translation>Die Zeit Ihrer Erinnerungsnotiz ist abgelaufen</translation>
    </message>
</context>
<context>
    <name>frmInputBox</name>
    <message>
        <source>&amp;Ok</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
</context>
<context>
    <name>frmInputBoxDT</name>
    <message>
        <source>&amp;Ok</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
</context>
<context>
    <name>frmSpellCheck</name>
    <message>
        <source>&amp;Ignore</source>
        <translation>&amp;Ignorieren</translation>
    </message>
    <message>
        <source>I&amp;gnore All</source>
        <translation>Alle i&amp;gnorieren</translation>
    </message>
    <message>
        <source>&amp;Add</source>
        <translation>&amp;Hinzufügen</translation>
    </message>
    <message>
        <source>&amp;Change</source>
        <translation>Ä&amp;ndern</translation>
    </message>
    <message>
        <source>Change A&amp;ll</source>
        <translation>A&amp;lle ändern</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Not in dictionary:</source>
        <translation>Nicht im Wörterbuch:</translation>
    </message>
    <message>
        <source>Change &amp;to:</source>
        <translation>Än&amp;dern in:</translation>
    </message>
    <message>
        <source>&amp;Suggestions:</source>
        <translation>&amp;Vorschläge:</translation>
    </message>
    <message>
        <source>Check Spelling</source>
        <translation>Rechtschreibprüfung</translation>
    </message>
</context>
<context>
    <name>modNote</name>
    <message>
        <source>Select a file: </source>
        <translation>Datei auswählen: </translation>
    </message>
    <message>
        <source>Jottex Note (*.not)</source>
        <translation>Jottex-Notiz (*.not)</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>%1<byte value="xd"/>
File not found.<byte value="xd"/>
Check the file name and try again.</source>
        <translation>%1<byte value="xd"/>
Datei nicht gefunden.<byte value="xd"/>
Überprüfen Sie den Dateinamen und versuchen Sie es erneut.</translation>
    </message>
</context>
<context>
    <name>modSpecialNote</name>
    <message>
        <source>Time: </source>
        <translation>Uhrzeit: </translation>
    </message>
    <message>
        <source>Memory:</source>
        <translation>Arbeitsspeicher:</translation>
    </message>
    <message>
        <source>Drive(s):</source>
        <translation>Laufwerk(e):</translation>
    </message>
</context>
</TS>
