#include "support/LocalWebServer.h"

LocalWebServer::LocalWebServer(bool silent, QByteArray body)
    : page(std::move(body)), silent_(silent) {
    listen(QHostAddress::LocalHost, 0);
    connect(this, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = nextPendingConnection()) {
            held_.append(socket);
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                if (!socket->canReadLine())
                    return;
                requests.append(socket->readLine().trimmed());
                if (silent_)
                    return;
                socket->write("HTTP/1.1 " + status + "\r\nContent-Type: " + contentType +
                              "\r\nContent-Length: " + QByteArray::number(page.size()) +
                              "\r\nConnection: close\r\n\r\n" + page);
                socket->disconnectFromHost();
            });
        }
    });
}

QString LocalWebServer::address() const {
    return QStringLiteral("127.0.0.1:") + QString::number(serverPort());
}

QString LocalWebServer::refusingAddress() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return QStringLiteral("127.0.0.1:") + QString::number(port);
}
