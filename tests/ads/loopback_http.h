#pragma once
// A tiny HTTP server on 127.0.0.1 for the banner tests: answers every request with
// the response set for its path (or the default one), counts requests per path, and
// can hold a request unanswered or drop the connection.

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QNetworkProxy>
#include <QTcpServer>
#include <QTcpSocket>

namespace hk::testing {

struct HttpResponse {
    int status = 200;
    QByteArray contentType = "text/html";
    QByteArray body;
    bool hold = false;  // never answer
    bool drop = false;  // close the connection without a word
};

class LoopbackHttp : public QObject {
  public:
    LoopbackHttp() {
        // A proxy from the environment must not come between the tests and this server.
        QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
        server_.listen(QHostAddress::LocalHost, 0);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = server_.nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, s, [this, s] { Read(s); });
                connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
    }

    QString Root() const { return QStringLiteral("http://127.0.0.1:%1").arg(server_.serverPort()); }
    QString Url(const QString& path) const { return Root() + path; }
    void Set(const QByteArray& path, HttpResponse r) { responses_[path] = std::move(r); }
    int Requests(const QByteArray& path) const { return requests_.value(path); }

    // An address on this machine where nobody listens.
    static QString RefusingUrl(const QString& path) {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        const quint16 port = probe.serverPort();
        probe.close();
        return QStringLiteral("http://127.0.0.1:%1%2").arg(port).arg(path);
    }

  private:
    void Read(QTcpSocket* s) {
        QByteArray& buffer = pending_[s];
        buffer += s->readAll();
        if (!buffer.contains("\r\n\r\n")) return;
        const QByteArray path = buffer.split(' ').value(1);
        pending_.remove(s);
        ++requests_[path];
        const HttpResponse r = responses_.value(path, fallback_);
        if (r.hold) return;
        if (r.drop) {
            s->abort();
            return;
        }
        QByteArray reply = "HTTP/1.1 " + QByteArray::number(r.status) + " X\r\n";
        reply += "Content-Type: " + r.contentType + "\r\n";
        reply += "Content-Length: " + QByteArray::number(r.body.size()) + "\r\n";
        reply += "Connection: close\r\n\r\n" + r.body;
        s->write(reply);
        s->disconnectFromHost();
    }

    QTcpServer server_;
    QHash<QByteArray, HttpResponse> responses_;
    QHash<QByteArray, int> requests_;
    QHash<QTcpSocket*, QByteArray> pending_;
    HttpResponse fallback_{404, "text/html", "<p>not here</p>"};
};

}  // namespace hk::testing
