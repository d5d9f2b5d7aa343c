#include "files.h"

#include "text.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <random>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace setup::core {

FileError::FileError(std::string path, std::string reason)
    : std::runtime_error(reason + ": " + path)
    , m_path(std::move(path))
    , m_reason(std::move(reason))
{
}

std::string FileError::describe() const
{
    return m_reason + ":\n" + m_path;
}

fs::path toPath(const std::string &utf8)
{
#ifdef _WIN32
    const std::u16string wide = toUtf16(utf8);
    return fs::path(std::wstring(wide.begin(), wide.end()));
#else
    return fs::path(utf8);
#endif
}

std::string fromPath(const fs::path &path)
{
#ifdef _WIN32
    const std::wstring wide = path.wstring();
    return fromUtf16(std::u16string(wide.begin(), wide.end()));
#else
    return path.string();
#endif
}

bool fileExists(const std::string &path)
{
    std::error_code error;
    return !path.empty() && fs::is_regular_file(toPath(path), error);
}

bool folderExists(const std::string &path)
{
    std::error_code error;
    return !path.empty() && fs::is_directory(toPath(path), error);
}

static std::string reasonOf(int number, const char *otherwise)
{
    if (number == 0)
        return otherwise;
    return std::generic_category().message(number);
}

std::string readFile(const std::string &path)
{
    errno = 0;
    std::ifstream in(toPath(path), std::ios::binary);
    if (!in)
        throw FileError(path, "Cannot read the file (" + reasonOf(errno, "cannot open it") + ")");
    std::string bytes;
    char chunk[1 << 16];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0)
        bytes.append(chunk, std::size_t(in.gcount()));
    if (in.bad())
        throw FileError(path, "Cannot read the file (" + reasonOf(errno, "read error") + ")");
    return bytes;
}

// A name beside `target` for the file being written.
static fs::path partPath(const fs::path &target)
{
    static std::mt19937 random { std::random_device {}() };
    fs::path part = target;
    part += ".part-" + std::to_string(random() % 1000000);
    return part;
}

namespace {

// Writes a new file through a part file renamed over the target at the end.
class WholeWriter {
public:
    WholeWriter(std::string target)
        : m_target(std::move(target))
        , m_part(partPath(toPath(m_target)))
    {
        errno = 0;
        m_out.open(m_part, std::ios::binary | std::ios::trunc);
        if (!m_out)
            fail(reasonOf(errno, "cannot create it"));
    }
    ~WholeWriter()
    {
        if (!m_done) {
            m_out.close();
            std::error_code ignored;
            fs::remove(m_part, ignored);
        }
    }
    void write(const char *bytes, std::size_t size)
    {
        errno = 0;
        m_out.write(bytes, std::streamsize(size));
        if (!m_out)
            fail(reasonOf(errno, "the disk may be full"));
        m_written += size;
    }
    void commit(std::uintmax_t expected)
    {
        errno = 0;
        m_out.flush();
        if (!m_out)
            fail(reasonOf(errno, "the disk may be full"));
        m_out.close();
        if (m_out.fail())
            fail(reasonOf(errno, "the disk may be full"));
        std::error_code error;
        const std::uintmax_t size = fs::file_size(m_part, error);
        if (error || size != expected)
            fail(std::to_string(error ? 0 : size) + " of " + std::to_string(expected)
                + " bytes written, the disk may be full");
        fs::rename(m_part, toPath(m_target), error);
        if (error)
            fail(error.message());
        m_done = true;
    }
    const fs::path &part() const { return m_part; }

private:
    [[noreturn]] void fail(const std::string &why)
    {
        throw FileError(m_target, "Cannot write the file (" + why + ")");
    }

    std::string m_target;
    fs::path m_part;
    std::ofstream m_out;
    std::uintmax_t m_written = 0;
    bool m_done = false;
};

} // namespace

void writeFile(const std::string &path, const std::string &bytes)
{
    std::error_code error;
    if (fs::is_directory(toPath(path), error))
        throw FileError(path, "A folder stands where the file should go");
    WholeWriter out(path);
    out.write(bytes.data(), bytes.size());
    out.commit(bytes.size());
}

void makeFolders(const std::string &folder)
{
    std::error_code error;
    const fs::path path = toPath(folder);
    if (fs::is_directory(path, error))
        return;
    fs::create_directories(path, error);
    if (error || !fs::is_directory(path))
        throw FileError(folder, "Cannot create the folder");
}

bool removeAll(const std::string &path)
{
    std::error_code error;
    fs::remove_all(toPath(path), error);
    return !error && !fs::exists(fs::symlink_status(toPath(path), error));
}

std::string cleanAbsolute(const std::string &path)
{
    std::error_code error;
    fs::path absolute = fs::absolute(toPath(path), error);
    if (error)
        absolute = toPath(path);
    absolute = absolute.lexically_normal();
    // "a/b/" cleans to "a/b/" (an empty last part): no trailing separator.
    if (!absolute.has_filename() && absolute.has_parent_path() && absolute != absolute.root_path())
        absolute = absolute.parent_path();
    return fromPath(absolute);
}

std::string canonical(const std::string &path)
{
    std::error_code error;
    const fs::path resolved = fs::canonical(toPath(path), error);
    return error ? std::string() : fromPath(resolved);
}

static std::vector<std::string> partsOf(const std::string &path)
{
    std::vector<std::string> parts;
    for (const fs::path &part : toPath(cleanAbsolute(path))) {
        std::string text = fromPath(part);
        if (text.empty())
            continue;
#ifdef _WIN32
        text = toLowerAscii(text);
        if (text == "\\" || text == "/")
            text = "\\";
#endif
        parts.push_back(text);
    }
    return parts;
}

bool isSameOrInside(const std::string &inner, const std::string &outer)
{
    const std::vector<std::string> in = partsOf(inner);
    const std::vector<std::string> out = partsOf(outer);
    if (out.size() > in.size())
        return false;
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (in[i] != out[i])
            return false;
    }
    return true;
}

std::string firstMissingFolder(const std::string &folder)
{
    fs::path path = toPath(cleanAbsolute(folder));
    std::string missing;
    for (;;) {
        std::error_code error;
        // A broken link is there, and not ours to remove.
        if (fs::exists(fs::symlink_status(path, error)))
            break;
        missing = fromPath(path);
        const fs::path parent = path.parent_path();
        if (parent == path || parent.empty())
            break;
        path = parent;
    }
    return missing;
}

void copyFile(const std::string &source, const std::string &target)
{
    errno = 0;
    std::ifstream in(toPath(source), std::ios::binary);
    if (!in)
        throw FileError(source, "Cannot read the file (" + reasonOf(errno, "cannot open it") + ")");
    std::error_code error;
    if (fs::is_directory(toPath(target), error))
        throw FileError(target, "A folder stands where the file should go");
    const std::uintmax_t expected = fs::file_size(toPath(source), error);
    if (error)
        throw FileError(source, "Cannot read the file (" + error.message() + ")");
    WholeWriter out(target);
    std::vector<char> chunk(1 << 20);
    std::uintmax_t copied = 0;
    for (;;) {
        errno = 0;
        in.read(chunk.data(), std::streamsize(chunk.size()));
        const std::size_t got = std::size_t(in.gcount());
        if (got == 0) {
            if (in.bad())
                throw FileError(
                    source, "Cannot read the file (" + reasonOf(errno, "read error") + ")");
            break;
        }
        out.write(chunk.data(), got);
        copied += got;
    }
    if (copied != expected)
        throw FileError(source,
            "Cannot read the file (" + std::to_string(copied) + " of " + std::to_string(expected)
                + " bytes read)");
    out.commit(expected);
    const fs::perms original = fs::status(toPath(source), error).permissions();
    if (!error)
        fs::permissions(
            toPath(target), original | fs::perms::owner_read | fs::perms::owner_write, error);
}

static void copyInto(const fs::path &source, const fs::path &target)
{
    makeFolders(fromPath(target));
    std::error_code error;
    fs::directory_iterator it(source, error);
    if (error)
        throw FileError(fromPath(source), "Cannot read the folder");
    std::vector<fs::directory_entry> entries;
    for (const fs::directory_entry &entry : it)
        entries.push_back(entry);
    std::sort(entries.begin(), entries.end(),
        [](const fs::directory_entry &a, const fs::directory_entry &b) {
            return a.path().filename() < b.path().filename();
        });
    for (const fs::directory_entry &entry : entries) {
        const fs::path to = target / entry.path().filename();
        if (entry.is_directory(error)) {
            if (!entry.is_symlink(error))
                copyInto(entry.path(), to);
        } else {
            copyFile(fromPath(entry.path()), fromPath(to));
        }
    }
}

void copyFolder(const std::string &source, const std::string &target)
{
    if (!folderExists(source))
        throw FileError(source, "The folder does not exist");
    if (isSameOrInside(target, source))
        throw FileError(target, "The installation folder lies inside the folder being installed");
    copyInto(toPath(source), toPath(target));
}

} // namespace setup::core
