// Add-in and theme packages: safe unpacking, installs, and the changes that wait for the next start.
#include "extensions/packageinstaller.h"
#include "extensions/zipunpacker.h"
#include "testpackages.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

Q_DECLARE_METATYPE(ZipMember)

class TestPackages : public QObject
{
    Q_OBJECT
    QTemporaryDir work;
    int made = 0;

    QString zipOf(const QList<ZipMember>& members, const QString& name = {})
    {
        const QString path = work.filePath(name.isEmpty() ? QStringLiteral("p%1.zip").arg(++made) : name);
        if (!writeZip(path, members))
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }
    // A fresh add-in directory beside a marker folder that a path leaving it would reach.
    QString freshDirectory()
    {
        const QString base = work.filePath(QStringLiteral("d%1").arg(++made));
        QDir().mkpath(base + QStringLiteral("/addins"));
        return base + QStringLiteral("/addins");
    }

private Q_SLOTS:
    // Each hostile member refuses the whole package: the good member before it is not written
    // either, nothing is left in the directory, and nothing appears outside it.
    void refusedPackagesWriteNothing_data()
    {
        QTest::addColumn<ZipMember>("hostile");
        const QByteArray text("x");
        QTest::newRow("parent folder") << ZipMember{"../x", text};
        QTest::newRow("parent folder inside") << ZipMember{"tool/../../x", text};
        QTest::newRow("backslashes") << ZipMember{"tool\\..\\..\\x", text};
        QTest::newRow("absolute path") << ZipMember{"/etc/x", text};
        QTest::newRow("drive letter") << ZipMember{"C:/x", text};
        QTest::newRow("symbolic link") << ZipMember{"tool/link", QByteArray("/etc/passwd"), S_IFLNK | 0777};
        QTest::newRow("fifo") << ZipMember{"tool/pipe", QByteArray(), S_IFIFO | 0644};
        QTest::newRow("zip bomb") << ZipMember{"tool/bomb.bin", QByteArray(3 * 1024 * 1024, '\0')};
        QTest::newRow("zip bomb claiming a small size")
            << ZipMember{"tool/bomb.bin", QByteArray(3 * 1024 * 1024, '\0'), 0, 100};
        QTest::newRow("duplicate, other case") << ZipMember{"TOOL/Addin.xml", text};
    }
    void refusedPackagesWriteNothing()
    {
        QFETCH(ZipMember, hostile);
        const QString directory = freshDirectory();
        const QString package = zipOf({{"tool/addin.xml", "<addin id=\"t\"/>"}, hostile});
        PackageInstaller installer(directory, QStringLiteral("addin.xml"));
        installer.sizeLimit = 1024 * 1024;
        const PackageInstaller::Result result = installer.install(package);
        QCOMPARE(int(result.outcome), int(PackageInstaller::Outcome::Refused));
        QVERIFY(!result.error.isEmpty());
        QCOMPARE(filesBelow(directory), QStringList());
        QCOMPARE(filesBelow(QFileInfo(directory).absolutePath()), QStringList{"addins"});
    }

    void packagesInstall_data()
    {
        QTest::addColumn<QList<ZipMember>>("members");
        QTest::addColumn<QString>("archiveName");
        QTest::addColumn<bool>("themes");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QStringList>("files");
        const QByteArray xml("<x id=\"t\"/>");
        using O = PackageInstaller::Outcome;
        QTest::newRow("folder") << QList<ZipMember>{{"tool/", {}},
                                                    {"tool/ADDIN.XML", xml},
                                                    {"tool/lib/a.so", "a"}}
                                << "p.zip" << false << int(O::Installed)
                                << QStringList{"tool", "tool/ADDIN.XML", "tool/lib", "tool/lib/a.so"};
        QTest::newRow("content, named after the archive")
            << QList<ZipMember>{{"addin.xml", xml}} << "tool2.zip" << false << int(O::Installed)
            << QStringList{"tool2", "tool2/addin.xml"};
        QTest::newRow("no definition") << QList<ZipMember>{{"tool/readme.txt", "r"}} << "p.zip" << false
                                       << int(O::Invalid) << QStringList();
        QTest::newRow("two folders") << QList<ZipMember>{{"a/addin.xml", xml}, {"b/addin.xml", xml}}
                                     << "p.zip" << false << int(O::Invalid) << QStringList();
        QTest::newRow("theme") << QList<ZipMember>{{"zqui.tavorn.lt3.blue.1/addin.xml", xml}} << "p.zip"
                               << true << int(O::Installed)
                               << QStringList{"zqui.tavorn.lt3.blue.1", "zqui.tavorn.lt3.blue.1/addin.xml"};
        QTest::newRow("theme of another module")
            << QList<ZipMember>{{"zqui.tavorn.abc.blue.1/addin.xml", xml}} << "p.zip" << true
            << int(O::Invalid) << QStringList();
    }
    void packagesInstall()
    {
        QFETCH(QList<ZipMember>, members);
        QFETCH(QString, archiveName);
        QFETCH(bool, themes);
        QFETCH(int, outcome);
        QFETCH(QStringList, files);
        const QString directory = freshDirectory();
        QDir().mkpath(work.filePath(QString::number(++made)));
        const QString package = zipOf(members, QString::number(made) + QLatin1Char('/') + archiveName);
        PackageInstaller installer(directory, QStringLiteral("addin.xml"));
        if (themes)
            installer.acceptsFolder = [](const QString& folder) {
                return folder.startsWith("zqui.tavorn.lt3.");
            };
        QCOMPARE(int(installer.install(package).outcome), outcome);
        QCOMPARE(filesBelow(directory), files);
    }

    void unpackingCanBeStopped()
    {
        const QString directory = freshDirectory();
        PackageInstaller installer(directory, QStringLiteral("addin.xml"));
        int calls = 0;
        installer.progress = [&calls](int, int) { return ++calls < 2; };
        const QString package = zipOf({{"tool/addin.xml", "<x/>"}, {"tool/a", "a"}, {"tool/b", "b"}});
        QCOMPARE(int(installer.install(package).outcome), int(PackageInstaller::Outcome::Cancelled));
        QCOMPARE(calls, 2);
        QCOMPARE(filesBelow(directory), QStringList());
    }

    // Add-ins in use are replaced and removed only when the desk closes or next starts.
    void addinChangesWaitForTheNextStart()
    {
        const QString directory = freshDirectory();
        PackageInstaller installer(directory, QStringLiteral("addin.xml"));
        installer.stageReplacements = true;
        QCOMPARE(int(installer.install(zipOf({{"tool/addin.xml", "1"}, {"tool/old", "o"}})).outcome),
                 int(PackageInstaller::Outcome::Installed));
        QCOMPARE(int(installer.install(zipOf({{"gone/addin.xml", "1"}})).outcome),
                 int(PackageInstaller::Outcome::Installed));
        QCOMPARE(int(installer.install(zipOf({{"tool/addin.xml", "2"}})).outcome),
                 int(PackageInstaller::Outcome::Staged));
        PackageInstaller::markForRemoval(directory, QStringLiteral("gone"));
        QVERIFY(PackageInstaller::hasStagedUpgrade(directory, QStringLiteral("tool")));
        QVERIFY(QFile::exists(directory + QStringLiteral("/tool/old")));

        PackageInstaller::applyPendingChanges(directory);
        QCOMPARE(filesBelow(directory), (QStringList{".pending", "tool", "tool/addin.xml"}));
        QFile upgraded(directory + QStringLiteral("/tool/addin.xml"));
        QVERIFY(upgraded.open(QIODevice::ReadOnly));
        QCOMPARE(upgraded.readAll(), QByteArray("2"));
    }
};

QTEST_GUILESS_MAIN(TestPackages)
#include "tst_packages.moc"
