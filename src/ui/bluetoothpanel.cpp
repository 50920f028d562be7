#include "bluetoothpanel.h"

#include "bluetoothflow.h"
#include "elidingcombobox.h"
#include "homenetworkdialog.h"
#include "prompt.h"

#include <QComboBox>
#include <QPushButton>
#include <QToolBar>

BluetoothPanel::BluetoothPanel(QToolBar* toolBar, QWidget* window)
    : QObject(window)
    , m_window(window)
    , m_flow(new BluetoothFlow(this))
{
    // Scan for cameras, choose one, connect it (which also joins its Wi-Fi).
    auto* scanButton = new QPushButton(tr("Bluetooth"), window);
    scanButton->setObjectName(QStringLiteral("pbBluetoothScan"));
    scanButton->setToolTip(tr("Find cameras over Bluetooth."));
    toolBar->addWidget(scanButton);
    connect(scanButton, &QPushButton::clicked, this, &BluetoothPanel::scan);
    m_devices = new ElidingComboBox(14, window);
    m_devices->setObjectName(QStringLiteral("comboDevices"));
    m_devices->setToolTip(tr("Cameras found over Bluetooth."));
    toolBar->addWidget(m_devices);
    auto* connectButton = new QPushButton(tr("Connect"), window);
    connectButton->setObjectName(QStringLiteral("pbBluetoothConnect"));
    connectButton->setToolTip(tr("Connect the chosen camera and join its Wi-Fi."));
    toolBar->addWidget(connectButton);
    connect(connectButton, &QPushButton::clicked, this, &BluetoothPanel::connectChosen);
    m_homeNetwork = new QPushButton(tr("Home network…"), window);
    m_homeNetwork->setObjectName(QStringLiteral("pbHomeNetwork"));
    m_homeNetwork->setToolTip(
        tr("Put the camera connected over Bluetooth on your home network (HERO12 and later)."));
    toolBar->addWidget(m_homeNetwork);
    connect(m_homeNetwork, &QPushButton::clicked, this, &BluetoothPanel::openHomeNetwork);
    m_homeNetwork->setEnabled(m_flow->homeNetworkUsable());

    connect(m_flow, &BluetoothFlow::homeNetworkUsableChanged, m_homeNetwork, &QWidget::setEnabled);
    connect(m_flow, &BluetoothFlow::homeNetworkUsableChanged, this, &BluetoothPanel::homeNetworkUsableChanged);
    connect(m_flow, &BluetoothFlow::status, this, &BluetoothPanel::status);
    connect(m_flow, &BluetoothFlow::modelReported, this, &BluetoothPanel::modelReported);
    connect(m_flow, &BluetoothFlow::cameraReady, this, &BluetoothPanel::handOn);
    connect(m_flow, &BluetoothFlow::devicesChanged, this, &BluetoothPanel::showDevices);
    // A modal box must not run inside the Bluetooth stack's callback: these come once that has
    // returned.
    connect(m_flow, &BluetoothFlow::pairingNeeded, this, &BluetoothPanel::tellPairingNeeded, Qt::QueuedConnection);
    connect(m_flow, &BluetoothFlow::wifiJoinFinished, this, &BluetoothPanel::tellWifiJoin, Qt::QueuedConnection);
}

void BluetoothPanel::powerOff()
{
    m_flow->powerOff();
}

bool BluetoothPanel::homeNetworkUsable() const
{
    return m_flow->homeNetworkUsable();
}

void BluetoothPanel::scan()
{
    // A missing or switched-off adapter is told in a box; the scan could only fail.
    QString problem;
    if (!m_flow->scan(&problem))
        Prompt::information(m_window, QStringLiteral("Alert"), problem);
}

void BluetoothPanel::connectChosen()
{
    if (m_devices->currentText().isEmpty()) {
        Prompt::information(m_window, QStringLiteral("info"),
                            QStringLiteral("please press bluetooth button to find device first"));
        return;
    }
    if (!Prompt::confirm(m_window, QStringLiteral("Velkamo"),
                         QStringLiteral("CAUTION: This will disconnect the current network and "
                                        "connect to the GoPro network. Are you sure?")))
        return;
    m_flow->connectDevice(m_devices->currentIndex());
}

void BluetoothPanel::openHomeNetwork()
{
    auto* dialog = new HomeNetworkDialog(m_flow->newHomeNetworkSetup(), m_window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &HomeNetworkDialog::cameraReady, this, &BluetoothPanel::handOn);
    dialog->open();
}

void BluetoothPanel::handOn(const HomeNetworkCamera& camera)
{
    emit status(tr("On the home network at %1").arg(camera.address.toString()));
    emit cameraReady(camera);
}

void BluetoothPanel::showDevices(const QStringList& names)
{
    // The selector lists the names in the link's order, so its index is a device index. Each
    // item carries its device's address, the identity the user's choice is kept by.
    bool grown = names.size() >= m_devices->count();
    for (int i = 0; grown && i < m_devices->count(); ++i)
        grown = m_devices->itemData(i).toString() == m_flow->deviceAddress(i);
    // A scan only appends: the new cameras join the list, the chosen one stays chosen.
    if (!grown) {
        const QString chosen = m_devices->currentData().toString();
        m_devices->clear();
        for (int i = 0; i < names.size(); ++i)
            m_devices->addItem(names.at(i), m_flow->deviceAddress(i));
        const int keep = m_devices->findData(chosen);
        if (keep >= 0)
            m_devices->setCurrentIndex(keep);
        return;
    }
    for (int i = m_devices->count(); i < names.size(); ++i)
        m_devices->addItem(names.at(i), m_flow->deviceAddress(i));
}

void BluetoothPanel::tellPairingNeeded(const QString& address)
{
    const QString camera = address.isEmpty() ? tr("the camera's address") : address;
    Prompt::warning(m_window, QStringLiteral("Alert"),
                    tr("The camera did not tell its Wi-Fi name: it is not paired with this "
                       "computer.<br>Pair it once: put the camera in pairing mode (Connections "
                       "&gt; Connect Device), pair it in this computer's Bluetooth settings or "
                       "with bluetoothctl (pair %1, then trust %1), then connect again.")
                        .arg(camera.toHtmlEscaped()));
}

void BluetoothPanel::tellWifiJoin(bool joined, const QString& problem, const QString& ssid, const QString& password)
{
    QString message;
    if (joined) {
        message = QStringLiteral("connect to the WiFi successfully, please wait to refresh automatically");
    } else {
        // The box renders rich text: the name and password must show as they are, and both
        // are put in at once so that a "%2" inside the name stays as it is.
        message = QStringLiteral("connection failed, please connect to the following network")
            + QString(29, QLatin1Char(' '))
            + QStringLiteral("manually<br>SSID: %1<br>password: %2").arg(ssid.toHtmlEscaped(), password.toHtmlEscaped());
        if (!problem.isEmpty())
            message = problem.toHtmlEscaped() + QStringLiteral("<br>") + message;
    }
    Prompt::information(m_window, QStringLiteral("info"), message);
}
