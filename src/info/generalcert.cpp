#include "generalcert.h"

#include "db/messages.h"
#include "infoconversions.h"
#include "startup/environment.h"
#include "startup/profilefile.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QUrl>

namespace {

constexpr int replyTimeoutMs = 15000;

QString configured(const char* key)
{
    return ProfileFile::read(Environment::instance().programDirectory() + QStringLiteral("tavorn.ini"),
                             QStringLiteral("GENERAL"), QLatin1String(key))
        .trimmed();
}

} // namespace

QString GeneralCert::baseAddress()
{
    QString address = configured("URL");
    while (address.endsWith(QLatin1Char('/')))
        address.chop(1);
    return address;
}

QString GeneralCert::serviceCode()
{
    return configured("CODE");
}

bool GeneralCert::isConfigured()
{
    return !baseAddress().isEmpty();
}

bool GeneralCert::isServiceReader(const QString& code02)
{
    const int separator = code02.indexOf(QLatin1Char('|'));
    const QString code = serviceCode();
    return separator >= 0 && !code.isEmpty() && code02.mid(separator + 1).trimmed() == code;
}

QByteArray GeneralCert::urlEncode(const QString& text)
{
    QByteArray encoded;
    for (const char byte : text.toUtf8()) {
        const auto c = static_cast<unsigned char>(byte);
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))
            encoded += char(c);
        else if (c == ' ')
            encoded += '+';
        else
            encoded += '%' + QByteArray::number(c, 16).toUpper().rightJustified(2, '0');
    }
    return encoded;
}

QByteArray GeneralCert::requestPath(Lookup lookup, const QString& text)
{
    return (lookup == Lookup::Certificate ? QByteArrayLiteral("/general/certsearch.php?strChr=")
                                          : QByteArrayLiteral("/general/redrsearch.php?strChr=")) +
           urlEncode(text);
}

GeneralCert::Reply GeneralCert::parseReply(const QString& text)
{
    const int end = text.indexOf(QChar(GroupSeparator));
    const QStringList head = text.left(end < 0 ? text.size() : end).split(QChar(FieldSeparator));
    return {head.value(0).trimmed(), head.value(1), end < 0 ? QString() : text.mid(end + 1)};
}

QString GeneralCert::failureMessage(Lookup lookup, const QString& detail)
{
    return (lookup == Lookup::Certificate ? QStringLiteral("E获取通用证信息失败!")
                                          : QStringLiteral("E获取信息失败!")) +
           QLatin1Char('\n') + detail;
}

int GeneralCert::ask(Lookup lookup, const QString& text, QString& rest)
{
    rest.clear();
    if (!isConfigured())
        return -1; // the feature is off: nothing is asked and nothing shown
    QNetworkAccessManager network;
    QNetworkRequest request(QUrl::fromEncoded(baseAddress().toUtf8() + requestPath(lookup, text)));
    request.setTransferTimeout(replyTimeoutMs);
    QNetworkReply* reply = network.get(request);
    QEventLoop wait;
    QObject::connect(reply, &QNetworkReply::finished, &wait, &QEventLoop::quit);
    wait.exec();
    reply->deleteLater();
    if (reply->error() != QNetworkReply::NoError) {
        LIB_ShowMsg(failureMessage(lookup, reply->errorString()));
        return -1;
    }
    const Reply answer = parseReply(QString::fromUtf8(reply->readAll()));
    if (answer.failed()) {
        LIB_ShowMsg(failureMessage(lookup, answer.message));
        return -1;
    }
    rest = answer.rest;
    return 0;
}

QString GeneralCert::Record::stateText() const
{
    return InfoText::cardState(fields.value(1));
}

GeneralCert::Record GeneralCert::Record::fromReply(const QString& rest)
{
    QString text = rest;
    if (text.endsWith(QChar(GroupSeparator)))
        text.chop(1);
    return {text.split(QChar(FieldSeparator))};
}
