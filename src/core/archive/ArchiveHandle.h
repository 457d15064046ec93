#pragma once

#include <memory>

// Owns one open archive of the UnRAR library and closes it when it goes away.
class ArchiveHandle
{
public:
    ArchiveHandle() = default;
    explicit ArchiveHandle(void* handle)
        : m_handle(handle)
    {}

    void* get() const { return m_handle.get(); }
    explicit operator bool() const { return m_handle != nullptr; }
    // Closes the archive now; true when there was none or it closed cleanly.
    bool close();

private:
    struct Closer
    {
        void operator()(void* handle) const;
    };
    std::unique_ptr<void, Closer> m_handle;
};
