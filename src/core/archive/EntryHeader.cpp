#include "core/archive/EntryHeader.h"

#include "core/archive/ArchiveHandle.h"
#include "core/archive/EntryPath.h"
#include "core/archive/UnrarApi.h"

#include <cstring>
#include <cwchar>

namespace {

// Link and copy targets, in wide characters.
constexpr unsigned RedirBufferSize = 4096;

// A fixed-size narrow field's own bytes up to its first NUL: a stored name
// need not be valid UTF-8.
template <size_t N> QByteArray fieldBytes(const char (&field)[N])
{
    return QByteArray(field, static_cast<qsizetype>(strnlen(field, N)));
}

} // namespace

EntryHeader::EntryHeader()
    : m_fields(std::make_unique<RARHeaderDataEx>())
    , m_redirTarget(RedirBufferSize, L'\0')
{}

EntryHeader::~EntryHeader() = default;

int EntryHeader::read(ArchiveHandle& archive)
{
    m_fields->RedirName = m_redirTarget.data();
    m_fields->RedirNameSize = RedirBufferSize;
    return RARReadHeaderEx(archive.get(), m_fields.get());
}

void EntryHeader::clear()
{
    std::memset(m_fields.get(), 0, sizeof(RARHeaderDataEx));
}

QByteArray EntryHeader::storedName() const
{
    return fieldBytes(m_fields->FileName);
}

QString EntryHeader::name() const
{
    const QByteArray stored = storedName();
    const QByteArray cleaned = EntryPath::cleanedName(stored);
    return QString::fromUtf8(cleaned.isEmpty() ? stored : cleaned);
}

QString EntryHeader::volumeName() const
{
    return QString::fromUtf8(fieldBytes(m_fields->ArcName));
}

bool EntryHeader::continuesFromPrevious() const
{
    return (m_fields->Flags & RHDF_SPLITBEFORE) != 0;
}

bool EntryHeader::isEncrypted() const
{
    return (m_fields->Flags & RHDF_ENCRYPTED) != 0;
}

// The library gives 64-bit sizes as two unsigned halves.
double EntryHeader::unpackedSize() const
{
    return static_cast<double>(m_fields->UnpSizeHigh) * 4294967296.0 + static_cast<double>(m_fields->UnpSize);
}

QByteArray EntryHeader::redirTarget() const
{
    const size_t length = wcsnlen(m_redirTarget.data(), RedirBufferSize);
    return QString::fromWCharArray(m_redirTarget.data(), static_cast<qsizetype>(length)).toUtf8();
}
