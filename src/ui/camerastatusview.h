#pragma once

#include "camerastatus.h"

#include <QWidget>

class QLabel;

// The camera at a glance, for the right end of the status bar: battery, card and
// recording. Shows only what the last status reply told; empty while nothing is known. A click
// on it asks for the camera's information.
class CameraStatusView : public QWidget
{
    Q_OBJECT
public:
    // Battery at or below this percentage is shown in the warning colour.
    static constexpr int kLowBatteryPercent = 15;
    static const QColor kWarningColour;
    static const QColor kRecordingColour;

    explicit CameraStatusView(QWidget* parent = nullptr);

    void showStatus(const CameraStatus& status);
    void clear();

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    static QString clockText(int seconds);
    static QString durationText(qint64 seconds);
    static QPixmap batteryIcon(int level, bool low);

    QLabel* m_batteryIcon = nullptr;
    QLabel* m_battery = nullptr;
    QLabel* m_card = nullptr;
    QLabel* m_recording = nullptr;
};
