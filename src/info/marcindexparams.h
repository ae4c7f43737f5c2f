#pragma once

#include "db/resulttable.h"

#include <QList>
#include <QString>

// One search index group of a MARC type (table marc_idx_para).
struct MarcIndexGroup
{
    QString group; // "01", "02", ...
    QString name;  // "题名"
    bool stopwords = false;
    QString fieldSpec; // "200f,701a,711a,702a"
};

struct MarcStopword
{
    QString content;
    QString type;
};

// The MARC index parameters and stop words, loaded once at start-up and read-only afterwards.
// They also name the fields of the bibliographic elements.
class MarcIndexParameters
{
public:
    static constexpr int TypeCount = 4; // CN MARC, US MARC and their authority formats

    static MarcIndexParameters& instance();

    // Runs the parameter query of every MARC type and the stop-word query. -1 with the error
    // record filled when one fails; the tables keep what they held before.
    int load();

    void setGroups(int marcType, const ResultTable& rows); // rows as the parameter query returns them
    void setStopwords(const ResultTable& rows);

    const QList<MarcIndexGroup>& groups(int marcType) const;
    // The field path of the group whose code reads as this number; empty when none.
    QString fieldSpec(int marcType, int group) const;
    const QList<MarcStopword>& stopwords() const { return m_stopwords; }

    // The parameter query of a MARC type (0 to 3).
    static QString groupQuery(int marcType);

private:
    QList<MarcIndexGroup> m_groups[TypeCount];
    QList<MarcStopword> m_stopwords;
};

// The start-up step: index parameters, stop words and the search paths of BM_MarcIDX.ini. A
// failure shows its message (titled "系统初始化"), writes it to the log and returns -1.
int LIB_LoadMarcIndexParameters();
