#include "selectionsummary.h"

#include "losstext.h"
#include "medialist.h"

#include <algorithm>
#include <climits>

namespace {
int plural(qint64 count)
{
    return int(std::min<qint64>(count, INT_MAX));
}
} // namespace

SelectionSummary::SelectionSummary(const MediaList& card, const QStringList& paths)
{
    for (const QString& path : paths) {
        const QStringList members = card.members(path);
        m_files += members.isEmpty() ? 1 : members.size();
        m_bytes += card.listedBytes(path);
    }
}

QString SelectionSummary::text() const
{
    if (isEmpty())
        return QString();
    const QString count = tr("%n selected", nullptr, plural(m_files));
    return m_bytes > 0 ? count + QStringLiteral(" · ") + LossText::size(m_bytes) : count;
}

QString SelectionSummary::downloadText() const
{
    return sized(tr("Download %n files", nullptr, plural(m_files)));
}

QString SelectionSummary::deleteText() const
{
    return sized(tr("Delete %n files", nullptr, plural(m_files)));
}

QString SelectionSummary::sized(const QString& text) const
{
    return m_bytes > 0 ? tr("%1 (%2)").arg(text, LossText::size(m_bytes)) : text;
}
