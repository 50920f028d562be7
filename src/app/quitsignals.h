#pragma once

#include <QObject>

class QSocketNotifier;

// Turns the signals that ask a program to end (SIGTERM at logout or from a service manager,
// SIGINT from Ctrl+C in a terminal, SIGHUP when the terminal goes) into a Qt signal, so that
// the program ends as when its window is closed: downloads stopped, partial files removed.
// One instance at a time.
class QuitSignals : public QObject
{
    Q_OBJECT

public:
    explicit QuitSignals(QObject* parent = nullptr);
    ~QuitSignals() override;

    // Catches the signals from now on, before any Qt object exists: one that arrives while
    // the application is still being built waits in a socket until the event loop reads it.
    static void catchEarly();

signals:
    void received(int signalNumber);

private:
    void readSignal();

    QSocketNotifier* m_notifier = nullptr;
};
