// A lowered file-size limit for one test scope: writes beyond it fail as on a full disk.
#pragma once

#include <sys/resource.h>

namespace corvelle::testing {

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_previous);
        rlimit lowered = m_previous;
        lowered.rlim_cur = bytes;
        m_active = ::setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &m_previous); }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    [[nodiscard]] bool active() const { return m_active; }

private:
    rlimit m_previous{};
    bool m_active = false;
};

}  // namespace corvelle::testing
