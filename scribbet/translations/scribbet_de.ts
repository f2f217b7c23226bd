<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>ApplicationIdentity</name>
    <message>
        <source>A plain-text editor.</source>
        <translation>Ein Editor für reinen Text.</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Files to open. A name that begins with a dash goes after --, or is written as ./-name.</source>
        <translation>Zu öffnende Dateien. Ein Name, der mit einem Bindestrich beginnt, steht nach -- oder wird als ./-name geschrieben.</translation>
    </message>
</context>
<context>
    <name>Document</name>
    <message>
        <source>Untitled</source>
        <translation>Unbenannt</translation>
    </message>
</context>
<context>
    <name>DocumentAlerts</name>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>Save Changes</source>
        <translation>Änderungen speichern</translation>
    </message>
    <message>
        <source>Do you want to save the changes you made to the document “%1”?</source>
        <translation>Möchten Sie die Änderungen am Dokument „%1“ speichern?</translation>
    </message>
    <message>
        <source>Your changes will be lost if you don’t save them.</source>
        <translation>Ihre Änderungen gehen verloren, wenn Sie sie nicht speichern.</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>&amp;Don’t Save</source>
        <translation>&amp;Nicht speichern</translation>
    </message>
    <message>
        <source>Revert to Saved</source>
        <translation>Gespeicherte Version wiederherstellen</translation>
    </message>
    <message>
        <source>Do you want to revert “%1” to the last saved version?</source>
        <translation>Möchten Sie „%1“ auf die zuletzt gespeicherte Version zurücksetzen?</translation>
    </message>
    <message>
        <source>Your current changes will be lost.</source>
        <translation>Ihre aktuellen Änderungen gehen verloren.</translation>
    </message>
    <message>
        <source>&amp;Revert</source>
        <translation>&amp;Zurücksetzen</translation>
    </message>
    <message>
        <source>The file “%1” has been deleted or moved by another application.</source>
        <translation>Die Datei „%1“ wurde von einem anderen Programm gelöscht oder verschoben.</translation>
    </message>
    <message>
        <source>The file “%1” has been changed by another application.</source>
        <translation>Die Datei „%1“ wurde von einem anderen Programm geändert.</translation>
    </message>
    <message>
        <source>Saving will create it again with your text.</source>
        <translation>Beim Speichern wird sie mit Ihrem Text neu angelegt.</translation>
    </message>
    <message>
        <source>Saving will replace what the other application wrote. Reverting will replace your text with it.</source>
        <translation>Beim Speichern wird ersetzt, was das andere Programm geschrieben hat. Beim Zurücksetzen wird Ihr Text dadurch ersetzt.</translation>
    </message>
    <message>
        <source>&amp;Save Anyway</source>
        <translation>&amp;Trotzdem speichern</translation>
    </message>
    <message>
        <source>Save &amp;As…</source>
        <translation>Speichern &amp;unter …</translation>
    </message>
    <message>
        <source>Interrupted Save</source>
        <translation>Unterbrochenes Speichern</translation>
    </message>
    <message>
        <source>A save of “%1” was interrupted, and the file has changed since.</source>
        <translation>Das Speichern von „%1“ wurde unterbrochen, und die Datei hat sich seitdem geändert.</translation>
    </message>
    <message>
        <source>A whole copy of “%1” from before that save is in “%2”. Put it back over the file, or keep the file as it is now and remove the copy.</source>
        <translation>Eine vollständige Kopie von „%1“ von vor diesem Speichern liegt in „%2“. Spielen Sie sie über die Datei zurück, oder behalten Sie die Datei, wie sie jetzt ist, und entfernen Sie die Kopie.</translation>
    </message>
    <message>
        <source>Put &amp;Back</source>
        <translation>Kopie &amp;zurückspielen</translation>
    </message>
    <message>
        <source>&amp;Keep the File</source>
        <translation>Datei &amp;behalten</translation>
    </message>
    <message>
        <source>A save of “%1” was interrupted when %2 ended. The file is back as it was before that save.</source>
        <translation>Das Speichern von „%1“ wurde unterbrochen, als %2 beendet wurde. Die Datei ist wieder so, wie sie vor diesem Speichern war.</translation>
    </message>
    <message>
        <source>“%1” is damaged: a save of it was interrupted, and it couldn’t be put back as it was. %2 A whole copy of it from before that save is in “%3”.</source>
        <translation>„%1“ ist beschädigt: Das Speichern wurde unterbrochen, und die Datei konnte nicht wiederhergestellt werden. %2 Eine vollständige Kopie von vor diesem Speichern liegt in „%3“.</translation>
    </message>
    <message numerus="yes">
        <source>You have %n documents with unsaved changes. Do you want to review these changes before quitting?</source>
        <translation>
            <numerusform>Sie haben %n Dokument mit ungesicherten Änderungen. Möchten Sie die Änderungen vor dem Beenden prüfen?</numerusform>
            <numerusform>Sie haben %n Dokumente mit ungesicherten Änderungen. Möchten Sie die Änderungen vor dem Beenden prüfen?</numerusform>
        </translation>
    </message>
    <message>
        <source>If you don’t review your documents, all your changes will be lost.</source>
        <translation>Wenn Sie Ihre Dokumente nicht prüfen, gehen alle Änderungen verloren.</translation>
    </message>
    <message>
        <source>&amp;Review Changes…</source>
        <translation>Änderungen &amp;prüfen …</translation>
    </message>
    <message>
        <source>&amp;Discard Changes</source>
        <translation>Änderungen &amp;verwerfen</translation>
    </message>
    <message>
        <source>%1 more files weren’t opened: at most %2 are opened at once.</source>
        <translation>%1 weitere Dateien wurden nicht geöffnet: Höchstens %2 werden auf einmal geöffnet.</translation>
    </message>
    <message>
        <source>%1 files couldn’t be opened.</source>
        <translation>%1 Dateien konnten nicht geöffnet werden.</translation>
    </message>
</context>
<context>
    <name>DocumentMenus</name>
    <message>
        <source>&amp;Find…</source>
        <translation>&amp;Suchen …</translation>
    </message>
    <message>
        <source>Find &amp;Next</source>
        <translation>Wei&amp;tersuchen</translation>
    </message>
    <message>
        <source>Find Pre&amp;vious</source>
        <translation>R&amp;ückwärts suchen</translation>
    </message>
    <message>
        <source>R&amp;eplace…</source>
        <translation>Erset&amp;zen …</translation>
    </message>
    <message>
        <source>Clear Menu</source>
        <translation>Liste leeren</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;New</source>
        <translation>&amp;Neu</translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation>Ö&amp;ffnen …</translation>
    </message>
    <message>
        <source>Open &amp;Recent</source>
        <translation>&amp;Zuletzt geöffnet</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>S&amp;chließen</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation>Speichern &amp;unter …</translation>
    </message>
    <message>
        <source>Re&amp;vert to Saved</source>
        <translation>Gespeicherte &amp;Version wiederherstellen</translation>
    </message>
    <message>
        <source>&amp;Print…</source>
        <translation>&amp;Drucken …</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Wiederholen</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>Ausschnei&amp;den</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopieren</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>&amp;Einfügen</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>&amp;Alles auswählen</translation>
    </message>
    <message>
        <source>%1 — %2, %3</source>
        <translation>%1 – %2, %3</translation>
    </message>
    <message>
        <source>No Unsaved Work Left</source>
        <translation>Keine ungesicherten Änderungen</translation>
    </message>
    <message>
        <source>Recover All</source>
        <translation>Alle wiederherstellen</translation>
    </message>
    <message>
        <source>Discard All…</source>
        <translation>Alle verwerfen …</translation>
    </message>
    <message>
        <source>Recover &amp;Unsaved Work</source>
        <translation>Ungesicherte Änderungen wieder&amp;herstellen</translation>
    </message>
    <message>
        <source>&amp;Go to Line…</source>
        <translation>&amp;Gehe zu Zeile …</translation>
    </message>
</context>
<context>
    <name>EncodingQuestions</name>
    <message>
        <source>Do you want to keep the encoding of “%1”, %2, or convert it to UTF-8?</source>
        <translation>Möchten Sie die Kodierung von „%1“, %2, beibehalten oder die Datei in UTF-8 umwandeln?</translation>
    </message>
    <message>
        <source>Programs that read it as %1 will need it kept; UTF-8 holds every character.</source>
        <translation>Programme, die sie als %1 lesen, brauchen die bisherige Kodierung; UTF-8 kann jedes Zeichen aufnehmen.</translation>
    </message>
    <message>
        <source>&amp;Keep %1</source>
        <translation>%1 &amp;beibehalten</translation>
    </message>
    <message>
        <source>Convert to &amp;UTF-8</source>
        <translation>In &amp;UTF-8 umwandeln</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>Open in Another Encoding</source>
        <translation>In anderer Kodierung öffnen</translation>
    </message>
    <message>
        <source>You can open it in an encoding you choose. &amp;Encoding:</source>
        <translation>Sie können sie in einer Kodierung Ihrer Wahl öffnen. &amp;Kodierung:</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>Ö&amp;ffnen</translation>
    </message>
    <message>
        <source>“%1” can’t be saved in %2, which has no place for these characters: %3</source>
        <translation>„%1“ kann nicht als %2 gespeichert werden, denn diese Kodierung kennt folgende Zeichen nicht: %3</translation>
    </message>
    <message>
        <source>Nothing was written.</source>
        <translation>Es wurde nichts geschrieben.</translation>
    </message>
    <message>
        <source>Save as &amp;UTF-8</source>
        <translation>Als &amp;UTF-8 speichern</translation>
    </message>
</context>
<context>
    <name>FileError</name>
    <message>
        <source>The file “%1” couldn’t be opened because you don’t have permission to view it.</source>
        <translation>Die Datei „%1“ konnte nicht geöffnet werden, weil Sie nicht die Berechtigung haben, sie anzusehen.</translation>
    </message>
    <message>
        <source>The file “%1” couldn’t be opened because its name can’t be read as UTF-8, so another file could be opened in its place.</source>
        <translation>Die Datei „%1“ konnte nicht geöffnet werden, weil ihr Name nicht als UTF-8 gelesen werden kann und so eine andere Datei an ihrer Stelle geöffnet werden könnte.</translation>
    </message>
    <message>
        <source>The file “%1” couldn’t be opened because it isn’t a regular file.</source>
        <translation>Die Datei „%1“ konnte nicht geöffnet werden, weil sie keine reguläre Datei ist.</translation>
    </message>
    <message>
        <source>The file “%1” couldn’t be opened because there is no such file.</source>
        <translation>Die Datei „%1“ konnte nicht geöffnet werden, weil es keine solche Datei gibt.</translation>
    </message>
    <message>
        <source>The file “%1” couldn’t be opened because the text encoding of its contents can’t be determined.</source>
        <translation>Die Datei „%1“ konnte nicht geöffnet werden, weil die Textkodierung ihres Inhalts nicht bestimmt werden kann.</translation>
    </message>
    <message>
        <source>The file “%1” couldn’t be opened because it is too large.</source>
        <translation>Die Datei „%1“ konnte nicht geöffnet werden, weil sie zu groß ist.</translation>
    </message>
    <message>
        <source>The file “%1” couldn’t be saved because you don’t have permission.</source>
        <translation>Die Datei „%1“ konnte nicht gespeichert werden, weil Sie nicht die Berechtigung dazu haben.</translation>
    </message>
    <message>
        <source>The file “%1” couldn’t be saved because there isn’t enough space.</source>
        <translation>Die Datei „%1“ konnte nicht gespeichert werden, weil nicht genug Speicherplatz frei ist.</translation>
    </message>
    <message>
        <source>The file “%1” couldn’t be saved because the volume is read only.</source>
        <translation>Die Datei „%1“ konnte nicht gespeichert werden, weil der Datenträger schreibgeschützt ist.</translation>
    </message>
    <message>
        <source>The file “%1” couldn’t be saved.</source>
        <translation>Die Datei „%1“ konnte nicht gespeichert werden.</translation>
    </message>
    <message>
        <source>The file “%1” couldn’t be opened.</source>
        <translation>Die Datei „%1“ konnte nicht geöffnet werden.</translation>
    </message>
    <message>
        <source>There isn’t enough memory.</source>
        <translation>Es ist nicht genug Arbeitsspeicher frei.</translation>
    </message>
    <message>
        <source>Files of up to %1 can be opened.</source>
        <translation>Dateien bis %1 können geöffnet werden.</translation>
    </message>
    <message>
        <source>Lines of up to %1 can be opened.</source>
        <translation>Zeilen bis %1 können geöffnet werden.</translation>
    </message>
    <message>
        <source>It is a folder.</source>
        <translation>Sie ist ein Ordner.</translation>
    </message>
    <message>
        <source>It is a named pipe.</source>
        <translation>Sie ist eine benannte Pipe.</translation>
    </message>
    <message>
        <source>It is a socket.</source>
        <translation>Sie ist ein Socket.</translation>
    </message>
    <message>
        <source>It is a device.</source>
        <translation>Sie ist ein Gerät.</translation>
    </message>
    <message>
        <source>It isn’t a regular file.</source>
        <translation>Sie ist keine reguläre Datei.</translation>
    </message>
    <message>
        <source>No backup copy could be made.</source>
        <translation>Es konnte keine Sicherungskopie angelegt werden.</translation>
    </message>
    <message>
        <source>The file is damaged: putting it back as it was failed too. A whole copy of it from before this save is in “%1”.</source>
        <translation>Die Datei ist beschädigt: Auch das Wiederherstellen ist fehlgeschlagen. Eine vollständige Kopie von vor diesem Speichern liegt in „%1“.</translation>
    </message>
    <message>
        <source>It belongs to the system, not to a disk: writing it would change the system’s settings.</source>
        <translation>Sie gehört zum System, nicht auf einen Datenträger: Sie zu schreiben, würde Einstellungen des Systems ändern.</translation>
    </message>
</context>
<context>
    <name>GoToLine</name>
    <message numerus="yes">
        <source>The caret is at line %1, column %2, of %n lines.</source>
        <translation>
            <numerusform>Die Einfügemarke steht in Zeile %1, Spalte %2, von %n Zeile.</numerusform>
            <numerusform>Die Einfügemarke steht in Zeile %1, Spalte %2, von %n Zeilen.</numerusform>
        </translation>
    </message>
    <message>
        <source>Go to Line</source>
        <translation>Gehe zu Zeile</translation>
    </message>
    <message>
        <source>&amp;Line, or line:column:</source>
        <translation>&amp;Zeile oder Zeile:Spalte:</translation>
    </message>
</context>
<context>
    <name>OpenQueue</name>
    <message>
        <source>“%1” isn’t a local file: only those can be opened.</source>
        <translation>„%1“ ist keine lokale Datei: Nur solche können geöffnet werden.</translation>
    </message>
</context>
<context>
    <name>Panels</name>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>Speichern unter</translation>
    </message>
</context>
<context>
    <name>TextPrinting</name>
    <message>
        <source>%1 of %2</source>
        <translation>%1 von %2</translation>
    </message>
</context>
<context>
    <name>TextSearch</name>
    <message>
        <source>The regular expression can’t be used: %1 (at character %2).</source>
        <translation>Der reguläre Ausdruck kann nicht verwendet werden: %1 (bei Zeichen %2).</translation>
    </message>
    <message>
        <source>The search couldn’t finish: %1.</source>
        <translation>Die Suche konnte nicht abgeschlossen werden: %1.</translation>
    </message>
    <message>
        <source>The replacement can’t be used: %1.</source>
        <translation>Die Ersetzung kann nicht verwendet werden: %1.</translation>
    </message>
</context>
<context>
    <name>platform::DocumentController</name>
    <message>
        <source>The file “%1” isn’t %2 text, or some of its bytes wouldn’t be written back as they are.</source>
        <translation>Die Datei „%1“ ist kein Text in %2, oder einige ihrer Bytes würden nicht unverändert zurückgeschrieben.</translation>
    </message>
    <message>
        <source>Its name has bytes that aren’t UTF-8, which couldn’t be written as they are. Choose another name.</source>
        <translation>Ihr Name enthält Bytes, die kein UTF-8 sind und nicht unverändert geschrieben werden könnten. Wählen Sie einen anderen Namen.</translation>
    </message>
</context>
<context>
    <name>platform::DocumentWindow</name>
    <message>
        <source>Find</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>%1 (changed on disk)</source>
        <translation>%1 (auf dem Datenträger geändert)</translation>
    </message>
    <message>
        <source>%1 (deleted or moved)</source>
        <translation>%1 (gelöscht oder verschoben)</translation>
    </message>
</context>
<context>
    <name>platform::Drafts</name>
    <message>
        <source>Recover Unsaved Changes</source>
        <translation>Ungesicherte Änderungen wiederherstellen</translation>
    </message>
    <message>
        <source>“%1” has unsaved changes from %2.</source>
        <translation>„%1“ hat ungesicherte Änderungen vom %2.</translation>
    </message>
    <message>
        <source>%1 kept them when it ended without saving them. The file has changed on disk since: recovering shows them over what the file holds now. The file changes only when you save.</source>
        <translation>%1 hat sie aufbewahrt, als es ohne Speichern beendet wurde. Die Datei hat sich seitdem geändert: Beim Wiederherstellen erscheinen sie über dem, was die Datei jetzt enthält. Die Datei ändert sich erst, wenn Sie speichern.</translation>
    </message>
    <message>
        <source>%1 kept them when it ended without saving them. Recovering shows them in the window; the file changes only when you save.</source>
        <translation>%1 hat sie aufbewahrt, als es ohne Speichern beendet wurde. Beim Wiederherstellen erscheinen sie im Fenster; die Datei ändert sich erst, wenn Sie speichern.</translation>
    </message>
    <message>
        <source>&amp;Recover</source>
        <translation>&amp;Wiederherstellen</translation>
    </message>
    <message>
        <source>&amp;Discard</source>
        <translation>&amp;Verwerfen</translation>
    </message>
    <message>
        <source>&amp;Not Now</source>
        <translation>&amp;Nicht jetzt</translation>
    </message>
    <message>
        <source>Discard Unsaved Work</source>
        <translation>Ungesicherte Änderungen verwerfen</translation>
    </message>
    <message>
        <source>Do you want to discard all the unsaved changes that were kept?</source>
        <translation>Möchten Sie alle aufbewahrten ungesicherten Änderungen verwerfen?</translation>
    </message>
    <message>
        <source>They were kept when %1 ended without saving them. Discarding them can’t be undone.</source>
        <translation>Sie wurden aufbewahrt, als %1 ohne Speichern beendet wurde. Das Verwerfen lässt sich nicht rückgängig machen.</translation>
    </message>
    <message>
        <source>&amp;Discard All</source>
        <translation>Alle &amp;verwerfen</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>Part of the unsaved changes to “%1” was damaged; what came before the damage is recovered.</source>
        <translation>Ein Teil der ungesicherten Änderungen an „%1“ war beschädigt; was davor lag, ist wiederhergestellt.</translation>
    </message>
    <message>
        <source>The unsaved changes to “%1” can’t be recovered: they were kept as changes to the file, which has changed since. They stay in “%2”.</source>
        <translation>Die ungesicherten Änderungen an „%1“ können nicht wiederhergestellt werden: Sie wurden als Änderungen an der Datei aufbewahrt, und die Datei hat sich seitdem geändert. Sie bleiben in „%2“.</translation>
    </message>
    <message>
        <source>One document had unsaved changes when %1 last ended: %2.</source>
        <translation>Ein Dokument hatte ungesicherte Änderungen, als %1 zuletzt beendet wurde: %2.</translation>
    </message>
    <message>
        <source>%1 documents had unsaved changes when %2 last ended: %3.</source>
        <translation>%1 Dokumente hatten ungesicherte Änderungen, als %2 zuletzt beendet wurde: %3.</translation>
    </message>
    <message>
        <source>They are under File › Recover Unsaved Work.</source>
        <translation>Sie finden sie unter Datei › Ungesicherte Änderungen wiederherstellen.</translation>
    </message>
    <message>
        <source>Recover All</source>
        <translation>Alle wiederherstellen</translation>
    </message>
    <message>
        <source>Unsaved changes can be recovered</source>
        <translation>Ungesicherte Änderungen können wiederhergestellt werden</translation>
    </message>
    <message>
        <source>Unsaved changes can’t be kept for recovery: %1 Should %2 end before you save, they would be lost. Saving works as before.</source>
        <translation>Ungesicherte Änderungen können nicht für eine Wiederherstellung aufbewahrt werden: %1 Endet %2, bevor Sie speichern, gehen sie verloren. Speichern funktioniert wie bisher.</translation>
    </message>
</context>
<context>
    <name>platform::FindBar</name>
    <message>
        <source>Match &amp;case</source>
        <translation>&amp;Groß-/Kleinschreibung</translation>
    </message>
    <message>
        <source>&amp;Whole words</source>
        <translation>Ganze &amp;Wörter</translation>
    </message>
    <message>
        <source>Re&amp;gular expression</source>
        <translation>Regulärer &amp;Ausdruck</translation>
    </message>
    <message>
        <source>F&amp;ind:</source>
        <translation>&amp;Suchen:</translation>
    </message>
    <message>
        <source>Pre&amp;vious</source>
        <translation>&amp;Zurück</translation>
    </message>
    <message>
        <source>&amp;Next</source>
        <translation>W&amp;eiter</translation>
    </message>
    <message>
        <source>Perl-compatible regular expressions; in a replacement, $1 or ${name} stands for what a group matched</source>
        <translation>Perl-kompatible reguläre Ausdrücke; in einer Ersetzung steht $1 oder ${name} für das, was eine Gruppe gefunden hat</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Replace wit&amp;h:</source>
        <translation>Ersetzen &amp;durch:</translation>
    </message>
    <message>
        <source>&amp;Replace</source>
        <translation>E&amp;rsetzen</translation>
    </message>
    <message>
        <source>Replace &amp;All</source>
        <translation>A&amp;lle ersetzen</translation>
    </message>
    <message>
        <source>Not found</source>
        <translation>Nicht gefunden</translation>
    </message>
    <message>
        <source>Continued from the top</source>
        <translation>Am Anfang fortgesetzt</translation>
    </message>
    <message>
        <source>Continued from the bottom</source>
        <translation>Am Ende fortgesetzt</translation>
    </message>
    <message>
        <source>There isn’t enough memory to replace every match; nothing was replaced.</source>
        <translation>Es ist nicht genug Arbeitsspeicher frei, um jeden Treffer zu ersetzen; nichts wurde ersetzt.</translation>
    </message>
    <message>
        <source>Replaced 1 match</source>
        <translation>1 Treffer ersetzt</translation>
    </message>
    <message>
        <source>Replaced %1 matches</source>
        <translation>%1 Treffer ersetzt</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Optionen</translation>
    </message>
</context>
<context>
    <name>platform::TextEditor</name>
    <message>
        <source>There isn’t enough memory to hold the whole text. What is shown is incomplete and can’t be saved.</source>
        <translation>Es ist nicht genug Arbeitsspeicher frei, um den ganzen Text zu halten. Was angezeigt wird, ist unvollständig und kann nicht gespeichert werden.</translation>
    </message>
    <message>
        <source>The text is incomplete: there wasn’t enough memory to hold it all.</source>
        <translation>Der Text ist unvollständig: Es war nicht genug Arbeitsspeicher frei, um ihn ganz zu halten.</translation>
    </message>
</context>
</TS>
