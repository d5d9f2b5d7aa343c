#pragma once

// The file operations of the installer, on std::filesystem. Paths are UTF-8
// strings in this system's own form.
#include <filesystem>
#include <stdexcept>
#include <string>

namespace setup::core {

// A file operation that failed: which path and why, ready for a message box.
class FileError : public std::runtime_error {
public:
    FileError(std::string path, std::string reason);
    const std::string &path() const { return m_path; }
    const std::string &reason() const { return m_reason; }
    std::string describe() const; // "reason:\npath"

private:
    std::string m_path;
    std::string m_reason;
};

std::filesystem::path toPath(const std::string &utf8);
std::string fromPath(const std::filesystem::path &path);

// A plain file (not a folder) at `path`, links followed.
bool fileExists(const std::string &path);
bool folderExists(const std::string &path);

// The whole file; throws FileError.
std::string readFile(const std::string &path);
// Replaces the file as a whole through a file beside it that is renamed
// over it when complete; a failed write leaves the earlier file. Throws
// FileError.
void writeFile(const std::string &path, const std::string &bytes);

// Makes `folder` with its missing parents; throws FileError.
void makeFolders(const std::string &folder);

// Removes `path` with everything in it; false when something stayed.
bool removeAll(const std::string &path);

// `path` made absolute and cleaned of "." and "..", without touching the disk.
std::string cleanAbsolute(const std::string &path);
// `path` with its links resolved; empty when it does not exist.
std::string canonical(const std::string &path);

// True when `inner` is `outer` or lies somewhere inside it (both cleaned;
// without regard to case on Windows).
bool isSameOrInside(const std::string &inner, const std::string &outer);

// The outermost folder of `folder` and its parents that does not exist yet;
// empty when `folder` exists.
std::string firstMissingFolder(const std::string &folder);

// One file, replacing `target` whole and checked: every write, the flush and
// the size against the source's, so a full disk never leaves a short file.
// The copy is writable by its owner even when the original (on a CD) is not.
void copyFile(const std::string &source, const std::string &target);

// The files and subfolders of `source` into `target`, which is made with any
// missing parents; files already there are replaced. Links to folders are not
// followed (one could lead back into the source). Throws FileError at the
// first failure.
void copyFolder(const std::string &source, const std::string &target);

} // namespace setup::core
