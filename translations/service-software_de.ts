<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AboutWidget</name>
    <message>
        <location filename="../ui/aboutwidget.ui" line="+40"/>
        <source>Save support bundle...</source>
        <translation>Support-Paket speichern…</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Saves the logs, the settings without passwords, snapshots, versions and what the tool sees on the USB buses in one zip file for support.</source>
        <translation>Speichert die Protokolle, die Einstellungen ohne Passwörter, die Sicherungen, die Versionen und was das Programm an den USB-Anschlüssen sieht, in einer ZIP-Datei für den Support.</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>License</source>
        <translation>Lizenz</translation>
    </message>
    <message>
        <location filename="../ui/aboutwidget.cpp" line="+16"/>
        <source>Version: </source>
        <translation>Version: </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Save support bundle</source>
        <translation>Support-Paket speichern</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zip archives (*.zip)</source>
        <translation>ZIP-Archive (*.zip)</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Support bundle saved to %1</source>
        <translation>Support-Paket gespeichert unter %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Support bundle not saved: %1</source>
        <translation>Support-Paket nicht gespeichert: %1</translation>
    </message>
</context>
<context>
    <name>BaseDevice</name>
    <message>
        <location filename="../devices/basedevice.cpp" line="+400"/>
        <source>Firmware update successful! Restart device...</source>
        <translation>Firmware-Update erfolgreich! Gerät startet neu …</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Firmware update failed!</source>
        <translation>Firmware-Update fehlgeschlagen!</translation>
    </message>
    <message>
        <location filename="../devices/instrumentkind.cpp" line="+10"/>
        <source>Control Unit</source>
        <translation>Bedieneinheit</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Tymbrel Sensor</source>
        <translation>Tymbrel-Sensor</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Tymbrel Sensor2</source>
        <translation>Tymbrel-Sensor 2</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Pcb for Update</source>
        <translation>Leiterplatte für Update</translation>
    </message>
    <message>
        <location line="-3"/>
        <source>Vectaris Emitter</source>
        <translation>Vectaris-Sender</translation>
    </message>
    <message>
        <location line="-3"/>
        <source>Vectaris Mini Antenna</source>
        <translation>Vectaris-Miniantenne</translation>
    </message>
    <message>
        <location line="-3"/>
        <source>Vectaris Sensor</source>
        <translation>Vectaris-Sensor</translation>
    </message>
</context>
<context>
    <name>CdcCalibrationJob</name>
    <message>
        <location filename="../devices/jobs/cdccalibrationjob.cpp" line="+58"/>
        <source>Calibration failed, nothing stored</source>
        <translation>Kalibrierung fehlgeschlagen, nichts gespeichert</translation>
    </message>
    <message>
        <location line="+51"/>
        <source>Bottom up....</source>
        <translation>Aufwärts …</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Top down...</source>
        <translation>Abwärts …</translation>
    </message>
    <message>
        <location line="+46"/>
        <source>Final</source>
        <translation>Ergebnis</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Touch sensor calibration found no usable threshold: the detector did not switch within the range. Nothing was stored.</source>
        <translation>Die Kalibrierung des Berührungssensors fand keine brauchbare Schwelle: Der Detektor hat im gesamten Bereich nicht geschaltet. Es wurde nichts gespeichert.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Touch sensor calibration failed: the sensor did not answer as expected (%1). The calibration was not stored.</source>
        <translation>Kalibrierung des Berührungssensors fehlgeschlagen: Der Sensor hat nicht wie erwartet geantwortet (%1). Die Kalibrierung wurde nicht gespeichert.</translation>
    </message>
</context>
<context>
    <name>ClearDataSetsJob</name>
    <message>
        <location filename="../devices/jobs/cleardatasetsjob.cpp" line="+28"/>
        <source>The measurement series were deleted on the instrument.</source>
        <translation>Die Messreihen wurden auf dem Gerät gelöscht.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The measurement series could not be deleted on the instrument (%1).</source>
        <translation>Die Messreihen konnten auf dem Gerät nicht gelöscht werden (%1).</translation>
    </message>
</context>
<context>
    <name>CliArguments</name>
    <message>
        <location filename="../app/cli/cliarguments.cpp" line="+36"/>
        <source>List the recognised instruments on the bus (address, kind, vendor:product) without opening them.</source>
        <translation>Die erkannten Geräte am Bus auflisten (Adresse, Art, Hersteller:Produkt), ohne sie zu öffnen.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Show the instrument&apos;s identity.</source>
        <translation>Die Kenndaten des Geräts anzeigen.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Read every option into a snapshot file: -o FILE, else into the snapshot folder.</source>
        <translation>Alle Optionen in eine Sicherungsdatei lesen: -o FILE, sonst in den Sicherungsordner.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Put a snapshot&apos;s values back: shows the changes, writes them, reboots, reads them back.</source>
        <translation>Die Werte einer Sicherung wiederherstellen: zeigt die Änderungen, schreibt sie, startet neu, liest sie zurück.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Show a firmware file&apos;s header and check its hash (no instrument needed).</source>
        <translation>Den Kopf einer Firmware-Datei anzeigen und ihren Hash prüfen (kein Gerät nötig).</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Install a firmware file; the instrument verifies it and restarts.</source>
        <translation>Eine Firmware-Datei installieren; das Gerät prüft sie und startet neu.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Reset the instrument to its factory settings; it restarts.</source>
        <translation>Das Gerät auf Werkseinstellungen zurücksetzen; es startet neu.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Save the instrument&apos;s event log to -o FILE (Latin-1 text).</source>
        <translation>Das Geräteprotokoll in -o FILE speichern (Latin-1-Text).</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Delete the instrument&apos;s event log.</source>
        <translation>Das Geräteprotokoll löschen.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>List the control unit&apos;s measurement series.</source>
        <translation>Die Messreihen der Bedieneinheit auflisten.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Export measurement series to -o FILE as KML, GPX or CSV.</source>
        <translation>Messreihen als KML, GPX oder CSV nach -o FILE exportieren.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Delete every measurement series on the control unit.</source>
        <translation>Alle Messreihen auf der Bedieneinheit löschen.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Calibrate the acoustic sensor&apos;s touch detector (the production sweep) and store the threshold.</source>
        <translation>Den Berührungssensor des akustischen Sensors kalibrieren (der Durchlauf der Produktion) und die Schwelle speichern.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Save a zip file for support to -o FILE: the last seven daily logs, the instrument&apos;s snapshots (all when none is attached), the settings without secrets, the connection findings, versions and the USB device list.</source>
        <translation>Eine ZIP-Datei für den Support in -o FILE speichern: die Tagesprotokolle der letzten sieben Tage, die Sicherungen des Geräts (alle, wenn keines angeschlossen ist), die Einstellungen ohne Geheimnisse, die Verbindungsbefunde, die Versionen und die Liste der USB-Geräte.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Show the service records, newest first: every instrument, or --serial S; --since DATE.</source>
        <translation>Die Servicenachweise anzeigen, neueste zuerst: alle Geräte oder --serial S; --since DATUM.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Production station: board after board gets --function NAME, its firmware and a serial, is verified and recorded; one line per board, PASS or FAIL.</source>
        <translation>Produktionsplatz: Leiterplatte um Leiterplatte erhält --function NAME, ihre Firmware und eine Seriennummer, wird geprüft und nachgewiesen; eine Zeile je Leiterplatte, PASS oder FAIL.</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Where options read, log download and datasets export write.</source>
        <translation>Wohin options read, log download und datasets export schreiben.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Format of datasets export (default: from the -o suffix, else kml).</source>
        <translation>Format von datasets export (Vorgabe: nach der Endung von -o, sonst kml).</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Series of datasets export, numbered as datasets list shows them (default: all).</source>
        <translation>Messreihen für datasets export, nummeriert wie datasets list sie zeigt (Vorgabe: alle).</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The instrument at this bus and address (see list); needed when several are attached.</source>
        <translation>Das Gerät an diesem Bus und dieser Adresse (siehe list); nötig, wenn mehrere angeschlossen sind.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Wait up to SECONDS for an instrument to arrive (default: one scan of the bus).</source>
        <translation>Bis zu SECONDS Sekunden auf ein Gerät warten (Vorgabe: den Bus einmal absuchen).</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>history: the records of this serial only.</source>
        <translation>history: nur die Nachweise dieser Seriennummer.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>history: records from this date (YYYY-MM-DD) or time (ISO 8601) on.</source>
        <translation>history: Nachweise ab diesem Datum (JJJJ-MM-TT) oder Zeitpunkt (ISO 8601).</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>station: the function of the option description file every board gets.</source>
        <translation>station: die Funktion aus der Optionsdatei, die jede Leiterplatte erhält.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>station: the function&apos;s firmware (default: the one the option file names); the option file is read from this file&apos;s folder.</source>
        <translation>station: die Firmware der Funktion (Vorgabe: die in der Optionsdatei genannte); die Optionsdatei wird aus dem Ordner dieser Datei gelesen.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>station: the base firmware an update-only board gets first (default: the option file&apos;s).</source>
        <translation>station: die Basis-Firmware, die eine Leiterplatte für Update zuerst erhält (Vorgabe: die der Optionsdatei).</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>station: serials from this range (LINE-0001..LINE-0500); the next free one is remembered, a failed board uses none.</source>
        <translation>station: Seriennummern aus diesem Bereich (LINE-0001..LINE-0500); die nächste freie wird gespeichert, eine fehlgeschlagene Leiterplatte verbraucht keine.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>station: one serial per board from standard input (a barcode scanner); the board plugged next gets it.</source>
        <translation>station: eine Seriennummer je Leiterplatte von der Standardeingabe (ein Barcode-Scanner); die als Nächste angeschlossene Leiterplatte erhält sie.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>station: stop after N boards.</source>
        <translation>station: nach N Leiterplatten aufhören.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>station: a board that carries another serial gets the new one.</source>
        <translation>station: eine Leiterplatte mit einer anderen Seriennummer erhält die neue.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Print exactly one JSON document on standard output.</source>
        <translation>Genau ein JSON-Dokument auf der Standardausgabe ausgeben.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Confirm a destructive command (needed when standard input is not a terminal).</source>
        <translation>Einen verändernden Befehl bestätigen (nötig, wenn die Standardeingabe kein Terminal ist).</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Go on with a destructive command when no complete options snapshot could be taken.</source>
        <translation>Einen verändernden Befehl fortsetzen, auch wenn keine vollständige Sicherung der Optionen angelegt werden konnte.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>options restore: also write the identity options (serials, types, hardware revision, test results); left as they are otherwise, --yes included.</source>
        <translation>options restore: auch die Kennungsoptionen schreiben (Seriennummern, Typen, Hardware-Revision, Prüfergebnisse); sonst bleiben sie, wie sie sind, auch mit --yes.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Language of the messages and of this help (default: language= in the settings file&apos;s [General] section, else the system&apos;s).</source>
        <translation>Sprache der Meldungen und dieser Hilfe (Vorgabe: language= im Abschnitt [General] der Einstellungsdatei, sonst die des Systems).</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Log at debug level; log lines also go to standard error.</source>
        <translation>Auf Debug-Stufe protokollieren; Protokollzeilen gehen auch auf die Standardfehlerausgabe.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Log at trace level; log lines also go to standard error.</source>
        <translation>Auf Trace-Stufe protokollieren; Protokollzeilen gehen auch auf die Standardfehlerausgabe.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Turn on libusb&apos;s own debug logging (standard error).</source>
        <translation>Die eigene Debug-Protokollierung von libusb einschalten (Standardfehlerausgabe).</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Turn on libusb&apos;s own info logging (standard error).</source>
        <translation>Die eigene Info-Protokollierung von libusb einschalten (Standardfehlerausgabe).</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Show this help.</source>
        <translation>Diese Hilfe anzeigen.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Show the version.</source>
        <translation>Die Version anzeigen.</translation>
    </message>
    <message>
        <location line="+93"/>
        <source>Unknown option &quot;%1&quot;.</source>
        <translation>Unbekannte Option „%1“.</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>No command given.</source>
        <translation>Kein Befehl angegeben.</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>&quot;%1&quot; needs one of: %2.</source>
        <translation>„%1“ braucht eines von: %2.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Unknown command &quot;%1&quot;.</source>
        <translation>Unbekannter Befehl „%1“.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>%1 takes one %2.</source>
        <translation>%1 nimmt genau ein %2.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>%1 takes no argument &quot;%2&quot;.</source>
        <translation>%1 nimmt kein Argument „%2“.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>%1 writes no file: -o is not taken.</source>
        <translation>%1 schreibt keine Datei: -o wird nicht angenommen.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>-o needs a file name.</source>
        <translation>-o braucht einen Dateinamen.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1 needs -o FILE.</source>
        <translation>%1 braucht -o FILE.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>--format and --series go with datasets export only.</source>
        <translation>--format und --series gelten nur für datasets export.</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>--format takes kml, gpx or csv, not &quot;%1&quot;.</source>
        <translation>--format nimmt kml, gpx oder csv, nicht „%1“.</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>--series takes series numbers from 1 on, separated by commas, not &quot;%1&quot;.</source>
        <translation>--series nimmt Nummern von Messreihen ab 1, durch Kommas getrennt, nicht „%1“.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>--series names series %1 twice.</source>
        <translation>--series nennt die Messreihe %1 zweimal.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>--serial and --since go with history only.</source>
        <translation>--serial und --since gehören nur zu history.</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>--since takes a date (2026-03-01) or a time (2026-03-01T08:00), not &quot;%1&quot;.</source>
        <translation>--since erwartet ein Datum (2026-03-01) oder einen Zeitpunkt (2026-03-01T08:00), nicht „%1“.</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>--%1 goes with station only.</source>
        <translation>--%1 gehört nur zu station.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>station needs --function NAME.</source>
        <translation>station braucht --function NAME.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>--serials and --scan exclude each other.</source>
        <translation>--serials und --scan schließen einander aus.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>--count takes a number of boards, not &quot;%1&quot;.</source>
        <translation>--count nimmt eine Anzahl von Leiterplatten, nicht „%1“.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>--device takes BUS:ADDR as list shows it (for example 1:4), not &quot;%1&quot;.</source>
        <translation>--device nimmt BUS:ADDR, wie list es zeigt (zum Beispiel 1:4), nicht „%1“.</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>--language takes de or en, not &quot;%1&quot;.</source>
        <translation>--language nimmt de oder en, nicht „%1“.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>--wait takes a number of seconds, not &quot;%1&quot;.</source>
        <translation>--wait nimmt eine Zahl von Sekunden, nicht „%1“.</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>Usage: service-cli &lt;command&gt; [FILE] [options]</source>
        <translation>Aufruf: service-cli &lt;Befehl&gt; [FILE] [Optionen]</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The service tool for Tymbrel and Vectaris instruments, without a window.</source>
        <translation>Das Service-Programm für Tymbrel- und Vectaris-Geräte, ohne Fenster.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Commands:</source>
        <translation>Befehle:</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Options:</source>
        <translation>Optionen:</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>The instrument: the only recognised one on the bus, or the one at --device BUS:ADDR. Without
--wait the bus is scanned once.
Destructive commands (options restore, firmware update, reset, log clear, datasets clear) first
store an options snapshot and print where it went and how many options it holds (n of m); a
snapshot that misses an option counts as none. Without one they stop unless --without-snapshot
is given (a terminal is asked). They ask before they start, and need --yes when standard input
is not a terminal.
Progress goes to standard error. With --json, standard output carries exactly one JSON document:</source>
        <translation>Das Gerät: das einzige erkannte am Bus oder das an --device BUS:ADDR. Ohne --wait wird der Bus
einmal abgesucht.
Verändernde Befehle (options restore, firmware update, reset, log clear, datasets clear) legen
zuerst eine Sicherung der Optionen an und geben aus, wo sie liegt und wie viele Optionen sie
enthält (n von m); eine Sicherung, der eine Option fehlt, zählt als keine. Ohne Sicherung brechen
sie ab, außer mit --without-snapshot (an einem Terminal wird gefragt). Sie fragen vor dem Start
und brauchen --yes, wenn die Standardeingabe kein Terminal ist.
Der Fortschritt geht auf die Standardfehlerausgabe. Mit --json gibt die Standardausgabe genau ein
JSON-Dokument aus:</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Exit codes:</source>
        <translation>Exit-Codes:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>done</source>
        <translation>erledigt</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>usage error, or a destructive command not confirmed (no --yes off a terminal, or &quot;no&quot;)</source>
        <translation>Aufruffehler, oder ein verändernder Befehl nicht bestätigt (kein --yes ohne Terminal,
oder „nein“)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>no instrument: none found, several without --device, USB unavailable, or not the kind the
command needs</source>
        <translation>kein Gerät: keines gefunden, mehrere ohne --device, USB nicht verfügbar, oder nicht die Art,
die der Befehl braucht</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>the instrument failed, refused or went away (the job&apos;s result code and message are given);
also no snapshot without --without-snapshot, &quot;no&quot; to &quot;Go on without a snapshot?&quot; included</source>
        <translation>das Gerät hat einen Fehler gemeldet, abgelehnt oder wurde getrennt (Ergebniscode und Meldung
des Auftrags werden genannt); auch keine Sicherung ohne --without-snapshot, einschließlich
„nein“ auf „Ohne Sicherung fortfahren?“</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>a file could not be read or written</source>
        <translation>eine Datei konnte nicht gelesen oder geschrieben werden</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>a check refused the file before anything was sent (hardware revision, hash, offset, a
file that cannot be deciphered, a snapshot of another kind or with a value that does not
fit its option)</source>
        <translation>eine Prüfung hat die Datei abgelehnt, bevor etwas gesendet wurde (Hardware-Revision, Hash,
Offset, eine nicht entschlüsselbare Datei, eine Sicherung einer anderen Geräteart oder mit
einem Wert, der nicht zu seiner Option passt)</translation>
    </message>
</context>
<context>
    <name>CliFiles</name>
    <message>
        <location filename="../app/cli/clifiles.cpp" line="+13"/>
        <source>%1 does not exist.</source>
        <translation>%1 existiert nicht.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>%1 is not a file.</source>
        <translation>%1 ist keine Datei.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Cannot read %1: %2</source>
        <translation>%1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Cannot write %1: the folder %2 does not exist.</source>
        <translation>%1 kann nicht geschrieben werden: Der Ordner %2 existiert nicht.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Cannot write %1: it is a folder.</source>
        <translation>%1 kann nicht geschrieben werden: Es ist ein Ordner.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Cannot write %1: permission denied.</source>
        <translation>%1 kann nicht geschrieben werden: Zugriff verweigert.</translation>
    </message>
    <message>
        <location line="+10"/>
        <location line="+5"/>
        <source>Cannot write %1: %2</source>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
</context>
<context>
    <name>CliSafeguard</name>
    <message>
        <location filename="../app/cli/clisafeguard.cpp" line="+29"/>
        <source>%1 changes the instrument: give --yes to confirm it when standard input is not a terminal. Nothing was sent.</source>
        <translation>%1 verändert das Gerät: Bestätigen Sie mit --yes, wenn die Standardeingabe kein Terminal ist. Es wurde nichts gesendet.</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Not confirmed; nothing was changed.</source>
        <translation>Nicht bestätigt; es wurde nichts geändert.</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>Taking an options snapshot...</source>
        <translation>Sicherung der Optionen wird angelegt …</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Options snapshot: %1</source>
        <translation>Sicherung der Optionen: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The snapshot holds %1.</source>
        <translation>Die Sicherung enthält %1.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>The instrument went away while its options were read; nothing was changed.</source>
        <translation>Das Gerät wurde während des Lesens seiner Optionen getrennt; es wurde nichts geändert.</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>No options snapshot could be taken: %1</source>
        <translation>Es konnte keine Sicherung der Optionen angelegt werden: %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Going on without a snapshot (--without-snapshot).</source>
        <translation>Weiter ohne Sicherung (--without-snapshot).</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Go on without a snapshot?</source>
        <translation>Ohne Sicherung fortfahren?</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>No options snapshot could be taken (%1); nothing was changed. Give --without-snapshot to go on without one.</source>
        <translation>Es konnte keine Sicherung der Optionen angelegt werden (%1); es wurde nichts geändert. Mit --without-snapshot geht es ohne Sicherung weiter.</translation>
    </message>
</context>
<context>
    <name>CliSession</name>
    <message>
        <location filename="../app/cli/clisession.cpp" line="+43"/>
        <source>a control unit</source>
        <translation>eine Bedieneinheit</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>an acoustic sensor</source>
        <translation>einen akustischen Sensor</translation>
    </message>
    <message>
        <location line="+50"/>
        <source>(result %1)</source>
        <translation>(Ergebnis %1)</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Try &quot;service-cli --help&quot;.</source>
        <translation>Siehe „service-cli --help“.</translation>
    </message>
    <message>
        <location line="+27"/>
        <location line="+3"/>
        <source>Records: %1</source>
        <translation>Serviceprotokoll: %1</translation>
    </message>
    <message numerus="yes">
        <location line="+10"/>
        <source>Records: %n event(s) not yet in the shared database; they are sent later.</source>
        <translation>
            <numerusform>Serviceprotokoll: %n Eintrag noch nicht in der gemeinsamen Datenbank; er wird später gesendet.</numerusform>
            <numerusform>Serviceprotokoll: %n Einträge noch nicht in der gemeinsamen Datenbank; sie werden später gesendet.</numerusform>
        </translation>
    </message>
    <message>
        <location line="+31"/>
        <source>%1 needs %2; the instrument at %3 is a %4 (%5).</source>
        <translation>%1 braucht %2; an %3 hängt: %4 (%5).</translation>
    </message>
    <message>
        <location line="+88"/>
        <source>No instrument: USB is not available here. %1</source>
        <translation>Kein Gerät: USB ist hier nicht verfügbar. %1</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The bus could not be listed.</source>
        <translation>Die Geräte am Bus konnten nicht aufgelistet werden.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>No instrument found.</source>
        <translation>Kein Gerät gefunden.</translation>
    </message>
</context>
<context>
    <name>ConnectionDoctor</name>
    <message>
        <location filename="../usb/connectiondoctor.cpp" line="+42"/>
        <source>The %1 (%2) cannot be used: </source>
        <translation>%1 (%2) kann nicht verwendet werden: </translation>
    </message>
    <message>
        <location line="+7"/>
        <source>this user has no permission to open it. Plug it in again, or log in again. Without the package, first install the udev rule (&quot;service-software --udev-rule&quot; prints it) as %1 and run &quot;udevadm control --reload&quot;.</source>
        <translation>Dieser Benutzer darf es nicht öffnen. Stecken Sie das Gerät neu ein oder melden Sie sich neu an. Ohne das Installationspaket zuerst die udev-Regel („service-software --udev-rule“ gibt sie aus) als %1 installieren und „udevadm control --reload“ ausführen.</translation>
    </message>
    <message>
        <location line="+8"/>
        <location line="+9"/>
        <source>another program is using it. Close that program and plug the instrument in again.</source>
        <translation>Ein anderes Programm verwendet es. Schließen Sie dieses Programm und stecken Sie das Gerät neu ein.</translation>
    </message>
    <message>
        <location line="-5"/>
        <source>this user has no permission to open it. Give your user access to the USB device and plug the instrument in again.</source>
        <translation>Dieser Benutzer darf es nicht öffnen. Geben Sie Ihrem Benutzer Zugriff auf das USB-Gerät und stecken Sie das Gerät neu ein.</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>the WinUSB driver is not bound to its interface 0. Install the WinUSB driver for it and plug it in again.</source>
        <translation>Der WinUSB-Treiber ist nicht an seine Schnittstelle 0 gebunden. Installieren Sie den WinUSB-Treiber dafür und stecken Sie das Gerät neu ein.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>it does not offer the USB interface this tool talks to. Plug it in again; if that does not help, it needs service.</source>
        <translation>Es bietet die USB-Schnittstelle nicht an, über die dieses Programm kommuniziert. Stecken Sie es neu ein; hilft das nicht, muss es zum Service.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>the system offers no access to it. Plug it into another USB port.</source>
        <translation>Das System bietet keinen Zugriff darauf. Stecken Sie es an einen anderen USB-Anschluss.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>it does not answer properly over USB. Check the cable, try another USB port and connect it without a hub.</source>
        <translation>Es antwortet über USB nicht richtig. Prüfen Sie das Kabel, versuchen Sie einen anderen USB-Anschluss und schließen Sie es ohne Hub an.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>it was unplugged while it was being opened.</source>
        <translation>Es wurde beim Öffnen abgezogen.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>opening it failed. Plug it in again; if it keeps failing, try another USB port or restart the computer.</source>
        <translation>Das Öffnen ist fehlgeschlagen. Stecken Sie es neu ein; schlägt es weiter fehl, versuchen Sie einen anderen USB-Anschluss oder starten Sie den Computer neu.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>The %1 (%2) keeps disconnecting: it drops out again soon after it was opened. Check the cable, try another USB port and connect it without a hub. The tool tries again less and less often; plugging it in again tries at once.</source>
        <translation>Das Gerät %1 (%2) trennt sich immer wieder: Es fällt kurz nach dem Öffnen wieder aus. Prüfen Sie das Kabel, versuchen Sie einen anderen USB-Anschluss und schließen Sie es ohne Hub an. Das Programm versucht es immer seltener erneut; neu einstecken versucht es sofort.</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>An instrument with the USB id %1 (%2) is connected, but this tool does not know this instrument. A newer version of the tool may support it.</source>
        <translation>Ein Gerät mit der USB-ID %1 (%2) ist angeschlossen, aber dieses Programm kennt das Gerät nicht. Eine neuere Version des Programms unterstützt es möglicherweise.</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>the system denies access to USB devices.</source>
        <translation>Das System verweigert den Zugriff auf USB-Geräte.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>the computer is out of memory.</source>
        <translation>Der Arbeitsspeicher des Computers ist erschöpft.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>the system offers no USB device access here (no /dev/bus/usb, or a sandbox without USB).</source>
        <translation>Das System bietet hier keinen Zugriff auf USB-Geräte (kein /dev/bus/usb oder eine Sandbox ohne USB).</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>the system&apos;s USB support could not be started.</source>
        <translation>Die USB-Unterstützung des Systems konnte nicht gestartet werden.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>USB access is not available: %1 The tool keeps trying.</source>
        <translation>Kein USB-Zugriff: %1 Das Programm versucht es weiter.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Waiting for an instrument. Connect a Tymbrel or Vectaris instrument with its USB cable and switch it on.</source>
        <translation>Warte auf ein Gerät. Schließen Sie ein Tymbrel- oder Vectaris-Gerät mit seinem USB-Kabel an und schalten Sie es ein.</translation>
    </message>
</context>
<context>
    <name>DatasetCommands</name>
    <message>
        <location filename="../app/cli/datasetcommands.cpp" line="+81"/>
        <source>Reading the measurement series...</source>
        <translation>Messreihen werden gelesen …</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The instrument went away while its series were read.</source>
        <translation>Das Gerät wurde während des Lesens seiner Messreihen getrennt.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>The measurement series could not be read.</source>
        <translation>Die Messreihen konnten nicht gelesen werden.</translation>
    </message>
    <message numerus="yes">
        <location line="+19"/>
        <source>%1  %2  %n points, %3 with position</source>
        <translation>
            <numerusform>%1  %2  %n Punkt, %3 mit Position</numerusform>
            <numerusform>%1  %2  %n Punkte, %3 mit Position</numerusform>
        </translation>
    </message>
    <message>
        <location line="+5"/>
        <source>No measurement series on the control unit.</source>
        <translation>Keine Messreihen auf der Bedieneinheit.</translation>
    </message>
    <message numerus="yes">
        <location line="+31"/>
        <source>There is no series %1: the control unit holds %n.</source>
        <translation>
            <numerusform>Es gibt keine Messreihe %1: Die Bedieneinheit enthält %n.</numerusform>
            <numerusform>Es gibt keine Messreihe %1: Die Bedieneinheit enthält %n.</numerusform>
        </translation>
    </message>
    <message>
        <location line="+25"/>
        <source>Cannot write %1; no file was left behind.</source>
        <translation>%1 kann nicht geschrieben werden; es wurde keine Datei hinterlassen.</translation>
    </message>
    <message numerus="yes">
        <location line="+11"/>
        <source>%n series written to %1 (%2)</source>
        <translation>
            <numerusform>%n Messreihe nach %1 geschrieben (%2)</numerusform>
            <numerusform>%n Messreihen nach %1 geschrieben (%2)</numerusform>
        </translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Delete every measurement series on %1?</source>
        <translation>Alle Messreihen auf %1 löschen?</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>The instrument went away after its options snapshot; nothing was deleted.</source>
        <translation>Das Gerät wurde nach der Sicherung seiner Optionen getrennt; es wurde nichts gelöscht.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>The instrument went away while its series were deleted.</source>
        <translation>Das Gerät wurde während des Löschens seiner Messreihen getrennt.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>The series could not be deleted.</source>
        <translation>Die Messreihen konnten nicht gelöscht werden.</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>The series were deleted, but the unit could not be read again to confirm it.</source>
        <translation>Die Messreihen wurden gelöscht, aber die Bedieneinheit konnte zur Bestätigung nicht erneut gelesen werden.</translation>
    </message>
    <message numerus="yes">
        <location line="+8"/>
        <source>%n series are still on the control unit after the delete.</source>
        <translation>
            <numerusform>Nach dem Löschen ist noch %n Messreihe auf der Bedieneinheit.</numerusform>
            <numerusform>Nach dem Löschen sind noch %n Messreihen auf der Bedieneinheit.</numerusform>
        </translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Every measurement series on %1 was deleted.</source>
        <translation>Alle Messreihen auf %1 wurden gelöscht.</translation>
    </message>
</context>
<context>
    <name>DeleteLogJob</name>
    <message>
        <location filename="../devices/jobs/deletelogjob.cpp" line="+16"/>
        <source>Log entries deleted!</source>
        <translation>Protokolleinträge gelöscht!</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Something goes wrong!</source>
        <translation>Etwas ist schiefgelaufen!</translation>
    </message>
</context>
<context>
    <name>DevelopWidget</name>
    <message>
        <location filename="../ui/developwidget.ui" line="+6"/>
        <source>Form</source>
        <translation>Formular</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Read JSON options</source>
        <translation>JSON-Optionen lesen</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>TextLabel</source>
        <translation>Textfeld</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Read Option</source>
        <translation>Option lesen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Read All Options</source>
        <translation>Alle Optionen lesen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Set Option</source>
        <translation>Option setzen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Write Options</source>
        <translation>Optionen schreiben</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Options</source>
        <translation>Optionen</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Reboot Device</source>
        <translation>Gerät neu starten</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>CDC calibration</source>
        <translation>CDC-Kalibrierung</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Option descriptions</source>
        <translation>Optionsbeschreibungen</translation>
    </message>
    <message>
        <location filename="../ui/developwidget.cpp" line="+193"/>
        <source>%1 of %2 options read</source>
        <translation>%1 von %2 Optionen gelesen</translation>
    </message>
    <message>
        <location line="-7"/>
        <source>Reading %1 options…</source>
        <translation>%1 Optionen werden gelesen …</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1 of %2 options read: the table is partial (the device stopped at an id it does not know)</source>
        <translation>%1 von %2 Optionen gelesen: Die Tabelle ist unvollständig (das Gerät hielt bei einer ID an, die es nicht kennt)</translation>
    </message>
    <message>
        <location line="+40"/>
        <source>Open Option Description File</source>
        <translation>Optionsbeschreibung öffnen</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>unable to load file %1</source>
        <translation>Datei %1 kann nicht geladen werden</translation>
    </message>
</context>
<context>
    <name>DeviceCommands</name>
    <message>
        <location filename="../app/cli/devicecommands.cpp" line="+54"/>
        <source>The instrument went away during %1.</source>
        <translation>Das Gerät wurde während %1 getrennt.</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>%1 (serial %2)</source>
        <translation>%1 (Seriennummer %2)</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>Instrument</source>
        <translation>Gerät</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Address</source>
        <translation>Adresse</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>USB id</source>
        <translation>USB-ID</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Serial</source>
        <translation>Seriennummer</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>PCB serial</source>
        <translation>Seriennummer der Leiterplatte</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Firmware</source>
        <translation>Firmware</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Hardware revision</source>
        <translation>Hardware-Revision</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Device type</source>
        <translation>Gerätetyp</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Chip id</source>
        <translation>Chip-ID</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>System id</source>
        <translation>System-ID</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Update required</source>
        <translation>Update erforderlich</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>yes</source>
        <translation>ja</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>no</source>
        <translation>nein</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Reading options...</source>
        <translation>Optionen werden gelesen …</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>the options read</source>
        <translation>des Lesens der Optionen</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The options could not be read</source>
        <translation>Die Optionen konnten nicht gelesen werden</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>The snapshot could not be saved: %1</source>
        <translation>Die Sicherung konnte nicht gespeichert werden: %1</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>%1 of %2 written to %3</source>
        <translation>%1 von %2 nach %3 geschrieben</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>%1 is not an options snapshot this tool can restore: %2</source>
        <translation>%1 ist keine Sicherung von Optionen, die dieses Programm wiederherstellen kann: %2</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>%1 is a snapshot of a %2; this instrument is a %3. Nothing was sent.</source>
        <translation>%1 ist eine Sicherung eines Geräts der Art %2; dieses Gerät ist von der Art %3. Es wurde nichts gesendet.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The snapshot was taken from serial %1; this instrument is serial %2. Restore it onto this instrument?</source>
        <translation>Die Sicherung stammt von Seriennummer %1; dieses Gerät hat Seriennummer %2. Auf dieses Gerät wiederherstellen?</translation>
    </message>
    <message>
        <location line="+71"/>
        <source>Options snapshot: %1</source>
        <translation>Sicherung der Optionen: %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The snapshot holds %1.</source>
        <translation>Die Sicherung enthält %1.</translation>
    </message>
    <message numerus="yes">
        <location line="+8"/>
        <source>%n option(s) differ:</source>
        <translation>
            <numerusform>%n Option weicht ab:</numerusform>
            <numerusform>%n Optionen weichen ab:</numerusform>
        </translation>
    </message>
    <message>
        <location line="+23"/>
        <source>Identity options left as they are (--include-identity writes them): %1</source>
        <translation>Kennungsoptionen bleiben, wie sie sind (--include-identity schreibt sie): %1</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The instrument already holds every value of the snapshot; nothing to write.</source>
        <translation>Das Gerät enthält bereits alle Werte der Sicherung; es gibt nichts zu schreiben.</translation>
    </message>
    <message numerus="yes">
        <location line="+4"/>
        <source>Write these %n value(s) and restart the instrument?</source>
        <translation>
            <numerusform>Diesen %n Wert schreiben und das Gerät neu starten?</numerusform>
            <numerusform>Diese %n Werte schreiben und das Gerät neu starten?</numerusform>
        </translation>
    </message>
    <message>
        <location line="+40"/>
        <source>it is not a firmware file this tool can decipher</source>
        <translation>sie ist keine Firmware-Datei, die dieses Programm entschlüsseln kann</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>its image does not match its MD5 hash</source>
        <translation>ihr Image passt nicht zu ihrem MD5-Hash</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>it is made for hardware revision %1, the instrument is revision %2</source>
        <translation>sie ist für Hardware-Revision %1 gemacht, das Gerät hat Revision %2</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>its offset %1 lies outside its image</source>
        <translation>ihr Offset %1 liegt außerhalb ihres Images</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>%1 was refused: %2. Nothing was sent to the instrument.</source>
        <translation>%1 wurde abgelehnt: %2. Es wurde nichts an das Gerät gesendet.</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Install %1 on %2?</source>
        <translation>%1 auf %2 installieren?</translation>
    </message>
    <message>
        <location line="+6"/>
        <location line="+64"/>
        <source>the options snapshot; nothing was sent</source>
        <translation>der Sicherung der Optionen; es wurde nichts gesendet</translation>
    </message>
    <message>
        <location line="-56"/>
        <source>the firmware update</source>
        <translation>des Firmware-Updates</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>%1. Nothing was sent to the instrument.</source>
        <translation>%1. Es wurde nichts an das Gerät gesendet.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The firmware file was refused</source>
        <translation>Die Firmware-Datei wurde abgelehnt</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>The firmware update failed: the instrument did not confirm the image</source>
        <translation>Das Firmware-Update ist fehlgeschlagen: Das Gerät hat das Image nicht bestätigt</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The firmware update failed</source>
        <translation>Das Firmware-Update ist fehlgeschlagen</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Firmware %1 was installed and verified on %2, but the instrument did not restart within %3 s; restart it by hand.</source>
        <translation>Firmware %1 wurde auf %2 installiert und geprüft, aber das Gerät ist nicht innerhalb von %3 s neu gestartet; starten Sie es von Hand neu.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Firmware %1 installed and verified on %2; the instrument restarts.</source>
        <translation>Firmware %1 auf %2 installiert und geprüft; das Gerät startet neu.</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>%1 failed</source>
        <translation>%1 fehlgeschlagen</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Reset %1 to its factory settings?</source>
        <translation>%1 auf Werkseinstellungen zurücksetzen?</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 was reset to its factory settings and restarts.</source>
        <translation>%1 wurde auf Werkseinstellungen zurückgesetzt und startet neu.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Delete every event log entry on %1?</source>
        <translation>Alle Protokolleinträge auf %1 löschen?</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The event log of %1 was deleted.</source>
        <translation>Das Geräteprotokoll von %1 wurde gelöscht.</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Reading the event log...</source>
        <translation>Geräteprotokoll wird gelesen …</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>the log download</source>
        <translation>des Herunterladens des Geräteprotokolls</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The event log could not be read</source>
        <translation>Das Geräteprotokoll konnte nicht gelesen werden</translation>
    </message>
    <message numerus="yes">
        <location line="+12"/>
        <source>Event log of %1 (%n bytes) written to %2</source>
        <translation>
            <numerusform>Geräteprotokoll von %1 (%n Byte) nach %2 geschrieben</numerusform>
            <numerusform>Geräteprotokoll von %1 (%n Bytes) nach %2 geschrieben</numerusform>
        </translation>
    </message>
    <message>
        <location line="+26"/>
        <source>Calibrating the touch detector of %1 (keep hands off the sensor)...</source>
        <translation>Berührungssensor von %1 wird kalibriert (Sensor nicht berühren) …</translation>
    </message>
    <message>
        <location line="+5"/>
        <location line="+22"/>
        <source>the calibration</source>
        <translation>der Kalibrierung</translation>
    </message>
    <message>
        <location line="-17"/>
        <source>The calibration failed, nothing was stored</source>
        <translation>Die Kalibrierung ist fehlgeschlagen, es wurde nichts gespeichert</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>The calibration did not report its switching point; check the sensor&apos;s thresholds.</source>
        <translation>Die Kalibrierung hat ihren Schaltpunkt nicht gemeldet; prüfen Sie die Schwellen des Sensors.</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>The calibration was stored, but the sensor&apos;s thresholds could not be read back; check them.</source>
        <translation>Die Kalibrierung wurde gespeichert, aber die Schwellen des Sensors konnten nicht zurückgelesen werden; prüfen Sie sie.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The calibration was stored, but the sensor did not report its thresholds within %1 s; check them.</source>
        <translation>Die Kalibrierung wurde gespeichert, aber der Sensor hat seine Schwellen nicht innerhalb von %1 s gemeldet; prüfen Sie sie.</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>The calibrated threshold %1 lies outside %2..%3; it was stored, check the sensor.</source>
        <translation>Die kalibrierte Schwelle %1 liegt außerhalb von %2..%3; sie wurde gespeichert, prüfen Sie den Sensor.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Touch detector of %1 calibrated: switching point %2, stored threshold %3.</source>
        <translation>Berührungssensor von %1 kalibriert: Schaltpunkt %2, gespeicherte Schwelle %3.</translation>
    </message>
</context>
<context>
    <name>FactoryResetJob</name>
    <message>
        <location filename="../devices/jobs/factoryresetjob.cpp" line="+25"/>
        <source>Factory settings restored. Restart device...</source>
        <translation>Werkseinstellungen wiederhergestellt. Gerät startet neu …</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Factory reset failed (%1).</source>
        <translation>Zurücksetzen auf Werkseinstellungen fehlgeschlagen (%1).</translation>
    </message>
</context>
<context>
    <name>FirmwareFileReport</name>
    <message>
        <location filename="../app/cli/firmwarefilereport.cpp" line="+29"/>
        <source>%1 is not a firmware file this tool can decipher.</source>
        <translation>%1 ist keine Firmware-Datei, die dieses Programm entschlüsseln kann.</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 (develop)</source>
        <translation>%1 (Entwicklung)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Type</source>
        <translation>Typ</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Supported hardware</source>
        <translation>Unterstützte Hardware</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Created</source>
        <translation>Erstellt</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Image</source>
        <translation>Image</translation>
    </message>
    <message numerus="yes">
        <location line="+0"/>
        <source>%n bytes, offset %1, %2 bytes sent</source>
        <translation>
            <numerusform>%n Byte, Offset %1, %2 Bytes werden gesendet</numerusform>
            <numerusform>%n Bytes, Offset %1, %2 Bytes werden gesendet</numerusform>
        </translation>
    </message>
    <message>
        <location line="+3"/>
        <source>MD5</source>
        <translation>MD5</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>matches</source>
        <translation>stimmt</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>WRONG</source>
        <translation>FALSCH</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Changelog:</source>
        <translation>Änderungen:</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>The image does not match the file&apos;s MD5 hash; an update would refuse it.</source>
        <translation>Das Image passt nicht zum MD5-Hash der Datei; ein Update würde es ablehnen.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>The file&apos;s offset %1 lies outside its %2-byte image; an update would refuse it.</source>
        <translation>Der Offset %1 der Datei liegt außerhalb ihres Images von %2 Byte; ein Update würde sie ablehnen.</translation>
    </message>
</context>
<context>
    <name>HistoryCommand</name>
    <message>
        <location filename="../app/cli/historycommand.cpp" line="+46"/>
        <source>No service records match.</source>
        <translation>Keine passenden Servicenachweise.</translation>
    </message>
</context>
<context>
    <name>HistoryWidget</name>
    <message>
        <location filename="../ui/historywidget.ui" line="+10"/>
        <source>&amp;Serial:</source>
        <translation>&amp;Seriennummer:</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Serial</source>
        <translation>Seriennummer</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Type part of a serial and press Enter to find every instrument ever recorded with it</source>
        <translation>Geben Sie einen Teil einer Seriennummer ein und drücken Sie die Eingabetaste, um jedes je erfasste Gerät damit zu finden</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Search</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Operation:</source>
        <translation>&amp;Vorgang:</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../ui/historywidget.cpp" line="+339"/>
        <source>Operation</source>
        <translation>Vorgang</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Events</source>
        <translation>Ereignisse</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Event details</source>
        <translation>Einzelheiten des Ereignisses</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Newer</source>
        <translation>Neuere</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Older</source>
        <translation>Ältere</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Export CSV...</source>
        <translation>Als CSV exportieren …</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Export JSON...</source>
        <translation>Als JSON exportieren …</translation>
    </message>
    <message>
        <location filename="../ui/historywidget.cpp" line="-316"/>
        <source>Connected</source>
        <translation>Angeschlossen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Firmware update</source>
        <translation>Firmware-Update</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Factory reset</source>
        <translation>Zurücksetzen auf Werkseinstellungen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Touch calibration</source>
        <translation>Kalibrierung des Berührungssensors</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Languages set</source>
        <translation>Sprachen eingestellt</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Parameters written</source>
        <translation>Parameter geschrieben</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Identity written</source>
        <translation>Kenndaten geschrieben</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Functions written</source>
        <translation>Funktionen geschrieben</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Snapshot taken</source>
        <translation>Sicherung angelegt</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Snapshot restored</source>
        <translation>Sicherung wiederhergestellt</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Log downloaded</source>
        <translation>Protokoll heruntergeladen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Log cleared</source>
        <translation>Protokoll gelöscht</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Datasets read</source>
        <translation>Messreihen gelesen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Datasets exported</source>
        <translation>Messreihen exportiert</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Datasets cleared</source>
        <translation>Messreihen gelöscht</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Failed (%1)</source>
        <translation>Fehlgeschlagen (%1)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Warning (%1)</source>
        <translation>Warnung (%1)</translation>
    </message>
    <message>
        <location line="+102"/>
        <source>The records database in the settings cannot be used: %1</source>
        <translation>Die Nachweis-Datenbank aus den Einstellungen kann nicht verwendet werden: %1</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>The service records cannot be read. %1</source>
        <translation>Die Servicenachweise können nicht gelesen werden. %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The records database was written by a newer version of this tool: it is shown, and nothing is written to it. %1</source>
        <translation>Die Nachweis-Datenbank stammt von einer neueren Version dieses Programms: Sie wird angezeigt, aber nicht beschrieben. %1</translation>
    </message>
    <message>
        <location line="+105"/>
        <source>No instrument with &quot;%1&quot; in its serial is in the records.</source>
        <translation>Kein Gerät mit „%1“ in der Seriennummer ist in den Nachweisen.</translation>
    </message>
    <message numerus="yes">
        <location line="+3"/>
        <source>%n instruments found: choose one from the list.</source>
        <translation>
            <numerusform>%n Gerät gefunden: Wählen Sie es aus der Liste.</numerusform>
            <numerusform>%n Geräte gefunden: Wählen Sie eines aus der Liste.</numerusform>
        </translation>
    </message>
    <message>
        <location line="+61"/>
        <source>One event for %1.</source>
        <translation>Ein Ereignis für %1.</translation>
    </message>
    <message numerus="yes">
        <location line="+3"/>
        <source>%n events for %1, newest first.</source>
        <translation>
            <numerusform>%n Ereignis für %1.</numerusform>
            <numerusform>%n Ereignisse für %1, neueste zuerst.</numerusform>
        </translation>
    </message>
    <message>
        <location line="-44"/>
        <source>Event: %1</source>
        <translation>Ereignis: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Time: %1 (UTC %2)</source>
        <translation>Zeit: %1 (UTC %2)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Operation: %1 (%2)</source>
        <translation>Vorgang: %1 (%2)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Serial: %1</source>
        <translation>Seriennummer: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Instrument: %1, USB %2</source>
        <translation>Gerät: %1, USB %2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Result: %1</source>
        <translation>Ergebnis: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Message: %1</source>
        <translation>Meldung: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Station: %1</source>
        <translation>Arbeitsplatz: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>User: %1</source>
        <translation>Benutzer: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Tool version: %1</source>
        <translation>Programmversion: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Interface: %1</source>
        <translation>Oberfläche: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Details:</source>
        <translation>Einzelheiten:</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>All operations</source>
        <translation>Alle Vorgänge</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Time</source>
        <translation>Zeit</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Result</source>
        <translation>Ergebnis</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Message</source>
        <translation>Meldung</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Station</source>
        <translation>Arbeitsplatz</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>User</source>
        <translation>Benutzer</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Connect an instrument, or search for a serial.</source>
        <translation>Schließen Sie ein Gerät an oder suchen Sie nach einer Seriennummer.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Reading the records of %1...</source>
        <translation>Die Nachweise von %1 werden gelesen …</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>No service records for %1.</source>
        <translation>Keine Servicenachweise für %1.</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>%1-%2 of %3</source>
        <translation>%1–%2 von %3</translation>
    </message>
    <message>
        <location line="+31"/>
        <source>Export history as CSV</source>
        <translation>Verlauf als CSV exportieren</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Export history as JSON</source>
        <translation>Verlauf als JSON exportieren</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>CSV files (*.csv)</source>
        <translation>CSV-Dateien (*.csv)</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>JSON files (*.json)</source>
        <translation>JSON-Dateien (*.json)</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>History saved to %1</source>
        <translation>Verlauf gespeichert unter %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>History could not be saved to %1: %2</source>
        <translation>Verlauf konnte nicht unter %1 gespeichert werden: %2</translation>
    </message>
</context>
<context>
    <name>InfoWidget</name>
    <message>
        <location filename="../ui/infowidget.ui" line="+27"/>
        <source>Device picture</source>
        <translation>Gerätebild</translation>
    </message>
    <message>
        <location line="+34"/>
        <source>Serial:</source>
        <translation>Seriennummer:</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Firmware:</source>
        <translation>Firmware:</translation>
    </message>
    <message>
        <location line="+39"/>
        <source>No device connected</source>
        <translation>Kein Gerät angeschlossen</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>No device connected!</source>
        <translation>Kein Gerät angeschlossen!</translation>
    </message>
</context>
<context>
    <name>InstrumentSelector</name>
    <message>
        <location filename="../app/cli/instrumentselector.cpp" line="+116"/>
        <source>No instrument: USB is not available here. %1</source>
        <translation>Kein Gerät: USB ist hier nicht verfügbar. %1</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>No instrument found at %1 within %2 s.</source>
        <translation>Innerhalb von %2 s kein Gerät an %1 gefunden.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>No instrument found at %1.</source>
        <translation>Kein Gerät an %1 gefunden.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>No instrument found within %1 s.</source>
        <translation>Innerhalb von %1 s kein Gerät gefunden.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>No instrument found.</source>
        <translation>Kein Gerät gefunden.</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>%1 did not tell its identity.</source>
        <translation>%1 hat seine Kenndaten nicht gemeldet.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 did not tell its identity: %2.</source>
        <translation>%1 hat seine Kenndaten nicht gemeldet: %2.</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>%1 could not be opened: %2 failed with %3.</source>
        <translation>%1 konnte nicht geöffnet werden: %2 scheiterte mit %3.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>%1 went away before it was ready.</source>
        <translation>%1 wurde getrennt, bevor es bereit war.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>%1 was found but did not get ready within %2 s.</source>
        <translation>%1 wurde gefunden, war aber nicht innerhalb von %2 s bereit.</translation>
    </message>
    <message numerus="yes">
        <location line="+27"/>
        <source>%n instruments are attached (%1); choose one with --device BUS:ADDR.</source>
        <translation>
            <numerusform>%n Gerät ist angeschlossen (%1); wählen Sie eines mit --device BUS:ADDR.</numerusform>
            <numerusform>%n Geräte sind angeschlossen (%1); wählen Sie eines mit --device BUS:ADDR.</numerusform>
        </translation>
    </message>
    <message>
        <location line="+35"/>
        <source>Waiting up to %1 s for an instrument at %2...</source>
        <translation>Bis zu %1 s wird auf ein Gerät an %2 gewartet …</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Waiting up to %1 s for an instrument...</source>
        <translation>Bis zu %1 s wird auf ein Gerät gewartet …</translation>
    </message>
</context>
<context>
    <name>LanguagesWidgetControlUnit</name>
    <message>
        <location filename="../ui/languageswidgetcontrolunit.cpp" line="+22"/>
        <source>English</source>
        <translation>Englisch</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>German</source>
        <translation>Deutsch</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>French</source>
        <translation>Französisch</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Spanish</source>
        <translation>Spanisch</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Hungarian</source>
        <translation>Ungarisch</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Romanian</source>
        <translation>Rumänisch</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Russian</source>
        <translation>Russisch</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Portuguese</source>
        <translation>Portugiesisch</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Norwegian</source>
        <translation>Norwegisch</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Polish</source>
        <translation>Polnisch</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Italian</source>
        <translation>Italienisch</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Czech</source>
        <translation>Tschechisch</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Chinese</source>
        <translation>Chinesisch</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Chinese_trad</source>
        <translation>Chinesisch (traditionell)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Swedish</source>
        <translation>Schwedisch</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Greek</source>
        <translation>Griechisch</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Dutch</source>
        <translation>Niederländisch</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Bulgarian (≥v2.2.1)</source>
        <translation>Bulgarisch (≥v2.2.1)</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Languages</source>
        <translation>Sprachen</translation>
    </message>
</context>
<context>
    <name>MainSidebarWidget</name>
    <message>
        <location filename="../ui/mainsidebarwidget.ui" line="+47"/>
        <location line="+3"/>
        <location line="+3"/>
        <source>About</source>
        <translation>Über</translation>
    </message>
    <message>
        <location line="+37"/>
        <location line="+3"/>
        <location line="+3"/>
        <source>Info</source>
        <translation>Info</translation>
    </message>
    <message>
        <location line="+41"/>
        <location line="+3"/>
        <location line="+3"/>
        <source>Measurements</source>
        <translation>Messungen</translation>
    </message>
    <message>
        <location line="+41"/>
        <location line="+3"/>
        <location line="+3"/>
        <source>Service</source>
        <translation>Service</translation>
    </message>
    <message>
        <location line="+41"/>
        <location line="+3"/>
        <location line="+3"/>
        <source>Production</source>
        <translation>Produktion</translation>
    </message>
    <message>
        <location line="+41"/>
        <location line="+3"/>
        <location line="+3"/>
        <source>Develop</source>
        <translation>Entwicklung</translation>
    </message>
    <message>
        <location line="+41"/>
        <location line="+3"/>
        <location line="+3"/>
        <source>History</source>
        <translation>Verlauf</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <location filename="../ui/mainwindow.cpp" line="+215"/>
        <source>Service records: %1</source>
        <translation>Serviceprotokoll: %1</translation>
    </message>
</context>
<context>
    <name>MeasurementsWidget</name>
    <message>
        <location filename="../ui/measurementswidget.ui" line="+84"/>
        <source>Measurement series</source>
        <translation>Messreihen</translation>
    </message>
    <message>
        <location line="+55"/>
        <source>Colour by</source>
        <translation>Färben nach</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>Points of the series</source>
        <translation>Punkte der Messreihe</translation>
    </message>
    <message>
        <location filename="../ui/measurementswidget.cpp" line="+42"/>
        <source>Google Earth (*.kml)</source>
        <translation>Google Earth (*.kml)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>GPX 1.1 (*.gpx)</source>
        <translation>GPX 1.1 (*.gpx)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>CSV, UTF-8 (*.csv)</source>
        <translation>CSV, UTF-8 (*.csv)</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Exporting: %p%</source>
        <translation>Export: %p%</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Stop the export; the file is left as it was</source>
        <translation>Export anhalten; die Datei bleibt, wie sie war</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Select all</source>
        <translation>Alle auswählen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Mark all the measurement series</source>
        <translation>Alle Messreihen markieren</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Reload</source>
        <translation>Neu laden</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Reload the data from the device</source>
        <translation>Daten erneut vom Gerät laden</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Export</source>
        <translation>Exportieren</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Export the marked measurement series</source>
        <translation>Die markierten Messreihen exportieren</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Delete &lt;b&gt;all of the displayed&lt;/b&gt; measurement series from the indicator unit.&lt;br&gt;
The deletion of individual measurement series is not possible.</source>
        <translation>&lt;b&gt;Alle angezeigten&lt;/b&gt; Messreihen in der Anzeigeeinheit löschen.&lt;br&gt;
Einzelne Messreihen können nicht gelöscht werden.</translation>
    </message>
    <message>
        <location line="+203"/>
        <source>Unknown location</source>
        <translation>Unbekannter Ort</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>Do you want to remove all datasets on the device?</source>
        <translation>Alle Messreihen auf dem Gerät löschen?</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>Export measurement series</source>
        <translation>Messreihen exportieren</translation>
    </message>
    <message>
        <location line="+66"/>
        <source>The measurement series could not be saved to %1.</source>
        <translation>Die Messreihen konnten nicht unter %1 gespeichert werden.</translation>
    </message>
</context>
<context>
    <name>OptionTableModel</name>
    <message>
        <location filename="../options/optiontablemodel.cpp" line="+162"/>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Description</source>
        <translation>Beschreibung</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Value Hex</source>
        <translation>Wert hex</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Value int</source>
        <translation>Wert Ganzzahl</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Value float</source>
        <translation>Wert Gleitkomma</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Value string</source>
        <translation>Wert Text</translation>
    </message>
</context>
<context>
    <name>OptionsSnapshot</name>
    <message>
        <location filename="../options/optionssnapshot.cpp" line="+91"/>
        <source>not a JSON document (%1)</source>
        <translation>kein JSON-Dokument (%1)</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>not an options snapshot</source>
        <translation>keine Sicherung von Optionen</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>snapshot format version %1 is not supported</source>
        <translation>Sicherungsformat Version %1 wird nicht unterstützt</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>the snapshot names no device kind</source>
        <translation>die Sicherung nennt keine Geräteart</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>the snapshot&apos;s USB id is malformed</source>
        <translation>die USB-ID der Sicherung ist fehlerhaft</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>the snapshot&apos;s time is malformed</source>
        <translation>der Zeitpunkt der Sicherung ist fehlerhaft</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>the snapshot holds no option list</source>
        <translation>die Sicherung enthält keine Optionsliste</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>option %1: the id is malformed</source>
        <translation>Option %1: die ID ist fehlerhaft</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>option %1 (%2): the value is not hexadecimal bytes</source>
        <translation>Option %1 (%2): der Wert besteht nicht aus hexadezimalen Bytes</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>option %1 appears twice</source>
        <translation>Option %1 kommt doppelt vor</translation>
    </message>
</context>
<context>
    <name>ProductionWidget</name>
    <message>
        <location filename="../ui/productionwidget.ui" line="+6"/>
        <source>Form</source>
        <translation>Formular</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Station mode: configure board after board without a click</source>
        <translation>Produktionsplatz: Leiterplatte um Leiterplatte ohne einen Klick einrichten</translation>
    </message>
    <message>
        <location line="+6"/>
        <location filename="../ui/productionwidget.cpp" line="+190"/>
        <source>Serial:</source>
        <translation>Seriennummer:</translation>
    </message>
    <message>
        <location line="+0"/>
        <location filename="../ui/productionwidget.cpp" line="+1"/>
        <source>Device Type:</source>
        <translation>Gerätetyp:</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../ui/productionwidget.cpp" line="+1"/>
        <source>PCB Type:</source>
        <translation>Leiterplattentyp:</translation>
    </message>
    <message>
        <location line="+0"/>
        <location line="+12"/>
        <location filename="../ui/productionwidget.cpp" line="+1"/>
        <location line="+216"/>
        <source>PCB Serial</source>
        <translation>Seriennummer der Leiterplatte</translation>
    </message>
    <message>
        <location line="-12"/>
        <location filename="../ui/productionwidget.cpp" line="-215"/>
        <source>Firmware:</source>
        <translation>Firmware:</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../ui/productionwidget.cpp" line="+1"/>
        <source>System ID:</source>
        <translation>System-ID:</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Step 1</source>
        <translation>Schritt 1</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Update Base Firmware</source>
        <translation>Basis-Firmware aktualisieren</translation>
    </message>
    <message>
        <location line="+0"/>
        <location line="+14"/>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <location line="-12"/>
        <source>Parameters</source>
        <translation>Parameter</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../ui/productionwidget.cpp" line="+211"/>
        <source>Device Serial</source>
        <translation>Seriennummer des Geräts</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../ui/productionwidget.cpp" line="+1"/>
        <source>Device Type</source>
        <translation>Gerätetyp</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>unknown</source>
        <translation>unknown</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>TBX-CU</source>
        <translation>TBX-CU</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>TBX-SU</source>
        <translation>TBX-SU</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>VC-SU</source>
        <translation>VC-SU</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>VC-MNA</source>
        <translation>VC-MNA</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>VCG-CU</source>
        <translation>VCG-CU</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../ui/productionwidget.cpp" line="+1"/>
        <source>PCB Type</source>
        <translation>Leiterplattentyp</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Edit PCB type</source>
        <translation>Leiterplattentyp bearbeiten</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Unlocks the PCB type field; Apply writes it to the instrument.</source>
        <translation>Gibt das Feld Leiterplattentyp frei; Übernehmen schreibt ihn auf das Gerät.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Edit PCB serial</source>
        <translation>Seriennummer der Leiterplatte bearbeiten</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Unlocks the PCB serial field; Apply writes it to the instrument.</source>
        <translation>Gibt das Feld Seriennummer der Leiterplatte frei; Übernehmen schreibt sie auf das Gerät.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Apply</source>
        <translation>Übernehmen</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Function</source>
        <translation>Funktion</translation>
    </message>
    <message>
        <location line="+0"/>
        <location filename="../ui/productionwidget.cpp" line="+196"/>
        <source>no function</source>
        <translation>keine Funktion</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Update Firmware</source>
        <translation>Firmware aktualisieren</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Change Options File</source>
        <translation>Optionsdatei wechseln</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Load Options</source>
        <translation>Optionen laden</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Options file</source>
        <translation>Optionsdatei</translation>
    </message>
    <message>
        <location filename="../ui/productionwidget.cpp" line="-438"/>
        <location line="+139"/>
        <source>PCB Type: %1</source>
        <translation>Leiterplattentyp: %1</translation>
    </message>
    <message>
        <location line="-24"/>
        <source>Serial: %1</source>
        <translation>Seriennummer: %1</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Firmware: %1</source>
        <translation>Firmware: %1</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>System ID: %1</source>
        <translation>System-ID: %1</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>PCB Serial: %1</source>
        <translation>Seriennummer der Leiterplatte: %1</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Device Type: %1</source>
        <translation>Gerätetyp: %1</translation>
    </message>
    <message>
        <location line="+102"/>
        <source>%1 &quot;%2&quot; holds characters the device cannot store; nothing was written.</source>
        <translation>%1 „%2“ enthält Zeichen, die das Gerät nicht speichern kann; es wurde nichts geschrieben.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>%1: &quot;%2&quot; → &quot;%3&quot;</source>
        <translation>%1: „%2“ → „%3“</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Nothing changed; nothing was written.</source>
        <translation>Nichts geändert; es wurde nichts geschrieben.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Write to %1 and restart it?

%2</source>
        <translation>%1 beschreiben und neu starten?

%2</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Writing the parameters...</source>
        <translation>Parameter werden geschrieben…</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>Parameters sent; the device restarts.</source>
        <translation>Parameter gesendet; das Gerät startet neu.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Writing the parameters failed; nothing was stored.</source>
        <translation>Schreiben der Parameter fehlgeschlagen; nichts wurde gespeichert.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Storing the parameters failed; the device keeps its previous values.</source>
        <translation>Dauerhaftes Speichern der Parameter fehlgeschlagen; das Gerät behält seine bisherigen Werte.</translation>
    </message>
    <message>
        <location line="+35"/>
        <source>option id &quot;%1&quot; is not a number</source>
        <translation>Options-ID „%1“ ist keine Zahl</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>option %1 has the unknown type &quot;%2&quot;</source>
        <translation>Option %1 hat den unbekannten Typ „%2“</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>No firmware directory is set, so there is no %1: choose a firmware file on the Service page first.</source>
        <translation>Es ist kein Firmware-Ordner festgelegt, daher gibt es keine %1: Wählen Sie zuerst auf der Seite Service eine Firmware-Datei.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>unable to load file %1</source>
        <translation>Datei %1 kann nicht geladen werden</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>The board reports no device type or hardware revision: no function is offered.</source>
        <translation>Die Leiterplatte meldet keinen Gerätetyp und keine Hardware-Revision: Es wird keine Funktion angeboten.</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Functions that cannot be written:
%1</source>
        <translation>Funktionen, die nicht geschrieben werden können:
%1</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>%1 offers no function for %2, PCB type %3.</source>
        <translation>%1 bietet keine Funktion für %2, Leiterplattentyp %3.</translation>
    </message>
    <message>
        <location line="+57"/>
        <source>Hardware type: %1
Supported Hardware: %2
Release date: %3</source>
        <translation>Hardware-Typ: %1
Unterstützte Hardware: %2
Freigabedatum: %3</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Function %1 is not written: %2</source>
        <translation>Funktion %1 wird nicht geschrieben: %2</translation>
    </message>
    <message>
        <location line="+47"/>
        <source>Open Firmware file</source>
        <translation>Firmware-Datei öffnen</translation>
    </message>
</context>
<context>
    <name>ProductionWidgetControlUnit</name>
    <message>
        <location filename="../ui/productionwidgetcontrolunit.ui" line="+6"/>
        <source>Form</source>
        <translation>Formular</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>General</source>
        <translation>Allgemein</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Options</source>
        <translation>Optionen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Parameters</source>
        <translation>Parameter</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Activity Timeout [s]</source>
        <translation>Abschaltzeit bei Inaktivität [s]</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Max Reboots</source>
        <translation>Max. Neustarts</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Headphone Threshold [dB]</source>
        <translation>Kopfhörer-Schwelle [dB]</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Headphone Max [dB]</source>
        <translation>Kopfhörer-Maximum [dB]</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Calibration Sheathfault Ch 1</source>
        <translation>Kalibrierung Mantelfehler K. 1</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Calibration Sheathfault Ch 2</source>
        <translation>Kalibrierung Mantelfehler K. 2</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Write Parameters</source>
        <translation>Parameter schreiben</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Read All Parameters</source>
        <translation>Alle Parameter lesen</translation>
    </message>
    <message>
        <location filename="../ui/productionwidgetcontrolunit.cpp" line="+74"/>
        <source>Bluetooth</source>
        <translation>Bluetooth</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Develop Mode</source>
        <translation>Entwicklermodus</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Screenshots</source>
        <translation>Bildschirmfotos</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Demo Device</source>
        <translation>Vorführgerät</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Background Noise Reduction</source>
        <translation>Störgeräuschunterdrückung</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Touch Protector</source>
        <translation>Berührungsschutz</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Compass</source>
        <translation>Kompass</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Loudness Limiter</source>
        <translation>Lautstärkebegrenzer</translation>
    </message>
</context>
<context>
    <name>ProductionWidgetTymbrel</name>
    <message>
        <location filename="../ui/productionwidgettymbrel.ui" line="+14"/>
        <source>Form</source>
        <translation>Formular</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Automatic calibration of proximity/touch sensor</source>
        <translation>Automatische Kalibrierung des Näherungs-/Berührungssensors</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Threshold</source>
        <translation>Schwelle</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>TextLabel</source>
        <translation>Textfeld</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Level</source>
        <translation>Pegel</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Start Calibration</source>
        <translation>Kalibrierung starten</translation>
    </message>
    <message>
        <location filename="../ui/productionwidgettymbrel.cpp" line="+102"/>
        <source>Calibration failed, nothing stored</source>
        <translation>Kalibrierung fehlgeschlagen, nichts gespeichert</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Warning: calibrated threshold %1 is out of range</source>
        <translation>Warnung: Kalibrierte Schwelle %1 liegt außerhalb des Bereichs</translation>
    </message>
</context>
<context>
    <name>ProductionWidgetUpdateOnly</name>
    <message>
        <location filename="../ui/productionwidgetupdateonly.ui" line="+6"/>
        <source>Form</source>
        <translation>Formular</translation>
    </message>
</context>
<context>
    <name>ProductionWidgetVectaris</name>
    <message>
        <location filename="../ui/productionwidgetvectaris.ui" line="+6"/>
        <source>Form</source>
        <translation>Formular</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Frequency Calibration</source>
        <translation>Frequenzkalibrierung</translation>
    </message>
</context>
<context>
    <name>ProductionWidgetVectarisEmitter</name>
    <message>
        <location filename="../ui/productionwidgetvectarisemitter.ui" line="+6"/>
        <source>Form</source>
        <translation>Formular</translation>
    </message>
</context>
<context>
    <name>ProgressDialog</name>
    <message>
        <location filename="../ui/progressdialog.ui" line="+14"/>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <location line="+68"/>
        <location filename="../ui/progressdialog.cpp" line="+62"/>
        <location line="+15"/>
        <source>Please wait...</source>
        <translation>Bitte warten …</translation>
    </message>
</context>
<context>
    <name>QJsonModel</name>
    <message>
        <location filename="../ui/qjsonmodel.cpp" line="+108"/>
        <source>key</source>
        <translation>Schlüssel</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>value</source>
        <translation>Wert</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <location filename="../options/optionlayout.cpp" line="+67"/>
        <source>option %1 is not one this kind of instrument keeps</source>
        <translation>Option %1 gehört nicht zu dieser Geräteart</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>option %1 (%2) holds %3 bytes, not %4</source>
        <translation>Option %1 (%2) fasst %3 Bytes, nicht %4</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>option %1 (%2): a value of %3 bytes is longer than one option can hold</source>
        <translation>Option %1 (%2): ein Wert von %3 Bytes ist länger, als eine Option fassen kann</translation>
    </message>
    <message>
        <location filename="../options/optionssnapshot.cpp" line="+12"/>
        <source>unknown option %1: the id is malformed</source>
        <translation>Unbekannte Option %1: die ID ist fehlerhaft</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>option %1 appears twice</source>
        <translation>Option %1 kommt doppelt vor</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>%1 of %2 options</source>
        <translation>%1 von %2 Optionen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 of %2 options, %3 not known to the firmware</source>
        <translation>%1 von %2 Optionen, %3 der Firmware unbekannt</translation>
    </message>
</context>
<context>
    <name>ReadDataSetsJob</name>
    <message>
        <location filename="../devices/jobs/readdatasetsjob.cpp" line="+62"/>
        <source>The measurement series could not be read from the instrument (%1).</source>
        <translation>Die Messreihen konnten nicht vom Gerät gelesen werden (%1).</translation>
    </message>
</context>
<context>
    <name>ReadLogJob</name>
    <message>
        <location filename="../devices/jobs/readlogjob.cpp" line="+60"/>
        <source>The device log could not be read: the device sent more than any device log holds.</source>
        <translation>Das Geräteprotokoll konnte nicht gelesen werden: Das Gerät sandte mehr, als ein Geräteprotokoll fassen kann.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The device log could not be read (%1).</source>
        <translation>Das Geräteprotokoll konnte nicht gelesen werden (%1).</translation>
    </message>
</context>
<context>
    <name>ReadOptionsSnapshotJob</name>
    <message>
        <location filename="../devices/jobs/readoptionssnapshotjob.cpp" line="+84"/>
        <source>The instrument answered no option read; no snapshot was taken.</source>
        <translation>Das Gerät hat auf keine Optionsabfrage geantwortet; es wurde keine Sicherung angelegt.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 of %2 options were read</source>
        <translation>%1 von %2 Optionen wurden gelesen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The snapshot is not complete: %1; option 0x%2 got no answer, and the instrument no longer answered.</source>
        <translation>Die Sicherung ist nicht vollständig: %1; Option 0x%2 blieb ohne Antwort, und das Gerät antwortete nicht mehr.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The snapshot is not complete: %1; the instrument&apos;s options could not be read (%2).</source>
        <translation>Die Sicherung ist nicht vollständig: %1; die Optionen des Geräts konnten nicht gelesen werden (%2).</translation>
    </message>
</context>
<context>
    <name>Recorder</name>
    <message>
        <location filename="../records/recorder.cpp" line="+86"/>
        <source>Records: local</source>
        <translation>Nachweise: lokal</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Records: shared, %1 waiting</source>
        <translation>Nachweise: gemeinsam, %1 wartend</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Records: shared</source>
        <translation>Nachweise: gemeinsam</translation>
    </message>
</context>
<context>
    <name>ServiceWidget</name>
    <message>
        <location filename="../ui/servicewidget.ui" line="+17"/>
        <source>Service</source>
        <translation>Service</translation>
    </message>
    <message>
        <location line="+9"/>
        <location line="+224"/>
        <source>Firmware</source>
        <translation>Firmware</translation>
    </message>
    <message>
        <location line="-219"/>
        <source>Firmware file</source>
        <translation>Firmware-Datei</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>The firmware files opened last; the selected one is shown and updated to.</source>
        <translation>Die zuletzt geöffneten Firmware-Dateien; die ausgewählte wird angezeigt und aufgespielt.</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>...</source>
        <translation>…</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Ctrl+S</source>
        <translation>Ctrl+S</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Update Firmware</source>
        <translation>Firmware aktualisieren</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Version:</source>
        <translation>Version:</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>Develop version</source>
        <translation>Entwicklerversion</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Changelog</source>
        <translation>Änderungen</translation>
    </message>
    <message>
        <location line="+44"/>
        <source>Device logs</source>
        <translation>Geräteprotokoll</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Download</source>
        <translation>Herunterladen</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <location line="+13"/>
        <location line="+7"/>
        <source>Factory Reset</source>
        <translation>Werkseinstellungen</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Settings snapshots</source>
        <translation>Sicherungen der Einstellungen</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Copies of the instrument&apos;s settings, kept before every reset, firmware update or write</source>
        <translation>Kopien der Geräteeinstellungen, angelegt vor jedem Zurücksetzen, Firmware-Update und Schreiben</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>From File...</source>
        <translation>Aus Datei …</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Restore a snapshot file saved elsewhere</source>
        <translation>Eine anderswo gespeicherte Sicherungsdatei wiederherstellen</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Restore</source>
        <translation>Wiederherstellen</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Write the chosen snapshot&apos;s settings back to the instrument</source>
        <translation>Die Einstellungen der gewählten Sicherung zurück auf das Gerät schreiben</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>Taken</source>
        <translation>Angelegt</translation>
    </message>
    <message>
        <location filename="../ui/servicewidget.cpp" line="+188"/>
        <source>Hardware type: %1
Supported Hardware: %2
Release date: %3</source>
        <translation>Hardware-Typ: %1
Unterstützte Hardware: %2
Freigabedatum: %3</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Select Firmware</source>
        <translation>Firmware wählen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Firmware File (*.firmware)</source>
        <translation>Firmware-Datei (*.firmware)</translation>
    </message>
    <message>
        <location line="+36"/>
        <source>Do you want to delete all log entries on the device?</source>
        <translation>Alle Protokolleinträge auf dem Gerät löschen?</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>This will reset the device to its factory settings.
Are you sure you want to reset?</source>
        <translation>Das Gerät wird auf Werkseinstellungen zurückgesetzt.
Wirklich zurücksetzen?</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>No instrument is connected.</source>
        <translation>Kein Gerät angeschlossen.</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>No snapshots of this instrument yet. One is taken before every reset, firmware update and write.</source>
        <translation>Noch keine Sicherungen dieses Geräts. Vor jedem Zurücksetzen, Firmware-Update und Schreiben wird eine angelegt.</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Restore Snapshot</source>
        <translation>Sicherung wiederherstellen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Snapshot (*.json)</source>
        <translation>Sicherung (*.json)</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>Save Logs</source>
        <translation>Protokoll speichern</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Log File (*.log)</source>
        <translation>Protokolldatei (*.log)</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>The device log could not be saved to %1.</source>
        <translation>Das Geräteprotokoll konnte nicht unter %1 gespeichert werden.</translation>
    </message>
</context>
<context>
    <name>ServiceWidgetControlUnit</name>
    <message>
        <location filename="../ui/servicewidgetcontrolunit.ui" line="+14"/>
        <source>Form</source>
        <translation>Formular</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Languages</source>
        <translation>Sprachen</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Set new language selection</source>
        <translation>Neue Sprachauswahl setzen</translation>
    </message>
    <message>
        <location filename="../ui/servicewidgetcontrolunit.cpp" line="+87"/>
        <source>Select at least one language.</source>
        <translation>Wählen Sie mindestens eine Sprache.</translation>
    </message>
</context>
<context>
    <name>ServiceWidgetTymbrel</name>
    <message>
        <location filename="../ui/servicewidgettymbrel.ui" line="+14"/>
        <source>Form</source>
        <translation>Formular</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Adjustment of proximity/touch sensor</source>
        <translation>Einstellung des Näherungs-/Berührungssensors</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>calibrated threshold</source>
        <translation>kalibrierte Schwelle</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Lowers the current threshold by one step: the sensor reports a touch earlier.</source>
        <translation>Senkt die aktuelle Schwelle um eine Stufe: Der Sensor meldet eine Berührung früher.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>more sensitiv</source>
        <translation>empfindlicher</translation>
    </message>
    <message>
        <location line="+7"/>
        <location filename="../ui/servicewidgettymbrel.cpp" line="+124"/>
        <source>NOT touched</source>
        <translation>NICHT berührt</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Raises the current threshold by one step: the sensor reports a touch later.</source>
        <translation>Hebt die aktuelle Schwelle um eine Stufe: Der Sensor meldet eine Berührung später.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>less sensitiv</source>
        <translation>unempfindlicher</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>current threshold</source>
        <translation>aktuelle Schwelle</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Save threshold</source>
        <translation>Schwelle speichern</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>The thresholds could not be read from the sensor. The last known values are shown; Save and Cancel stay off until a read succeeds.</source>
        <translation>Die Schwellen konnten nicht vom Sensor gelesen werden. Angezeigt werden die zuletzt bekannten Werte; Speichern und Abbrechen bleiben gesperrt, bis ein Lesen gelingt.</translation>
    </message>
    <message>
        <location filename="../ui/servicewidgettymbrel.cpp" line="+0"/>
        <source>touched</source>
        <translation>berührt</translation>
    </message>
</context>
<context>
    <name>SetDeviceMultipleOptionsJob</name>
    <message>
        <location filename="../devices/jobs/setdevicemultipleoptionsjob.cpp" line="+42"/>
        <source>The options could not be sent: the instrument is not connected (%1). Nothing was stored.</source>
        <translation>Die Optionen konnten nicht gesendet werden: Das Gerät ist nicht angeschlossen (%1). Es wurde nichts gespeichert.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Sending the options failed at option 0x%1 (%2 of %3 sent, %4). Nothing was stored permanently.</source>
        <translation>Das Senden der Optionen schlug bei Option 0x%1 fehl (%2 von %3 gesendet, %4). Es wurde nichts dauerhaft gespeichert.</translation>
    </message>
</context>
<context>
    <name>SetDeviceOptionJob</name>
    <message>
        <location filename="../devices/jobs/setdeviceoptionjob.cpp" line="+41"/>
        <source>Option 0x%1 could not be sent to the instrument (%2).</source>
        <translation>Option 0x%1 konnte nicht an das Gerät gesendet werden (%2).</translation>
    </message>
</context>
<context>
    <name>SnapshotFirst</name>
    <message>
        <location filename="../ui/snapshotfirst.cpp" line="+52"/>
        <source>No snapshot of the instrument&apos;s settings could be taken:
%1

Settings and calibration lost by this step cannot be restored then. Go on without a snapshot?</source>
        <translation>Die Einstellungen des Geräts konnten nicht gesichert werden:
%1

Einstellungen und Kalibrierung, die dieser Schritt verliert, lassen sich dann nicht wiederherstellen. Ohne Sicherung fortfahren?</translation>
    </message>
</context>
<context>
    <name>SnapshotGuard</name>
    <message>
        <location filename="../devices/snapshotguard.cpp" line="+21"/>
        <source>The instrument is not connected.</source>
        <translation>Das Gerät ist nicht angeschlossen.</translation>
    </message>
    <message>
        <location line="+4"/>
        <location line="+3"/>
        <source>The instrument went away while its options were read.</source>
        <translation>Das Gerät wurde während des Lesens seiner Optionen getrennt.</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>The instrument&apos;s options could not be read (%1).</source>
        <translation>Die Optionen des Geräts konnten nicht gelesen werden (%1).</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>The snapshot could not be saved: %1</source>
        <translation>Die Sicherung konnte nicht gespeichert werden: %1</translation>
    </message>
</context>
<context>
    <name>SnapshotRestore</name>
    <message>
        <location filename="../devices/snapshotrestore.cpp" line="+41"/>
        <source>The instrument did not come back after its reboot. Plug it in again and check its options.</source>
        <translation>Das Gerät hat sich nach dem Neustart nicht zurückgemeldet. Stecken Sie es neu ein und prüfen Sie seine Optionen.</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>No instrument is connected.</source>
        <translation>Kein Gerät angeschlossen.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>This snapshot belongs to a %1, not to this %2; it is not restored.</source>
        <translation>Diese Sicherung gehört zu einem Gerät der Art %1, nicht zu diesem Gerät der Art %2; sie wird nicht wiederhergestellt.</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>This snapshot is not restored; nothing was changed: %1</source>
        <translation>Diese Sicherung wird nicht wiederhergestellt; nichts wurde geändert: %1</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Reading the instrument&apos;s current options...</source>
        <translation>Aktuelle Optionen des Geräts werden gelesen …</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Nothing was changed: %1</source>
        <translation>Es wurde nichts geändert: %1</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>The instrument already holds every value of the snapshot; nothing was written.</source>
        <translation>Das Gerät enthält bereits alle Werte der Sicherung; es wurde nichts geschrieben.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The instrument went away; nothing was written.</source>
        <translation>Das Gerät wurde getrennt; es wurde nichts geschrieben.</translation>
    </message>
    <message numerus="yes">
        <location line="+27"/>
        <source>Writing %n option(s)...</source>
        <translation>
            <numerusform>%n Option wird geschrieben …</numerusform>
            <numerusform>%n Optionen werden geschrieben …</numerusform>
        </translation>
    </message>
    <message>
        <location line="+13"/>
        <source>The instrument went away before the values were committed.</source>
        <translation>Das Gerät wurde getrennt, bevor die Werte dauerhaft gespeichert waren.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The instrument went away while the values were read back.</source>
        <translation>Das Gerät wurde beim Zurücklesen der Werte getrennt.</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>The values could not be sent; nothing was committed: %1</source>
        <translation>Die Werte konnten nicht gesendet werden; es wurde nichts dauerhaft gespeichert: %1</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>The values could not be committed: %1</source>
        <translation>Die Werte konnten nicht dauerhaft gespeichert werden: %1</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Restarting the instrument...</source>
        <translation>Gerät wird neu gestartet …</translation>
    </message>
    <message>
        <location line="+65"/>
        <source>Reading the restored values back...</source>
        <translation>Wiederhergestellte Werte werden zurückgelesen …</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>The values were written, but could not be read back: %1</source>
        <translation>Die Werte wurden geschrieben, konnten aber nicht zurückgelesen werden: %1</translation>
    </message>
    <message numerus="yes">
        <location line="+14"/>
        <source>%n option(s) restored and read back.</source>
        <translation>
            <numerusform>%n Option wiederhergestellt und zurückgelesen.</numerusform>
            <numerusform>%n Optionen wiederhergestellt und zurückgelesen.</numerusform>
        </translation>
    </message>
    <message>
        <location line="+6"/>
        <source>%1 of %2 options did not take: %3</source>
        <translation>%1 von %2 Optionen wurden nicht übernommen: %3</translation>
    </message>
</context>
<context>
    <name>SnapshotRestorer</name>
    <message>
        <location filename="../ui/snapshotrestorer.cpp" line="+31"/>
        <source>(empty)</source>
        <translation>(leer)</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>%1: %2 → %3</source>
        <translation>%1: %2 → %3</translation>
    </message>
    <message numerus="yes">
        <location line="+6"/>
        <source>Restore %n setting(s) and restart the instrument?</source>
        <translation>
            <numerusform>%n Einstellung wiederherstellen und das Gerät neu starten?</numerusform>
            <numerusform>%n Einstellungen wiederherstellen und das Gerät neu starten?</numerusform>
        </translation>
    </message>
    <message>
        <location line="+8"/>
        <source>The instrument&apos;s identity differs too; it is written only when ticked below:</source>
        <translation>Auch die Identität des Geräts weicht ab; sie wird nur geschrieben, wenn unten angehakt:</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Also restore the identity (serials, types, hardware revision, test results)</source>
        <translation>Auch die Identität wiederherstellen (Seriennummern, Typen, Hardware-Revision, Prüfergebnisse)</translation>
    </message>
    <message>
        <location line="+56"/>
        <source>This file cannot be restored: %1</source>
        <translation>Diese Datei kann nicht wiederhergestellt werden: %1</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>This snapshot was taken from a %1; the connected instrument is a %2. It is not restored.</source>
        <translation>Diese Sicherung stammt von einem Gerät der Art %1; das angeschlossene Gerät ist von der Art %2. Sie wird nicht wiederhergestellt.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>This snapshot was taken from instrument %1; the connected one is %2.
Restore it onto this instrument anyway?</source>
        <translation>Diese Sicherung stammt vom Gerät %1; angeschlossen ist %2.
Trotzdem auf dieses Gerät wiederherstellen?</translation>
    </message>
    <message numerus="yes">
        <location line="+17"/>
        <source>… and %n more</source>
        <translation>
            <numerusform>… und %n weitere</numerusform>
            <numerusform>… und %n weitere</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>SnapshotStore</name>
    <message>
        <location filename="../devices/snapshotstore.cpp" line="+52"/>
        <source>cannot create the folder %1</source>
        <translation>der Ordner %1 kann nicht angelegt werden</translation>
    </message>
    <message>
        <location line="+17"/>
        <location line="+9"/>
        <location line="+10"/>
        <source>cannot write %1: %2</source>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <location line="+58"/>
        <source>cannot read %1: %2</source>
        <translation>%1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>%1 is too large to be an options snapshot</source>
        <translation>%1 ist zu groß für eine Sicherung von Optionen</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
</context>
<context>
    <name>Startup</name>
    <message>
        <location filename="../ui/startup.cpp" line="+47"/>
        <source>Service tool for Tymbrel and Vectaris instruments on USB.</source>
        <translation>Serviceprogramm für Tymbrel- und Vectaris-Geräte an USB.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Show this help and exit.</source>
        <translation>Diese Hilfe anzeigen und beenden.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Print the version and exit.</source>
        <translation>Die Version ausgeben und beenden.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Log at debug level.</source>
        <translation>Auf Debug-Ebene protokollieren.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Log at trace level, the most detailed (wins over --debug).</source>
        <translation>Auf Trace-Ebene protokollieren, der ausführlichsten (hat Vorrang vor --debug).</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Turn on libusb&apos;s own logging at debug level.</source>
        <translation>Die eigene Protokollierung von libusb auf Debug-Ebene einschalten.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Turn on libusb&apos;s own logging at info level.</source>
        <translation>Die eigene Protokollierung von libusb auf Info-Ebene einschalten.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Show the Production page.</source>
        <translation>Die Seite Produktion anzeigen.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Show the Production and the Develop page.</source>
        <translation>Die Seiten Produktion und Entwicklung anzeigen.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Print the udev rule that gives the user at the seat access to the instruments, and exit.</source>
        <translation>Die udev-Regel ausgeben, die dem angemeldeten Benutzer Zugriff auf die Geräte gibt, und beenden.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Speak German (de) or English (en) instead of the language of the settings file or the system.</source>
        <translation>Deutsch (de) oder Englisch (en) statt der Sprache aus der Einstellungsdatei oder des Systems verwenden.</translation>
    </message>
    <message>
        <location line="+120"/>
        <source>Service records: %1</source>
        <translation>Serviceprotokoll: %1</translation>
    </message>
</context>
<context>
    <name>StationCommand</name>
    <message>
        <location filename="../app/cli/stationcommand.cpp" line="+121"/>
        <source>Scan the serial of the next board:</source>
        <translation>Seriennummer der nächsten Leiterplatte scannen:</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Waiting for a board...</source>
        <translation>Warten auf eine Leiterplatte …</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Unplug the board.</source>
        <translation>Leiterplatte abziehen.</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Stopping after the current board.</source>
        <translation>Ende nach der aktuellen Leiterplatte.</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>%1 boards: %2 passed, %3 failed, %4 boards per hour</source>
        <translation>%1 Leiterplatten: %2 bestanden, %3 fehlgeschlagen, %4 Leiterplatten je Stunde</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Not every record was written: %1</source>
        <translation>Nicht alle Nachweise wurden geschrieben: %1</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>%1 of %2 boards failed.</source>
        <translation>%1 von %2 Leiterplatten sind fehlgeschlagen.</translation>
    </message>
</context>
<context>
    <name>StationPanel</name>
    <message>
        <location filename="../ui/stationpanel.ui" line="+7"/>
        <source>Station</source>
        <translation>Produktionsplatz</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Function</source>
        <translation>Funktion</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Firmware</source>
        <translation>Firmware</translation>
    </message>
    <message>
        <location line="+0"/>
        <location line="+1"/>
        <source>as the option file names it</source>
        <translation>wie in der Optionsdatei genannt</translation>
    </message>
    <message>
        <location line="-1"/>
        <source>Choose the firmware file</source>
        <translation>Firmware-Datei wählen</translation>
    </message>
    <message>
        <location line="+0"/>
        <location line="+1"/>
        <source>Choose...</source>
        <translation>Wählen…</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Base firmware</source>
        <translation>Basis-Firmware</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Choose the base firmware file</source>
        <translation>Basis-Firmware-Datei wählen</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+1"/>
        <source>Serials</source>
        <translation>Seriennummern</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>none</source>
        <translation>keine</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>counter range</source>
        <translation>Zählerbereich</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>scanned</source>
        <translation>gescannt</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Serial range</source>
        <translation>Seriennummernbereich</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Scanned serial</source>
        <translation>Gescannte Seriennummer</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>scan the serial, then Enter</source>
        <translation>Seriennummer scannen, dann Eingabe</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Re-work: boards that carry another serial get the new one</source>
        <translation>Nacharbeit: Leiterplatten mit einer anderen Seriennummer erhalten die neue</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Start</source>
        <translation>Start</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Stop</source>
        <translation>Stopp</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Last boards</source>
        <translation>Letzte Leiterplatten</translation>
    </message>
    <message>
        <location filename="../ui/stationpanel.cpp" line="+42"/>
        <source>Firmware file</source>
        <translation>Firmware-Datei</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Base firmware file</source>
        <translation>Basis-Firmware-Datei</translation>
    </message>
    <message>
        <location line="+10"/>
        <location line="+259"/>
        <location line="+2"/>
        <source>Stopped</source>
        <translation>Angehalten</translation>
    </message>
    <message>
        <location line="-174"/>
        <location line="+51"/>
        <source>Cannot start</source>
        <translation>Start nicht möglich</translation>
    </message>
    <message>
        <location line="-4"/>
        <location line="+73"/>
        <source>Waiting for a board</source>
        <translation>Warten auf eine Leiterplatte</translation>
    </message>
    <message>
        <location line="-56"/>
        <source>Stopping after this board...</source>
        <translation>Halt nach dieser Leiterplatte…</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>next board: %1</source>
        <translation>nächste Leiterplatte: %1</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>waiting</source>
        <translation>warten</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>kind</source>
        <translation>Art</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>base firmware</source>
        <translation>Basis-Firmware</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>snapshot</source>
        <translation>Sicherung</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>identity</source>
        <translation>Kennung</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>function</source>
        <translation>Funktion</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>firmware</source>
        <translation>Firmware</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>reboot</source>
        <translation>Neustart</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>verify</source>
        <translation>Prüfung</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>unplug</source>
        <translation>abziehen</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Scan the serial of the next board</source>
        <translation>Scannen Sie die Seriennummer der nächsten Leiterplatte</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Plug the next board.</source>
        <translation>Stecken Sie die nächste Leiterplatte ein.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Unplug the board.</source>
        <translation>Ziehen Sie die Leiterplatte ab.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Working: %1</source>
        <translation>In Arbeit: %1</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Working: %1 %2 %</source>
        <translation>In Arbeit: %1 %2 %</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>PASS %1</source>
        <translation>PASS %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>PASS %1 %2 s</source>
        <translation>PASS %1 %2 s</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>FAIL %1</source>
        <translation>FAIL %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>FAIL %1 %2: %3</source>
        <translation>FAIL %1 %2: %3</translation>
    </message>
    <message>
        <location line="+60"/>
        <source>Passed: %1    Failed: %2    Boards per hour: %3</source>
        <translation>Bestanden: %1    Fehlgeschlagen: %2    Leiterplatten pro Stunde: %3</translation>
    </message>
</context>
<context>
    <name>SupportCommand</name>
    <message>
        <location filename="../app/cli/supportcommand.cpp" line="+52"/>
        <source>Support bundle not written: %1</source>
        <translation>Support-Paket nicht gespeichert: %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Support bundle: %1</source>
        <translation>Support-Paket: %1</translation>
    </message>
</context>
<context>
    <name>TopBarWidget</name>
    <message>
        <location filename="../ui/topbarwidget.ui" line="+100"/>
        <location line="+3"/>
        <location line="+3"/>
        <source>Minimize</source>
        <translation>Minimieren</translation>
    </message>
    <message>
        <location line="+26"/>
        <location line="+3"/>
        <location line="+3"/>
        <source>Restore</source>
        <translation>Wiederherstellen</translation>
    </message>
    <message>
        <location line="+26"/>
        <location line="+3"/>
        <location line="+3"/>
        <source>Maximize</source>
        <translation>Maximieren</translation>
    </message>
    <message>
        <location line="+26"/>
        <location line="+3"/>
        <location line="+3"/>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <location filename="../ui/topbarwidget.cpp" line="+11"/>
        <source>Version: </source>
        <translation>Version: </translation>
    </message>
</context>
<context>
    <name>TrackPictureWidget</name>
    <message>
        <location filename="../ui/trackpicturewidget.cpp" line="+53"/>
        <source>MaxCoil [dB]</source>
        <translation>Max. Spule [dB]</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>MinCoil [dB]</source>
        <translation>Min. Spule [dB]</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Depth [m]</source>
        <translation>Tiefe [m]</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Amperage [A]</source>
        <translation>Stromstärke [A]</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Frequency [Hz]</source>
        <translation>Frequenz [Hz]</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>ModeLevel</source>
        <translation>Modusstufe</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Azimuth [°]</source>
        <translation>Azimut [°]</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Zenit [°]</source>
        <translation>Zenit [°]</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>HazeLevel</source>
        <translation>Störpegel</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>SisValue</source>
        <translation>SIS-Wert</translation>
    </message>
    <message>
        <location line="+218"/>
        <source>Point %1</source>
        <translation>Punkt %1</translation>
    </message>
    <message>
        <location line="+70"/>
        <source>No point of this series has a GPS fix.</source>
        <translation>Kein Punkt dieser Messreihe hat eine GPS-Position.</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>N</source>
        <translation>N</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>%1 m</source>
        <translation>%1 m</translation>
    </message>
</context>
<context>
    <name>VectarisDataPointModel</name>
    <message>
        <location filename="../measurements/vectarisdatapointmodel.cpp" line="+8"/>
        <source>MaxCoil [dB]</source>
        <translation>Max. Spule [dB]</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>MinCoil [dB]</source>
        <translation>Min. Spule [dB]</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Depth [m]</source>
        <translation>Tiefe [m]</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Amperage [A]</source>
        <translation>Stromstärke [A]</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Frequency [Hz]</source>
        <translation>Frequenz [Hz]</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>ModeLevel</source>
        <translation>Modusstufe</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Azimuth [°]</source>
        <translation>Azimut [°]</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Zenit [°]</source>
        <translation>Zenit [°]</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>HazeLevel</source>
        <translation>Störpegel</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>SisValue</source>
        <translation>SIS-Wert</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Position</source>
        <translation>Position</translation>
    </message>
</context>
<context>
    <name>VectarisDatasetModel</name>
    <message>
        <location filename="../measurements/vectarisdatasetmodel.cpp" line="+57"/>
        <source>Title</source>
        <translation>Titel</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Points</source>
        <translation>Punkte</translation>
    </message>
</context>
<context>
    <name>WriteDeviceOptionsJob</name>
    <message>
        <location filename="../devices/jobs/writedeviceoptionsjob.cpp" line="+27"/>
        <source>The options could not be stored permanently on the instrument (%1).</source>
        <translation>Die Optionen konnten auf dem Gerät nicht dauerhaft gespeichert werden (%1).</translation>
    </message>
</context>
<context>
    <name>WriteFirmwareJob</name>
    <message>
        <location filename="../devices/jobs/writefirmwarejob.cpp" line="+40"/>
        <source>Can&apos;t decrypt file</source>
        <translation>Datei kann nicht entschlüsselt werden</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Hash is wrong!</source>
        <translation>Prüfsumme ist falsch!</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Firmware not supported by hardware revision!</source>
        <translation>Firmware wird von dieser Hardware-Revision nicht unterstützt!</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Invalid offset at file</source>
        <translation>Ungültiger Offset in der Datei</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>USB Error</source>
        <translation>USB-Fehler</translation>
    </message>
    <message>
        <location line="+85"/>
        <source>Writing firmware...</source>
        <translation>Firmware wird geschrieben …</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>Verifying...</source>
        <translation>Wird überprüft …</translation>
    </message>
</context>
</TS>
