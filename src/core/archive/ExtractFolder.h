#pragma once

#include <QByteArray>

// The folder one archive is extracted into, held open while its entries are
// checked. Each check then walks only the entry's own path below it: one call
// into the kernel per entry, which the folder's own links never disturb (the
// folder is the user's choice, reached however the user reached it).
class ExtractFolder
{
public:
    // What lies at a path below the folder now.
    enum class Place
    {
        Missing,
        Folder,
        File,  // a regular file
        Other, // a device, pipe or socket
        Link,  // a symbolic link at the place itself, reached without links
        // A symbolic link is on the way to the place.
        ThroughLink
    };

    explicit ExtractFolder(const QByteArray& path);
    ~ExtractFolder();
    ExtractFolder(const ExtractFolder&) = delete;
    ExtractFolder& operator=(const ExtractFolder&) = delete;

    // Makes the folder at path unless it is there; one level only, so a missing
    // parent is reported, not invented. Whether the folder is there now.
    static bool makeOneLevel(const QByteArray& path);
    // Makes the folder and every missing folder above it, for a target the
    // user named on the command line. Whether the folder is there now.
    static bool makeAllLevels(const QByteArray& path);

    const QByteArray& path() const { return m_path; }
    bool isOpen() const { return m_fd >= 0; }
    // relative has no "." or ".." parts and no leading "/".
    Place probe(const QByteArray& relative) const;

private:
    Place probeByLevels(const QByteArray& relative) const;

    QByteArray m_path;
    int m_fd = -1;
};
