#pragma once

#include <QList>
#include <QMainWindow>
#include <QMap>
#include <QNetworkReply>
#include <QPointer>
#include <QString>
#include <QStringList>

#include "allcameras.h"
#include "camerarequests.h"
#include "defaultmodelfile.h"
#include "hardwareinfo.h"
#include "homenetworkcamera.h"
#include "mediaselection.h"

QT_BEGIN_NAMESPACE
namespace Ui { class MainWindow; }
class QCheckBox;
class QComboBox;
class QHostAddress;
class QNetworkAccessManager;
class QPushButton;
class QTimer;
QT_END_NAMESPACE

class BLEInterface;
class Camera;
class CameraLink;
class CameraOffload;
class CameraStatusView;
class DownloadBatch;
class HomeNetworkSetup;
class MediaList;
class MediaListLoader;
class PasswordStore;
class PreviewKeepAlive;
class PictureFetcher;
class PreviewForm;
class TileGrid;
class UsbCameraFinder;
class TransferPanel;
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

signals:
    // A camera on the home network, set up or recognised over Bluetooth, to be reached there.
    void cameraReady(const HomeNetworkCamera& camera);

public slots:
    // A camera set up on the home network (by Bluetooth): remembered, its password put in
    // the keyring, trusted, listed (or updated) and made the window's camera.
    void homeCameraReady(const HomeNetworkCamera& camera);

protected:
    void resizeEvent(QResizeEvent* event) override;
    // Asks before a running download is stopped; declined, the window stays.
    void closeEvent(QCloseEvent* event) override;

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
    // Every file not yet saved, of every camera that answers, each into a folder of its own.
    void slotDownloadAllCameras();
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
    void slotDownloadProgress(int value, int maximum);
    void slotShow(const QString& file);
    void slotSliderChanged(int value);
    void slotStopPreviewVideo();
    void slotTipTimer();
    void slotScanDevice();
    void slotConnect2BleDevice();
    void dataReceived(QByteArray data);
    void slotGetHardInfo();
    void slotfinishDownload(const QString& summary);
    void slotPowerOff();
    void slotHomeNetwork();

private:
    // A fixed request in the current model's form for the current camera; empty when the
    // model has none.
    QString fixedRequest(CameraRequests::Action action, bool on = true) const;
    void showFixedRequests();
    // Issues a GET for a profile command without the online gate: profile selectors send
    // even while the camera is taken for unreachable.
    void sendDirect(const QString& url);
    // True while the camera answers; otherwise tells the user so.
    bool cameraAnswers();
    // False, and the user told why, while a download runs: nothing leaves the card before
    // it is saved.
    bool cardMayChange();
    // The folder for a download, asked of the user; empty when cancelled or while a download
    // runs (said in the status bar).
    QString askDownloadFolder();
    void refreshWhenAnswered(const QString& command);
    void cameraCameOnline();
    // A camera found: listed, and current when it is the first or none answers.
    void addCamera(Camera* camera);
    // The user's choice in the camera list.
    void chooseCamera(Camera* camera);
    void setCurrentCamera(Camera* camera);
    void showCameraList();
    // The cameras the list shows, in its order: one entry a camera.
    QList<Camera*> listedCameras() const;
    // True while the user sends to every listed camera at once.
    bool sendsToAll() const;
    // Says in the status bar where a choice sent to all cameras went; warns when it reached
    // none because none answers.
    void reportAll(const QString& what, const AllCameras::Outcome& outcome);
    // The same camera (by serial) on a cable, when camera is on Wi-Fi; none otherwise.
    Camera* cameraOnCableAlso(const Camera* camera) const;
    void usbCameraFound(const QHostAddress& host, const QString& serial);
    // The remembered cameras on the home network, each once its password is read.
    void askRememberedHomeCameras();
    // Trusts the camera and lists it (or moves the listed one of its serial to its address).
    Camera* addHomeCamera(const HomeNetworkCamera& camera);
    void cameraWentOffline();
    DefaultModelFile defaultModelFile() const;
    // Takes the model the camera reported: selects its profile (when there is one).
    void applyReportedModel(int number, const QString& reportedName);
    // Once the camera connected over Bluetooth has told who it is (model 0 when it did not):
    // from the HERO12 its home network is asked first, otherwise its access point is used.
    void continueBluetoothFlow(int model, const QString& modelName, const QString& serial);
    // Access point on, its name and password read, then the PC joins it.
    void startAccessPointFlow();
    void updateHomeNetworkButton();
    // Media browser helpers.
    void applyMediaList(const MediaList& list);
    void showMediaCount();
    void showSelectedName();
    void showPicture(const QString& path, const QImage& image);
    // The option selector of setting type index, without sending anything.
    void fillSettingOptions(int index);

    Ui::MainWindow* ui = nullptr;
    // The cameras known; the current one drives the window (its link and keep-alive).
    QList<Camera*> m_cameras;
    Camera* m_camera = nullptr;
    // The current camera's link wired to the window; undone when another becomes current.
    QList<QMetaObject::Connection> m_currentWiring;
    QComboBox* m_comboCameras = nullptr;
    QCheckBox* m_checkAllCameras = nullptr;
    AllCameras m_allCameras;
    UsbCameraFinder* m_usbFinder = nullptr;
    PasswordStore* m_passwords = nullptr;
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
    TransferPanel* m_transfer = nullptr;
    DownloadBatch* m_batch = nullptr;
    CameraOffload* m_offload = nullptr;
    PictureFetcher* m_pictures = nullptr;
    // Media browser: the newest list request; older answers are dropped.
    QNetworkReply* m_listReply = nullptr;
    // What to say when the list being read is none (empty after a failed request).
    QString m_listProblem;
    // The last command the camera did not carry out, as told in the status bar.
    QString m_commandProblem;
    QTimer* m_tipTimer = nullptr;
    BLEInterface* m_ble = nullptr;
    HardwareInfo m_hardInfo;
    // Gives up on the rest of a hardware-information reply that stopped coming.
    QTimer* m_hardInfoTimer = nullptr;
    // Bounds the wait for the whole hardware-information reply that the flow goes on from.
    QTimer* m_bleReplyTimer = nullptr;
    // Whether the camera's home network is asked on connection, before its access point.
    HomeNetworkSetup* m_homeCheck = nullptr;
    QPushButton* m_homeNetworkButton = nullptr;
    // The camera connected over Bluetooth, as its hardware information told it.
    int m_bleModel = 0;
    QString m_bleModelName;
    QString m_bleSerial;
    // The PC joins the access point once its password has been read.
    bool m_joinOnPassword = false;
    bool m_pairErrorShown = false;
    bool m_configWarningShown = false;
    // The Wi-Fi join in progress, if any.
    QPointer<WifiJoin> m_wifiJoin;
    int m_gridColumns = 3;
    int m_tipCounter = 0;
    int m_cameraModel = 5;
};
