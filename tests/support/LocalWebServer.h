#pragma once

#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

// A web server on a loopback port the kernel chose: it answers every request with a
// small page, or (silent) takes the connection and never says a word.
class LocalWebServer : public QTcpServer {
public:
    explicit LocalWebServer(bool silent = false, QByteArray body = "<p>Up to date.</p>");
    // "127.0.0.1:port"
    QString address() const;
    // The request lines received ("GET /path HTTP/1.1").
    QList<QByteArray> requests;

    // The answer to every request from now on: status, type and body.
    QByteArray status = "200 OK";
    QByteArray contentType = "text/html";
    QByteArray page;

    // An address where nothing listens: connections to it are refused.
    static QString refusingAddress();

private:
    bool silent_;
    QList<QPointer<QTcpSocket>> held_;
};
