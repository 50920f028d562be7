#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

class MediaList;

// What the ticked files come to, counted as a download counts them (every member of a burst)
// with the sizes the card's list gives them: "3 selected · 1.2 GB" in the status bar, "Download
// 3 files (1.2 GB)" on the buttons that act on them.
class SelectionSummary
{
    Q_DECLARE_TR_FUNCTIONS(SelectionSummary)

public:
    // A path the list does not hold is one file of unknown size.
    SelectionSummary(const MediaList& card, const QStringList& paths);

    qint64 files() const { return m_files; }
    qint64 bytes() const { return m_bytes; }
    bool isEmpty() const { return m_files == 0; }

    // Empty with nothing ticked; without the size when the list gives none.
    QString text() const;
    QString downloadText() const;
    QString deleteText() const;

private:
    QString sized(const QString& text) const;

    qint64 m_files = 0;
    qint64 m_bytes = 0;
};
