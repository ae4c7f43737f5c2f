#pragma once

#include "db/resulttable.h"

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

// The result grid of the general reader search: one row per card, columns "已注销" (checked for
// a deregistered reader), "条码号", "有效证件号", "姓名", "身份证号", "单位", "职业", "读者类型",
// "年级组", "办证日期", "经手人", "证件状态".
class ReaderSearchModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column {
        Deregistered,
        Barcode,
        CertId,
        Name,
        IdCard,
        Dept,
        Occupation,
        TypeName,
        GradeGroup,
        OperDate,
        Operator,
        CardState,
        ColumnCount
    };

    explicit ReaderSearchModel(QObject* parent = nullptr);

    // Takes the rows of the search statement (its twelve columns in order).
    void setResult(const ResultTable& rows);
    void clear();
    QString text(int row, Column column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QList<QStringList> m_rows;
};
