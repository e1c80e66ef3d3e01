#pragma once

#include <QString>
#include <functional>
#include <optional>

// What the operator gives when a print server asks who is there. Kept in memory
// only, for the run; never written anywhere.
struct SpoolerCredentials {
    QString user;
    QString password;
};

// Asks the operator for a user name and password for `server` (the server box
// text), offering `suggestedUser`. Nothing when the operator cancels. The program
// supplies it (a dialog; the job monitor reads its standard input); the platform
// layer only calls it, from the thread that sends the request.
using CredentialsPrompt = std::function<std::optional<SpoolerCredentials>(
    const QString& server, const QString& suggestedUser)>;
