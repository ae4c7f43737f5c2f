#pragma once

// Names of the codes held in the cached code tables. A code that is not cached gives the code
// itself, or empty text for the statistics types and the class id lookup.

#include <QString>

QString LIB_LocationName(const QString& code);
QString LIB_DepartmentName(const QString& code);
QString LIB_DocTypeName(const QString& code);
QString LIB_LanguageName(const QString& code); // matched upper-cased
QString LIB_CountryName(const QString& code);  // matched upper-cased
QString LIB_ReaderTypeName(const QString& code);
QString LIB_WorkerName(const QString& code);
QString LIB_LendGradeName(const QString& code);
QString LIB_ViolationName(const QString& code);
QString LIB_CarrierName(const QString& code);
QString LIB_GetModeName(const QString& code);
QString LIB_CircTypeName(const QString& code);
QString LIB_ClassName(const QString& code);
QString LIB_StatTypeName(const QString& code);
QString LIB_ClassId(const QString& className);
