#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "bleinterface.h"
#include "cameraprofile.h"
#include "defaultmodelfile.h"
#include "prompt.h"
#include "SystemFilePath.h"

#include <QAbstractSlider>
#include <QComboBox>
#include <QDebug>
#include <QDesktopServices>
#include <QGridLayout>
#include <QLabel>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>

namespace {

const char* const kStatusUrl = "http://10.5.5.9/gp/gpControl/status";
const char* const kKeepAliveUrl = "http://10.5.5.9:8080/gopro/camera/keep_alive";
const char* const kShutterOnUrl = "http://10.5.5.9/gp/gpControl/command/shutter?p=1";
const char* const kShutterOffUrl = "http://10.5.5.9/gp/gpControl/command/shutter?p=0";
const char* const kFormatUrl = "http://10.5.5.9/gp/gpControl/command/storage/delete/all";
const char* const kSleepUrl = "http://10.5.5.9/gp/gpControl/command/system/sleep";
const char* const kMediaListUrl = "http://10.5.5.9:8080/gp/gpMediaList";

// A poll the camera accepts but never answers would otherwise hold a connection forever
// (Qt has no default transfer timeout) and starve the polls behind it.
constexpr int kKeepAliveTimeoutMs = 10000;

QString settingUrl(int setting, bool on)
{
    return QStringLiteral("http://10.5.5.9/gp/gpControl/setting/%1/%2").arg(setting).arg(on ? 1 : 0);
}

} // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
{
    ui->setupUi(this);
    setWindowIcon(QIcon(QStringLiteral(":/image/image/gopro.ico")));

    // The slider and the grid start in agreement: 4 tiles per row.
    ui->horizontalSlider->setMinimum(2);
    ui->horizontalSlider->setMaximum(8);
    ui->horizontalSlider->setValue(4);
    m_gridColumns = 4;
    ui->checkBox_3rdPreview->setChecked(true);
    ui->horizontalSlider->setTickInterval(1);

    m_cmdManager = new QNetworkAccessManager(this);
    connect(ui->pbStart_LiveView, &QPushButton::clicked, this, &MainWindow::slotStartLiveView);
    connect(ui->pbStopLiveView, &QPushButton::clicked, this, &MainWindow::slotStopLiveView);
    connect(ui->horizontalSlider, &QSlider::valueChanged, this, &MainWindow::slotSliderChanged);
    connect(m_cmdManager, &QNetworkAccessManager::finished, this, &MainWindow::replyFinished);

    m_mediaManager = new QNetworkAccessManager(this);
    connect(m_mediaManager, &QNetworkAccessManager::finished, this, &MainWindow::replyMediaList);

    m_progressBar = new QProgressBar;
    m_progressBar->hide();
    m_ble = new BLEInterface(this);

    ui->mainToolBar->addWidget(new QLabel(QStringLiteral("Select GoPro "), this));
    m_comboModel = new QComboBox(this);
    m_comboModel->setObjectName(QStringLiteral("comboModel"));
    ui->mainToolBar->addWidget(m_comboModel);
    initByConfigJs();
    // Connected only now, so that filling the list above applies no model by itself.
    connect(m_comboModel, &QComboBox::currentTextChanged, this, &MainWindow::slotVersionChanged);

    struct ToolButton {
        const char* name;
        const char* icon;
        QString toolTip;
        bool visible;
        void (MainWindow::*slot)();
    };
    const ToolButton toolButtons[] = {
        {"pbPowerOff", ":/image/image/power.png", tr("Power off the camera."), false,
         &MainWindow::slotPowerOff},
        {"pbFormat", ":/image/image/format.png", tr("Format SD card."), true,
         &MainWindow::slotReformat},
        {"pbGuide", ":/image/image/guide.png", tr("connection guide."), true,
         &MainWindow::slotConnectionGuide},
        {"pbAbout", ":/image/image/about.png", tr("show the app information."), true,
         &MainWindow::slotAboutInfo},
    };
    for (const ToolButton& spec : toolButtons) {
        auto* button = new QPushButton(this);
        button->setObjectName(QLatin1String(spec.name));
        button->setIcon(QIcon(QLatin1String(spec.icon)));
        button->setIconSize(QSize(16, 16));
        button->setToolTip(spec.toolTip);
        button->setStyleSheet(QStringLiteral("background-color: transparent;border-width: 0px;"));
        if (!spec.visible)
            button->hide();
        ui->mainToolBar->addWidget(button);
        connect(button, &QPushButton::clicked, this, spec.slot);
    }

    m_keepAliveTimer = new QTimer(this);
    connect(m_keepAliveTimer, &QTimer::timeout, this, &MainWindow::onTimer);
    m_keepAliveTimer->start(3000);

    ui->scrollAreaPictureView->setStyleSheet(
        QStringLiteral("QScrollArea {background-color:transparent;}"));
    ui->scrollAreaPictureView->viewport()->setStyleSheet(
        QStringLiteral("background-color:transparent;"));
    m_gridLayoutMedia = new QGridLayout;
    m_gridLayoutMedia->setObjectName(QStringLiteral("gridLayout_media"));
    m_gridLayoutMedia->setContentsMargins(0, 0, 0, 0);
    ui->scrollAreaWidgetContents->setLayout(m_gridLayoutMedia);

    connect(ui->pbRefresh, &QPushButton::clicked, this, &MainWindow::slotRefresh);
    connect(ui->pbStart_Capture, &QPushButton::clicked, this, &MainWindow::slotCaptureStart);
    connect(ui->pbStop, &QPushButton::clicked, this, &MainWindow::slotCaptureStop);
    connect(ui->pbDelete, &QPushButton::clicked, this, &MainWindow::slotDeleteFiles);
    connect(ui->pbDownload, &QPushButton::clicked, this, &MainWindow::slotDownload);

    m_tipTimer = new QTimer(this);
    connect(m_tipTimer, &QTimer::timeout, this, &MainWindow::slotTipTimer);
    m_tipTimer->setInterval(500);
    m_tipTimer->start();

    connect(m_ble, &BLEInterface::statusInfoChanged, this,
            [this](const QString& info, bool) { statusBar()->showMessage(info); });
    connect(m_ble, &BLEInterface::connectFinish, this, &MainWindow::slotGetHardInfo);
}

MainWindow::~MainWindow()
{
    delete ui;
    ui = nullptr;
    m_cmdManager->deleteLater();
    m_mediaManager->deleteLater();
    m_keepAliveTimer->stop();
    if (m_downloadFile.isOpen()) {
        m_downloadFile.flush();
        m_downloadFile.close();
    }
    m_progressBar->deleteLater();
}

// ---------------------------------------------------------------------------------------
// Command channel

void MainWindow::sendCmd(QString url)
{
    if (!m_cameraOnline) {
        Prompt::warning(this, tr("warning"), tr("Maybe connection is lost."));
        return;
    }
    m_cmdManager->get(QNetworkRequest(QUrl(url)));
    qDebug().nospace() << "send command: " << url;
}

void MainWindow::sendDirect(const QString& url)
{
    // An empty command (a profile entry without a URL) has nowhere to go; sending it would
    // only produce a local error that reads like an answer from the camera.
    const QUrl target(url, QUrl::TolerantMode);
    if (url.isEmpty() || !target.isValid() || target.scheme() != QLatin1String("http")) {
        qDebug().nospace() << "command not sent, not an http URL: " << url;
        return;
    }
    m_cmdManager->get(QNetworkRequest(target));
}

void MainWindow::replyFinished(QNetworkReply* reply)
{
    const int code = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() == QNetworkReply::UnknownNetworkError) {
        if (m_cameraOnline) {
            slotRefresh();
            statusBar()->showMessage(QString());
            m_tipTimer->start();
        }
        m_cameraOnline = false;
    } else {
        if (!m_cameraOnline) {
            m_tipTimer->stop();
            ui->label_fileName->clear();
            slotRefresh();
            const QString model = QStringLiteral("hero%1").arg(m_cameraModel);
            m_comboModel->setCurrentText(model);
            slotVersionChanged(model);
        }
        m_cameraOnline = true;
    }
    if (code != 200)
        qDebug().nospace() << "http request failed: code = " << code;
    reply->deleteLater();
}

void MainWindow::onTimer()
{
    QNetworkRequest request(QUrl(QLatin1String(m_cameraModel <= 8 ? kStatusUrl : kKeepAliveUrl)));
    request.setTransferTimeout(kKeepAliveTimeoutMs);
    m_cmdManager->get(request);
}

void MainWindow::slotCaptureStart()
{
    qDebug() << "clicked CaptureStart";
    sendCmd(QLatin1String(kShutterOnUrl));
}

void MainWindow::slotCaptureStop()
{
    qDebug() << "clicked CaptureStop";
    sendCmd(QLatin1String(kShutterOffUrl));
}

void MainWindow::slotVoiceOnOff(bool on)
{
    sendCmd(settingUrl(86, on));
}

void MainWindow::slotQuikCaptureOnOff(bool on)
{
    sendCmd(settingUrl(54, on));
}

void MainWindow::slotGpsOnOff(bool on)
{
    sendCmd(settingUrl(83, on));
}

void MainWindow::slotSleep()
{
    qDebug() << "clicked sleep";
    m_cmdManager->get(QNetworkRequest(QUrl(QLatin1String(kSleepUrl))));
}

void MainWindow::slotReformat()
{
    if (!Prompt::confirm(this, tr("Velkamo"), tr("CAUTION: Are you sure to format?")))
        return;
    sendCmd(QLatin1String(kFormatUrl));
    slotRefresh();
}

void MainWindow::slotError(QNetworkReply::NetworkError code)
{
    qDebug() << "error:" << code;
    if (m_downloadFile.isOpen())
        m_downloadFile.close();
}

// ---------------------------------------------------------------------------------------
// Model profiles and the settings panel

void MainWindow::initByConfigJs()
{
    const QDir refDir = path::refDir();
    qDebug() << refDir.path();
    m_comboModel->addItems(CameraProfile::installedModels(refDir));

    QString name = DefaultModelFile(refDir.filePath(QStringLiteral("gopro_default.json"))).version();
    if (name.isEmpty())
        name = QStringLiteral("hero5");
    m_comboModel->setCurrentText(name);
    slotVersionChanged(name);
}

void MainWindow::slotVersionChanged(const QString& version)
{
    disconnect(ui->comboBoxVideo, &QComboBox::currentIndexChanged, this,
               &MainWindow::slotCaptureModelChanged);
    disconnect(ui->comboBoxLiveview_BitRate, &QComboBox::currentIndexChanged, this,
               &MainWindow::slotBitRateChanged);
    disconnect(ui->comboBoxLiveView_WindowSize, &QComboBox::currentIndexChanged, this,
               &MainWindow::slotWindowSizeChanged);
    disconnect(ui->comboBoxSettings_ISO, &QComboBox::currentIndexChanged, this,
               &MainWindow::slotSettingTypeChanged);
    disconnect(ui->comboBoxChangeTo, &QComboBox::currentIndexChanged, this,
               &MainWindow::slotCaptureModelSettingChanged);

    ui->comboBoxVideo->clear();
    ui->comboBoxLiveview_BitRate->clear();
    ui->comboBoxLiveView_WindowSize->clear();
    ui->comboBoxSettings_ISO->clear();
    ui->comboBoxChangeTo->clear();
    m_settingsMap.clear();

    const QDir refDir = path::refDir();
    const auto recorded = DefaultModelFile(refDir.filePath(QStringLiteral("gopro_default.json")))
                              .setVersion(version);
    if (recorded == DefaultModelFile::WriteResult::WriteFailed)
        Prompt::warning(this, tr("Velkamo"), tr("write config failed!"));

    m_cameraModel = CameraProfile::modelNumber(version);

    CameraProfile profile;
    if (CameraProfile::load(refDir.filePath(CameraProfile::fileNameFor(version)), &profile)) {
        const auto fill = [](QComboBox* box, const QList<CameraProfile::Entry>& entries) {
            for (const CameraProfile::Entry& entry : entries)
                box->addItem(entry.label, entry.command);
        };
        fill(ui->comboBoxVideo, profile.modes);
        connect(ui->comboBoxVideo, &QComboBox::currentIndexChanged, this,
                &MainWindow::slotCaptureModelChanged);
        fill(ui->comboBoxLiveview_BitRate, profile.bitRates);
        connect(ui->comboBoxLiveview_BitRate, &QComboBox::currentIndexChanged, this,
                &MainWindow::slotBitRateChanged);
        fill(ui->comboBoxLiveView_WindowSize, profile.windowSizes);
        connect(ui->comboBoxLiveView_WindowSize, &QComboBox::currentIndexChanged, this,
                &MainWindow::slotWindowSizeChanged);
        ui->comboBoxSettings_ISO->addItems(profile.settingTypes);
        connect(ui->comboBoxSettings_ISO, &QComboBox::currentIndexChanged, this,
                &MainWindow::slotSettingTypeChanged);
        m_settingsMap = profile.settings;
    }

    // UniqueConnection: a model is applied many times, a click must still send once.
    connect(ui->checkBox_vc, &QCheckBox::clicked, this, &MainWindow::slotVoiceOnOff,
            Qt::UniqueConnection);
    connect(ui->checkBox_qc, &QCheckBox::clicked, this, &MainWindow::slotQuikCaptureOnOff,
            Qt::UniqueConnection);
    connect(ui->checkBox_gps, &QCheckBox::clicked, this, &MainWindow::slotGpsOnOff,
            Qt::UniqueConnection);

    initDefault();
    slotRefresh();
}

void MainWindow::initDefault()
{
    ui->comboBoxVideo->setCurrentIndex(0);
    ui->comboBoxLiveview_BitRate->setCurrentIndex(0);
    ui->comboBoxSettings_ISO->setCurrentIndex(1);
}

void MainWindow::slotCaptureModelChanged(int index)
{
    qDebug() << "clicked CaptureModelChanged";
    // Only the first four capture modes select anything on the camera.
    if (index < 0 || index > 3)
        return;
    const QString command = ui->comboBoxVideo->itemData(index).toString();
    qDebug() << command;
    sendDirect(command);
}

void MainWindow::slotSettingTypeChanged(int index)
{
    disconnect(ui->comboBoxChangeTo, &QComboBox::currentIndexChanged, this,
               &MainWindow::slotCaptureModelSettingChanged);
    ui->comboBoxChangeTo->clear();
    const QString type = ui->comboBoxSettings_ISO->itemText(index);
    const auto options = m_settingsMap.constFind(type);
    if (options == m_settingsMap.constEnd())
        return;
    for (auto it = options->begin(); it != options->end(); ++it)
        ui->comboBoxChangeTo->addItem(it.key(), it.value());
    connect(ui->comboBoxChangeTo, &QComboBox::currentIndexChanged, this,
            &MainWindow::slotCaptureModelSettingChanged);
    slotCaptureModelSettingChanged(0);
}

void MainWindow::slotCaptureModelSettingChanged(int index)
{
    const QString command = ui->comboBoxChangeTo->itemData(index).toString();
    qDebug() << command;
    sendDirect(command);
}

// ---------------------------------------------------------------------------------------
// Live preview (placeholders until the player lands)

void MainWindow::slotStartLiveView()
{
    qDebug() << "Start live";
}

void MainWindow::slotStopLiveView()
{
    qDebug() << "Stop live";
}

void MainWindow::slotBitRateChanged(int index)
{
    const QString command = ui->comboBoxLiveview_BitRate->itemData(index).toString();
    qDebug() << command;
    sendDirect(command);
}

void MainWindow::slotWindowSizeChanged(int index)
{
    qDebug() << "clicked window size";
    const QString command = ui->comboBoxLiveView_WindowSize->itemData(index).toString();
    qDebug() << command;
    sendDirect(command);
}

void MainWindow::slotStopPreviewVideo()
{
    qDebug() << "receive signal stop preivew";
}

void MainWindow::slotShow(const QString& file)
{
    Q_UNUSED(file);
}

// ---------------------------------------------------------------------------------------
// Media browser (placeholders until the media browser lands)

void MainWindow::slotRefresh()
{
    m_mediaManager->get(QNetworkRequest(QUrl(QLatin1String(kMediaListUrl))));
}

void MainWindow::replyMediaList(QNetworkReply* reply)
{
    reply->deleteLater();
}

void MainWindow::slotSliderChanged(int value)
{
    m_gridColumns = value;
    qDebug() << "picture count every row is " << value;
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    qDebug() << ui->centralWidget->width() / m_gridColumns - 2;
}

void MainWindow::slotFileSelected(bool selected, const QString& file)
{
    Q_UNUSED(selected);
    Q_UNUSED(file);
}

void MainWindow::slotDownload() {}
void MainWindow::slotDeleteFiles() {}
void MainWindow::slotReadReady() {}
void MainWindow::slotDownloadProgress(qint64 received, qint64 total)
{
    Q_UNUSED(received);
    Q_UNUSED(total);
}
void MainWindow::slotfinishDownload() {}

// ---------------------------------------------------------------------------------------
// Bluetooth and Wi-Fi join (placeholders until the Bluetooth link lands)

void MainWindow::slotScanDevice() {}
void MainWindow::slotConnect2BleDevice() {}
void MainWindow::dataReceived(QByteArray data)
{
    Q_UNUSED(data);
}
void MainWindow::slotGetHardInfo() {}
void MainWindow::slotPowerOff() {}
void MainWindow::connect2WiFi() {}

void MainWindow::slotTipTimer()
{
    static const char* const tips[] = {
        "connecting to WiFi", "connecting to WiFi.", "connecting to WiFi..", "connecting to WiFi...",
    };
    ui->label_fileName->setText(QLatin1String(tips[m_tipCounter % 4]));
    ++m_tipCounter;
}

// ---------------------------------------------------------------------------------------
// Dialogs

void MainWindow::slotAboutInfo()
{
    const QString site = QStringLiteral(VELKAMO_HOMEPAGE);
    Prompt::about(this, tr("About"),
                  tr("version: %1").arg(QStringLiteral(VELKAMO_VERSION))
                      + QStringLiteral("<br><br>") + tr("website: ")
                      + QStringLiteral("<a href=\"%1\">%1</a>").arg(site));
}

void MainWindow::slotConnectionGuide()
{
    qDebug() << "Show Connection Guide";
    const QString guide = path::refDir().absoluteFilePath(QStringLiteral("guide.html"));
    // fromLocalFile: prefixing "file:///" to an absolute path would give four slashes.
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(guide))) {
        Prompt::warning(this, tr("Velkamo"), tr("Open file failed!"));
        qDebug() << "open fail";
    }
}
