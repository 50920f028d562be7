#pragma once

#include <QWidget>

class DownloadControl;
class DownloadedMarks;
class QCheckBox;
class QLabel;
class QPushButton;

// Beside the Download button: where downloads go (the path elided in the middle, whole in
// the tool tip), a Change… button, and the switch that hides files already there.
class DestinationView : public QWidget
{
    Q_OBJECT

public:
    DestinationView(DownloadControl* downloads, DownloadedMarks* marks, QWidget* parent = nullptr);

protected:
    void changeEvent(QEvent* event) override;

private:
    void showFolder(const QString& folder);

    QLabel* m_folder = nullptr;
    QPushButton* m_change = nullptr;
    QCheckBox* m_hide = nullptr;
    QString m_path;
};
