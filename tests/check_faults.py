#!/usr/bin/env python3
"""Makes each fault a careless change could make, one at a time, and runs the test that should
catch it; the source is put back after each. Run as root (as CI does) after a `ci` build:

    tests/check_faults.py            every fault; exits 1 when one is not caught
    tests/check_faults.py 3 12       only these rows
    tests/check_faults.py --list     writes the list of faults, tests/FAULTS.md
"""
import os
import subprocess
import sys
from collections import namedtuple

# What goes wrong; the test executable and, when one function of it is enough, that function; the
# file; the text the fault replaces, and with what.
Fault = namedtuple('Fault', 'what test function path right wrong')

FAULTS = [
    Fault("A UTF-8 file's byte-order mark is kept", 'tst_textdocument', '', 'scribbet/format/TextDocument.cpp',
          '        dropLeadingByteOrderMark(bytes);\n',
          '        if (false) dropLeadingByteOrderMark(bytes);\n'),
    Fault('UTF-16 with an odd last byte is accepted', 'tst_textdocument', '', 'scribbet/format/TextDocument.cpp',
          'if (bytes.size() % 2 != 0)', 'if (false)'),
    Fault('An unpaired surrogate is taken as text', 'tst_textdocument', '', 'scribbet/format/TextDocument.cpp',
          'if (!QStringView(units).isValidUtf16())', 'if (false)'),
    Fault('Documents are compared byte for byte, not canonically', 'tst_textdocument', 'equalityIsCanonical', 'scribbet/format/TextDocument.cpp',
          '    if (left.text == right.text)\n        return true;',
          '    return left.text == right.text;'),
    Fault('Reading opens a pipe without O_NONBLOCK, and blocks', 'tst_fileio', 'readsBytesAndNeverBlocks', 'platform/core/FileReading.cpp',
          'O_RDONLY | O_NONBLOCK | O_CLOEXEC', 'O_RDONLY | O_CLOEXEC'),
    Fault('A file that grows past the limit is read whole', 'tst_fileio', 'readStaysWithinItsLimits', 'platform/core/FileReading.cpp',
          '        if (filled > readLimit)\n', '        if (false)\n'),
    Fault('A save gives the file to the saver, not its owner', 'tst_fileio', 'saveKeepsWhatTheFileWas', 'platform/core/FileWriting.cpp',
          '        ::fchown(temporary, old.st_uid, old.st_gid) != 0)', '        false)'),
    Fault('A save drops extended attributes and ACLs', 'tst_fileio', 'saveKeepsWhatTheFileWas', 'platform/core/FileWriting.cpp',
          '            ::fsetxattr(temporary, name.constData(), value.constData(), size_t(size), 0) != 0)',
          '            false)'),
    Fault('A file with other hard links is replaced, splitting it from them', 'tst_fileio', 'saveKeepsWhatTheFileWas', 'platform/core/FileWriting.cpp',
          '        (exists && old.st_nlink > 1) ||', '        false ||'),
    Fault('A symbolic link is replaced rather than followed', 'tst_fileio', 'saveKeepsWhatTheFileWas', 'platform/core/FileWriting.cpp',
          '        if (!S_ISLNK(status.st_mode))', '        if (true)'),
    Fault('A save writes into /proc', 'tst_fileio', 'saveRefusesWhatIsNotARegularFile', 'platform/core/FileWriting.cpp',
          'if (isPseudoFileSystem(place.directory.get()))', 'if (isPseudoFileSystem(place.directory.get()) && false)'),
    Fault('A read-only file is replaced because its folder is writable', 'tst_fileio', 'failedSaveLeavesTheFileAsItWas', 'platform/core/FileWriting.cpp',
          '    if (exists && ::faccessat(', '    if (false && ::faccessat('),
    Fault("A save drops the file's inode flags", 'tst_fileio', 'saveKeepsWhatTheFileWas', 'platform/core/FileWriting.cpp',
          '|| !takeOverInodeFlags(temporary, place))', '|| (false && !takeOverInodeFlags(temporary, place)))'),
    Fault("A save gives a file the folder's default ACL", 'tst_fileio', 'saveKeepsWhatTheFileWas', 'platform/core/FileWriting.cpp',
          '    if (::fremovexattr(temporary, "system.posix_acl_access") != 0 && errno != ENODATA &&',
          '    if (false && ::fremovexattr(temporary, "system.posix_acl_access") != 0 && errno != ENODATA &&'),
    Fault('A pseudo-file is read up to the whole size limit', 'tst_fileio', 'readStaysWithinItsLimits', 'platform/core/FileReading.cpp',
          'const qsizetype readLimit = qMin(limit, expectedSize + qMax(expectedSize, growthAllowed));',
          'const qsizetype readLimit = limit + 0 * growthAllowed;'),
    Fault('Files handed over at once all open, however many', 'tst_documentcontroller', 'filesHandedOverAtOnceAreBoundedAndToldOnce', 'platform/widgets/OpenQueue.cpp',
          '        else if (m_waiting.size() < mostWaiting)', '        else if (true)'),
    Fault('Each file that fails to open is a message of its own', 'tst_documentcontroller', 'filesHandedOverAtOnceAreBoundedAndToldOnce', 'platform/widgets/DocumentController.cpp',
          '    if (m_gatheredErrors) {', '    if (false) {'),
    Fault("A relative file: URI is taken in the editor's own folder", 'tst_documentcontroller', 'filesHandedOverAtOnceAreBoundedAndToldOnce', 'platform/core/FileUris.cpp',
          "    if (!name.startsWith('/'))", '    if (false)'),
    Fault("A path's .. is undone as text, across a link", 'tst_documentcontroller', 'namesMeanWhatTheKernelMeans', 'platform/core/PathResolution.cpp',
          '        ::realpath(folder.constData(), nullptr), &std::free);', '        nullptr, &std::free);'),
    Fault('A Save As name that is not UTF-8 is written under other bytes', 'tst_documentcontroller', 'namesMeanWhatTheKernelMeans', 'platform/widgets/DocumentController.cpp',
          '    if (path && path->contains(QChar::ReplacementCharacter)) {', '    if (false) {'),
    Fault('A settings file that is a named pipe hangs the launch', 'tst_sharedrecentfiles', 'listAndSettingsArePrivateAndOnlyInARegularFile', 'platform/core/UserDefaults.cpp',
          '    if (existing.exists() && !existing.isFile()) {', '    if (false) {'),
    Fault('The settings file, which names recent files, is readable by all', 'tst_sharedrecentfiles', 'listAndSettingsArePrivateAndOnlyInARegularFile', 'platform/core/UserDefaults.cpp',
          '        QFile(path).open(QIODevice::NewOnly, QFile::ReadOwner | QFile::WriteOwner);',
          '        QFile(path).open(QIODevice::NewOnly);'),
    Fault("An oversized desktop recent list is parsed whole", 'tst_sharedrecentfiles', 'listAndSettingsArePrivateAndOnlyInARegularFile', 'platform/core/SharedRecentFiles.cpp',
          ' || existing.size() > largestList))', '))'),
    Fault('A sync error is ignored, the save reported done', 'tst_fileio', 'failedSaveLeavesTheFileAsItWas', 'platform/core/FileWriting.cpp',
          '        retryOnInterrupt([&] { return ::fsync(descriptor); }) != 0)',
          '        (::fsync(descriptor), false))'),
    Fault('A failed write in place leaves the file torn', 'tst_fileio', 'failedSaveLeavesTheFileAsItWas', 'platform/core/FileWriting.cpp',
          '        if (!backup.writeBack(file.get())) {', '        if (true) {'),
    Fault("Clean-up removes a file of the user's that looks like a temporary", 'tst_fileio', 'killedSaveLeavesLitterThatOnlyTheNextSaveRemoves', 'platform/core/SaveJournal.cpp',
          'S_ISREG(status.st_mode) && status.st_dev == note.device && status.st_ino == note.inode)',
          'S_ISREG(status.st_mode))'),
    Fault('A new file is private (0600) whatever the umask', 'tst_fileio', 'newFileTakesTheUmask', 'platform/core/FileWriting.cpp',
          'const mode_t mode = isNew ? 0666 : 0600;', 'const mode_t mode = isNew ? 0600 : 0600;'),
    Fault('The next launch puts back a file whose save had finished', 'tst_fileio', 'killedSaveInPlaceIsSettledByTheNextLaunch', 'platform/core/SaveJournal.cpp',
          'now->hash == writing.newHash) ||', 'false) ||'),
    Fault('A torn file is left torn at the next launch', 'tst_fileio', 'killedSaveInPlaceIsSettledByTheNextLaunch', 'platform/core/SaveJournal.cpp',
          '                putBackFromCopy(save);', '                ;'),
    Fault('A file changed since a torn save is overwritten with the copy', 'tst_fileio', 'killedSaveInPlaceIsSettledByTheNextLaunch', 'platform/core/SaveJournal.cpp',
          '    return InterruptedSave{InterruptedSave::Finding::ChangedSince, file, copy, {}, std::move(note)};',
          '    InterruptedSave save{InterruptedSave::Finding::PutBack, file, copy, {}, std::move(note)};\n    putBackFromCopy(save);\n    return save;'),
    Fault('The copy goes although putting the file back failed', 'tst_fileio', 'killedSaveInPlaceIsSettledByTheNextLaunch', 'platform/core/SaveJournal.cpp',
          '                save.finding = InterruptedSave::Finding::CouldNotPutBack;',
          '                save.finding = InterruptedSave::Finding::CouldNotPutBack;\n                save.note.forget();'),
    Fault("A draft record's checksum is not checked", 'tst_drafts', 'readsBackWhatIsWholeAndNothingElse', 'platform/core/DraftFormat.cpp',
          'if (body.isEmpty() || checksum != contentHash(body))',
          'if (body.isEmpty() || checksum == 1)'),
    Fault("A draft's edit beyond the text is applied", 'tst_drafts', 'readsBackWhatIsWholeAndNothingElse', 'platform/core/DraftFormat.cpp',
          'if (position < 0 || position > text.size())', 'if (position < 0)'),
    Fault("A draft's text may grow past the limit", 'tst_drafts', 'readsBackWhatIsWholeAndNothingElse', 'platform/core/DraftFormat.cpp',
          'if (!fields.isComplete() || inserted.size() > largestText - text.size())',
          'if (!fields.isComplete() || largestText < 0)'),
    Fault('Edits that could not be written are dropped', 'tst_drafts', 'aFullFolderIsReportedAndNothingIsLost', 'platform/core/DraftWriter.cpp',
          '            return report(kept.path, error);\n        }\n        if (isNew',
          '            kept.unwritten.clear();\n            return report(kept.path, error);\n        }\n        if (isNew'),
    Fault('A draft a running editor holds is offered', 'tst_drafts', 'aDraftNobodyHoldsIsLeftAndALeftRestartGoes', 'platform/core/DraftFolder.cpp',
          '        ::flock(file.get(), LOCK_EX | LOCK_NB) != 0)', '        false)'),
    Fault('A draft started afresh by an ended editor stays as litter', 'tst_drafts', 'aDraftNobodyHoldsIsLeftAndALeftRestartGoes', 'platform/core/DraftFolder.cpp',
          '            if (openUnheld(path).isValid())\n                QFile::remove(path);', ''),
    Fault('A saved, reverted or undone document keeps its draft', 'tst_documentcontroller', 'draftFollowsTheDocumentsLife', 'platform/widgets/DraftKeeper.cpp',
          '    if (!edited)\n        discard();', '    Q_UNUSED(edited);'),
    Fault("Don't Save keeps the draft", 'tst_documentcontroller', 'draftFollowsTheDocumentsLife', 'platform/widgets/DocumentController.cpp',
          '        keeper->discard();', '        (void)keeper;'),
    Fault('A document gone with the program takes its draft with it', 'tst_documentcontroller', 'draftFollowsTheDocumentsLife', 'platform/widgets/DraftKeeper.cpp',
          '        m_writer.release(*m_draft);', '        m_writer.remove(*m_draft);'),
    Fault('Edits wait for an explicit write: a pause writes nothing', 'tst_documentcontroller', 'draftFollowsTheDocumentsLife', 'platform/widgets/DraftKeeper.cpp',
          '    m_write.start(int(std::clamp(longestWaitMilliseconds - waited, qint64(0), pauseMilliseconds)));',
          '    Q_UNUSED(waited);'),
    Fault('The recovery question does not say the file changed since', 'tst_documentcontroller', 'leftDraftIsOfferedWhenItsFileOpens', 'platform/widgets/Drafts.cpp',
          '        header.file != (version ? std::optional(version->bytes()) : std::nullopt);',
          '        header.file && version && false;'),
    Fault('A draft that holds what the file holds is offered', 'tst_documentcontroller', 'leftDraftIsOfferedWhenItsFileOpens', 'platform/widgets/Drafts.cpp',
          '    return file && file->text == *text;', '    return false;'),
    Fault('A damaged draft is recovered without a word', 'tst_documentcontroller', 'leftDraftIsOfferedWhenItsFileOpens', 'platform/widgets/Drafts.cpp',
          '    if (!found.contents.isWhole)', '    if (false)'),
    Fault('A state folder that cannot keep drafts is told at every write', 'tst_documentcontroller', 'stateFolderThatCannotKeepDraftsIsToldOnce', 'platform/widgets/Drafts.cpp',
          '    if (std::exchange(m_hasToldCannotBeKept, true))\n        return;', ''),
    Fault('Return types LF into a file of CR LF lines', 'tst_editorview', 'returnTypesTheLineEndingTheTextUses', 'platform/widgets/TextLoading.cpp',
          '    m_control.matchNewLinesTo(utf8);\n', ''),
    Fault('Undo takes back a whole paragraph', 'tst_editorview', 'undoTakesBackAWordOrALineEndingAtATime', 'platform/widgets/ScintillaControl.cpp',
          'if (kind != m_lastTypedKind || kind == 0 || now - m_lastTypedAt >= pause) {',
          'if (false) {'),
    Fault('Ctrl with a key types it', 'tst_editorview', 'keysWithCtrlOrAltNeverType', 'platform/widgets/ScintillaControl.cpp',
          '    QKeyEvent withoutText(event->type(), event->key(), event->modifiers(), QString(),',
          '    QKeyEvent withoutText(event->type(), event->key(), event->modifiers(), event->text(),'),
    Fault("A save goes ahead over another program's change", 'tst_documentcontroller', 'outsideChangeIsNeverOverwrittenSilently', 'platform/widgets/FileFollower.cpp',
          '    if (check.change == DiskChange::None)\n        return OutsideChangeChoice::SaveAnyway;',
          '    return OutsideChangeChoice::SaveAnyway;'),
    Fault('A rewrite of the same size with the time put back goes unseen', 'tst_diskversion', '', 'platform/core/FileStamp.cpp',
          '           !(changed == other.changed);', '           false;'),
    Fault('An edited document is reloaded over its changes', 'tst_documentcontroller', 'cleanDocumentFollowsItsFileAndEditedOneWaits', 'platform/widgets/FileFollower.cpp',
          '        if (!document->isEdited() && check.change == DiskChange::Changed)',
          '        if (check.change == DiskChange::Changed)'),
    Fault('A launch document the user typed into gives way to a file', 'tst_documentcontroller', 'launchDocumentGivesWayOnlyWhileUntouched', 'platform/widgets/Document.h',
          'return m_isTransient && !isEdited()', 'return m_isTransient'),
    Fault('Open Recent keeps more than the setting allows', 'tst_documentcontroller', 'recentDocumentsKeepFiveMostRecentExistingWithoutDuplicates', 'platform/core/RecentDocuments.cpp',
          '    while (list.size() > limit)\n', '    while (list.size() > limit && false)\n'),
    Fault('An empty match at the caret is found again and again', 'tst_finding', '', 'platform/core/Finding.cpp',
          'if (match && match->isEmpty() && match->start == selection.start)', 'if (false)'),
    Fault('Finding stops at the end of the text', 'tst_finding', '', 'platform/core/Finding.cpp',
          '    const std::optional<TextRange> wrapped = search.firstMatch(text, 0);',
          '    const std::optional<TextRange> wrapped;'),
    Fault('A plain search is read as a regular expression', 'tst_finding', '', 'platform/core/TextSearch.cpp',
          'escapedForPattern(utf8)', 'utf8 + escapedForPattern({})'),
    Fault('Replace All is one undo step per match', 'tst_findbar', '', 'platform/widgets/ScintillaControl.cpp',
          'void ScintillaControl::replaceRanges(const std::vector<Replacement> &replacements)\n{\n    SendScintilla(SCI_BEGINUNDOACTION);',
          'void ScintillaControl::replaceRanges(const std::vector<Replacement> &replacements)\n{'),
    Fault('An open panel that shows at launch stays', 'tst_appdelegate', '', 'scribbet/WindowPolicy.cpp',
          '            panel->close();', '            (void)panel;'),
    Fault('The saved window state stays for the next launch', 'tst_savedstate', '', 'scribbet/WindowPolicy.cpp',
          '    platform::removeItemBelow(', '    if (false) platform::removeItemBelow('),
    Fault('Offsets count bytes, not characters, for a screen reader', 'tst_accessibility', '', 'platform/widgets/EditorAccessible.cpp',
          '    if (bytes && isAscii(bytes, end - start))', '    if (bytes)'),
]

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def caught(fault):
    """Whether the test fails with the fault made; None when the fault does not compile."""
    build = subprocess.run(['cmake', '--build', '--preset', 'ci', '--target', fault.test,
                            'file_probe'], capture_output=True, cwd=ROOT)
    if build.returncode != 0:
        return None
    command = [os.path.join(ROOT, 'build/ci/tests', fault.test)] + \
        ([fault.function] if fault.function else [])
    environment = dict(os.environ, QT_QPA_PLATFORM='offscreen')
    try:
        run = subprocess.run(command, capture_output=True, timeout=240, env=environment)
    except subprocess.TimeoutExpired:
        return True
    return run.returncode != 0


def check(numbers):
    missed = 0
    for number, fault in enumerate(FAULTS, 1):
        if numbers and number not in numbers:
            continue
        path = os.path.join(ROOT, fault.path)
        with open(path, encoding='utf-8') as file:
            source = file.read()
        if source.count(fault.right) != 1:
            verdict = 'not made: the text it replaces is not in the source once'
        else:
            try:
                with open(path, 'w', encoding='utf-8') as file:
                    file.write(source.replace(fault.right, fault.wrong))
                verdict = {True: 'caught', False: 'MISSED', None: 'does not compile'}[caught(fault)]
            finally:
                with open(path, 'w', encoding='utf-8') as file:
                    file.write(source)
        missed += verdict != 'caught'
        print(f'{number:3} {verdict:8} {fault.what}', flush=True)
    subprocess.run(['cmake', '--build', '--preset', 'ci'], capture_output=True, cwd=ROOT)
    return missed


def write_list():
    lines = ['# The faults the tests catch', '',
             'Each row is a fault a careless change could make and the test that fails when it is',
             'made. `tests/check_faults.py` makes each one in the source, runs its test and puts the',
             'source back; this list is written by `tests/check_faults.py --list`.', '',
             '| | fault | caught by |', '|---|---|---|']
    for number, fault in enumerate(FAULTS, 1):
        test = fault.test + (f'::{fault.function}' if fault.function else '')
        lines.append(f'| {number} | {fault.what} | `{test}` |')
    with open(os.path.join(ROOT, 'tests/FAULTS.md'), 'w', encoding='utf-8') as file:
        file.write('\n'.join(lines) + '\n')


if __name__ == '__main__':
    if sys.argv[1:] == ['--list']:
        write_list()
        sys.exit(0)
    sys.exit(1 if check({int(argument) for argument in sys.argv[1:]}) else 0)
