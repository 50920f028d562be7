#include "wifijoin.h"

#include <QDebug>
#include <QStandardPaths>
#include <QTimer>

WifiJoin::WifiJoin(QObject* parent)
    : QObject(parent)
{
    m_limit = new QTimer(this);
    m_limit->setSingleShot(true);
    m_limit->setInterval(kLimitMs);
    connect(m_limit, &QTimer::timeout, this, [this] {
        finish(false, QStringLiteral("nmcli did not finish within %1 seconds.").arg(kLimitMs / 1000));
    });
}

WifiJoin::~WifiJoin()
{
    dropProcess();
}

void WifiJoin::start(const QString& ssid, const QString& password)
{
    const QString nmcli = QStandardPaths::findExecutable(QStringLiteral("nmcli"));
    if (nmcli.isEmpty()) {
        finish(false, QStringLiteral("nmcli (NetworkManager) was not found on this computer."));
        return;
    }
    m_process = new QProcess(this);
    m_process->setStandardOutputFile(QProcess::nullDevice());
    connect(m_process, &QProcess::finished, this, &WifiJoin::onProcessFinished);
    connect(m_process, &QProcess::errorOccurred, this, &WifiJoin::onProcessError);
    m_limit->start();
    m_process->start(nmcli, {QStringLiteral("device"), QStringLiteral("wifi"), QStringLiteral("connect"),
                             ssid, QStringLiteral("password"), password});
}

void WifiJoin::onProcessFinished(int exitCode, QProcess::ExitStatus status)
{
    if (status != QProcess::NormalExit) {
        finish(false, QStringLiteral("nmcli stopped unexpectedly."));
        return;
    }
    if (exitCode != 0)
        qDebug().noquote() << "nmcli:" << QString::fromLocal8Bit(m_process->readAllStandardError()).trimmed();
    finish(exitCode == 0, QString());
}

void WifiJoin::onProcessError(QProcess::ProcessError error)
{
    // A crash is told by finished(); only a failed start ends the join here.
    if (error == QProcess::FailedToStart)
        finish(false, QStringLiteral("nmcli could not be started: %1").arg(m_process->errorString()));
}

void WifiJoin::finish(bool joined, const QString& problem)
{
    m_limit->stop();
    dropProcess();
    emit finished(joined, problem);
}

void WifiJoin::dropProcess()
{
    if (!m_process)
        return;
    // One outcome per join: nothing more of this child may come back.
    m_process->disconnect(this);
    if (m_process->state() != QProcess::NotRunning) {
        m_process->kill();
        // Reaps the killed child; SIGKILL cannot be refused, so this is short.
        m_process->waitForFinished(1000);
    }
    m_process->deleteLater();
    m_process = nullptr;
}
