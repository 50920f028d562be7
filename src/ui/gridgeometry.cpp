#include "gridgeometry.h"

#include <algorithm>

GridGeometry::GridGeometry(int count, int columns, int availableWidth, int rowHeight, int spacing)
    : m_count(std::max(0, count))
    , m_columns(std::max(1, columns))
    , m_rowHeight(std::max(1, rowHeight))
    , m_spacing(std::max(0, spacing))
{
    // A pixel a column at the least, however narrow the view.
    m_width = std::max(availableWidth, m_columns + m_spacing * (m_columns - 1));
}

int GridGeometry::columnWidth(int columns, int availableWidth, int spacing)
{
    columns = std::max(1, columns);
    return std::max(1, (availableWidth - std::max(0, spacing) * (columns - 1)) / columns);
}

int GridGeometry::rows() const
{
    return (m_count + m_columns - 1) / m_columns;
}

QSize GridGeometry::size() const
{
    const int r = rows();
    return QSize(m_width, r == 0 ? 0 : r * pitch() - m_spacing);
}

QRect GridGeometry::cellRect(int index) const
{
    // Columns share the width; the pixels left over go to the first columns, one each.
    const int free = m_width - m_spacing * (m_columns - 1);
    const int base = free / m_columns;
    const int extra = free % m_columns;
    const int column = index % m_columns;
    const int x = column * (base + m_spacing) + std::min(column, extra);
    return QRect(x, (index / m_columns) * pitch(), base + (column < extra ? 1 : 0), m_rowHeight);
}

GridGeometry::Range GridGeometry::inView(int top, int viewHeight, int marginRows) const
{
    Range range;
    if (m_count == 0 || viewHeight <= 0)
        return range;
    top = std::max(0, top);
    const int firstRow = std::max(0, top / pitch() - marginRows);
    const int lastRow = std::min(rows() - 1, (top + viewHeight - 1) / pitch() + marginRows);
    if (lastRow < firstRow)
        return range;
    range.first = firstRow * m_columns;
    range.last = std::min(m_count, (lastRow + 1) * m_columns);
    return range;
}

int GridGeometry::moved(int index, Move move, int pageRows) const
{
    if (m_count == 0)
        return -1;
    const int last = m_count - 1;
    index = std::clamp(index, 0, last);
    const int column = index % m_columns;
    const int lastRow = last / m_columns;
    const int page = std::max(1, pageRows) * m_columns;
    switch (move) {
    case Move::Left:
        return std::max(0, index - 1);
    case Move::Right:
        return std::min(last, index + 1);
    case Move::Up:
        return index >= m_columns ? index - m_columns : index;
    case Move::Down:
        return index / m_columns < lastRow ? std::min(last, index + m_columns) : index;
    case Move::PageUp:
        return index >= page ? index - page : column;
    case Move::PageDown:
        return index + page <= last ? index + page : std::min(last, lastRow * m_columns + column);
    case Move::Home:
        return 0;
    case Move::End:
        return last;
    }
    return index;
}
