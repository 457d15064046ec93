#pragma once

#include "core/util/BoundedChild.h"

#include <QByteArray>
#include <QString>
#include <chrono>
#include <functional>
#include <optional>

struct RAROpenArchiveData;

// Asks the UnRAR library what could crash or hang it, in a copy of the program
// bounded in time, so a hostile archive costs a line in the log, not the
// program. The window is served while the copy works.
class LibraryProbe
{
public:
    // How long the copy may take before the archive counts as unreadable.
    void setLimit(std::chrono::milliseconds limit) { m_limit = limit; }

    // The open error that says why opening (and reading the first header)
    // failed in the copy, or 0.
    qint32 openFailure(const RAROpenArchiveData& data) const;

    // Why the encrypted entries of the archive must not be decrypted, or 0.
    // The answer is worked out once per archive: forget() before the next.
    qint32 decryptionRefusal(const QByteArray& archive, const QString& password);
    void forget() { m_headerWalk.reset(); }

private:
    BoundedChild::Outcome runBounded(const std::function<void()>& work) const;

    std::chrono::milliseconds m_limit = std::chrono::seconds(20);
    std::optional<BoundedChild::Outcome> m_headerWalk;
};
