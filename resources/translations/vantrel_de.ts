<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Vantrel::ApprovalModel</name>
    <message numerus="yes">
        <source>Prepared by Vantrel before: %n tracks ready to send to Logic.</source>
        <translation>
            <numerusform>Von Vantrel vorbereitet: %n Spur bereit zum Senden an Logic.</numerusform>
            <numerusform>Von Vantrel vorbereitet: %n Spuren bereit zum Senden an Logic.</numerusform>
        </translation>
    </message>
    <message>
        <source>Choose</source>
        <translation>Auswählen</translation>
    </message>
    <message>
        <source>Organizing “%1”</source>
        <translation>„%1“ wird geordnet</translation>
    </message>
    <message>
        <source>Making the sorted copy</source>
        <translation>Die sortierte Kopie wird erstellt</translation>
    </message>
    <message numerus="yes">
        <source>%n files</source>
        <translation>
            <numerusform>%n Datei</numerusform>
            <numerusform>%n Dateien</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n files</source>
        <translation>
            <numerusform>%1 von %n Datei</numerusform>
            <numerusform>%1 von %n Dateien</numerusform>
        </translation>
    </message>
    <message>
        <source>Couldn&apos;t organize the folder: %1</source>
        <translation>Der Ordner konnte nicht geordnet werden: %1</translation>
    </message>
    <message>
        <source>Couldn&apos;t create the sorted folder: %1</source>
        <translation>Der sortierte Ordner konnte nicht erstellt werden: %1</translation>
    </message>
    <message>
        <source>Putting the files back</source>
        <translation>Die Dateien werden zurückgelegt</translation>
    </message>
    <message>
        <source>Couldn&apos;t put the files back: %1</source>
        <translation>Die Dateien konnten nicht zurückgelegt werden: %1</translation>
    </message>
    <message>
        <source>“%1” is read-only, so Vantrel can&apos;t organize it in place. Choose “Make a sorted copy” to leave it as it is.</source>
        <translation>„%1“ ist schreibgeschützt, daher kann Vantrel den Ordner nicht an Ort und Stelle ordnen. Wählen Sie „Sortierte Kopie erstellen“, um ihn unverändert zu lassen.</translation>
    </message>
    <message>
        <source>Couldn&apos;t make the Ardour session: %1</source>
        <translation>Die Ardour-Session konnte nicht erstellt werden: %1</translation>
    </message>
    <message>
        <source>Making the Ardour session</source>
        <translation>Die Ardour-Session wird erstellt</translation>
    </message>
    <message>
        <source>Saving the DAWproject file</source>
        <translation>Die DAWproject-Datei wird gesichert</translation>
    </message>
    <message>
        <source>Couldn&apos;t save the DAWproject file: %1</source>
        <translation>Die DAWproject-Datei konnte nicht gesichert werden: %1</translation>
    </message>
    <message numerus="yes">
        <source>Saved “%1” with %n tracks.</source>
        <translation>
            <numerusform>„%1“ mit %n Spur gesichert.</numerusform>
            <numerusform>„%1“ mit %n Spuren gesichert.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Made the Ardour session “%1” with %n tracks and opened it in Ardour.</source>
        <translation>
            <numerusform>Die Ardour-Session „%1“ mit %n Spur wurde erstellt und in Ardour geöffnet.</numerusform>
            <numerusform>Die Ardour-Session „%1“ mit %n Spuren wurde erstellt und in Ardour geöffnet.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Made the Ardour session “%1” with %n tracks. Open “%2” in Ardour.</source>
        <translation>
            <numerusform>Die Ardour-Session „%1“ mit %n Spur wurde erstellt. Öffnen Sie „%2“ in Ardour.</numerusform>
            <numerusform>Die Ardour-Session „%1“ mit %n Spuren wurde erstellt. Öffnen Sie „%2“ in Ardour.</numerusform>
        </translation>
    </message>
    <message>
        <source>The sorted copy can&apos;t go inside “%1” itself. Choose another folder for it.</source>
        <translation>Die sortierte Kopie kann nicht in „%1“ selbst liegen. Wählen Sie einen anderen Ordner dafür.</translation>
    </message>
    <message>
        <source>The folder “%1” chosen for the sorted copy is gone. Choose another folder for it.</source>
        <translation>Der für die sortierte Kopie gewählte Ordner „%1“ ist nicht mehr da. Wählen Sie einen anderen Ordner dafür.</translation>
    </message>
    <message>
        <source>The folder “%1” chosen for the sorted copy is read-only. Choose another folder for it.</source>
        <translation>Der für die sortierte Kopie gewählte Ordner „%1“ ist schreibgeschützt. Wählen Sie einen anderen Ordner dafür.</translation>
    </message>
    <message>
        <source>The folder that holds “%1” is read-only, so the sorted copy can&apos;t be made next to it. Choose where the sorted copy goes.</source>
        <translation>Der Ordner, der „%1“ enthält, ist schreibgeschützt, daher kann die sortierte Kopie nicht daneben erstellt werden. Wählen Sie, wohin die sortierte Kopie kommt.</translation>
    </message>
    <message>
        <source>Choose the folder the sorted copy of “%1” goes into</source>
        <translation>Wählen Sie den Ordner, in den die sortierte Kopie von „%1“ kommt</translation>
    </message>
    <message numerus="yes">
        <source>%n files moved into their folders: nothing copied, no extra space used.</source>
        <translation>
            <numerusform>%n Datei in ihren Ordner verschoben: nichts kopiert, kein zusätzlicher Platz belegt.</numerusform>
            <numerusform>%n Dateien in ihre Ordner verschoben: nichts kopiert, kein zusätzlicher Platz belegt.</numerusform>
        </translation>
    </message>
    <message>
        <source>The folder&apos;s disk can&apos;t be locked, so another program could have changed the folder while Vantrel organized it.</source>
        <translation>Das Laufwerk des Ordners lässt sich nicht sperren, daher könnte ein anderes Programm den Ordner verändert haben, während Vantrel ihn ordnete.</translation>
    </message>
    <message>
        <source>Copied %1 GB (this disk cannot clone files).</source>
        <translation>%1 GB kopiert (dieses Laufwerk kann keine Dateien klonen).</translation>
    </message>
    <message numerus="yes">
        <source>%n files cloned: no extra disk space used.</source>
        <translation>
            <numerusform>%n Datei geklont: kein zusätzlicher Speicherplatz belegt.</numerusform>
            <numerusform>%n Dateien geklont: kein zusätzlicher Speicherplatz belegt.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>Vantrel::AudioCheck</name>
    <message numerus="yes">
        <source>%n files are at %1, the other at %2: Logic Pro will convert them on import.</source>
        <translation>
            <numerusform>%n Datei hat %1, die andere %2: Logic Pro konvertiert sie beim Import.</numerusform>
            <numerusform>%n Dateien haben %1, die andere %2: Logic Pro konvertiert sie beim Import.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files are at %1, the other %2 at %3: Logic Pro will convert them on import.</source>
        <translation>
            <numerusform>%n Datei hat %1, die anderen %2 haben %3: Logic Pro konvertiert sie beim Import.</numerusform>
            <numerusform>%n Dateien haben %1, die anderen %2 haben %3: Logic Pro konvertiert sie beim Import.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n at %1</source>
        <translation>
            <numerusform>%n mit %1</numerusform>
            <numerusform>%n mit %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files are at other sample rates (%1), the other at %2: Logic Pro will convert them on import.</source>
        <translation>
            <numerusform>%n Datei hat eine andere Abtastrate (%1), die andere %2: Logic Pro konvertiert sie beim Import.</numerusform>
            <numerusform>%n Dateien haben andere Abtastraten (%1), die andere %2: Logic Pro konvertiert sie beim Import.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files are at other sample rates (%1), the other %2 at %3: Logic Pro will convert them on import.</source>
        <translation>
            <numerusform>%n Datei hat eine andere Abtastrate (%1), die anderen %2 haben %3: Logic Pro konvertiert sie beim Import.</numerusform>
            <numerusform>%n Dateien haben andere Abtastraten (%1), die anderen %2 haben %3: Logic Pro konvertiert sie beim Import.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files are %1, the other %2: they may come from another recording or export.</source>
        <translation>
            <numerusform>%n Datei hat %1, die andere %2: Sie stammt vielleicht aus einer anderen Aufnahme oder einem anderen Export.</numerusform>
            <numerusform>%n Dateien haben %1, die andere %2: Sie stammen vielleicht aus einer anderen Aufnahme oder einem anderen Export.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files are %1, the other %2 %3: they may come from another recording or export.</source>
        <translation>
            <numerusform>%n Datei hat %1, die anderen %2 haben %3: Sie stammt vielleicht aus einer anderen Aufnahme oder einem anderen Export.</numerusform>
            <numerusform>%n Dateien haben %1, die anderen %2 haben %3: Sie stammen vielleicht aus einer anderen Aufnahme oder einem anderen Export.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n %1</source>
        <translation>
            <numerusform>%n mit %1</numerusform>
            <numerusform>%n mit %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files have other bit depths (%1), the other %2: they may come from another recording or export.</source>
        <translation>
            <numerusform>%n Datei hat eine andere Bittiefe (%1), die andere %2: Sie stammt vielleicht aus einer anderen Aufnahme oder einem anderen Export.</numerusform>
            <numerusform>%n Dateien haben andere Bittiefen (%1), die andere %2: Sie stammen vielleicht aus einer anderen Aufnahme oder einem anderen Export.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files have other bit depths (%1), the other %2 %3: they may come from another recording or export.</source>
        <translation>
            <numerusform>%n Datei hat eine andere Bittiefe (%1), die anderen %2 haben %3: Sie stammt vielleicht aus einer anderen Aufnahme oder einem anderen Export.</numerusform>
            <numerusform>%n Dateien haben andere Bittiefen (%1), die anderen %2 haben %3: Sie stammen vielleicht aus einer anderen Aufnahme oder einem anderen Export.</numerusform>
        </translation>
    </message>
    <message>
        <source>“%1” is silent: its peak is below −90 dBFS.</source>
        <translation>„%1“ ist stumm: Der Spitzenpegel liegt unter −90 dBFS.</translation>
    </message>
    <message numerus="yes">
        <source>%n files are silent: their peaks are below −90 dBFS.</source>
        <translation>
            <numerusform>%n Datei ist stumm: Ihr Spitzenpegel liegt unter −90 dBFS.</numerusform>
            <numerusform>%n Dateien sind stumm: Ihre Spitzenpegel liegen unter −90 dBFS.</numerusform>
        </translation>
    </message>
    <message>
        <source>“%1” has identical channels (dual mono): a mono file would take half the disk and CPU.</source>
        <translation>„%1“ hat identische Kanäle (Dual-Mono): Eine Monodatei bräuchte nur halb so viel Speicherplatz und Rechenleistung.</translation>
    </message>
    <message numerus="yes">
        <source>%n files have identical channels (dual mono): mono files would take half the disk and CPU.</source>
        <translation>
            <numerusform>%n Datei hat identische Kanäle (Dual-Mono): Eine Monodatei bräuchte nur halb so viel Speicherplatz und Rechenleistung.</numerusform>
            <numerusform>%n Dateien haben identische Kanäle (Dual-Mono): Monodateien bräuchten nur halb so viel Speicherplatz und Rechenleistung.</numerusform>
        </translation>
    </message>
    <message>
        <source>“%1” is clipped: it has runs of consecutive samples at full scale.</source>
        <translation>„%1“ ist übersteuert: Die Datei enthält Folgen aufeinanderfolgender Samples bei Vollaussteuerung.</translation>
    </message>
    <message numerus="yes">
        <source>%n files are clipped: they have runs of consecutive samples at full scale.</source>
        <translation>
            <numerusform>%n Datei ist übersteuert: Sie enthält Folgen aufeinanderfolgender Samples bei Vollaussteuerung.</numerusform>
            <numerusform>%n Dateien sind übersteuert: Sie enthalten Folgen aufeinanderfolgender Samples bei Vollaussteuerung.</numerusform>
        </translation>
    </message>
    <message>
        <source>“%1” lasts %2, less than half the session’s median of %3: a wrong or truncated file?</source>
        <translation>„%1“ dauert %2, weniger als die Hälfte des Medians der Session von %3: eine falsche oder abgeschnittene Datei?</translation>
    </message>
    <message numerus="yes">
        <source>%n files last less than half the session’s median of %1: wrong or truncated files?</source>
        <translation>
            <numerusform>%n Datei dauert weniger als die Hälfte des Medians der Session von %1: eine falsche oder abgeschnittene Datei?</numerusform>
            <numerusform>%n Dateien dauern weniger als die Hälfte des Medians der Session von %1: falsche oder abgeschnittene Dateien?</numerusform>
        </translation>
    </message>
    <message>
        <source>“%1” could not be read as audio: format not read.</source>
        <translation>„%1“ ließ sich nicht als Audio lesen: Format nicht gelesen.</translation>
    </message>
    <message numerus="yes">
        <source>%n files could not be read as audio: format not read.</source>
        <translation>
            <numerusform>%n Datei ließ sich nicht als Audio lesen: Format nicht gelesen.</numerusform>
            <numerusform>%n Dateien ließen sich nicht als Audio lesen: Format nicht gelesen.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>Vantrel::Files</name>
    <message>
        <source>Couldn&apos;t create the folder “%1”: %2.</source>
        <translation>Der Ordner „%1“ konnte nicht erstellt werden: %2.</translation>
    </message>
    <message>
        <source>Couldn&apos;t write the file “%1”: %2.</source>
        <translation>Die Datei „%1“ konnte nicht geschrieben werden: %2.</translation>
    </message>
    <message>
        <source>Cancelled.</source>
        <translation>Abgebrochen.</translation>
    </message>
    <message>
        <source>Copied %1 GB (this disk cannot clone files).</source>
        <translation>%1 GB kopiert (dieses Laufwerk kann keine Dateien klonen).</translation>
    </message>
    <message numerus="yes">
        <source>%n files cloned: no extra disk space used.</source>
        <translation>
            <numerusform>%n Datei geklont: kein zusätzlicher Speicherplatz belegt.</numerusform>
            <numerusform>%n Dateien geklont: kein zusätzlicher Speicherplatz belegt.</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 These files could not be moved back and stay where they were put; the undo journal keeps them, so “Put the Files Back” can finish later:
%2</source>
        <translation>%1 Diese Dateien konnten nicht zurückbewegt werden und bleiben, wo sie abgelegt wurden; das Rückgängig-Protokoll behält sie, sodass „Dateien zurücklegen“ es später abschließen kann:
%2</translation>
    </message>
    <message numerus="yes">
        <source>%n files moved into their folders: nothing copied, no extra space used. The folder&apos;s disk can&apos;t be locked, so another program could have changed the folder while Vantrel organized it.</source>
        <translation>
            <numerusform>%n Datei in ihren Ordner bewegt: nichts kopiert, kein zusätzlicher Speicherplatz belegt. Das Laufwerk des Ordners lässt sich nicht sperren, daher könnte ein anderes Programm den Ordner verändert haben, während Vantrel ihn ordnete.</numerusform>
            <numerusform>%n Dateien in ihre Ordner bewegt: nichts kopiert, kein zusätzlicher Speicherplatz belegt. Das Laufwerk des Ordners lässt sich nicht sperren, daher könnte ein anderes Programm den Ordner verändert haben, während Vantrel ihn ordnete.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files moved into their folders: nothing copied, no extra space used.</source>
        <translation>
            <numerusform>%n Datei in ihren Ordner bewegt: nichts kopiert, kein zusätzlicher Speicherplatz belegt.</numerusform>
            <numerusform>%n Dateien in ihre Ordner bewegt: nichts kopiert, kein zusätzlicher Speicherplatz belegt.</numerusform>
        </translation>
    </message>
    <message>
        <source>The folder holds an undo journal that can&apos;t be read (%1); put the files back or remove it first. Nothing was moved.</source>
        <translation>Der Ordner enthält ein Rückgängig-Protokoll, das sich nicht lesen lässt (%1); legen Sie zuerst die Dateien zurück oder entfernen Sie es. Es wurde nichts bewegt.</translation>
    </message>
    <message>
        <source>The undo journal “%1” is damaged: it is not a list of moves. Put the files back or remove it first; nothing was moved.</source>
        <translation>Das Rückgängig-Protokoll „%1“ ist beschädigt: Es ist keine Liste von Verschiebungen. Legen Sie zuerst die Dateien zurück oder entfernen Sie es; es wurde nichts bewegt.</translation>
    </message>
    <message>
        <source>“%1” stayed at “%2”: %3.</source>
        <translation>„%1“ ist unter „%2“ geblieben: %3.</translation>
    </message>
    <message>
        <source>The undo journal “%1” names “%2”, which is not inside the organized folder; nothing was moved.</source>
        <translation>Das Rückgängig-Protokoll „%1“ nennt „%2“, das nicht im geordneten Ordner liegt; es wurde nichts bewegt.</translation>
    </message>
    <message>
        <source>Couldn&apos;t read the undo journal “%1”: %2.</source>
        <translation>Das Rückgängig-Protokoll „%1“ konnte nicht gelesen werden: %2.</translation>
    </message>
    <message>
        <source>The undo journal “%1” is damaged: it is not a list of moves; nothing was moved.</source>
        <translation>Das Rückgängig-Protokoll „%1“ ist beschädigt: Es ist keine Liste von Verschiebungen; es wurde nichts bewegt.</translation>
    </message>
    <message>
        <source>“%1” was left in place: %2.</source>
        <translation>„%1“ wurde an seinem Ort gelassen: %2.</translation>
    </message>
    <message>
        <source>“%1” was left in place: it holds “%2” that Vantrel didn&apos;t put there.</source>
        <translation>„%1“ wurde an seinem Ort gelassen: Darin liegt „%2“, das nicht Vantrel dort abgelegt hat.</translation>
    </message>
    <message numerus="yes">
        <source>“%1” was left in place: it holds %n entries that Vantrel didn&apos;t put there.</source>
        <translation>
            <numerusform>„%1“ wurde an seinem Ort gelassen: Darin liegt %n Eintrag, den nicht Vantrel dort abgelegt hat.</numerusform>
            <numerusform>„%1“ wurde an seinem Ort gelassen: Darin liegen %n Einträge, die nicht Vantrel dort abgelegt hat.</numerusform>
        </translation>
    </message>
    <message>
        <source>“%1” was not put back: it is no longer at “%2”, where the undo journal expects it.</source>
        <translation>„%1“ wurde nicht zurückgelegt: Es liegt nicht mehr unter „%2“, wo das Rückgängig-Protokoll es erwartet.</translation>
    </message>
    <message>
        <source>Some files stayed where they are; the undo journal keeps them, so that a later put-back can finish:
%1</source>
        <translation>Einige Dateien sind geblieben, wo sie sind; das Rückgängig-Protokoll behält sie, sodass ein späteres Zurücklegen es abschließen kann:
%1</translation>
    </message>
    <message>
        <source>Couldn&apos;t copy “%1” to “%2”: %3.</source>
        <translation>„%1“ konnte nicht nach „%2“ kopiert werden: %3.</translation>
    </message>
    <message>
        <source>Couldn&apos;t move “%1” to “%2”: %3.</source>
        <translation>„%1“ konnte nicht nach „%2“ bewegt werden: %3.</translation>
    </message>
    <message>
        <source>Couldn&apos;t remove “%1”: %2.</source>
        <translation>„%1“ konnte nicht entfernt werden: %2.</translation>
    </message>
    <message>
        <source>Couldn&apos;t read the folder “%1”: %2.</source>
        <translation>Der Ordner „%1“ konnte nicht gelesen werden: %2.</translation>
    </message>
    <message>
        <source>Couldn&apos;t write “%1”: %2.</source>
        <translation>„%1“ konnte nicht geschrieben werden: %2.</translation>
    </message>
    <message>
        <source>Couldn&apos;t save the folder “%1”: %2.</source>
        <translation>Der Ordner „%1“ konnte nicht gesichert werden: %2.</translation>
    </message>
    <message>
        <source>Couldn&apos;t use “%1”: %2.</source>
        <translation>„%1“ konnte nicht verwendet werden: %2.</translation>
    </message>
    <message>
        <source>“%1” is being organized or put back by another Vantrel right now; nothing was changed. Try again when it has finished.</source>
        <translation>„%1“ wird gerade von einem anderen Vantrel geordnet oder zurückgelegt; es wurde nichts verändert. Versuchen Sie es erneut, wenn es fertig ist.</translation>
    </message>
    <message>
        <source>“%1” is not a result folder: it holds no %2.</source>
        <translation>„%1“ ist kein Ergebnisordner: Er enthält keine Datei %2.</translation>
    </message>
    <message>
        <source>The %1 in “%2” cannot be read.</source>
        <translation>Die Datei %1 in „%2“ kann nicht gelesen werden.</translation>
    </message>
    <message>
        <source>The %1 in “%2” names “%3”, which is not a place inside the folder; nothing was sent.</source>
        <translation>Die Datei %1 in „%2“ nennt „%3“, das kein Ort innerhalb des Ordners ist; es wurde nichts gesendet.</translation>
    </message>
    <message>
        <source>The %1 in “%2” lists no tracks; nothing was sent.</source>
        <translation>Die Datei %1 in „%2“ führt keine Spuren auf; es wurde nichts gesendet.</translation>
    </message>
    <message>
        <source>The folder “%1” in “%2” is a symbolic link, so its tracks may lie outside the result folder; nothing was sent.</source>
        <translation>Der Ordner „%1“ in „%2“ ist ein symbolischer Link, daher könnten seine Spuren außerhalb des Ergebnisordners liegen; es wurde nichts gesendet.</translation>
    </message>
    <message numerus="yes">
        <source>%n of the %1 tracks that the %2 in “%3” lists are not in their place (%4); nothing was sent.</source>
        <translation>
            <numerusform>%n der %1 Spuren, die die Datei %2 in „%3“ aufführt, ist nicht an ihrem Platz (%4); es wurde nichts gesendet.</numerusform>
            <numerusform>%n der %1 Spuren, die die Datei %2 in „%3“ aufführt, sind nicht an ihrem Platz (%4); es wurde nichts gesendet.</numerusform>
        </translation>
    </message>
    <message>
        <source>Couldn&apos;t read “%1”: %2.</source>
        <translation>„%1“ konnte nicht gelesen werden: %2.</translation>
    </message>
    <message>
        <source>“%1” was left alone: its name is not valid UTF-8, so Vantrel can&apos;t name it safely.</source>
        <translation>„%1“ wurde nicht angerührt: Sein Name ist kein gültiges UTF-8, daher kann Vantrel ihn nicht sicher benennen.</translation>
    </message>
    <message>
        <source>it is not a regular file</source>
        <translation>es ist keine normale Datei</translation>
    </message>
    <message>
        <source>it is larger than %1 bytes</source>
        <translation>sie ist größer als %1 Byte</translation>
    </message>
</context>
<context>
    <name>Vantrel::ReviewSession</name>
    <message>
        <source>Choose</source>
        <translation>Auswählen</translation>
    </message>
    <message>
        <source>Drop a folder of tracks, not a single file.</source>
        <translation>Ziehen Sie einen Ordner mit Spuren hierher, keine einzelne Datei.</translation>
    </message>
    <message>
        <source>Reading “%1”</source>
        <translation>„%1“ wird gelesen</translation>
    </message>
    <message>
        <source>Looking at the files…</source>
        <translation>Die Dateien werden angesehen …</translation>
    </message>
    <message>
        <source>No audio files found directly inside “%1”.</source>
        <translation>Direkt in „%1“ wurden keine Audiodateien gefunden.</translation>
    </message>
    <message>
        <source>Choose the folder of tracks to sort</source>
        <translation>Wählen Sie den Ordner mit den zu sortierenden Spuren</translation>
    </message>
    <message>
        <source>Add “%1” to the words of %2?</source>
        <translation>„%1“ zu den Wörtern von %2 hinzufügen?</translation>
    </message>
</context>
<context>
    <name>Vantrel::Rules</name>
    <message>
        <source>“%1” is not true or false</source>
        <translation>„%1“ ist weder true noch false</translation>
    </message>
    <message>
        <source>group %1 is not an object</source>
        <translation>Gruppe %1 ist kein Objekt</translation>
    </message>
    <message>
        <source>the “name” of group %1 is not text</source>
        <translation>der „name“ von Gruppe %1 ist kein Text</translation>
    </message>
    <message>
        <source>the “aliases” of group %1 is not a list</source>
        <translation>die „aliases“ von Gruppe %1 sind keine Liste</translation>
    </message>
    <message>
        <source>a word of group %1 is not text</source>
        <translation>ein Wort von Gruppe %1 ist kein Text</translation>
    </message>
    <message>
        <source>the “color” of group %1 is not a list</source>
        <translation>die „color“ von Gruppe %1 ist keine Liste</translation>
    </message>
    <message>
        <source>line %1, column %2</source>
        <translation>Zeile %1, Spalte %2</translation>
    </message>
    <message>
        <source>it is not a JSON object</source>
        <translation>sie ist kein JSON-Objekt</translation>
    </message>
    <message>
        <source>“%1” is missing or not a list</source>
        <translation>„%1“ fehlt oder ist keine Liste</translation>
    </message>
    <message>
        <source>“%1” is missing or not an object</source>
        <translation>„%1“ fehlt oder ist kein Objekt</translation>
    </message>
    <message>
        <source>the alias of “%1” is not text</source>
        <translation>der Alias von „%1“ ist kein Text</translation>
    </message>
    <message>
        <source>“%1” is not text</source>
        <translation>„%1“ ist kein Text</translation>
    </message>
    <message>
        <source>it has no rule groups</source>
        <translation>sie enthält keine Regelgruppen</translation>
    </message>
</context>
<context>
    <name>Vantrel::RulesModel</name>
    <message>
        <source>Your rules file “%1” could not be read, so Vantrel is using the built-in rules. The file is kept as “%2”.</source>
        <translation>Ihre Regeldatei „%1“ konnte nicht gelesen werden, daher verwendet Vantrel die eingebauten Regeln. Die Datei wird als „%2“ aufbewahrt.</translation>
    </message>
    <message>
        <source>Your rules file “%1” could not be read (%2), so Vantrel is using the built-in rules. The file is kept as “%3”.</source>
        <translation>Ihre Regeldatei „%1“ konnte nicht gelesen werden (%2), daher verwendet Vantrel die eingebauten Regeln. Die Datei wird als „%3“ aufbewahrt.</translation>
    </message>
    <message>
        <source>Your rules file “%1” could not be read, so Vantrel is using the built-in rules. Couldn&apos;t keep a copy of it: %2</source>
        <translation>Ihre Regeldatei „%1“ konnte nicht gelesen werden, daher verwendet Vantrel die eingebauten Regeln. Eine Kopie davon konnte nicht aufbewahrt werden: %2</translation>
    </message>
    <message>
        <source>Your rules file “%1” could not be read (%2), so Vantrel is using the built-in rules. Couldn&apos;t keep a copy of it: %3</source>
        <translation>Ihre Regeldatei „%1“ konnte nicht gelesen werden (%2), daher verwendet Vantrel die eingebauten Regeln. Eine Kopie davon konnte nicht aufbewahrt werden: %3</translation>
    </message>
    <message>
        <source>Couldn&apos;t save rules: %1</source>
        <translation>Die Regeln konnten nicht gesichert werden: %1</translation>
    </message>
</context>
<context>
    <name>Vantrel::SendModel</name>
    <message>
        <source>Allow Vantrel in System Settings &gt; Privacy &amp; Security &gt; Accessibility, then try again.</source>
        <translation>Erlauben Sie Vantrel unter Systemeinstellungen &gt; Datenschutz &amp; Sicherheit &gt; Bedienungshilfen und versuchen Sie es dann erneut.</translation>
    </message>
    <message>
        <source>Open Logic Pro with an empty project first, then try again.</source>
        <translation>Öffnen Sie zuerst Logic Pro mit einem leeren Projekt und versuchen Sie es dann erneut.</translation>
    </message>
    <message>
        <source>Starting…</source>
        <translation>Wird gestartet …</translation>
    </message>
</context>
<context>
    <name>Vantrel::Sender</name>
    <message>
        <source>Couldn&apos;t read Logic&apos;s track list to color %1.</source>
        <translation>Die Spurliste von Logic konnte nicht gelesen werden, um %1 einzufärben.</translation>
    </message>
    <message>
        <source>Couldn&apos;t find the stack %1 in Logic to color it.</source>
        <translation>Der Spurstapel %1 wurde in Logic nicht gefunden, daher konnte er nicht eingefärbt werden.</translation>
    </message>
    <message>
        <source>the Color window</source>
        <translation>das Farbfenster</translation>
    </message>
    <message>
        <source>Couldn&apos;t read Logic&apos;s color palette (the Color window has no size).</source>
        <translation>Die Farbpalette von Logic konnte nicht gelesen werden (das Farbfenster hat keine Größe).</translation>
    </message>
    <message>
        <source>Couldn&apos;t find that color in Logic&apos;s palette.</source>
        <translation>Diese Farbe wurde in der Palette von Logic nicht gefunden.</translation>
    </message>
    <message>
        <source>Couldn&apos;t keep the %1 tracks selected in Logic to color them (something else changed the selection).</source>
        <translation>Die Spuren von %1 ließen sich in Logic nicht ausgewählt halten, um sie einzufärben (etwas anderes hat die Auswahl geändert).</translation>
    </message>
    <message>
        <source>(the selection changed before coloring %1; selecting again)</source>
        <translation>(die Auswahl hat sich vor dem Einfärben von %1 geändert; es wird erneut ausgewählt)</translation>
    </message>
    <message>
        <source>(the selection changed while coloring %1; coloring again)</source>
        <translation>(die Auswahl hat sich beim Einfärben von %1 geändert; es wird erneut eingefärbt)</translation>
    </message>
    <message>
        <source>(the Color window would not close)</source>
        <translation>(das Farbfenster ließ sich nicht schließen)</translation>
    </message>
    <message>
        <source>the import dialog</source>
        <translation>den Importdialog</translation>
    </message>
    <message>
        <source>the Go to Folder box</source>
        <translation>das Feld „Gehe zum Ordner“</translation>
    </message>
    <message>
        <source>the folder to open</source>
        <translation>das Öffnen des Ordners</translation>
    </message>
    <message>
        <source>“%1” in the dialog</source>
        <translation>„%1“ im Dialog</translation>
    </message>
    <message>
        <source>Open to be available</source>
        <translation>die Taste „Open“</translation>
    </message>
    <message>
        <source>the tempo question to close</source>
        <translation>das Schließen der Tempo-Frage</translation>
    </message>
    <message>
        <source>the import dialog to close</source>
        <translation>das Schließen des Importdialogs</translation>
    </message>
    <message>
        <source>Couldn&apos;t find Logic&apos;s project window.</source>
        <translation>Das Projektfenster von Logic wurde nicht gefunden.</translation>
    </message>
    <message>
        <source>Logic&apos;s track list</source>
        <translation>die Spurliste von Logic</translation>
    </message>
    <message numerus="yes">
        <source>before the drag: %n tracks; windows: %1</source>
        <translation>
            <numerusform>vor dem Ziehen: %n Spur; Fenster: %1</numerusform>
            <numerusform>vor dem Ziehen: %n Spuren; Fenster: %1</numerusform>
        </translation>
    </message>
    <message>
        <source>Logic stopped answering after the drop.</source>
        <translation>Logic hat nach dem Ablegen nicht mehr reagiert.</translation>
    </message>
    <message>
        <source>Retrying the drag (%1)</source>
        <translation>Das Ziehen wird wiederholt (%1)</translation>
    </message>
    <message numerus="yes">
        <source>Importing: %1 of %n tracks</source>
        <translation>
            <numerusform>Import: %1 von %n Spur</numerusform>
            <numerusform>Import: %1 von %n Spuren</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Importing %1: %2 of %n tracks</source>
        <translation>
            <numerusform>Import von %1: %2 von %n Spur</numerusform>
            <numerusform>Import von %1: %2 von %n Spuren</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Logic only brought in %1 of %n tracks.</source>
        <translation>
            <numerusform>Logic hat nur %1 von %n Spur übernommen.</numerusform>
            <numerusform>Logic hat nur %1 von %n Spuren übernommen.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Logic only brought in %1 of %n %2 tracks.</source>
        <translation>
            <numerusform>Logic hat nur %1 von %n Spur von %2 übernommen.</numerusform>
            <numerusform>Logic hat nur %1 von %n Spuren von %2 übernommen.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>(%1 tracks came in for %n files)</source>
        <translation>
            <numerusform>(%1 Spuren kamen für %n Datei an)</numerusform>
            <numerusform>(%1 Spuren kamen für %n Dateien an)</numerusform>
        </translation>
    </message>
    <message>
        <source>Logic Pro isn&apos;t running.</source>
        <translation>Logic Pro ist nicht geöffnet.</translation>
    </message>
    <message>
        <source>Couldn&apos;t read Logic&apos;s menus.</source>
        <translation>Die Menüs von Logic konnten nicht gelesen werden.</translation>
    </message>
    <message>
        <source>Allow Vantrel in System Settings &gt; Privacy &amp; Security &gt; Accessibility, then choose Logic &gt; Check Logic Connection again.</source>
        <translation>Erlauben Sie Vantrel unter „Systemeinstellungen &gt; Datenschutz &amp; Sicherheit &gt; Bedienungshilfen“ und wählen Sie dann erneut „Logic &gt; Verbindung zu Logic prüfen …“.</translation>
    </message>
    <message numerus="yes">
        <source>Connected. Read %n menu items from Logic Pro.</source>
        <translation>
            <numerusform>Verbunden. %n Menüeintrag von Logic Pro gelesen.</numerusform>
            <numerusform>Verbunden. %n Menüeinträge von Logic Pro gelesen.</numerusform>
        </translation>
    </message>
    <message>
        <source>Open Logic Pro with an empty project first.</source>
        <translation>Öffnen Sie zuerst Logic Pro mit einem leeren Projekt.</translation>
    </message>
    <message numerus="yes">
        <source>Dragging %n files into Logic</source>
        <translation>
            <numerusform>%n Datei wird in Logic gezogen</numerusform>
            <numerusform>%n Dateien werden in Logic gezogen</numerusform>
        </translation>
    </message>
    <message>
        <source>Sorting the tracks by name</source>
        <translation>Die Spuren werden nach Namen sortiert</translation>
    </message>
    <message>
        <source>Stacking %1</source>
        <translation>Spurstapel %1 wird erstellt</translation>
    </message>
    <message>
        <source>Folding stacks</source>
        <translation>Spurstapel werden zugeklappt</translation>
    </message>
    <message>
        <source>Putting the stacks in order</source>
        <translation>Die Spurstapel werden geordnet</translation>
    </message>
    <message>
        <source>before the sort: %1</source>
        <translation>vor dem Sortieren: %1</translation>
    </message>
    <message>
        <source>(the order is right already: no sort)</source>
        <translation>(die Reihenfolge stimmt bereits: kein Sortieren)</translation>
    </message>
    <message>
        <source>after the sort: %1</source>
        <translation>nach dem Sortieren: %1</translation>
    </message>
    <message>
        <source>(the order is not right: dragging the rows into place)</source>
        <translation>(die Reihenfolge stimmt nicht: die Zeilen werden an ihren Platz gezogen)</translation>
    </message>
    <message>
        <source>order now: %1</source>
        <translation>Reihenfolge jetzt: %1</translation>
    </message>
    <message>
        <source>Checking the session</source>
        <translation>Die Session wird geprüft</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Fertig</translation>
    </message>
    <message>
        <source>Moving %1 to position %2</source>
        <translation>%1 wird an Position %2 bewegt</translation>
    </message>
    <message>
        <source>(the project held tracks before the send: none is deleted)</source>
        <translation>(das Projekt enthielt vor dem Senden schon Spuren: keine wird gelöscht)</translation>
    </message>
    <message>
        <source>Building the session in Logic Pro</source>
        <translation>Die Session wird in Logic Pro aufgebaut</translation>
    </message>
    <message>
        <source>Logic Pro can&apos;t make track stacks until its complete features are on: choose Logic Pro &gt; Settings &gt; Advanced, switch on “Enable Complete Features”, then send again.</source>
        <translation>Logic Pro kann erst Spurstapel erstellen, wenn alle Funktionen eingeschaltet sind: Wählen Sie in Logic Pro „Logic Pro &gt; Settings &gt; Advanced“, schalten Sie „Enable Complete Features“ ein und senden Sie dann erneut.</translation>
    </message>
    <message>
        <source>the tracks came in in the right order</source>
        <translation>die Spuren kamen in der richtigen Reihenfolge an</translation>
    </message>
    <message>
        <source>the tracks came in in another order: %1</source>
        <translation>die Spuren kamen in einer anderen Reihenfolge an: %1</translation>
    </message>
    <message>
        <source>Logic brought the tracks in in another order, and tracks of different groups share a name (%1), so they cannot be told apart. Nothing else was changed after this point: send group by group instead.</source>
        <translation>Logic hat die Spuren in einer anderen Reihenfolge übernommen, und Spuren verschiedener Gruppen tragen denselben Namen (%1), daher lassen sie sich nicht unterscheiden. Danach wurde nichts mehr verändert: Senden Sie stattdessen Gruppe für Gruppe.</translation>
    </message>
    <message>
        <source>Coloring</source>
        <translation>Einfärben</translation>
    </message>
    <message>
        <source>Importing %1</source>
        <translation>%1 wird importiert</translation>
    </message>
    <message>
        <source>Coloring %1</source>
        <translation>%1 wird eingefärbt</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>the new track</source>
        <translation>die neue Spur</translation>
    </message>
    <message>
        <source>Open Logic Pro first.</source>
        <translation>Öffnen Sie zuerst Logic Pro.</translation>
    </message>
    <message>
        <source>Logic doesn&apos;t have a track named “%1” yet. Drag the tracks in first, then build stacks.</source>
        <translation>Logic hat noch keine Spur namens „%1“. Ziehen Sie zuerst die Spuren hinein und bilden Sie dann die Spurstapel.</translation>
    </message>
    <message numerus="yes">
        <source>Sent %n tracks and %1 to Logic.</source>
        <translation>
            <numerusform>%n Spur und %1 an Logic gesendet.</numerusform>
            <numerusform>%n Spuren und %1 an Logic gesendet.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n stacks</source>
        <translation>
            <numerusform>%n Spurstapel</numerusform>
            <numerusform>%n Spurstapel</numerusform>
        </translation>
    </message>
    <message>
        <source>Vantrel needs Accessibility permission (System Settings &gt; Privacy &amp; Security &gt; Accessibility).</source>
        <translation>Vantrel braucht die Erlaubnis für Bedienungshilfen („Systemeinstellungen &gt; Datenschutz &amp; Sicherheit &gt; Bedienungshilfen“).</translation>
    </message>
    <message>
        <source>Logic Pro is showing a dialog: close it in Logic Pro, then send again.</source>
        <translation>Logic Pro zeigt einen Dialog: Schließen Sie ihn in Logic Pro und senden Sie dann erneut.</translation>
    </message>
    <message>
        <source>Logic Pro is showing “%1”: close it in Logic Pro, then send again.</source>
        <translation>Logic Pro zeigt „%1“: Schließen Sie es in Logic Pro und senden Sie dann erneut.</translation>
    </message>
    <message>
        <source>Logic didn&apos;t respond (waiting for %1). Nothing else was changed after this point.</source>
        <translation>Logic hat nicht reagiert (gewartet wurde auf %1). Danach wurde nichts mehr verändert.</translation>
    </message>
    <message>
        <source>Logic to come to the front</source>
        <translation>Logic im Vordergrund</translation>
    </message>
    <message>
        <source>(waited %1 s for Logic to be ready)</source>
        <translation>(%1 s gewartet, bis Logic bereit war)</translation>
    </message>
    <message>
        <source>menu “%1”</source>
        <translation>das Menü „%1“</translation>
    </message>
    <message>
        <source>(Logic answered %1 to “%2”; going on)</source>
        <translation>(Logic antwortete %1 auf „%2“; es geht weiter)</translation>
    </message>
    <message>
        <source>Couldn&apos;t use the menu item “%1” (Logic answered %2).</source>
        <translation>Der Menüeintrag „%1“ konnte nicht verwendet werden (Logic antwortete %2).</translation>
    </message>
    <message>
        <source>Couldn&apos;t use the menu item “%1” (Logic answered nothing: the item was not found).</source>
        <translation>Der Menüeintrag „%1“ konnte nicht verwendet werden (Logic antwortete nicht: Der Eintrag wurde nicht gefunden).</translation>
    </message>
    <message numerus="yes">
        <source>(%1 of %n tracks selected; again)</source>
        <translation>
            <numerusform>(%1 von %n Spur ausgewählt; erneut)</numerusform>
            <numerusform>(%1 von %n Spuren ausgewählt; erneut)</numerusform>
        </translation>
    </message>
    <message>
        <source>Couldn&apos;t find Logic&apos;s track list.</source>
        <translation>Die Spurliste von Logic wurde nicht gefunden.</translation>
    </message>
    <message>
        <source>Couldn&apos;t find the %1 tracks in Logic.</source>
        <translation>Die Spuren von %1 wurden in Logic nicht gefunden.</translation>
    </message>
    <message>
        <source>Couldn&apos;t choose a summing stack in Logic&apos;s track stack dialog, so no stack was made for %1.</source>
        <translation>Im Spurstapel-Dialog von Logic ließ sich kein Summenstapel wählen, daher wurde für %1 kein Spurstapel erstellt.</translation>
    </message>
    <message>
        <source>(the selection for %1 did not hold; selecting again)</source>
        <translation>(die Auswahl für %1 hat nicht gehalten; es wird erneut ausgewählt)</translation>
    </message>
    <message>
        <source>the stack dialog</source>
        <translation>den Spurstapel-Dialog</translation>
    </message>
    <message>
        <source>(the selection for %1 changed while the stack dialog was open; dismissing it)</source>
        <translation>(die Auswahl für %1 hat sich bei geöffnetem Spurstapel-Dialog geändert; er wird geschlossen)</translation>
    </message>
    <message>
        <source>the stack dialog to close</source>
        <translation>das Schließen des Spurstapel-Dialogs</translation>
    </message>
    <message>
        <source>Couldn&apos;t keep the %1 tracks selected in Logic to stack them (something else changed the selection). Nothing else was changed after this point.</source>
        <translation>Die Spuren von %1 ließen sich in Logic nicht ausgewählt halten, um sie zu stapeln (etwas anderes hat die Auswahl geändert). Danach wurde nichts mehr verändert.</translation>
    </message>
    <message>
        <source>the stack to appear</source>
        <translation>das Erscheinen des Spurstapels</translation>
    </message>
    <message>
        <source>(the stack %1 could not be closed to count its tracks; the closing check will)</source>
        <translation>(der Spurstapel %1 ließ sich zum Zählen seiner Spuren nicht zuklappen; das übernimmt die abschließende Prüfung)</translation>
    </message>
    <message>
        <source>The stack “%1” in Logic holds other tracks than its own (%2). Nothing else was changed after this point.</source>
        <translation>Der Spurstapel „%1“ in Logic enthält andere Spuren als seine eigenen (%2). Danach wurde nichts mehr verändert.</translation>
    </message>
    <message numerus="yes">
        <source>The stack “%1” took %2 of its %n tracks in Logic; the others are outside it. Nothing else was changed after this point.</source>
        <translation>
            <numerusform>Der Spurstapel „%1“ hat in Logic %2 von seiner %n Spur aufgenommen; die übrigen liegen außerhalb. Danach wurde nichts mehr verändert.</numerusform>
            <numerusform>Der Spurstapel „%1“ hat in Logic %2 seiner %n Spuren aufgenommen; die übrigen liegen außerhalb. Danach wurde nichts mehr verändert.</numerusform>
        </translation>
    </message>
    <message>
        <source>Couldn&apos;t find the %1 tracks in Logic (missing: %2).</source>
        <translation>Die Spuren von %1 wurden in Logic nicht gefunden (es fehlen: %2).</translation>
    </message>
    <message>
        <source>Couldn&apos;t find the new stack for %1 in Logic&apos;s track list.</source>
        <translation>Der neue Spurstapel für %1 wurde in der Spurliste von Logic nicht gefunden.</translation>
    </message>
    <message>
        <source>(could not rename %1 by double-clicking; using the menu)</source>
        <translation>(%1 ließ sich nicht per Doppelklick umbenennen; das Menü wird verwendet)</translation>
    </message>
    <message>
        <source>Couldn&apos;t open the name field of the new stack for %1 in Logic, so nothing was typed.</source>
        <translation>Das Namensfeld des neuen Spurstapels für %1 ließ sich in Logic nicht öffnen, daher wurde nichts eingetippt.</translation>
    </message>
    <message>
        <source>Couldn&apos;t rename a track to “%1”.</source>
        <translation>Eine Spur konnte nicht in „%1“ umbenannt werden.</translation>
    </message>
    <message>
        <source>Couldn&apos;t rename a track to “%1”: Logic&apos;s name field did not open or did not take it.</source>
        <translation>Eine Spur konnte nicht in „%1“ umbenannt werden: Das Namensfeld von Logic hat sich nicht geöffnet oder den Namen nicht übernommen.</translation>
    </message>
    <message>
        <source>(the track list could not be read to fold %1)</source>
        <translation>(die Spurliste ließ sich zum Zuklappen von %1 nicht lesen)</translation>
    </message>
    <message>
        <source>(no arrow found for %1)</source>
        <translation>(kein Pfeil für %1 gefunden)</translation>
    </message>
    <message>
        <source>(%1 did not fold)</source>
        <translation>(%1 wurde nicht zugeklappt)</translation>
    </message>
    <message>
        <source>Couldn&apos;t bring track %1 into view in Logic.</source>
        <translation>Spur %1 ließ sich in Logic nicht in den sichtbaren Bereich bringen.</translation>
    </message>
    <message>
        <source>Logic&apos;s track list could not be read back</source>
        <translation>die Spurliste von Logic ließ sich nicht zurücklesen</translation>
    </message>
    <message>
        <source>the stack “%1” is open</source>
        <translation>der Spurstapel „%1“ ist aufgeklappt</translation>
    </message>
    <message>
        <source>the closed stacks could not be opened to check them</source>
        <translation>die zugeklappten Spurstapel ließen sich zum Prüfen nicht aufklappen</translation>
    </message>
    <message>
        <source>there is no stack “%1”</source>
        <translation>es gibt keinen Spurstapel „%1“</translation>
    </message>
    <message numerus="yes">
        <source>there are %n stacks “%1”</source>
        <translation>
            <numerusform>es gibt %n Spurstapel „%1“</numerusform>
            <numerusform>es gibt %n Spurstapel „%1“</numerusform>
        </translation>
    </message>
    <message>
        <source>the stack “%1” lacks %2</source>
        <translation>dem Spurstapel „%1“ fehlt %2</translation>
    </message>
    <message>
        <source>the stack “%1” also holds %2</source>
        <translation>der Spurstapel „%1“ enthält außerdem %2</translation>
    </message>
    <message>
        <source>the stack “%1” lacks %2 and also holds %3</source>
        <translation>dem Spurstapel „%1“ fehlt %2, und er enthält außerdem %3</translation>
    </message>
    <message>
        <source>these tracks came in more than once: %1</source>
        <translation>diese Spuren kamen mehr als einmal an: %1</translation>
    </message>
    <message>
        <source>these tracks are outside their stacks: %1</source>
        <translation>diese Spuren liegen außerhalb ihrer Spurstapel: %1</translation>
    </message>
    <message>
        <source>the track “%1” is missing</source>
        <translation>die Spur „%1“ fehlt</translation>
    </message>
    <message numerus="yes">
        <source>Logic holds %1 tracks where %n were expected</source>
        <translation>
            <numerusform>Logic enthält %1 Spuren, erwartet wurde %n</numerusform>
            <numerusform>Logic enthält %1 Spuren, erwartet wurden %n</numerusform>
        </translation>
    </message>
    <message>
        <source>the stack “%1”</source>
        <translation>der Spurstapel „%1“</translation>
    </message>
    <message>
        <source>the track “%1”</source>
        <translation>die Spur „%1“</translation>
    </message>
    <message>
        <source>%1 stands at position %2 in place of %3</source>
        <translation>%1 steht an Position %2, wo %3 stehen sollte</translation>
    </message>
    <message>
        <source>(Logic does not show which color a track has: colors not checked)</source>
        <translation>(Logic zeigt nicht, welche Farbe eine Spur hat: Farben nicht geprüft)</translation>
    </message>
    <message>
        <source>%1 has a color it was not sent with</source>
        <translation>%1 hat eine Farbe, mit der nicht gesendet wurde</translation>
    </message>
    <message>
        <source>%1 has no color</source>
        <translation>%1 hat keine Farbe</translation>
    </message>
    <message>
        <source>%1 has another color than its group</source>
        <translation>%1 hat eine andere Farbe als die Gruppe</translation>
    </message>
    <message>
        <source>Done, but the session in Logic is not what was sent: %1. Check it in Logic before you go on.</source>
        <translation>Fertig, aber die Session in Logic entspricht nicht dem Gesendeten: %1. Prüfen Sie sie in Logic, bevor Sie weitermachen.</translation>
    </message>
    <message numerus="yes">
        <source>Done, but the session in Logic is not what was sent: %1 (and %n more differences). Check it in Logic before you go on.</source>
        <translation>
            <numerusform>Fertig, aber die Session in Logic entspricht nicht dem Gesendeten: %1 (und %n weiterer Unterschied). Prüfen Sie sie in Logic, bevor Sie weitermachen.</numerusform>
            <numerusform>Fertig, aber die Session in Logic entspricht nicht dem Gesendeten: %1 (und %n weitere Unterschiede). Prüfen Sie sie in Logic, bevor Sie weitermachen.</numerusform>
        </translation>
    </message>
    <message>
        <source>Unsorted</source>
        <translation>Unsortiert</translation>
    </message>
    <message>
        <source>Vantrel can&apos;t find File &gt; Import &gt; Audio File… in Logic Pro&apos;s menus in this language, and sending one by one needs it: choose another way to send, or in System Settings &gt; General &gt; Language &amp; Region, add Logic Pro under Applications with the language English, reopen Logic Pro, then send again.</source>
        <translation>Vantrel findet „File &gt; Import &gt; Audio File…“ in den Menüs von Logic Pro in dieser Sprache nicht, und „Einzeln senden“ braucht diesen Befehl: Wählen Sie eine andere Art zu senden, oder fügen Sie unter „Systemeinstellungen &gt; Allgemein &gt; Sprache &amp; Region“ bei „Apps“ Logic Pro mit der Sprache Englisch hinzu, öffnen Sie Logic Pro erneut und senden Sie dann noch einmal.</translation>
    </message>
</context>
<context>
    <name>Vantrel::SessionExport</name>
    <message>
        <source>Couldn&apos;t start “%1”: %2.</source>
        <translation>„%1“ konnte nicht gestartet werden: %2.</translation>
    </message>
    <message>
        <source>Couldn&apos;t write the script for Ardour&apos;s session tool in “%1”: %2.</source>
        <translation>Das Skript für das Session-Werkzeug von Ardour konnte nicht in „%1“ geschrieben werden: %2.</translation>
    </message>
    <message>
        <source>the tool stopped unexpectedly (%1)</source>
        <translation>das Werkzeug wurde unerwartet beendet (%1)</translation>
    </message>
    <message>
        <source>it gave no reason</source>
        <translation>es nannte keinen Grund</translation>
    </message>
    <message>
        <source>Couldn&apos;t read the session file “%1” that Ardour wrote: %2.</source>
        <translation>Die von Ardour geschriebene Session-Datei „%1“ konnte nicht gelesen werden: %2.</translation>
    </message>
    <message>
        <source>The session file “%1” that Ardour wrote is not in a form this version of Vantrel knows.</source>
        <translation>Die von Ardour geschriebene Session-Datei „%1“ hat eine Form, die diese Version von Vantrel nicht kennt.</translation>
    </message>
    <message>
        <source>Ardour is not installed: its session tool (ardour8-lua or ardour7-lua) was not found. Install Ardour 7 or later, then try again.</source>
        <translation>Ardour ist nicht installiert: Sein Session-Werkzeug (ardour8-lua oder ardour7-lua) wurde nicht gefunden. Installieren Sie Ardour 7 oder neuer und versuchen Sie es dann erneut.</translation>
    </message>
    <message>
        <source>An Ardour session&apos;s name cannot hold “%1”; choose another name than “%2”.</source>
        <translation>Der Name einer Ardour-Session darf kein „%1“ enthalten; wählen Sie einen anderen Namen als „%2“.</translation>
    </message>
    <message>
        <source>Couldn&apos;t make a working folder beside “%1”: %2.</source>
        <translation>Neben „%1“ konnte kein Arbeitsordner erstellt werden: %2.</translation>
    </message>
    <message numerus="yes">
        <source>Making %n tracks in Ardour…</source>
        <translation>
            <numerusform>%n Spur wird in Ardour angelegt …</numerusform>
            <numerusform>%n Spuren werden in Ardour angelegt …</numerusform>
        </translation>
    </message>
    <message>
        <source>Ardour&apos;s session tool could not create the session: %1.</source>
        <translation>Das Session-Werkzeug von Ardour konnte die Session nicht erstellen: %1.</translation>
    </message>
    <message numerus="yes">
        <source>Ardour&apos;s session tool made %1 of the %n tracks.</source>
        <translation>
            <numerusform>Das Session-Werkzeug von Ardour hat %1 von %n Spur angelegt.</numerusform>
            <numerusform>Das Session-Werkzeug von Ardour hat %1 von %n Spuren angelegt.</numerusform>
        </translation>
    </message>
    <message>
        <source>Adding the audio…</source>
        <translation>Die Audiodaten werden hinzugefügt …</translation>
    </message>
    <message>
        <source>Placing the audio in Ardour…</source>
        <translation>Die Audiodaten werden in Ardour platziert …</translation>
    </message>
    <message>
        <source>Ardour&apos;s session tool could not place the audio: %1.</source>
        <translation>Das Session-Werkzeug von Ardour konnte die Audiodaten nicht platzieren: %1.</translation>
    </message>
    <message>
        <source>Ardour&apos;s session tool did not tell where it found the audio of every track, so no session was made.</source>
        <translation>Das Session-Werkzeug von Ardour hat nicht für jede Spur gemeldet, wo es ihre Audiodaten gefunden hat, daher wurde keine Session erstellt.</translation>
    </message>
    <message>
        <source>Ardour did not find the audio of %1 where it lies, so no session was made.</source>
        <translation>Ardour hat die Audiodaten von %1 nicht dort gefunden, wo sie liegen, daher wurde keine Session erstellt.</translation>
    </message>
    <message>
        <source>Made the Ardour session “%1”.</source>
        <translation>Die Ardour-Session „%1“ wurde erstellt.</translation>
    </message>
    <message>
        <source>“%1” is “%2”</source>
        <translation>„%1“ heißt „%2“</translation>
    </message>
    <message>
        <source>Ardour needs every track&apos;s name to be its own and keeps some names for itself, so %1.</source>
        <translation>Ardour braucht für jede Spur einen eigenen Namen und behält sich einige Namen vor, daher: %1.</translation>
    </message>
    <message>
        <source>“%1” is not at the session&apos;s %2, so Ardour plays it at the wrong speed until it is converted.</source>
        <translation>„%1“ hat nicht die %2 der Session, daher spielt Ardour die Spur mit falscher Geschwindigkeit ab, bis sie konvertiert ist.</translation>
    </message>
    <message numerus="yes">
        <source>%n tracks are not at the session&apos;s %1 (%2), so Ardour plays them at the wrong speed until they are converted.</source>
        <translation>
            <numerusform>%n Spur hat nicht die %1 der Session (%2), daher spielt Ardour sie mit falscher Geschwindigkeit ab, bis sie konvertiert ist.</numerusform>
            <numerusform>%n Spuren haben nicht die %1 der Session (%2), daher spielt Ardour sie mit falscher Geschwindigkeit ab, bis sie konvertiert sind.</numerusform>
        </translation>
    </message>
    <message>
        <source>Couldn&apos;t save “%1”: %2.</source>
        <translation>„%1“ konnte nicht gesichert werden: %2.</translation>
    </message>
    <message>
        <source>Writing “%1”…</source>
        <translation>„%1“ wird geschrieben …</translation>
    </message>
    <message>
        <source>Couldn&apos;t save “%1”: “%2”: %3.</source>
        <translation>„%1“ konnte nicht gesichert werden: „%2“: %3.</translation>
    </message>
    <message>
        <source>Saved “%1”.</source>
        <translation>„%1“ wurde gesichert.</translation>
    </message>
    <message>
        <source>There is already something named “%1” in “%2”, so the Ardour session was not made; nothing was overwritten.</source>
        <translation>In „%2“ gibt es bereits etwas namens „%1“, daher wurde die Ardour-Session nicht erstellt; es wurde nichts überschrieben.</translation>
    </message>
    <message>
        <source>There is already something named “%1” in “%2”, so the DAWproject file was not made; nothing was overwritten.</source>
        <translation>In „%2“ gibt es bereits etwas namens „%1“, daher wurde die DAWproject-Datei nicht erstellt; es wurde nichts überschrieben.</translation>
    </message>
    <message>
        <source>The folder “%1” does not exist, so the Ardour session cannot be made there.</source>
        <translation>Der Ordner „%1“ existiert nicht, daher kann die Ardour-Session dort nicht erstellt werden.</translation>
    </message>
    <message>
        <source>The folder “%1” does not exist, so the DAWproject file cannot be made there.</source>
        <translation>Der Ordner „%1“ existiert nicht, daher kann die DAWproject-Datei dort nicht erstellt werden.</translation>
    </message>
    <message>
        <source>The folder “%1” cannot be written (%2), so the Ardour session cannot be made there.</source>
        <translation>In den Ordner „%1“ kann nicht geschrieben werden (%2), daher kann die Ardour-Session dort nicht erstellt werden.</translation>
    </message>
    <message>
        <source>The folder “%1” cannot be written (%2), so the DAWproject file cannot be made there.</source>
        <translation>In den Ordner „%1“ kann nicht geschrieben werden (%2), daher kann die DAWproject-Datei dort nicht erstellt werden.</translation>
    </message>
    <message numerus="yes">
        <source>%n groups</source>
        <translation>
            <numerusform>%n Gruppe</numerusform>
            <numerusform>%n Gruppen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Made the Ardour session “%1”: %n tracks in %2.</source>
        <translation>
            <numerusform>Die Ardour-Session „%1“ wurde erstellt: %n Spur in %2.</numerusform>
            <numerusform>Die Ardour-Session „%1“ wurde erstellt: %n Spuren in %2.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Saved “%1”: %n tracks in %2.</source>
        <translation>
            <numerusform>„%1“ wurde gesichert: %n Spur in %2.</numerusform>
            <numerusform>„%1“ wurde gesichert: %n Spuren in %2.</numerusform>
        </translation>
    </message>
    <message>
        <source>The audio of %1 cannot be read, so it cannot be placed in a session.</source>
        <translation>Die Audiodaten von %1 lassen sich nicht lesen, daher kann die Spur in keiner Session platziert werden.</translation>
    </message>
    <message numerus="yes">
        <source>The audio of %n tracks cannot be read (%1), so they cannot be placed in a session.</source>
        <translation>
            <numerusform>Die Audiodaten von %n Spur lassen sich nicht lesen (%1), daher kann sie in keiner Session platziert werden.</numerusform>
            <numerusform>Die Audiodaten von %n Spuren lassen sich nicht lesen (%1), daher können sie in keiner Session platziert werden.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>Vantrel::Suggestions</name>
    <message>
        <source>%1, plural of %2, short for %3</source>
        <translation>%1, Plural von %2, kurz für %3</translation>
    </message>
    <message>
        <source>%1 in “%2”, plural of %3, short for %4</source>
        <translation>%1 in „%2“, Plural von %3, kurz für %4</translation>
    </message>
    <message>
        <source>%1, short for %2</source>
        <translation>%1, kurz für %2</translation>
    </message>
    <message>
        <source>%1 in “%2”, short for %3</source>
        <translation>%1 in „%2“, kurz für %3</translation>
    </message>
    <message>
        <source>%1, plural of %2</source>
        <translation>%1, Plural von %2</translation>
    </message>
    <message>
        <source>%1 in “%2”</source>
        <translation>%1 in „%2“</translation>
    </message>
    <message>
        <source>%1, one of the words of %2</source>
        <translation>%1, eines der Wörter von %2</translation>
    </message>
    <message>
        <source>%1, usually %2</source>
        <translation>%1, meist %2</translation>
    </message>
</context>
<context>
    <name>Vantrel::Ui::BusyView</name>
    <message>
        <source>Progress</source>
        <translation>Fortschritt</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>Vantrel::Ui::ColorPick</name>
    <message>
        <source>Color for this group in Logic</source>
        <translation>Farbe dieser Gruppe in Logic</translation>
    </message>
</context>
<context>
    <name>Vantrel::Ui::ColorPopover</name>
    <message>
        <source>No color</source>
        <translation>Keine Farbe</translation>
    </message>
    <message>
        <source>Logic color for %1</source>
        <translation>Logic-Farbe für %1</translation>
    </message>
</context>
<context>
    <name>Vantrel::Ui::ContentView</name>
    <message>
        <source>Rules…</source>
        <translation>Regeln …</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>Vantrel::Ui::DoneView</name>
    <message>
        <source>Open Logic Pro with an empty project, then choose Send to Logic.</source>
        <translation>Öffnen Sie Logic Pro mit einem leeren Projekt und wählen Sie dann „An Logic senden“.</translation>
    </message>
    <message>
        <source>Logic Pro keeps what the send made before you cancelled. Choose Edit &gt; Undo in Logic Pro until the project is empty, or open a new empty project, then send again.</source>
        <translation>Logic Pro behält, was das Senden vor dem Abbrechen angelegt hat. Wählen Sie in Logic Pro „Bearbeiten &gt; Widerrufen“, bis das Projekt leer ist, oder öffnen Sie ein neues, leeres Projekt, und senden Sie dann erneut.</translation>
    </message>
    <message>
        <source>Send progress</source>
        <translation>Fortschritt des Sendens</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Send to Logic</source>
        <translation>An Logic senden</translation>
    </message>
    <message>
        <source>Send Group by Group</source>
        <translation>Gruppe für Gruppe senden</translation>
    </message>
    <message>
        <source>Send One by One (slow)</source>
        <translation>Einzeln senden (langsam)</translation>
    </message>
    <message>
        <source>Show in Finder</source>
        <translation>Im Finder zeigen</translation>
    </message>
    <message>
        <source>Put the Files Back</source>
        <translation>Dateien zurücklegen</translation>
    </message>
    <message>
        <source>Sort Another Folder</source>
        <translation>Anderen Ordner sortieren</translation>
    </message>
    <message>
        <source>The send to Logic was cancelled</source>
        <translation>Das Senden an Logic wurde abgebrochen</translation>
    </message>
    <message>
        <source>The send to Logic didn’t finish</source>
        <translation>Das Senden an Logic wurde nicht beendet</translation>
    </message>
    <message>
        <source>Folder organized</source>
        <translation>Ordner geordnet</translation>
    </message>
    <message>
        <source>Sorted folder created</source>
        <translation>Sortierter Ordner erstellt</translation>
    </message>
    <message>
        <source>Put the files back where they were? The Logic project you sent them to uses them where they are now and will no longer find them.</source>
        <translation>Die Dateien an ihren alten Ort zurücklegen? Das Logic-Projekt, an das Sie sie gesendet haben, verwendet sie an ihrem jetzigen Ort und findet sie dann nicht mehr.</translation>
    </message>
</context>
<context>
    <name>Vantrel::Ui::DragSourceView</name>
    <message>
        <source>Just want the tracks, no stacks? Drag this into Logic.</source>
        <translation>Nur die Spuren, ohne Stapel? Ziehen Sie dies in Logic.</translation>
    </message>
</context>
<context>
    <name>Vantrel::Ui::DragTile</name>
    <message numerus="yes">
        <source>%n tracks, ready for Logic</source>
        <translation>
            <numerusform>%n Spur, bereit für Logic</numerusform>
            <numerusform>%n Spuren, bereit für Logic</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>Vantrel::Ui::DropZone</name>
    <message>
        <source>Drop your session folder</source>
        <translation>Session-Ordner hier ablegen</translation>
    </message>
    <message>
        <source>Tracks are renamed and sorted into groups. You review everything before any file is moved or copied.</source>
        <translation>Spuren werden umbenannt und in Gruppen sortiert. Sie prüfen alles, bevor eine Datei bewegt oder kopiert wird.</translation>
    </message>
    <message>
        <source>Choose Folder…</source>
        <translation>Ordner auswählen …</translation>
    </message>
</context>
<context>
    <name>Vantrel::Ui::FindingsSheet</name>
    <message>
        <source>Audio Findings</source>
        <translation>Audio-Befunde</translation>
    </message>
    <message>
        <source>Vantrel never changes the audio.</source>
        <translation>Vantrel verändert das Audio nie.</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Fertig</translation>
    </message>
</context>
<context>
    <name>Vantrel::Ui::GroupRow</name>
    <message>
        <source>Group</source>
        <translation>Gruppe</translation>
    </message>
    <message>
        <source>Words, separated by spaces</source>
        <translation>Wörter, durch Leerzeichen getrennt</translation>
    </message>
    <message>
        <source>Remove this group</source>
        <translation>Diese Gruppe entfernen</translation>
    </message>
    <message>
        <source>Remove group</source>
        <translation>Gruppe entfernen</translation>
    </message>
    <message>
        <source>Drag to move this group, or press Alt+Up or Alt+Down</source>
        <translation>Ziehen, um diese Gruppe zu verschieben, oder Alt+Nach-oben bzw. Alt+Nach-unten drücken</translation>
    </message>
    <message>
        <source>Words of the group</source>
        <translation>Wörter der Gruppe</translation>
    </message>
</context>
<context>
    <name>Vantrel::Ui::MainWindow</name>
    <message>
        <source>File</source>
        <translation>Ablage</translation>
    </message>
    <message>
        <source>Quit Vantrel</source>
        <translation>Vantrel beenden</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Bearbeiten</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Widerrufen</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Wiederholen</translation>
    </message>
    <message>
        <source>Logic</source>
        <translation>Logic</translation>
    </message>
    <message>
        <source>Check Logic Connection…</source>
        <translation>Verbindung zu Logic prüfen …</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>Vantrel Walkthrough</source>
        <translation>Vantrel-Einführung</translation>
    </message>
    <message>
        <source>Open “%1”? The group changes you made to “%2” will be lost.</source>
        <translation>„%1“ öffnen? Ihre Gruppenänderungen an „%2“ gehen dabei verloren.</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>Keep Reviewing</source>
        <translation>Weiter prüfen</translation>
    </message>
</context>
<context>
    <name>Vantrel::Ui::ModePicker</name>
    <message>
        <source>What to do with the files</source>
        <translation>Was mit den Dateien geschieht</translation>
    </message>
    <message>
        <source>Organize this folder</source>
        <translation>Diesen Ordner ordnen</translation>
    </message>
    <message>
        <source>Make a sorted copy</source>
        <translation>Sortierte Kopie erstellen</translation>
    </message>
</context>
<context>
    <name>Vantrel::Ui::OpenInButton</name>
    <message>
        <source>Open In</source>
        <translation>Öffnen in</translation>
    </message>
    <message>
        <source>Opens a menu of other programs to open the sorted tracks in</source>
        <translation>Öffnet ein Menü mit anderen Programmen, in denen sich die sortierten Spuren öffnen lassen</translation>
    </message>
    <message>
        <source>Save as DAWproject</source>
        <translation>Als DAWproject sichern</translation>
    </message>
    <message>
        <source>DAWproject files (*.dawproject)</source>
        <translation>DAWproject-Dateien (*.dawproject)</translation>
    </message>
    <message>
        <source>Ardour</source>
        <translation>Ardour</translation>
    </message>
    <message>
        <source>Save as DAWproject…</source>
        <translation>Als DAWproject sichern …</translation>
    </message>
</context>
<context>
    <name>Vantrel::Ui::OpenRequests</name>
    <message>
        <source>user %1</source>
        <translation>Benutzer %1</translation>
    </message>
    <message>
        <source>The user of the program answering at “%1” could not be told.</source>
        <translation>Der Benutzer des Programms, das unter „%1“ antwortet, ließ sich nicht feststellen.</translation>
    </message>
    <message>
        <source>The user of the program that connected could not be told.</source>
        <translation>Der Benutzer des Programms, das sich verbunden hat, ließ sich nicht feststellen.</translation>
    </message>
    <message>
        <source>The program answering at “%1” runs as another user (%2).</source>
        <translation>Das Programm, das unter „%1“ antwortet, läuft als anderer Benutzer (%2).</translation>
    </message>
    <message>
        <source>The program that connected runs as another user (%1).</source>
        <translation>Das Programm, das sich verbunden hat, läuft als anderer Benutzer (%1).</translation>
    </message>
    <message>
        <source>Its runtime folder “%1” cannot be read (%2).</source>
        <translation>Sein Laufzeitordner „%1“ kann nicht gelesen werden (%2).</translation>
    </message>
    <message>
        <source>Its runtime folder “%1” is not a folder.</source>
        <translation>Sein Laufzeitordner „%1“ ist kein Ordner.</translation>
    </message>
    <message>
        <source>Its runtime folder “%1” belongs to another user (%2).</source>
        <translation>Sein Laufzeitordner „%1“ gehört einem anderen Benutzer (%2).</translation>
    </message>
    <message>
        <source>Its runtime folder “%1” is open to other users (mode %2, not 700).</source>
        <translation>Sein Laufzeitordner „%1“ ist für andere Benutzer offen (Modus %2, nicht 700).</translation>
    </message>
    <message>
        <source>“%1” holds the place of its socket but is not one.</source>
        <translation>„%1“ steht an der Stelle seines Sockets, ist aber keiner.</translation>
    </message>
    <message>
        <source>Its socket “%1” belongs to another user (%2).</source>
        <translation>Sein Socket „%1“ gehört einem anderen Benutzer (%2).</translation>
    </message>
    <message>
        <source>Vantrel opens on its own without handing its folders to a running Vantrel.</source>
        <translation>Vantrel öffnet sich eigenständig, ohne seine Ordner an ein bereits laufendes Vantrel zu übergeben.</translation>
    </message>
    <message>
        <source>A later launch of Vantrel can&apos;t hand folders to this window.</source>
        <translation>Ein späterer Start von Vantrel kann diesem Fenster keine Ordner übergeben.</translation>
    </message>
    <message>
        <source>The system gives it no runtime folder of its own.</source>
        <translation>Das System gibt ihm keinen eigenen Laufzeitordner.</translation>
    </message>
    <message>
        <source>Its socket “%1” could not be made (%2).</source>
        <translation>Sein Socket „%1“ konnte nicht angelegt werden (%2).</translation>
    </message>
    <message numerus="yes">
        <source>The request did not end within %n seconds.</source>
        <translation>
            <numerusform>Die Anfrage endete nicht innerhalb von %n Sekunde.</numerusform>
            <numerusform>Die Anfrage endete nicht innerhalb von %n Sekunden.</numerusform>
        </translation>
    </message>
    <message>
        <source>The request is longer than %1 bytes.</source>
        <translation>Die Anfrage ist länger als %1 Bytes.</translation>
    </message>
    <message>
        <source>It is not a request to open folders.</source>
        <translation>Es ist keine Anfrage, Ordner zu öffnen.</translation>
    </message>
    <message>
        <source>The request names more than %1 paths.</source>
        <translation>Die Anfrage nennt mehr als %1 Pfade.</translation>
    </message>
    <message>
        <source>Vantrel ignored a request to open folders.</source>
        <translation>Vantrel hat eine Anfrage, Ordner zu öffnen, übergangen.</translation>
    </message>
</context>
<context>
    <name>Vantrel::Ui::ReviewList</name>
    <message>
        <source>Tracks</source>
        <translation>Spuren</translation>
    </message>
</context>
<context>
    <name>Vantrel::Ui::ReviewView</name>
    <message>
        <source>Unsorted</source>
        <translation>Unsortiert</translation>
    </message>
    <message>
        <source>This folder was organized by Vantrel.</source>
        <translation>Dieser Ordner wurde von Vantrel geordnet.</translation>
    </message>
    <message>
        <source>Put the Files Back</source>
        <translation>Dateien zurücklegen</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Not Now</source>
        <translation>Nicht jetzt</translation>
    </message>
    <message>
        <source>What to do with the files</source>
        <translation>Was mit den Dateien geschieht</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message numerus="yes">
        <source>%n audio findings</source>
        <translation>
            <numerusform>%n Audio-Befund</numerusform>
            <numerusform>%n Audio-Befunde</numerusform>
        </translation>
    </message>
    <message>
        <source>Checking the audio… %1 of %2 files</source>
        <translation>Audio wird geprüft … %1 von %2 Dateien</translation>
    </message>
    <message>
        <source>Audio checked: nothing to report</source>
        <translation>Audio geprüft: nichts zu melden</translation>
    </message>
    <message numerus="yes">
        <source>%n tracks</source>
        <translation>
            <numerusform>%n Spur</numerusform>
            <numerusform>%n Spuren</numerusform>
        </translation>
    </message>
    <message>
        <source>All sorted</source>
        <translation>Alles sortiert</translation>
    </message>
    <message numerus="yes">
        <source>%n need a group</source>
        <translation>
            <numerusform>%n braucht eine Gruppe</numerusform>
            <numerusform>%n brauchen eine Gruppe</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Accept All Suggestions (%n)</source>
        <translation>
            <numerusform>Alle Vorschläge übernehmen (%n)</numerusform>
            <numerusform>Alle Vorschläge übernehmen (%n)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n non-audio files ignored</source>
        <translation>
            <numerusform>%n Nicht-Audiodatei ignoriert</numerusform>
            <numerusform>%n Nicht-Audiodateien ignoriert</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>…and %n more.</source>
        <translation>
            <numerusform>… und %n weitere.</numerusform>
            <numerusform>… und %n weitere.</numerusform>
        </translation>
    </message>
    <message>
        <source>The files are moved into group folders and renamed inside “%1”. Nothing is copied, so no extra space is used, and you can put them back afterwards.</source>
        <translation>Die Dateien werden innerhalb von „%1“ in Gruppenordner verschoben und umbenannt. Nichts wird kopiert, es wird also kein zusätzlicher Platz belegt, und Sie können sie danach zurücklegen.</translation>
    </message>
    <message>
        <source>Approve &amp; Organize</source>
        <translation>Bestätigen &amp; ordnen</translation>
    </message>
    <message>
        <source>A new “SORTED” folder is made next to it and your originals are not touched. On a Mac disk it takes no extra space until a file is changed.</source>
        <translation>Daneben entsteht ein neuer Ordner „SORTED“, Ihre Originale bleiben unberührt. Auf einem Mac-Laufwerk belegt er keinen zusätzlichen Platz, bis eine Datei geändert wird.</translation>
    </message>
    <message>
        <source>Approve &amp; Create Sorted Folder</source>
        <translation>Bestätigen &amp; sortierten Ordner erstellen</translation>
    </message>
    <message>
        <source>Choose Where…</source>
        <translation>Ort wählen …</translation>
    </message>
    <message>
        <source>Choose the folder the sorted copy goes into</source>
        <translation>Wählen Sie den Ordner, in den die sortierte Kopie kommt</translation>
    </message>
    <message>
        <source>A new “SORTED” folder is made in “%1” and your originals are not touched.</source>
        <translation>In „%1“ entsteht ein neuer Ordner „SORTED“, Ihre Originale bleiben unberührt.</translation>
    </message>
</context>
<context>
    <name>Vantrel::Ui::RulesView</name>
    <message>
        <source>Rules</source>
        <translation>Regeln</translation>
    </message>
    <message>
        <source>Each group lists the words that put a track in it (for example EG, ELECTRIC). Order here is the order of the folders. Drag to reorder.</source>
        <translation>Jede Gruppe nennt die Wörter, die eine Spur in sie bringen (zum Beispiel EG, ELECTRIC). Die Reihenfolge hier ist die der Ordner. Zum Umordnen ziehen.</translation>
    </message>
    <message>
        <source>Number tracks in session order (01_KICK_IN) so Logic keeps that order</source>
        <translation>Spuren in Session-Reihenfolge nummerieren (01_KICK_IN), damit Logic sie beibehält</translation>
    </message>
    <message>
        <source>Put the group name in front of each track (DRUMS_01_KICK_IN)</source>
        <translation>Den Gruppennamen vor jede Spur setzen (DRUMS_01_KICK_IN)</translation>
    </message>
    <message>
        <source>Add Group</source>
        <translation>Gruppe hinzufügen</translation>
    </message>
    <message>
        <source>Reset to Defaults</source>
        <translation>Auf Standard zurücksetzen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Sichern</translation>
    </message>
</context>
<context>
    <name>Vantrel::Ui::SendPanelView</name>
    <message>
        <source>SENDING TO LOGIC</source>
        <translation>SENDEN AN LOGIC</translation>
    </message>
    <message>
        <source>Send progress</source>
        <translation>Fortschritt des Sendens</translation>
    </message>
    <message>
        <source>Please don&apos;t touch the mouse or keyboard</source>
        <translation>Bitte Maus und Tastatur nicht berühren</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>Vantrel::Ui::SendPanelWindow</name>
    <message>
        <source>Sending to Logic</source>
        <translation>Senden an Logic</translation>
    </message>
</context>
<context>
    <name>Vantrel::Ui::WalkthroughView</name>
    <message>
        <source>Vantrel Walkthrough</source>
        <translation>Vantrel-Einführung</translation>
    </message>
    <message>
        <source>Skip</source>
        <translation>Überspringen</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Zurück</translation>
    </message>
    <message>
        <source>Continue</source>
        <translation>Weiter</translation>
    </message>
    <message>
        <source>Get Started</source>
        <translation>Loslegen</translation>
    </message>
    <message>
        <source>Allowed</source>
        <translation>Erlaubt</translation>
    </message>
    <message>
        <source>Not yet allowed</source>
        <translation>Noch nicht erlaubt</translation>
    </message>
    <message>
        <source>Not yet allowed. If Vantrel is switched on, quit Vantrel and open it again.</source>
        <translation>Noch nicht erlaubt. Wenn Vantrel eingeschaltet ist, beenden Sie Vantrel und öffnen Sie es erneut.</translation>
    </message>
    <message>
        <source>Welcome to Vantrel</source>
        <translation>Willkommen bei Vantrel</translation>
    </message>
    <message>
        <source>Drop in a folder of tracks. Vantrel names them, sorts them into groups, and builds the whole session in Logic Pro for you.</source>
        <translation>Legen Sie einen Ordner mit Spuren ab. Vantrel benennt sie, sortiert sie in Gruppen und baut die ganze Session in Logic Pro für Sie auf.</translation>
    </message>
    <message>
        <source>Drop</source>
        <translation>Ablegen</translation>
    </message>
    <message>
        <source>your session folder</source>
        <translation>Ihren Session-Ordner</translation>
    </message>
    <message>
        <source>Review</source>
        <translation>Prüfen</translation>
    </message>
    <message>
        <source>and approve</source>
        <translation>und bestätigen</translation>
    </message>
    <message>
        <source>Send</source>
        <translation>Senden</translation>
    </message>
    <message>
        <source>to Logic</source>
        <translation>an Logic</translation>
    </message>
    <message>
        <source>It sorts by name</source>
        <translation>Sortiert nach Namen</translation>
    </message>
    <message>
        <source>Vantrel reads each file name, picks the group it belongs in, and numbers the tracks in your original session order.</source>
        <translation>Vantrel liest jeden Dateinamen, wählt die passende Gruppe und nummeriert die Spuren in der ursprünglichen Reihenfolge Ihrer Session.</translation>
    </message>
    <message>
        <source>Groups, their colors and their order live under Rules… at the top right. You can change them any time.</source>
        <translation>Gruppen, ihre Farben und ihre Reihenfolge finden Sie oben rechts unter „Regeln …“. Sie können sie jederzeit ändern.</translation>
    </message>
    <message>
        <source>One permission</source>
        <translation>Eine Erlaubnis</translation>
    </message>
    <message>
        <source>To build your session, Vantrel presses buttons and menus in Logic Pro for you. macOS only allows that when you switch on Accessibility for Vantrel.</source>
        <translation>Um Ihre Session aufzubauen, bedient Vantrel Tasten und Menüs in Logic Pro für Sie. macOS erlaubt das nur, wenn Sie die Bedienungshilfen für Vantrel einschalten.</translation>
    </message>
    <message>
        <source>Click Open System Settings below.</source>
        <translation>Klicken Sie unten auf „Systemeinstellungen öffnen“.</translation>
    </message>
    <message>
        <source>Find Vantrel in the list and switch it on. (If it isn&apos;t there, click + and add it from Applications.)</source>
        <translation>Suchen Sie Vantrel in der Liste und schalten Sie es ein. (Fehlt es, klicken Sie auf + und fügen Sie es aus „Programme“ hinzu.)</translation>
    </message>
    <message>
        <source>Come back here. This page notices when it&apos;s on.</source>
        <translation>Kommen Sie hierher zurück. Diese Seite bemerkt, wenn es eingeschaltet ist.</translation>
    </message>
    <message>
        <source>Open System Settings</source>
        <translation>Systemeinstellungen öffnen</translation>
    </message>
    <message>
        <source>Before you send</source>
        <translation>Vor dem Senden</translation>
    </message>
    <message>
        <source>A few things to know so it goes smoothly.</source>
        <translation>Ein paar Dinge, damit alles glatt läuft.</translation>
    </message>
    <message>
        <source>Open Logic Pro with a new, empty project.</source>
        <translation>Öffnen Sie Logic Pro mit einem neuen, leeren Projekt.</translation>
    </message>
    <message>
        <source>Vantrel adds to whatever is open, so start clean.</source>
        <translation>Vantrel fügt zu dem hinzu, was geöffnet ist – beginnen Sie also leer.</translation>
    </message>
    <message>
        <source>Leave the mouse and keyboard alone while it works.</source>
        <translation>Lassen Sie Maus und Tastatur in Ruhe, solange es arbeitet.</translation>
    </message>
    <message>
        <source>It takes about a minute. Vantrel drives Logic itself, and a small panel in the corner shows progress. You can cancel any time.</source>
        <translation>Es dauert etwa eine Minute. Vantrel steuert Logic selbst, und ein kleines Feld in der Ecke zeigt den Fortschritt. Sie können jederzeit abbrechen.</translation>
    </message>
    <message>
        <source>Logic Pro 12.4 (or 11), with English menus.</source>
        <translation>Logic Pro 12.4 (oder 11) mit englischen Menüs.</translation>
    </message>
    <message>
        <source>That&apos;s what it was built and tested with. Other versions or languages may not work.</source>
        <translation>Damit wurde es gebaut und getestet. Andere Versionen oder Sprachen funktionieren womöglich nicht.</translation>
    </message>
    <message>
        <source>You can put everything back.</source>
        <translation>Sie können alles zurücklegen.</translation>
    </message>
    <message>
        <source>Vantrel moves your files into group folders inside the folder you chose and keeps a list, so one button puts them back. Or choose “Make a sorted copy” and your originals are not touched.</source>
        <translation>Vantrel verschiebt Ihre Dateien in Gruppenordner innerhalb des gewählten Ordners und führt eine Liste, sodass eine Taste sie zurücklegt. Oder wählen Sie „Sortierte Kopie erstellen“, dann bleiben Ihre Originale unberührt.</translation>
    </message>
    <message>
        <source>You&apos;re ready</source>
        <translation>Alles bereit</translation>
    </message>
    <message>
        <source>Drop a folder of tracks onto the window to begin. You can open this walkthrough again from the Help menu.</source>
        <translation>Legen Sie zum Beginnen einen Ordner mit Spuren auf das Fenster. Diese Einführung öffnen Sie jederzeit wieder über das Menü „Hilfe“.</translation>
    </message>
</context>
</TS>
