#pragma once
#include <csignal>
#include <sys/resource.h>

// While it lives, no file this process writes grows past the given size: a disk that fills
// half-way through, as the writer sees it (a failed write, not a signal).
class FullDisk {
public:
    explicit FullDisk(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit small = m_old;
        small.rlim_cur = bytes;
        m_active = setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~FullDisk() { setrlimit(RLIMIT_FSIZE, &m_old); }
    FullDisk(const FullDisk &) = delete;
    FullDisk &operator=(const FullDisk &) = delete;
    bool active() const { return m_active; }

private:
    rlimit m_old{};
    bool m_active = false;
};
