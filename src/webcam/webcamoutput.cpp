#include "webcamoutput.h"

WebcamOutput::WebcamOutput(QObject* parent)
    : QObject(parent)
{
}

WebcamOutput::~WebcamOutput()
{
    stop();
}

void WebcamOutput::start(const QHostAddress& local, quint16 port, const QString& name)
{
    Q_UNUSED(local)
    Q_UNUSED(port)
    Q_UNUSED(name)
    emit failed(tr("The webcam output is not available in this build."));
}

void WebcamOutput::stop()
{
    if (!m_running)
        return;
    m_running = false;
    m_where.clear();
    emit stopped();
}

bool WebcamOutput::isRunning() const
{
    return m_running;
}

QString WebcamOutput::where() const
{
    return m_where;
}

QString WebcamOutput::loopbackAdvice() const
{
    return m_loopbackAdvice;
}
