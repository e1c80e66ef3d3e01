#include "monitor/MonitorCredentials.h"

#include <cups/cups.h>

void MonitorCredentials::answerNoneByDefault() {
    cupsSetPasswordCB2([](const char*, http_t*, const char*, const char*,
                          void*) -> const char* { return nullptr; },
                       nullptr);
}

void MonitorCredentials::give(const QString& server, const SpoolerCredentials& credentials) {
    given_->insert(server, credentials);
}

CredentialsPrompt MonitorCredentials::prompt() const {
    // The watch holds this prompt for its life; what arrives later still counts.
    return
        [given = given_](const CredentialsQuestion& question) -> std::optional<SpoolerCredentials> {
            const auto found = given->constFind(question.server);
            if (found == given->constEnd())
                return std::nullopt;
            return *found;
        };
}
