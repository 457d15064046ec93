// Measures what the UnRAR library does on its own with the crafted archives in
// tests/fixtures/hostile: it lists, tests and extracts every entry into a fresh
// folder and reports which paths each entry created, changed or removed, inside
// the destination and outside it. Not part of the build; the README there has
// the full set of commands (the *-preset-* archives need --preset, which puts a
// link of the user's own in the destination first) and describes the run:
//
//   g++ -std=c++20 -O1 -Wall -o measure-hostile tools/measure-hostile.cpp -lunrar
//   LANG=C.UTF-8 ./measure-hostile tests/fixtures/hostile/r5-dotdot-start.rar
//
// Each archive runs in a forked child with a time limit, so a crash or a hang is
// reported instead of ending the run.

#include <cerrno>
#include <chrono>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <cwchar>
#include <filesystem>
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

namespace fs = std::filesystem;

// Rebuilt for each archive as dest/, the destination given to the library, and
// outside/victim.txt, a file that must never change or be linked; the child works from it.
const std::string Root = "/tmp/zorvane-hostile-run";
// Compared before and after each archive, and their top level before and after each entry.
const std::vector<std::string> Watched{"/tmp", "/etc"};
constexpr size_t DetailedEntries = 20; // per-entry snapshots up to this many entries

std::vector<std::string> g_ignore;                          // path prefixes other processes change meanwhile
std::vector<std::pair<std::string, std::string>> g_presets; // link name in dest, target

const char* rarErrorName(int code)
{
    static const char* const names[] = {"END_ARCHIVE", "NO_MEMORY", "BAD_DATA",         "BAD_ARCHIVE", "UNKNOWN_FORMAT",
                                        "EOPEN",       "ECREATE",   "ECLOSE",           "EREAD",       "EWRITE",
                                        "SMALL_BUF",   "UNKNOWN",   "MISSING_PASSWORD", "EREFERENCE",  "BAD_PASSWORD"};
    if (code >= ERAR_END_ARCHIVE && code <= ERAR_BAD_PASSWORD)
        return names[code - ERAR_END_ARCHIVE];
    return code == ERAR_SUCCESS ? "SUCCESS" : "?";
}

std::string printed(const char* format, auto... values)
{
    char buf[64];
    snprintf(buf, sizeof buf, format, values...);
    return buf;
}

void encodeUtf8(std::string& out, char32_t c)
{
    const int tail = c < 0x80 ? 0 : c < 0x800 ? 1 : c < 0x10000 ? 2 : 3; // continuation bytes
    out += static_cast<char>((tail ? (0xff00 >> (tail + 1)) & 0xff : 0) | (c >> (6 * tail)));
    for (int k = tail - 1; k >= 0; --k)
        out += static_cast<char>(0x80 | ((c >> (6 * k)) & 0x3f));
}

// Code points that would garble or disguise a terminal line are shown escaped.
void appendCodePoint(std::string& out, char32_t c)
{
    if (c == '\\')
        out += "\\\\";
    else if (c < 0x20 || c == 0x7f || (c >= 0x80 && c <= 0x9f) || (c >= 0x200b && c <= 0x200f) ||
             (c >= 0x202a && c <= 0x202e) || (c >= 0x2066 && c <= 0x2069) || c == 0xfeff ||
             (c >= 0xe000 && c <= 0xf8ff) || c == 0xfffe || c == 0xffff)
        out += printed(c < 0x80 ? "\\x%02X" : "\\u{%04X}", static_cast<unsigned>(c));
    else
        encodeUtf8(out, c);
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
    for (size_t i = 0, len; i < s.size(); i += len) {
        const auto c0 = static_cast<unsigned char>(s[i]);
        len = c0 < 0x80 ? 1 : (c0 >> 5) == 6 ? 2 : (c0 >> 4) == 14 ? 3 : (c0 >> 3) == 30 ? 4 : 0;
        char32_t cp = len == 1 ? c0 : len == 2 ? (c0 & 0x1f) : len == 3 ? (c0 & 0x0f) : (c0 & 0x07);
        bool ok = len > 0 && i + len <= s.size();
        for (size_t k = 1; ok && k < len; ++k) {
            ok = (s[i + k] & 0xc0) == 0x80;
            cp = (cp << 6) | (s[i + k] & 0x3f);
        }
        ok = ok &&
             ((len == 1) || (len == 2 && cp >= 0x80) || (len == 3 && cp >= 0x800 && (cp < 0xd800 || cp > 0xdfff)) ||
              (len == 4 && cp >= 0x10000 && cp <= 0x10ffff));
        if (ok) {
            appendCodePoint(out, cp);
        } else {
            out += printed("\\x%02X", c0);
            len = 1;
        }
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
    for (const wchar_t* end = w + wcsnlen(w, capacity); w != end; ++w)
        encodeUtf8(out, static_cast<char32_t>(*w));
    return out;
}

// ------------------------------------------------------------ snapshots ----

struct Node
{
    char type = 's'; // f file, d folder, l link, c/b device, p fifo, s socket
    mode_t mode = 0;
    off_t size = 0;
    ino_t ino = 0;
    nlink_t nlink = 0;
    long long mtimeNs = 0;
    std::string linkTarget;
    unsigned long long hash = 0;
};

using Snapshot = std::map<std::string, Node>;

bool readNode(const std::string& path, Node& node)
{
    struct stat st
    {
    };
    if (lstat(path.c_str(), &st) != 0)
        return false;
    const mode_t kinds[] = {S_IFREG, S_IFDIR, S_IFLNK, S_IFCHR, S_IFBLK, S_IFIFO}; // "fdlcbp", sockets stay 's'
    for (int i = 0; i < 6; ++i)
        if ((st.st_mode & S_IFMT) == kinds[i])
            node.type = "fdlcbp"[i];
    node.mode = st.st_mode & 07777;
    node.size = node.type == 'd' ? 0 : st.st_size;
    node.ino = st.st_ino;
    node.nlink = st.st_nlink;
    node.mtimeNs = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000ll + st.st_mtim.tv_nsec;
    if (node.type == 'f' && st.st_size <= (1 << 20)) {
        std::ifstream in(path, std::ios::binary);
        node.hash = 1469598103934665603ull;
        for (char c; in.get(c);)
            node.hash = (node.hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    }
    if (node.type == 'l') {
        node.linkTarget.resize(8192);
        const ssize_t n = readlink(path.c_str(), node.linkTarget.data(), node.linkTarget.size());
        node.linkTarget.resize(n > 0 ? static_cast<size_t>(n) : 0);
    }
    return true;
}

// Walks without following links; the run's own root is left out of the watched folders.
void walk(const std::string& path, Snapshot& snap, int depth)
{
    for (const std::string& prefix : g_ignore)
        if (path.rfind(prefix, 0) == 0)
            return;
    Node node;
    if (!readNode(path, node))
        return;
    snap[path] = node;
    if (node.type != 'd' || depth == 0)
        return;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(path, error)) {
        const std::string child = (path == "/" ? "" : path) + "/" + entry.path().filename().string();
        if (child != Root)
            walk(child, snap, depth - 1);
    }
}

Snapshot snapshot(const std::vector<std::string>& tops, int depth = 1000)
{
    Snapshot snap;
    for (const std::string& top : tops)
        walk(top, snap, depth);
    return snap;
}

std::string describe(const Node& n)
{
    std::string s = std::string(1, n.type) + printed(" %04o", static_cast<unsigned>(n.mode));
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

std::vector<Change> compare(const Snapshot& before, const Snapshot& after, const std::string& strip = {})
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
    for (const auto& [path, node] : before)
        if (!after.contains(path))
            changes.push_back({path, "- " + shown(path) + "  [was " + describe(node) + "]"});
    return changes;
}

void printLines(const std::vector<Change>& lines, const char* indent, size_t limit = 40)
{
    for (size_t i = 0; i < lines.size() && i < limit; ++i)
        printf("%s%s\n", indent, lines[i].line.c_str());
    if (lines.size() > limit)
        printf("%s... and %zu more\n", indent, lines.size() - limit);
}

void printResults(const std::map<int, size_t>& counts)
{
    for (const auto& [code, count] : counts)
        printf(" %d (%s) x%zu", code, rarErrorName(code), count);
}

long long msSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
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

bool prepareRoot()
{
    std::error_code error;
    fs::remove_all(Root, error);
    if (mkdir(Root.c_str(), 0755) != 0 || mkdir((Root + "/dest").c_str(), 0755) != 0 ||
        mkdir((Root + "/outside").c_str(), 0755) != 0)
        return false;
    std::ofstream(Root + "/outside/victim.txt") << "victim\n";
    for (const auto& [name, target] : g_presets) {
        if (symlink(target.c_str(), (Root + "/dest/" + name).c_str()) != 0)
            return false;
        printf("  preset: dest/%s -> %s\n", name.c_str(), target.c_str());
    }
    return chdir(Root.c_str()) == 0;
}

HANDLE openArchive(std::string& archive, unsigned openMode, RAROpenArchiveDataEx& data)
{
    data.ArcName = archive.data();
    data.OpenMode = openMode;
    data.Callback = onLibraryEvent;
    return RAROpenArchiveEx(&data);
}

// A pass that writes nothing, as listing and testing do: the result of every
// header read and every RAR_SKIP or RAR_TEST call, counted.
void readOnlyPass(std::string archive, unsigned openMode, int operation, const char* label)
{
    RAROpenArchiveDataEx data{};
    HANDLE handle = openArchive(archive, openMode, data);
    printf("  %s pass: open %u (%s)", label, data.OpenResult, rarErrorName(static_cast<int>(data.OpenResult)));
    if (!handle) {
        printf(", no handle\n");
        return;
    }
    std::map<int, size_t> counts;
    size_t entries = 0;
    int readResult;
    for (RARHeaderDataEx hd{}; (readResult = RARReadHeaderEx(handle, &hd)) == ERAR_SUCCESS; hd = {}, ++entries)
        ++counts[RARProcessFile(handle, operation, nullptr, nullptr)];
    RARCloseArchive(handle);
    printf(", %zu headers, results:", entries);
    printResults(counts);
    printf(", last header read %d (%s)\n", readResult, rarErrorName(readResult));
}

int runArchive(std::string archive)
{
    alarm(60);
    if (!prepareRoot()) {
        printf("  cannot prepare %s: %s\n", Root.c_str(), strerror(errno));
        return 2;
    }
    const std::string strip = Root + "/";
    const Snapshot start = snapshot({Root});
    readOnlyPass(archive, RAR_OM_LIST, RAR_SKIP, "list (RAR_OM_LIST, RAR_SKIP)");
    readOnlyPass(archive, RAR_OM_EXTRACT, RAR_TEST, "test (RAR_OM_EXTRACT, RAR_TEST)");

    std::vector<char> comment(16384, 0); // the program's own comment buffer size
    RAROpenArchiveDataEx data{};
    data.CmtBuf = comment.data();
    data.CmtBufSize = static_cast<unsigned>(comment.size());
    HANDLE handle = openArchive(archive, RAR_OM_EXTRACT, data);
    printf("  open: result %u (%s), archive flags 0x%04X, comment state %u, comment size %u\n", data.OpenResult,
           rarErrorName(static_cast<int>(data.OpenResult)), data.Flags, data.CmtState, data.CmtSize);
    if (data.CmtState != 0) {
        const std::string text(comment.data(), strnlen(comment.data(), comment.size()));
        std::string tail;
        for (size_t i = text.size() > 4 ? text.size() - 4 : 0; i < text.size(); ++i)
            tail += printed(" %02X", static_cast<unsigned char>(text[i]));
        printf("  comment: %zu bytes in the buffer, starts with \"%s\", last bytes%s\n", text.size(),
               showBytes(text.substr(0, 60)).c_str(), tail.c_str());
    }
    if (!handle) {
        printf("  no handle\n");
        return 0;
    }

    std::vector<wchar_t> redir(4096, 0);
    std::string destination = Root + "/dest";
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
        const bool detailed = ++entries <= DetailedEntries;
        const std::string narrow(hd.FileName, strnlen(hd.FileName, sizeof hd.FileName));
        const size_t wideCapacity = sizeof hd.FileNameW / sizeof hd.FileNameW[0];
        if (detailed) {
            printf("  entry %zu: FileName \"%s\"\n", entries, showBytes(narrow).c_str());
            if (narrow != utf8(hd.FileNameW, wideCapacity))
                printf("           FileNameW \"%s\" (differs from FileName)\n",
                       showWide(hd.FileNameW, wideCapacity).c_str());
            printf("           Flags 0x%02X, UnpSize %u, UnpSizeHigh %u (%llu), PackSize %u, HostOS %u, "
                   "FileAttr 0%o, Method 0x%X\n",
                   hd.Flags, hd.UnpSize, hd.UnpSizeHigh,
                   (static_cast<unsigned long long>(hd.UnpSizeHigh) << 32) | hd.UnpSize, hd.PackSize, hd.HostOS,
                   hd.FileAttr, hd.Method);
            if (hd.RedirType != 0)
                printf("           RedirType %u, RedirName \"%s\", DirTarget %u\n", hd.RedirType,
                       showWide(redir.data(), redir.size()).c_str(), hd.DirTarget);
        }
        const Snapshot before = detailed ? snapshot({Root}) : Snapshot();
        const Snapshot watchBefore = detailed ? snapshot(Watched, 1) : Snapshot();
        g_dataBytes = 0;
        const auto t0 = std::chrono::steady_clock::now();
        const int result = RARProcessFile(handle, RAR_EXTRACT, destination.data(), nullptr);
        const long long ms = msSince(t0);
        ++resultCounts[result];
        if (!detailed) {
            if (result != ERAR_SUCCESS)
                printf("  entry %zu \"%s\": RARProcessFile %d (%s)\n", entries, showBytes(narrow).c_str(), result,
                       rarErrorName(result));
            continue;
        }
        printf("           RARProcessFile(RAR_EXTRACT) = %d (%s), %llu data bytes passed, %lld ms\n", result,
               rarErrorName(result), g_dataBytes, ms);
        const auto changes = compare(before, snapshot({Root}), strip);
        const auto outside = compare(watchBefore, snapshot(Watched, 1));
        if (changes.empty() && outside.empty())
            printf("           nothing created or changed\n");
        printLines(changes, "           ");
        for (const Change& change : outside)
            printf("           OUTSIDE THE RUN FOLDER: %s\n", change.line.c_str());
    }
    RARCloseArchive(handle);

    printf("  entries: %zu; RARProcessFile results:", entries);
    printResults(resultCounts);
    printf("\n");
    size_t inDest = 0;
    std::vector<Change> notInDest;
    for (const Change& change : compare(start, snapshot({Root}), strip)) {
        if (change.path.rfind(strip + "dest/", 0) == 0)
            ++inDest;
        else if (change.path == destination)
            printf("  the destination folder itself: %s\n", change.line.c_str());
        else
            notInDest.push_back(change);
    }
    printf("  whole run: %zu paths created/changed/removed under dest/, %zu elsewhere in the run folder\n", inDest,
           notInDest.size());
    // Entries that clean down to an empty name land on the destination folder
    // itself, so its mode and time are worth a look.
    struct stat st
    {
    };
    if (lstat(destination.c_str(), &st) == 0) {
        char when[32];
        strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S UTC", gmtime(&st.st_mtime));
        printf("  dest itself now: mode %04o, mtime %s\n", static_cast<unsigned>(st.st_mode & 07777), when);
    }
    printLines(notInDest, "    ESCAPED: ");
    return 0;
}

} // namespace

// ---------------------------------------------------------- the parent ----

int main(int argc, char** argv)
{
    // Like the program (Qt sets it up at start), so names convert through UTF-8.
    setlocale(LC_ALL, "");
    const auto usage = [] {
        fputs("usage: measure-hostile [--ignore PREFIX]... [--preset NAME=TARGET]... ARCHIVE...\n", stderr);
        return 2;
    };
    std::vector<std::string> archives;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const std::string value = arg.starts_with("--") && i + 1 < argc ? argv[++i] : "";
        if (arg == "--ignore")
            g_ignore.push_back(value);
        else if (arg == "--preset" && value.find('=') != std::string::npos)
            g_presets.emplace_back(value.substr(0, value.find('=')), value.substr(value.find('=') + 1));
        else if (arg.starts_with("-"))
            return usage();
        else
            archives.push_back(arg);
    }
    if (archives.empty())
        return usage();
    if (g_ignore.empty())
        g_ignore = {"/tmp/bash_jobs.", "/tmp/bash_tool_"};
    setvbuf(stdout, nullptr, _IOLBF, 0);
    printf("libunrar DLL version %d; running as uid %u; locale %s\n", RARGetDllVersion(), getuid(),
           setlocale(LC_CTYPE, nullptr));
    int failures = 0;
    for (const std::string& archive : archives) {
        printf("\n== %s\n", archive.c_str());
        const Snapshot watchBefore = snapshot(Watched);
        const auto t0 = std::chrono::steady_clock::now();
        const pid_t child = fork();
        if (child == 0)
            _exit(runArchive(fs::absolute(archive)));
        int status = 0;
        waitpid(child, &status, 0);
        if (WIFEXITED(status)) {
            printf("  child exited %d after %lld ms\n", WEXITSTATUS(status), msSince(t0));
        } else if (WIFSIGNALED(status)) {
            const int sig = WTERMSIG(status);
            printf("  CHILD %s after %lld ms (signal %d, %s)\n",
                   sig == SIGALRM ? "HUNG: killed by the time limit" : "CRASHED", msSince(t0), sig, strsignal(sig));
            ++failures;
        }
        const auto outside = compare(watchBefore, snapshot(Watched));
        // Every name a crafted entry could write outside starts with zh- or
        // zorvane-hostile, so those lines tell escapes from other processes' work.
        size_t named = 0;
        for (const Change& change : outside)
            named += change.path.find("/zh-") != std::string::npos ||
                     change.path.find("zorvane-hostile") != std::string::npos;
        printf("  outside the run folder (%zu watched paths): %s\n", watchBefore.size(),
               outside.empty() ? "no change"
               : named         ? "CHANGED, paths with crafted names among them"
                               : "changed, none with a crafted name (other processes)");
        printLines(outside, "    ");
    }
    return failures == 0 ? 0 : 1;
}
