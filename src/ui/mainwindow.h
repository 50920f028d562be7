#pragma once

#include <QList>
#include <QMainWindow>
#include <QMap>
#include <QNetworkReply>
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

class BluetoothFlow;
class Camera;
class CameraLink;
class CameraOffload;
class CameraStatusView;
class DownloadBatch;
class MediaList;
class MediaListLoader;
class PasswordStore;
class PreviewKeepAlive;
class PictureFetcher;
class PreviewForm;
class TileGrid;
class UsbCameraFinder;
class TransferPanel;

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
    // A camera found on its home network over Bluetooth: said where, and handed on.
    void handOnHomeCamera(const HomeNetworkCamera& camera);
    // The boxes of the Bluetooth flow.
    void tellPairingNeeded(const QString& address);
    void tellWifiJoin(bool joined, const QString& problem, const QString& ssid, const QString& password);
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
    BluetoothFlow* m_bluetooth = nullptr;
    QPushButton* m_homeNetworkButton = nullptr;
    bool m_configWarningShown = false;
    int m_gridColumns = 3;
    int m_tipCounter = 0;
    int m_cameraModel = 5;
};
