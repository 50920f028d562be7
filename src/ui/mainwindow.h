#pragma once

#include <QList>
#include <QMainWindow>
#include <QMap>
#include <QNetworkReply>
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

class BluetoothPanel;
class CameraClock;
class CameraPicker;
class CameraRoster;
class CameraStatusView;
class CardReader;
class DownloadControl;
class DownloadedMarks;
class LivePreview;
class MediaList;
class PictureFetcher;
class PreviewForm;
class SettingsPanel;
class SelectionStatus;
class TileGrid;
class TransferPanel;
class WebcamPanel;

class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // The command channel: sends url while the camera answers, warns the user otherwise.
    void sendCmd(QString url);
    void initByConfigJs();

signals:
    // A camera on the home network, set up or recognised over Bluetooth, to be reached there.
    void cameraReady(const HomeNetworkCamera& camera);

public slots:
    // A camera set up on the home network (by Bluetooth): remembered, its password put in
    // the keyring, trusted, listed (or updated) and made the window's camera.
    void homeCameraReady(const HomeNetworkCamera& camera);

protected:
    // Asks before a running download is stopped; declined, the window stays.
    void closeEvent(QCloseEvent* event) override;

private slots:
    void slotVersionChanged(const QString& version);
    void slotCaptureStart();
    void slotCaptureStop();
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
    void slotScanDevice();
    void slotConnect2BleDevice();
    void slotfinishDownload(const QString& summary);
    void slotPowerOff();

private:
    // A fixed request in the current model's form for the current camera; empty when the
    // model has none.
    QString fixedRequest(CameraRequests::Action action, bool on = true) const;
    void showFixedRequests();
    // Issues a GET for a profile command without the online gate: profile selectors send
    // even while the camera is taken for unreachable.
    void sendDirect(const QString& url);
    // True, and the status bar says what waits, while the camera shown is a webcam.
    bool webcamWaits(const QString& what);
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
    void cameraCameOnline();
    // The user's choice in the camera list; a running download asks first.
    void chooseCamera(Camera::Id id);
    // The roster's current camera becomes the window's: everything of the one left ends or is
    // kept for it, and the window shows this one.
    void showCamera(Camera* camera);
    // True while the user sends to every listed camera at once.
    bool sendsToAll() const;
    // Says in the status bar where a choice sent to all cameras went; warns when it reached
    // none because none answers.
    void reportAll(const QString& what, const AllCameras::Outcome& outcome);
    void cameraWentOffline();
    DefaultModelFile defaultModelFile() const;
    // Tab follows the layout, the tool bar's and the first screen's widgets included.
    void followLayoutWithTab();
    // Takes the model the camera reported: selects its profile (when there is one).
    void applyReportedModel(int number, const QString& reportedName);
    // Media browser helpers.
    void applyMediaList(quint64 camera, const MediaList& list);
    void showMediaCount();
    void showSelectedName();
    void showPicture(const QString& path, const QImage& image);
    // What the user chose in the settings panel, for the camera shown or every camera.
    void chooseMode(const QString& label, const QString& command);
    void chooseSetting(const QString& type, const QString& value, const QString& command);
    // Whether answered is the answer to the setting value chosen last.
    bool isSettingSent(const QUrl& answered) const;

    Ui::MainWindow* ui = nullptr;
    CameraRoster* m_roster = nullptr;
    CameraClock* m_clock = nullptr;
    // The last clock outcome told, and the message it covered.
    QString m_clockTold;
    QString m_clockCovered;
    // The camera shown (the roster's current one), and what the window wired to it; undone
    // when another becomes current.
    QPointer<Camera> m_camera;
    QList<QMetaObject::Connection> m_currentWiring;
    LivePreview* m_preview = nullptr;
    // Why the running download ends, said before its summary ("… is gone.").
    CameraPicker* m_picker = nullptr;
    AllCameras m_allCameras;
    CameraStatusView* m_cameraStatus = nullptr;
    TileGrid* m_tileGrid = nullptr;
    DownloadedMarks* m_marks = nullptr; // the card shown, and what of it is downloaded
    SelectionStatus* m_selectionStatus = nullptr;
    CardReader* m_cardReader = nullptr;
    // Every camera's card and ticks as last seen; the one shown is in the grid.
    CameraCards m_cards;
    QComboBox* m_comboModel = nullptr;
    SettingsPanel* m_settings = nullptr;
    MediaSelection m_selectedFiles;
    TransferPanel* m_transfer = nullptr;
    DownloadControl* m_downloads = nullptr;
    WebcamPanel* m_webcam = nullptr;
    PictureFetcher* m_pictures = nullptr;
    // The last command the camera did not carry out, as told in the status bar.
    QString m_commandProblem;
    // The setting value chosen last, until the camera answers it: told in the status bar.
    struct SettingSent {
        QString type;
        QString value;
        QString command;
    } m_settingSent;
    BluetoothPanel* m_bluetooth = nullptr;
    QWidget* m_firstScreen = nullptr;
    bool m_configWarningShown = false;
    int m_gridColumns = 3;
    int m_cameraModel = 5;
};
