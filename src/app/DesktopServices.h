#pragma once

#include "platform/Desktop.h"

// The desktop of the running session: xdg-open through Qt, xdg-email, Qt's file
// dialogs.
class DesktopServices : public Desktop {
public:
    bool openUrl(const QUrl& url) override;
    bool composeMail(const QString& to, const QString& subject, const QString& body,
                     const QString& attachment) override;
    QString existingDirectory(QWidget* parent, const QString& caption,
                              const QString& startFolder) override;
    QString openFileName(QWidget* parent, const QString& caption, const QString& startFolder,
                         const QString& filter) override;
    QString saveFileName(QWidget* parent, const QString& caption, const QString& startFolder,
                         const QString& filter) override;
};
