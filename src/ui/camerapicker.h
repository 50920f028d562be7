#pragma once

#include "camera.h"

#include <QObject>
#include <QString>

class CameraRoster;
class QCheckBox;
class QComboBox;
class QPoint;
class QToolBar;
class QWidget;

// The camera list at the left of the tool bar ("USB · HERO12 Black · …583 — 87 % · …"), one
// entry a camera with its state, and the "All cameras" box beside it. Choosing an entry is told
// as an intent (the window may ask first); the list follows the roster's current camera. The
// camera's information is asked for by the button beside the list, or by the list's context
// menu (of the camera under the cursor when the list is open).
class CameraPicker : public QObject
{
    Q_OBJECT

public:
    CameraPicker(CameraRoster* roster, QToolBar* toolBar, QWidget* window);

    // The user sends Start, Stop, modes and settings to every camera listed.
    bool sendsToAll() const;
    // The list as the roster has it now.
    void show();

signals:
    void chosen(Camera::Id id);
    void infoAsked(Camera::Id id);
    // For the status bar.
    void message(const QString& text);

private:
    // A menu at globalPos offering the information of the camera id.
    void offerInfo(Camera::Id id, const QPoint& globalPos);

    CameraRoster* m_roster = nullptr;
    QComboBox* m_list = nullptr;
    QCheckBox* m_all = nullptr;
};
