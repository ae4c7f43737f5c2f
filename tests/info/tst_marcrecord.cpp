// MARC records without a database: real ISO 2709 records against an independent tool's dump,
// field paths and bibliographic elements, the dump-decoding path, damaged records and
// the ISBN form.
#include "db/dumpdecoder.h"
#include "info/bibelements.h"
#include "info/isbnform.h"
#include "info/marcindexparams.h"
#include "info/marcreader.h"
#include "info/marcvalue.h"
#include "marctestdata.h"

#include <QTest>

using marctest::cnMarc;
using marctest::sample;

namespace {

// A field the way yaz-marcdump prints it: "245 10 $a Title / $c Author." or "001 12345".
QString dumpLine(const QString& tag, const QString& text)
{
    if (tag.startsWith(QLatin1String("00")))
        return tag + QLatin1Char(' ') + text;
    QStringList subfields;
    for (const QString& part : text.mid(2).split(QChar(31), Qt::SkipEmptyParts))
        subfields << QLatin1Char('$') + part.left(1) + QLatin1Char(' ') + part.mid(1);
    return tag + QLatin1Char(' ') + text.left(2) + QLatin1Char(' ') + subfields.join(QLatin1Char(' '));
}

// Rows as the dump-decoding query returns them: twelve chunks of "Typ=1 Len=n: hh,hh,..." with
// the big-endian UTF-16 bytes of 500 characters each, "NULL" once the text has ended.
ResultTable dumpedRows(const QString& text, int rows)
{
    ResultTable table(12, rows);
    for (int chunk = 0; chunk < rows * 12; ++chunk) {
        QStringList bytes;
        for (const QChar unit : text.mid(chunk * 500, 500))
            bytes << QString::number(unit.unicode() >> 8, 16) << QString::number(unit.unicode() & 0xff, 16);
        table.setValue(chunk % 12, chunk / 12 + 2,
                       bytes.isEmpty() ? QStringLiteral("NULL")
                                       : QStringLiteral("Typ=1 Len=0: ") + bytes.join(','));
    }
    return table;
}

ResultTable groupRows(const QList<QPair<QString, QString>>& groups)
{
    ResultTable table(4, int(groups.size()));
    for (int i = 0; i < groups.size(); ++i) {
        table.setValue(0, i + 2, groups[i].first);
        table.setValue(3, i + 2, groups[i].second);
    }
    return table;
}

const QList<QPair<QString, QString>> chineseFields = {
    {"001", "012000123"}, {"200", "1 $a红楼梦$f曹雪芹著"}, {"210", "  $a北京$c人民文学出版社$d1982"}};

} // namespace

Q_DECLARE_METATYPE(MarcRecord)

class TestMarcRecord : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        MarcIndexParameters& parameters = MarcIndexParameters::instance();
        parameters.setGroups(MarcRecord::CnMarc,
                             groupRows({{"01", "200a"}, {"02", "200f,701a"}, {"08", "210c"}}));
        parameters.setGroups(MarcRecord::UsMarc,
                             groupRows({{"01", "245a"}, {"02", "245c,100a"}, {"08", "260b"}}));
        parameters.setGroups(MarcRecord::CnAuthority, groupRows({{"1", "200a,210a"}}));
    }

    void samplesMatchIndependentDump_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("US MARC, ASCII, 20 records") << "usmarc-20";
        QTest::newRow("US MARC, UTF-8") << "usmarc-utf8-1";
        QTest::newRow("US MARC, multi-byte characters") << "usmarc-diacritic-1";
        QTest::newRow("UNIMARC with linking fields") << "unimarc-1";
    }
    void samplesMatchIndependentDump()
    {
        QFETCH(QString, file);
        QFile dump(QStringLiteral(MARC_DATA_DIR "/") + file + QStringLiteral(".txt"));
        QVERIFY(dump.open(QIODevice::ReadOnly));
        QStringList dumped;
        for (const QByteArray& lines : dump.readAll().trimmed().split('\n'))
            dumped << QString::fromUtf8(lines);
        QStringList read;
        for (const QByteArray& text : marctest::sampleRecords(file + QStringLiteral(".mrc"))) {
            const MarcRecord record = MarcRecord::fromIso2709(text);
            if (!read.isEmpty())
                read << QString(); // the dump puts a blank line between records
            read << record.leader();
            for (int f = 0; f < record.fieldCount(); ++f)
                read << dumpLine(record.directory().at(f).tag, record.fieldText(f));
        }
        QCOMPARE(read, dumped);
    }

    // A query is a field path, or "#n" for bibliographic element n.
    void extraction_data()
    {
        QTest::addColumn<MarcRecord>("record");
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("value");
        const MarcRecord us = sample("usmarc-20.mrc", 0, "U");
        const MarcRecord amateur = sample("usmarc-diacritic-1.mrc", 0, "U");
        const MarcRecord uni = sample("unimarc-1.mrc", 0, "C");
        const MarcRecord chinese = cnMarc(chineseFields);
        auto cn = [](const char* f200, const char* f205) { return cnMarc({{"200", f200}, {"205", f205}}); };
        MarcRecord authority = cnMarc({{"210", "  $a北京"}});
        authority.setHeader({"c", {}, {}, {}, {}, {}, {}});

        QTest::newRow("subfield, trimmed") << us << "010a"
                                           << "99043581";
        QTest::newRow("whole field without marks")
            << amateur << "245"
            << "Amateur media : social, cultural and legal perspectives / edited by Dan Hunter ... [et al.].";
        QTest::newRow("control field") << us << "005a"
                                       << "20040816084925.0";
        QTest::newRow("first repeat that has the subfield") << uni << "899e"
                                                            << "N";
        QTest::newRow("first alternative with a value") << us << "250a,246a,100a"
                                                        << "Hunt, Andrew,";
        QTest::newRow("no value") << us << "250a,999"
                                  << "";
        QTest::newRow("after multi-byte characters") << amateur << "650x"
                                                     << "Law and legislation.";
        QTest::newRow("directory counts UTF-8 bytes") << chinese << "210c"
                                                      << "人民文学出版社";
        QTest::newRow("embedded field") << uni << "4101200a"
                                        << "Bestsellers";
        QTest::newRow("embedded field of the next linking field") << uni << "4101200f"
                                                                  << "Isaac Asimov";
        QTest::newRow("second embedded field") << uni << "4541700a"
                                               << "Asimov";
        QTest::newRow("linking field outside CN MARC") << sample("unimarc-1.mrc", 0, "U") << "4101200a"
                                                       << "001IT\\ICCU\\CFI\\0012751";
        QTest::newRow("CN title with part, other title, edition") << cn("1 $aT$h1$eS", "  $aE") << "#0"
                                                                  << "T.1:S-E";
        QTest::newRow("CN title with part number and name") << cn("1 $aT$h1$iN", "") << "#0"
                                                            << "T.1,N";
        QTest::newRow("CN title with part name") << cn("1 $aT$iN$eS", "") << "#0"
                                                 << "T.N:S";
        QTest::newRow("CN title, Chinese") << chinese << "#0"
                                           << "红楼梦";
        QTest::newRow("US title with edition") << sample("usmarc-20.mrc", 1, "U") << "#0"
                                               << "Programming Python /-2nd ed.";
        QTest::newRow("US title with remainder") << us << "#0"
                                                 << "The pragmatic programmer : from journeyman to master /";
        QTest::newRow("authority title: index group 1") << authority << "#0"
                                                        << "北京";
        QTest::newRow("US responsible person") << us << "#1"
                                               << "Andrew Hunt, David Thomas.";
        QTest::newRow("US publisher") << us << "#3"
                                      << "Addison-Wesley,";
        QTest::newRow("CN responsible person, element 11") << uni << "#11"
                                                           << "Isaac Asimov";
        QTest::newRow("CN publisher") << uni << "#3"
                                      << "A. Mondadori";
        QTest::newRow("group not loaded") << uni << "#4"
                                          << "";
        QTest::newRow("unknown MARC type") << sample("unimarc-1.mrc", 0, "X") << "#1"
                                           << "";
        QTest::newRow("base address 25")
            << MarcRecord::fromIso2709("00026nam0 2200025   4500\x1e\x1d") << "#0"
            << "";
    }
    void extraction()
    {
        QFETCH(MarcRecord, record);
        QFETCH(QString, query);
        QFETCH(QString, value);
        if (query.startsWith(QLatin1Char('#')))
            QCOMPARE(LIB_GetBibElement(record, query.mid(1).toInt()), value);
        else
            QCOMPARE(LIB_GetMarcValue(record, query), value);
    }

    void dumpDecoding_data()
    {
        QTest::addColumn<QString>("dumped");
        QTest::addColumn<QString>("text");
        QTest::newRow("two letters") << "Typ=1 Len=4: 0,41,0,42"
                                     << "AB";
        QTest::newRow("one Chinese character") << "Typ=1 Len=2: 4e,2d"
                                               << "中";
        QTest::newRow("NULL") << "NULL"
                              << "";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("odd last byte is a high byte") << "Typ=1 Len=3: 0,41,4e"
                                                      << "A\u4e00";
    }
    void dumpDecoding()
    {
        QFETCH(QString, dumped);
        QFETCH(QString, text);
        QCOMPARE(LIB_DecodeDump(dumped), text);
        ResultTable row(12, 1);
        row.setValue(0, 2, QStringLiteral("Typ=1 Len=2: 0,5a"));
        row.setValue(1, 2, dumped);
        QCOMPARE(MarcReader::decodedText(row, 2, 3, 0), (QStringLiteral("Z") + text + QChar(29)).toUtf8());
    }

    void decodedTextReadsLikeStoredText_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("rows");
        QTest::newRow("Chinese title") << marctest::iso2709(chineseFields) << 1;
        QTest::newRow("two rows") << marctest::sampleRecords("unimarc-1.mrc").value(0) << 2;
    }
    void decodedTextReadsLikeStoredText()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, rows);
        const QByteArray decoded =
            MarcReader::decodedText(dumpedRows(QString::fromUtf8(text).chopped(1), rows), 2, rows + 2, 0);
        QCOMPARE(decoded, text); // the missing record terminator is added
        const MarcRecord stored = MarcRecord::fromIso2709(text);
        const MarcRecord fromDump = MarcRecord::fromIso2709(decoded, true);
        QCOMPARE(fromDump.fieldCount(), stored.fieldCount());
        QCOMPARE(fromDump.fieldText(fromDump.fieldCount() - 1), stored.fieldText(stored.fieldCount() - 1));
    }

    void damagedRecords_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("fields");
        QTest::addColumn<int>("intact"); // fields that read as in the whole record
        const QByteArray whole = marctest::sampleRecords("usmarc-20.mrc").value(0);
        QTest::newRow("empty") << QByteArray() << 0 << 0;
        QTest::newRow("shorter than a leader") << whole.left(10) << 0 << 0;
        QTest::newRow("cut inside the directory") << whole.left(24 + 12 * 5 + 7) << 5 << 0;
        QTest::newRow("cut inside the data") << whole.left(530) << 22 << 6;
        QTest::newRow("base address not a number") << QByteArray(whole).replace(12, 5, "ab   ") << 0 << 0;
        QTest::newRow("unreadable directory numbers")
            << QByteArray(whole).replace(24 + 3, 9, "x1y2zzzzz") << 22 << 21;
        QTest::newRow("field past the end") << QByteArray(whole).replace(24 + 7, 5, "99999") << 22 << 21;
    }
    void damagedRecords()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, fields);
        QFETCH(int, intact);
        const MarcRecord whole = MarcRecord::fromIso2709(marctest::sampleRecords("usmarc-20.mrc").value(0));
        const MarcRecord record = MarcRecord::fromIso2709(text);
        QCOMPARE(record.fieldCount(), fields);
        int same = 0;
        for (int f = 0; f < record.fieldCount(); ++f) {
            const QString read = record.fieldText(f);
            QVERIFY(whole.fieldText(f).startsWith(read)); // never more than the field's own bytes
            same += read == whole.fieldText(f) ? 1 : 0;
        }
        QCOMPARE(same, intact);
    }

    void isbnForm_data()
    {
        QTest::addColumn<QString>("ean");
        QTest::addColumn<QString>("form");
        QTest::newRow("publisher of four digits") << "9787500612349"
                                                  << "7-5006-1234-6";
        QTest::newRow("twelve characters") << "978750061234"
                                           << "978750061234";
        QTest::newRow("publisher of two digits, check X") << "9787020000071"
                                                          << "7-02-000007-X";
        QTest::newRow("check 0") << "9787020000011"
                                 << "7-02-000001-0";
        QTest::newRow("publisher of three digits") << "9787111075752"
                                                   << "7-111-07575-7";
        QTest::newRow("publisher of five digits") << "9787810000002"
                                                  << "7-81000-000-4";
        QTest::newRow("publisher of six digits") << "9787900000003"
                                                 << "7-900000-00-3";
        QTest::newRow("prefix 979") << "9791234567896"
                                    << "1-234-56789-X";
        QTest::newRow("ISSN") << "9771234567003"
                              << "1234-567";
        QTest::newRow("other prefix") << "9801234567890"
                                      << "9801234567890";
        QTest::newRow("not digits") << "978750061X349"
                                    << "978750061X349";
    }
    void isbnForm()
    {
        QFETCH(QString, ean);
        QFETCH(QString, form);
        QCOMPARE(LIB_IsbnForm(ean), form);
    }
};

QTEST_GUILESS_MAIN(TestMarcRecord)
#include "tst_marcrecord.moc"
