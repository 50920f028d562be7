#pragma once

#include <QStringList>
#include <QtGlobal>

// Collects the program's log lines while it lives; they still reach stderr.
class LogCapture
{
public:
    LogCapture();
    ~LogCapture();

    QStringList lines() const { return m_lines; }
    int count(const QString& fragment) const;
    bool contains(const QString& fragment) const { return count(fragment) > 0; }
    void clear() { m_lines.clear(); }

private:
    static void handler(QtMsgType type, const QMessageLogContext& context, const QString& message);
    static LogCapture* s_current;
    QtMessageHandler m_previous = nullptr;
    QStringList m_lines;
};
