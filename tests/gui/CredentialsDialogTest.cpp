#include "app/CredentialsDialog.h"

#include <gtest/gtest.h>

TEST(CredentialsDialog, NamesServerAndQueueAndSaysWhenAPasswordWasRefused) {
    CredentialsQuestion question{"print1:631", "ann", "Payroll-Laser", false};
    EXPECT_EQ(credentialsMessage(question),
              QStringLiteral("The print server print1:631 asks who you are, for the queue "
                             "Payroll-Laser."));
    question.refused = true;
    EXPECT_TRUE(
        credentialsMessage(question).startsWith("The user name or password was not accepted.\n"));
    question.queue.clear();
    EXPECT_TRUE(
        credentialsMessage(question).endsWith("The print server print1:631 asks who you are."));
}
