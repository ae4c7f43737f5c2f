#include "newslistmodel.h"

#include <QFont>

NewsListModel::NewsListModel(QObject* parent) : QAbstractTableModel(parent) {}

void NewsListModel::setMessages(const QList<NewsMessage>& messages)
{
    beginResetModel();
    m_messages = messages;
    endResetModel();
}

const NewsMessage* NewsListModel::message(int row) const
{
    return row >= 0 && row < m_messages.size() ? &m_messages.at(row) : nullptr;
}

void NewsListModel::setRead(int row)
{
    if (!message(row) || m_messages.at(row).read)
        return;
    m_messages[row].read = true;
    Q_EMIT dataChanged(index(row, 0), index(row, ColumnCount - 1));
    if (changed)
        changed(m_messages.at(row));
}

QString NewsListModel::typeText(const QString& type)
{
    if (type == QLatin1String("T"))
        return QStringLiteral("文本");
    if (type == QLatin1String("L"))
        return QStringLiteral("链接");
    if (type == QLatin1String("W"))
        return QStringLiteral("网页");
    return type;
}

int NewsListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_messages.size());
}

int NewsListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant NewsListModel::data(const QModelIndex& index, int role) const
{
    const NewsMessage* m = message(index.row());
    if (!m)
        return {};
    if (role == Qt::CheckStateRole && index.column() == Subject)
        return m->checked ? Qt::Checked : Qt::Unchecked;
    if (role == Qt::FontRole && !m->read) {
        QFont bold;
        bold.setBold(true);
        return bold;
    }
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case Subject:
        return m->subject;
    case Type:
        return typeText(m->type);
    case IssueTime:
        return m->issueTime;
    case IssueOrgName:
        return m->issueOrgName;
    case ReadState:
        return m->read ? QStringLiteral("已读") : QStringLiteral("未读");
    default:
        return {};
    }
}

bool NewsListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::CheckStateRole || index.column() != Subject || !message(index.row()))
        return false;
    m_messages[index.row()].checked = value.toInt() == Qt::Checked;
    Q_EMIT dataChanged(index, index);
    if (changed)
        changed(m_messages.at(index.row()));
    return true;
}

Qt::ItemFlags NewsListModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.column() == Subject)
        f |= Qt::ItemIsUserCheckable;
    return f;
}

QVariant NewsListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const char* const captions[] = {"主题", "类型", "发布时间", "发布单位", "状态"};
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < ColumnCount)
        return QString::fromUtf8(captions[section]);
    return QAbstractTableModel::headerData(section, orientation, role);
}
