#include "fixedcodenames.h"

#include <initializer_list>
#include <utility>

namespace {

using CodeName = std::pair<const char*, const char*>;

QString nameIn(std::initializer_list<CodeName> names, const QString& code, const QString& notFound)
{
    for (const auto& [knownCode, name] : names) {
        if (code == QLatin1String(knownCode))
            return QString::fromUtf8(name);
    }
    return notFound;
}

} // namespace

QString LIB_LendFlagName(const QString& code)
{
    return nameIn({{"0", "在馆"}, {"1", "借出"}, {"2", "预约回馆"}, {"3", "委托借出"}}, code, code);
}

QString LIB_ItemStatusName(const QString& code)
{
    return nameIn({{"11", "正常验收"}, {"12", "赠送验收"}, {"13", "交换验收"}, {"14", "自采验收"},
                   {"15", "送编验收"}, {"16", "在编"},     {"17", "典藏处理"}, {"33", "书刊修补"},
                   {"34", "破损报废"}, {"35", "剔旧报废"}, {"36", "赠送出"},   {"37", "交换出"},
                   {"38", "丢失"},     {"39", "遗失赔偿"}, {"3A", "下架装订"}, {"3B", "声明丢失"},
                   {"3C", "停借"},     {"41", "可借"},     {"42", "非可借"},   {"43", "阅览"},
                   {"44", "业务用书"}, {"45", "保留本"},   {"46", "分馆藏书"}},
                  code, QString());
}

bool LIB_IsShelfStatus(const QString& code)
{
    for (const char* status : {"33", "41", "42", "3C", "43", "44", "45", "46"}) {
        if (code == QLatin1String(status))
            return true;
    }
    return false;
}

QString LIB_ProcessName(const QString& code)
{
    return nameIn(
        {{"01", "书刊修补"}, {"02", "书刊回验"}, {"03", "书刊剔旧"}, {"04", "书刊赠送"}, {"05", "书刊交换"}},
        code, QString());
}

QString LIB_MarcTypeName(const QString& code)
{
    return nameIn({{"C", "CN"}, {"N", "CN"}, {"U", "US"}, {"c", "CN规范"}, {"u", "US规范"}}, code, QString());
}

QString LIB_OrderStatusName(const QString& code)
{
    return nameIn({{"0", "待订"}, {"1", "订购"}, {"2", "待编"}, {"3", "已编"}, {"4", "审校"}}, code,
                  QString());
}
