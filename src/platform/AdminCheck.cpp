#include "platform/AdminCheck.h"

#include <QString>

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

bool AdminCheck::UserIsAdmin(uid_t uid) {
    if (uid == 0)
        return true;
    const passwd* account = getpwuid(uid);
    if (!account || !account->pw_name)
        return false;
    const QString name = QString::fromLocal8Bit(account->pw_name);
    const gid_t primary = account->pw_gid;
    for (const char* groupName : {"sudo", "wheel", "admin"}) {
        const group* g = getgrnam(groupName);
        if (!g)
            continue;
        if (g->gr_gid == primary)
            return true;
        for (char** member = g->gr_mem; member && *member; ++member)
            if (name.compare(QString::fromLocal8Bit(*member), Qt::CaseInsensitive) == 0)
                return true;
    }
    return false;
}

bool AdminCheck::runningUserIsAdmin() {
    return UserIsAdmin(getuid());
}
