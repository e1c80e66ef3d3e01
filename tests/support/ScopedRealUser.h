#pragma once

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

// Makes the process's real user id another account's for the life of the object and
// then gives the old one back. The effective id stays root's, so files and servers
// are reached as before: only who the program takes for "the user running it"
// changes. Needs a process running as root; ok() is false otherwise.
class ScopedRealUser {
public:
    explicit ScopedRealUser(uid_t uid) : saved_(getuid()) {
        ok_ = geteuid() == 0 && setresuid(uid, static_cast<uid_t>(-1), static_cast<uid_t>(-1)) == 0;
    }
    ~ScopedRealUser() {
        // A test process left under the wrong account would mislead every later test.
        if (ok_ && setresuid(saved_, static_cast<uid_t>(-1), static_cast<uid_t>(-1)) != 0)
            std::abort();
    }
    ScopedRealUser(const ScopedRealUser&) = delete;
    ScopedRealUser& operator=(const ScopedRealUser&) = delete;

    bool ok() const { return ok_; }

    // The unprivileged account every Linux system has.
    static uid_t nobody() {
        const passwd* account = getpwnam("nobody");
        return account ? account->pw_uid : 65534;
    }

private:
    uid_t saved_;
    bool ok_ = false;
};
