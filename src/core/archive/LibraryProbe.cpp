#include "core/archive/LibraryProbe.h"

#include "core/archive/ArchiveHandle.h"
#include "core/archive/EventPump.h"
#include "core/archive/ResultMessages.h"
#include "core/archive/UnrarApi.h"

#include <unistd.h>

namespace {

// Why work in a bounded child let the archive down, or 0 when it returned.
qint32 failureCode(BoundedChild::Outcome outcome, qint32 failedCode)
{
    switch (outcome) {
    case BoundedChild::Outcome::Returned:
        return 0;
    case BoundedChild::Outcome::TimedOut:
        return ResultMessages::LibraryTimeout;
    case BoundedChild::Outcome::Failed:
        break;
    }
    return failedCode;
}

} // namespace

BoundedChild::Outcome LibraryProbe::runBounded(const std::function<void()>& work) const
{
    return BoundedChild::runInChild(work, m_limit, [] { EventPump::serve(); });
}

// Some damaged archives crash the library while it opens them (a RAR5 main
// header with a nameless metadata record, for one).
qint32 LibraryProbe::openFailure(const RAROpenArchiveData& data) const
{
    const auto outcome = runBounded([trial = data]() mutable {
        ArchiveHandle probe(RAROpenArchive(&trial));
        RARHeaderDataEx header{};
        if (probe && trial.OpenResult == ERAR_SUCCESS)
            RARReadHeaderEx(probe.get(), &header);
    });
    return failureCode(outcome, ResultMessages::LibraryFailure);
}

// libunrar 6.2.6 decrypts an entry whose header failed its check even when it
// refused that header's key settings, with a key schedule it never set up, and
// reads far out of bounds. The copy walks every header first: when one is
// damaged, or the walk crashes or hangs, nothing of the archive is decrypted.
qint32 LibraryProbe::decryptionRefusal(const QByteArray& archive, const QString& password)
{
    if (!m_headerWalk) {
        m_headerWalk = runBounded([name = archive, key = password.toUtf8()]() mutable {
            RAROpenArchiveData walk{};
            walk.ArcName = name.data();
            walk.OpenMode = RAR_OM_LIST;
            ArchiveHandle handle(RAROpenArchive(&walk));
            if (!handle || walk.OpenResult != ERAR_SUCCESS)
                return; // the run itself reports what keeps the archive from opening
            RARSetPassword(handle.get(), key.data());
            RARHeaderDataEx header{};
            int result;
            while ((result = RARReadHeaderEx(handle.get(), &header)) == ERAR_SUCCESS &&
                   RARProcessFile(handle.get(), RAR_SKIP, nullptr, nullptr) == ERAR_SUCCESS) {
            }
            // The library owns up to a damaged header only at the end of the archive.
            if (result == ERAR_BAD_DATA)
                ::_exit(1);
        });
    }
    return failureCode(*m_headerWalk, ResultMessages::DamagedEncryptedEntry);
}
