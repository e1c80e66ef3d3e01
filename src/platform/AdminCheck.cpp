#include "platform/AdminCheck.h"

#include <grp.h>
#include <pwd.h>

namespace {

bool sameName(const QString& a, const char* b) {
    return a.compare(QString::fromLocal8Bit(b), Qt::CaseInsensitive) == 0;
}

// The primary group of the account whose name matches, if there is one.
bool primaryGroupOf(const QString& userName, gid_t* gid) {
    setpwent();
    bool found = false;
    while (const passwd* account = getpwent()) {
        if (sameName(userName, account->pw_name)) {
            *gid = account->pw_gid;
            found = true;
            break;
        }
    }
    endpwent();
    return found;
}

} // namespace

bool AdminCheck::UserIsAdmin(const QString& userName) {
    if (userName.trimmed().isEmpty())
        return false;
    if (userName.compare(QLatin1String("root"), Qt::CaseInsensitive) == 0)
        return true;
    gid_t primary = 0;
    const bool hasPrimary = primaryGroupOf(userName, &primary);
    for (const char* groupName : {"sudo", "wheel", "admin"}) {
        const group* g = getgrnam(groupName);
        if (!g)
            continue;
        if (hasPrimary && g->gr_gid == primary)
            return true;
        for (char** member = g->gr_mem; member && *member; ++member)
            if (sameName(userName, *member))
                return true;
    }
    return false;
}
