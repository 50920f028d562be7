#pragma once

#include <QRect>
#include <QSize>

// Where the tiles of the media grid go: count tiles, columns to a row, the available width
// shared out between the columns (a row always fills the view, never wider: no sideways
// scrolling), rows as high as the tiles' width makes them. Only the rows in view, plus a
// margin, get tiles; this says which those are.
class GridGeometry
{
public:
    GridGeometry() = default;
    GridGeometry(int count, int columns, int availableWidth, int rowHeight, int spacing);

    // The width of the narrowest column when availableWidth is shared out.
    static int columnWidth(int columns, int availableWidth, int spacing);

    int count() const { return m_count; }
    int columns() const { return m_columns; }
    int rows() const;
    // Size of the whole grid: the scroll range.
    QSize size() const;
    QRect cellRect(int index) const;

    // Indices [first, last) of the tiles in the rows that meet [top, top + viewHeight),
    // widened by marginRows rows above and below; empty (first == last) when there are none.
    struct Range {
        int first = 0;
        int last = 0;
        bool contains(int index) const { return index >= first && index < last; }
        int size() const { return last - first; }
    };
    Range inView(int top, int viewHeight, int marginRows = 0) const;

    // Where a key takes the current tile from index: one across, a row up or down (from the
    // row above the last, down to the last tile), pageRows rows at a time, or to either end.
    // -1 when there are no tiles.
    enum class Move { Left, Right, Up, Down, PageUp, PageDown, Home, End };
    int moved(int index, Move move, int pageRows = 1) const;

private:
    int pitch() const { return m_rowHeight + m_spacing; }

    int m_count = 0;
    int m_columns = 1;
    int m_width = 0;
    int m_rowHeight = 1;
    int m_spacing = 0;
};
