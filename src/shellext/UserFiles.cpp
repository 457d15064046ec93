#include "shellext/UserFiles.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace UserFiles {

namespace {

std::string home()
{
    const char* variable = std::getenv("HOME");
    if (variable && *variable)
        return variable;
    const passwd* entry = getpwuid(getuid());
    return entry && entry->pw_dir ? entry->pw_dir : "/";
}

std::string xdgFolder(const char* variable, const char* fallbackBelowHome)
{
    const char* value = std::getenv(variable);
    if (value && value[0] == '/')
        return value;
    return home() + fallbackBelowHome;
}

std::string parentOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string(".") : slash == 0 ? std::string("/") : path.substr(0, slash);
}

// Missing folders get 0700, as the XDG base directory rules ask.
bool makeFolders(const std::string& folder)
{
    struct stat info
    {
    };
    if (::stat(folder.c_str(), &info) == 0)
        return S_ISDIR(info.st_mode);
    const std::string parent = parentOf(folder);
    if (parent != folder && !makeFolders(parent))
        return false;
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

bool writeAll(int fd, const std::string& data)
{
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

std::string dataHome()
{
    return xdgFolder("XDG_DATA_HOME", "/.local/share");
}

std::string configHome()
{
    return xdgFolder("XDG_CONFIG_HOME", "/.config");
}

std::optional<std::string> readFile(const std::string& path, std::size_t limit)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    std::string content;
    char buffer[4096];
    while (content.size() < limit && file.read(buffer, sizeof buffer).gcount() > 0)
        content.append(buffer, static_cast<std::size_t>(file.gcount()));
    if (file.bad())
        return std::nullopt;
    return content.substr(0, limit);
}

bool exists(const std::string& path)
{
    struct stat info
    {
    };
    return ::lstat(path.c_str(), &info) == 0;
}

bool writeFileAtomically(const std::string& path, const std::string& data, mode_t mode)
{
    const std::string folder = parentOf(path);
    if (!makeFolders(folder))
        return false;
    std::string temp = folder + "/.zorvane-XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool written = ::fchmod(fd, mode) == 0 && writeAll(fd, data) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

bool removeFile(const std::string& path)
{
    return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

std::vector<std::string> regularFiles(const std::string& folder)
{
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir)) {
        struct stat info
        {
        };
        const std::string name = entry->d_name;
        if (::lstat((folder + "/" + name).c_str(), &info) == 0 && S_ISREG(info.st_mode))
            names.push_back(name);
    }
    ::closedir(dir);
    return names;
}

mode_t modeOf(const std::string& path, mode_t fallback)
{
    struct stat info
    {
    };
    return ::stat(path.c_str(), &info) == 0 ? (info.st_mode & 07777) : fallback;
}

} // namespace UserFiles
