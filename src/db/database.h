#pragma once

// The system's statement routines. Each works on the current session (DbSession::current()),
// returns 0 on success and -1 on failure with the error record filled, and never shows a message:
// the caller reports with LIB_DB_ShowError.

#include "dbsession.h"
#include "resulttable.h"

#include <QString>
#include <QVariant>

int LIB_DB_Connect();
int LIB_DB_Close();
int LIB_DB_BeginTrans();
// Unlike its begin and rollback companions, the commit reports failure: -1 with the error record
// filled when the connection broke at the commit or the server rolled the transaction back. The
// caller reports it (LIB_DB_ShowError) and shows nothing as recorded.
int LIB_DB_CommitTrans();
int LIB_DB_Rollback();
bool LIB_DB_InTransaction();

int LIB_DB_Select(const QString& sql, ResultTable& result);
// Like LIB_DB_Select, with text values as stored, trailing blanks included (MARC pieces, whose
// every character counts).
int LIB_DB_SelectStored(const QString& sql, ResultTable& result);
// Like LIB_DB_Select; with the long-MARC flag set, text values in the server's dump notation
// ("Typ=...") are decoded into text (see dumpdecoder.h).
int LIB_DB_SelectDecoded(const QString& sql, ResultTable& result);
// Like LIB_DB_SelectDecoded, after rewriting the MARC columns of the select list into dump() calls
// when the long-MARC flag is set.
int LIB_DB_SelectMarc(const QString& sql, ResultTable& result);
// The rewriting LIB_DB_SelectMarc applies (exposed for tests).
QString LIB_DB_RewriteMarcQuery(const QString& sql);

int LIB_DB_Execute(const QString& statement, int mode = 0);
int LIB_DB_CallProc(const QString& statement, int mode = 0);
QString LIB_DB_ServerDate();

ErrorRecord& LIB_DB_Error();
QString& LIB_DB_CurrentStatement();
const SchemaFlags& LIB_DB_SchemaFlags();

// Statement text helpers.
QString LIB_SQLQuote(const QVariant& value);
QString LIB_Replace(const QString& text, const QString& find, const QString& replacement, int& start);
QString LIB_Replace(const QString& text, const QString& find, const QString& replacement);
QString LIB_CutToken(QString& text, const QString& delimiter);
