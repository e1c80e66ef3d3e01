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

// What a server asks when it wants to know who is there.
struct CredentialsQuestion {
    QString server;        // the server box text
    QString suggestedUser; // the user name to offer
    QString queue;         // the queue the request is for; empty for the server itself
    bool refused = false;  // the server did not accept what was given before
};

// Asks the operator for a user name and password. Nothing when the operator
// cancels. The program supplies it (a dialog; the job monitor reads its standard
// input); the platform layer only calls it, from the thread that sends the request.
using CredentialsPrompt =
    std::function<std::optional<SpoolerCredentials>(const CredentialsQuestion& question)>;
