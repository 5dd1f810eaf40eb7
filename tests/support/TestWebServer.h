#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <functional>
#include <map>

namespace vorelle::test {

// A small web server on 127.0.0.1 for the download tests. Each case is
// served under its own first path segment, so that the update server address
// http://127.0.0.1:PORT/CASE leads to the case's answer whatever path follows.
class TestWebServer {
public:
    enum class Delivery {
        Whole,    // with its length
        CutOff,   // half the body, then the connection closes; the length says all
        Stall,    // half the body, then nothing more while the connection stays open
        Chunked,     // in chunks, without a length
        UntilClose,  // without a length, ended by closing the connection
        Trickle,     // with its length, a byte every 50 ms
    };

    struct Answer {
        int status = 200;
        QByteArray body{};
        Delivery delivery = Delivery::Whole;
        QByteArray location{};  // for a redirect
        QByteArray contentType = "text/plain";
    };

    TestWebServer()
    {
        server_.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection())
                Accept(socket);
        });
    }

    void Serve(const QByteArray& name, Answer answer) { answers_[name] = std::move(answer); }

    // The update server's address for a case.
    QString Address(const QByteArray& name) const
    {
        return QStringLiteral("http://127.0.0.1:%1/%2").arg(server_.serverPort()).arg(QString::fromLatin1(name));
    }

    int Requests() const { return requests_; }
    // Connections the client has not closed yet.
    int OpenConnections() const { return open_; }
    QList<QByteArray> Paths() const { return paths_; }
    // Called as each request arrives, before it is answered.
    std::function<void(const QByteArray& path)> onRequest;

private:
    void Accept(QTcpSocket* socket)
    {
        auto request = std::make_shared<QByteArray>();
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, request] {
            request->append(socket->readAll());
            if (!request->contains("\r\n\r\n"))
                return;
            const QByteArray path = request->split(' ').value(1);
            request->clear();
            ++requests_;
            paths_.append(path);
            if (onRequest)
                onRequest(path);
            Respond(socket, path);
        });
        ++open_;
        QObject::connect(socket, &QTcpSocket::disconnected, socket, [this, socket] {
            --open_;
            socket->deleteLater();
        });
    }

    void Respond(QTcpSocket* socket, const QByteArray& path)
    {
        const auto found = answers_.find(path.mid(1, path.indexOf('/', 1) - 1));
        const Answer answer = found != answers_.end() ? found->second : Answer{404, "no such case", Delivery::Whole};
        QByteArray head = "HTTP/1.1 " + QByteArray::number(answer.status) + " Test\r\n";
        head += "Content-Type: " + answer.contentType + "\r\nConnection: close\r\n";
        if (!answer.location.isEmpty())
            head += "Location: " + answer.location + "\r\n";
        if (answer.delivery == Delivery::Chunked)
            head += "Transfer-Encoding: chunked\r\n";
        else if (answer.delivery != Delivery::UntilClose)
            head += "Content-Length: " + QByteArray::number(answer.body.size()) + "\r\n";
        socket->write(head + "\r\n");
        switch (answer.delivery) {
        case Delivery::Whole:
        case Delivery::UntilClose:
            socket->write(answer.body);
            socket->disconnectFromHost();
            break;
        case Delivery::CutOff:
            socket->write(answer.body.left(answer.body.size() / 2));
            socket->disconnectFromHost();
            break;
        case Delivery::Stall:
            socket->write(answer.body.left(answer.body.size() / 2));
            break;
        case Delivery::Chunked:
            for (qsizetype at = 0; at < answer.body.size(); at += kChunk) {
                const QByteArray chunk = answer.body.mid(at, kChunk);
                socket->write(QByteArray::number(chunk.size(), 16) + "\r\n" + chunk + "\r\n");
            }
            socket->write("0\r\n\r\n");
            socket->disconnectFromHost();
            break;
        case Delivery::Trickle: {
            auto* timer = new QTimer(socket);  // goes with the socket, however the transfer ends
            QObject::connect(timer, &QTimer::timeout, socket, [=, at = qsizetype{0}]() mutable {
                socket->write(answer.body.mid(at++, 1));
            });
            timer->start(50);
            break;
        }
        }
    }

    static constexpr qsizetype kChunk = 4096;
    QTcpServer server_;
    std::map<QByteArray, Answer> answers_;
    int requests_ = 0;
    int open_ = 0;
    QList<QByteArray> paths_;
};

}  // namespace vorelle::test
