#pragma once

#include "platform/CupsConnection.h"
#include "platform/PrintSpooler.h"

// The print spooler of a CUPS server, spoken to over IPP through one
// CupsConnection.
class CupsSpooler : public PrintSpooler {
public:
    explicit CupsSpooler(const QString& serverName, const SpoolerTimeouts& timeouts = {});

    QString serverName() const override { return serverName_; }
    QStringList queueNames() override;

    // How the last call ended, so that an empty answer from an unreachable
    // server can be told from a server without queues.
    SpoolerResult lastResult() const { return lastResult_; }

private:
    QString serverName_;
    CupsConnection connection_;
    SpoolerResult lastResult_ = SpoolerResult::Success;
};
