#pragma once

#include <sys/types.h>

namespace AdminCheck {

// True when the account with this user id administers this computer: root, or a
// member of one of the groups that hand out administrator rights (sudo, wheel,
// admin), directly or as the account's primary group. Group members are compared
// with the account's name without regard to case. An id without an account is no
// administrator.
bool UserIsAdmin(uid_t uid);

// Whether the user running the program is an administrator: the process's real user
// id decides, never a name from the environment, which anybody can set.
bool runningUserIsAdmin();

} // namespace AdminCheck
