#pragma once

// The one-off template ("[自定义]"): rows of class name, scheme name and call-number pattern that
// the operator puts together for the session in frmTmpSetTemplate.

#include <QList>
#include <QString>

class OneOffTemplate
{
public:
    struct Row
    {
        QString className;  // 分类名称
        QString schemeName; // 分类法
        QString classCode;  // 分类代码, the syntax of comp_cls
        bool operator==(const Row&) const = default;
    };

    static OneOffTemplate& current();

    const QList<Row>& rows() const { return m_rows; }
    void setRows(QList<Row> rows) { m_rows = std::move(rows); }
    void clear() { m_rows.clear(); }

    // "分类名称不能为空" etc.: the first row that cannot be used, as the text the dialog shows; empty
    // when every row is complete.
    static QString refusal(const QList<Row>& rows);

private:
    QList<Row> m_rows;
};
