#pragma once

#include <QFile>
#include <QList>
#include <QMainWindow>
#include <QMap>
#include <QNetworkReply>
#include <QString>

QT_BEGIN_NAMESPACE
namespace Ui { class MainWindow; }
class QComboBox;
class QGridLayout;
class QNetworkAccessManager;
class QProgressBar;
class QTimer;
QT_END_NAMESPACE

class BLEInterface;

class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // The command channel: sends url while the camera answers, warns the user otherwise.
    void sendCmd(QString url);
    void initByConfigJs();
    void initDefault();
    void connect2WiFi();

protected:
    void resizeEvent(QResizeEvent* event) override;

private slots:
    void slotVersionChanged(const QString& version);
    void onTimer();
    void slotCaptureStart();
    void slotCaptureStop();
    void slotBitRateChanged(int index);
    void slotWindowSizeChanged(int index);
    void slotVoiceOnOff(bool on);
    void slotQuikCaptureOnOff(bool on);
    void slotGpsOnOff(bool on);
    void slotSleep();
    void slotRefresh();
    void slotDownload();
    void slotDeleteFiles();
    void slotReformat();
    void slotCaptureModelChanged(int index);
    void slotSettingTypeChanged(int index);
    void slotCaptureModelSettingChanged(int index);
    void replyFinished(QNetworkReply* reply);
    void replyMediaList(QNetworkReply* reply);
    void slotFileSelected(bool selected, const QString& file);
    void slotStartLiveView();
    void slotStopLiveView();
    void slotConnectionGuide();
    void slotAboutInfo();
    void slotReadReady();
    void slotError(QNetworkReply::NetworkError code);
    void slotDownloadProgress(qint64 received, qint64 total);
    void slotShow(const QString& file);
    void slotSliderChanged(int value);
    void slotStopPreviewVideo();
    void slotTipTimer();
    void slotScanDevice();
    void slotConnect2BleDevice();
    void dataReceived(QByteArray data);
    void slotGetHardInfo();
    void slotfinishDownload();
    void slotPowerOff();

private:
    // Issues a GET for a profile command without the online gate: profile selectors send
    // even while the camera is taken for unreachable.
    void sendDirect(const QString& url);

    Ui::MainWindow* ui = nullptr;
    QNetworkAccessManager* m_cmdManager = nullptr;
    QNetworkAccessManager* m_mediaManager = nullptr;
    QTimer* m_keepAliveTimer = nullptr;
    QGridLayout* m_gridLayoutMedia = nullptr;
    QComboBox* m_comboModel = nullptr;
    QComboBox* m_comboDevices = nullptr;
    QMap<QString, QMap<QString, QString>> m_settingsMap;
    QList<QString> m_selectedFiles;
    QList<QString> m_downloadQueue;
    QString m_downloadDir;
    QFile m_downloadFile;
    QProgressBar* m_progressBar = nullptr;
    QNetworkReply* m_downloadReply = nullptr;
    QTimer* m_tipTimer = nullptr;
    BLEInterface* m_ble = nullptr;
    int m_gridColumns = 3;
    int m_tipCounter = 0;
    bool m_cameraOnline = false;
    int m_cameraModel = 5;
};
