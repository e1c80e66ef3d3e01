#include "platform/CupsSpooler.h"
#include "support/TestPrintServer.h"

#include <gtest/gtest.h>

namespace {

// Stands in for the operator at the password dialog: answers from a script (the
// last answer repeated) and records what it was asked.
struct ScriptedOperator {
    QList<std::optional<SpoolerCredentials>> answers;
    QList<CredentialsQuestion> questions;

    CredentialsPrompt prompt() {
        return [this](const CredentialsQuestion& question) {
            questions << question;
            return answers.value(questions.size() - 1, answers.last());
        };
    }
};

struct PasswordQueue {
    TestPrintServer server;
    SpoolerCredentials account = server.passwordQueueAccount();
    QString name = account.user.isEmpty() ? QString() : server.newQueue("sw-password", true);
    bool ready = !name.isEmpty();
};

} // namespace

TEST(CupsSpoolerPassword, OperatorIsAskedOnceAndEveryLaterCallUsesTheAnswer) {
    PasswordQueue queue;
    ASSERT_TRUE(queue.ready);
    ScriptedOperator operatorAtDialog{{queue.account}, {}};
    CupsSpooler spooler(queue.server.address(), {}, operatorAtDialog.prompt());

    EXPECT_EQ(spooler.pauseQueue(queue.name), SpoolerResult::Success);
    ASSERT_EQ(operatorAtDialog.questions.size(), 1);
    EXPECT_EQ(operatorAtDialog.questions[0].server, queue.server.address());
    EXPECT_EQ(operatorAtDialog.questions[0].suggestedUser, QString::fromUtf8(cupsUser()))
        << "the dialog offers the login name";

    EXPECT_EQ(spooler.queue(queue.name).value_or(SpoolerQueue()).Status, 0x1u);
    EXPECT_EQ(spooler.printTestPage(queue.name), SpoolerResult::Success);
    const QList<SpoolerJob> jobs = spooler.queueJobs(queue.name);
    ASSERT_EQ(jobs.size(), 1);
    EXPECT_EQ(jobs[0].Document, "Test Page");
    EXPECT_EQ(jobs[0].Owner, queue.account.user) << "the job belongs to whom the operator said";
    EXPECT_EQ(spooler.purgeQueue(queue.name), SpoolerResult::Success);
    EXPECT_TRUE(spooler.queueJobs(queue.name).isEmpty());
    EXPECT_EQ(spooler.resumeQueue(queue.name), SpoolerResult::Success);
    EXPECT_EQ(operatorAtDialog.questions.size(), 1) << "asked again within the run";

    // Without anybody to ask, the same queue refuses.
    CupsSpooler unattended(queue.server.address(), kShortTimeouts);
    EXPECT_EQ(unattended.pauseQueue(queue.name), SpoolerResult::AccessDenied);
}

TEST(CupsSpoolerPassword, CancelledDialogIsAccessDeniedAndNotShownAgain) {
    PasswordQueue queue;
    ASSERT_TRUE(queue.ready);
    ScriptedOperator operatorAtDialog{{std::nullopt}, {}};
    CupsSpooler spooler(queue.server.address(), kShortTimeouts, operatorAtDialog.prompt());

    EXPECT_EQ(spooler.printTestPage(queue.name), SpoolerResult::AccessDenied);
    EXPECT_EQ(spooler.pauseQueue(queue.name), SpoolerResult::AccessDenied);
    EXPECT_TRUE(spooler.queueJobs(queue.name).isEmpty());
    EXPECT_EQ(spooler.lastResult(), SpoolerResult::AccessDenied);
    EXPECT_EQ(operatorAtDialog.questions.size(), 1);

    // Nothing was done: an operator who knows the password finds the queue as it was.
    ScriptedOperator knowing{{queue.account}, {}};
    CupsSpooler other(queue.server.address(), {}, knowing.prompt());
    ASSERT_TRUE(other.queue(queue.name));
    EXPECT_EQ(other.queue(queue.name)->Status, 0u);
    EXPECT_TRUE(other.queueJobs(queue.name).isEmpty());
    EXPECT_EQ(other.lastResult(), SpoolerResult::Success);
}

TEST(CupsSpoolerPassword, RefusedPasswordIsAskedForAgainAFewTimesAtMost) {
    PasswordQueue queue;
    ASSERT_TRUE(queue.ready);
    const SpoolerCredentials wrong{queue.account.user,
                                   queue.account.password + QStringLiteral("x")};

    ScriptedOperator mistyped{{wrong, queue.account}, {}};
    CupsSpooler corrected(queue.server.address(), {}, mistyped.prompt());
    EXPECT_EQ(corrected.pauseQueue(queue.name), SpoolerResult::Success);
    ASSERT_EQ(mistyped.questions.size(), 2);
    EXPECT_EQ(mistyped.questions[0].queue, queue.name);
    EXPECT_FALSE(mistyped.questions[0].refused);
    EXPECT_TRUE(mistyped.questions[1].refused) << "the second dialog must say why it is back";
    EXPECT_EQ(corrected.resumeQueue(queue.name), SpoolerResult::Success);
    EXPECT_EQ(mistyped.questions.size(), 2);

    // The document of a request that had to wait for the password goes with
    // its second sending.
    ScriptedOperator printing{{queue.account}, {}};
    CupsSpooler testPage(queue.server.address(), {}, printing.prompt());
    EXPECT_EQ(testPage.printTestPage(queue.name), SpoolerResult::Success);
    EXPECT_EQ(printing.questions.size(), 1);

    ScriptedOperator stubborn{{wrong}, {}};
    CupsSpooler refused(queue.server.address(), kShortTimeouts, stubborn.prompt());
    EXPECT_EQ(refused.pauseQueue(queue.name), SpoolerResult::AccessDenied);
    EXPECT_EQ(stubborn.questions.size(), 3);
}

TEST(CupsSpoolerPassword, CallMadeWhileTheDialogIsOpenIsRefusedWithoutDisturbingIt) {
    PasswordQueue queue;
    ASSERT_TRUE(queue.ready);
    CupsSpooler* spooler = nullptr;
    QList<SpoolerResult> duringDialog;
    // A timer firing in the dialog's event loop starts another call.
    CredentialsPrompt prompt = [&](const CredentialsQuestion&) {
        spooler->jobs();
        duringDialog << spooler->lastResult();
        return std::optional(queue.account);
    };
    CupsSpooler guarded(queue.server.address(), {}, prompt);
    spooler = &guarded;
    EXPECT_EQ(guarded.pauseQueue(queue.name), SpoolerResult::Success);
    EXPECT_EQ(duringDialog, QList<SpoolerResult>{SpoolerResult::Failed});
    EXPECT_EQ(guarded.queue(queue.name)->Status, 0x1u);
    guarded.jobs();
    EXPECT_EQ(guarded.lastResult(), SpoolerResult::Success) << "the connection is still sound";
}
