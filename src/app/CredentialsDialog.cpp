#include "app/CredentialsDialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

QString credentialsMessage(const CredentialsQuestion& question) {
    QString text =
        question.queue.isEmpty()
            ? QStringLiteral("The print server %1 asks who you are.").arg(question.server)
            : QStringLiteral("The print server %1 asks who you are, for the queue %2.")
                  .arg(question.server, question.queue);
    if (question.refused)
        text = QStringLiteral("The user name or password was not accepted.\n") + text;
    return text;
}

std::optional<SpoolerCredentials> askForCredentials(QWidget* owner,
                                                    const CredentialsQuestion& question) {
    const QString& suggestedUser = question.suggestedUser;
    QDialog dialog(owner);
    dialog.setObjectName(QStringLiteral("frmLogin"));
    dialog.setWindowTitle(QStringLiteral("Spoolwright"));
    auto* user = new QLineEdit(suggestedUser, &dialog);
    user->setObjectName(QStringLiteral("txtUser"));
    auto* password = new QLineEdit(&dialog);
    password->setObjectName(QStringLiteral("txtPassword"));
    password->setEchoMode(QLineEdit::Password);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("User name"), user);
    form->addRow(QStringLiteral("Password"), password);
    auto* layout = new QVBoxLayout(&dialog);
    auto* message = new QLabel(credentialsMessage(question), &dialog);
    message->setObjectName(QStringLiteral("lblMessage"));
    message->setTextFormat(Qt::PlainText);
    layout->addWidget(message);
    layout->addLayout(form);
    layout->addWidget(buttons);
    (suggestedUser.isEmpty() ? user : password)->setFocus();

    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return SpoolerCredentials{user->text(), password->text()};
}
