#pragma once

#include <csignal>
#include <sys/resource.h>

// Caps the size any file of this process may grow to, as a full disk would: writes
// beyond it fail (EFBIG) for every user, root included, so a test needs no rights
// and no file system of its own.
class DiskFullAfter {
public:
    explicit DiskFullAfter(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        savedSignal_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = saved_;
        limited.rlim_cur = bytes;
        active_ = ::setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~DiskFullAfter() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, savedSignal_);
    }
    DiskFullAfter(const DiskFullAfter&) = delete;
    DiskFullAfter& operator=(const DiskFullAfter&) = delete;
    bool active() const { return active_; }

private:
    rlimit saved_{};
    void (*savedSignal_)(int) = nullptr;
    bool active_ = false;
};
