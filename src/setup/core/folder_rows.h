#pragma once

#include <string>
#include <vector>

namespace setup::core {

// One row of the folder list: the open folder's ancestors from the root
// down, the open folder itself, then its subfolders one level deeper.
struct FolderRow {
    std::string path; // this system's form
    std::string label; // the folder's own name, or the root as written
    int depth = 0;
    bool open = false; // an ancestor or the open folder itself
};

// Rows for the open folder `path`; subfolders are listed from the disk
// (hidden ones left out), sorted by name without regard to case.
std::vector<FolderRow> folderRows(const std::string &path);

} // namespace setup::core
