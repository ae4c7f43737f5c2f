// MARC records without a database: real ISO 2709 records against an independent tool's dump,
// field paths and bibliographic elements, directories counting UTF-8 or ANSI bytes, damaged
// records and the ISBN form. (The dump-decoding path reads the server's own dumps: tst_marcreader.)
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

        // clang-format off
        QTest::newRow("subfield, trimmed") << us << "010a" << "99043581";
        QTest::newRow("whole field without marks") << amateur << "245"
            << "Amateur media : social, cultural and legal perspectives / edited by Dan Hunter ... [et al.].";
        QTest::newRow("control field") << us << "005a" << "20040816084925.0";
        QTest::newRow("first repeat that has the subfield") << uni << "899e" << "N";
        QTest::newRow("first alternative with a value") << us << "250a,246a,100a" << "Hunt, Andrew,";
        QTest::newRow("no value") << us << "250a,999" << "";
        QTest::newRow("after multi-byte characters") << amateur << "650x" << "Law and legislation.";
        QTest::newRow("directory counts UTF-8 bytes") << chinese << "210c" << "人民文学出版社";
        QTest::newRow("embedded field") << uni << "4101200a" << "Bestsellers";
        QTest::newRow("embedded field of the next linking field") << uni << "4101200f" << "Isaac Asimov";
        QTest::newRow("second embedded field") << uni << "4541700a" << "Asimov";
        QTest::newRow("linking field outside CN MARC")
            << sample("unimarc-1.mrc", 0, "U") << "4101200a" << "001IT\\ICCU\\CFI\\0012751";
        QTest::newRow("CN title with part, other title, edition")
            << cn("1 $aT$h1$eS", "  $aE") << "#0" << "T.1:S-E";
        QTest::newRow("CN title with part name") << cn("1 $aT$iN$eS", "") << "#0" << "T.N:S";
        QTest::newRow("US title with remainder")
            << us << "#0" << "The pragmatic programmer : from journeyman to master /";
        QTest::newRow("authority title: index group 1") << authority << "#0" << "北京";
        QTest::newRow("US responsible person") << us << "#1" << "Andrew Hunt, David Thomas.";
        QTest::newRow("US publisher") << us << "#3" << "Addison-Wesley,";
        QTest::newRow("CN responsible person, element 11") << uni << "#11" << "Isaac Asimov";
        QTest::newRow("group not loaded") << uni << "#4" << "";
        QTest::newRow("unknown MARC type") << sample("unimarc-1.mrc", 0, "X") << "#1" << "";
        QTest::newRow("base address 25")
            << MarcRecord::fromIso2709("00026nam0 2200025   4500\x1e\x1d") << "#0" << "";
        // clang-format on
    }
    void extraction()
    {
        QFETCH(MarcRecord, record);
        QFETCH(QString, query);
        if (query.startsWith(QLatin1Char('#')))
            QTEST(LIB_GetBibElement(record, query.mid(1).toInt()), "value");
        else
            QTEST(LIB_GetMarcValue(record, query), "value");
    }

    // Each record is read by the byte count its own leader and directory agree with; one that
    // agrees with neither has no fields and says why.
    void byteCountOfEachRecord_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("ansi");
        QTest::addColumn<bool>("readable");
        using Count = MarcRecord::ByteCount;
        const auto fields = marctest::longChineseFields();
        QTest::newRow("UTF-8 directory") << marctest::iso2709(fields, Count::Utf8) << false << true;
        QTest::newRow("ANSI directory") << marctest::iso2709(fields, Count::Ansi) << true << true;
        QByteArray oneOff = marctest::iso2709(fields, Count::Ansi);
        oneOff.replace(24 + 3, 4,
                       QByteArray::number(oneOff.mid(24 + 3, 4).toInt() + 1).rightJustified(4, '0'));
        QTest::newRow("ANSI directory, one length off") << oneOff << false << false;
        QByteArray wrongLength = marctest::iso2709(fields, Count::Utf8);
        wrongLength.replace(0, 5, "02000");
        QTest::newRow("record length of neither count") << wrongLength << false << false;
        QByteArray noLength = marctest::iso2709(fields, Count::Ansi);
        noLength.replace(0, 5, "00000");
        QTest::newRow("record length never filled in") << noLength << true << true;
    }
    void byteCountOfEachRecord()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, ansi);
        QFETCH(bool, readable);
        MarcRecord record = MarcRecord::fromIso2709(text);
        record.setHeader({QStringLiteral("C"), {}, {}, {}, {}, {}, {}});
        QCOMPARE(record.byteCount(), ansi ? MarcRecord::ByteCount::Ansi : MarcRecord::ByteCount::Utf8);
        QCOMPARE(record.problem().isEmpty(), readable);
        QCOMPARE(record.text(), text);
        const auto fields = marctest::longChineseFields();
        QCOMPARE(marctest::fieldsOf(record), readable ? fields : decltype(fields)());
        QCOMPARE(LIB_GetBibElement(record, BibTitle), readable ? QStringLiteral("基地与帝国") : QString());
        QCOMPARE(LIB_GetBibElement(record, BibPublisher),
                 readable ? QStringLiteral("四川科学技术出版社") : QString());
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
        const MarcRecord whole = MarcRecord::fromIso2709(marctest::sampleRecords("usmarc-20.mrc").value(0));
        const MarcRecord record = MarcRecord::fromIso2709(text);
        QTEST(record.fieldCount(), "fields");
        QCOMPARE(record.problem().isEmpty(), text.isEmpty()); // damaged, said so, read as far as whole
        int same = 0;
        for (int f = 0; f < record.fieldCount(); ++f) {
            const QString read = record.fieldText(f);
            QVERIFY(whole.fieldText(f).startsWith(read)); // never more than the field's own bytes
            same += read == whole.fieldText(f) ? 1 : 0;
        }
        QTEST(same, "intact");
    }

    void isbnForm_data()
    {
        QTest::addColumn<QString>("ean");
        QTest::addColumn<QString>("form");
        // clang-format off
        QTest::newRow("publisher of four digits") << "9787500612349" << "7-5006-1234-6";
        QTest::newRow("twelve characters") << "978750061234" << "978750061234";
        QTest::newRow("publisher of two digits, check X") << "9787020000071" << "7-02-000007-X";
        QTest::newRow("check 0") << "9787020000011" << "7-02-000001-0";
        QTest::newRow("publisher of three digits") << "9787111075752" << "7-111-07575-7";
        QTest::newRow("publisher of five digits") << "9787810000002" << "7-81000-000-4";
        QTest::newRow("publisher of six digits") << "9787900000003" << "7-900000-00-3";
        QTest::newRow("prefix 979") << "9791234567896" << "1-234-56789-X";
        QTest::newRow("ISSN") << "9771234567003" << "1234-567";
        QTest::newRow("other prefix") << "9801234567890" << "9801234567890";
        QTest::newRow("not digits") << "978750061X349" << "978750061X349";
        // clang-format on
    }
    void isbnForm()
    {
        QFETCH(QString, ean);
        QTEST(LIB_IsbnForm(ean), "form");
    }
};

QTEST_GUILESS_MAIN(TestMarcRecord)
#include "tst_marcrecord.moc"
