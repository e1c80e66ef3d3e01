#pragma once

#include <QString>

class FrmMain;

// What the window asked for off its thread and has not had the answer of yet, by
// the action that asked ("Find Queues", a report's file, ...). While an action
// waits, the wait cursor shows and the same action is not asked again, so that an
// operator who clicks again on a slow server sends nothing twice.
namespace AwaitedAnswers {
// Marks `action` waiting; false when it waits already, and the caller asks nothing.
bool begin(FrmMain& form, const QString& action);
// Its answer has been applied.
void end(FrmMain& form, const QString& action);
bool waiting(const FrmMain& form, const QString& action);
// How many actions wait.
int count(const FrmMain& form);
} // namespace AwaitedAnswers
