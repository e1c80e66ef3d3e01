#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>

class QNetworkAccessManager;
class QNetworkReply;
class QTextBrowser;

// The small web browser of the Network and Updates panels, over a text browser:
// web pages fetched with a timeout, and "\\server" locations, which show what
// shareListing makes of that server (its shared printers). It keeps a history to go
// back and forward in, and tells how a fetch goes by the status texts a browser
// raises, which the Updates panel follows.
class PanelBrowser : public QObject {
    Q_OBJECT
public:
    // The browser of this view, made when first asked for.
    static PanelBrowser& of(QTextBrowser* view);

    // "http://..." or "\\server". Locations of servers are reported as
    // "file://server/".
    void navigate(const QString& location);
    void goBack();
    void goForward();
    QString locationURL() const;
    // The last status text raised; empty before the first.
    QString statusText() const { return statusText_; }

    // The page for a "\\server" location. Made when the view is on screen, so that
    // a hidden panel never asks the server.
    std::function<QString(const QString& server)> shareListing;
    // How long a web page may take, from asking to its last byte.
    int timeoutMs = 5000;

    // The texts raised when a site answers with a page and when it cannot be reached.
    // An answer that is no success (2xx), is empty or is not a text or HTML page
    // counts as a site that cannot be reached.
    static const QString kSiteFound;
    static const QString kSiteNotFound;

signals:
    void statusTextChange(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit PanelBrowser(QTextBrowser* view);
    void load(const QString& location);
    void fetch(const QString& url);
    void setStatus(const QString& text);
    void showPendingListing();

    QTextBrowser* view_;
    QNetworkAccessManager* network_;
    QPointer<QNetworkReply> reply_;
    QStringList history_;
    int at_ = -1;
    QString pendingServer_; // a share listing waiting for the view to show
    QString statusText_;
};
