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
    <name>CaptionStrip</name>
    <message>
        <source>Note menu</source>
        <translation>Notizmenü</translation>
    </message>
    <message>
        <source>Note menu, reminder due</source>
        <translation>Notizmenü, Erinnerung fällig</translation>
    </message>
    <message>
        <source>Note menu, reminder set</source>
        <translation>Notizmenü, Erinnerung gestellt</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>Display help</source>
        <translation>Hilfe anzeigen</translation>
    </message>
    <message>
        <source>Close note</source>
        <translation>Notiz schließen</translation>
    </message>
    <message>
        <source>Closes the note</source>
        <translation>Schließt die Notiz</translation>
    </message>
    <message>
        <source>Opens the note&apos;s menu</source>
        <translation>Öffnet das Menü der Notiz</translation>
    </message>
    <message>
        <source>Right-click for options</source>
        <translation>Rechtsklick für Optionen</translation>
    </message>
    <message>
        <source>Another computer changed this note at the same time as this one. This is its version; the other note keeps this computer&apos;s.</source>
        <translation>Ein anderer Computer hat diese Notiz zur selben Zeit geändert wie dieser. Dies ist seine Fassung; die andere Notiz behält die dieses Computers.</translation>
    </message>
    <message>
        <source>Conflict Copy</source>
        <translation>Konfliktkopie</translation>
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
    <name>FolderNotes</name>
    <message>
        <source>Jottex cannot write to the notes folder %1, because %2.

Your notes stay open and are kept as before; they are written to the folder as soon as it can take them again.</source>
        <translation>Jottex kann nicht in den Notizordner %1 schreiben, denn %2.

Ihre Notizen bleiben geöffnet und werden wie bisher aufbewahrt; sie werden in den Ordner geschrieben, sobald er sie wieder aufnehmen kann.</translation>
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
    <name>NoteEditor</name>
    <message>
        <source>Jottex keeps sticky notes on your desktop.<byte value="xd"/>
Right-click a note for its menus: formatting, colours, special notes and more.<byte value="xd"/>
Notes are saved as .not files, and open notes come back after you log off and on.</source>
        <translation>Jottex hält Haftnotizen auf Ihrer Arbeitsfläche bereit.<byte value="xd"/>
Ein Rechtsklick auf eine Notiz öffnet ihre Menüs: Formatierung, Farben, Spezialnotizen und mehr.<byte value="xd"/>
Notizen werden als .not-Dateien gespeichert, und offene Notizen kommen wieder, wenn Sie sich ab- und wieder anmelden.</translation>
    </message>
    <message>
        <source>larger than a note holds (%1, at 4 bytes a pixel)</source>
        <translation>größer, als eine Notiz fasst (%1, bei 4 Byte je Pixel)</translation>
    </message>
    <message>
        <source>it is larger than 10 MB</source>
        <translation>sie ist größer als 10 MB</translation>
    </message>
    <message>
        <source>it is a picture %1</source>
        <translation>sie ist ein Bild und %1</translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation>das ist ein Ordner</translation>
    </message>
    <message>
        <source>it could not be read</source>
        <translation>sie konnte nicht gelesen werden</translation>
    </message>
    <message>
        <source>it is not a text file</source>
        <translation>sie ist keine Textdatei</translation>
    </message>
    <message>
        <source>it is longer than a note shows (%1)</source>
        <translation>sie ist länger, als eine Notiz anzeigt (%1)</translation>
    </message>
    <message>
        <source>The text was not pasted: the note would be longer than a note shows (%1).</source>
        <translation>Der Text wurde nicht eingefügt: Die Notiz wäre länger, als eine Notiz anzeigt (%1).</translation>
    </message>
    <message>
        <source>The picture was not pasted: it is %1.</source>
        <translation>Das Bild wurde nicht eingefügt: Es ist %1.</translation>
    </message>
    <message>
        <source>this note shows only its start and cannot be changed here</source>
        <translation>diese Notiz zeigt nur ihren Anfang und kann hier nicht geändert werden</translation>
    </message>
    <message>
        <source>%1 was loaded without %2 of its pictures: %3.</source>
        <translation>%1 wurde ohne %2 der enthaltenen Bilder geladen; sie sind %3.</translation>
    </message>
    <message>
        <source>%1 was not loaded: %2.</source>
        <translation>Die Datei %1 wurde nicht geladen: %2.</translation>
    </message>
</context>
<context>
    <name>NoteHandoff</name>
    <message>
        <source>Print Error</source>
        <translation>Druckfehler</translation>
    </message>
    <message>
        <source>There was an error printing your Note. Check to make sure your printer is functioning properly</source>
        <translation>Beim Drucken Ihrer Notiz ist ein Fehler aufgetreten. Bitte prüfen Sie, ob Ihr Drucker richtig funktioniert</translation>
    </message>
    <message>
        <source>Spell Check</source>
        <translation>Rechtschreibprüfung</translation>
    </message>
    <message>
        <source>Spell Check has been completed!</source>
        <translation>Die Rechtschreibprüfung ist abgeschlossen!</translation>
    </message>
</context>
<context>
    <name>NoteListModel</name>
    <message>
        <source>Note %1</source>
        <translation>Notiz %1</translation>
    </message>
</context>
<context>
    <name>NoteMenus</name>
    <message>
        <source>Recent</source>
        <translation>Zuletzt geöffnet</translation>
    </message>
    <message>
        <source>Note 1</source>
        <translation>Notiz 1</translation>
    </message>
    <message>
        <source>&amp;New</source>
        <translation>&amp;Neue Notiz</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>Ö&amp;ffnen</translation>
    </message>
    <message>
        <source>Special Note</source>
        <translation>Spezialnotiz</translation>
    </message>
    <message>
        <source>Multi-Note Manager</source>
        <translation>Notizverwaltung</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>Speichern unter</translation>
    </message>
    <message>
        <source>Append To</source>
        <translation>Anhängen an</translation>
    </message>
    <message>
        <source>Email Content</source>
        <translation>Inhalt per E-Mail senden</translation>
    </message>
    <message>
        <source>&amp;Print</source>
        <translation>&amp;Drucken</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>&amp;Einfügen</translation>
    </message>
    <message>
        <source>Paste Plain Text</source>
        <translation>Als reinen Text einfügen</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Rückgängig</translation>
    </message>
    <message>
        <source>Clear All</source>
        <translation>Alles löschen</translation>
    </message>
    <message>
        <source>Insert Special</source>
        <translation>Spezielles einfügen</translation>
    </message>
    <message>
        <source>Date / Time Stamp</source>
        <translation>Datums-/Zeitstempel</translation>
    </message>
    <message>
        <source>Date / Time</source>
        <translation>Datum / Uhrzeit</translation>
    </message>
    <message>
        <source>Date (long)</source>
        <translation>Datum (lang)</translation>
    </message>
    <message>
        <source>Date (short)</source>
        <translation>Datum (kurz)</translation>
    </message>
    <message>
        <source>Degree</source>
        <translation>Grad</translation>
    </message>
    <message>
        <source>Copyright</source>
        <translation>Copyright</translation>
    </message>
    <message>
        <source>Ellipsis</source>
        <translation>Auslassungspunkte</translation>
    </message>
    <message>
        <source>Registered Trademark</source>
        <translation>Eingetragene Marke</translation>
    </message>
    <message>
        <source>Pound</source>
        <translation>Pfund</translation>
    </message>
    <message>
        <source>Check Spelling</source>
        <translation>Rechtschreibung prüfen</translation>
    </message>
    <message>
        <source>Content Options</source>
        <translation>Inhaltsoptionen</translation>
    </message>
    <message>
        <source>Font</source>
        <translation>Schrift</translation>
    </message>
    <message>
        <source>Style</source>
        <translation>Stil</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>Italic</source>
        <translation>Kursiv</translation>
    </message>
    <message>
        <source>Underline</source>
        <translation>Unterstrichen</translation>
    </message>
    <message>
        <source>Bold</source>
        <translation>Fett</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>Small</source>
        <translation>Klein</translation>
    </message>
    <message>
        <source>Medium</source>
        <translation>Mittel</translation>
    </message>
    <message>
        <source>Large</source>
        <translation>Groß</translation>
    </message>
    <message>
        <source>Largest</source>
        <translation>Sehr groß</translation>
    </message>
    <message>
        <source>Color</source>
        <translation>Farbe</translation>
    </message>
    <message>
        <source>Paragraph</source>
        <translation>Absatz</translation>
    </message>
    <message>
        <source>Alignment</source>
        <translation>Ausrichtung</translation>
    </message>
    <message>
        <source>Left</source>
        <translation>Links</translation>
    </message>
    <message>
        <source>Center</source>
        <translation>Zentriert</translation>
    </message>
    <message>
        <source>Right</source>
        <translation>Rechts</translation>
    </message>
    <message>
        <source>Bullets</source>
        <translation>Aufzählungszeichen</translation>
    </message>
    <message>
        <source>Add New</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Remove existing</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>Indent</source>
        <translation>Einzug</translation>
    </message>
    <message>
        <source>Increase</source>
        <translation>Vergrößern</translation>
    </message>
    <message>
        <source>Decrease</source>
        <translation>Verkleinern</translation>
    </message>
    <message>
        <source>Note Options</source>
        <translation>Notizoptionen</translation>
    </message>
    <message>
        <source>Font Family</source>
        <translation>Schriftart</translation>
    </message>
    <message>
        <source>Yellow</source>
        <translation>Gelb</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>Blau</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>Grün</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>Rot</translation>
    </message>
    <message>
        <source>Grey</source>
        <translation>Grau</translation>
    </message>
    <message>
        <source>Peach</source>
        <translation>Pfirsich</translation>
    </message>
    <message>
        <source>Purple</source>
        <translation>Lila</translation>
    </message>
    <message>
        <source>Tang</source>
        <translation>Mandarine</translation>
    </message>
    <message>
        <source>Custom Color</source>
        <translation>Eigene Farbe</translation>
    </message>
    <message>
        <source>Transparency</source>
        <translation>Transparenz</translation>
    </message>
    <message>
        <source>Low</source>
        <translation>Gering</translation>
    </message>
    <message>
        <source>High</source>
        <translation>Hoch</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Aus</translation>
    </message>
    <message>
        <source>Always on Top</source>
        <translation>Immer im Vordergrund</translation>
    </message>
    <message>
        <source>Autosave Note on Close</source>
        <translation>Beim Schließen automatisch speichern</translation>
    </message>
    <message>
        <source>Save New Note on Close</source>
        <translation>Neue Notiz beim Schließen speichern</translation>
    </message>
    <message>
        <source>Save Settings</source>
        <translation>Einstellungen speichern</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Über</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>Ulmar&apos;s Website</source>
        <translation>Ulmars Website</translation>
    </message>
    <message>
        <source>Jottex</source>
        <translation>Jottex</translation>
    </message>
    <message>
        <source>Test</source>
        <translation>Test</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>Minimieren</translation>
    </message>
    <message>
        <source>Default Size</source>
        <translation>Standardgröße</translation>
    </message>
    <message>
        <source>Restore Size</source>
        <translation>Größe wiederherstellen</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Zurücksetzen</translation>
    </message>
    <message>
        <source>Strike-Out</source>
        <translation>Durchgestrichen</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>Email Selection</source>
        <translation>Auswahl per E-Mail senden</translation>
    </message>
    <message>
        <source>Cut</source>
        <translation>Ausschneiden</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Einfügen</translation>
    </message>
    <message>
        <source>Font Size</source>
        <translation>Schriftgröße</translation>
    </message>
    <message>
        <source>Font Style</source>
        <translation>Schriftstil</translation>
    </message>
    <message>
        <source>No Format</source>
        <translation>Keine Formatierung</translation>
    </message>
    <message>
        <source>Add new</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Time / Date Stamp</source>
        <translation>Zeit-/Datumsstempel</translation>
    </message>
    <message>
        <source>Word Count</source>
        <translation>Wortanzahl</translation>
    </message>
    <message>
        <source>Character Count</source>
        <translation>Zeichenanzahl</translation>
    </message>
    <message>
        <source>Note Filename</source>
        <translation>Dateiname der Notiz</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Uhrzeit</translation>
    </message>
    <message>
        <source>Reminder (alarm)</source>
        <translation>Erinnerung (Wecker)</translation>
    </message>
    <message>
        <source>RSS Feed</source>
        <translation>RSS-Feed</translation>
    </message>
    <message>
        <source>Weather</source>
        <translation>Wetter</translation>
    </message>
    <message>
        <source>Stocks</source>
        <translation>Aktien</translation>
    </message>
    <message>
        <source>Website Status</source>
        <translation>Website-Status</translation>
    </message>
    <message>
        <source>Jottex Notes</source>
        <translation>Jottex-Notizen</translation>
    </message>
    <message>
        <source>Clipboard Viewer (text)</source>
        <translation>Zwischenablage anzeigen (Text)</translation>
    </message>
    <message>
        <source>Clipboard Log</source>
        <translation>Zwischenablage-Protokoll</translation>
    </message>
    <message>
        <source>Computer Memory</source>
        <translation>Arbeitsspeicher</translation>
    </message>
    <message>
        <source>Drive Information</source>
        <translation>Laufwerke</translation>
    </message>
    <message>
        <source>Stop Special Note</source>
        <translation>Spezialnotiz beenden</translation>
    </message>
    <message>
        <source>On All Workspaces</source>
        <translation>Auf allen Arbeitsflächen</translation>
    </message>
    <message>
        <source>Notes Folder...</source>
        <translation>Notizordner...</translation>
    </message>
</context>
<context>
    <name>NoteTray</name>
    <message>
        <source>New Note</source>
        <translation>Neue Notiz</translation>
    </message>
    <message>
        <source>Show All Notes</source>
        <translation>Alle Notizen zeigen</translation>
    </message>
    <message>
        <source>Hide All Notes</source>
        <translation>Alle Notizen verbergen</translation>
    </message>
    <message>
        <source>Search Notes...</source>
        <translation>Notizen durchsuchen...</translation>
    </message>
    <message>
        <source>Multi-Note Manager...</source>
        <translation>Notizverwaltung...</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Show Notes</source>
        <translation>Notizen zeigen</translation>
    </message>
</context>
<context>
    <name>NotesFolderChoice</name>
    <message>
        <source>Notes Folder</source>
        <translation>Notizordner</translation>
    </message>
    <message>
        <source>Every open note is kept as a file in the notes folder %1. Choose another folder, or stop using this one?</source>
        <translation>Jede geöffnete Notiz wird als Datei im Notizordner %1 aufbewahrt. Möchten Sie einen anderen Ordner wählen oder diesen nicht mehr verwenden?</translation>
    </message>
    <message>
        <source>Choose the Notes Folder</source>
        <translation>Notizordner wählen</translation>
    </message>
    <message>
        <source>Jottex could not stop using the notes folder: %1.</source>
        <translation>Jottex konnte die Verwendung des Notizordners nicht beenden: %1.</translation>
    </message>
    <message>
        <source>Jottex cannot keep the notes in the folder %1: %2.</source>
        <translation>Jottex kann die Notizen nicht im Ordner %1 aufbewahren: %2.</translation>
    </message>
    <message>
        <source>&amp;Choose Another Folder...</source>
        <translation>Anderen &amp;Ordner wählen...</translation>
    </message>
    <message>
        <source>&amp;Stop Using It</source>
        <translation>Nicht mehr &amp;verwenden</translation>
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
    <name>SpecialNoteEngine</name>
    <message>
        <source>(The clipboard holds more than a note shows, %1; this is its start.)</source>
        <translation>(Die Zwischenablage enthält mehr, als eine Notiz anzeigt, %1; dies ist ihr Anfang.)</translation>
    </message>
    <message>
        <source>Please enter the reminder time for this note</source>
        <translation>Bitte geben Sie die Erinnerungszeit für diese Notiz ein</translation>
    </message>
    <message>
        <source>Reminder Time</source>
        <translation>Erinnerungszeit</translation>
    </message>
    <message>
        <source>Please enter the URL for an RSS feed</source>
        <translation>Bitte geben Sie die Adresse eines RSS-Feeds ein</translation>
    </message>
    <message>
        <source>RSS Feed URL</source>
        <translation>Adresse des RSS-Feeds</translation>
    </message>
    <message>
        <source>Please enter the Stock Symbol to look up.</source>
        <translation>Bitte geben Sie das Börsenkürzel ein, das nachgeschlagen werden soll.</translation>
    </message>
    <message>
        <source>Stock Symbol</source>
        <translation>Börsenkürzel</translation>
    </message>
    <message>
        <source>Your reminder note is now active</source>
        <translation>Ihre Erinnerungsnotiz ist jetzt aktiv</translation>
    </message>
    <message>
        <source>...loading RSS feed</source>
        <translation>...RSS-Feed wird geladen</translation>
    </message>
    <message>
        <source>Stock Symbol: </source>
        <translation>Börsenkürzel: </translation>
    </message>
</context>
<context>
    <name>StartUp</name>
    <message>
        <source>The last logout kept %1 notes. The newest %2 are open; the other %3 were not opened and stay kept in %4. To see them, open that file in the Multi-Note Manager.</source>
        <translation>Bei der letzten Abmeldung wurden %1 Notizen aufbewahrt. Die neuesten %2 sind geöffnet; die übrigen %3 wurden nicht geöffnet und bleiben in %4 aufbewahrt. Um sie zu sehen, öffnen Sie diese Datei in der Notizverwaltung.</translation>
    </message>
    <message>
        <source>a folder named jottex.dat stands where its notes file belongs</source>
        <translation>an der Stelle seiner Notizdatei steht ein Ordner namens jottex.dat</translation>
    </message>
</context>
<context>
    <name>frmAbout</name>
    <message>
        <source>Sticky notes for the Linux desktop</source>
        <translation>Haftnotizen für den Linux-Desktop</translation>
    </message>
    <message>
        <source>built by the Jottex developers</source>
        <translation>von den Jottex-Entwicklern</translation>
    </message>
    <message>
        <source>Thank you for using it</source>
        <translation>Danke, dass Sie es nutzen</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Über Jottex</translation>
    </message>
    <message>
        <source>Email</source>
        <translation>E-Mail</translation>
    </message>
    <message>
        <source>Jottex is free software: you can redistribute it and/or modify it under the terms of the GNU General Public License, version 3 or (at your option) any later version. It comes without any warranty.</source>
        <translation>Jottex ist freie Software: Sie dürfen es unter der GNU General Public License, Version 3 oder (nach Ihrer Wahl) jeder späteren Version, weitergeben und verändern. Es gibt keine Gewährleistung.</translation>
    </message>
    <message>
        <source>Postcard Ware</source>
        <translation>Postcardware</translation>
    </message>
    <message>
        <source>Click for information about PostcardWare</source>
        <translation>Klicken für Informationen über Postcardware</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Build - %1.%2.0.%3</source>
        <translation>Build - %1.%2.0.%3</translation>
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
    <name>frmMain</name>
    <message>
        <source>The note could not be saved to %1: %2</source>
        <translation>Die Notiz konnte nicht in %1 gespeichert werden: %2</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>This file holds %1 notes. Open them all?</source>
        <translation>Diese Datei enthält %1 Notizen. Alle öffnen?</translation>
    </message>
    <message>
        <source>Perform Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Changes have been made to this note.<byte value="xd"/>
Would you like to save now?</source>
        <translation>Diese Notiz wurde geändert.<byte value="xd"/>
Möchten Sie jetzt speichern?</translation>
    </message>
    <message>
        <source>This note is longer than a note can show (%1), so only its start is shown below and it cannot be changed here. The whole note is kept as it was: &quot;jottex-cli cat&quot; with the note&apos;s file shows all of it.</source>
        <translation>Diese Notiz ist länger, als eine Notiz anzeigen kann (%1). Darum ist unten nur ihr Anfang zu sehen, und sie kann hier nicht geändert werden. Die ganze Notiz bleibt erhalten, wie sie war: &quot;jottex-cli cat&quot; mit der Datei der Notiz zeigt sie vollständig.</translation>
    </message>
    <message>
        <source>Note text</source>
        <translation>Notiztext</translation>
    </message>
    <message>
        <source>The text of this Jottex note</source>
        <translation>Der Text dieser Jottex-Notiz</translation>
    </message>
    <message>
        <source>Resize note</source>
        <translation>Notizgröße ändern</translation>
    </message>
    <message>
        <source>Double-click to refresh caption</source>
        <translation>Doppelklick aktualisiert die Beschriftung</translation>
    </message>
    <message>
        <source>File: </source>
        <translation>Datei: </translation>
    </message>
    <message>
        <source>Word Count: </source>
        <translation>Wörter: </translation>
    </message>
    <message>
        <source>Character Count: </source>
        <translation>Zeichen: </translation>
    </message>
    <message>
        <source>This feature has not been implemented in this release</source>
        <translation>Diese Funktion ist in dieser Version noch nicht verfügbar</translation>
    </message>
    <message>
        <source>Note text, %1</source>
        <translation>Notiztext, %1</translation>
    </message>
</context>
<context>
    <name>frmNoteManager</name>
    <message>
        <source>Jottex Delete</source>
        <translation>Jottex – Löschen</translation>
    </message>
    <message>
        <source>Are you sure you want to delete this note?</source>
        <translation>Möchten Sie diese Notiz wirklich löschen?</translation>
    </message>
    <message>
        <source>The note file was changed by another window or program since it was listed. The list now shows the file as it is.

Are you sure you want to delete this note?</source>
        <translation>Die Notizdatei wurde seit dem Auflisten von einem anderen Fenster oder Programm geändert. Die Liste zeigt die Datei jetzt so, wie sie ist.

Möchten Sie diese Notiz wirklich löschen?</translation>
    </message>
    <message>
        <source>The note file was changed by another window or program since it was listed, and the note is no longer in it as it was. Nothing was deleted; the list now shows the file as it is.</source>
        <translation>Die Notizdatei wurde seit dem Auflisten von einem anderen Fenster oder Programm geändert, und die Notiz steht nicht mehr so darin, wie sie war. Es wurde nichts gelöscht; die Liste zeigt die Datei jetzt so, wie sie ist.</translation>
    </message>
    <message>
        <source>Multi-Note Manager</source>
        <translation>Notizverwaltung</translation>
    </message>
    <message>
        <source>Notes</source>
        <translation>Notizen</translation>
    </message>
    <message>
        <source>The notes of the open file</source>
        <translation>Die Notizen der geöffneten Datei</translation>
    </message>
    <message>
        <source>Note preview</source>
        <translation>Notizvorschau</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>Open Note</source>
        <translation>Notiz öffnen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Tools</source>
        <translation>Extras</translation>
    </message>
    <message>
        <source>Delete Note</source>
        <translation>Notiz löschen</translation>
    </message>
    <message>
        <source>Show Note</source>
        <translation>Notiz zeigen</translation>
    </message>
    <message>
        <source>Open a note</source>
        <translation>Eine Notiz öffnen</translation>
    </message>
    <message>
        <source>Show note(s)</source>
        <translation>Notiz(en) zeigen</translation>
    </message>
    <message>
        <source>Delete note(s)</source>
        <translation>Notiz(en) löschen</translation>
    </message>
    <message>
        <source>The last note in a Jottex file can not be deleted.</source>
        <translation>Die letzte Notiz einer Jottex-Datei kann nicht gelöscht werden.</translation>
    </message>
    <message>
        <source>Confirm Delete</source>
        <translation>Löschen bestätigen</translation>
    </message>
    <message>
        <source>The note could not be deleted from %1: %2</source>
        <translation>Die Notiz konnte nicht aus %1 gelöscht werden: %2</translation>
    </message>
</context>
<context>
    <name>frmPostCard</name>
    <message>
        <source>The Jottex project</source>
        <translation>Das Jottex-Projekt</translation>
    </message>
    <message>
        <source>Share a picture of your city</source>
        <translation>Teilen Sie ein Bild Ihrer Stadt</translation>
    </message>
    <message>
        <source>on the project&apos;s page</source>
        <translation>auf der Seite des Projekts</translation>
    </message>
    <message>
        <source>Postcardware</source>
        <translation>Postcardware</translation>
    </message>
    <message>
        <source>Send us a postcard</source>
        <translation>Eine Postkarte für uns</translation>
    </message>
    <message>
        <source>Postcard Ware - </source>
        <translation>Postcardware - </translation>
    </message>
    <message>
        <source>Send To:</source>
        <translation>Senden an:</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>If you like the application, DLL, or OCX then we would appreciate a Postcard from your city.  Be creative, show us what makes your city unique or interesting</source>
        <translation>Gefällt Ihnen die Anwendung, DLL oder OCX, dann schicken Sie uns eine Postkarte aus Ihrer Stadt.  Zeigen Sie kreativ, was Ihre Stadt besonders macht</translation>
    </message>
</context>
<context>
    <name>frmSearch</name>
    <message>
        <source>Search Notes</source>
        <translation>Notizen durchsuchen</translation>
    </message>
    <message>
        <source>Search the notes</source>
        <translation>Text in den Notizen suchen</translation>
    </message>
    <message>
        <source>open note</source>
        <translation>offene Notiz</translation>
    </message>
    <message>
        <source>%1, note %2</source>
        <translation>%1, Notiz %2</translation>
    </message>
    <message>
        <source>No note holds this text.</source>
        <translation>Keine Notiz enthält diesen Text.</translation>
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
