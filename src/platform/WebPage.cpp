#include "platform/WebPage.h"

#include <QDeadlineTimer>
#include <QTcpSocket>

namespace {

// What a CUPS server shows at every page of its web interface when that is off.
constexpr const char* kSwitchedOffNotice = "Web Interface is Disabled";

} // namespace

WebPageState probeWebPage(const QUrl& page, int timeoutMs) {
    if (!page.isValid() || page.host().isEmpty())
        return WebPageState::NoAnswer;
    const QDeadlineTimer deadline(timeoutMs);
    QTcpSocket socket;
    socket.connectToHost(page.host(), static_cast<quint16>(page.port(80)));
    if (!socket.waitForConnected(static_cast<int>(deadline.remainingTime())))
        return WebPageState::NoAnswer;
    const QByteArray path = page.path(QUrl::FullyEncoded).isEmpty()
                                ? QByteArray("/")
                                : page.path(QUrl::FullyEncoded).toUtf8();
    socket.write("GET " + path + " HTTP/1.0\r\nHost: " + page.host().toUtf8() +
                 "\r\nConnection: close\r\n\r\n");
    // The status line and the start of the page are enough to judge it by.
    QByteArray answer;
    while (answer.size() < 16384 && !deadline.hasExpired()) {
        if (!socket.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
            break;
        answer += socket.readAll();
    }
    const QList<QByteArray> statusLine = answer.left(answer.indexOf('\n')).split(' ');
    const int status = statusLine.size() > 1 ? statusLine.at(1).toInt() : 0;
    if (status < 200 || status >= 400)
        return WebPageState::NoAnswer;
    return answer.contains(kSwitchedOffNotice) ? WebPageState::SwitchedOff : WebPageState::Serves;
}
