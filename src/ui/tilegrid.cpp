#include "tilegrid.h"

#include "mediaselection.h"
#include "picturelabel.h"
#include "previewform.h"
#include "thumbnailqueue.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

namespace {
// Rows kept beyond the view each way: a short scroll shows tiles already filled.
constexpr int kMarginRows = 1;
}

TileGrid::TileGrid(QScrollArea* area, const MediaSelection* selection, QObject* parent)
    : QObject(parent)
    , m_area(area)
    , m_contents(area->widget())
    , m_selection(selection)
{
    m_contents->installEventFilter(this);
    m_area->viewport()->installEventFilter(this);
    m_area->installEventFilter(this);
    m_area->setFocusPolicy(Qt::StrongFocus);
    // Rows always fill the view's width. The vertical bar stays, so that its coming and going
    // never changes the width, and with it the rows' height, and with that whether it is needed.
    m_area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    connect(m_area->verticalScrollBar(), &QScrollBar::valueChanged, this, &TileGrid::place);

    // Ticking thousands of files one by one is no way to select them.
    auto* selectAll = new QAction(tr("Select all"), m_area);
    selectAll->setObjectName(QStringLiteral("actionSelectAll"));
    selectAll->setShortcut(QKeySequence::SelectAll);
    auto* selectNone = new QAction(tr("Select none"), m_area);
    selectNone->setObjectName(QStringLiteral("actionSelectNone"));
    selectNone->setShortcut(Qt::Key_Escape);
    m_menu = new QMenu(m_area);
    m_menu->setObjectName(QStringLiteral("gridMenu"));
    for (QAction* action : {selectAll, selectNone}) {
        // From anywhere in the window, not only once the grid has the focus.
        action->setShortcutContext(Qt::WindowShortcut);
        m_area->addAction(action);
        m_menu->addAction(action);
    }
    connect(selectAll, &QAction::triggered, this, &TileGrid::selectAllRequested);
    connect(selectNone, &QAction::triggered, this, &TileGrid::selectNoneRequested);
    m_area->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_area, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { m_menu->popup(m_area->viewport()->mapToGlobal(pos)); });
}

void TileGrid::setMedia(const MediaList& list)
{
    // The newest files alone, while the rest is read: worth showing only when the rows near
    // the view are all among them.
    if (!list.isComplete()) {
        const int width = m_area->viewport()->width();
        const GridGeometry geometry(list.total(), m_columns, width, rowHeight(width), spacing());
        const int top = m_area->verticalScrollBar()->value();
        if (!m_room.isValid()
            || geometry.inView(top, m_area->viewport()->height(), kMarginRows).last > list.count())
            return;
    }
    m_list = list;
    // The current file stays current; when it is gone, the one that took its place.
    if (m_current >= 0) {
        const int at = m_list.indexOf(m_currentPath);
        m_current = at >= 0 ? at : std::min(m_current, m_list.count() - 1);
        m_currentPath = m_current >= 0 ? m_list.newestFirst().at(m_current).path : QString();
    }
    place();
}

int TileGrid::spacing() const
{
    return std::max(0, m_contents->style()->pixelMetric(QStyle::PM_LayoutHorizontalSpacing));
}

void TileGrid::setColumns(int columns)
{
    m_columns = std::max(1, columns);
    place();
}

void TileGrid::showTicks()
{
    for (PreviewForm* tile : std::as_const(m_tiles))
        tile->setSelected(m_selection->contains(tile->file()));
}

void TileGrid::setMarked(const QSet<QString>& paths, const QString& folder)
{
    m_marked = paths;
    m_markedIn = folder;
    for (PreviewForm* tile : std::as_const(m_tiles))
        tile->setDownloaded(m_marked.contains(tile->file()) ? m_markedIn : QString());
}

bool TileGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_area) {
        switch (event->type()) {
        case QEvent::KeyPress:
            if (keyPressed(static_cast<QKeyEvent*>(event)))
                return true;
            break;
        case QEvent::FocusIn:
            // Tabbed into: the first file in view, unless one is current already.
            if (m_current < 0 && m_list.count() > 0) {
                const int width = m_area->viewport()->width();
                const GridGeometry geometry(m_list.count(), m_columns, width, rowHeight(width), spacing());
                const int first = geometry.inView(m_area->verticalScrollBar()->value(), m_area->viewport()->height()).first;
                m_current = std::min(first, m_list.count() - 1);
                m_currentPath = m_list.newestFirst().at(m_current).path;
            }
            showCurrent();
            break;
        case QEvent::FocusOut:
            showCurrent();
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }
    if (event->type() == QEvent::Resize && (watched == m_contents || watched == m_area->viewport())) {
        place();
    } else if (event->type() == QEvent::Wheel && watched == m_area->viewport()
               && (static_cast<QWheelEvent*>(event)->modifiers() & Qt::ControlModifier)) {
        // Ctrl+wheel zooms, as in image viewers: away from the user, larger thumbnails.
        const int delta = static_cast<QWheelEvent*>(event)->angleDelta().y();
        if (delta != 0)
            emit zoomRequested(delta > 0 ? 1 : -1);
        return true;
    } else if (event->type() == QEvent::LayoutRequest) {
        // A thumbnail of another size than the room kept for it. Placed later: placing may
        // delete the tile whose event this is. The viewport asks for layouts too; its size
        // hint is not a tile's.
        auto* tile = qobject_cast<PreviewForm*>(watched);
        if (tile && measure(tile))
            QMetaObject::invokeMethod(this, &TileGrid::place, Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}

void TileGrid::place()
{
    // Placing resizes the contents, which asks to place again.
    if (m_placing) {
        m_placeAgain = true;
        return;
    }
    m_placing = true;
    for (int round = 0; round < 3; ++round) {
        m_placeAgain = false;
        placeOnce();
        if (!m_placeAgain)
            break;
    }
    m_placing = false;
}

void TileGrid::placeOnce()
{
    const QList<MediaList::Entry>& entries = m_list.newestFirst();
    QList<PreviewForm*> spare;
    if (m_tiles.isEmpty() && !entries.isEmpty()) {
        // A tile to measure, given a file so that it keeps the room of a thumbnail.
        PreviewForm* probe = newTile();
        probe->setObjectName(entries.first().path);
        probe->setFile(entries.first().path, entries.first().mod, m_source);
        spare << probe;
    }
    if (!spare.isEmpty())
        measure(spare.first());
    else if (!m_tiles.isEmpty())
        measure(m_tiles.first());
    // While only the newest files are read the grid already has the height of the whole list.
    const int width = m_area->viewport()->width();
    const GridGeometry geometry(m_list.total(), m_columns, width, rowHeight(width), spacing());
    // Resizable contents take the viewport's size, or this if larger: the scroll range.
    const QSize size = geometry.size();
    if (m_contents->minimumSize() != size) {
        m_contents->setMinimumSize(size);
        QEvent relayout(QEvent::LayoutRequest);
        QCoreApplication::sendEvent(m_area, &relayout);
    }

    const int top = m_area->verticalScrollBar()->value();
    const int height = m_area->viewport()->height();
    GridGeometry::Range wanted = geometry.inView(top, height, kMarginRows);
    GridGeometry::Range visible = geometry.inView(top, height);
    wanted.last = std::min(wanted.last, int(entries.size()));
    visible.last = std::min(visible.last, int(entries.size()));

    for (auto it = m_tiles.begin(); it != m_tiles.end();) {
        if (wanted.contains(it.key())) {
            ++it;
        } else {
            spare << it.value();
            it = m_tiles.erase(it);
        }
    }
    // Rows in view first, so that their thumbnails are asked for first.
    QList<int> order;
    for (int i = visible.first; i < visible.last; ++i)
        order << i;
    for (int i = wanted.first; i < wanted.last; ++i) {
        if (!visible.contains(i))
            order << i;
    }
    QList<QObject*> inView;
    for (int i : std::as_const(order)) {
        PreviewForm* tile = m_tiles.value(i);
        if (!tile) {
            tile = spare.isEmpty() ? newTile() : spare.takeLast();
            m_tiles.insert(i, tile);
        }
        const MediaList::Entry& entry = entries.at(i);
        if (tile->file() != entry.path || tile->objectName() != entry.path || tile->source() != m_source) {
            tile->setObjectName(entry.path);
            tile->setFile(entry.path, entry.mod, m_source);
        }
        tile->setGroupFiles(entry.isGroup() ? entry.fileCount() : 0);
        tile->setSelected(m_selection->contains(entry.path));
        tile->setDownloaded(m_marked.contains(entry.path) ? m_markedIn : QString());
        tile->setCurrent(i == m_current && m_area->hasFocus());
        tile->setGeometry(geometry.cellRect(i));
        if (tile->isHidden())
            tile->show();
        if (visible.contains(i))
            inView << tile->picture();
    }
    qDeleteAll(spare);
    ThumbnailQueue::shared()->prioritise(inView);
}

PreviewForm* TileGrid::newTile()
{
    auto* tile = new PreviewForm(m_contents);
    tile->installEventFilter(this);
    // The grid is one control for the keyboard: a tile, or a part of it, asked to take the
    // focus gives it to the grid.
    tile->setFocusProxy(m_area);
    for (QWidget* part : tile->findChildren<QWidget*>())
        part->setFocusProxy(m_area);
    // A click on a tile makes it the keyboard's place.
    const auto clicked = [this, tile] {
        setCurrent(m_list.indexOf(tile->file()));
        m_area->setFocus(Qt::MouseFocusReason);
    };
    connect(tile, &PreviewForm::selectedChanged, this, [this, clicked](bool selected, const QString& file) {
        clicked();
        emit selectedChanged(selected, file);
    });
    connect(tile, &PreviewForm::rangeSelected, this, [this, clicked](bool selected, const QString& file) {
        clicked();
        emit rangeSelected(selected, file);
    });
    connect(tile, &PreviewForm::doubleClicked, this, &TileGrid::doubleClicked);
    connect(tile, &PreviewForm::pictureRequested, this, &TileGrid::pictureRequested);
    return tile;
}

bool TileGrid::measure(PreviewForm* tile)
{
    // Every tile has the same parts; a thumbnail of another shape than expected changes the
    // room, a longer translation of the name row the rest.
    tile->ensurePolished();
    const QSize room = tile->picture()->sizeHint();
    const QMargins margins = tile->layout() ? tile->layout()->contentsMargins() : QMargins();
    const QSize around(margins.left() + margins.right(), std::max(0, tile->sizeHint().height() - room.height()));
    const bool changed = room != m_room || around != m_around;
    m_room = room;
    m_around = around;
    return changed;
}

int TileGrid::rowHeight(int viewWidth) const
{
    if (!m_room.isValid() || m_room.width() <= 0)
        return 1;
    // The thumbnail keeps its shape at the width its column leaves it.
    const int picture = std::max(1, GridGeometry::columnWidth(m_columns, viewWidth, spacing()) - m_around.width());
    return m_around.height() + int(qint64(picture) * m_room.height() / m_room.width());
}

bool TileGrid::keyPressed(const QKeyEvent* event)
{
    if (m_current < 0 || m_current >= m_list.count())
        return false;
    const QString path = m_currentPath;
    switch (event->key()) {
    case Qt::Key_Space:
        // As a click on the tile: Shift ticks the range from the previous one.
        if (event->modifiers() & Qt::ShiftModifier)
            emit rangeSelected(!m_selection->contains(path), path);
        else
            emit selectedChanged(!m_selection->contains(path), path);
        showTicks();
        scrollToCurrent();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        scrollToCurrent();
        if (MediaList::isVideo(path))
            emit doubleClicked(path);
        else
            emit pictureRequested(path);
        return true;
    default:
        break;
    }
    static const QMap<int, GridGeometry::Move> moves = {
        {Qt::Key_Left, GridGeometry::Move::Left},       {Qt::Key_Right, GridGeometry::Move::Right},
        {Qt::Key_Up, GridGeometry::Move::Up},           {Qt::Key_Down, GridGeometry::Move::Down},
        {Qt::Key_PageUp, GridGeometry::Move::PageUp},   {Qt::Key_PageDown, GridGeometry::Move::PageDown},
        {Qt::Key_Home, GridGeometry::Move::Home},       {Qt::Key_End, GridGeometry::Move::End},
    };
    const auto move = moves.constFind(event->key());
    if (move == moves.constEnd())
        return false;
    const int width = m_area->viewport()->width();
    const int pitch = rowHeight(width) + spacing();
    const GridGeometry geometry(m_list.count(), m_columns, width, rowHeight(width), spacing());
    setCurrent(geometry.moved(m_current, *move, m_area->viewport()->height() / std::max(1, pitch)));
    scrollToCurrent();
    return true;
}

void TileGrid::setCurrent(int index)
{
    if (index < 0 || index >= m_list.count())
        return;
    m_current = index;
    m_currentPath = m_list.newestFirst().at(index).path;
    showCurrent();
}

void TileGrid::scrollToCurrent()
{
    // Scrolling places the tiles, and rings the current one.
    const int width = m_area->viewport()->width();
    const QRect cell = GridGeometry(m_list.total(), m_columns, width, rowHeight(width), spacing()).cellRect(m_current);
    m_area->ensureVisible(cell.center().x(), cell.center().y(), cell.width() / 2, cell.height() / 2);
}

void TileGrid::showCurrent()
{
    const bool focused = m_area->hasFocus();
    for (auto it = m_tiles.cbegin(); it != m_tiles.cend(); ++it)
        it.value()->setCurrent(focused && it.key() == m_current);
}
