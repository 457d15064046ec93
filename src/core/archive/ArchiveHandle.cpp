#include "core/archive/ArchiveHandle.h"

#include "core/archive/UnrarApi.h"

void ArchiveHandle::Closer::operator()(void* handle) const
{
    RARCloseArchive(handle);
}

bool ArchiveHandle::close()
{
    void* handle = m_handle.release();
    return !handle || RARCloseArchive(handle) == ERAR_SUCCESS;
}
