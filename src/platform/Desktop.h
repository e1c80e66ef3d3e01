#pragma once

#include <QString>
#include <QUrl>

class QWidget;

// What the program hands to the desktop: pages and files to open, mail to compose,
// and the file and folder choosers. Handed in when the window is made, so that a
// test records what would have been opened or asked and answers the choosers.
class Desktop {
public:
    virtual ~Desktop() = default;

    // Opens a web page or a file with the desktop's handler; false when none took it.
    virtual bool openUrl(const QUrl& url) = 0;

    // Opens the user's mail client on a new message with one file attached; false
    // when no mail client could be started.
    virtual bool composeMail(const QString& to, const QString& subject, const QString& body,
                             const QString& attachment) = 0;

    // The folder the operator chose; empty when cancelled.
    virtual QString existingDirectory(QWidget* parent, const QString& caption,
                                      const QString& startFolder) = 0;

    // The file the operator chose to open or to save to; empty when cancelled.
    // filter is a file dialog filter ("Text Files (*.txt);;All Files (*.*)").
    virtual QString openFileName(QWidget* parent, const QString& caption,
                                 const QString& startFolder, const QString& filter) = 0;
    virtual QString saveFileName(QWidget* parent, const QString& caption,
                                 const QString& startFolder, const QString& filter) = 0;
};
