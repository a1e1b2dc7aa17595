<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" sourcelanguage="en">
<context>
    <name>app</name>
    <message>
        <source>Unknown error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save changes to %1?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Compares the topics of two help project files side by side.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Match topics by MODE: id, title or id-or-title.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MODE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>As git difftool: LOCAL.qcp REMOTE.qcp follow, LOCAL as History, REMOTE as Latest; /dev/null is an empty project.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The name the caption shows for the pair (a repository path).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>NAME</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Merge OURS and THEIRS (the two arguments) changed from BASE into OUT.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>BASE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The merged file --merge writes.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OUT</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The Latest project file (*.qcp).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The History project file (*.qcp).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unknown match mode: %1
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--merge BASE needs OURS and THEIRS and -o OUT
</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>app::TActionTable</name>
    <message>
        <source>&amp;Open Files...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open &amp;Recent</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Merge Three Files...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save &amp;History</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save History A&amp;s...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keep &amp;Backups</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Export Report...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy Entire Topic to Latest</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy ENTIRE Topic from History to Latest</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy Topic Text to Latest</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy Topic TEXT ONLY from History to Latest</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy Entire Topic to History</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy ENTIRE Topic from Latest to History</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy Topic Text to History</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy Topic TEXT ONLY from Latest to History</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy Change to Latest</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy Change to History</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy Change to Latest and Go to Next</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy Change to History and Go to Next</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy Formatting to Latest</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy Formatting to History</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Find Topics...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Next Difference</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Previous Difference</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Next &amp;Change</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Previous C&amp;hange</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show Topics Only in &amp;History</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Scroll Texts With the Difference</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lock &amp;Latest</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lock Histor&amp;y</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Keyboard Shortcuts</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Clear</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>app::TEditHistory</name>
    <message>
        <source>Copy Topic Text &apos;%1&apos; to %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy Topic &apos;%1&apos; to %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Latest</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>History</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>app::TPairView</name>
    <message>
        <source>Differences</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Latest</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>History</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Latest topic</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The selected topic in the Latest file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>History topic</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The matching topic in the History file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Latest text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The Latest topic&apos;s text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>History text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The History topic&apos;s text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Line difference</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The two texts line by line, changes marked</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Latest lines</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The Latest text&apos;s lines, aligned with History&apos;s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>History lines</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The History text&apos;s lines, aligned with Latest&apos;s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Differences: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Blanks at the line&apos;s start or end differ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Blanks at the line&apos;s end differ</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>app::TProjectFiles</name>
    <message>
        <source>Quillcrafter File (*.qcp)|*.qcp</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open Latest Quillcrafter File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open Quillcrafter History File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save Latest File As...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save History File As...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 saved as %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Latest</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>History</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Read %1 again? Your unsaved change to it will be lost.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Read %1 again? Your %2 unsaved changes to it will be lost.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 has changed on disk. Read it again?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 no longer exists; it is taken off the recent files.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>app::TReportExporter</name>
    <message>
        <source>Export Report</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Web Page (*.html)|*.html|CSV Table (*.csv)|*.csv</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>-report</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is one of the files compared; the report needs another name.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The report was written to %1.

Open it now?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No program could open %1.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>app::TTopicListPane</name>
    <message>
        <source>Aa</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show %1 topics</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Find topics (Ctrl+F)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save As...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Match mode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>How Latest topics find their History topics</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Topics</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The Latest topics, each with its comparison class</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Find topics</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lists only the topics whose ID, title or text holds these words</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open a Latest and a History project file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save Latest as</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save the Latest project file under a name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Doubtful pairing: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1k</source>
        <comment>a count in thousands</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 %2</source>
        <comment>a class&apos;s mark and count</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 %2 topics listed; click to hide them</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 %2 topics hidden; click to list them</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>app::TfrmMain</name>
    <message>
        <source>Different Topics:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Identical Topics:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Identical Text Topics:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New Topics:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Deleted Topics:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Counts</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>How many topics are in each class</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No listed topic holds &quot;%1&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keyboard Shortcuts</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>About</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>

Compares two help project files topic by topic.
Licensed under the MIT licence.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[*]%1 - %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Undo %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Redo %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 topics share an ID with another</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 Latest topics match the same History topic</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>; </source>
        <comment>between the parts of a status message</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Latest is locked</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>History is locked</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No change at the current row</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Latest</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>History</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy Change %1 to %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy Lines to %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The current row does not differ in formatting alone</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy Formatting to %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Every listed topic is identical</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Every topic is identical</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Passed the last topic; went on from the first</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Passed the first topic; went on from the last</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No further change in this topic</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No earlier change in this topic</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Passed the last topic found; went on from the first</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Passed the first topic found; went on from the last</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>only topics that contain &quot;%1&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Colours</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Follow the &amp;Desktop</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Light</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Dar&amp;k</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>app::TfrmMerge</name>
    <message>
        <source>Kept</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ours</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Theirs</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Merged</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Added</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Deleted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Conflict</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>kept</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ours</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>theirs</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>merged</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>added</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>deleted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>conflict</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>automatic</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>resolved</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>resolved: chosen lines</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>resolved: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Topic</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ID</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Action</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>State</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open the Base Project</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open Our Project</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open Their Project</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save the Merged Project As</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quillcrafter File (*.qcp)|*.qcp</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Base</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Change</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Result</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Save Merged File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Topic: Take &amp;Ours</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Topic: Take &amp;Theirs</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Topic: Take &amp;Base</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Topic: Keep Bo&amp;th</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Change: Take Ours</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Change: Take Theirs</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Change: Take Base</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Change: Ours Then Theirs</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Change: Theirs Then Ours</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Take Ours for All Unresolved Conflicts</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Take Theirs for All Unresolved Conflicts</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Next Conflict</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Previous Conflict</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show &amp;Base</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Whole topic</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Field %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Text lines %1-%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Conflict (%1 unresolved of %2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 of %2 conflicts unresolved; %3 rows</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Merge</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1%2 - Merge Three Files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose for Topic &apos;%1&apos;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose for a Change of &apos;%1&apos;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 conflicts are still unresolved: their texts are saved marked, their values as ours. Save anyway?</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>core</name>
    <message>
        <source>Match Topics By ID</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Match Topics By Title</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Match Topics By ID or Title</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Different Topics: %d</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Identical Topics: %d</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Identical Text Topics: %d</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New Topics: %d</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Deleted Topics: %d</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Identical</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Different</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Identical text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Deleted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>different</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>identical</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>identical text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>new</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>deleted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Missing Quillcrafter Identifier, not a Quillcrafter File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unknown Quillcrafter File Version, not a Quillcrafter File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unexpected end of file while reading %s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file starts with a UTF-8 byte-order mark, which a Quillcrafter File never has; not a Quillcrafter File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Line %s is longer than %s bytes while reading %s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Line %s: the count %s is larger than the lines that can follow while reading %s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%s bytes after the end of the project are not read (a save drops them)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot open file &quot;%s&quot;. %s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot create file &quot;%s&quot;. %s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot read file &quot;%s&quot;. %s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot write file &quot;%s&quot;. %s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It holds more than %s bytes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%s is being saved by another program</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&apos;%s&apos; is not a valid integer value</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stream read error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stream write error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Failed to Load Stream</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot write the backup %s: %s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The link points to &quot;%s&quot;, which does not exist</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A block device is not written to</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No process reads from the named pipe</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Topic ID %d is in use</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
