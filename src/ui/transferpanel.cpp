#include "transferpanel.h"

#include <QDesktopServices>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QUrl>

TransferPanel::TransferPanel(QWidget* parent)
    : QFrame(parent)
    , m_label(new QLabel(this))
    , m_detail(new QLabel(this))
    , m_bar(new QProgressBar(this))
    , m_stop(new QPushButton(tr("Stop"), this))
    , m_dismiss(new QPushButton(tr("Close"), this))
    , m_showFolder(new QPushButton(tr("Show in folder"), this))
{
    setObjectName(QStringLiteral("transferPanel"));
    setFrameShape(QFrame::StyledPanel);
    m_label->setObjectName(QStringLiteral("labelTransfer"));
    // Camera file names are shown as they are, never as markup.
    m_label->setTextFormat(Qt::PlainText);
    m_label->setWordWrap(true);
    m_label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_detail->setObjectName(QStringLiteral("labelTransferBytes"));
    m_bar->setObjectName(QStringLiteral("progressBarDownload"));
    m_stop->setObjectName(QStringLiteral("pbStopDownload"));
    m_stop->setToolTip(tr("Stop the download; files already saved stay."));
    m_dismiss->setObjectName(QStringLiteral("pbDismissTransfer"));
    m_showFolder->setObjectName(QStringLiteral("pbShowFolder"));

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_label, 1);
    layout->addWidget(m_detail);
    layout->addWidget(m_bar);
    layout->addWidget(m_stop);
    layout->addWidget(m_showFolder);
    layout->addWidget(m_dismiss);
    connect(m_stop, &QPushButton::clicked, this, &TransferPanel::stopRequested);
    connect(m_dismiss, &QPushButton::clicked, this, &QWidget::hide);
    connect(m_showFolder, &QPushButton::clicked, this,
            [this] { QDesktopServices::openUrl(QUrl::fromLocalFile(m_savedIn)); });
    hide();
}

void TransferPanel::showRunning(const QString& text)
{
    m_label->setText(text);
    m_detail->show();
    m_bar->setRange(0, 0); // busy until the file's size is known
    m_bar->show();
    m_stop->show();
    m_dismiss->hide();
    m_showFolder->hide();
    show();
}

void TransferPanel::setProgress(int value, int maximum)
{
    m_bar->setMaximum(maximum);
    m_bar->setValue(value);
}

void TransferPanel::setDetail(const QString& text)
{
    m_detail->setText(text);
}

void TransferPanel::showSummary(const QString& summary, const QString& savedIn)
{
    m_label->setText(summary);
    m_savedIn = savedIn;
    m_detail->hide();
    m_bar->hide();
    m_stop->hide();
    m_dismiss->show();
    m_showFolder->setVisible(!savedIn.isEmpty());
    m_showFolder->setToolTip(QDir::toNativeSeparators(savedIn));
    show();
}
