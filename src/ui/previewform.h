#pragma once

#include <QString>
#include <QWidget>

#include "mediasource.h"

QT_BEGIN_NAMESPACE
namespace Ui { class PreviewForm; }
QT_END_NAMESPACE

class PictureLabel;
class QLabel;

// One tile of the media grid: the file's thumbnail, its name and a tick box. The tile only
// reports ticks and double-clicks; the window decides what they do.
class PreviewForm : public QWidget
{
    Q_OBJECT

public:
    explicit PreviewForm(QWidget* parent = nullptr);
    ~PreviewForm() override;

    // Takes the tile's media path (and the file's time on the card), shows its file name and
    // its thumbnail. The grid gives a tile another file as the user scrolls.
    void setFile(const QString& path, qint64 modified = 0, const MediaSource& source = MediaSource());
    const MediaSource& source() const { return m_source; }
    // How many files the burst or lapse shown holds; 0 for a single file.
    void setGroupFiles(int count);
    QString file() const { return m_file; }
    bool isSelected() const { return m_selected; }
    // Shows the tick state without reporting it (used to restore a selection).
    void setSelected(bool selected);
    PictureLabel* picture() const;
    // Marks the file as already in folder; an empty folder: not downloaded.
    void setDownloaded(const QString& folder);

signals:
    void selectedChanged(bool selected, const QString& file);
    // A click with Shift held: the range from the previous click takes this state.
    void rangeSelected(bool selected, const QString& file);
    // A video's tile was double-clicked.
    void doubleClicked(const QString& file);
    // A picture's tile was double-clicked.
    void pictureRequested(const QString& file);

public slots:
    void slotSelectedChanged(bool selected);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeDownloaded();

    bool m_selected = false;
    Ui::PreviewForm* ui = nullptr;
    QLabel* m_downloaded = nullptr; // made for the first file marked
    QString m_file;
    MediaSource m_source;
    Qt::KeyboardModifiers m_clickModifiers = Qt::NoModifier;
};
