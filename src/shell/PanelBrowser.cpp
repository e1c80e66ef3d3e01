#include "shell/PanelBrowser.h"

#include <QEvent>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTextBrowser>

const QString PanelBrowser::kSiteFound = QStringLiteral("Web site found. Waiting for reply...");
const QString PanelBrowser::kSiteNotFound =
    QStringLiteral("Downloading from site: res://C:\\WINDOWS\\System32\\shdoclc.dll/dnserror.htm");

PanelBrowser& PanelBrowser::of(QTextBrowser* view) {
    if (auto* known = view->findChild<PanelBrowser*>(QString(), Qt::FindDirectChildrenOnly))
        return *known;
    return *new PanelBrowser(view);
}

PanelBrowser::PanelBrowser(QTextBrowser* view)
    : QObject(view), view_(view), network_(new QNetworkAccessManager(this)) {
    view_->setOpenLinks(false);
    view_->installEventFilter(this);
    // Links on a shown page are followed here, so they get the same timeout.
    connect(view_, &QTextBrowser::anchorClicked, this,
            [this](const QUrl& url) { navigate(url.toString()); });
}

void PanelBrowser::navigate(const QString& location) {
    history_ = history_.mid(0, at_ + 1);
    history_.append(location);
    at_ = int(history_.size()) - 1;
    load(location);
}

void PanelBrowser::goBack() {
    if (at_ > 0)
        load(history_[--at_]);
}

void PanelBrowser::goForward() {
    if (at_ + 1 < history_.size())
        load(history_[++at_]);
}

QString PanelBrowser::locationURL() const {
    if (at_ < 0)
        return QString();
    const QString& location = history_[at_];
    if (location.startsWith(QLatin1String("\\\\")))
        return QStringLiteral("file://") + location.mid(2) + QLatin1Char('/');
    return location;
}

void PanelBrowser::load(const QString& location) {
    if (reply_)
        reply_->abort();
    pendingServer_.clear();
    if (location.startsWith(QLatin1String("\\\\"))) {
        pendingServer_ = location.mid(2);
        view_->clear();
        showPendingListing();
        return;
    }
    fetch(location);
}

void PanelBrowser::showPendingListing() {
    if (pendingServer_.isEmpty() || !view_->isVisible() || !shareListing)
        return;
    const QString server = pendingServer_;
    pendingServer_.clear();
    view_->setHtml(shareListing(server));
}

bool PanelBrowser::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_ && event->type() == QEvent::Show)
        showPendingListing();
    return QObject::eventFilter(watched, event);
}

namespace {

// Whether an answer's headers promise a page to show: a success (2xx), of a type a
// text browser shows. An error page ("Not Found") is no answer to show: to the
// Updates panel it would read as version information.
bool promisesPage(const QNetworkReply* reply) {
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid() || status.toInt() < 200 || status.toInt() > 299)
        return false;
    const QString type = reply->header(QNetworkRequest::ContentTypeHeader).toString();
    return type.isEmpty() || type.startsWith(QLatin1String("text/html")) ||
           type.startsWith(QLatin1String("text/plain"));
}

} // namespace

void PanelBrowser::fetch(const QString& url) {
    QNetworkRequest request{QUrl(url)};
    request.setTransferTimeout(timeoutMs);
    QNetworkReply* reply = network_->get(request);
    reply_ = reply;
    // The headers are the first sign of a site that answers.
    connect(reply, &QNetworkReply::metaDataChanged, this, [this, reply] {
        if (reply == reply_ && promisesPage(reply))
            setStatus(kSiteFound);
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        reply->deleteLater();
        if (reply != reply_)
            return; // a page the operator has left
        const QByteArray body = reply->readAll();
        if (reply->error() != QNetworkReply::NoError || !promisesPage(reply) || body.isEmpty()) {
            view_->setHtml(QStringLiteral("<p>The page cannot be reached.</p>"));
            setStatus(kSiteNotFound);
            return;
        }
        const QString type = reply->header(QNetworkRequest::ContentTypeHeader).toString();
        if (type.startsWith(QLatin1String("text/plain")))
            view_->setPlainText(QString::fromUtf8(body));
        else
            view_->setHtml(QString::fromUtf8(body));
        setStatus(kSiteFound);
    });
}

void PanelBrowser::setStatus(const QString& text) {
    if (text == statusText_)
        return;
    statusText_ = text;
    emit statusTextChange(text);
}
