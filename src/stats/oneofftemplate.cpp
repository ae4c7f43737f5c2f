#include "oneofftemplate.h"

OneOffTemplate& OneOffTemplate::current()
{
    static OneOffTemplate instance;
    return instance;
}

QString OneOffTemplate::refusal(const QList<Row>& rows)
{
    if (rows.isEmpty())
        return QStringLiteral("请输入分类条件");
    for (const Row& row : rows) {
        if (row.className.trimmed().isEmpty())
            return QStringLiteral("分类名称不能为空");
        if (row.classCode.isEmpty())
            return QStringLiteral("分类代码不能为空");
    }
    return {};
}
