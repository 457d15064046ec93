#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <vector>

class ArchiveHandle;
struct RARHeaderDataEx;

// The header of the entry the library read last, with room for the target of
// a link or copy. The library's fixed-size fields make it large, so it lives
// on the heap and is read into again for every entry.
class EntryHeader
{
public:
    EntryHeader();
    ~EntryHeader();

    // Reads the next entry's header and returns the library's result. Fields
    // a failed read leaves alone keep their last values unless cleared first.
    int read(ArchiveHandle& archive);
    void clear();

    const RARHeaderDataEx& fields() const { return *m_fields; }
    // The stored name's own bytes, which need not be valid UTF-8.
    QByteArray storedName() const;
    // The name shown and reported for the entry: where the library writes it.
    QString name() const;
    // The volume the header was read from.
    QString volumeName() const;
    // The entry's data goes on from the previous volume.
    bool continuesFromPrevious() const;
    bool isEncrypted() const;
    double unpackedSize() const;
    QByteArray redirTarget() const;

private:
    std::unique_ptr<RARHeaderDataEx> m_fields;
    std::vector<wchar_t> m_redirTarget;
};
