#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace zorvel {

class FileSystem;
class ExportProgress;

// Resources/Export.inf: three sections that say how the output folder of an
// export is laid out. Each section is its header line, its entry lines and
// one empty line; it ends at the next "[".
inline constexpr char16_t kMakeFolderHeader[] = u"[ Make Folder ]";
inline constexpr char16_t kCopyFolderHeader[] = u"[ Copy Folder ]";
inline constexpr char16_t kCopyFileHeader[] = u"[ Copy File ]";

// The entry lines of the three sections, not yet split at "=>".
struct ExportScript {
    QStringList makeFolders;
    QStringList copyFolders;
    QStringList copyFiles;
};

// The entry lines of one section: from the header up to the character before
// the next "[", split at CR LF, without the header line and without the last
// line. nullopt when the header or the "[" after it is missing.
std::optional<QStringList> sectionEntries(const QString &script, const QString &header);

// Cuts out the three sections. Bare LF line ends are read as CR LF. nullopt
// (and `problem` set) when a section cannot be cut out.
std::optional<ExportScript> parseExportScript(const QString &text, QString *problem = nullptr);

// A copy entry split at its first "=>", both sides trimmed of spaces.
struct CopyEntry {
    QString source;
    QString target;
};
std::optional<CopyEntry> splitCopyEntry(const QString &line);

// An entry path with "\" or "/" as separators, in the form Qt takes.
QString scriptPath(const QString &entry);

// A Copy File target without the "root" that stands for the output folder:
// only a leading one, alone or before a separator, goes ("root\Data\myroot"
// is Data\myroot). Anything else comes back unchanged.
QString withoutRoot(const QString &target);

// Why an entry path would lead out of the folder it is joined to: "..", an
// absolute path, a drive letter or a leading separator; empty when it stays
// inside.
QString pathLeavesFolder(const QString &entry);

// Checks every entry before anything is made: Make Folder entries and every
// target stay inside the output folder, Copy Folder sources inside the build
// folder, Copy File sources inside Resources. The problem names the first
// entry that does not; nullopt when all are fine. Entries without "=>" are
// left to the run, which fails on them.
std::optional<QString> checkExportScript(const ExportScript &script);

// The name an output folder has while it is being built.
QString incompleteName(const QString &outputFolder);

// The first free folder "Export n" (n = 1, 2, ...) of the export folder. An
// "Export n (incomplete)" left by an earlier failure keeps its number taken.
QString nextOutputFolder(const FileSystem &fs, const QString &exportFolder);

// Carries out the script into the existing output folder: Make Folder, then
// Copy Folder (files directly inside build/source into a new output/target),
// then Copy File (Resources/file into output + target without "root").
// Throws FsError at the first failing step; what was done stays.
// Each file copied is a step of `progress` (when given).
void runExportScript(const FileSystem &fs, const ExportScript &script, const QString &programFolder,
    const QString &buildFolder, const QString &outputFolder, ExportProgress *progress = nullptr);

// How many files runExportScript would copy, for a progress display.
int countScriptFiles(const FileSystem &fs, const ExportScript &script, const QString &buildFolder);

} // namespace zorvel
