#include "readerportrait.h"

#include "db/database.h"
#include "startup/environment.h"

#include <QDir>
#include <QSaveFile>

QString readerPortraitFileName(const QByteArray& bytes)
{
    const QByteArray signature = bytes.left(2).toHex().toUpper();
    if (signature == "424D")
        return QStringLiteral("portrait.bmp");
    if (signature == "4749")
        return QStringLiteral("portrait.gif");
    return QStringLiteral("portrait.jpg");
}

int LIB_LoadReaderPortrait(const QString& certId, QString& path)
{
    path.clear();
    // Result tables carry text, so the bytes travel as hexadecimal text and arrive whole in the
    // one row: no chunked reading is needed.
    LIB_DB_CurrentStatement() = QStringLiteral("SELECT p_cert_id, encode(rearder_portrait, 'hex') AS "
                                               "rearder_portrait FROM reader_portrait WHERE P_cert_id=") +
                                LIB_SQLQuote(certId);
    ResultTable rows;
    if (LIB_DB_Select(LIB_DB_CurrentStatement(), rows) != 0)
        return -1;
    const QByteArray bytes = QByteArray::fromHex(rows.text(1, 2).toLatin1());
    if (bytes.isEmpty())
        return 0;

    const QString tmp = LIB_GetEnv(13).toString();
    QDir().mkpath(tmp);
    const QString file = tmp + readerPortraitFileName(bytes);
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
        return 0; // a portrait that cannot be written shows as the default picture
    path = file;
    return 0;
}
