#include "webcampanel.h"

#include "cameraroster.h"
#include "webcamoutput.h"

#include <QAction>
#include <QActionGroup>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPixmap>
#include <QSet>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QToolButton>

#include <algorithm>

WebcamPanel::WebcamPanel(CameraRoster* roster, QWidget* window)
    : QObject(window)
    , m_roster(roster)
    , m_controls(new QWidget(window))
    , m_button(new QPushButton(tr("Use as webcam"), m_controls))
    , m_options(new QToolButton(m_controls))
    , m_menu(new QMenu(window))
    , m_showPicture(new QAction(tr("Show the picture here"), this))
    , m_picture(new QLabel(window))
{
    auto* layout = new QHBoxLayout(m_controls);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_button, 1);
    layout->addWidget(m_options);
    m_button->setObjectName(QStringLiteral("pbWebcam"));
    m_button->setCheckable(true);
    m_options->setObjectName(QStringLiteral("pbWebcamMenu"));
    m_options->setArrowType(Qt::DownArrow);
    m_options->setAutoRaise(true);
    m_options->setPopupMode(QToolButton::InstantPopup);
    m_options->setMenu(m_menu);
    m_options->setToolTip(tr("The webcam's resolution and field of view"));
    m_showPicture->setObjectName(QStringLiteral("actionWebcamPicture"));
    m_showPicture->setCheckable(true);
    m_showPicture->setChecked(true);
    m_picture->setObjectName(QStringLiteral("labelWebcamPicture"));
    m_picture->setAlignment(Qt::AlignCenter);
    m_picture->hide();

    // clicked, not toggled: only the user's click starts or stops; the panel sets the check.
    connect(m_button, &QPushButton::clicked, this, &WebcamPanel::buttonToggled);
    connect(m_showPicture, &QAction::toggled, this, &WebcamPanel::showCurrent);
    connect(roster, &CameraRoster::currentChanged, this, &WebcamPanel::showCurrent);
    connect(roster, &CameraRoster::listChanged, this, &WebcamPanel::showCurrent);
    connect(roster, &CameraRoster::cameraChanged, this, &WebcamPanel::showCurrent);
    connect(roster, &CameraRoster::answering, this, &WebcamPanel::showCurrent);
    showCurrent();
}

WebcamPanel::~WebcamPanel()
{
    // The devices go with their outputs (children); each camera is told in stopForQuit().
    m_entries.clear();
}

bool WebcamPanel::isWebcam(const Camera* camera) const
{
    if (!camera)
        return false;
    const auto it = m_entries.constFind(camera->id());
    return it != m_entries.constEnd() && it->control->state() != WebcamControl::State::Off;
}

QString WebcamPanel::waitText(const Camera* camera, const QString& what)
{
    return tr("%1 is a webcam and does nothing else: %2 waits until \"Use as webcam\" is unchecked.")
        .arg(camera->shortName(), what);
}

WebcamPanel::Entry& WebcamPanel::entryFor(Camera* camera)
{
    const Camera::Id id = camera->id();
    auto it = m_entries.find(id);
    if (it != m_entries.end())
        return *it;
    Entry entry;
    entry.control = new WebcamControl(camera, this);
    entry.output = new WebcamOutput(this);
    connect(entry.control, &WebcamControl::stateChanged, this,
            [this, id](WebcamControl::State state) { controlStateChanged(id, state); });
    connect(entry.control, &WebcamControl::refused, this, &WebcamPanel::message);
    // Told once the window has taken in what ended it (a cable pulled clears the camera shown).
    connect(entry.control, &WebcamControl::dropped, this, &WebcamPanel::message, Qt::QueuedConnection);
    connect(entry.output, &WebcamOutput::started, this, [this, camera](const QString& where) {
        const auto it = m_entries.constFind(camera->id());
        const QString advice = it == m_entries.constEnd() ? QString() : it->output->loopbackAdvice();
        QString text = tr("%1 is a webcam: other programs find it as %2.").arg(camera->shortName(), where);
        if (!advice.isEmpty())
            text += QLatin1Char(' ') + advice;
        emit message(text);
    });
    connect(entry.output, &WebcamOutput::failed, this, [this, id, camera](const QString& why) {
        emit message(tr("The webcam of %1 stopped: %2").arg(camera->shortName(), why));
        if (const auto it = m_entries.constFind(id); it != m_entries.constEnd())
            it->control->stop();
    });
    connect(entry.output, &WebcamOutput::stalled, entry.control, &WebcamControl::checkNow);
    connect(entry.output, &WebcamOutput::frameShown, this, [this, id](const QImage& frame) {
        const Camera* current = m_roster->current();
        if (!current || current->id() != id || !m_showPicture->isChecked() || !isWebcam(current))
            return;
        // Small beside the controls: the window keeps its size.
        m_picture->setPixmap(QPixmap::fromImage(frame).scaled(kPictureSize, Qt::KeepAspectRatio));
        m_picture->show();
    });
    // A camera merged into another goes; so do its webcam's parts.
    connect(camera, &QObject::destroyed, this, [this, id] {
        const Entry gone = m_entries.take(id);
        delete gone.control;
        delete gone.output;
    });
    return *m_entries.insert(id, entry);
}

quint16 WebcamPanel::freePort(int model) const
{
    QSet<quint16> taken;
    for (const Entry& entry : m_entries) {
        if (entry.control->state() != WebcamControl::State::Off)
            taken.insert(entry.control->port());
    }
    if (!WebcamControl::takesPort(model))
        return taken.contains(WebcamControl::kFirstPort) ? 0 : WebcamControl::kFirstPort;
    quint16 port = WebcamControl::kFirstPort;
    while (taken.contains(port))
        ++port;
    return port;
}

void WebcamPanel::buttonToggled(bool on)
{
    Camera* camera = m_roster->current();
    if (!camera) {
        showCurrent();
        return;
    }
    Entry& entry = entryFor(camera);
    if (!on) {
        entry.control->stop();
        endOutput(camera->id());
        emit message(tr("%1 is no longer a webcam.").arg(camera->shortName()));
        showCurrent();
        return;
    }
    const int model = camera->model();
    const int res = WebcamControl::resolutions(model).contains(m_res) ? m_res : WebcamControl::kRes1080;
    const int fov = WebcamControl::fieldsOfView(model).contains(m_fov) ? m_fov : WebcamControl::kFovWide;
    const quint16 port = freePort(model);
    if (port == 0) {
        emit message(tr("Another camera is a webcam on port %1 already, and the %2 cannot be told "
                        "another: stop that one first.")
                         .arg(WebcamControl::kFirstPort)
                         .arg(camera->shortName()));
        showCurrent();
        return;
    }
    // The output listens before the camera sends, so that its first frames are not lost.
    entry.output->start(WebcamControl::localAddress(camera->address()), port, camera->shortName());
    entry.control->start(res, fov, port);
    emit message(tr("%1 is becoming a webcam (%2, %3)…")
                     .arg(camera->shortName(), WebcamControl::resolutionName(res),
                          WebcamControl::fieldOfViewName(fov)));
    showCurrent();
}

void WebcamPanel::controlStateChanged(Camera::Id id, WebcamControl::State state)
{
    if (state == WebcamControl::State::Off)
        endOutput(id);
    showCurrent();
}

void WebcamPanel::endOutput(Camera::Id id)
{
    const auto it = m_entries.constFind(id);
    if (it != m_entries.constEnd() && it->output->isRunning())
        it->output->stop();
    const Camera* current = m_roster->current();
    if (current && current->id() == id) {
        m_picture->clear();
        m_picture->hide();
    }
}

void WebcamPanel::showCurrent()
{
    Camera* camera = m_roster->current();
    const auto it = camera ? m_entries.constFind(camera->id()) : m_entries.constEnd();
    const WebcamControl::State state =
        it != m_entries.constEnd() ? it->control->state() : WebcamControl::State::Off;
    const bool on = state == WebcamControl::State::Starting || state == WebcamControl::State::Running;
    QString why = camera ? WebcamControl::unavailableReason(camera->model(), camera->address().link())
                         : tr("No camera is reached.");
    if (why.isEmpty() && !camera->isOnline())
        why = tr("The camera does not answer.");
    if (state == WebcamControl::State::Stopping)
        why = tr("The camera is leaving webcam mode.");
    {
        const QSignalBlocker blocker(m_button);
        m_button->setChecked(on);
    }
    m_button->setEnabled(on || why.isEmpty());
    m_button->setToolTip(on || why.isEmpty()
                             ? tr("Make the camera this PC's webcam, for video calls and recording programs.")
                             : why);
    m_options->setEnabled(m_button->isEnabled());
    rebuildMenu(camera ? camera->model() : 0);
    if (!on || !m_showPicture->isChecked()) {
        m_picture->clear();
        m_picture->hide();
    }
}

void WebcamPanel::rebuildMenu(int model)
{
    if (model == m_menuModel)
        return;
    m_menuModel = model;
    m_menu->clear();
    delete m_resolutions;
    delete m_fieldsOfView;
    m_resolutions = new QActionGroup(this);
    m_fieldsOfView = new QActionGroup(this);
    const QList<int> resolutions = WebcamControl::resolutions(model);
    const QList<int> fields = WebcamControl::fieldsOfView(model);
    const int res = resolutions.contains(m_res) ? m_res : WebcamControl::kRes1080;
    const int fov = fields.contains(m_fov) ? m_fov : WebcamControl::kFovWide;
    m_menu->addSection(tr("Resolution"));
    for (const int value : resolutions) {
        QAction* action = m_menu->addAction(WebcamControl::resolutionName(value));
        action->setObjectName(QStringLiteral("actionWebcamRes%1").arg(value));
        action->setCheckable(true);
        action->setChecked(value == res);
        m_resolutions->addAction(action);
        connect(action, &QAction::triggered, this, [this, value] { m_res = value; });
    }
    m_menu->addSection(tr("Field of view"));
    for (const int value : fields) {
        QAction* action = m_menu->addAction(WebcamControl::fieldOfViewName(value));
        action->setObjectName(QStringLiteral("actionWebcamFov%1").arg(value));
        action->setCheckable(true);
        action->setChecked(value == fov);
        m_fieldsOfView->addAction(action);
        connect(action, &QAction::triggered, this, [this, value] { m_fov = value; });
    }
    m_menu->addSeparator();
    m_menu->addAction(m_showPicture);
}

void WebcamPanel::stopForQuit()
{
    QList<WebcamControl*> leaving;
    for (const Entry& entry : std::as_const(m_entries)) {
        entry.control->stop();
        if (entry.control->state() != WebcamControl::State::Off)
            leaving.append(entry.control);
        entry.output->stop();
    }
    if (leaving.isEmpty())
        return;
    QEventLoop loop;
    QTimer::singleShot(kQuitSettleMs, &loop, &QEventLoop::quit);
    for (WebcamControl* control : std::as_const(leaving)) {
        connect(control, &WebcamControl::stateChanged, &loop, [&loop, &leaving] {
            const bool allOff = std::all_of(leaving.cbegin(), leaving.cend(), [](const WebcamControl* c) {
                return c->state() == WebcamControl::State::Off;
            });
            if (allOff)
                loop.quit();
        });
    }
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}
