// A loopback HTTP server that answers every request with a grey PNG tile
// showing the tile's address, and keeps the requested paths.
#pragma once

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QUrl>
#include <QUrlQuery>
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
                    const QByteArray body = Png(requests.last());
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
    // A pale tile with its border and its address (matrix/column/row).
    static QByteArray Png(const QString& path) {
        QImage image(256, 256, QImage::Format_RGB32);
        image.fill(QColor(200, 200, 200));
        QPainter painter(&image);
        painter.setPen(QColor(170, 170, 170));
        painter.drawRect(0, 0, 255, 255);
        const QUrlQuery q(QUrl(path).query());
        painter.drawText(QRect(0, 0, 256, 256), Qt::AlignCenter,
                         QStringLiteral("%1/%2/%3").arg(q.queryItemValue(QStringLiteral("TileMatrix")),
                                                        q.queryItemValue(QStringLiteral("TileCol")),
                                                        q.queryItemValue(QStringLiteral("TileRow"))));
        painter.end();
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return bytes;
    }
};

}  // namespace corvane::test
