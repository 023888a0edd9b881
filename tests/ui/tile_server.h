// A loopback HTTP server that answers every request with a grey PNG tile
// and keeps the requested paths.
#pragma once

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>

namespace corvane::test {

class TileServer : public QTcpServer {
public:
    TileServer() {
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, s, [this, s] {
                    const QByteArray request = s->readAll();
                    if (!request.startsWith("GET ")) return;
                    requests.append(QString::fromLatin1(request.split(' ').value(1)));
                    const QByteArray body = Png();
                    s->write(
                        "HTTP/1.1 200 OK\r\nContent-Type: image/png\r\nConnection: close\r\n"
                        "Content-Length: " +
                        QByteArray::number(body.size()) + "\r\n\r\n" + body);
                    s->disconnectFromHost();
                });
                connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
        listen(QHostAddress::LocalHost);
    }
    QStringList requests;

private:
    static QByteArray Png() {
        QImage image(256, 256, QImage::Format_RGB32);
        image.fill(QColor(200, 200, 200));
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return bytes;
    }
};

}  // namespace corvane::test
