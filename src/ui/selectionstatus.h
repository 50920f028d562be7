#pragma once

#include <QObject>
#include <QStringList>

class MediaList;
class QLabel;
class QPushButton;
class QStatusBar;

// What the ticks come to, where the user looks for it: a permanent "3 selected · 1.2 GB" in
// the status bar, and Download and Delete enabled only when they have files to act on, their
// tool tips saying how many. A running download keeps Download enabled: it is also its way to
// the running download.
class SelectionStatus : public QObject
{
    Q_OBJECT

public:
    SelectionStatus(QStatusBar* bar, QPushButton* download, QPushButton* remove, QObject* parent = nullptr);

    // card is the list the ticks are on: it gives groups their members and files their sizes.
    void show(const MediaList& card, const QStringList& ticked);
    void setDownloading(bool running);

private:
    void showButtons();

    QLabel* m_label = nullptr;
    QPushButton* m_download = nullptr;
    QPushButton* m_delete = nullptr;
    bool m_ticked = false;
    bool m_downloading = false;
};
