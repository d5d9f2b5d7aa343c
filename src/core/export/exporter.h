#pragma once

#include <QString>
#include <QtGlobal>

namespace zorvel {

class FileSystem;
class ExportProgress;

// The export behind "خروجي". Command10_Click makes ExBox and idir absolute
// (absoluteFieldPath), runs SaveThings, then shows
//   runExport(fso, programFolder, idir, ExBox, Pcheck == 1).messageCode()
// through bepayam; the export folder and build folder checks (26, 10) are
// made here, before anything else.

// How an export ended; the window shows messageCode() of it.
enum class ExportOutcome {
    ExportFolderMissing, // 26, nothing done
    BuildFolderMissing, // 10, nothing done
    ScriptMissing, // 27, no output folder made
    Failed, // 28, what was made stays
    Done, // 29
};

qint16 messageCode(ExportOutcome outcome);

// The books of the rows not made yet, one picker entry a line, and whether
// to export all the same.
QString unfinishedBooksQuestion(const QStringList &entries);
// The same list as a warning of the command-line export.
QString unfinishedBooksWarning(const QStringList &entries);

struct ExportResult {
    ExportOutcome outcome = ExportOutcome::Failed;
    // The finished "Export n"; after a failure empty, or the incomplete
    // folder when it could not be removed.
    QString outputFolder;
    QString problem; // what failed, for a Failed outcome
    int printablePages = 0;
    int readerBooks = 0; // books in the reader's data

    qint16 messageCode() const { return zorvel::messageCode(outcome); }
};

// The export behind "خروجي" (ExportAll), with the folders already made
// absolute: reads programFolder/Resources/Export.inf, makes the first free
// "Export n" in exportFolder, builds it as "Export n (incomplete)" and renames
// it only when everything is done: runs the script and, when `print` is set, writes
// the printable pages of the output's Data/BookTXT through
// Resources/Default.html, and last the reader's data (Data/reader/data).
// A failure removes the incomplete folder. Each file is a step of `progress`,
// which may stop the export (a failure). Never throws.
ExportResult runExport(const FileSystem &fs, const QString &programFolder,
    const QString &buildFolder, const QString &exportFolder, bool print,
    ExportProgress *progress = nullptr);

} // namespace zorvel
