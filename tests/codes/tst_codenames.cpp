// The code names fixed in the program.
#include "codes/fixedcodenames.h"

#include <QTest>

using NameLookup = QString (*)(const QString&);
Q_DECLARE_METATYPE(NameLookup)

namespace {
void addName(const char* row, NameLookup lookup, const char* code, const char* name)
{
    QTest::newRow(row) << lookup << QString::fromUtf8(code) << QString::fromUtf8(name);
}
} // namespace

class TestFixedCodeNames : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void names_data()
    {
        QTest::addColumn<NameLookup>("lookup");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("name");

        addName("lend flag", LIB_LendFlagName, "3", "委托借出");
        addName("lend flag unknown is the code", LIB_LendFlagName, "9", "9");
        addName("item status with a letter", LIB_ItemStatusName, "3A", "下架装订");
        addName("item status unknown is empty", LIB_ItemStatusName, "99", "");
        addName("item status, letter case matters", LIB_ItemStatusName, "3c", "");
        addName("process", LIB_ProcessName, "05", "书刊交换");
        addName("marc N is CN", LIB_MarcTypeName, "N", "CN");
        addName("marc c is authority", LIB_MarcTypeName, "c", "CN规范");
        addName("marc unknown", LIB_MarcTypeName, "n", "");
        addName("order status", LIB_OrderStatusName, "4", "审校");
    }
    void names()
    {
        QFETCH(NameLookup, lookup);
        QFETCH(QString, code);
        QFETCH(QString, name);
        QCOMPARE(lookup(code), name);
    }

    void shelfStatus()
    {
        for (const char* code : {"33", "41", "42", "3C", "43", "44", "45", "46"})
            QVERIFY2(LIB_IsShelfStatus(QLatin1String(code)), code);
        for (const char* code : {"3c", "34", "38", "3B", ""})
            QVERIFY2(!LIB_IsShelfStatus(QLatin1String(code)), code);
    }
};

QTEST_GUILESS_MAIN(TestFixedCodeNames)
#include "tst_codenames.moc"
