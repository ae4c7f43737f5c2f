#include "marcindexparams.h"

#include "db/database.h"

namespace {
// marc_idx_para.marc_type_id of each MARC type, and the use of the bibliographic search.
constexpr const char* typeIds[MarcIndexParameters::TypeCount] = {"C", "U", "c", "u"};
constexpr const char* bibliographicUse = "1";
} // namespace

MarcIndexParameters& MarcIndexParameters::instance()
{
    static MarcIndexParameters parameters;
    return parameters;
}

QString MarcIndexParameters::groupQuery(int marcType)
{
    return QStringLiteral("SELECT marc_idx_grp,marc_idx_grp_name,stopword_flag,marc_field FROM marc_idx_para "
                          "WHERE marc_type_id=") +
           LIB_SQLQuote(QString::fromLatin1(typeIds[marcType])) + QStringLiteral(" AND use_type=") +
           LIB_SQLQuote(QString::fromLatin1(bibliographicUse)) + QStringLiteral(" ORDER BY marc_idx_grp");
}

int MarcIndexParameters::load()
{
    ResultTable tables[TypeCount];
    for (int type = 0; type < TypeCount; ++type) {
        LIB_DB_CurrentStatement() = groupQuery(type);
        if (LIB_DB_Select(LIB_DB_CurrentStatement(), tables[type]) != 0)
            return -1;
    }
    ResultTable words;
    LIB_DB_CurrentStatement() =
        QStringLiteral(" SELECT stopword_cont,stopword_type FROM stopword ORDER BY stopword_type");
    if (LIB_DB_Select(LIB_DB_CurrentStatement(), words) != 0)
        return -1;
    for (int type = 0; type < TypeCount; ++type)
        setGroups(type, tables[type]);
    setStopwords(words);
    return 0;
}

void MarcIndexParameters::setGroups(int marcType, const ResultTable& rows)
{
    if (marcType < 0 || marcType >= TypeCount)
        return;
    QList<MarcIndexGroup>& groups = m_groups[marcType];
    groups.clear();
    for (int r = 2; r < rows.recordCount() + 2; ++r)
        groups.append({rows.text(0, r), rows.text(1, r), rows.text(2, r).trimmed() == QLatin1String("1"),
                       rows.text(3, r).trimmed()});
}

void MarcIndexParameters::setStopwords(const ResultTable& rows)
{
    m_stopwords.clear();
    for (int r = 2; r < rows.recordCount() + 2; ++r)
        m_stopwords.append({rows.text(0, r), rows.text(1, r)});
}

const QList<MarcIndexGroup>& MarcIndexParameters::groups(int marcType) const
{
    static const QList<MarcIndexGroup> none;
    return marcType >= 0 && marcType < TypeCount ? m_groups[marcType] : none;
}

QString MarcIndexParameters::fieldSpec(int marcType, int group) const
{
    for (const MarcIndexGroup& g : groups(marcType)) {
        bool number = false;
        if (g.group.trimmed().toInt(&number) == group && number)
            return g.fieldSpec;
    }
    return {};
}
