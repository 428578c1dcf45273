<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="en">
<context>
    <name>Vantrel::ApprovalModel</name>
    <message numerus="yes">
        <source>Prepared by Vantrel before: %n tracks ready to send to Logic.</source>
        <translation>
            <numerusform>Prepared by Vantrel before: %n track ready to send to Logic.</numerusform>
            <numerusform>Prepared by Vantrel before: %n tracks ready to send to Logic.</numerusform>
        </translation>
    </message>
    <message>
        <source>Choose</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Organizing “%1”</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Making the sorted copy</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n files</source>
        <translation>
            <numerusform>%n files</numerusform>
            <numerusform>%n files</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n files</source>
        <translation>
            <numerusform>%1 of %n files</numerusform>
            <numerusform>%1 of %n files</numerusform>
        </translation>
    </message>
    <message>
        <source>Couldn&apos;t organize the folder: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Couldn&apos;t create the sorted folder: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Putting the files back</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Couldn&apos;t put the files back: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1” is read-only, so Vantrel can&apos;t organize it in place. Choose “Make a sorted copy” to leave it as it is.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>Saved “%1” with %n tracks.</source>
        <translation>
            <numerusform>Saved “%1” with %n track.</numerusform>
            <numerusform>Saved “%1” with %n tracks.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Made the Ardour session “%1” with %n tracks and opened it in Ardour.</source>
        <translation>
            <numerusform>Made the Ardour session “%1” with %n track and opened it in Ardour.</numerusform>
            <numerusform>Made the Ardour session “%1” with %n tracks and opened it in Ardour.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Made the Ardour session “%1” with %n tracks. Open “%2” in Ardour.</source>
        <translation>
            <numerusform>Made the Ardour session “%1” with %n track. Open “%2” in Ardour.</numerusform>
            <numerusform>Made the Ardour session “%1” with %n tracks. Open “%2” in Ardour.</numerusform>
        </translation>
    </message>
    <message>
        <source>The sorted copy can&apos;t go inside “%1” itself. Choose another folder for it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The folder “%1” chosen for the sorted copy is gone. Choose another folder for it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The folder “%1” chosen for the sorted copy is read-only. Choose another folder for it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The folder that holds “%1” is read-only, so the sorted copy can&apos;t be made next to it. Choose where the sorted copy goes.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose the folder the sorted copy of “%1” goes into</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Couldn&apos;t make the Ardour session: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Making the Ardour session</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Saving the DAWproject file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Couldn&apos;t save the DAWproject file: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n files moved into their folders: nothing copied, no extra space used.</source>
        <translation>
            <numerusform>%n file moved into its folder: nothing copied, no extra space used.</numerusform>
            <numerusform>%n files moved into their folders: nothing copied, no extra space used.</numerusform>
        </translation>
    </message>
    <message>
        <source>The folder&apos;s disk can&apos;t be locked, so another program could have changed the folder while Vantrel organized it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copied %1 GB (this disk cannot clone files).</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n files cloned: no extra disk space used.</source>
        <translation>
            <numerusform>%n file cloned: no extra disk space used.</numerusform>
            <numerusform>%n files cloned: no extra disk space used.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>Vantrel::AudioCheck</name>
    <message numerus="yes">
        <source>%n files are at %1, the other at %2: Logic Pro will convert them on import.</source>
        <translation>
            <numerusform>%n file is at %1, the other at %2: Logic Pro will convert it on import.</numerusform>
            <numerusform>%n files are at %1, the other at %2: Logic Pro will convert them on import.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files are at %1, the other %2 at %3: Logic Pro will convert them on import.</source>
        <translation>
            <numerusform>%n file is at %1, the other %2 at %3: Logic Pro will convert it on import.</numerusform>
            <numerusform>%n files are at %1, the other %2 at %3: Logic Pro will convert them on import.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n at %1</source>
        <translation>
            <numerusform>%n at %1</numerusform>
            <numerusform>%n at %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files are at other sample rates (%1), the other at %2: Logic Pro will convert them on import.</source>
        <translation>
            <numerusform>%n file is at another sample rate (%1), the other at %2: Logic Pro will convert it on import.</numerusform>
            <numerusform>%n files are at other sample rates (%1), the other at %2: Logic Pro will convert them on import.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files are at other sample rates (%1), the other %2 at %3: Logic Pro will convert them on import.</source>
        <translation>
            <numerusform>%n file is at another sample rate (%1), the other %2 at %3: Logic Pro will convert it on import.</numerusform>
            <numerusform>%n files are at other sample rates (%1), the other %2 at %3: Logic Pro will convert them on import.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files are %1, the other %2: they may come from another recording or export.</source>
        <translation>
            <numerusform>%n file is %1, the other %2: it may come from another recording or export.</numerusform>
            <numerusform>%n files are %1, the other %2: they may come from another recording or export.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files are %1, the other %2 %3: they may come from another recording or export.</source>
        <translation>
            <numerusform>%n file is %1, the other %2 %3: it may come from another recording or export.</numerusform>
            <numerusform>%n files are %1, the other %2 %3: they may come from another recording or export.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n %1</source>
        <translation>
            <numerusform>%n %1</numerusform>
            <numerusform>%n %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files have other bit depths (%1), the other %2: they may come from another recording or export.</source>
        <translation>
            <numerusform>%n file has another bit depth (%1), the other %2: it may come from another recording or export.</numerusform>
            <numerusform>%n files have other bit depths (%1), the other %2: they may come from another recording or export.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files have other bit depths (%1), the other %2 %3: they may come from another recording or export.</source>
        <translation>
            <numerusform>%n file has another bit depth (%1), the other %2 %3: it may come from another recording or export.</numerusform>
            <numerusform>%n files have other bit depths (%1), the other %2 %3: they may come from another recording or export.</numerusform>
        </translation>
    </message>
    <message>
        <source>“%1” is silent: its peak is below −90 dBFS.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n files are silent: their peaks are below −90 dBFS.</source>
        <translation>
            <numerusform>%n file is silent: its peak is below −90 dBFS.</numerusform>
            <numerusform>%n files are silent: their peaks are below −90 dBFS.</numerusform>
        </translation>
    </message>
    <message>
        <source>“%1” has identical channels (dual mono): a mono file would take half the disk and CPU.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n files have identical channels (dual mono): mono files would take half the disk and CPU.</source>
        <translation>
            <numerusform>%n file has identical channels (dual mono): a mono file would take half the disk and CPU.</numerusform>
            <numerusform>%n files have identical channels (dual mono): mono files would take half the disk and CPU.</numerusform>
        </translation>
    </message>
    <message>
        <source>“%1” is clipped: it has runs of consecutive samples at full scale.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n files are clipped: they have runs of consecutive samples at full scale.</source>
        <translation>
            <numerusform>%n file is clipped: it has runs of consecutive samples at full scale.</numerusform>
            <numerusform>%n files are clipped: they have runs of consecutive samples at full scale.</numerusform>
        </translation>
    </message>
    <message>
        <source>“%1” lasts %2, less than half the session’s median of %3: a wrong or truncated file?</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n files last less than half the session’s median of %1: wrong or truncated files?</source>
        <translation>
            <numerusform>%n file lasts less than half the session’s median of %1: a wrong or truncated file?</numerusform>
            <numerusform>%n files last less than half the session’s median of %1: wrong or truncated files?</numerusform>
        </translation>
    </message>
    <message>
        <source>“%1” could not be read as audio: format not read.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n files could not be read as audio: format not read.</source>
        <translation>
            <numerusform>%n file could not be read as audio: format not read.</numerusform>
            <numerusform>%n files could not be read as audio: format not read.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>Vantrel::Files</name>
    <message>
        <source>Couldn&apos;t create the folder “%1”: %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Couldn&apos;t write the file “%1”: %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancelled.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copied %1 GB (this disk cannot clone files).</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n files cloned: no extra disk space used.</source>
        <translation>
            <numerusform>%n file cloned: no extra disk space used.</numerusform>
            <numerusform>%n files cloned: no extra disk space used.</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 These files could not be moved back and stay where they were put; the undo journal keeps them, so “Put the Files Back” can finish later:
%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n files moved into their folders: nothing copied, no extra space used. The folder&apos;s disk can&apos;t be locked, so another program could have changed the folder while Vantrel organized it.</source>
        <translation>
            <numerusform>%n file moved into its folder: nothing copied, no extra space used. The folder&apos;s disk can&apos;t be locked, so another program could have changed the folder while Vantrel organized it.</numerusform>
            <numerusform>%n files moved into their folders: nothing copied, no extra space used. The folder&apos;s disk can&apos;t be locked, so another program could have changed the folder while Vantrel organized it.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files moved into their folders: nothing copied, no extra space used.</source>
        <translation>
            <numerusform>%n file moved into its folder: nothing copied, no extra space used.</numerusform>
            <numerusform>%n files moved into their folders: nothing copied, no extra space used.</numerusform>
        </translation>
    </message>
    <message>
        <source>The folder holds an undo journal that can&apos;t be read (%1); put the files back or remove it first. Nothing was moved.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The undo journal “%1” is damaged: it is not a list of moves. Put the files back or remove it first; nothing was moved.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1” stayed at “%2”: %3.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The undo journal “%1” names “%2”, which is not inside the organized folder; nothing was moved.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Couldn&apos;t read the undo journal “%1”: %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The undo journal “%1” is damaged: it is not a list of moves; nothing was moved.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1” was left in place: %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1” was left in place: it holds “%2” that Vantrel didn&apos;t put there.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>“%1” was left in place: it holds %n entries that Vantrel didn&apos;t put there.</source>
        <translation>
            <numerusform>“%1” was left in place: it holds %n entry that Vantrel didn&apos;t put there.</numerusform>
            <numerusform>“%1” was left in place: it holds %n entries that Vantrel didn&apos;t put there.</numerusform>
        </translation>
    </message>
    <message>
        <source>“%1” was not put back: it is no longer at “%2”, where the undo journal expects it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Some files stayed where they are; the undo journal keeps them, so that a later put-back can finish:
%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Couldn&apos;t copy “%1” to “%2”: %3.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Couldn&apos;t move “%1” to “%2”: %3.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Couldn&apos;t remove “%1”: %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Couldn&apos;t read the folder “%1”: %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Couldn&apos;t write “%1”: %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Couldn&apos;t save the folder “%1”: %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Couldn&apos;t use “%1”: %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1” is being organized or put back by another Vantrel right now; nothing was changed. Try again when it has finished.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1” is not a result folder: it holds no %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The %1 in “%2” cannot be read.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The %1 in “%2” names “%3”, which is not a place inside the folder; nothing was sent.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The %1 in “%2” lists no tracks; nothing was sent.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The folder “%1” in “%2” is a symbolic link, so its tracks may lie outside the result folder; nothing was sent.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n of the %1 tracks that the %2 in “%3” lists are not in their place (%4); nothing was sent.</source>
        <translation>
            <numerusform>%n of the %1 tracks that the %2 in “%3” lists is not in its place (%4); nothing was sent.</numerusform>
            <numerusform>%n of the %1 tracks that the %2 in “%3” lists are not in their place (%4); nothing was sent.</numerusform>
        </translation>
    </message>
    <message>
        <source>Couldn&apos;t read “%1”: %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1” was left alone: its name is not valid UTF-8, so Vantrel can&apos;t name it safely.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>it is not a regular file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>it is larger than %1 bytes</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Vantrel::ReviewSession</name>
    <message>
        <source>Choose</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Drop a folder of tracks, not a single file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reading “%1”</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Looking at the files…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No audio files found directly inside “%1”.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose the folder of tracks to sort</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add “%1” to the words of %2?</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Vantrel::Rules</name>
    <message>
        <source>“%1” is not true or false</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>group %1 is not an object</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the “name” of group %1 is not text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the “aliases” of group %1 is not a list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a word of group %1 is not text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the “color” of group %1 is not a list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>line %1, column %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>it is not a JSON object</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1” is missing or not a list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1” is missing or not an object</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the alias of “%1” is not text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1” is not text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>it has no rule groups</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Vantrel::RulesModel</name>
    <message>
        <source>Your rules file “%1” could not be read, so Vantrel is using the built-in rules. The file is kept as “%2”.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Your rules file “%1” could not be read (%2), so Vantrel is using the built-in rules. The file is kept as “%3”.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Your rules file “%1” could not be read, so Vantrel is using the built-in rules. Couldn&apos;t keep a copy of it: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Your rules file “%1” could not be read (%2), so Vantrel is using the built-in rules. Couldn&apos;t keep a copy of it: %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Couldn&apos;t save rules: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Vantrel::SendModel</name>
    <message>
        <source>Allow Vantrel in System Settings &gt; Privacy &amp; Security &gt; Accessibility, then try again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open Logic Pro with an empty project first, then try again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Starting…</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Vantrel::Sender</name>
    <message>
        <source>Couldn&apos;t read Logic&apos;s track list to color %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Couldn&apos;t find the stack %1 in Logic to color it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the Color window</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Couldn&apos;t read Logic&apos;s color palette (the Color window has no size).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Couldn&apos;t find that color in Logic&apos;s palette.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Couldn&apos;t keep the %1 tracks selected in Logic to color them (something else changed the selection).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(the selection changed before coloring %1; selecting again)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(the selection changed while coloring %1; coloring again)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(the Color window would not close)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the import dialog</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the Go to Folder box</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the folder to open</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1” in the dialog</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open to be available</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the tempo question to close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the import dialog to close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Couldn&apos;t find Logic&apos;s project window.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Logic&apos;s track list</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>before the drag: %n tracks; windows: %1</source>
        <translation>
            <numerusform>before the drag: %n track; windows: %1</numerusform>
            <numerusform>before the drag: %n tracks; windows: %1</numerusform>
        </translation>
    </message>
    <message>
        <source>Logic stopped answering after the drop.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Retrying the drag (%1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>Importing: %1 of %n tracks</source>
        <translation>
            <numerusform>Importing: %1 of %n track</numerusform>
            <numerusform>Importing: %1 of %n tracks</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Importing %1: %2 of %n tracks</source>
        <translation>
            <numerusform>Importing %1: %2 of %n track</numerusform>
            <numerusform>Importing %1: %2 of %n tracks</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Logic only brought in %1 of %n tracks.</source>
        <translation>
            <numerusform>Logic only brought in %1 of %n track.</numerusform>
            <numerusform>Logic only brought in %1 of %n tracks.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Logic only brought in %1 of %n %2 tracks.</source>
        <translation>
            <numerusform>Logic only brought in %1 of %n %2 track.</numerusform>
            <numerusform>Logic only brought in %1 of %n %2 tracks.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>(%1 tracks came in for %n files)</source>
        <translation>
            <numerusform>(%1 tracks came in for %n file)</numerusform>
            <numerusform>(%1 tracks came in for %n files)</numerusform>
        </translation>
    </message>
    <message>
        <source>Logic Pro isn&apos;t running.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Couldn&apos;t read Logic&apos;s menus.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Allow Vantrel in System Settings &gt; Privacy &amp; Security &gt; Accessibility, then choose Logic &gt; Check Logic Connection again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>Connected. Read %n menu items from Logic Pro.</source>
        <translation>
            <numerusform>Connected. Read %n menu item from Logic Pro.</numerusform>
            <numerusform>Connected. Read %n menu items from Logic Pro.</numerusform>
        </translation>
    </message>
    <message>
        <source>Open Logic Pro with an empty project first.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>Dragging %n files into Logic</source>
        <translation>
            <numerusform>Dragging %n file into Logic</numerusform>
            <numerusform>Dragging %n files into Logic</numerusform>
        </translation>
    </message>
    <message>
        <source>Sorting the tracks by name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stacking %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Folding stacks</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Putting the stacks in order</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>before the sort: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(the order is right already: no sort)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>after the sort: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(the order is not right: dragging the rows into place)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>order now: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Checking the session</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Done</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Moving %1 to position %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(the project held tracks before the send: none is deleted)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Building the session in Logic Pro</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Logic Pro can&apos;t make track stacks until its complete features are on: choose Logic Pro &gt; Settings &gt; Advanced, switch on “Enable Complete Features”, then send again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the tracks came in in the right order</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the tracks came in in another order: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Logic brought the tracks in in another order, and tracks of different groups share a name (%1), so they cannot be told apart. Nothing else was changed after this point: send group by group instead.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Coloring</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Importing %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Coloring %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the new track</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open Logic Pro first.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Logic doesn&apos;t have a track named “%1” yet. Drag the tracks in first, then build stacks.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>Sent %n tracks and %1 to Logic.</source>
        <translation>
            <numerusform>Sent %n track and %1 to Logic.</numerusform>
            <numerusform>Sent %n tracks and %1 to Logic.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n stacks</source>
        <translation>
            <numerusform>%n stack</numerusform>
            <numerusform>%n stacks</numerusform>
        </translation>
    </message>
    <message>
        <source>Vantrel needs Accessibility permission (System Settings &gt; Privacy &amp; Security &gt; Accessibility).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Logic Pro is showing a dialog: close it in Logic Pro, then send again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Logic Pro is showing “%1”: close it in Logic Pro, then send again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Logic didn&apos;t respond (waiting for %1). Nothing else was changed after this point.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Logic to come to the front</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(waited %1 s for Logic to be ready)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>menu “%1”</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(Logic answered %1 to “%2”; going on)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Couldn&apos;t use the menu item “%1” (Logic answered %2).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Couldn&apos;t use the menu item “%1” (Logic answered nothing: the item was not found).</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>(%1 of %n tracks selected; again)</source>
        <translation>
            <numerusform>(%1 of %n track selected; again)</numerusform>
            <numerusform>(%1 of %n tracks selected; again)</numerusform>
        </translation>
    </message>
    <message>
        <source>Couldn&apos;t find Logic&apos;s track list.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Couldn&apos;t find the %1 tracks in Logic.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Couldn&apos;t choose a summing stack in Logic&apos;s track stack dialog, so no stack was made for %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(the selection for %1 did not hold; selecting again)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the stack dialog</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(the selection for %1 changed while the stack dialog was open; dismissing it)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the stack dialog to close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Couldn&apos;t keep the %1 tracks selected in Logic to stack them (something else changed the selection). Nothing else was changed after this point.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the stack to appear</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(the stack %1 could not be closed to count its tracks; the closing check will)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The stack “%1” in Logic holds other tracks than its own (%2). Nothing else was changed after this point.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>The stack “%1” took %2 of its %n tracks in Logic; the others are outside it. Nothing else was changed after this point.</source>
        <translation>
            <numerusform>The stack “%1” took %2 of its %n track in Logic; the others are outside it. Nothing else was changed after this point.</numerusform>
            <numerusform>The stack “%1” took %2 of its %n tracks in Logic; the others are outside it. Nothing else was changed after this point.</numerusform>
        </translation>
    </message>
    <message>
        <source>Couldn&apos;t find the %1 tracks in Logic (missing: %2).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Couldn&apos;t find the new stack for %1 in Logic&apos;s track list.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(could not rename %1 by double-clicking; using the menu)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Couldn&apos;t open the name field of the new stack for %1 in Logic, so nothing was typed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Couldn&apos;t rename a track to “%1”.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Couldn&apos;t rename a track to “%1”: Logic&apos;s name field did not open or did not take it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(the track list could not be read to fold %1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(no arrow found for %1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(%1 did not fold)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Couldn&apos;t bring track %1 into view in Logic.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Logic&apos;s track list could not be read back</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the stack “%1” is open</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the closed stacks could not be opened to check them</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>there is no stack “%1”</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>there are %n stacks “%1”</source>
        <translation>
            <numerusform>there is %n stack “%1”</numerusform>
            <numerusform>there are %n stacks “%1”</numerusform>
        </translation>
    </message>
    <message>
        <source>the stack “%1” lacks %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the stack “%1” also holds %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the stack “%1” lacks %2 and also holds %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>these tracks came in more than once: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>these tracks are outside their stacks: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the track “%1” is missing</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>Logic holds %1 tracks where %n were expected</source>
        <translation>
            <numerusform>Logic holds %1 tracks where %n was expected</numerusform>
            <numerusform>Logic holds %1 tracks where %n were expected</numerusform>
        </translation>
    </message>
    <message>
        <source>the stack “%1”</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the track “%1”</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 stands at position %2 in place of %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(Logic does not show which color a track has: colors not checked)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 has a color it was not sent with</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 has no color</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 has another color than its group</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Done, but the session in Logic is not what was sent: %1. Check it in Logic before you go on.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>Done, but the session in Logic is not what was sent: %1 (and %n more differences). Check it in Logic before you go on.</source>
        <translation>
            <numerusform>Done, but the session in Logic is not what was sent: %1 (and %n more difference). Check it in Logic before you go on.</numerusform>
            <numerusform>Done, but the session in Logic is not what was sent: %1 (and %n more differences). Check it in Logic before you go on.</numerusform>
        </translation>
    </message>
    <message>
        <source>Unsorted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vantrel can&apos;t find File &gt; Import &gt; Audio File… in Logic Pro&apos;s menus in this language, and sending one by one needs it: choose another way to send, or in System Settings &gt; General &gt; Language &amp; Region, add Logic Pro under Applications with the language English, reopen Logic Pro, then send again.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Vantrel::SessionExport</name>
    <message>
        <source>Couldn&apos;t start “%1”: %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Couldn&apos;t write the script for Ardour&apos;s session tool in “%1”: %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the tool stopped unexpectedly (%1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>it gave no reason</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Couldn&apos;t read the session file “%1” that Ardour wrote: %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The session file “%1” that Ardour wrote is not in a form this version of Vantrel knows.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ardour is not installed: its session tool (ardour8-lua or ardour7-lua) was not found. Install Ardour 7 or later, then try again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>An Ardour session&apos;s name cannot hold “%1”; choose another name than “%2”.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Couldn&apos;t make a working folder beside “%1”: %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>Making %n tracks in Ardour…</source>
        <translation>
            <numerusform>Making %n track in Ardour…</numerusform>
            <numerusform>Making %n tracks in Ardour…</numerusform>
        </translation>
    </message>
    <message>
        <source>Ardour&apos;s session tool could not create the session: %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>Ardour&apos;s session tool made %1 of the %n tracks.</source>
        <translation>
            <numerusform>Ardour&apos;s session tool made %1 of the %n track.</numerusform>
            <numerusform>Ardour&apos;s session tool made %1 of the %n tracks.</numerusform>
        </translation>
    </message>
    <message>
        <source>Adding the audio…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Placing the audio in Ardour…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ardour&apos;s session tool could not place the audio: %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ardour&apos;s session tool did not tell where it found the audio of every track, so no session was made.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ardour did not find the audio of %1 where it lies, so no session was made.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Made the Ardour session “%1”.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1” is “%2”</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ardour needs every track&apos;s name to be its own and keeps some names for itself, so %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1” is not at the session&apos;s %2, so Ardour plays it at the wrong speed until it is converted.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n tracks are not at the session&apos;s %1 (%2), so Ardour plays them at the wrong speed until they are converted.</source>
        <translation>
            <numerusform>%n track is not at the session&apos;s %1 (%2), so Ardour plays it at the wrong speed until it is converted.</numerusform>
            <numerusform>%n tracks are not at the session&apos;s %1 (%2), so Ardour plays them at the wrong speed until they are converted.</numerusform>
        </translation>
    </message>
    <message>
        <source>Couldn&apos;t save “%1”: %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Writing “%1”…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Couldn&apos;t save “%1”: “%2”: %3.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Saved “%1”.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There is already something named “%1” in “%2”, so the Ardour session was not made; nothing was overwritten.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There is already something named “%1” in “%2”, so the DAWproject file was not made; nothing was overwritten.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The folder “%1” does not exist, so the Ardour session cannot be made there.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The folder “%1” does not exist, so the DAWproject file cannot be made there.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The folder “%1” cannot be written (%2), so the Ardour session cannot be made there.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The folder “%1” cannot be written (%2), so the DAWproject file cannot be made there.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n groups</source>
        <translation>
            <numerusform>%n group</numerusform>
            <numerusform>%n groups</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Made the Ardour session “%1”: %n tracks in %2.</source>
        <translation>
            <numerusform>Made the Ardour session “%1”: %n track in %2.</numerusform>
            <numerusform>Made the Ardour session “%1”: %n tracks in %2.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Saved “%1”: %n tracks in %2.</source>
        <translation>
            <numerusform>Saved “%1”: %n track in %2.</numerusform>
            <numerusform>Saved “%1”: %n tracks in %2.</numerusform>
        </translation>
    </message>
    <message>
        <source>The audio of %1 cannot be read, so it cannot be placed in a session.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>The audio of %n tracks cannot be read (%1), so they cannot be placed in a session.</source>
        <translation>
            <numerusform>The audio of %n track cannot be read (%1), so it cannot be placed in a session.</numerusform>
            <numerusform>The audio of %n tracks cannot be read (%1), so they cannot be placed in a session.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>Vantrel::Suggestions</name>
    <message>
        <source>%1, plural of %2, short for %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 in “%2”, plural of %3, short for %4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1, short for %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 in “%2”, short for %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1, plural of %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 in “%2”</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1, one of the words of %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1, usually %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Vantrel::Ui::BusyView</name>
    <message>
        <source>Progress</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Vantrel::Ui::ColorPick</name>
    <message>
        <source>Color for this group in Logic</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Vantrel::Ui::ColorPopover</name>
    <message>
        <source>No color</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Logic color for %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Vantrel::Ui::ContentView</name>
    <message>
        <source>Rules…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Vantrel::Ui::DoneView</name>
    <message>
        <source>Open Logic Pro with an empty project, then choose Send to Logic.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Logic Pro keeps what the send made before you cancelled. Choose Edit &gt; Undo in Logic Pro until the project is empty, or open a new empty project, then send again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Send progress</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Send to Logic</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Send Group by Group</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Send One by One (slow)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show in Finder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Put the Files Back</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sort Another Folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The send to Logic was cancelled</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The send to Logic didn’t finish</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Folder organized</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sorted folder created</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Put the files back where they were? The Logic project you sent them to uses them where they are now and will no longer find them.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Vantrel::Ui::DragSourceView</name>
    <message>
        <source>Just want the tracks, no stacks? Drag this into Logic.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Vantrel::Ui::DragTile</name>
    <message numerus="yes">
        <source>%n tracks, ready for Logic</source>
        <translation>
            <numerusform>%n track, ready for Logic</numerusform>
            <numerusform>%n tracks, ready for Logic</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>Vantrel::Ui::DropZone</name>
    <message>
        <source>Drop your session folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tracks are renamed and sorted into groups. You review everything before any file is moved or copied.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose Folder…</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Vantrel::Ui::FindingsSheet</name>
    <message>
        <source>Audio Findings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vantrel never changes the audio.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Done</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Vantrel::Ui::GroupRow</name>
    <message>
        <source>Group</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Words, separated by spaces</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove this group</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove group</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Drag to move this group, or press Alt+Up or Alt+Down</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Words of the group</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Vantrel::Ui::MainWindow</name>
    <message>
        <source>File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quit Vantrel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Undo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Redo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Logic</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Check Logic Connection…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vantrel Walkthrough</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open “%1”? The group changes you made to “%2” will be lost.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keep Reviewing</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Vantrel::Ui::ModePicker</name>
    <message>
        <source>What to do with the files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Organize this folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Make a sorted copy</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Vantrel::Ui::OpenInButton</name>
    <message>
        <source>Open In</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Opens a menu of other programs to open the sorted tracks in</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save as DAWproject</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DAWproject files (*.dawproject)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ardour</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save as DAWproject…</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Vantrel::Ui::OpenRequests</name>
    <message>
        <source>user %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The user of the program answering at “%1” could not be told.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The user of the program that connected could not be told.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The program answering at “%1” runs as another user (%2).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The program that connected runs as another user (%1).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Its runtime folder “%1” cannot be read (%2).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Its runtime folder “%1” is not a folder.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Its runtime folder “%1” belongs to another user (%2).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Its runtime folder “%1” is open to other users (mode %2, not 700).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1” holds the place of its socket but is not one.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Its socket “%1” belongs to another user (%2).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vantrel opens on its own without handing its folders to a running Vantrel.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A later launch of Vantrel can&apos;t hand folders to this window.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The system gives it no runtime folder of its own.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Its socket “%1” could not be made (%2).</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>The request did not end within %n seconds.</source>
        <translation>
            <numerusform>The request did not end within %n second.</numerusform>
            <numerusform>The request did not end within %n seconds.</numerusform>
        </translation>
    </message>
    <message>
        <source>The request is longer than %1 bytes.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It is not a request to open folders.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The request names more than %1 paths.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vantrel ignored a request to open folders.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Vantrel::Ui::ReviewList</name>
    <message>
        <source>Tracks</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Vantrel::Ui::ReviewView</name>
    <message>
        <source>Unsorted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This folder was organized by Vantrel.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Put the Files Back</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not Now</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>What to do with the files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n audio findings</source>
        <translation>
            <numerusform>%n audio finding</numerusform>
            <numerusform>%n audio findings</numerusform>
        </translation>
    </message>
    <message>
        <source>Checking the audio… %1 of %2 files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Audio checked: nothing to report</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n tracks</source>
        <translation>
            <numerusform>%n track</numerusform>
            <numerusform>%n tracks</numerusform>
        </translation>
    </message>
    <message>
        <source>All sorted</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n need a group</source>
        <translation>
            <numerusform>%n needs a group</numerusform>
            <numerusform>%n need a group</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Accept All Suggestions (%n)</source>
        <translation>
            <numerusform>Accept All Suggestions (%n)</numerusform>
            <numerusform>Accept All Suggestions (%n)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n non-audio files ignored</source>
        <translation>
            <numerusform>%n non-audio file ignored</numerusform>
            <numerusform>%n non-audio files ignored</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>…and %n more.</source>
        <translation>
            <numerusform>…and %n more.</numerusform>
            <numerusform>…and %n more.</numerusform>
        </translation>
    </message>
    <message>
        <source>The files are moved into group folders and renamed inside “%1”. Nothing is copied, so no extra space is used, and you can put them back afterwards.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Approve &amp; Organize</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A new “SORTED” folder is made next to it and your originals are not touched. On a Mac disk it takes no extra space until a file is changed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Approve &amp; Create Sorted Folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose Where…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose the folder the sorted copy goes into</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A new “SORTED” folder is made in “%1” and your originals are not touched.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Vantrel::Ui::RulesView</name>
    <message>
        <source>Rules</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Each group lists the words that put a track in it (for example EG, ELECTRIC). Order here is the order of the folders. Drag to reorder.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Number tracks in session order (01_KICK_IN) so Logic keeps that order</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Put the group name in front of each track (DRUMS_01_KICK_IN)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add Group</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reset to Defaults</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Vantrel::Ui::SendPanelView</name>
    <message>
        <source>SENDING TO LOGIC</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Send progress</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please don&apos;t touch the mouse or keyboard</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Vantrel::Ui::SendPanelWindow</name>
    <message>
        <source>Sending to Logic</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Vantrel::Ui::WalkthroughView</name>
    <message>
        <source>Vantrel Walkthrough</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Skip</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Back</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Continue</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Get Started</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Allowed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not yet allowed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Welcome to Vantrel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Drop in a folder of tracks. Vantrel names them, sorts them into groups, and builds the whole session in Logic Pro for you.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Drop</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>your session folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Review</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>and approve</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Send</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>to Logic</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It sorts by name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vantrel reads each file name, picks the group it belongs in, and numbers the tracks in your original session order.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Groups, their colors and their order live under Rules… at the top right. You can change them any time.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>One permission</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>To build your session, Vantrel presses buttons and menus in Logic Pro for you. macOS only allows that when you switch on Accessibility for Vantrel.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click Open System Settings below.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Find Vantrel in the list and switch it on. (If it isn&apos;t there, click + and add it from Applications.)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Come back here. This page notices when it&apos;s on.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open System Settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Before you send</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A few things to know so it goes smoothly.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open Logic Pro with a new, empty project.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vantrel adds to whatever is open, so start clean.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Leave the mouse and keyboard alone while it works.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It takes about a minute. Vantrel drives Logic itself, and a small panel in the corner shows progress. You can cancel any time.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Logic Pro 12.4 (or 11), with English menus.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>That&apos;s what it was built and tested with. Other versions or languages may not work.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You can put everything back.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vantrel moves your files into group folders inside the folder you chose and keeps a list, so one button puts them back. Or choose “Make a sorted copy” and your originals are not touched.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You&apos;re ready</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Drop a folder of tracks onto the window to begin. You can open this walkthrough again from the Help menu.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not yet allowed. If Vantrel is switched on, quit Vantrel and open it again.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
