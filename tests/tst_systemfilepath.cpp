// Which translation a system language gets, and the program starting in the installed layout,
// in a bare one and from its Debian package, finding its data directories from its own place.

#include "camsim.h"
#include "systemfilepath.h"
#include "testsupport.h"

#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <csignal>
#include <sys/inotify.h>
#include <unistd.h>

// Runs a tool to its end; empty when it succeeded, else what it said.
static QString run(const QString& program, const QStringList& args, QByteArray* out = nullptr)
{
    QProcess tool;
    tool.start(program, args);
    const bool done = tool.waitForFinished(240000) && tool.exitStatus() == QProcess::NormalExit;
    const QByteArray said = tool.readAllStandardOutput() + tool.readAllStandardError();
    if (out)
        *out = said;
    return done && tool.exitCode() == 0 ? QString() : program + QLatin1String(": ") + said;
}

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
    // Ended from outside (a logout's SIGTERM, Ctrl+C), it ends as when its window is closed.
    void programStarts_data()
    {
        QTest::addColumn<bool>("installed");
        QTest::addColumn<int>("quitSignal");
        QTest::newRow("installed, SIGTERM") << true << int(SIGTERM);
        QTest::newRow("bare, SIGINT") << false << int(SIGINT);
    }
    void programStarts()
    {
        QFETCH(bool, installed);
        QFETCH(int, quitSignal);
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
        program.setProcessChannelMode(QProcess::MergedChannels);
        program.start(exe, {"-platform", "offscreen"});
        QVERIFY(program.waitForStarted());
        for (const char* dir : {"ref", "qss", "Language"})
            QTRY_VERIFY2_WITH_TIMEOUT(QFileInfo(root.filePath(dir)).isDir(), dir, 10000);
        // The style sheet's name is logged once the program is past its start-up (slow under a
        // sanitizer): a signal before main() would find no handler yet.
        QByteArray output;
        QTRY_VERIFY_WITH_TIMEOUT((output += program.readAll()).contains("common.qss"), 20000);
        QVERIFY2(!program.waitForFinished(500), "the program ended by itself");
        ::kill(pid_t(program.processId()), quitSignal);
        QVERIFY(program.waitForFinished(5000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
    }

    // The Debian package: desktop files valid, dependencies real; extracted under a read-only
    // root, it finds its profiles, style sheet and Chinese translation, and remembers the model
    // in the user's folder, whose name its menu entry gives as the window's class.
    void debianPackage()
    {
        QTemporaryDir dir;
        const QString root = dir.filePath("root"), deb = dir.filePath("velkamo_1.0.0_amd64.deb");
        QCOMPARE(run(VELKAMO_CPACK_COMMAND, {"-G", "DEB", "-B", dir.path(), "--config",
                                             VELKAMO_BINARY_DIR "/CPackConfig.cmake"}), QString());
        QByteArray depends;
        QCOMPARE(run("dpkg-deb", {"-f", deb, "Depends"}, &depends), QString());
        for (const QString& name : QString::fromUtf8(depends).split(QLatin1Char(',')))
            QCOMPARE(run("dpkg-query", {"-W", name.section(QLatin1Char('('), 0, 0).trimmed()}),
                     QString());
        QCOMPARE(run("dpkg-deb", {"-x", deb, root}), QString());
        const QString file = root + "/usr/share/%1/io.github.velkamo.Velkamo%2";
        QCOMPARE(run("desktop-file-validate", {file.arg("applications", ".desktop")}), QString());
        const QString metainfo = file.arg("metainfo", ".metainfo.xml");
        QCOMPARE(run("appstreamcli", {"validate", "--no-net", metainfo}), QString());
        QVERIFY(QFileInfo(root + "/usr/share/doc/velkamo/copyright").size() > 0);
        for (int size : {16, 24, 32, 48, 64, 128, 256})
            QCOMPARE(QImage(file.arg(QStringLiteral("icons/hicolor/%1x%1/apps").arg(size), ".png"))
                         .size(), QSize(size, size));

        // Every file the program opens in these folders is told to the watch.
        const int watch = inotify_init1(IN_NONBLOCK);
        for (const char* sub : {"/qss", "/Language/zh_CN", "/ref"})
            QVERIFY(inotify_add_watch(watch, qPrintable(root + "/opt/velkamo" + sub), IN_OPEN) > 0);
        QCOMPARE(testsupport::mountReadOnly(root), QString());
        const auto cleanup = qScopeGuard([&] { close(watch); testsupport::unmount(root); });
        CamSim sim;
        QVERIFY(sim.start());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", dir.filePath("config"));
        env.insert("LC_ALL", "zh_CN.UTF-8");
        QProcess program;
        program.setProcessEnvironment(env);
        program.start(root + "/usr/bin/velkamo");
        QVERIFY(sim.waitForRequest("/gp/gpMediaList", 20000));
        QFile remembered(dir.filePath("config/velkamo/gopro_default.json"));
        QTRY_VERIFY_WITH_TIMEOUT(remembered.exists(), 10000);
        QVERIFY(remembered.open(QIODevice::ReadOnly));
        QCOMPARE(QJsonDocument::fromJson(remembered.readAll())["Version"].toString(), "hero5");
        // Docks tie the window to the menu entry by its X11 class, which Qt takes from the
        // application name: the name of the program's configuration folder.
        QFile entry(file.arg("applications", ".desktop"));
        QVERIFY(entry.open(QIODevice::ReadOnly));
        QCOMPARE(QRegularExpression("^StartupWMClass=(.*)$", QRegularExpression::MultilineOption)
                     .match(QString::fromUtf8(entry.readAll())).captured(1),
                 QFileInfo(remembered).dir().dirName());
        QByteArray opened(1 << 16, '\0');
        opened.truncate(qMax(0, int(read(watch, opened.data(), opened.size()))));
        for (const char* file : {"common.qss", "Kelnu_zh.qm", "hero5_cmds.json"})
            QVERIFY2(opened.contains(QByteArray(file) + '\0'), file);
        QCOMPARE(program.state(), QProcess::Running);
        program.terminate();
        QVERIFY(program.waitForFinished(5000));
    }
};

VELKAMO_TEST_MAIN(TestSystemFilePath)
#include "tst_systemfilepath.moc"
