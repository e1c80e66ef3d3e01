#pragma once

#include "platform/SpoolerCredentials.h"

class QWidget;

// Asks the operator who they are when a print server wants a password: user name
// and password for that server. Nothing when the operator cancels.
std::optional<SpoolerCredentials> askForCredentials(QWidget* owner,
                                                    const CredentialsQuestion& question);
// The dialog's message for a question.
QString credentialsMessage(const CredentialsQuestion& question);
