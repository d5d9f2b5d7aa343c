#include "folder_rows.h"

#include "files.h"
#include "text.h"

#include <algorithm>
#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace setup::core {

static bool hidden(const fs::path &path)
{
    const std::string name = fromPath(path.filename());
    if (!name.empty() && name[0] == '.')
        return true;
#ifdef _WIN32
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES
        && (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
#else
    return false;
#endif
}

std::vector<FolderRow> folderRows(const std::string &path)
{
    std::vector<FolderRow> rows;
    const fs::path open = toPath(cleanAbsolute(path));

    std::vector<fs::path> chain;
    for (fs::path at = open;; at = at.parent_path()) {
        chain.insert(chain.begin(), at);
        if (at.parent_path() == at || at.parent_path().empty())
            break;
    }
    for (std::size_t i = 0; i < chain.size(); ++i) {
        FolderRow row;
        row.path = fromPath(chain[i].make_preferred());
        const std::string name = fromPath(chain[i].filename());
        row.label = name.empty() ? row.path : name;
        row.depth = int(i);
        row.open = true;
        rows.push_back(row);
    }

    std::vector<std::string> subfolders;
    std::error_code error;
    for (fs::directory_iterator it(open, fs::directory_options::skip_permission_denied, error), end;
         !error && it != end; it.increment(error)) {
        std::error_code kind;
        if (it->is_directory(kind) && !hidden(it->path()))
            subfolders.push_back(fromPath(it->path().filename()));
    }
    std::sort(subfolders.begin(), subfolders.end(), [](const std::string &a, const std::string &b) {
        return toLowerAscii(a) < toLowerAscii(b);
    });
    for (const std::string &name : subfolders) {
        FolderRow row;
        row.path = fromPath((open / toPath(name)).make_preferred());
        row.label = name;
        row.depth = int(chain.size());
        rows.push_back(row);
    }
    return rows;
}

} // namespace setup::core
