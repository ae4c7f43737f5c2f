#pragma once

#include "newsstore.h"

#include <QAbstractTableModel>
#include <functional>

// The message centre's list: a check box and the subject, then type, issue time, issuer and
// whether the message was read; unread messages in bold.
class NewsListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { Subject, Type, IssueTime, IssueOrgName, ReadState, ColumnCount };

    explicit NewsListModel(QObject* parent = nullptr);

    void setMessages(const QList<NewsMessage>& messages);
    const QList<NewsMessage>& messages() const { return m_messages; }
    const NewsMessage* message(int row) const;
    void setRead(int row);

    // Called when the operator ticks or clears a message's box, or a message is read.
    std::function<void(const NewsMessage&)> changed;

    static QString typeText(const QString& type);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QList<NewsMessage> m_messages;
};
