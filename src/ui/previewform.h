#pragma once

#include <QString>
#include <QWidget>

#include "mediasource.h"

QT_BEGIN_NAMESPACE
namespace Ui { class PreviewForm; }
QT_END_NAMESPACE

class PictureLabel;
class QLabel;

// One tile of the media grid: the file's thumbnail, its name and a tick box. A click anywhere
// on it ticks or unticks it as the box does; a ticked tile is framed, the grid's current one
// ringed. The tile only reports ticks and double-clicks; the window decides what they do.
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
    // The keyboard's place in the grid, while the grid has the focus.
    void setCurrent(bool current);
    bool isCurrent() const { return m_current; }
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
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void placeDownloaded();
    // A double-click opens, and leaves the tick as it was before its first click.
    void undoClick();

    bool m_selected = false;
    bool m_current = false;
    bool m_pressed = false;
    bool m_clickTicked = false; // the last press and release changed the tick, Shift not held
    Ui::PreviewForm* ui = nullptr;
    QLabel* m_downloaded = nullptr; // made for the first file marked
    QString m_file;
    MediaSource m_source;
    Qt::KeyboardModifiers m_clickModifiers = Qt::NoModifier;
};
