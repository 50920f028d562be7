#pragma once

#include <QByteArray>
#include <QNetworkReply>

class QTcpSocket;
class QTimer;

// A plain-HTTP GET to a camera, spoken over its own connection (one request, then closed).
// HERO12 firmware 01.30 writes a log line of its web server ("gpHttpServer: … @civetweb.c:…")
// before the status line of its media answers; Qt's client takes such an answer for garbage.
// This reply skips one line before the status line when it is not a status line, and nothing
// else: two such lines, an answer with no status line or a line past kMaxLineBytes fail the
// request, and ReplyLimit::reason() says why. Otherwise it behaves as Qt's reply does for its
// users and for ReplyLimit: status and redirect target as attributes, Content-Length and
// Content-Type as headers, readyRead/downloadProgress/metaDataChanged, a status from 400 on
// as an error once the body is in, the read buffer size and the transfer time-out honoured.
// The body is framed by Content-Length, chunked, or the end of the connection.
class CameraHttpReply : public QNetworkReply
{
    Q_OBJECT

public:
    // Longer head lines (and the line skipped) are no answer of a camera's.
    static constexpr int kMaxLineBytes = 8 * 1024;
    static constexpr int kMaxHeaderLines = 100;

    // Connects at once; transferTimeoutMs (0: none) ends a silent request as Qt's does.
    CameraHttpReply(const QNetworkRequest& request, int transferTimeoutMs, QObject* parent = nullptr);

    void abort() override;
    void setReadBufferSize(qint64 size) override;
    qint64 bytesAvailable() const override;
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;

private:
    enum class Phase { StatusLine, Headers, Body, ChunkSize, ChunkData, ChunkEnd, Trailers, Done };

    void sendRequest();
    // Moves what the socket holds into the answer, as far as the read buffer lets it.
    void pump();
    void schedulePump();
    // Parses m_in; false when the answer turned out garbled (the reply has failed).
    bool parse();
    // The next line of m_in, without its line end; false when none is complete yet (or the
    // line is too long: then *failed is set).
    bool takeLine(QByteArray* line, bool* failed);
    bool statusLine(const QByteArray& line);
    bool headerLine(const QByteArray& line);
    bool headersDone();
    void takeBody(qint64 most);
    void bodyArrived(qint64 bytes);
    void endOfConnection();
    void complete();
    // A garbled answer: fails with why as the error text and ReplyLimit's reason.
    void garbled(const QString& why);
    void fail(NetworkError error, const QString& text);
    void finish();
    qint64 bodyRoom() const;

    QTcpSocket* m_socket;
    QTimer* m_silence;
    Phase m_phase = Phase::StatusLine;
    bool m_skippedLine = false;
    int m_headerLines = 0;
    int m_status = 0;
    bool m_chunked = false;
    qint64 m_length = -1; // of the body, when announced
    qint64 m_remaining = 0; // of the body or the current chunk
    qint64 m_received = 0; // body bytes so far
    QByteArray m_in; // bytes of the head or chunk framing not parsed yet
    QByteArray m_body; // body bytes not read yet, from m_bodyStart
    qint64 m_bodyStart = 0;
    qint64 m_readBufferSize = 0;
    bool m_pumpScheduled = false;
    bool m_done = false;
    NetworkError m_failure = NoError; // set before a garbled answer aborts
    QString m_failureText;
};
