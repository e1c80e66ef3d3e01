#pragma once

#include "platform/SpoolerCredentials.h"

// Who the monitor is when a server wants a password. The monitor never asks
// anyone itself: it has no window, and its input belongs to the program. The
// program will hand over the user name and password the operator gave it for the
// server, as a call on the monitor's input; until it does, a server that wants a
// password is answered with none, and its refusal is reported like any other.
class MonitorCredentials {
public:
    // What the connections of the watch call when the server asks who is there.
    CredentialsPrompt prompt() const {
        return [](const QString&, const QString&) -> std::optional<SpoolerCredentials> {
            return std::nullopt;
        };
    }

    // For libcups itself, should anything ask it for a password outside the
    // connections above: it must never fall back to reading the terminal.
    static void answerNoneByDefault();
};
