// Measures what the UnRAR library does on its own with crafted archives: for
// each archive it lists every header and extracts every entry into a fresh
// folder, and reports which paths each entry created, changed or removed,
// inside the destination and outside it. Not part of the build:
//
//   g++ -std=c++20 -O1 -Wall -o measure-hostile tests/tools/measure-hostile.cpp -lunrar
//   LANG=C.UTF-8 ./measure-hostile tests/fixtures/hostile/r5-dotdot-start.rar
//
// The *-preset-* archives are meant to run with --preset, which puts a link of
// the user's own in the destination first; tests/fixtures/hostile/README.md has
// the full set of commands.
//
// Each archive runs in a child process with a time limit, so a crash or a hang
// is reported instead of ending the run. The child rebuilds <root> (default
// /tmp/zorvane-hostile-run) as
//   <root>/dest/                 the destination folder given to the library
//   <root>/outside/victim.txt    a file that must never change or be linked
// and works with <root> as its current folder. Besides <root>, the folders named
// with --watch (default /tmp and /etc) are compared before and after each
// archive, and their top level before and after each entry.

#include <cerrno>
#include <chrono>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <cwchar>
#include <dirent.h>
#include <fstream>
#include <map>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// The library's header picks its Unix definitions of HANDLE, UINT and the like
// from _UNIX.
#define _UNIX
#include <unrar/dll.hpp>

namespace {

struct Options
{
    std::string root = "/tmp/zorvane-hostile-run";
    unsigned timeout = 60;
    std::vector<std::string> watch;
    std::vector<std::string> ignore;                          // path prefixes other processes change meanwhile
    std::vector<std::pair<std::string, std::string>> presets; // link name in dest, target
    size_t detailedEntries = 20;                              // per-entry snapshots up to this many entries
    std::vector<std::string> archives;
};

const char* rarErrorName(int code)
{
    switch (code) {
    case ERAR_SUCCESS:
        return "SUCCESS";
    case ERAR_END_ARCHIVE:
        return "END_ARCHIVE";
    case ERAR_NO_MEMORY:
        return "NO_MEMORY";
    case ERAR_BAD_DATA:
        return "BAD_DATA";
    case ERAR_BAD_ARCHIVE:
        return "BAD_ARCHIVE";
    case ERAR_UNKNOWN_FORMAT:
        return "UNKNOWN_FORMAT";
    case ERAR_EOPEN:
        return "EOPEN";
    case ERAR_ECREATE:
        return "ECREATE";
    case ERAR_ECLOSE:
        return "ECLOSE";
    case ERAR_EREAD:
        return "EREAD";
    case ERAR_EWRITE:
        return "EWRITE";
    case ERAR_SMALL_BUF:
        return "SMALL_BUF";
    case ERAR_UNKNOWN:
        return "UNKNOWN";
    case ERAR_MISSING_PASSWORD:
        return "MISSING_PASSWORD";
    case ERAR_EREFERENCE:
        return "EREFERENCE";
    case ERAR_BAD_PASSWORD:
        return "BAD_PASSWORD";
    default:
        return "?";
    }
}

// Code points that would garble or disguise a terminal line are shown escaped.
bool needsEscape(char32_t c)
{
    return c < 0x20 || c == 0x7f || (c >= 0x80 && c <= 0x9f) || (c >= 0x200b && c <= 0x200f) ||
           (c >= 0x202a && c <= 0x202e) || (c >= 0x2066 && c <= 0x2069) || c == 0xfeff ||
           (c >= 0xe000 && c <= 0xf8ff) || c == 0xfffe || c == 0xffff || c == '\\';
}

void encodeUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xc0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3f));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xe0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3f));
        out += static_cast<char>(0x80 | (c & 0x3f));
    } else {
        out += static_cast<char>(0xf0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3f));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3f));
        out += static_cast<char>(0x80 | (c & 0x3f));
    }
}

void appendCodePoint(std::string& out, char32_t c)
{
    char buf[16];
    if (c == '\\') {
        out += "\\\\";
    } else if (needsEscape(c)) {
        snprintf(buf, sizeof buf, c < 0x80 ? "\\x%02X" : "\\u{%04X}", static_cast<unsigned>(c));
        out += buf;
    } else {
        encodeUtf8(out, c);
    }
}

// Long names are cut in the middle, with their length in bytes.
std::string shorten(const std::string& shown, size_t bytes)
{
    if (shown.size() <= 160)
        return shown;
    return "<" + std::to_string(bytes) + " bytes: " + shown.substr(0, 60) + " ... " + shown.substr(shown.size() - 60) +
           ">";
}

// Bytes shown as strict UTF-8 (shortest forms only); anything else as \xNN.
std::string showBytes(const std::string& s)
{
    std::string out;
    size_t i = 0;
    while (i < s.size()) {
        const auto c0 = static_cast<unsigned char>(s[i]);
        size_t len = c0 < 0x80 ? 1 : (c0 >> 5) == 6 ? 2 : (c0 >> 4) == 14 ? 3 : (c0 >> 3) == 30 ? 4 : 0;
        char32_t cp = len == 1 ? c0 : len == 2 ? (c0 & 0x1f) : len == 3 ? (c0 & 0x0f) : (c0 & 0x07);
        bool ok = len > 0 && i + len <= s.size();
        for (size_t k = 1; ok && k < len; ++k) {
            const auto ck = static_cast<unsigned char>(s[i + k]);
            ok = (ck & 0xc0) == 0x80;
            cp = (cp << 6) | (ck & 0x3f);
        }
        if (ok)
            ok = (len == 1) || (len == 2 && cp >= 0x80) || (len == 3 && cp >= 0x800 && (cp < 0xd800 || cp > 0xdfff)) ||
                 (len == 4 && cp >= 0x10000 && cp <= 0x10ffff);
        if (!ok) {
            char buf[8];
            snprintf(buf, sizeof buf, "\\x%02X", c0);
            out += buf;
            ++i;
            continue;
        }
        appendCodePoint(out, cp);
        i += len;
    }
    return shorten(out, s.size());
}

// Wide fields are read up to their size only: a full one has no NUL.
std::string showWide(const wchar_t* w, size_t capacity)
{
    std::string out;
    const size_t n = wcsnlen(w, capacity);
    for (size_t i = 0; i < n; ++i)
        appendCodePoint(out, static_cast<char32_t>(w[i]));
    return shorten(out, n) + (n > 160 ? " (" + std::to_string(n) + " chars)" : "") +
           (n == capacity ? " (fills the field, no terminating NUL)" : "");
}

std::string utf8(const wchar_t* w, size_t capacity)
{
    std::string out;
    for (const wchar_t* end = w + wcsnlen(w, capacity); w != end; ++w) {
        encodeUtf8(out, static_cast<char32_t>(*w));
    }
    return out;
}

// ------------------------------------------------------------ snapshots ----

struct Node
{
    char type = '?'; // f file, d folder, l link, c/b device, p fifo, s socket
    mode_t mode = 0;
    off_t size = 0;
    ino_t ino = 0;
    nlink_t nlink = 0;
    long long mtimeNs = 0;
    std::string linkTarget;
    unsigned long long hash = 0;
};

using Snapshot = std::map<std::string, Node>;

unsigned long long hashFile(const std::string& path, off_t size)
{
    if (size > (1 << 20))
        return 0;
    std::ifstream in(path, std::ios::binary);
    unsigned long long h = 1469598103934665603ull;
    char c;
    while (in.get(c))
        h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return h;
}

bool readNode(const std::string& path, Node& node)
{
    struct stat st
    {
    };
    if (lstat(path.c_str(), &st) != 0)
        return false;
    node.mode = st.st_mode & 07777;
    node.size = st.st_size;
    node.ino = st.st_ino;
    node.nlink = st.st_nlink;
    node.mtimeNs = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000ll + st.st_mtim.tv_nsec;
    if (S_ISREG(st.st_mode)) {
        node.type = 'f';
        node.hash = hashFile(path, st.st_size);
    } else if (S_ISDIR(st.st_mode)) {
        node.type = 'd';
        node.size = 0;
    } else if (S_ISLNK(st.st_mode)) {
        node.type = 'l';
        std::vector<char> buf(8192);
        const ssize_t n = readlink(path.c_str(), buf.data(), buf.size());
        if (n > 0)
            node.linkTarget.assign(buf.data(), static_cast<size_t>(n));
    } else if (S_ISCHR(st.st_mode)) {
        node.type = 'c';
    } else if (S_ISBLK(st.st_mode)) {
        node.type = 'b';
    } else if (S_ISFIFO(st.st_mode)) {
        node.type = 'p';
    } else {
        node.type = 's';
    }
    return true;
}

std::vector<std::string> g_ignore;

bool ignored(const std::string& path)
{
    for (const std::string& prefix : g_ignore)
        if (path.rfind(prefix, 0) == 0)
            return true;
    return false;
}

// Walks without following links; `skip` is left out (the run's own root).
void walk(const std::string& path, const std::string& skip, Snapshot& snap, int depth)
{
    if (ignored(path))
        return;
    Node node;
    if (!readNode(path, node))
        return;
    snap[path] = node;
    if (node.type != 'd' || depth == 0)
        return;
    DIR* dir = opendir(path.c_str());
    if (!dir)
        return;
    std::vector<std::string> names;
    while (dirent* e = readdir(dir)) {
        if (strcmp(e->d_name, ".") != 0 && strcmp(e->d_name, "..") != 0)
            names.emplace_back(e->d_name);
    }
    closedir(dir);
    for (const std::string& name : names) {
        const std::string child = path == "/" ? "/" + name : path + "/" + name;
        if (child != skip)
            walk(child, skip, snap, depth - 1);
    }
}

Snapshot snapshot(const std::vector<std::string>& tops, const std::string& skip, int depth)
{
    Snapshot snap;
    for (const std::string& top : tops)
        walk(top, skip, snap, depth);
    return snap;
}

std::string describe(const Node& n)
{
    std::string s(1, n.type);
    char buf[64];
    snprintf(buf, sizeof buf, " %04o", static_cast<unsigned>(n.mode));
    s += buf;
    if (n.type == 'f')
        s += " " + std::to_string(n.size) + " bytes" + (n.nlink > 1 ? ", " + std::to_string(n.nlink) + " links" : "");
    if (n.type == 'l')
        s += " -> " + showBytes(n.linkTarget);
    return s;
}

// One line per created (+), removed (-) or changed (~) path. A folder whose
// only change is its time or link count (a child came or went) is not listed.
struct Change
{
    std::string path;
    std::string line;
};

std::vector<Change> compare(const Snapshot& before, const Snapshot& after, const std::string& strip)
{
    std::vector<Change> changes;
    auto shown = [&](const std::string& p) {
        return showBytes(!strip.empty() && p.rfind(strip, 0) == 0 ? p.substr(strip.size()) : p);
    };
    for (const auto& [path, node] : after) {
        auto it = before.find(path);
        if (it == before.end()) {
            changes.push_back({path, "+ " + shown(path) + "  [" + describe(node) + "]"});
            continue;
        }
        const Node& old = it->second;
        std::string what;
        if (old.type != node.type)
            what += " type";
        if (old.ino != node.ino)
            what += " inode(replaced)";
        if (old.mode != node.mode)
            what += " mode";
        if (old.type == 'f' && node.type == 'f') {
            if (old.size != node.size || old.hash != node.hash)
                what += " content";
            else if (old.mtimeNs != node.mtimeNs)
                what += " mtime";
            if (old.nlink != node.nlink)
                what += " links(" + std::to_string(old.nlink) + "->" + std::to_string(node.nlink) + ")";
        }
        if (old.linkTarget != node.linkTarget)
            what += " target";
        if (!what.empty())
            changes.push_back({path, "~ " + shown(path) + "  [" + describe(node) + "] changed:" + what});
    }
    for (const auto& [path, node] : before) {
        if (after.find(path) == after.end())
            changes.push_back({path, "- " + shown(path) + "  [was " + describe(node) + "]"});
    }
    return changes;
}

void printLines(const std::vector<Change>& lines, const char* indent, size_t limit)
{
    for (size_t i = 0; i < lines.size() && i < limit; ++i)
        printf("%s%s\n", indent, lines[i].line.c_str());
    if (lines.size() > limit)
        printf("%s... and %zu more\n", indent, lines.size() - limit);
}

// ---------------------------------------------------------- the child ----

unsigned long long g_dataBytes = 0;

int CALLBACK onLibraryEvent(UINT msg, LPARAM, LPARAM p1, LPARAM p2)
{
    switch (msg) {
    case UCM_PROCESSDATA:
        g_dataBytes += static_cast<unsigned long long>(p2);
        return 1;
    case UCM_CHANGEVOLUME:
        printf("    callback: change volume to %s (%s) -> answered abort\n",
               showBytes(reinterpret_cast<const char*>(p1)).c_str(), p2 == RAR_VOL_ASK ? "missing" : "notify");
        return p2 == RAR_VOL_ASK ? -1 : 1;
    case UCM_CHANGEVOLUMEW:
        return p2 == RAR_VOL_ASK ? -1 : 1;
    case UCM_NEEDPASSWORD:
    case UCM_NEEDPASSWORDW:
        printf("    callback: password asked -> answered abort\n");
        return -1;
    default:
        return 0;
    }
}

void removeTree(const std::string& path)
{
    struct stat st
    {
    };
    if (lstat(path.c_str(), &st) != 0)
        return;
    if (S_ISDIR(st.st_mode)) {
        if (DIR* dir = opendir(path.c_str())) {
            std::vector<std::string> names;
            while (dirent* e = readdir(dir))
                if (strcmp(e->d_name, ".") != 0 && strcmp(e->d_name, "..") != 0)
                    names.emplace_back(e->d_name);
            closedir(dir);
            for (const std::string& n : names)
                removeTree(path + "/" + n);
        }
        rmdir(path.c_str());
    } else {
        unlink(path.c_str());
    }
}

bool prepareRoot(const Options& opt)
{
    removeTree(opt.root);
    if (mkdir(opt.root.c_str(), 0755) != 0 || mkdir((opt.root + "/dest").c_str(), 0755) != 0 ||
        mkdir((opt.root + "/outside").c_str(), 0755) != 0)
        return false;
    std::ofstream(opt.root + "/outside/victim.txt") << "victim\n";
    for (const auto& [name, target] : opt.presets) {
        if (symlink(target.c_str(), (opt.root + "/dest/" + name).c_str()) != 0)
            return false;
        printf("  preset: dest/%s -> %s\n", name.c_str(), target.c_str());
    }
    return chdir(opt.root.c_str()) == 0;
}

// A pass that writes nothing, as listing and testing do: the result of every
// header read and every RAR_SKIP or RAR_TEST call, counted.
void readOnlyPass(const std::string& archive, unsigned openMode, int operation, const char* label)
{
    std::string arcName = archive;
    RAROpenArchiveDataEx data{};
    data.ArcName = arcName.data();
    data.OpenMode = openMode;
    data.Callback = onLibraryEvent;
    HANDLE handle = RAROpenArchiveEx(&data);
    printf("  %s pass: open %u (%s)", label, data.OpenResult, rarErrorName(static_cast<int>(data.OpenResult)));
    if (!handle) {
        printf(", no handle\n");
        return;
    }
    std::map<int, size_t> counts;
    size_t entries = 0;
    int readResult;
    for (;;) {
        RARHeaderDataEx hd{};
        readResult = RARReadHeaderEx(handle, &hd);
        if (readResult != ERAR_SUCCESS)
            break;
        ++entries;
        ++counts[RARProcessFile(handle, operation, nullptr, nullptr)];
    }
    RARCloseArchive(handle);
    printf(", %zu headers, results:", entries);
    for (const auto& [code, count] : counts)
        printf(" %d (%s) x%zu", code, rarErrorName(code), count);
    printf(", last header read %d (%s)\n", readResult, rarErrorName(readResult));
}

int runArchive(const Options& opt, const std::string& archive)
{
    alarm(opt.timeout);
    if (!prepareRoot(opt)) {
        printf("  cannot prepare %s: %s\n", opt.root.c_str(), strerror(errno));
        return 2;
    }
    const std::vector<std::string> rootOnly{opt.root};
    const std::string strip = opt.root + "/";
    const Snapshot start = snapshot(rootOnly, std::string(), 1000);
    readOnlyPass(archive, RAR_OM_LIST, RAR_SKIP, "list (RAR_OM_LIST, RAR_SKIP)");
    readOnlyPass(archive, RAR_OM_EXTRACT, RAR_TEST, "test (RAR_OM_EXTRACT, RAR_TEST)");

    std::string arcName = archive;
    std::vector<char> comment(16384, 0); // the program's own comment buffer size
    RAROpenArchiveDataEx data{};
    data.ArcName = arcName.data();
    data.OpenMode = RAR_OM_EXTRACT;
    data.CmtBuf = comment.data();
    data.CmtBufSize = static_cast<unsigned>(comment.size());
    data.Callback = onLibraryEvent;
    HANDLE handle = RAROpenArchiveEx(&data);
    printf("  open: result %u (%s), archive flags 0x%04X, comment state %u, comment size %u\n", data.OpenResult,
           rarErrorName(static_cast<int>(data.OpenResult)), data.Flags, data.CmtState, data.CmtSize);
    if (data.CmtState != 0) {
        const std::string text(comment.data(), strnlen(comment.data(), comment.size()));
        std::string tail;
        for (size_t i = text.size() > 4 ? text.size() - 4 : 0; i < text.size(); ++i) {
            char hex[4];
            snprintf(hex, sizeof hex, " %02X", static_cast<unsigned char>(text[i]));
            tail += hex;
        }
        printf("  comment: %zu bytes in the buffer, starts with \"%s\", last bytes%s\n", text.size(),
               showBytes(text.substr(0, 60)).c_str(), tail.c_str());
    }
    if (!handle) {
        printf("  no handle\n");
        return 0;
    }

    std::vector<wchar_t> redir(4096, 0);
    std::string destination = opt.root + "/dest";
    std::map<int, size_t> resultCounts;
    size_t entries = 0;
    for (;;) {
        RARHeaderDataEx hd{};
        hd.RedirName = redir.data();
        hd.RedirNameSize = static_cast<unsigned>(redir.size());
        redir[0] = 0;
        const int readResult = RARReadHeaderEx(handle, &hd);
        if (readResult != ERAR_SUCCESS) {
            printf("  header read: %d (%s)%s\n", readResult, rarErrorName(readResult),
                   readResult == ERAR_END_ARCHIVE ? "" : " <- stops here");
            break;
        }
        ++entries;
        const bool detailed = entries <= opt.detailedEntries;
        const std::string narrow(hd.FileName, strnlen(hd.FileName, sizeof hd.FileName));
        if (detailed) {
            printf("  entry %zu: FileName \"%s\"\n", entries, showBytes(narrow).c_str());
            const size_t wideCapacity = sizeof hd.FileNameW / sizeof hd.FileNameW[0];
            if (narrow != utf8(hd.FileNameW, wideCapacity))
                printf("           FileNameW \"%s\" (differs from FileName)\n",
                       showWide(hd.FileNameW, wideCapacity).c_str());
            printf("           Flags 0x%02X, UnpSize %u, UnpSizeHigh %u (%llu), PackSize %u, HostOS %u, FileAttr 0%o, "
                   "Method 0x%X\n",
                   hd.Flags, hd.UnpSize, hd.UnpSizeHigh,
                   (static_cast<unsigned long long>(hd.UnpSizeHigh) << 32) | hd.UnpSize, hd.PackSize, hd.HostOS,
                   hd.FileAttr, hd.Method);
            if (hd.RedirType != 0)
                printf("           RedirType %u, RedirName \"%s\", DirTarget %u\n", hd.RedirType,
                       showWide(redir.data(), redir.size()).c_str(), hd.DirTarget);
        }
        const Snapshot before = detailed ? snapshot(rootOnly, std::string(), 1000) : Snapshot();
        const Snapshot watchBefore = detailed ? snapshot(opt.watch, opt.root, 1) : Snapshot();
        g_dataBytes = 0;
        const auto t0 = std::chrono::steady_clock::now();
        const int result = RARProcessFile(handle, RAR_EXTRACT, destination.data(), nullptr);
        const auto ms =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0).count();
        ++resultCounts[result];
        if (!detailed) {
            if (result != ERAR_SUCCESS)
                printf("  entry %zu \"%s\": RARProcessFile %d (%s)\n", entries, showBytes(narrow).c_str(), result,
                       rarErrorName(result));
            continue;
        }
        printf("           RARProcessFile(RAR_EXTRACT) = %d (%s), %llu data bytes passed, %lld ms\n", result,
               rarErrorName(result), g_dataBytes, static_cast<long long>(ms));
        const auto changes = compare(before, snapshot(rootOnly, std::string(), 1000), strip);
        const auto outside = compare(watchBefore, snapshot(opt.watch, opt.root, 1), std::string());
        if (changes.empty() && outside.empty())
            printf("           nothing created or changed\n");
        printLines(changes, "           ", 40);
        for (const Change& change : outside)
            printf("           OUTSIDE THE RUN FOLDER: %s\n", change.line.c_str());
        fflush(stdout);
    }
    RARCloseArchive(handle);

    printf("  entries: %zu; RARProcessFile results:", entries);
    for (const auto& [code, count] : resultCounts)
        printf(" %d (%s) x%zu", code, rarErrorName(code), count);
    printf("\n");
    const auto all = compare(start, snapshot(rootOnly, std::string(), 1000), strip);
    size_t inDest = 0;
    std::vector<Change> notInDest;
    for (const Change& change : all) {
        if (change.path.rfind(strip + "dest/", 0) == 0)
            ++inDest;
        else if (change.path == destination)
            printf("  the destination folder itself: %s\n", change.line.c_str());
        else
            notInDest.push_back(change);
    }
    printf("  whole run: %zu paths created/changed/removed under dest/, %zu elsewhere in the run folder\n", inDest,
           notInDest.size());
    // The destination folder itself: entries that clean down to an empty name
    // land on it, so its mode and time are worth a look.
    struct stat st
    {
    };
    if (lstat(destination.c_str(), &st) == 0) {
        char when[32];
        strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S UTC", gmtime(&st.st_mtime));
        printf("  dest itself now: mode %04o, mtime %s\n", static_cast<unsigned>(st.st_mode & 07777), when);
    }
    printLines(notInDest, "    ESCAPED: ", 40);
    return 0;
}

// --------------------------------------------------------- the parent ----

void usage()
{
    fprintf(stderr,
            "usage: measure-hostile [--root DIR] [--timeout SECONDS] [--watch DIR]... [--preset NAME=TARGET]...\n"
            "                       [--ignore PREFIX]... [--detailed N] ARCHIVE...\n");
}

bool parse(int argc, char** argv, Options& opt)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::string { return i + 1 < argc ? argv[++i] : std::string(); };
        if (arg == "--root") {
            opt.root = value();
        } else if (arg == "--timeout") {
            opt.timeout = static_cast<unsigned>(std::stoul(value()));
        } else if (arg == "--watch") {
            opt.watch.push_back(value());
        } else if (arg == "--ignore") {
            opt.ignore.push_back(value());
        } else if (arg == "--detailed") {
            opt.detailedEntries = std::stoul(value());
        } else if (arg == "--preset") {
            const std::string v = value();
            const auto eq = v.find('=');
            if (eq == std::string::npos)
                return false;
            opt.presets.emplace_back(v.substr(0, eq), v.substr(eq + 1));
        } else if (!arg.empty() && arg[0] == '-') {
            return false;
        } else {
            opt.archives.push_back(arg);
        }
    }
    if (opt.watch.empty())
        opt.watch = {"/tmp", "/etc"};
    if (opt.ignore.empty())
        opt.ignore = {"/tmp/bash_jobs.", "/tmp/bash_tool_"};
    return !opt.archives.empty() && opt.root.size() > 1 && opt.root[0] == '/';
}

std::string absolutePath(const std::string& path)
{
    if (!path.empty() && path[0] == '/')
        return path;
    char cwd[4096];
    return std::string(getcwd(cwd, sizeof cwd) ? cwd : ".") + "/" + path;
}

} // namespace

int main(int argc, char** argv)
{
    // Like the program (Qt sets it up at start), so names convert through UTF-8.
    setlocale(LC_ALL, "");
    Options opt;
    if (!parse(argc, argv, opt)) {
        usage();
        return 2;
    }
    g_ignore = opt.ignore;
    setvbuf(stdout, nullptr, _IOLBF, 0);
    printf("libunrar DLL version %d; running as uid %u; locale %s\n", RARGetDllVersion(), getuid(),
           setlocale(LC_CTYPE, nullptr));
    int failures = 0;
    for (const std::string& archive : opt.archives) {
        const std::string path = absolutePath(archive);
        printf("\n== %s\n", archive.c_str());
        const Snapshot watchBefore = snapshot(opt.watch, opt.root, 1000);
        const auto t0 = std::chrono::steady_clock::now();
        const pid_t child = fork();
        if (child == 0)
            _exit(runArchive(opt, path));
        int status = 0;
        waitpid(child, &status, 0);
        const auto ms =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0).count();
        if (WIFEXITED(status)) {
            printf("  child exited %d after %lld ms\n", WEXITSTATUS(status), static_cast<long long>(ms));
        } else if (WIFSIGNALED(status)) {
            const int sig = WTERMSIG(status);
            printf("  CHILD %s after %lld ms (signal %d, %s)\n",
                   sig == SIGALRM ? "HUNG: killed by the time limit" : "CRASHED", static_cast<long long>(ms), sig,
                   strsignal(sig));
            ++failures;
        }
        const auto outside = compare(watchBefore, snapshot(opt.watch, opt.root, 1000), std::string());
        // Every name a crafted entry could write outside starts with zh- or
        // zorvane-hostile, so those lines tell escapes from other processes' work.
        size_t named = 0;
        for (const Change& change : outside)
            if (change.path.find("/zh-") != std::string::npos ||
                change.path.find("zorvane-hostile") != std::string::npos)
                ++named;
        printf("  outside the run folder (%zu watched paths): %s\n", watchBefore.size(),
               outside.empty() ? "no change"
               : named         ? "CHANGED, paths with crafted names among them"
                               : "changed, none with a crafted name (other processes)");
        printLines(outside, "    ", 40);
    }
    return failures == 0 ? 0 : 1;
}
