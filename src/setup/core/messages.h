#pragma once

// The installer's own message texts (plain boxes titled messageTitle).
#include <string>

namespace setup::core {

class FileError;

inline const char *const messageTitle = "Error!";

std::string cdInfMissingText(const std::string &infPath);
std::string cdInfUnreadableText(const FileError &error);
std::string sectionMissingText(const std::string &infPath, const std::string &marker);
// A cd.inf value that would lead out of its folder; `marker` names the section.
std::string unsafeSectionText(
    const std::string &infPath, const std::string &marker, const std::string &value);
std::string sourceMissingText(const std::string &sourceFolder);
std::string sourceOutsideText(const std::string &sourceFolder, const std::string &cdFolder);
std::string copyFailedText(const FileError &error);
std::string programMissingText(const std::string &program);
std::string markerFailedText(const FileError &error);
// A failed installation: what went wrong, what was done about the files
// copied so far, and how to go on.
std::string installFailedText(const std::string &problem, const std::string &leftover);
std::string removedFolderText(const std::string &folder);
std::string keptFolderText(const std::string &folder);
std::string notRemovedText(const std::string &folder);
// The installation is complete but its Run File did not start.
std::string startFailedText(const std::string &program);

} // namespace setup::core
