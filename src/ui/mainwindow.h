#pragma once

#include <QList>
#include <QMainWindow>
#include <QMap>
#include <QNetworkReply>
#include <QPointer>
#include <QString>
#include <QStringList>

#include "allcameras.h"
#include "camera.h"
#include "cameracards.h"
#include "camerarequests.h"
#include "defaultmodelfile.h"
#include "hardwareinfo.h"
#include "homenetworkcamera.h"
#include "mediaselection.h"
#include "mediasource.h"

#include <QSet>

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
class CameraOffload;
class CameraRoster;
class CameraStatusView;
class CardReader;
class DownloadBatch;
class HomeNetworkSetup;
class MediaList;
class PictureFetcher;
class PreviewForm;
class TileGrid;
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
    // True while the camera shown answers; otherwise tells the user so.
    bool cameraAnswers();
    // The camera shown when it is the one an action was asked of (by id); otherwise nullptr,
    // and the user told that nothing was done (nothingDone: "Nothing was deleted").
    Camera* boundCamera(Camera::Id id, const QString& nothingDone);
    bool isShown(quint64 camera) const;
    static MediaSource sourceOf(const Camera* camera);
    // False, and the user told why, while a download runs: nothing leaves the card before
    // it is saved.
    bool cardMayChange();
    // The folder for a download, asked of the user; empty when cancelled or while a download
    // runs (said in the status bar).
    QString askDownloadFolder();
    void cameraCameOnline();
    // The user's choice in the camera list; a running download asks first.
    void chooseCamera(Camera::Id id);
    // The roster's current camera becomes the window's: everything of the one left ends or is
    // kept for it, and the window shows this one.
    void showCamera(Camera* camera);
    void showCameraList();
    // True while the user sends to every listed camera at once.
    bool sendsToAll() const;
    // Says in the status bar where a choice sent to all cameras went; warns when it reached
    // none because none answers.
    void reportAll(const QString& what, const AllCameras::Outcome& outcome);
    // The stream of camera is told to stop (a newer camera streams on until it is).
    void stopPreview(Camera* camera);
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
    void applyMediaList(quint64 camera, const MediaList& list);
    void showMediaCount();
    void showSelectedName();
    void showPicture(const QString& path, const QImage& image);
    // The option selector of setting type index, without sending anything.
    void fillSettingOptions(int index);

    Ui::MainWindow* ui = nullptr;
    CameraRoster* m_roster = nullptr;
    // The camera shown (the roster's current one), and what the window wired to it; undone
    // when another becomes current.
    QPointer<Camera> m_camera;
    QList<QMetaObject::Connection> m_currentWiring;
    // Cameras whose going and refusals the window listens to.
    QSet<Camera::Id> m_heard;
    // The camera whose preview was started last and not stopped.
    Camera::Id m_previewCamera = 0;
    // Why the running download ends, said before its summary ("… is gone.").
    QString m_batchEnd;
    QComboBox* m_comboCameras = nullptr;
    QCheckBox* m_checkAllCameras = nullptr;
    AllCameras m_allCameras;
    CameraStatusView* m_cameraStatus = nullptr;
    TileGrid* m_tileGrid = nullptr;
    CardReader* m_cardReader = nullptr;
    // Every camera's card and ticks as last seen; the one shown is in the grid.
    CameraCards m_cards;
    QComboBox* m_comboModel = nullptr;
    QComboBox* m_comboDevices = nullptr;
    QMap<QString, QMap<QString, QString>> m_settingsMap;
    MediaSelection m_selectedFiles;
    TransferPanel* m_transfer = nullptr;
    DownloadBatch* m_batch = nullptr;
    CameraOffload* m_offload = nullptr;
    PictureFetcher* m_pictures = nullptr;
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
