#include "gui/panel/CTocListModel.h"

#include "gui/common/EditorText.h"

#include <map>
#include <string_view>

namespace
{
// An entry's lines joined with "\n" as the editor shows them.
QString RowText(std::string_view entryText)
{
    QString text;
    text.reserve(static_cast<qsizetype>(entryText.size()));
    while (true)
    {
        const std::size_t end = entryText.find('\n');
        AppendEditorText(text, entryText.substr(0, end));
        if (end == std::string_view::npos)
            break;
        text += QLatin1Char('\n');
        entryText.remove_prefix(end + 1);
    }
    return text;
}
} // namespace

CTocListModel::CTocListModel(QObject* parent) : QAbstractListModel(parent) {}

void CTocListModel::SetEntries(const std::vector<TocEntryRef>& entries)
{
    beginResetModel();
    m_entries = entries;
    m_remarks = {};
    endResetModel();
}

void CTocListModel::SetRemarks(const std::vector<Remark>& remarks)
{
    std::map<std::size_t, QString> byBlock;
    for (const Remark& remark : remarks)
    {
        QString& texts = byBlock[remark.oglLine];
        if (!texts.isEmpty())
            texts += QLatin1Char('\n');
        AppendEditorText(texts, remark.text);
    }
    if (byBlock.empty() && m_remarks.empty())
        return;
    m_remarks.resize(m_entries.size());
    for (std::size_t row = 0; row < m_entries.size(); ++row)
    {
        const auto found = byBlock.find(m_entries[row].oglLine);
        QString texts = found == byBlock.end() ? QString() : found->second;
        // Most rows have none: they are left alone rather than each repainted.
        if (texts == m_remarks[row])
            continue;
        m_remarks[row] = std::move(texts);
        const QModelIndex changed = index(static_cast<int>(row));
        emit dataChanged(changed, changed, {kRemarkRole});
    }
    if (byBlock.empty())
        m_remarks = {};
}

bool CTocListModel::HasRemarks(int row) const
{
    return static_cast<std::size_t>(row) < m_remarks.size() &&
           !m_remarks[static_cast<std::size_t>(row)].isEmpty();
}

int CTocListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_entries.size());
}

QVariant CTocListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const auto row = static_cast<std::size_t>(index.row());
    switch (role)
    {
    case Qt::DisplayRole:
        return RowText(m_entries[row].text);
    case kRemarkRole:
        return row < m_remarks.size() ? m_remarks[row] : QString();
    default:
        return {};
    }
}

Qt::ItemFlags CTocListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
}
