#include "codenames.h"

#include "codetables.h"

namespace {

// The first data row, in cached order, whose key equals the code exactly; the tables are small,
// so a linear scan is all it takes.
QString lookUp(CodeTable which, int keyColumn, int resultColumn, const QString& code, const QString& notFound)
{
    const ResultTable& table = LIB_CodeTable(which);
    for (int row = 2; row < table.recordCount() + 2; ++row) {
        if (table.text(keyColumn, row) == code)
            return table.text(resultColumn, row);
    }
    return notFound;
}

QString nameOrCode(CodeTable which, const QString& code)
{
    return lookUp(which, 0, 1, code, code);
}

} // namespace

QString LIB_LocationName(const QString& code)
{
    return nameOrCode(CodeTable::Locations, code);
}

QString LIB_DepartmentName(const QString& code)
{
    return nameOrCode(CodeTable::Departments, code);
}

QString LIB_DocTypeName(const QString& code)
{
    return nameOrCode(CodeTable::DocTypes, code);
}

// Language and country codes are stored upper-cased; MARC records often carry them in lower case.
QString LIB_LanguageName(const QString& code)
{
    return lookUp(CodeTable::Languages, 0, 1, code.toUpper(), code);
}

QString LIB_CountryName(const QString& code)
{
    return lookUp(CodeTable::Countries, 0, 1, code.toUpper(), code);
}

QString LIB_ReaderTypeName(const QString& code)
{
    return nameOrCode(CodeTable::ReaderTypes, code);
}

QString LIB_WorkerName(const QString& code)
{
    return nameOrCode(CodeTable::Workers, code);
}

QString LIB_LendGradeName(const QString& code)
{
    return nameOrCode(CodeTable::LendGrades, code);
}

QString LIB_ViolationName(const QString& code)
{
    return nameOrCode(CodeTable::Violations, code);
}

QString LIB_CarrierName(const QString& code)
{
    return nameOrCode(CodeTable::Carriers, code);
}

QString LIB_GetModeName(const QString& code)
{
    return nameOrCode(CodeTable::GetModes, code);
}

QString LIB_CircTypeName(const QString& code)
{
    return nameOrCode(CodeTable::CircTypes, code);
}

QString LIB_ClassName(const QString& code)
{
    return nameOrCode(CodeTable::Classifications, code);
}

// The statistics-type table lists the name before the code.
QString LIB_StatTypeName(const QString& code)
{
    return lookUp(CodeTable::StatTypes, 1, 0, code, QString());
}

QString LIB_ClassId(const QString& className)
{
    return lookUp(CodeTable::Classifications, 1, 0, className, QString());
}
