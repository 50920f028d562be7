// Model profiles and the default file: the rules on the widget-free classes, then choosing a
// model in the real window against the camera simulator.

#include "bleinterface.h"
#include "cameraprofile.h"
#include "camsim.h"
#include "defaultmodelfile.h"
#include "mainwindow.h"
#include "promptrecorder.h"
#include "systemfilepath.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QJsonDocument>
#include <QLabel>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <memory>

namespace {

QStringList itemTexts(const QComboBox* box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}

// Null when the file cannot be read.
QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A null content writes nothing.
void writeFile(const QString& path, const QByteArray& content)
{
    if (content.isNull())
        return;
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    file.write(content);
}

// Labels whose commands name themselves: "http://10.5.5.9/test/<prefix>/<label>".
QJsonObject entries(std::initializer_list<const char*> labels, const QString& prefix)
{
    QJsonObject object;
    for (const char* label : labels)
        object.insert(QLatin1String(label), "http://10.5.5.9/test/" + prefix + '/' + label);
    return object;
}

} // namespace

class TestModelProfiles : public QObject
{
    Q_OBJECT

private:
    CamSim m_sim;
    std::unique_ptr<PromptRecorder> m_prompts;
    std::unique_ptr<MainWindow> m_window;
    QDir m_ref;

    QString ref(const QString& name) const { return m_ref.filePath(name); }

    template<typename T>
    T* child(const char* name)
    {
        T* widget = m_window->findChild<T*>(QLatin1String(name));
        if (!widget)
            qFatal("no widget %s", name);
        return widget;
    }

    // The first answer of the camera applies the model again; tests that count commands
    // start counting after it.
    void waitOnline()
    {
        QTRY_VERIFY_WITH_TIMEOUT(m_sim.countRequests("/gp/gpControl/status") > 0
                                     || m_sim.countRequests("/gopro/camera/keep_alive") > 0,
                                 8000);
        QTRY_VERIFY_WITH_TIMEOUT(!testsupport::showsFirstScreen(m_window.get()), 3000);
        QTest::qWait(200);
    }

    // The profile commands that reached the camera, in arrival order.
    QStringList testCommands()
    {
        return m_sim.targets(80).filter("80 /test/").replaceInStrings("80 /test/", "/test/");
    }

private slots:
    void initTestCase()
    {
        testsupport::installFreshDataTree();
        m_ref = path::refDir();
        QVERIFY(m_sim.start({"--model", "5"}));
    }

    void init()
    {
        QVERIFY(QDir(m_ref.path()).removeRecursively() && QDir().mkpath(m_ref.path()));
        QDir(QFileInfo(DefaultModelFile::userFilePath()).absolutePath()).removeRecursively();
        m_prompts.reset(new PromptRecorder);
        m_sim.clearLog();
    }

    void cleanup()
    {
        m_window.reset();
        m_prompts.reset();
        testsupport::unmount(m_ref.path());
    }

    // A profile's entries in the order its file writes them, whatever their labels; a
    // setting type without options is left out.
    void profileKeepsTheFileOrder_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("modes");
        QTest::addColumn<QStringList>("types");
        QTest::newRow("types without options")
            << QByteArray("{\"Mode\": {\"Video\": \"v\", \"Photo\": \"p\"}, \"dropdown\": {\"Res\": {\"4K\": \"c\"},"
                          " \"Empty\": {}, \"None\": 7, \"Fps\": {\"60\": \"d\"}}}")
            << QStringList({"Video", "Photo"}) << QStringList({"Res", "Fps"});
        QTest::newRow("escapes, deeper values and arrays skipped")
            << QByteArray("{\"x\": [{\"Mode\": 1}, \"}\"], \"Mode\": {\"z\\\"q\": \"1\", \"\\u00e9\": {\"k\": [1]}, \"a\": \"3\"}}")
            << QStringList({"z\"q", QString(QChar(0xe9)), "a"}) << QStringList();
        QTest::newRow("a label twice: listed once, where first written")
            << QByteArray("{\"Mode\": {\"b\": \"1\", \"a\": \"2\", \"b\": \"3\"}}") << QStringList({"b", "a"})
            << QStringList();
    }
    void profileKeepsTheFileOrder()
    {
        QFETCH(QByteArray, text);
        QTemporaryDir dir;
        writeFile(dir.filePath("hero9_cmds.json"), text);
        CameraProfile profile;
        QVERIFY(CameraProfile::load(dir.filePath("hero9_cmds.json"), &profile));
        QStringList modes;
        for (const CameraProfile::Entry& mode : profile.modes)
            modes << mode.label;
        QTEST(modes, "modes");
        QTEST(profile.settingTypes, "types");
    }

    void modelNumber_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("number");
        QTest::newRow("hero10") << "hero10" << 10;
        QTest::newRow("first four skipped whatever they are") << "GoPr12" << 12;
        QTest::newRow("hero alone") << "hero" << 0;
        QTest::newRow("beyond 32 bits") << "hero4294967296" << 0;
    }
    void modelNumber()
    {
        QFETCH(QString, name);
        QFETCH(int, number);
        QCOMPARE(CameraProfile::modelNumber(name), number);
    }

    // What the file says (null: no file) and what choosing "hero9" leaves in it. A file we
    // cannot understand is somebody else's and stays as it is; the user's copy, once made,
    // is the one that counts.
    void defaultModelFile_data()
    {
        QTest::addColumn<QByteArray>("installed");
        QTest::addColumn<QByteArray>("user");
        QTest::addColumn<QString>("version");
        QTest::addColumn<QByteArray>("installedAfter");
        QTest::addColumn<QByteArray>("userAfter");
        const QByteArray none, hero5 = "{\"Version\": \"hero5\"}", broken = "{\"Version\": \"";
        const QByteArray hero9 = "{\n    \"Version\": \"hero9\"\n}\n";
        QTest::newRow("missing") << none << none << "" << none << none;
        QTest::newRow("broken") << broken << none << "" << broken << none;
        QTest::newRow("version not a string")
            << QByteArray("{\"Version\": 7}") << none << "" << hero9 << none;
        QTest::newRow("other members kept, indented in key order")
            << QByteArray("{\"zeta\":1,\"Version\":\"hero8\",\"alpha\":[1]}") << none << "hero8"
            << QByteArray("{\n    \"Version\": \"hero9\",\n    \"alpha\": [\n        1\n    ],\n"
                          "    \"zeta\": 1\n}\n") << none;
        QTest::newRow("user copy wins")
            << hero5 << QByteArray("{\"Version\": \"hero7\"}") << "hero7" << hero5 << hero9;
    }
    void defaultModelFile()
    {
        QFETCH(QByteArray, installed);
        QFETCH(QByteArray, user);
        QTemporaryDir dir;
        const QString installedPath = dir.filePath("gopro_default.json");
        const QString userPath = dir.filePath("user/gopro_default.json");
        writeFile(installedPath, installed);
        writeFile(userPath, user);
        const DefaultModelFile file(installedPath, userPath);
        QTEST(file.version(), "version");
        file.setVersion(QStringLiteral("hero9"));
        QTEST(readFile(installedPath), "installedAfter");
        QTEST(readFile(userPath), "userAfter");
    }

    // Start-up applies the remembered model even without an entry or a profile for it; a
    // model chosen in the selector fills the panels without sending from the filling, and
    // then every value chosen is sent once.
    void choosingAModelFillsTheSelectorsThatSend()
    {
        for (const char* name : {"hero10_cmds.json", "hero5_cmds.json", "hero7_old.json",
                                 "hero9.json", "HERO6_cmds.json", "notes.txt"})
            writeFile(ref(name), "{}");
        QJsonObject root{{"Mode", entries({"zebra", "apple", "Mango", "Burst", "Time"}, "mode")},
                         {"Live Stream BitRate", entries({"2M", "1M"}, "rate")},
                         {"Live Stream Window Size", entries({"720", "480"}, "size")}};
        root.insert("dropdown", QJsonObject{{"Res", entries({"4K", "1080p"}, "res")},
                                            {"FOV", entries({"Wide", "Linear"}, "fov")},
                                            {"Empty", 7}}); // not an object: no options
        writeFile(ref("hero6_cmds.json"), QJsonDocument(root).toJson());
        writeFile(ref("gopro_default.json"), "{\"Version\": \"hero12\"}");

        m_window.reset(new MainWindow);
        auto* model = child<QComboBox>("comboModel");
        QCOMPARE(itemTexts(model),
                 (QStringList{"hero10", "hero5", "hero6", "hero7", "hero9.json"}));
        QCOMPARE(model->currentText(), QString("hero10"));
        const char* const boxes[] = {"comboBoxVideo", "comboBoxLiveview_BitRate",
                                     "comboBoxLiveView_WindowSize", "comboBoxSettings_ISO",
                                     "comboBoxChangeTo"};
        for (const char* box : boxes)
            QCOMPARE(child<QComboBox>(box)->count(), 0);
        QVERIFY(m_sim.waitForRequest("/gopro/camera/keep_alive", 5000)); // model 12
        waitOnline();

        model->setCurrentText("hero6");
        QVERIFY(QMetaObject::invokeMethod(m_window.get(), "slotVersionChanged",
                                          Q_ARG(QString, "hero6")));
        QCOMPARE(DefaultModelFile(ref("gopro_default.json")).version(), QString("hero6"));
        // A type without options has nothing to choose and is not listed.
        const QList<QStringList> shown = {{"Burst", "Mango", "Time", "apple", "zebra"},
                                          {"1M", "2M"}, {"480", "720"},
                                          {"FOV", "Res"}, {"Linear", "Wide"}};
        for (int i = 0; i < 5; ++i)
            QCOMPARE(itemTexts(child<QComboBox>(boxes[i])), shown.at(i));

        // Applied (twice: chosen, and on the camera's first answer), the profile sends
        // nothing, and shows no value for what the camera's status does not tell.
        QTest::qWait(500);
        QCOMPARE(testCommands(), QStringList());
        QCOMPARE(child<QComboBox>("comboBoxSettings_ISO")->currentText(), QString("FOV"));
        QCOMPARE(child<QComboBox>("comboBoxChangeTo")->currentIndex(), -1);
        // Each step waits for its command, so the order below is the order of the choices.
        const struct { const char* box; int index; int commands; } steps[] = {
            {"comboBoxVideo", 4, 0}, // the fifth mode: shown, but nothing sent
            {"comboBoxVideo", 3, 1},
            {"comboBoxSettings_ISO", 1, 1}, // a type is only looked at
            {"comboBoxChangeTo", 1, 2},
            {"comboBoxChangeTo", 0, 3},
            {"comboBoxLiveview_BitRate", 1, 4},
            {"comboBoxLiveView_WindowSize", 1, 5}};
        for (const auto& step : steps) {
            testsupport::choose(child<QComboBox>(step.box), step.index);
            QTRY_COMPARE_WITH_TIMEOUT(testCommands().size(), step.commands, 3000);
        }
        child<QCheckBox>("checkBox_vc")->click();
        QVERIFY(m_sim.waitForRequest("/gp/gpControl/setting/86/1", 3000));
        QTest::qWait(500);
        QCOMPARE(testCommands(),
                 (QStringList{"/test/mode/apple", "/test/res/4K", "/test/res/1080p",
                              "/test/rate/2M", "/test/size/720"}));
        QCOMPARE(m_sim.targets().count("80 /gp/gpControl/setting/86/1"), 1);
    }

    // A model the camera reports over Bluetooth without a profile here (a newer camera, or a
    // name without a number) leaves the profile in use and remembers nothing; the user is told
    // what the camera said and where to choose.
    void reportedModelWithoutProfile_data()
    {
        QTest::addColumn<QByteArray>("reported");
        QTest::addColumn<QString>("applied");
        QTest::newRow("newer camera") << QByteArray("HERO14 Black") << "hero5";
        QTest::newRow("no number") << QByteArray("HERO Black") << "hero5";
        QTest::newRow("known camera") << QByteArray("HERO9 Black") << "hero9";
    }
    void reportedModelWithoutProfile()
    {
        QFETCH(QByteArray, reported);
        QFETCH(QString, applied);
        const QByteArray profile =
            QJsonDocument(QJsonObject{{"Mode", entries({"Video", "Photo"}, "m")}}).toJson();
        writeFile(ref("hero5_cmds.json"), profile);
        writeFile(ref("hero9_cmds.json"), profile);
        writeFile(ref("gopro_default.json"), "{\"Version\": \"hero5\"}");
        // The camera is not on its Wi-Fi yet: what it tells over HTTP would win.
        QVERIFY(CamSim::leaveNetwork());
        QTemporaryDir noTools; // no nmcli: the Wi-Fi join that follows ends at once
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", noTools.path().toLocal8Bit());
        const auto restore = qScopeGuard([&] {
            qputenv("PATH", path);
            CamSim::joinNetwork();
        });
        m_window.reset(new MainWindow);

        // As the camera's notifications arrive after the hardware-information request.
        auto* ble = m_window->findChild<BLEInterface*>();
        QVERIFY(ble);
        for (const QByteArray& packet : testsupport::hardwareInfoReply(QByteArray::fromHex("00000046"), reported))
            emit ble->dataReceived(packet);
        QTest::qWait(100);
        QCOMPARE(child<QComboBox>("comboModel")->currentText(), applied);
        QCOMPARE(DefaultModelFile(ref("gopro_default.json")).version(), applied);
        bool told = false;
        for (const Prompt::Request& request : m_prompts->requests())
            told = told || (request.text.contains("“" + reported.split(' ').first())
                            && request.text.contains("“Select GoPro”"));
        QVERIFY2(told == (applied == "hero5"), qPrintable(m_prompts->count() ? m_prompts->requests().first().text : "no box"));
    }

    // Installed system-wide, the program's folder is not the user's to write: the model is
    // remembered in the user's configuration folder. Only when that fails too is the user
    // told, once, however long the box stays open while the camera keeps answering.
    void readOnlyInstallRemembersModelForTheUser()
    {
        const QByteArray profile =
            QJsonDocument(QJsonObject{{"Mode", entries({"Video", "Photo"}, "m")}}).toJson();
        writeFile(ref("hero5_cmds.json"), profile);
        writeFile(ref("hero7_cmds.json"), profile);
        writeFile(ref("gopro_default.json"), "{\"Version\": \"hero5\"}");
        const QString userFolder = QFileInfo(DefaultModelFile::userFilePath()).absolutePath();
        testsupport::unmount(userFolder);
        QDir(userFolder).removeRecursively();
        const QString why = testsupport::mountReadOnly(m_ref.path());
        if (!why.isEmpty())
            QSKIP(qPrintable("cannot make the profile folder read-only: " + why));

        m_window.reset(new MainWindow);
        waitOnline();
        child<QComboBox>("comboModel")->setCurrentText("hero7");
        QTest::qWait(100);
        QCOMPARE(m_prompts->count(), 0);
        QCOMPARE(readFile(ref("gopro_default.json")), QByteArray("{\"Version\": \"hero5\"}"));
        m_window.reset(new MainWindow);
        QCOMPARE(child<QComboBox>("comboModel")->currentText(), QString("hero7"));
        m_window.reset();

        QVERIFY(QDir().mkpath(userFolder));
        const QString whyUser = testsupport::mountReadOnly(userFolder);
        m_prompts->holdOpen(7000);
        if (whyUser.isEmpty()) {
            m_window.reset(new MainWindow);
            QTRY_VERIFY_WITH_TIMEOUT(m_prompts->count() > 0, 3000);
            m_prompts->holdOpen(0);
            child<QComboBox>("comboModel")->setCurrentText("hero5");
        }
        testsupport::unmount(userFolder);
        testsupport::unmount(m_ref.path());
        if (!whyUser.isEmpty())
            QSKIP(qPrintable("cannot make the configuration folder read-only: " + whyUser));
        QCOMPARE(m_prompts->count(), 1);
        QCOMPARE(m_prompts->requests().first().text, QString("write config failed!"));
        // The camera came online while the box was open and applied the model again: still
        // every entry once, and a choice sends once.
        QVERIFY(m_sim.countRequests("/gp/gpControl/status") >= 2);
        QCOMPARE(itemTexts(child<QComboBox>("comboBoxVideo")), QStringList({"Photo", "Video"}));
        m_sim.clearLog();
        testsupport::choose(child<QComboBox>("comboBoxVideo"), 1);
        QVERIFY(m_sim.waitForRequest("/test/m/Video", 3000));
        QTest::qWait(300);
        QCOMPARE(testCommands(), QStringList{"/test/m/Video"});
    }
};

VELKAMO_TEST_MAIN(TestModelProfiles)
#include "tst_modelprofiles.moc"
