#pragma once

#include "platform/SpoolerCredentials.h"

#include <QHash>
#include <memory>

// Who the monitor is when a server wants a password. The monitor never asks
// anyone itself: it has no window, and its input belongs to the program. The
// program hands over the user name and password the operator gave it for a
// server; a server nothing was handed over for is answered with none, and its
// refusal is reported like any other.
class MonitorCredentials {
public:
    // Keeps what the program handed over for a server, in memory only.
    void give(const QString& server, const SpoolerCredentials& credentials);

    // What the connections of the watch call when the server asks who is there.
    CredentialsPrompt prompt() const;

    // For libcups itself, should anything ask it for a password outside the
    // connections above: it must never fall back to reading the terminal.
    static void answerNoneByDefault();

private:
    std::shared_ptr<QHash<QString, SpoolerCredentials>> given_ =
        std::make_shared<QHash<QString, SpoolerCredentials>>();
};
