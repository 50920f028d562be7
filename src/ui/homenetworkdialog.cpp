#include "homenetworkdialog.h"

#include "homenetworksetup.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

enum Role { SsidRole = Qt::UserRole, SecuredRole, KnownRole };

// Signal bars as rising blocks, the missing ones as dots.
QString bars(int count)
{
    static const QString full[] = {QStringLiteral("▂"), QStringLiteral("▄"), QStringLiteral("▆")};
    QString text;
    for (int i = 0; i < 3; ++i)
        text += i < count ? full[i] : QStringLiteral("·");
    return text;
}

} // namespace

HomeNetworkDialog::HomeNetworkDialog(HomeNetworkSetup* setup, QWidget* parent)
    : QDialog(parent)
    , m_setup(setup)
{
    setObjectName(QStringLiteral("HomeNetworkDialog"));
    setWindowTitle(tr("Camera on the home network"));
    setup->setParent(this);

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("listNetworks"));
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("lineEditNetworkPassword"));
    m_password->setEchoMode(QLineEdit::Password);
    m_join = new QPushButton(tr("Join"), this);
    m_join->setObjectName(QStringLiteral("pbJoinNetwork"));
    m_join->setDefault(true);
    m_scan = new QPushButton(tr("Scan again"), this);
    m_scan->setObjectName(QStringLiteral("pbScanNetworks"));
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("labelHomeNetworkStatus"));
    m_status->setWordWrap(true);
    m_status->setTextFormat(Qt::PlainText);
    auto* close = new QDialogButtonBox(QDialogButtonBox::Close, this);

    auto* form = new QFormLayout;
    form->addRow(tr("Password:"), m_password);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_scan);
    buttons->addStretch();
    buttons->addWidget(m_join);
    auto* intro = new QLabel(tr("Networks the camera sees (the HERO12 joins only networks with "
                                "internet access; on the home network the camera's own Wi-Fi is "
                                "off):"),
                             this);
    intro->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(m_list);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->addWidget(m_status);
    layout->addWidget(close);

    connect(close, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_scan, &QPushButton::clicked, this, &HomeNetworkDialog::scan);
    connect(m_join, &QPushButton::clicked, this, &HomeNetworkDialog::join);
    connect(m_list, &QListWidget::currentItemChanged, this, &HomeNetworkDialog::updateButtons);
    connect(m_password, &QLineEdit::textChanged, this, &HomeNetworkDialog::updateButtons);
    connect(m_setup, &HomeNetworkSetup::networksFound, this, &HomeNetworkDialog::showNetworks);
    connect(m_setup, &HomeNetworkSetup::progress, this, [this](const QString& text) {
        showText(text, false);
    });
    connect(m_setup, &HomeNetworkSetup::failed, this, [this](const QString& text) {
        showText(text, true);
        updateButtons();
    });
    connect(m_setup, &HomeNetworkSetup::ready, this, [this](const HomeNetworkCamera& camera) {
        showText(tr("The camera is on “%1” at %2.").arg(camera.ssid, camera.address.toString()), false);
        updateButtons();
        emit cameraReady(camera);
        QTimer::singleShot(kCloseDelayMs, this, &QDialog::accept);
    });
    // Nothing more is asked of the camera once the dialog is gone.
    connect(this, &QDialog::finished, m_setup, &HomeNetworkSetup::cancel);
    scan();
}

void HomeNetworkDialog::scan()
{
    m_list->clear();
    m_setup->scanNetworks();
    updateButtons();
}

void HomeNetworkDialog::showNetworks(const QList<HomeNetworkEntry>& networks)
{
    m_list->clear();
    const QIcon lock(QStringLiteral(":/image/image/lock.png"));
    for (const HomeNetworkEntry& network : networks) {
        QString text = network.ssid + QStringLiteral("   ") + bars(network.bars);
        if (network.configured)
            text += QStringLiteral("   ") + tr("known");
        auto* item = new QListWidgetItem(text, m_list);
        if (network.secured)
            item->setIcon(lock);
        item->setToolTip(network.secured ? tr("Secured with a password") : tr("Open network"));
        item->setData(SsidRole, network.ssid);
        item->setData(SecuredRole, network.secured);
        item->setData(KnownRole, network.configured);
    }
    showText(networks.isEmpty() ? tr("The camera sees no network.")
                                : tr("Choose the network the camera should join."),
             false);
    updateButtons();
}

void HomeNetworkDialog::join()
{
    const QListWidgetItem* item = m_list->currentItem();
    if (!item)
        return;
    m_setup->join(item->data(SsidRole).toString(), m_password->text());
    updateButtons();
}

void HomeNetworkDialog::updateButtons()
{
    const QListWidgetItem* item = m_list->currentItem();
    const bool busy = m_setup->isBusy();
    // A network the camera knows keeps its password there; an open one has none.
    const bool needsPassword =
        item && item->data(SecuredRole).toBool() && !item->data(KnownRole).toBool();
    m_password->setEnabled(!busy && needsPassword);
    m_join->setEnabled(!busy && item && (!needsPassword || !m_password->text().isEmpty()));
    m_scan->setEnabled(!busy);
    m_list->setEnabled(!busy);
}

void HomeNetworkDialog::showText(const QString& text, bool failure)
{
    m_status->setText(text);
    m_status->setStyleSheet(failure ? QStringLiteral("color: #c62828;") : QString());
}
