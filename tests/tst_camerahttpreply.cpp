// The reader of the camera's media answers, against a server in the test that answers each
// request with given bytes: one firmware log line before the status line is passed over,
// anything more garbled fails with a reason; bodies by length, chunks or the connection's end;
// the bounds of every camera request still hold.

#include "cameranetworkmanager.h"
#include "replylimit.h"
#include "testsupport.h"

#include <QNetworkReply>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

namespace {

const QByteArray kLine = "gpHttpServer: [04325594][INFO ] conn 0: /videos/DCIM/100GOPRO/GOPR0001.JPG @civetweb.c:17872\n";
const QString kNoStatus = QStringLiteral("answer without an HTTP status line");

// Answers every request with the same bytes, then closes (or keeps the connection open).
class OneAnswerServer : public QTcpServer
{
public:
    QByteArray answer;
    bool keepOpen = false;
    QByteArray lastRequest;

    OneAnswerServer()
    {
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = nextPendingConnection()) {
                socket->setParent(this);
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    QByteArray& head = m_heads[socket];
                    head += socket->readAll();
                    if (!head.contains("\r\n\r\n"))
                        return;
                    lastRequest = head;
                    socket->write(answer);
                    if (!keepOpen)
                        socket->disconnectFromHost();
                });
            }
        });
    }
    QUrl url() const { return QUrl(QStringLiteral("http://127.0.0.1:%1/videos/DCIM/100GOPRO/GOPR0001.JPG").arg(serverPort())); }

private:
    QHash<QTcpSocket*, QByteArray> m_heads;
};

} // namespace

class TestCameraHttpReply : public QObject
{
    Q_OBJECT

    OneAnswerServer m_server;
    CameraNetworkManager m_manager;

    // Asks the server, bounded as the caller says, and waits for the end.
    QNetworkReply* ask(const QByteArray& answer, qint64 maxBytes = -1, int deadlineMs = 0)
    {
        m_server.answer = answer;
        QNetworkRequest request(m_server.url());
        request.setRawHeader("Range", "bytes=7-");
        QNetworkReply* reply = m_manager.get(request);
        reply->setParent(this);
        ReplyLimit::apply(reply, maxBytes, deadlineMs);
        QSignalSpy finished(reply, &QNetworkReply::finished);
        if (!finished.wait(10000))
            qWarning("no end of the reply");
        return reply;
    }

private slots:
    void initTestCase() { QVERIFY(m_server.listen(QHostAddress::LocalHost)); }

    void answers_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QNetworkReply::NetworkError>("error");
        QTest::addColumn<QString>("reason");
        const QByteArray ok = "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello";
        using E = QNetworkReply::NetworkError;
        QTest::newRow("plain") << ok << 200 << QByteArray("hello") << E::NoError << QString();
        QTest::newRow("firmware line") << kLine + ok << 200 << QByteArray("hello") << E::NoError << QString();
        QTest::newRow("firmware line, CRLF") << kLine.chopped(1) + "\r\n" + ok << 200 << QByteArray("hello")
                                             << E::NoError << QString();
        QTest::newRow("partial content")
            << kLine + "HTTP/1.1 206 Partial Content\r\nContent-Range: bytes 7-9/10\r\nContent-Length: 3\r\n\r\nabc"
            << 206 << QByteArray("abc") << E::NoError << QString();
        QTest::newRow("chunked")
            << kLine + "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n6;x=1\r\n world\r\n0\r\n\r\n"
            << 200 << QByteArray("hello world") << E::NoError << QString();
        QTest::newRow("to the end") << kLine + "HTTP/1.0 200 OK\r\n\r\nall of it" << 200 << QByteArray("all of it")
                                    << E::NoError << QString();
        QTest::newRow("not found") << kLine + "HTTP/1.1 404 Not Found\r\nContent-Length: 4\r\n\r\nnope" << 404
                                   << QByteArray("nope") << E::ContentNotFoundError << QString();
        QTest::newRow("two lines") << kLine + kLine + ok << 0 << QByteArray() << E::ProtocolFailure << kNoStatus;
        QTest::newRow("not HTTP") << QByteArray("<html>hello</html>") << 0 << QByteArray() << E::ProtocolFailure
                                  << kNoStatus;
        QTest::newRow("no status line") << kLine << 0 << QByteArray() << E::ProtocolFailure << kNoStatus;
        QTest::newRow("bad status line, no line skipped")
            << "HTTP/1.1 2xx OK\r\n" + ok << 0 << QByteArray() << E::ProtocolFailure << kNoStatus;
        QTest::newRow("overlong line") << QByteArray(9000, 'x') + "\n" + ok << 0 << QByteArray() << E::ProtocolFailure
                                       << QString("answer line longer than 8 KB");
        QTest::newRow("bad chunk")
            << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\nhello\r\n0\r\n\r\n") << 200 << QByteArray()
            << E::ProtocolFailure << QString("malformed answer body");
        QTest::newRow("cut short") << kLine + "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nhello" << 200
                                   << QByteArray("hello") << E::RemoteHostClosedError << QString();
        // Never followed: another host's answer would be taken for the camera's.
        QTest::newRow("redirect")
            << kLine + "HTTP/1.1 302 Found\r\nLocation: http://127.0.0.2:81/x\r\nContent-Length: 5\r\n\r\nmoved" << 302
            << QByteArray() << E::OperationCanceledError
            << QString("redirected to 127.0.0.2:81 (HTTP 302), not followed");
    }
    void answers()
    {
        QFETCH(QByteArray, answer);
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(QNetworkReply::NetworkError, error);
        QFETCH(QString, reason);
        QNetworkReply* reply = ask(answer);
        QVERIFY(reply->isFinished());
        QCOMPARE(reply->error(), error);
        QCOMPARE(ReplyLimit::reason(reply), reason);
        QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), status);
        QCOMPARE(reply->readAll(), body);
        // The request as the camera gets it, its Range included.
        QVERIFY2(m_server.lastRequest.startsWith("GET /videos/DCIM/100GOPRO/GOPR0001.JPG HTTP/1.1\r\n"),
                 m_server.lastRequest.constData());
        QVERIFY(m_server.lastRequest.contains("\r\nRange: bytes=7-\r\n"));
    }

    // The size cap, by the announced length and by what comes; the deadline on an answer
    // that never ends.
    void boundsHold()
    {
        QNetworkReply* announced = ask(kLine + "HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\n" + QByteArray(5000, 'a'), 1000);
        QCOMPARE(announced->error(), QNetworkReply::OperationCanceledError);
        QCOMPARE(ReplyLimit::reason(announced), QString("answer larger than 1000 bytes"));
        QNetworkReply* chunked = ask(kLine + "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n1388\r\n"
                                         + QByteArray(5000, 'a') + "\r\n0\r\n\r\n",
                                     1000);
        QCOMPARE(ReplyLimit::reason(chunked), QString("answer larger than 1000 bytes"));
        m_server.keepOpen = true;
        QNetworkReply* endless = ask(kLine + "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nhal", -1, 500);
        m_server.keepOpen = false;
        QCOMPARE(endless->error(), QNetworkReply::OperationCanceledError);
        QCOMPARE(ReplyLimit::reason(endless), QString("no complete answer within 0.5 s"));
    }

    // A reader that takes its time: the reply holds no more than its read buffer.
    void readBufferBounds()
    {
        const QByteArray body(3 * 1024 * 1024, 'b');
        m_server.answer = kLine + "HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
        QPointer<QNetworkReply> reply = m_manager.get(QNetworkRequest(m_server.url()));
        reply->setReadBufferSize(64 * 1024);
        QSignalSpy finished(reply.data(), &QNetworkReply::finished);
        QByteArray got;
        qint64 most = 0;
        QDeadlineTimer deadline(20000);
        while (!reply->isFinished() || reply->bytesAvailable() > 0) {
            QVERIFY(!deadline.hasExpired());
            QTest::qWait(10);
            most = qMax(most, reply->bytesAvailable());
            got += reply->read(16 * 1024);
            QVERIFY(got.size() <= body.size());
        }
        QVERIFY2(most <= 64 * 1024, QByteArray::number(most).constData());
        QCOMPARE(reply->error(), QNetworkReply::NoError);
        QCOMPARE(got.size(), body.size());
        QCOMPARE(finished.size(), 1);
        delete reply;
    }
};

VELKAMO_TEST_MAIN(TestCameraHttpReply)
#include "tst_camerahttpreply.moc"
