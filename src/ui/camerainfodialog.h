#pragma once

#include "camera.h"

#include <QDialog>
#include <QHash>

class CameraClock;
class CameraFacts;
class QLabel;

// Which camera the user is talking to: the camera's facts, one line each, kept up to date while
// the dialog is open. Not modal; it closes when its camera is gone.
class CameraInfoDialog : public QDialog
{
    Q_OBJECT

public:
    CameraInfoDialog(Camera* camera, const CameraClock* clock, QWidget* parent = nullptr);

    // Shows the dialog of camera, a new one or the one open for it already (raised).
    static CameraInfoDialog* showFor(Camera* camera, const CameraClock* clock, QWidget* window);

    Camera::Id cameraId() const { return m_id; }

private:
    void showFacts();

    CameraFacts* m_facts = nullptr;
    Camera::Id m_id = 0;
    QHash<int, QLabel*> m_values;
};
