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
    m_password = password;
    // Never on the command line, where every user of the computer can read it (ps, /proc).
    // "device wifi connect" has no password file ("connection up ... passwd-file" would need a
    // profile made first); with --ask it reads a missing password from standard input, and it
    // still finds the network and makes or updates its profile as with "password PASS". The
    // input ends after the line, so a further question (a second secrets request, a polkit
    // prompt) ends nmcli at once instead of waiting for the time limit.
    m_process->start(nmcli, {QStringLiteral("--ask"), QStringLiteral("device"), QStringLiteral("wifi"),
                             QStringLiteral("connect"), ssid});
    m_process->write(password.toUtf8() + '\n');
    m_process->closeWriteChannel();
}

void WifiJoin::onProcessFinished(int exitCode, QProcess::ExitStatus status)
{
    if (status != QProcess::NormalExit) {
        finish(false, QStringLiteral("nmcli stopped unexpectedly."));
        return;
    }
    if (exitCode != 0) {
        QString said = QString::fromLocal8Bit(m_process->readAllStandardError()).trimmed();
        // nmcli may quote the password in its error ("'...' is not a valid WPA PSK").
        if (!m_password.isEmpty())
            said.replace(m_password, QStringLiteral("(password)"));
        qDebug().noquote() << "nmcli:" << said;
    }
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
    m_password.clear();
}
