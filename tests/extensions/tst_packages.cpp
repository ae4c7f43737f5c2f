// Add-in and theme packages: safe unpacking, installs, the changes that wait for the next start, and
// the unzip wrapper's directory and options.
#include "extensions/cunzip.h"
#include "extensions/packageinstaller.h"
#include "extensions/zipunpacker.h"
#include "support/recordingpresenter.h"
#include "support/testfiles.h"
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
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QStringList>("files");
        const auto add = [](const char* tag, const QList<ZipMember>& members, const char* archiveName,
                            PackageInstaller::Outcome outcome, const QStringList& files) {
            QTest::newRow(tag) << members << QString::fromLatin1(archiveName) << int(outcome) << files;
        };
        const QByteArray xml("<x id=\"t\"/>");
        using O = PackageInstaller::Outcome;
        add("folder", {{"tool/", {}}, {"tool/ADDIN.XML", xml}, {"tool/lib/a.so", "a"}}, "p.zip", O::Installed,
            {"tool", "tool/ADDIN.XML", "tool/lib", "tool/lib/a.so"});
        add("content, named after the archive", {{"addin.xml", xml}}, "tool2.zip", O::Installed,
            {"tool2", "tool2/addin.xml"});
        add("no definition", {{"tool/readme.txt", "r"}}, "p.zip", O::Invalid, {});
        add("two folders", {{"a/addin.xml", xml}, {"b/addin.xml", xml}}, "p.zip", O::Invalid, {});
        // (Theme folders the desk does not take: the theme manager's test.)
    }
    void packagesInstall()
    {
        QFETCH(QList<ZipMember>, members);
        QFETCH(QString, archiveName);
        QFETCH(int, outcome);
        const QString directory = freshDirectory();
        QDir().mkpath(work.filePath(QString::number(++made)));
        const QString package = zipOf(members, QString::number(made) + QLatin1Char('/') + archiveName);
        PackageInstaller installer(directory, QStringLiteral("addin.xml"));
        QCOMPARE(int(installer.install(package).outcome), outcome);
        QTEST(filesBelow(directory), "files");
    }

    void unzipListsTheArchive()
    {
        cUnzip unzip;
        unzip.ZipFile = zipOf({{"doc/", {}}, {"doc/Read Me.txt", QByteArray(1000, 'r')}, {"top.bin", "t"}});
        QCOMPARE(unzip.Directory(), 0);
        QCOMPARE(unzip.FileCount(), 2);
        QCOMPARE(unzip.FileName(0), QStringLiteral("Read Me.txt"));
        QCOMPARE(unzip.FileDirectory(0), QStringLiteral("doc"));
        QCOMPARE(unzip.FileDirectory(1), QString());
        QCOMPARE(unzip.FileSize(0), 1000);
        QVERIFY(unzip.FilePackedSize(0) < 100);
        QVERIFY(unzip.FileCompressionRatio(0) > 90);
        QCOMPARE(unzip.FileCompressionMethod(0), QStringLiteral("Deflated"));
        QVERIFY(unzip.FileSelected(1) && !unzip.FileEncrypted(1) && unzip.FileDate(1).isValid());
        QVERIFY(unzip.IsExistFile(QStringLiteral("read me.txt")));
        QCOMPARE(unzip.GetFilePath(QStringLiteral("READ ME.TXT")), QStringLiteral("doc"));
        unzip.CaseSensitiveFileNames = true;
        QVERIFY(!unzip.IsExistFile(QStringLiteral("read me.txt")));
        QVERIFY(unzip.IsExistFile(QStringLiteral("doc/Read Me.txt")));
    }

    // Options are "flat", "underscores", "overwrite", "prompt", "newer", "test", "crlf", "only a"
    // (select a.txt alone) and "hostile" (the archive carries a member leaving the folder).
    // Existing files are "path=content", older than the archive unless marked "!new".
    void unzipOptions_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("count");
        QTest::addColumn<QStringList>("files");
        const auto add = [](const char* tag, const QStringList& options, const QStringList& existing,
                            int answer, int count, const QStringList& files) {
            QTest::newRow(tag) << options << existing << answer << count << files;
        };
        const QStringList all{"doc/a.txt=a\nb\n", "doc/read me.txt=new", "top.bin=\\0x"};
        const QStringList oldTopKept{"doc/a.txt=a\nb\n", "doc/read me.txt=new", "top.bin=old"};
        add("folders kept", {}, {}, 0, 3, all);
        add("flattened, underscores", {"flat", "underscores"}, {}, 0, 3,
            {"a.txt=a\nb\n", "read_me.txt=new", "top.bin=\\0x"});
        add("existing kept", {}, {"top.bin=old"}, 0, 2, oldTopKept);
        add("existing overwritten", {"overwrite"}, {"top.bin=old"}, 0, 3, all);
        add("asked, kept", {"prompt"}, {"top.bin=old"}, 2, 2, oldTopKept);
        add("asked, replaced", {"prompt"}, {"top.bin=old"}, 1, 3, all);
        add("only newer", {"newer"}, {"top.bin=old!new", "doc/a.txt=old"}, 0, 2, oldTopKept);
        add("selection", {"only a"}, {}, 0, 1, {"doc/a.txt=a\nb\n"});
        add("test only", {"test"}, {}, 0, 3, {});
        add("text line ends", {"crlf"}, {}, 0, 3,
            {"doc/a.txt=a\r\nb\r\n", "doc/read me.txt=new", "top.bin=\\0x"});
        add("hostile member", {"hostile"}, {}, 0, -1, {});
    }
    void unzipOptions()
    {
        QFETCH(QStringList, options);
        QFETCH(QStringList, existing);
        QFETCH(int, answer);
        QList<ZipMember> members{
            {"doc/a.txt", "a\nb\n"}, {"doc/read me.txt", "new"}, {"top.bin", QByteArray("\0x", 2)}};
        if (options.contains("hostile"))
            members.append(ZipMember{"../outside.txt", "x"});
        const QString folder = work.filePath(QStringLiteral("u%1").arg(++made));
        for (const QString& file : existing) {
            const QString path = folder + QLatin1Char('/') + file.section('=', 0, 0);
            QDir().mkpath(QFileInfo(path).absolutePath());
            QFile out(path);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(file.section('=', 1).remove(QStringLiteral("!new")).toUtf8());
            out.flush();
            out.setFileTime(file.endsWith("!new") ? QDateTime::currentDateTime().addYears(1)
                                                  : QDateTime(QDate(2000, 1, 1), QTime(0, 0)),
                            QFileDevice::FileModificationTime);
        }
        auto* presenter = RecordingPresenter::install();
        if (answer)
            presenter->answerNext(answer);

        cUnzip unzip;
        unzip.ZipFile = zipOf(members);
        unzip.UnzipFolder = folder;
        unzip.UseFolderNames = !options.contains("flat");
        unzip.SpaceToUnderScore = options.contains("underscores");
        unzip.OverwriteExisting = options.contains("overwrite");
        unzip.PromptToOverwrite = options.contains("prompt");
        unzip.ExtractOnlyNewer = options.contains("newer");
        unzip.TestZip = options.contains("test");
        unzip.ConvertCRToCRLF = options.contains("crlf");
        QCOMPARE(unzip.Directory(), 0);
        if (options.contains("only a")) {
            for (int i = 0; i < unzip.FileCount(); ++i)
                unzip.SetFileSelected(i, unzip.FileName(i) == QLatin1String("a.txt"));
        }
        QTEST(unzip.Unzip(), "count");
        QCOMPARE(presenter->boxes.size(), answer ? 1 : 0);
        QVERIFY(!QFile::exists(work.filePath(QStringLiteral("outside.txt"))));

        QStringList found;
        for (const QString& file : filesBelow(folder)) {
            QFile in(folder + QLatin1Char('/') + file);
            if (QFileInfo(in).isFile() && in.open(QIODevice::ReadOnly))
                found << file + QLatin1Char('=') + QString::fromLatin1(in.readAll()).replace(QChar(0), "\\0");
        }
        QTEST(found, "files");
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
        QCOMPARE(readFile(directory + QStringLiteral("/tool/addin.xml")), QByteArray("2"));
    }
};

QTEST_GUILESS_MAIN(TestPackages)
#include "tst_packages.moc"
