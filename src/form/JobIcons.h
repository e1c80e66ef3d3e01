#pragma once

#include <QIcon>

// The pictures of the job grids' image list, indexed 1..5 as JobIconIndex chooses:
// 1 a waiting document, 2 printing or printed, 3 a problem, 4 spooling, 5 paused.
namespace JobIcons {
inline constexpr int Count = 5;
QIcon icon(int index);
} // namespace JobIcons
