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

    // Room for the whole path, up to its most; the label takes less where there is less.
    QSize sizeHint() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showFolder(const QString& folder);
    // The path, cut in the middle to the room the label has.
    void elide();

    QLabel* m_folder = nullptr;
    QPushButton* m_change = nullptr;
    QCheckBox* m_hide = nullptr;
    QString m_shown;
};
