#pragma once

#include <QObject>
#include <QProcess>
#include <QString>

class QTimer;

// Joins a Wi-Fi network through NetworkManager's command-line client without holding up the
// caller's thread: nmcli runs as a child process and the outcome comes as a signal, at the
// latest kLimitMs after the start (nmcli is killed then).
class WifiJoin : public QObject
{
    Q_OBJECT

public:
    static constexpr int kLimitMs = 30000;

    explicit WifiJoin(QObject* parent = nullptr);
    // A join still running ends with its object: nmcli is killed and no outcome comes.
    ~WifiJoin() override;

    // Runs "nmcli --ask device wifi connect <ssid>" once, the password on its standard input.
    // When nmcli cannot be found, finished() comes before this returns.
    void start(const QString& ssid, const QString& password);

signals:
    // joined: nmcli ran to its end with exit code 0. problem: why there is no exit code to go
    // by (nmcli missing, not started, crashed or out of time), empty otherwise.
    void finished(bool joined, const QString& problem);

private:
    void onProcessFinished(int exitCode, QProcess::ExitStatus status);
    void onProcessError(QProcess::ProcessError error);
    void finish(bool joined, const QString& problem);
    void dropProcess();

    QProcess* m_process = nullptr;
    QTimer* m_limit = nullptr;
    // Kept while nmcli runs, to take it out of what nmcli says before that is logged.
    QString m_password;
};
