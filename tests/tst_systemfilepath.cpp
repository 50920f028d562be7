// Which translation a system language gets, and the program starting in the installed layout
// and in a bare one, finding its data directories from its own place.

#include "systemfilepath.h"
#include "testsupport.h"

#include <QProcess>
#include <QTemporaryDir>

class TestSystemFilePath : public QObject
{
    Q_OBJECT

private slots:
    void translationByLanguage_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("suffix");
        QTest::newRow("Chinese") << int(QLocale::Chinese) << "/zh_CN/Kelnu_zh.qm";
        QTest::newRow("Japanese") << int(QLocale::Japanese) << "/en_US/Kelnu_en.qm";
        QTest::newRow("English") << int(QLocale::English) << "/en_US/Kelnu_en.qm";
        QTest::newRow("unnamed") << int(QLocale::AnyLanguage) << "/en_US/Kelnu_en.qm";
    }
    void translationByLanguage()
    {
        QFETCH(int, language);
        QFETCH(QString, suffix);
        QCOMPARE(path::translationFile(QLocale::Language(language)),
                 path::languageDir().path() + suffix);
    }

    // Installed, every data file is where the program looks; copied into a layout with only
    // bin/, it makes its data directories beside bin/ and keeps running with the default look.
    void programStarts_data()
    {
        QTest::addColumn<bool>("installed");
        QTest::newRow("installed") << true;
        QTest::newRow("bare") << false;
    }
    void programStarts()
    {
        QFETCH(bool, installed);
        QTemporaryDir root;
        const QString exe = root.filePath("bin/velkamo");
        if (installed) {
            QProcess cmake;
            cmake.setProcessChannelMode(QProcess::MergedChannels);
            cmake.start(QStringLiteral(VELKAMO_CMAKE_COMMAND),
                        {"--install", QStringLiteral(VELKAMO_BINARY_DIR), "--prefix", root.path()});
            QVERIFY(cmake.waitForFinished(60000));
            QVERIFY2(cmake.exitCode() == 0, cmake.readAll().constData());
            for (const char* file : {"qss/common.qss", "ref/gopro_default.json", "ref/guide.html",
                                     "ref/hero5_cmds.json", "Language/en_US/Kelnu_en.qm",
                                     "Language/zh_CN/Kelnu_zh.qm"})
                QVERIFY2(QFileInfo(root.filePath(file)).isFile(), file);
        } else {
            QVERIFY(QDir().mkpath(root.filePath("bin")));
            QVERIFY(QFile::copy(testsupport::stagedBinary("velkamo"), exe));
        }

        QProcess program;
        program.start(exe, {"-platform", "offscreen"});
        QVERIFY(program.waitForStarted());
        for (const char* dir : {"ref", "qss", "Language"})
            QTRY_VERIFY2_WITH_TIMEOUT(QFileInfo(root.filePath(dir)).isDir(), dir, 10000);
        QVERIFY2(!program.waitForFinished(500), "the program ended by itself");
        program.terminate();
        QVERIFY(program.waitForFinished(5000));
    }
};

VELKAMO_TEST_MAIN(TestSystemFilePath)
#include "tst_systemfilepath.moc"
