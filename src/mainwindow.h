#pragma once

#include <QFile>
#include <QHash>
#include <QSet>
#include <QUrl>
#include <QList>
#include <QMainWindow>
#include <QMap>
#include <QNetworkReply>
#include <QPointer>
#include <QString>
#include <QStringList>

#include "defaultmodelfile.h"
#include "hardwareinfo.h"
#include "mediaselection.h"

QT_BEGIN_NAMESPACE
namespace Ui { class MainWindow; }
class QComboBox;
class QNetworkAccessManager;
class QProgressBar;
class QTimer;
QT_END_NAMESPACE

class BLEInterface;
class CameraLink;
class CameraStatusView;
class MediaList;
class MediaListLoader;
class PreviewKeepAlive;
class PreviewForm;
class TileGrid;
class WifiJoin;

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
    void slotRangeSelected(bool selected, const QString& file);
    void slotSelectAll();
    void slotSelectNone();
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
    // True while the camera answers; otherwise tells the user so.
    bool cameraAnswers();
    void refreshWhenAnswered(const QString& command);
    void cameraCameOnline();
    void cameraWentOffline();
    DefaultModelFile defaultModelFile() const;
    // Takes the model the camera reported: selects its profile and joins its Wi-Fi.
    void applyReportedModel(int number);
    // Media browser helpers.
    void applyMediaList(const MediaList& list);
    void showSelectedName();
    void startDownload();
    void endDownload(QNetworkReply* reply);
    void finishBatch();

    Ui::MainWindow* ui = nullptr;
    CameraLink* m_link = nullptr;
    QNetworkAccessManager* m_mediaManager = nullptr;
    CameraStatusView* m_cameraStatus = nullptr;
    PreviewKeepAlive* m_previewKeepAlive = nullptr;
    TileGrid* m_tileGrid = nullptr;
    MediaListLoader* m_listLoader = nullptr;
    QComboBox* m_comboModel = nullptr;
    QComboBox* m_comboDevices = nullptr;
    QMap<QString, QMap<QString, QString>> m_settingsMap;
    MediaSelection m_selectedFiles;
    QList<QString> m_downloadQueue;
    QString m_downloadDir;
    QFile m_downloadFile;
    QProgressBar* m_progressBar = nullptr;
    QNetworkReply* m_downloadReply = nullptr;
    // Media browser: the newest list request (older answers are dropped) and the running
    // batch's bookkeeping.
    QNetworkReply* m_listReply = nullptr;
    QHash<QString, qint64> m_batchSizes;
    qint64 m_downloadWritten = 0;
    QString m_downloadWriteError;
    int m_batchTotal = 0;
    int m_batchSaved = 0;
    int m_batchSkipped = 0; // already in the folder
    QStringList m_batchFailures;
    QStringList m_batchRenamed; // saved beside a file of the same name
    QSet<QString> m_batchWritten; // local files this batch made
    QString m_downloadTarget; // the local name of the file being downloaded
    QTimer* m_tipTimer = nullptr;
    BLEInterface* m_ble = nullptr;
    HardwareInfo m_hardInfo;
    // Gives up on the rest of a hardware-information reply that stopped coming.
    QTimer* m_hardInfoTimer = nullptr;
    bool m_pairErrorShown = false;
    bool m_configWarningShown = false;
    // The Wi-Fi join in progress, if any.
    QPointer<WifiJoin> m_wifiJoin;
    int m_gridColumns = 3;
    int m_tipCounter = 0;
    int m_cameraModel = 5;
};
