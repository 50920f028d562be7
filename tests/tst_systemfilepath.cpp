#include "systemfilepath.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

class TestSystemFilePath : public QObject
{
    Q_OBJECT

private slots:
    void init() { path::g_execDir.clear(); }
    void cleanupTestCase() { path::g_execDir.clear(); }

    void execDirFromLinkTarget_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << "/opt/x/bin/app" << "/opt/x/bin/";
        QTest::newRow("backslashes") << "C:\\x\\bin\\app.exe" << "C:/x/bin/";
        QTest::newRow("backslash after slash") << "/a/b\\c" << "/a/b/";
        QTest::newRow("slash after backslash") << "/a\\b/c" << "/a/b/";
        QTest::newRow("root") << "/app" << "/";
    }
    void execDirFromLinkTarget()
    {
        QFETCH(QString, target);
        QFETCH(QString, expected);
        QCOMPARE(QString::fromStdString(path::execDirFromLinkTarget(target.toStdString())),
                 expected);
    }

    void realExecutableDirectory()
    {
        const std::string dir = path::getExecDir();
        QCOMPARE(QString::fromStdString(dir), QCoreApplication::applicationDirPath() + "/");
        QCOMPARE(QString::fromStdString(path::g_execDir), QString::fromStdString(dir));
    }

    void cachedValueIsNotReadAgain()
    {
        QTemporaryDir tmp;
        QVERIFY(QDir().mkpath(tmp.path() + "/opt/x/bin"));
        const QString bin = tmp.path() + "/opt/x/bin/";
        path::g_execDir = bin.toStdString();
        QCOMPARE(QString::fromStdString(path::getExecDir()), bin);
        QCOMPARE(path::binDir().path(), tmp.path() + "/opt/x/bin");
        QCOMPARE(path::appRootDir().path(), tmp.path() + "/opt/x");
        QCOMPARE(path::installRootDir().path(), tmp.path() + "/opt");
        QCOMPARE(path::refDir().path(), tmp.path() + "/opt/x/ref");
        QCOMPARE(path::dataDir().path(), tmp.path() + "/opt/Data");
    }

    void dataDirectoriesAreCreatedUnderTheAnchors()
    {
        QTemporaryDir tmp;
        QVERIFY(QDir().mkpath(tmp.path() + "/x/bin"));
        path::g_execDir = (tmp.path() + "/x/bin/").toStdString();

        QCOMPARE(path::refDir().path(), tmp.path() + "/x/ref");
        QCOMPARE(path::qssDir().path(), tmp.path() + "/x/qss");
        QCOMPARE(path::languageDir().path(), tmp.path() + "/x/Language");
        QCOMPARE(path::imageDir().path(), tmp.path() + "/x/Images");
        QCOMPARE(path::libDir().path(), tmp.path() + "/x/lib");
        QCOMPARE(path::dataDir().path(), tmp.path() + "/Data");
        for (const char* made : {"/x/ref", "/x/qss", "/x/Language", "/Data"})
            QVERIFY2(QFileInfo(tmp.path() + made).isDir(), made);

        // Looked up anew each time: a directory removed meanwhile is made again.
        QVERIFY(QDir(tmp.path() + "/x/ref").removeRecursively());
        QCOMPARE(path::refDir().path(), tmp.path() + "/x/ref");
        QVERIFY(QFileInfo(tmp.path() + "/x/ref").isDir());
    }

    void uncreatableDirectoryFallsBackToTheAnchor()
    {
        QTemporaryDir tmp;
        QVERIFY(QDir().mkpath(tmp.path() + "/x/bin"));
        QFile blocker(tmp.path() + "/x/qss"); // a file where the directory should be
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        path::g_execDir = (tmp.path() + "/x/bin/").toStdString();
        QCOMPARE(path::qssDir().path(), tmp.path() + "/x");
    }

    void translationByLanguage_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("suffix");
        QTest::newRow("Chinese") << int(QLocale::Chinese) << "/zh_CN/Kelnu_zh.qm";
        QTest::newRow("English") << int(QLocale::English) << "/en_US/Kelnu_en.qm";
        QTest::newRow("German") << int(QLocale::German) << "/en_US/Kelnu_en.qm";
        QTest::newRow("C locale") << int(QLocale::C) << "/en_US/Kelnu_en.qm";
        QTest::newRow("unnamed") << int(QLocale::AnyLanguage) << "/en_US/Kelnu_en.qm";
    }
    void translationByLanguage()
    {
        QFETCH(int, language);
        QFETCH(QString, suffix);
        QCOMPARE(path::translationFile(QLocale::Language(language)),
                 path::languageDir().path() + suffix);
    }

    // The program itself, copied into a layout that has only bin/: it must create its data
    // directories and keep running with the default look.
    void programStartsInABareLayout()
    {
        QTemporaryDir tmp;
        QVERIFY(QDir().mkpath(tmp.path() + "/app/bin"));
        const QString exe = tmp.path() + "/app/bin/velkamo";
        QVERIFY(QFile::copy(testsupport::stagedBinary("velkamo"), exe));

        QProcess program;
        program.setProcessChannelMode(QProcess::MergedChannels);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        program.setProcessEnvironment(env);
        program.start(exe, {});
        QVERIFY(program.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(tmp.path() + "/app/ref").isDir(), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(tmp.path() + "/app/qss").isDir(), 10000);
        QVERIFY(QFileInfo(tmp.path() + "/app/Language").isDir());
        QVERIFY(program.state() == QProcess::Running);
        program.terminate();
        QVERIFY(program.waitForFinished(5000));
        const QString log = QString::fromLocal8Bit(program.readAll());
        QVERIFY2(log.contains(tmp.path() + "/app/qss/common.qss"), qPrintable(log));
    }

    void installProducesTheLayout()
    {
        QTemporaryDir prefix;
        QProcess cmake;
        cmake.setProcessChannelMode(QProcess::MergedChannels);
        cmake.start(QStringLiteral(VELKAMO_CMAKE_COMMAND),
                    {"--install", QStringLiteral(VELKAMO_BINARY_DIR), "--prefix", prefix.path()});
        QVERIFY(cmake.waitForFinished(60000));
        QVERIFY2(cmake.exitCode() == 0, cmake.readAll().constData());
        for (const char* file : {"bin/velkamo", "qss/common.qss", "ref/gopro_default.json",
                                 "ref/guide.html", "Language/en_US/Kelnu_en.qm",
                                 "Language/zh_CN/Kelnu_zh.qm"})
            QVERIFY2(QFileInfo(prefix.path() + "/" + file).isFile(), file);
        for (const char* dir : {"Images", "lib"})
            QVERIFY2(QFileInfo(prefix.path() + "/" + dir).isDir(), dir);
        QVERIFY(QFileInfo(prefix.path() + "/bin/velkamo").isExecutable());
        QVERIFY(!QDir(prefix.path() + "/ref").entryList({"hero*_cmds.json"}).isEmpty());
    }
};

VELKAMO_TEST_MAIN(TestSystemFilePath)
#include "tst_systemfilepath.moc"
