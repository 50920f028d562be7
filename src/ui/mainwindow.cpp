#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "bluetoothpanel.h"
#include "camera.h"
#include "cameraclock.h"
#include "cameralink.h"
#include "camerainfodialog.h"
#include "camerapicker.h"
#include "cameraprofile.h"
#include "camerarequests.h"
#include "cameraroster.h"
#include "camerastatusview.h"
#include "cardreader.h"
#include "defaultmodelfile.h"
#include "destinationview.h"
#include "dlgshowpict.h"
#include "elidingcombobox.h"
#include "firstscreen.h"
#include "downloadcontrol.h"
#include "downloadedmarks.h"
#include "homecameratrust.h"
#include "livepreview.h"
#include "losstext.h"
#include "medialist.h"
#include "mediaplayer.h"
#include "passwordstore.h"
#include "picturefetcher.h"
#include "preferences.h"
#include "previewkeepalive.h"
#include "prompt.h"
#include "rememberedcameras.h"
#include "selectionstatus.h"
#include "settingspanel.h"
#include "systemfilepath.h"
#include "theme.h"
#include "tilegrid.h"
#include "transferpanel.h"
#include "webcampanel.h"

#include <QAbstractSlider>
#include <QAction>
#include <QBoxLayout>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDebug>
#include <QDesktopServices>
#include <QFrame>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

namespace {
const char* const kSetClockKey = "camera/setClock";
const char* const kGeometryKey = "window/geometry";
constexpr int kClockMessageMs = 5000;
} // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
    , m_allCameras(path::refDir())
{
    ui->setupUi(this);
    setWindowIcon(QIcon(QStringLiteral(":/image/image/gopro.ico")));
    // Where the user left it, maximized or not; the first time, most of the screen it opens on
    // (the grid wants the room), with space left for the window's frame.
    if (!restoreGeometry(preferences().value(QLatin1String(kGeometryKey)).toByteArray())) {
        const QRect area = screen()->availableGeometry();
        resize(area.size() * 0.95);
        move(area.center() - rect().center());
    }

    // The slider and the grid start in agreement: 4 tiles per row.
    ui->horizontalSlider->setMinimum(2);
    ui->horizontalSlider->setMaximum(8);
    ui->horizontalSlider->setValue(4);
    m_gridColumns = 4;
    ui->checkBox_3rdPreview->setChecked(true);
    ui->horizontalSlider->setTickInterval(1);

    // The cameras: found from the end of this constructor on.
    m_roster = new CameraRoster(this);

    connect(ui->pbStart_LiveView, &QPushButton::clicked, this, &MainWindow::slotStartLiveView);
    connect(ui->pbStopLiveView, &QPushButton::clicked, this, &MainWindow::slotStopLiveView);
    connect(ui->horizontalSlider, &QSlider::valueChanged, this, &MainWindow::slotSliderChanged);

    // Inside the window, below the grid: a window of its own would keep the program running
    // after the main window is closed.
    m_transfer = new TransferPanel(this);
    ui->gridLayout_2->addWidget(m_transfer, 3, 0, 1, 5);
    m_downloads = new DownloadControl(m_roster, m_transfer, this);
    connect(m_downloads, &DownloadControl::progress, this, &MainWindow::slotDownloadProgress);
    connect(m_downloads, &DownloadControl::finished, this, &MainWindow::slotfinishDownload);
    connect(m_downloads, &DownloadControl::message, this, [this](const QString& text) { statusBar()->showMessage(text); });

    m_settings = new SettingsPanel({ui->comboBoxVideo, ui->comboBoxLiveview_BitRate, ui->comboBoxLiveView_WindowSize,
                                    ui->comboBoxSettings_ISO, ui->comboBoxChangeTo},
                                   this);
    connect(m_settings, &SettingsPanel::modeChosen, this, &MainWindow::chooseMode);
    connect(m_settings, &SettingsPanel::settingChosen, this, &MainWindow::chooseSetting);
    connect(m_settings, &SettingsPanel::streamOptionChosen, this, &MainWindow::sendDirect);
    connect(ui->checkBox_vc, &QCheckBox::clicked, this, &MainWindow::slotVoiceOnOff);
    connect(ui->checkBox_qc, &QCheckBox::clicked, this, &MainWindow::slotQuikCaptureOnOff);
    connect(ui->checkBox_gps, &QCheckBox::clicked, this, &MainWindow::slotGpsOnOff);
    ui->mainToolBar->addWidget(new QLabel(QStringLiteral("Select GoPro "), this));
    m_comboModel = new ElidingComboBox(7, this);
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
        {"pbGuide", ":/image/image/guide.png", tr("connection guide."), true,
         &MainWindow::slotConnectionGuide},
        {"pbAbout", ":/image/image/about.png", tr("show the app information."), true,
         &MainWindow::slotAboutInfo},
    };
    for (const ToolButton& tool : toolButtons) {
        auto* button = new QPushButton(this);
        button->setObjectName(QLatin1String(tool.name));
        button->setIcon(QIcon(QLatin1String(tool.icon)));
        button->setIconSize(QSize(16, 16));
        button->setToolTip(tool.toolTip);
        // Flat, as the style draws it: no outline, but the focus ring all the same.
        button->setFlat(true);
        if (!tool.visible)
            button->hide();
        ui->mainToolBar->addWidget(button);
        connect(button, &QPushButton::clicked, this, tool.slot);
    }
    // Keys that work wherever the focus is in the window (a text field keeps its own Delete).
    const struct {
        QKeySequence::StandardKey keys;
        void (MainWindow::*slot)();
    } keys[] = {
        {QKeySequence::Refresh, &MainWindow::slotRefresh},
        {QKeySequence::Delete, &MainWindow::slotDeleteFiles},
        {QKeySequence::HelpContents, &MainWindow::slotConnectionGuide},
    };
    for (const auto& key : keys) {
        auto* action = new QAction(this);
        action->setShortcuts(key.keys);
        addAction(action);
        connect(action, &QAction::triggered, this, key.slot);
    }
    auto* quit = new QAction(this);
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    addAction(quit);
    connect(quit, &QAction::triggered, this, &QWidget::close);

    m_bluetooth = new BluetoothPanel(ui->mainToolBar, this);
    connect(m_bluetooth, &BluetoothPanel::status, this, [this](const QString& text) { statusBar()->showMessage(text); });
    connect(m_bluetooth, &BluetoothPanel::modelReported, this, &MainWindow::applyReportedModel);
    connect(m_bluetooth, &BluetoothPanel::cameraReady, this, &MainWindow::cameraReady);
    // In the grid's place while no camera answers.
    auto* firstScreen = new FirstScreen(m_roster, ui->scrollAreaPictureView, this);
    ui->gridLayout_2->addWidget(firstScreen, 2, 0, 1, 5);
    firstScreen->setHomeNetworkUsable(m_bluetooth->homeNetworkUsable());
    connect(m_bluetooth, &BluetoothPanel::homeNetworkUsableChanged, firstScreen, &FirstScreen::setHomeNetworkUsable);
    connect(firstScreen, &FirstScreen::bluetoothAsked, m_bluetooth, &BluetoothPanel::scan);
    connect(firstScreen, &FirstScreen::homeNetworkAsked, m_bluetooth, &BluetoothPanel::openHomeNetwork);
    connect(firstScreen, &FirstScreen::guideAsked, this, &MainWindow::slotConnectionGuide);
    m_firstScreen = firstScreen;

    ui->scrollAreaPictureView->setStyleSheet(
        QStringLiteral("QScrollArea {background-color:transparent;}"));
    ui->scrollAreaPictureView->viewport()->setStyleSheet(
        QStringLiteral("background-color:transparent;"));
    m_tileGrid = new TileGrid(ui->scrollAreaPictureView, &m_selectedFiles, this);
    m_tileGrid->setColumns(m_gridColumns);
    connect(m_tileGrid, &TileGrid::selectedChanged, this, &MainWindow::slotFileSelected);
    // Download and Delete act on what the grid shows ticked: files no longer shown leave the
    // selection.
    m_marks = new DownloadedMarks(m_tileGrid, m_downloads, this);
    connect(m_marks, &DownloadedMarks::shown, this, [this] {
        if (m_selectedFiles.retain([this](const QString& path) { return m_tileGrid->media().contains(path); }))
            m_tileGrid->showTicks();
        showSelectedName(); // the list also tells what the selection comes to
    });
    connect(m_tileGrid, &TileGrid::rangeSelected, this, &MainWindow::slotRangeSelected);
    connect(m_tileGrid, &TileGrid::doubleClicked, this, &MainWindow::slotShow);
    connect(m_tileGrid, &TileGrid::zoomRequested, this,
            [this](int steps) { ui->horizontalSlider->setValue(ui->horizontalSlider->value() - steps); });
    // The tile only asks: it may be deleted by the next list before the picture comes. What
    // comes is shown only while its camera is still the one shown.
    m_pictures = new PictureFetcher(this);
    connect(m_tileGrid, &TileGrid::pictureRequested, this,
            [this](const QString& path) { m_pictures->fetch(m_tileGrid->source(), path); });
    connect(m_pictures, &PictureFetcher::fetched, this,
            [this](quint64 camera, const QString& path, const QImage& image) {
                if (isShown(camera))
                    showPicture(path, image);
            });
    connect(m_pictures, &PictureFetcher::progress, this,
            [this](quint64 camera, const QString& path, qint64 received, qint64 total) {
                if (total > 0 && isShown(camera))
                    statusBar()->showMessage(tr("Opening %1: %2 %").arg(MediaList::fileName(path))
                                                 .arg(received * 100 / total));
            });
    // Told from the event loop, not from inside the network reply's handler.
    connect(
        m_pictures, &PictureFetcher::failed, this,
        [this](quint64 camera, const QString& path, const QString& reason) {
            if (!isShown(camera))
                return;
            showMediaCount();
            Prompt::warning(this, tr("warning"),
                            tr("%1 could not be shown: %2")
                                .arg(MediaList::fileName(path), reason)
                                .toHtmlEscaped());
        },
        Qt::QueuedConnection);
    connect(m_tileGrid, &TileGrid::selectAllRequested, this, &MainWindow::slotSelectAll);
    connect(m_tileGrid, &TileGrid::selectNoneRequested, this, &MainWindow::slotSelectNone);
    m_preview = new LivePreview(this);
    m_webcam = new WebcamPanel(m_roster, this);
    // With the capture controls: the camera's other way of taking pictures, in the panel with
    // room to spare, so the panels above the grid get no taller.
    ui->gridLayout->addWidget(m_webcam->controls(), 2, 0, 1, 2);
    ui->gridLayout->addWidget(m_webcam->picture(), 3, 0, 1, 2);
    connect(m_webcam, &WebcamPanel::message, this, [this](const QString& text) { statusBar()->showMessage(text); });
    m_cardReader = new CardReader(this);
    connect(m_cardReader, &CardReader::loaded, this, &MainWindow::applyMediaList);
    connect(m_cardReader, &CardReader::failed, this, [this](quint64 camera, const QString& why) {
        if (isShown(camera) && m_camera->isOnline() && !why.isEmpty())
            statusBar()->showMessage(why);
    });

    connect(ui->pbRefresh, &QPushButton::clicked, this, [this] {
        if (!webcamWaits(tr("the card")))
            slotRefresh();
    });
    connect(ui->pbStart_Capture, &QPushButton::clicked, this, &MainWindow::slotCaptureStart);
    connect(ui->pbStop, &QPushButton::clicked, this, &MainWindow::slotCaptureStop);
    connect(ui->pbDelete, &QPushButton::clicked, this, &MainWindow::slotDeleteFiles);
    connect(ui->pbDownload, &QPushButton::clicked, this, &MainWindow::slotDownload);
    // The click keeps downloading the ticked files; the button's menu has the rest.
    auto* downloadAll = new QAction(tr("Download from all cameras"), ui->pbDownload);
    downloadAll->setObjectName(QStringLiteral("actionDownloadAllCameras"));
    connect(downloadAll, &QAction::triggered, this, &MainWindow::slotDownloadAllCameras);
    ui->pbDownload->addAction(downloadAll);
    ui->pbDownload->setContextMenuPolicy(Qt::ActionsContextMenu);
    // The same menu behind a visible arrow beside the button, for those who never right-click.
    auto* downloadMenu = new QMenu(this);
    downloadMenu->addAction(downloadAll);
    auto* downloadMore = new QToolButton(this);
    downloadMore->setObjectName(QStringLiteral("pbDownloadMenu"));
    downloadMore->setArrowType(Qt::DownArrow);
    downloadMore->setAutoRaise(true);
    downloadMore->setPopupMode(QToolButton::InstantPopup);
    downloadMore->setMenu(downloadMenu);
    downloadMore->setToolTip(tr("More ways to download"));
    for (auto* row : ui->pbDownload->parentWidget()->findChildren<QBoxLayout*>()) {
        if (const int at = row->indexOf(ui->pbDownload); at >= 0) {
            row->insertWidget(at + 1, downloadMore);
            row->insertWidget(at, new DestinationView(m_downloads, m_marks, this));
            break;
        }
    }
    // Format empties the whole card: with the card's actions, set apart from them, and saying
    // what it does rather than an icon among harmless ones.
    auto* format = new QPushButton(QIcon(QStringLiteral(":/image/image/format.png")), tr("Format card…"), this);
    format->setObjectName(QStringLiteral("pbFormat"));
    format->setToolTip(tr("Format SD card."));
    connect(format, &QPushButton::clicked, this, &MainWindow::slotReformat);
    auto* apart = new QFrame(this);
    apart->setFrameShape(QFrame::VLine);
    ui->horizontalLayout->addSpacing(12);
    ui->horizontalLayout->addWidget(apart);
    ui->horizontalLayout->addWidget(format);

    // Permanent, so at the right: the messages keep the left.
    m_selectionStatus = new SelectionStatus(statusBar(), ui->pbDownload, ui->pbDelete, this);
    connect(m_downloads, &DownloadControl::runningChanged, m_selectionStatus, &SelectionStatus::setDownloading);
    m_cameraStatus = new CameraStatusView(this);
    m_cameraStatus->setObjectName(QStringLiteral("cameraStatus"));
    statusBar()->addPermanentWidget(m_cameraStatus);

    // The camera list: the window shows and controls the camera chosen there.
    m_picker = new CameraPicker(m_roster, ui->mainToolBar, this);
    connect(m_picker, &CameraPicker::chosen, this, &MainWindow::chooseCamera);
    connect(m_picker, &CameraPicker::message, this, [this](const QString& text) { statusBar()->showMessage(text); });
    // A camera that left keeps its card here for its return.
    connect(m_roster, &CameraRoster::currentChanged, this, &MainWindow::showCamera);
    connect(m_roster, &CameraRoster::problem, this,
            [this](const QString& text) { statusBar()->showMessage(text); });

    // Cameras on the home network: a refusal is told once, from the event loop.
    connect(
        HomeCameraTrust::instance(), &HomeCameraTrust::refused, this,
        [this](const QHostAddress&, HomeCameraTrust::Refusal, const QString& message) {
            Prompt::warning(this, tr("Velkamo"), message.toHtmlEscaped());
        },
        Qt::QueuedConnection);
    connect(m_roster->passwords(), &PasswordStore::stored, this, [this](const QString& serial, bool inKeyring) {
        if (inKeyring)
            return;
        // "HERO12 Black …583", as the camera list names it.
        QString name = QStringLiteral("…") + serial.right(3);
        for (const Camera* camera : m_roster->cameras()) {
            if (camera->serial() == serial && !camera->modelName().isEmpty())
                name = camera->modelName() + QLatin1Char(' ') + name;
        }
        statusBar()->showMessage(
            tr("No keyring: the password of %1 is kept until Velkamo closes").arg(name));
    });
    // The cameras' clocks follow this PC's unless the user keeps them as they are.
    m_clock = new CameraClock(m_roster, this);
    // Told over what the status bar says (a camera coming online shows its card's count at the
    // same time), which comes back a while later unless something else was told meanwhile.
    connect(m_clock, &CameraClock::message, this, [this](const QString& text) {
        if (statusBar()->currentMessage() != m_clockTold)
            m_clockCovered = statusBar()->currentMessage();
        m_clockTold = text;
        statusBar()->showMessage(text);
        QTimer::singleShot(kClockMessageMs, this, [this, text] {
            if (statusBar()->currentMessage() == text)
                statusBar()->showMessage(m_clockCovered);
        });
    });
    ui->checkBox_clock->setChecked(preferences().value(QLatin1String(kSetClockKey), true).toBool());
    m_clock->setEnabled(ui->checkBox_clock->isChecked());
    connect(ui->checkBox_clock, &QCheckBox::toggled, this, [this](bool on) {
        m_clock->setEnabled(on);
        preferences().setValue(QLatin1String(kSetClockKey), on);
    });
    // Which camera it is: asked from the camera list, or by a click on the status bar's glance.
    const auto showInfo = [this](Camera::Id id) { CameraInfoDialog::showFor(m_roster->camera(id), m_clock, this); };
    connect(m_picker, &CameraPicker::infoAsked, this, showInfo);
    connect(m_cameraStatus, &CameraStatusView::clicked, this, [this, showInfo] { showInfo(m_roster->currentId()); });
    followLayoutWithTab();
    // What Bluetooth set-up hands over is reached from here on.
    connect(this, &MainWindow::cameraReady, this, &MainWindow::homeCameraReady);
    m_roster->start();
}

void MainWindow::followLayoutWithTab()
{
    // As the eye reads: the tool bar, the panels left to right, the card's row, then the grid
    // or the ways in that stand in its place.
    QList<QWidget*> order;
    for (QAction* action : ui->mainToolBar->actions()) {
        if (QWidget* widget = ui->mainToolBar->widgetForAction(action))
            order << widget;
    }
    order << ui->comboBoxVideo << ui->pbStart_Capture << ui->pbStop << ui->comboBoxLiveview_BitRate
          << ui->comboBoxLiveView_WindowSize << ui->pbStart_LiveView << ui->checkBox_3rdPreview
          << ui->pbStopLiveView << ui->checkBox_vc << ui->checkBox_qc << ui->checkBox_gps << ui->checkBox_clock
          << ui->comboBoxSettings_ISO << ui->comboBoxChangeTo << ui->horizontalSlider << ui->pbRefresh << ui->pbDownload
          << findChild<QWidget*>(QStringLiteral("pbDownloadMenu")) << ui->pbDelete
          << findChild<QWidget*>(QStringLiteral("pbFormat"));
    for (QWidget* widget : m_firstScreen->findChildren<QWidget*>()) {
        if (widget->focusPolicy() & Qt::TabFocus)
            order << widget;
    }
    order << ui->scrollAreaPictureView;
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));
}

MainWindow::~MainWindow()
{
    // The grid reads the selection, a member that is gone before the widgets are.
    delete m_marks;
    m_marks = nullptr;
    delete m_tileGrid;
    m_tileGrid = nullptr;
    // What fetches through the cameras' own managers ends before the roster (a child made
    // before them, so deleted before them) takes the cameras and their managers.
    delete m_downloads;
    m_downloads = nullptr;
    delete m_webcam;
    m_webcam = nullptr;
    delete m_cardReader;
    m_cardReader = nullptr;
    delete m_pictures;
    m_pictures = nullptr;
    delete ui;
    ui = nullptr;
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (m_downloads->isRunning()
        && !Prompt::confirm(this, tr("Velkamo"),
                            tr("A download is running. Stop it and quit? Files already saved stay; "
                               "the file being fetched is removed."))) {
        event->ignore();
        return;
    }
    preferences().setValue(QLatin1String(kGeometryKey), saveGeometry());
    // The download may have ended while the question was open; then this only waits for the
    // cameras to hear that turbo transfer is to go off.
    m_downloads->stopForQuit();
    // Each webcam camera is told to stop, leave webcam mode and take wired control back.
    m_webcam->stopForQuit();
    QMainWindow::closeEvent(event);
}

// ---------------------------------------------------------------------------------------
// Cameras

void MainWindow::homeCameraReady(const HomeNetworkCamera& home)
{
    if (!home.isComplete())
        return;
    if (!RememberedCameras().remember(home))
        qDebug() << "the camera" << home.serial << "could not be remembered";
    Camera* camera = m_roster->addHome(home);
    m_roster->passwords()->store(home.serial, home.password);
    // What the set-up told stays in view over the switch.
    const QString told = statusBar()->currentMessage();
    if (camera && camera != m_camera)
        chooseCamera(camera->id());
    if (!told.isEmpty() && statusBar()->currentMessage().isEmpty())
        statusBar()->showMessage(told);
}

bool MainWindow::isShown(quint64 camera) const
{
    return m_camera && m_camera->id() == camera;
}

MediaSource MainWindow::sourceOf(const Camera* camera)
{
    return {camera->id(), camera->address(), camera->network(), camera->model()};
}

bool MainWindow::sendsToAll() const
{
    return m_picker->sendsToAll();
}

void MainWindow::reportAll(const QString& what, const AllCameras::Outcome& outcome)
{
    qDebug() << what << "to all cameras:" << outcome.sentTo << "left alone:" << outcome.leftOut;
    statusBar()->showMessage(AllCameras::describe(what, outcome));
    if (outcome.sentTo.isEmpty())
        Prompt::warning(this, tr("warning"), tr("Maybe connection is lost."));
}

void MainWindow::chooseCamera(Camera::Id id)
{
    if (!m_camera || id == m_camera->id())
        return;
    if (m_downloads->batchRunning()
        && !Prompt::confirm(this, tr("Velkamo"),
                            tr("A download from %1 is running. Stop it and switch cameras?")
                                .arg(m_camera->displayName()))) {
        m_picker->show();
        return;
    }
    m_downloads->stopBatch();
    m_roster->setCurrent(id);
}

Camera* MainWindow::boundCamera(Camera::Id id, const QString& nothingDone)
{
    if (isShown(id))
        return m_camera;
    // Asked of one camera, answered while another is shown: the answer was for that one.
    const Camera* asked = m_roster->camera(id);
    Prompt::warning(this, tr("Velkamo"),
                    tr("%1: the camera shown changed from %2 to %3 while you were asked.")
                        .arg(nothingDone, asked ? asked->displayName() : tr("the camera"),
                             m_camera ? m_camera->displayName() : tr("none"))
                        .toHtmlEscaped());
    return nullptr;
}

void MainWindow::showCamera(Camera* camera)
{
    // A download cut by the switch is told, not wiped with the rest of the status bar.
    QString told;
    if (Camera* left = m_camera) {
        // A batch fetches from the camera it started with, never from the next one.
        if (m_downloads->batchRunning()) {
            m_downloads->stopBatch();
            told = statusBar()->currentMessage();
        }
        // A newer camera streams on to this PC until it is told to stop, into the next
        // camera's preview.
        m_preview->leave(left);
        for (const QMetaObject::Connection& connection : std::as_const(m_currentWiring))
            disconnect(connection);
        m_currentWiring.clear();
        m_cards.setTicks(left->id(), m_selectedFiles);
        if (m_marks->card().isValid())
            m_cards.setCard(left->id(), m_marks->card());
    }
    m_camera = camera;
    m_currentWiring = {
        connect(camera, &Camera::cameOnline, this, &MainWindow::cameraCameOnline),
        connect(camera, &Camera::wentOffline, this, &MainWindow::cameraWentOffline),
        connect(camera, &Camera::cardCommandsAnswered, this, &MainWindow::slotRefresh),
        connect(camera, &Camera::commandFailed, this,
                [this](const QUrl& command, const QString& why) {
                    if (isSettingSent(command)) {
                        m_settings->refused(m_settingSent.command);
                        m_commandProblem = tr("The camera did not take %1 %2 (%3).")
                                               .arg(m_settingSent.type, m_settingSent.value, why);
                        m_settingSent = {};
                    } else {
                        m_commandProblem =
                            tr("The camera did not carry out %1 (%2).")
                                .arg(command.toString(QUrl::RemoveScheme | QUrl::RemoveAuthority), why);
                    }
                    statusBar()->showMessage(m_commandProblem);
                }),
        connect(camera, &Camera::commandTaken, this,
                [this](const QUrl& command) {
                    if (!isSettingSent(command))
                        return;
                    statusBar()->showMessage(tr("The camera took %1 %2.").arg(m_settingSent.type, m_settingSent.value));
                    m_settingSent = {};
                }),
        connect(camera, &Camera::statusReceived, m_cameraStatus, &CameraStatusView::showStatus),
        connect(camera, &Camera::statusReceived, m_settings, &SettingsPanel::showStatus),
        // Reached another way (a cable plugged or pulled): its files come from there now.
        connect(camera, &Camera::routeChanged, this,
                [this] { m_tileGrid->setSource(sourceOf(m_camera)); }),
        // The camera told its model: its profile, where there is one.
        connect(camera, &Camera::changed, this, [this] {
            const QString model = QStringLiteral("hero%1").arg(m_camera->model());
            if (m_camera->model() > 0 && m_camera->model() != m_cameraModel
                && m_comboModel->findText(model) >= 0) {
                m_comboModel->setCurrentText(model);
                slotVersionChanged(model);
            }
        }),
    };

    // Its card and ticks as last seen, greyed until it answers; everything asked from now on
    // is its.
    m_cardReader->cancel();
    m_tileGrid->setSource(sourceOf(camera));
    m_selectedFiles = m_cards.ticks(camera->id());
    m_marks->setMedia(m_cards.card(camera->id()));
    m_tileGrid->showTicks();
    m_selectionStatus->show(m_tileGrid->media(), m_selectedFiles.paths());
    ui->scrollAreaPictureView->setEnabled(false);
    m_cameraStatus->clear();
    m_settingSent = {};
    m_settings->showStatus(camera->status());
    statusBar()->showMessage(told);
    if (camera->model() > 0)
        m_cameraModel = camera->model();
    else
        m_roster->chooseModel(m_cameraModel);
    if (camera->isOnline()) {
        m_cameraStatus->showStatus(camera->status());
        cameraCameOnline();
    }
}

// ---------------------------------------------------------------------------------------
// Command channel

QString MainWindow::fixedRequest(CameraRequests::Action action, bool on) const
{
    return CameraRequests::url(m_camera->address(), m_cameraModel, action, on).toString();
}

void MainWindow::showFixedRequests()
{
    // A control whose request the model does not have is disabled, and says why.
    const struct {
        QWidget* control;
        CameraRequests::Action action;
    } controls[] = {{ui->checkBox_vc, CameraRequests::Action::Voice},
                    {ui->checkBox_qc, CameraRequests::Action::QuikCapture},
                    {ui->checkBox_gps, CameraRequests::Action::Gps}};
    for (const auto& [control, action] : controls) {
        const QString why = CameraRequests::missingReason(m_cameraModel, action);
        control->setEnabled(why.isEmpty());
        control->setToolTip(why);
    }
}

void MainWindow::sendCmd(QString url)
{
    if (url.isEmpty()) {
        qDebug() << "no request for this model, nothing sent";
        return;
    }
    if (!webcamWaits(tr("the command")) && cameraAnswers())
        m_camera->link()->send(url);
}

bool MainWindow::webcamWaits(const QString& what)
{
    if (!m_webcam || !m_webcam->isWebcam(m_camera))
        return false;
    statusBar()->showMessage(WebcamPanel::waitText(m_camera, what));
    return true;
}

bool MainWindow::cameraAnswers()
{
    // What counts is the state when the user acted: the camera may answer while the box is
    // open, and a command refused must stay refused.
    const bool online = m_camera && m_camera->isOnline() && m_camera->link();
    if (!online)
        Prompt::warning(this, tr("warning"), tr("Maybe connection is lost."));
    return online;
}

bool MainWindow::cardMayChange()
{
    if (!m_downloads->isRunning())
        return true;
    Prompt::warning(this, tr("Velkamo"),
                    tr("A download is running: nothing is deleted from the card until it has "
                       "finished or been stopped."));
    return false;
}

void MainWindow::sendDirect(const QString& url)
{
    if (m_camera && m_camera->link())
        m_camera->link()->sendDirect(url);
}

void MainWindow::cameraWentOffline()
{
    m_cameraStatus->clear();
    // The grid and its ticks stay, shown as not current, until the camera answers again: a
    // short drop must not lose a selection of hundreds of files.
    m_cardReader->cancel();
    ui->scrollAreaPictureView->setEnabled(false);
    statusBar()->showMessage(QString());
}

void MainWindow::cameraCameOnline()
{
    slotRefresh();
    const QString model = QStringLiteral("hero%1").arg(m_cameraModel);
    m_comboModel->setCurrentText(model);
    slotVersionChanged(model);
}

void MainWindow::slotCaptureStart()
{
    qDebug() << "clicked CaptureStart";
    if (sendsToAll())
        reportAll(tr("Start"), m_allCameras.sendAction(m_roster->cameras(), CameraRequests::Action::ShutterOn));
    else if (!webcamWaits(tr("Start")))
        sendCmd(fixedRequest(CameraRequests::Action::ShutterOn));
}

void MainWindow::slotCaptureStop()
{
    qDebug() << "clicked CaptureStop";
    if (sendsToAll())
        reportAll(tr("Stop"), m_allCameras.sendAction(m_roster->cameras(), CameraRequests::Action::ShutterOff));
    else if (!webcamWaits(tr("Stop")))
        sendCmd(fixedRequest(CameraRequests::Action::ShutterOff));
}

void MainWindow::slotVoiceOnOff(bool on)
{
    sendCmd(fixedRequest(CameraRequests::Action::Voice, on));
}

void MainWindow::slotQuikCaptureOnOff(bool on)
{
    sendCmd(fixedRequest(CameraRequests::Action::QuikCapture, on));
}

void MainWindow::slotGpsOnOff(bool on)
{
    sendCmd(fixedRequest(CameraRequests::Action::Gps, on));
}

void MainWindow::slotSleep()
{
    qDebug() << "clicked sleep";
    sendDirect(fixedRequest(CameraRequests::Action::Sleep));
}

void MainWindow::slotReformat()
{
    if (!cardMayChange() || webcamWaits(tr("Format")))
        return;
    // Bound to the camera shown now: the answer is for this one, whatever is shown by then.
    const Camera::Id asked = m_camera->id();
    const QString lost = LossText::format(m_camera->shortName(), m_marks->card());
    if (!Prompt::confirm(this, tr("Velkamo"), tr("CAUTION: Are you sure to format?"), lost))
        return;
    if (!cardMayChange() || !boundCamera(asked, tr("Nothing was formatted")))
        return;
    if (!cameraAnswers()) {
        slotRefresh();
        return;
    }
    const QString format = fixedRequest(CameraRequests::Action::Format);
    m_camera->link()->send(format);
    m_camera->link()->awaitAnswer(format);
}

// ---------------------------------------------------------------------------------------
// Model profiles and the settings panel


void MainWindow::initByConfigJs()
{
    const QDir refDir = path::refDir();
    qDebug() << refDir.path();
    m_comboModel->addItems(CameraProfile::installedModels(refDir));

    QString name = defaultModelFile().version();
    if (name.isEmpty())
        name = QStringLiteral("hero5");
    m_comboModel->setCurrentText(name);
    slotVersionChanged(name);
}

DefaultModelFile MainWindow::defaultModelFile() const
{
    return DefaultModelFile(path::refDir().filePath(QStringLiteral("gopro_default.json")),
                            DefaultModelFile::userFilePath());
}

void MainWindow::slotVersionChanged(const QString& version)
{
    const bool recordFailed =
        defaultModelFile().setVersion(version) == DefaultModelFile::WriteResult::WriteFailed;
    m_cameraModel = CameraProfile::modelNumber(version);
    // Taken for the camera shown, not remembered for it: only what a camera tells is.
    m_roster->chooseModel(m_cameraModel);

    CameraProfile profile;
    const bool loaded = CameraProfile::load(path::refDir().filePath(CameraProfile::fileNameFor(version)), &profile);
    m_settings->show(loaded ? &profile : nullptr);
    showFixedRequests();
    slotRefresh();

    // Told once: the same failure comes back with every model applied. And told from the
    // event loop, never from here: while a box is open, replies and timers go on, and one
    // of them applying a model in the middle of this one would fill every selector twice.
    if (recordFailed && !m_configWarningShown) {
        m_configWarningShown = true;
        QTimer::singleShot(0, this, [this] {
            Prompt::warning(this, tr("Velkamo"), tr("write config failed!"));
        });
    }
}

void MainWindow::chooseMode(const QString& label, const QString& command)
{
    if (sendsToAll())
        reportAll(label, m_allCameras.sendMode(m_roster->cameras(), label));
    else if (!webcamWaits(tr("the mode")))
        sendDirect(command);
}

void MainWindow::chooseSetting(const QString& type, const QString& value, const QString& command)
{
    qDebug() << command;
    if (sendsToAll()) {
        reportAll(QStringLiteral("%1 %2").arg(type, value), m_allCameras.sendSetting(m_roster->cameras(), type, value));
        return;
    }
    if (webcamWaits(tr("the setting")))
        return;
    m_settingSent = {type, value, command};
    sendDirect(command);
}

bool MainWindow::isSettingSent(const QUrl& answered) const
{
    // Answered at the camera's own address, which the profile's URL may not name.
    const QUrl sent(m_settingSent.command, QUrl::TolerantMode);
    return !m_settingSent.command.isEmpty() && sent.path() == answered.path() && sent.query() == answered.query();
}

// ---------------------------------------------------------------------------------------
// Live preview

void MainWindow::slotStartLiveView()
{
    qDebug() << "Start live";
    const bool otherProgram = ui->checkBox_3rdPreview->checkState() != Qt::Unchecked;
    // A stream the built-in player cannot decode would only fill a black window: the camera
    // is not asked for it.
    if (webcamWaits(tr("the preview")) || (!otherProgram && !m_preview->canShow(m_cameraModel)))
        return;
    // Read before the warning: a camera answering while it is open got no start.
    const bool online = m_camera->isOnline();
    // sendCmd warns by itself when the camera is away; the player or the hint follows anyway.
    sendCmd(LivePreview::startUrl(m_camera->address(), m_cameraModel).toString());
    m_preview->started(m_camera, m_cameraModel, online, otherProgram);
}

void MainWindow::slotStopPreviewVideo()
{
    qDebug() << "receive signal stop preivew";
}

void MainWindow::slotStopLiveView()
{
    qDebug() << "Stop live";
    // Without a model there is no request to send; the keep-alive stops all the same.
    m_preview->stop(m_camera, m_comboModel->currentText().isEmpty() ? 0 : m_cameraModel);
}

void MainWindow::showPicture(const QString& path, const QImage& image)
{
    showMediaCount();
    // The window's child, so that it outlives the tile; two thirds of the screen the window
    // is on (the whole virtual desktop spans every monitor).
    auto* dialog = new dlgshowpict(this);
    const QRect area = screen()->availableGeometry();
    dialog->resize(int(double(area.width()) / 1.5), int(double(area.height()) / 1.5));
    dialog->setImage(image);
    dialog->setWindowTitle(MediaList::fileName(path));
    dialog->show();
}

void MainWindow::slotShow(const QString& file)
{
    if (m_downloads->batchRunning())
        return;
    qDebug() << "show video";
    // The player's back end fetches by itself and can neither pin the camera's certificate
    // nor carry its password: a video of the home network is played from a download.
    if (m_camera->address().link() == CameraAddress::Link::Home) {
        Prompt::information(this, tr("Velkamo"),
                            tr("%1 is on a camera on the home network: download it, then play it "
                               "from your folder. Velkamo plays nothing straight from such a camera, "
                               "whose certificate and password the player cannot check.")
                                .arg(MediaList::fileName(file).toHtmlEscaped()));
        return;
    }
    auto* player = new mediaplayer(nullptr, true);
    player->show();
    player->setSource(CameraRequests::file(m_camera->address(), file));
    player->activateWindow();
    player->playVideo();
}

// ---------------------------------------------------------------------------------------
// Media browser

void MainWindow::slotRefresh()
{
    // A webcam's card is read once it is a camera again.
    if (!m_camera || (m_webcam && m_webcam->isWebcam(m_camera)))
        return;
    // The model may have been told or chosen since: its card is read, and its thumbnails
    // asked for, in that model's requests.
    m_tileGrid->setSource(sourceOf(m_camera));
    m_cardReader->read(sourceOf(m_camera));
}

void MainWindow::applyMediaList(quint64 camera, const MediaList& list)
{
    // A list read for a camera no longer shown is its card all the same, kept for its return.
    if (!isShown(camera)) {
        if (list.isComplete())
            m_cards.setCard(camera, list);
        return;
    }
    if (!list.isComplete()) {
        m_marks->setMedia(list); // a first screen; the whole list follows
        return;
    }
    qDebug() << "nCount=" << list.count();
    // Only the tiles in view are made; the rest of the list waits for scrolling.
    m_marks->setMedia(list);
    m_cards.setCard(camera, list);
    ui->scrollAreaPictureView->setEnabled(true);
    showMediaCount();
}

void MainWindow::showMediaCount()
{
    if (!m_camera || !m_camera->isOnline() || !m_marks->card().isValid())
        return;
    // Counted in files, as the download summary counts them: a burst of 30 is 30.
    QString message = tr("Total media files: %1").arg(m_marks->card().fileCount());
    // A refused delete or format is followed at once by the list it asked for: both stay
    // in view, until the next list.
    if (!m_commandProblem.isEmpty() && statusBar()->currentMessage() == m_commandProblem)
        message += QStringLiteral(" · ") + m_commandProblem;
    statusBar()->showMessage(message);
}

void MainWindow::slotSliderChanged(int value)
{
    m_gridColumns = value;
    qDebug() << "picture count every row is " << value;
    m_tileGrid->setColumns(value);
}


void MainWindow::slotFileSelected(bool selected, const QString& file)
{
    m_selectedFiles.click(m_tileGrid->media(), file, selected, false);
    showSelectedName();
}

void MainWindow::slotRangeSelected(bool selected, const QString& file)
{
    m_selectedFiles.click(m_tileGrid->media(), file, selected, true);
    m_tileGrid->showTicks();
    showSelectedName();
}

void MainWindow::slotSelectAll()
{
    m_selectedFiles.tickAll(m_tileGrid->media());
    m_tileGrid->showTicks();
    showSelectedName();
}

void MainWindow::slotSelectNone()
{
    m_selectedFiles.clear();
    m_tileGrid->showTicks();
    showSelectedName();
}

void MainWindow::showSelectedName()
{
    // Camera names are shown as they are, never as markup.
    ui->label_fileName->setTextFormat(Qt::PlainText);
    if (m_selectedFiles.isEmpty())
        ui->label_fileName->clear();
    else
        ui->label_fileName->setText(MediaList::fileName(m_selectedFiles.last()));
    m_selectionStatus->show(m_tileGrid->media(), m_selectedFiles.paths());
}

void MainWindow::slotDownload()
{
    if (m_selectedFiles.isEmpty() && !m_downloads->isRunning())
        return;
    if (!m_downloads->isRunning() && webcamWaits(tr("the download")))
        return;
    const Camera::Id asked = m_camera->id();
    const QString folder = m_downloads->targetFolder();
    if (folder.isEmpty() || !boundCamera(asked, tr("Nothing was downloaded")))
        return;
    m_downloads->download(folder, m_camera, DownloadBatch::filesOf(m_tileGrid->media(), m_selectedFiles.paths()));
}

void MainWindow::slotDownloadAllCameras()
{
    const QString folder = m_downloads->targetFolder();
    if (!folder.isEmpty())
        m_downloads->downloadAllCameras(folder);
}

void MainWindow::slotDownloadProgress(int value, int maximum)
{
    m_transfer->setProgress(value, maximum);
}

void MainWindow::slotfinishDownload(const QString& summary)
{
    // The panel keeps it; the status bar until the next message.
    statusBar()->showMessage(summary);
}

void MainWindow::slotDeleteFiles()
{
    // The Delete key too: nothing ticked, nothing to ask about.
    if (m_selectedFiles.isEmpty() || !cardMayChange() || webcamWaits(tr("Delete")))
        return;
    const Camera::Id asked = m_camera->id();
    const QString lost = LossText::deletion(m_camera->shortName(), m_tileGrid->media(), m_selectedFiles.paths());
    if (!Prompt::confirm(this, tr("Warnning"), tr("Are you sure to delete selected files?"), lost))
        return;
    if (!cardMayChange() || !boundCamera(asked, tr("Nothing was deleted")))
        return;
    // Told once, and the ticks stay for when the camera is back.
    if (!cameraAnswers())
        return;
    if (m_selectedFiles.isEmpty())
        slotRefresh();
    const QStringList ticked = m_selectedFiles.paths();
    for (auto it = ticked.crbegin(); it != ticked.crend(); ++it) {
        const QString command = (m_tileGrid->media().isGroup(*it)
                                     ? CameraRequests::deleteGroup(m_camera->address(), m_cameraModel, *it)
                                     : CameraRequests::deleteFile(m_camera->address(), m_cameraModel, *it))
                                    .toString();
        m_camera->link()->send(command);
        m_camera->link()->awaitAnswer(command);
    }
    m_selectedFiles.clear();
    m_tileGrid->showTicks();
    showSelectedName();
}

// ---------------------------------------------------------------------------------------
// Bluetooth and Wi-Fi join

void MainWindow::applyReportedModel(int number, const QString& reportedName)
{
    qDebug() << "Result:" << number;
    const QString name = HardwareInfo::modelNameFor(number);
    // A name without a number, or a model newer than the profiles shipped: the profile in
    // use stays (and nothing is remembered); the user can choose another.
    if (number <= 0 || m_comboModel->findText(name) < 0) {
        const QString current = m_comboModel->currentText();
        QTimer::singleShot(0, this, [this, reportedName, current] {
            Prompt::information(
                this, tr("Velkamo"),
                tr("The camera reports itself as “%1”, a model Velkamo has no profile for. The "
                   "controls stay those of %2; choose the closest model in “Select GoPro”.")
                    .arg(reportedName, current));
        });
        return;
    }
    m_cameraModel = number;
    m_comboModel->setCurrentText(name);
    statusBar()->showMessage(QStringLiteral("Current device is %1").arg(name));
    slotVersionChanged(name);
}

void MainWindow::slotPowerOff()
{
    m_bluetooth->powerOff();
}

void MainWindow::slotScanDevice()
{
    m_bluetooth->scan();
}

void MainWindow::slotConnect2BleDevice()
{
    m_bluetooth->connectChosen();
}

// ---------------------------------------------------------------------------------------
// Dialogs

void MainWindow::slotAboutInfo()
{
    const QString site = QStringLiteral(VELKAMO_HOMEPAGE);
    Prompt::about(this, tr("About"),
                  tr("version: %1").arg(QStringLiteral(VELKAMO_VERSION))
                      + QStringLiteral("<br><br>") + tr("website: ") + Theme::link(site, site)
                      + QStringLiteral("<br><br><b>Velkamo</b> — ") + tr("remote control for GoPro HERO cameras.")
                      + QStringLiteral("<br>")
                      + tr("Free software under the GNU General Public License, version 3 or later."));
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
