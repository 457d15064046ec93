#pragma once

#include "core/archive/ExtractFolder.h"

#include <QByteArray>

// Where an archive entry lands below the extract folder, and whether it may be
// written there. The UnRAR library cleans stored names before it writes them
// ("../../x" becomes "x"); every check the program makes (the existing file,
// the overwrite question, links on the way) must look at that same place, in
// the name's own bytes, which need not be valid UTF-8.
namespace EntryPath {

// The library's redirection kinds (RARHeaderDataEx::RedirType).
enum RedirKind : unsigned
{
    RedirNone = 0,
    RedirUnixSymlink = 1,
    RedirWindowsSymlink = 2,
    RedirJunction = 3,
    RedirHardLink = 4,
    RedirFileCopy = 5
};

enum class Verdict
{
    Safe,
    // It would leave the folder, land on the folder itself, or go through a
    // symbolic link that is already there.
    Unsafe,
    // The library would cut it, so the written name cannot be known.
    TooLong
};

// The library's narrow name field holds 1,023 bytes; a name that fills it was cut.
inline constexpr qsizetype NameFieldLimit = 1023;
// The library cuts the whole path, extract folder included, at this length.
inline constexpr qsizetype PathLimit = 2047;
// One name in a path, as Linux file systems allow it.
inline constexpr qsizetype ComponentLimit = 255;

// The stored name as the library cleans it: no leading "/", "//server/share/",
// "./" or "../"; nothing up to the last "/../"; "." and ".." alone are empty.
QByteArray cleanedName(const QByteArray& stored);

struct Check
{
    Verdict verdict = Verdict::Safe;
    // What is at the entry's place now, when the name got that far.
    ExtractFolder::Place place = ExtractFolder::Place::Missing;
};

// Whether an entry stored as stored may be written below the folder, and
// what is there already.
Check check(const ExtractFolder& folder, const QByteArray& stored);

// True when path, resolved through every link on its way (missing parts
// taken as they are written), stays within folder.
bool resolvesInside(const QByteArray& folder, const QByteArray& path);

// For a hard link or file copy: its cleaned target below the folder must be a
// regular file reached without links.
bool targetUsable(const ExtractFolder& folder, const QByteArray& storedTarget);

// Why an entry must not reach the library, or 0 (a code of ResultMessages).
// The library would write through links already in the folder, make links and
// copies that reach out of it through them, and give an empty name the folder
// itself, permissions and all.
qint32 refusal(const ExtractFolder& folder, Verdict verdict, unsigned redirKind, const QByteArray& redirTarget);

// The library reports success for links it declined to make; a symbolic link
// it made at target must not lead out of the folder, not even through another
// link (such a link is removed again).
bool linkMadeSafely(unsigned redirKind, const QByteArray& folder, const QByteArray& target);

// An overwrite never writes through what is at path: a symbolic link goes
// itself, and a file with other names is replaced by a fresh one, or the
// library would change what they lead to as well.
void makeRoomFor(const QByteArray& path, ExtractFolder::Place place);

} // namespace EntryPath
