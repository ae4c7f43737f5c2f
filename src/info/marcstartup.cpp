// The start-up step that loads what the MARC reading and the book search need.
#include "db/database.h"
#include "db/logfile.h"
#include "db/messages.h"
#include "marcindexparams.h"
#include "marcsearchpaths.h"

namespace {

// These boxes come before the message table matters and carry their own title.
void reportStartupFailure(const QString& text, const QString& detail)
{
    LIB_WriteLogFile(detail.isEmpty() ? text : text + QLatin1Char(' ') + detail);
    MessagePresenter* presenter = LIB_MessagePresenter();
    if (!presenter)
        return;
    MessagePresenter::Box box;
    box.icon = MessagePresenter::Icon::Stop;
    box.title = QStringLiteral("系统初始化");
    box.text = text;
    presenter->show(box);
}

} // namespace

int LIB_LoadMarcIndexParameters()
{
    if (MarcIndexParameters::instance().load() != 0) {
        ErrorRecord& error = LIB_DB_Error();
        const QString detail = error.description + QLatin1Char(' ') + LIB_DB_CurrentStatement();
        error.clear();
        reportStartupFailure(
            QStringLiteral("初始化MARC索引参数出错，请代码管理员检查marc_idx_para数据是否正确。"),
            detail.trimmed());
        return -1;
    }
    switch (MarcSearchPaths::instance().load(MarcSearchPaths::defaultFile())) {
    case MarcSearchPaths::Status::Loaded:
        return 0;
    case MarcSearchPaths::Status::Missing:
        reportStartupFailure(QStringLiteral("初始化编目数据参数出错，请请恢复cfg\\bm\\baseparam。"),
                             MarcSearchPaths::defaultFile());
        return -1;
    case MarcSearchPaths::Status::Broken:
        reportStartupFailure(QStringLiteral("编目参数文件初始化错"), MarcSearchPaths::defaultFile());
        return -1;
    }
    return -1;
}
