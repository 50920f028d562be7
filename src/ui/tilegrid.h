#pragma once

#include "gridgeometry.h"
#include "medialist.h"
#include "mediasource.h"

#include <QMap>
#include <QObject>
#include <QSet>

class MediaSelection;
class PreviewForm;
class QAction;
class QKeyEvent;
class QMenu;
class QScrollArea;
class QWidget;

// The media grid inside its scroll area: the scroll range is that of the whole list, but
// tiles exist only for the rows in view and a row above and below. Scrolling hands the
// tiles of rows that left the view to the rows that came in. Tiles show the ticks of the
// selection; the grid relays what the user does with them.
//
// The grid takes the focus as one control: arrows, Page Up/Down, Home and End move the
// current file (kept here, by index and path: its tile may not exist), Space ticks it, Enter
// opens it as a double-click does. A click on a tile makes it current.
class TileGrid : public QObject
{
    Q_OBJECT

public:
    TileGrid(QScrollArea* area, const MediaSelection* selection, QObject* parent = nullptr);

    // Shows list; one holding only the newest files of a longer list is shown only when the
    // rows near the view are among them.
    void setMedia(const MediaList& list);
    const MediaList& media() const { return m_list; }
    void setColumns(int columns);
    // The camera whose files the grid shows; the next list is that camera's.
    void setSource(const MediaSource& source) { m_source = source; }
    const MediaSource& source() const { return m_source; }
    // The tiles there are, in grid order.
    QList<PreviewForm*> tiles() const { return m_tiles.values(); }
    // Tiles show the selection as it is now.
    void showTicks();
    // The files shown as already in folder.
    void setMarked(const QSet<QString>& paths, const QString& folder);
    // The file the keyboard is on; empty when none.
    QString currentFile() const { return m_currentPath; }

signals:
    void selectedChanged(bool selected, const QString& file);
    void rangeSelected(bool selected, const QString& file);
    void doubleClicked(const QString& file);
    void pictureRequested(const QString& file);
    void selectAllRequested();
    void selectNoneRequested();
    // Ctrl+wheel over the grid: steps > 0 for larger thumbnails (fewer to a row).
    void zoomRequested(int steps);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool keyPressed(const QKeyEvent* event);
    // Not scrolled by itself: a click must not move the tile from under a double-click.
    void setCurrent(int index);
    void scrollToCurrent();
    // Rings the current tile while the grid has the focus, and no other.
    void showCurrent();
    void place();
    void placeOnce();
    PreviewForm* newTile();
    // Reads the parts of a tile; whether they changed.
    bool measure(PreviewForm* tile);
    int rowHeight(int viewWidth) const;
    int spacing() const;

    QScrollArea* m_area = nullptr;
    QWidget* m_contents = nullptr;
    const MediaSelection* m_selection = nullptr;
    QMenu* m_menu = nullptr;
    MediaList m_list;
    QSet<QString> m_marked;
    QString m_markedIn;
    MediaSource m_source;
    int m_columns = 4;
    QSize m_room;   // the thumbnail's, margins included
    QSize m_around; // the rest of a tile: its margins, and the name row below
    // Index in the list to the tile showing it.
    QMap<int, PreviewForm*> m_tiles;
    int m_current = -1;
    QString m_currentPath;
    bool m_placing = false;
    bool m_placeAgain = false;
};
