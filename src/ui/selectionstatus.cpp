#include "selectionstatus.h"

#include "medialist.h"
#include "selectionsummary.h"

#include <QLabel>
#include <QPushButton>
#include <QStatusBar>

SelectionStatus::SelectionStatus(QStatusBar* bar, QPushButton* download, QPushButton* remove, QObject* parent)
    : QObject(parent)
    , m_label(new QLabel(bar))
    , m_download(download)
    , m_delete(remove)
{
    m_label->setObjectName(QStringLiteral("labelSelection"));
    // Permanent: a message in the status bar never hides it.
    bar->addPermanentWidget(m_label);
    show(MediaList(), QStringList());
}

void SelectionStatus::show(const MediaList& card, const QStringList& ticked)
{
    const SelectionSummary summary(card, ticked);
    m_ticked = !summary.isEmpty();
    m_label->setText(summary.text());
    m_label->setVisible(m_ticked);
    if (m_ticked) {
        m_download->setToolTip(summary.downloadText() + QLatin1Char('\n')
                               + tr("Right-click, or the arrow beside: download from all cameras."));
        m_delete->setToolTip(summary.deleteText());
    } else {
        m_download->setToolTip(tr("Tick files to download them; the arrow beside downloads from all cameras."));
        m_delete->setToolTip(tr("Tick files to delete them from the camera."));
    }
    showButtons();
}

void SelectionStatus::setDownloading(bool running)
{
    m_downloading = running;
    showButtons();
}

void SelectionStatus::showButtons()
{
    m_download->setEnabled(m_ticked || m_downloading);
    m_delete->setEnabled(m_ticked);
}
