#pragma once

#include <memory>

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QTcpServer>
#include <QTcpSocket>

// A small HTTP/1.1 server on 127.0.0.1 for the update checker's tests: fixed
// answers by path, every request recorded. With tls on it speaks https with
// the test certificate in data/ (issued for 127.0.0.1).
class HttpTestServer : public QObject
{
public:
    struct Response
    {
        int status = 200;
        QList<QPair<QByteArray, QByteArray>> headers;
        QByteArray body;
        // No Content-Length: the body ends when the connection closes.
        bool unknownLength = false;
        // Announce this many bytes, send the body and keep the connection
        // open until dropConnections(): a download cut short.
        qint64 announcedLength = -1;
    };

    explicit HttpTestServer(bool tls = false)
    {
        if (tls) {
            auto* ssl = new QSslServer(this);
            QSslConfiguration conf = QSslConfiguration::defaultConfiguration();
            conf.setLocalCertificate(certificate());
            QFile keyFile(dataPath("localhost.key"));
            keyFile.open(QIODevice::ReadOnly);
            conf.setPrivateKey(QSslKey(keyFile.readAll(), QSsl::Rsa));
            ssl->setSslConfiguration(conf);
            m_server = ssl;
        } else {
            m_server = new QTcpServer(this);
        }
        m_tls = tls;
        connect(m_server, &QTcpServer::pendingConnectionAvailable, this, [this] {
            while (QTcpSocket* s = m_server->nextPendingConnection())
                accept(s);
        });
        m_server->listen(QHostAddress::LocalHost, 0);
    }

    static QString dataPath(const QString& name) { return QStringLiteral(UPDATER_TEST_DATA "/") + name; }
    static QSslCertificate certificate()
    {
        return QSslCertificate::fromPath(dataPath(QStringLiteral("localhost.crt"))).value(0);
    }
    // Makes every TLS client of this process trust the test certificate.
    static void trustTestCertificate()
    {
        QSslConfiguration conf = QSslConfiguration::defaultConfiguration();
        conf.addCaCertificate(certificate());
        QSslConfiguration::setDefaultConfiguration(conf);
    }

    bool isListening() const { return m_server->isListening(); }
    QString url(const QString& path) const
    {
        return QStringLiteral("%1://127.0.0.1:%2%3")
            .arg(m_tls ? QStringLiteral("https") : QStringLiteral("http"))
            .arg(m_server->serverPort())
            .arg(path);
    }

    void route(const QString& path, const Response& response) { m_routes.insert(path, response); }
    void route(const QString& path, const QByteArray& body)
    {
        m_routes.insert(path, Response{200, {}, body});
    }
    void redirect(const QString& path, const QString& location, int status = 302)
    {
        m_routes.insert(path, Response{status, {{"Location", location.toUtf8()}}, QByteArray()});
    }

    // Closes the connections kept open by announcedLength.
    void dropConnections()
    {
        for (const QPointer<QTcpSocket>& s : std::as_const(m_held)) {
            if (s)
                s->abort();
        }
        m_held.clear();
    }

    QStringList paths;
    QList<QByteArray> userAgents;

private:
    void accept(QTcpSocket* socket)
    {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        // Owned by the connection: it goes when the socket or the server does.
        const auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, buffer] {
            buffer->append(socket->readAll());
            const qsizetype end = buffer->indexOf("\r\n\r\n");
            if (end < 0)
                return;
            const QList<QByteArray> lines = buffer->left(end).split('\n');
            buffer->clear();
            const QList<QByteArray> request = lines.value(0).trimmed().split(' ');
            const QString path = QString::fromUtf8(request.value(1));
            QByteArray agent;
            for (const QByteArray& line : lines) {
                if (line.toLower().startsWith("user-agent:"))
                    agent = line.mid(11).trimmed();
            }
            paths << path;
            userAgents << agent;
            answer(socket, m_routes.value(path, Response{404, {}, "not found"}));
        });
    }

    void answer(QTcpSocket* socket, const Response& r)
    {
        QByteArray out =
            "HTTP/1.1 " + QByteArray::number(r.status) + (r.status < 400 ? " OK" : " Error") + "\r\n";
        for (const auto& h : r.headers)
            out += h.first + ": " + h.second + "\r\n";
        if (r.announcedLength >= 0)
            out += "Content-Length: " + QByteArray::number(r.announcedLength) + "\r\n";
        else if (!r.unknownLength)
            out += "Content-Length: " + QByteArray::number(r.body.size()) + "\r\n";
        out += "Connection: close\r\n\r\n" + r.body;
        socket->write(out);
        if (r.announcedLength >= 0)
            m_held << socket;
        else
            socket->disconnectFromHost();
    }

    QTcpServer* m_server = nullptr;
    bool m_tls = false;
    QHash<QString, Response> m_routes;
    QList<QPointer<QTcpSocket>> m_held;
};
