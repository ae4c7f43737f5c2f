#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The shared general-certificate service, reached over HTTP at a base address configured in
// tavorn.ini (section "GENERAL": URL the base address, CODE the service's own code). Without an
// address the features that use it stay off.
namespace GeneralCert {

constexpr char16_t GroupSeparator = 29;
constexpr char16_t FieldSeparator = 31;

QString baseAddress();
QString serviceCode();
bool isConfigured();

// Whether a reader's card belongs to the service: the part of code02 after its "|" equals the
// service's code (both non-empty).
bool isServiceReader(const QString& code02);

// The request text: letters and digits kept, a blank as "+", every other byte of the UTF-8 text
// as "%" and two upper-case hexadecimal digits.
QByteArray urlEncode(const QString& text);

enum class Lookup { Certificate, Reader };
// "/general/certsearch.php?strChr=" or "/general/redrsearch.php?strChr=" and the encoded text.
QByteArray requestPath(Lookup lookup, const QString& text);

// A reply: the first group (up to character 29) holds the status and a message, separated by
// character 31; the rest follows the first character 29.
struct Reply
{
    QString status;
    QString message;
    QString rest;
    bool failed() const { return status == QLatin1String("-1"); }
};
Reply parseReply(const QString& text);

// The failure message of a lookup kind with the service's text on a second line.
QString failureMessage(Lookup lookup, const QString& detail);

// Asks the service and waits for its reply (the window's events keep running). 0 with the rest of
// the reply; -1 after showing the failure message (a "-1" status, or no answer), or at once and
// silently when no address is configured.
int ask(Lookup lookup, const QString& text, QString& rest);

// A certificate record as the certificate lookup returns it: fields separated by character 31,
// the card number (CERT_ID) first and its state code ("0" cancelled, "2" lost) second.
struct Record
{
    QStringList fields;
    QString certId() const { return fields.value(0); }
    QString stateText() const; // "有效", "注销" or "挂失"
    static Record fromReply(const QString& rest);
};

} // namespace GeneralCert
