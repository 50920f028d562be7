#pragma once

#include "camera.h"
#include "webcamcontrol.h"

#include <QHash>
#include <QObject>
#include <QSize>
#include <QString>

class CameraRoster;
class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QPushButton;
class QToolButton;
class QWidget;
class WebcamOutput;

// "Use as webcam": the window's button, its menu (resolution, field of view, whether the picture
// shows), and for each camera that is a webcam its WebcamControl (the camera's side) and its
// WebcamOutput (the device other programs open). The button shows the window's camera; several
// cameras may be webcams at once where their models take a port, each sending to one of its own.
class WebcamPanel : public QObject
{
    Q_OBJECT

public:
    // At most this long the program's end waits for the cameras to hear stop, exit and wired
    // control on.
    static constexpr int kQuitSettleMs = 3000;
    static constexpr QSize kPictureSize{320, 180};

    WebcamPanel(CameraRoster* roster, QWidget* window);
    ~WebcamPanel() override;

    // For the window's layout: the button with its menu beside it, and the picture.
    QWidget* controls() const { return m_controls; }
    QLabel* picture() const { return m_picture; }

    // While a camera is a webcam (starting included) it does nothing else: the window's other
    // requests to it wait.
    bool isWebcam(const Camera* camera) const;
    // "HERO12 Black …504 is a webcam: Start waits until it is stopped (Use as webcam)."
    static QString waitText(const Camera* camera, const QString& what);

    // The program ends: every camera leaves webcam mode (bounded), every device goes.
    void stopForQuit();

signals:
    // For the status bar.
    void message(const QString& text);

private:
    struct Entry {
        WebcamControl* control = nullptr;
        WebcamOutput* output = nullptr;
    };

    void buttonToggled(bool on);
    void showCurrent();
    void rebuildMenu(int model);
    Entry& entryFor(Camera* camera);
    void controlStateChanged(Camera::Id id, WebcamControl::State state);
    // A port no other webcam of this PC is sent to; 0 when the model cannot be told another
    // and its own is taken.
    quint16 freePort(int model) const;
    void endOutput(Camera::Id id);

    CameraRoster* m_roster = nullptr;
    QWidget* m_controls = nullptr;
    QPushButton* m_button = nullptr;
    QToolButton* m_options = nullptr;
    QMenu* m_menu = nullptr;
    QActionGroup* m_resolutions = nullptr;
    QActionGroup* m_fieldsOfView = nullptr;
    QAction* m_showPicture = nullptr;
    QLabel* m_picture = nullptr;
    int m_res = WebcamControl::kRes1080;
    int m_fov = WebcamControl::kFovWide;
    int m_menuModel = -1;
    QHash<Camera::Id, Entry> m_entries;
};
