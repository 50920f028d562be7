#pragma once

#include <QFrame>

class QLabel;
class QProgressBar;
class QPushButton;

// The download batch inside the main window: while it runs, what is being fetched, the
// progress of the current file and a Stop button; afterwards the summary, failures included,
// which stays until the next batch or until the user dismisses it, with a way to the folder
// when files were saved.
class TransferPanel : public QFrame
{
    Q_OBJECT

public:
    explicit TransferPanel(QWidget* parent = nullptr);

    void showRunning(const QString& text);
    void setProgress(int value, int maximum);
    // Bytes, speed and time left of the current file.
    void setDetail(const QString& text);
    // savedIn: the folder to offer ("Show in folder"); empty when nothing was saved.
    void showSummary(const QString& summary, const QString& savedIn = QString());

signals:
    void stopRequested();

private:
    QLabel* m_label = nullptr;
    QLabel* m_detail = nullptr;
    QProgressBar* m_bar = nullptr;
    QPushButton* m_stop = nullptr;
    QPushButton* m_dismiss = nullptr;
    QPushButton* m_showFolder = nullptr;
    QString m_savedIn;
};
