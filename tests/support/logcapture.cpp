#include "logcapture.h"

LogCapture* LogCapture::s_current = nullptr;

LogCapture::LogCapture()
{
    s_current = this;
    m_previous = qInstallMessageHandler(&LogCapture::handler);
}

LogCapture::~LogCapture()
{
    qInstallMessageHandler(m_previous);
    s_current = nullptr;
}

int LogCapture::count(const QString& fragment) const
{
    int n = 0;
    for (const QString& line : m_lines) {
        if (line.contains(fragment))
            ++n;
    }
    return n;
}

void LogCapture::handler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (s_current) {
        s_current->m_lines.append(message);
        if (s_current->m_previous)
            s_current->m_previous(type, context, message);
    }
}
