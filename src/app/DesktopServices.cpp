#include "app/DesktopServices.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QProcess>

bool DesktopServices::openUrl(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

bool DesktopServices::composeMail(const QString& to, const QString& subject, const QString& body,
                                  const QString& attachment) {
    // The subject and body may hold any character: xdg-email takes them as UTF-8.
    QStringList arguments{QStringLiteral("--utf8"), QStringLiteral("--subject"), subject,
                          QStringLiteral("--body"), body};
    if (!attachment.isEmpty())
        arguments << QStringLiteral("--attach") << attachment;
    if (!to.isEmpty())
        arguments << to;
    // xdg-email hands the message to the mail client and returns; it fails at once
    // when it finds none.
    QProcess mail;
    mail.start(QStringLiteral("xdg-email"), arguments);
    if (!mail.waitForFinished(15000)) {
        mail.kill();
        return false;
    }
    return mail.exitStatus() == QProcess::NormalExit && mail.exitCode() == 0;
}

QString DesktopServices::existingDirectory(QWidget* parent, const QString& caption,
                                           const QString& startFolder) {
    return QFileDialog::getExistingDirectory(parent, caption, startFolder);
}

QString DesktopServices::openFileName(QWidget* parent, const QString& caption,
                                      const QString& startFolder, const QString& filter) {
    return QFileDialog::getOpenFileName(parent, caption, startFolder, filter);
}

QString DesktopServices::saveFileName(QWidget* parent, const QString& caption,
                                      const QString& startFolder, const QString& filter) {
    return QFileDialog::getSaveFileName(parent, caption, startFolder, filter);
}
