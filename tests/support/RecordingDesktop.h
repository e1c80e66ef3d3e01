#pragma once

#include "platform/Desktop.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <deque>

// A Desktop for tests: records what would have been opened, mailed or asked, and
// answers the choosers from a script (cancel when it runs out).
class RecordingDesktop : public Desktop {
public:
    struct Mail {
        QString to, subject, body, attachment;
    };
    struct Chooser {
        QString kind; // "folder", "open" or "save"
        QString caption, startFolder, filter;
    };

    bool openUrl(const QUrl& url) override {
        opened.append(url);
        return opens;
    }
    bool composeMail(const QString& to, const QString& subject, const QString& body,
                     const QString& attachment) override {
        mails.append({to, subject, body, attachment});
        return mailClient;
    }
    QString existingDirectory(QWidget*, const QString& caption,
                              const QString& startFolder) override {
        return choose({QStringLiteral("folder"), caption, startFolder, QString()});
    }
    QString openFileName(QWidget*, const QString& caption, const QString& startFolder,
                         const QString& filter) override {
        return choose({QStringLiteral("open"), caption, startFolder, filter});
    }
    QString saveFileName(QWidget*, const QString& caption, const QString& startFolder,
                         const QString& filter) override {
        return choose({QStringLiteral("save"), caption, startFolder, filter});
    }

    QList<QUrl> opened;
    QList<Mail> mails;
    QList<Chooser> choosers;
    std::deque<QString> chosen; // the next choosers' answers, in order
    bool opens = true;          // whether a handler takes what is opened
    bool mailClient = true;     // whether a mail client is set up

private:
    QString choose(const Chooser& asked) {
        choosers.append(asked);
        if (chosen.empty())
            return QString();
        QString answer = chosen.front();
        chosen.pop_front();
        return answer;
    }
};
