#pragma once

#include <QFrame>

class QLabel;
class QProgressBar;
class QPushButton;

// The download batch inside the main window: while it runs, what is being fetched, the
// progress of the current file and a Stop button; afterwards the summary, failures included,
// which stays until the next batch or until the user dismisses it.
class TransferPanel : public QFrame
{
    Q_OBJECT

public:
    explicit TransferPanel(QWidget* parent = nullptr);

    void showRunning(const QString& text);
    void setProgress(int value, int maximum);
    void showSummary(const QString& summary);

signals:
    void stopRequested();

private:
    QLabel* m_label = nullptr;
    QProgressBar* m_bar = nullptr;
    QPushButton* m_stop = nullptr;
    QPushButton* m_dismiss = nullptr;
};
