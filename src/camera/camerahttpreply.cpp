#include "camerahttpreply.h"

#include "replylimit.h"

#include <QDebug>
#include <QNetworkProxy>
#include <QTcpSocket>
#include <QTimer>

#include <cstring>
#include <limits>

namespace {

// What the socket hands over at a time, and holds at most for a reader that is behind: the
// camera's sending waits on TCP's window rather than on the PC's memory.
constexpr qint64 kSocketChunk = 256 * 1024;

// Qt's own mapping, so that callers see a camera's error page as they did.
QNetworkReply::NetworkError errorOfStatus(int status)
{
    switch (status) {
    case 401: return QNetworkReply::AuthenticationRequiredError;
    case 403: return QNetworkReply::ContentAccessDenied;
    case 404: return QNetworkReply::ContentNotFoundError;
    case 405: return QNetworkReply::ContentOperationNotPermittedError;
    case 407: return QNetworkReply::ProxyAuthenticationRequiredError;
    case 409: return QNetworkReply::ContentConflictError;
    case 410: return QNetworkReply::ContentGoneError;
    case 418: return QNetworkReply::ProtocolInvalidOperationError;
    case 500: return QNetworkReply::InternalServerError;
    case 501: return QNetworkReply::OperationNotImplementedError;
    case 503: return QNetworkReply::ServiceUnavailableError;
    default:
        return status < 500 ? QNetworkReply::UnknownContentError : QNetworkReply::UnknownServerError;
    }
}

QNetworkReply::NetworkError errorOfSocket(QAbstractSocket::SocketError error)
{
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError: return QNetworkReply::ConnectionRefusedError;
    case QAbstractSocket::RemoteHostClosedError: return QNetworkReply::RemoteHostClosedError;
    case QAbstractSocket::HostNotFoundError: return QNetworkReply::HostNotFoundError;
    case QAbstractSocket::SocketTimeoutError: return QNetworkReply::TimeoutError;
    default: return QNetworkReply::UnknownNetworkError;
    }
}

// "HTTP/1.1 200 OK" -> 200 and "OK"; 0 for anything else.
int parseStatus(const QByteArray& line, QByteArray* phrase)
{
    if (!(line.startsWith("HTTP/1.0 ") || line.startsWith("HTTP/1.1 ")) || line.size() < 12)
        return 0;
    const QByteArray code = line.mid(9, 3);
    for (char c : code) {
        if (c < '0' || c > '9')
            return 0;
    }
    if (line.size() > 12 && line.at(12) != ' ')
        return 0;
    *phrase = line.mid(13).trimmed();
    return code.toInt();
}

// Digits only: "+5", " 5" or "0x5" are no length.
qint64 parseLength(const QByteArray& value)
{
    if (value.isEmpty() || value.size() > 18)
        return -1;
    for (char c : value) {
        if (c < '0' || c > '9')
            return -1;
    }
    return value.toLongLong();
}

} // namespace

CameraHttpReply::CameraHttpReply(const QNetworkRequest& request, int transferTimeoutMs, QObject* parent)
    : QNetworkReply(parent), m_socket(new QTcpSocket(this)), m_silence(new QTimer(this))
{
    setRequest(request);
    setUrl(request.url());
    setOperation(QNetworkAccessManager::GetOperation);
    open(QIODevice::ReadOnly);
    // The camera is reached directly, whatever proxy the desktop names.
    m_socket->setProxy(QNetworkProxy::NoProxy);
    m_socket->setReadBufferSize(kSocketChunk);
    connect(m_socket, &QTcpSocket::connected, this, &CameraHttpReply::sendRequest);
    connect(m_socket, &QTcpSocket::readyRead, this, &CameraHttpReply::pump);
    connect(m_socket, &QTcpSocket::disconnected, this, &CameraHttpReply::schedulePump);
    connect(m_socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        // The end of the connection is the end of some answers: read what came first.
        if (error == QAbstractSocket::RemoteHostClosedError)
            schedulePump();
        else
            fail(errorOfSocket(error), m_socket->errorString());
    });
    m_silence->setSingleShot(true);
    if (transferTimeoutMs > 0) {
        m_silence->setInterval(transferTimeoutMs);
        connect(m_socket, &QTcpSocket::readyRead, m_silence, qOverload<>(&QTimer::start));
        connect(m_socket, &QTcpSocket::bytesWritten, m_silence, qOverload<>(&QTimer::start));
        connect(m_silence, &QTimer::timeout, this, &CameraHttpReply::abort);
        m_silence->start();
    }
    // Not from here: a connect that fails at once (a cable just pulled) would end the reply
    // before its caller has connected to it.
    QTimer::singleShot(0, this, [this] {
        if (!m_done)
            m_socket->connectToHost(url().host(), quint16(url().port(80)));
    });
}

void CameraHttpReply::sendRequest()
{
    QByteArray target = url().toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority | QUrl::RemoveFragment);
    if (target.isEmpty())
        target = "/";
    QByteArray head = "GET " + target + " HTTP/1.1\r\nHost: " + url().host().toLatin1();
    if (url().port(80) != 80)
        head += ':' + QByteArray::number(url().port());
    // One answer per connection: its end is never in doubt.
    head += "\r\nConnection: close\r\n";
    for (const QByteArray& name : request().rawHeaderList()) {
        const QByteArray lower = name.toLower();
        if (lower != "host" && lower != "connection")
            head += name + ": " + request().rawHeader(name) + "\r\n";
    }
    m_socket->write(head + "\r\n");
}

void CameraHttpReply::schedulePump()
{
    if (m_pumpScheduled || m_done)
        return;
    m_pumpScheduled = true;
    QTimer::singleShot(0, this, &CameraHttpReply::pump);
}

qint64 CameraHttpReply::bodyRoom() const
{
    if (m_readBufferSize <= 0)
        return std::numeric_limits<qint64>::max();
    return m_readBufferSize - (m_body.size() - m_bodyStart);
}

void CameraHttpReply::pump()
{
    m_pumpScheduled = false;
    while (!m_done) {
        const qint64 available = m_socket->bytesAvailable();
        const qint64 room = bodyRoom();
        if (available <= 0 || room <= 0)
            break;
        if (m_phase == Phase::Body && m_in.isEmpty()) {
            // Straight into the body: a download's bytes are copied once.
            qint64 most = qMin(qMin(available, room), kSocketChunk);
            if (m_remaining >= 0)
                most = qMin(most, m_remaining);
            const qint64 old = m_body.size();
            m_body.resize(old + most);
            const qint64 got = m_socket->read(m_body.data() + old, most);
            m_body.resize(old + qMax<qint64>(got, 0));
            if (got <= 0)
                break;
            bodyArrived(got);
            if (!m_done && m_remaining >= 0 && (m_remaining -= got) == 0)
                complete();
            continue;
        }
        m_in += m_socket->read(qMin(qMin(available, room), kSocketChunk));
        if (!parse())
            return;
    }
    if (!m_done && m_socket->state() == QAbstractSocket::UnconnectedState && m_socket->bytesAvailable() == 0)
        endOfConnection();
}

bool CameraHttpReply::takeLine(QByteArray* line, bool* failed)
{
    const qsizetype end = m_in.indexOf('\n');
    if (end > kMaxLineBytes || (end < 0 && m_in.size() > kMaxLineBytes)) {
        garbled(tr("answer line longer than %1 KB").arg(kMaxLineBytes / 1024));
        *failed = true;
        return false;
    }
    if (end < 0)
        return false;
    *line = m_in.left(end);
    if (line->endsWith('\r'))
        line->chop(1);
    m_in.remove(0, end + 1);
    return true;
}

bool CameraHttpReply::parse()
{
    QByteArray line;
    bool failed = false;
    while (!m_done) {
        switch (m_phase) {
        case Phase::StatusLine:
            if (!takeLine(&line, &failed))
                return !failed;
            if (!statusLine(line))
                return false;
            break;
        case Phase::Headers:
            if (!takeLine(&line, &failed))
                return !failed;
            if (!headerLine(line))
                return false;
            break;
        case Phase::Body:
        case Phase::ChunkData:
            if (m_in.isEmpty())
                return true;
            takeBody(m_remaining < 0 ? m_in.size() : qMin<qint64>(m_in.size(), m_remaining));
            break;
        case Phase::ChunkSize: {
            if (!takeLine(&line, &failed))
                return !failed;
            const qsizetype extension = line.indexOf(';');
            const QByteArray size = (extension < 0 ? line : line.left(extension)).trimmed();
            bool ok = size.size() <= 15 && !size.isEmpty();
            m_remaining = ok ? size.toLongLong(&ok, 16) : -1;
            if (!ok || m_remaining < 0) {
                garbled(tr("malformed answer body"));
                return false;
            }
            m_phase = m_remaining == 0 ? Phase::Trailers : Phase::ChunkData;
            break;
        }
        case Phase::ChunkEnd:
            if (!takeLine(&line, &failed))
                return !failed;
            if (!line.isEmpty()) {
                garbled(tr("malformed answer body"));
                return false;
            }
            m_phase = Phase::ChunkSize;
            break;
        case Phase::Trailers:
            if (!takeLine(&line, &failed))
                return !failed;
            if (line.isEmpty())
                complete();
            break;
        case Phase::Done:
            return true;
        }
    }
    return !m_done || error() == NoError;
}

bool CameraHttpReply::statusLine(const QByteArray& line)
{
    QByteArray phrase;
    m_status = parseStatus(line, &phrase);
    if (m_status == 0) {
        // The firmware's log line, once; a line that claims to be a status line is one.
        if (!m_skippedLine && !line.startsWith("HTTP/")) {
            m_skippedLine = true;
            qDebug() << "skipped a line before the status line of" << url().path() << ":" << line.left(120);
            return true;
        }
        garbled(tr("answer without an HTTP status line"));
        return false;
    }
    setAttribute(QNetworkRequest::HttpStatusCodeAttribute, m_status);
    setAttribute(QNetworkRequest::HttpReasonPhraseAttribute, QString::fromLatin1(phrase));
    m_phase = Phase::Headers;
    return true;
}

bool CameraHttpReply::headerLine(const QByteArray& line)
{
    if (line.isEmpty())
        return headersDone();
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0 || ++m_headerLines > kMaxHeaderLines || line.at(0) == ' ' || line.at(0) == '\t') {
        garbled(tr("malformed answer header"));
        return false;
    }
    const QByteArray name = line.left(colon).trimmed();
    const QByteArray value = line.mid(colon + 1).trimmed();
    const QByteArray lower = name.toLower();
    setRawHeader(name, value);
    if (lower == "content-length") {
        const qint64 length = parseLength(value);
        if (length < 0 || (m_length >= 0 && length != m_length)) {
            garbled(tr("malformed answer header"));
            return false;
        }
        m_length = length;
        setHeader(QNetworkRequest::ContentLengthHeader, length);
    } else if (lower == "transfer-encoding") {
        m_chunked = value.toLower().contains("chunked");
    } else if (lower == "content-type") {
        setHeader(QNetworkRequest::ContentTypeHeader, QString::fromLatin1(value));
    } else if (lower == "location") {
        const QUrl target = QUrl::fromEncoded(value);
        setHeader(QNetworkRequest::LocationHeader, target);
        if (m_status >= 300 && m_status < 400)
            setAttribute(QNetworkRequest::RedirectionTargetAttribute, target);
    }
    return true;
}

bool CameraHttpReply::headersDone()
{
    const bool noBody = m_status < 200 || m_status == 204 || m_status == 304;
    if (m_chunked) {
        // The length of a chunked answer is the chunks'.
        m_length = -1;
        setHeader(QNetworkRequest::ContentLengthHeader, QVariant());
        m_phase = Phase::ChunkSize;
    } else {
        m_phase = Phase::Body;
        m_remaining = noBody ? 0 : m_length;
    }
    // Its users may end the reply here: a redirect, an announced length past its cap.
    emit metaDataChanged();
    if (m_done)
        return false;
    if (m_phase == Phase::Body && m_remaining == 0)
        complete();
    return true;
}

void CameraHttpReply::takeBody(qint64 most)
{
    m_body.append(m_in.constData(), most);
    m_in.remove(0, most);
    bodyArrived(most);
    if (m_done || m_remaining < 0)
        return;
    m_remaining -= most;
    if (m_remaining > 0)
        return;
    if (m_phase == Phase::ChunkData)
        m_phase = Phase::ChunkEnd;
    else
        complete();
}

void CameraHttpReply::bodyArrived(qint64 bytes)
{
    m_received += bytes;
    emit readyRead();
    if (!m_done)
        emit downloadProgress(m_received, m_length);
}

void CameraHttpReply::endOfConnection()
{
    if (m_phase == Phase::Body && m_remaining < 0) {
        complete();
    } else if (m_phase == Phase::StatusLine && !(m_in.isEmpty() && !m_skippedLine)) {
        garbled(tr("answer without an HTTP status line"));
    } else {
        fail(RemoteHostClosedError, tr("the camera closed the connection before the whole answer"));
    }
}

void CameraHttpReply::complete()
{
    m_phase = Phase::Done;
    if (m_status >= 400) {
        const QString phrase = attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        setError(errorOfStatus(m_status), tr("the camera answered HTTP %1 %2").arg(m_status).arg(phrase).trimmed());
        m_done = true;
        emit errorOccurred(error());
    }
    finish();
}

void CameraHttpReply::garbled(const QString& why)
{
    qDebug() << "garbled answer to" << url().path() << ":" << why;
    m_failure = ProtocolFailure;
    m_failureText = why;
    ReplyLimit::end(this, why);
    if (!m_done)
        fail(m_failure, why);
}

void CameraHttpReply::fail(NetworkError error, const QString& text)
{
    if (m_done)
        return;
    m_done = true;
    setError(error, text);
    emit errorOccurred(error);
    finish();
}

void CameraHttpReply::finish()
{
    m_done = true;
    m_phase = Phase::Done;
    m_silence->stop();
    m_socket->abort();
    setFinished(true);
    emit finished();
}

void CameraHttpReply::abort()
{
    if (isFinished())
        return;
    if (m_failure != NoError)
        fail(m_failure, m_failureText);
    else
        fail(OperationCanceledError, tr("Operation canceled"));
}

void CameraHttpReply::setReadBufferSize(qint64 size)
{
    QNetworkReply::setReadBufferSize(size);
    m_readBufferSize = size;
}

qint64 CameraHttpReply::bytesAvailable() const
{
    return QNetworkReply::bytesAvailable() + m_body.size() - m_bodyStart;
}

qint64 CameraHttpReply::readData(char* data, qint64 maxSize)
{
    const qint64 n = qMin(maxSize, qint64(m_body.size()) - m_bodyStart);
    if (n <= 0)
        return m_done ? -1 : 0;
    std::memcpy(data, m_body.constData() + m_bodyStart, size_t(n));
    m_bodyStart += n;
    if (m_bodyStart == m_body.size()) {
        m_body.resize(0); // keeps its memory for the next piece
        m_bodyStart = 0;
    } else if (m_bodyStart > m_body.size() / 2) {
        m_body.remove(0, m_bodyStart);
        m_bodyStart = 0;
    }
    // A reader that was behind has made room for what the socket holds.
    if (!m_done && m_socket->bytesAvailable() > 0)
        schedulePump();
    return n;
}
