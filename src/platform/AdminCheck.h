#pragma once

#include <QString>

namespace AdminCheck {

// True when the named user administers this computer: root, or a member of one of
// the groups that hand out administrator rights (sudo, wheel, admin), directly or
// as the user's primary group. Names are compared without regard to case.
bool UserIsAdmin(const QString& userName);

} // namespace AdminCheck
