// Model profiles and the settings panel: what the selectors offer, what choosing sends,
// and what the default file remembers, with the real window and the camera simulator.

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
#include <QJsonObject>
#include <QLabel>
#include <QProcess>
#include <memory>

namespace {

QStringList itemTexts(const QComboBox* box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}

QString testUrl(const QString& what)
{
    return QStringLiteral("http://10.5.5.9/test/") + what;
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

    void writeFile(const QString& name, const QByteArray& content)
    {
        QFile file(m_ref.filePath(name));
        QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(name));
        file.write(content);
    }

    void writeProfile(const QString& model, const QJsonObject& root)
    {
        writeFile(model + "_cmds.json", QJsonDocument(root).toJson());
    }

    QByteArray readFile(const QString& name)
    {
        QFile file(m_ref.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // A ref directory holding only what the test writes.
    void emptyRef()
    {
        QDir(m_ref.path()).removeRecursively();
        QVERIFY(QDir().mkpath(m_ref.path()));
    }

    template<typename T>
    T* child(const char* name)
    {
        T* widget = m_window->findChild<T*>(QLatin1String(name));
        if (!widget)
            qFatal("no widget %s", name);
        return widget;
    }

    void startWindow()
    {
        m_window.reset(new MainWindow);
    }

    // The first answer of the camera applies the model again; tests that count commands
    // start counting after it.
    void waitOnline()
    {
        // By the first poll the tip has been animating for seconds unless an answer of the
        // camera stopped it.
        QTRY_VERIFY_WITH_TIMEOUT(m_sim.countRequests("/gp/gpControl/status") > 0
                                     || m_sim.countRequests("/gopro/camera/keep_alive") > 0,
                                 8000);
        QTRY_VERIFY_WITH_TIMEOUT(child<QLabel>("label_fileName")->text().isEmpty(), 3000);
        QTest::qWait(200);
    }

    // The commands sent to port 80 under /test/, in arrival order.
    QStringList testCommands()
    {
        QStringList commands;
        for (const QString& target : m_sim.targets(80)) {
            if (target.startsWith("80 /test/"))
                commands << target.mid(3);
        }
        return commands;
    }

    static QJsonObject entries(std::initializer_list<const char*> labels, const QString& prefix)
    {
        QJsonObject object;
        for (const char* label : labels)
            object.insert(QLatin1String(label), testUrl(prefix + "/" + QLatin1String(label)));
        return object;
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
        QVERIFY(CamSim::joinNetwork());
        emptyRef();
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

    // Widget-free rules -------------------------------------------------------------

    void modelNumber_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("number");
        QTest::newRow("hero5") << "hero5" << 5;
        QTest::newRow("hero10") << "hero10" << 10;
        QTest::newRow("first four skipped whatever they are") << "GoPr12" << 12;
        QTest::newRow("hero alone") << "hero" << 0;
        QTest::newRow("shorter") << "her" << 0;
        QTest::newRow("file name without underscore") << "hero9.json" << 0;
        QTest::newRow("not a number") << "heroX" << 0;
        QTest::newRow("beyond 32 bits") << "hero4294967296" << 0;
        QTest::newRow("negative") << "hero-3" << -3;
    }
    void modelNumber()
    {
        QFETCH(QString, name);
        QFETCH(int, number);
        QCOMPARE(CameraProfile::modelNumber(name), number);
    }

    void labelsInCharacterCodeOrder()
    {
        QJsonObject root;
        root.insert("Mode", entries({"zebra", "apple", "Mango"}, "mode"));
        const CameraProfile profile = CameraProfile::fromJson(root);
        QStringList labels;
        for (const auto& entry : profile.modes)
            labels << entry.label;
        QCOMPARE(labels, (QStringList{"Mango", "apple", "zebra"}));
    }

    void oddMembersGiveEmptyLists()
    {
        const QJsonObject root = QJsonDocument::fromJson(
            "{\"Mode\": [\"not\", \"an\", \"object\"], \"Live Stream BitRate\": \"nope\", "
            "\"dropdown\": {\"Broken\": 7, \"Fine\": {\"A\": \"http://10.5.5.9/test/a\", \"B\": 12}}}")
                                     .object();
        const CameraProfile profile = CameraProfile::fromJson(root);
        QVERIFY(profile.modes.isEmpty());
        QVERIFY(profile.bitRates.isEmpty());
        QVERIFY(profile.windowSizes.isEmpty());
        QCOMPARE(profile.settingTypes, (QStringList{"Broken", "Fine"}));
        QVERIFY(profile.settings.value("Broken").isEmpty());
        QCOMPARE(profile.settings.value("Fine").value("A"), QString("http://10.5.5.9/test/a"));
        QVERIFY(profile.settings.value("Fine").contains("B"));
        QCOMPARE(profile.settings.value("Fine").value("B"), QString());
    }

    // The window --------------------------------------------------------------------

    void modelListFromProfileFiles()
    {
        for (const char* name : {"hero10_cmds.json", "hero5_cmds.json", "hero7_cmds.json",
                                 "hero7_old.json", "hero9.json", "HERO6_cmds.json",
                                 "notes.txt", "gopro_default.json"})
            writeFile(name, "{}");
        startWindow();
        QCOMPARE(itemTexts(child<QComboBox>("comboModel")),
                 (QStringList{"hero10", "hero5", "hero7", "hero7", "hero9.json"}));
        // No default model recorded: hero5.
        QCOMPARE(child<QComboBox>("comboModel")->currentText(), QString("hero5"));
    }

    void profileFillsTheSelectors()
    {
        QJsonObject root;
        root.insert("Mode", entries({"zebra", "apple", "Mango"}, "mode"));
        root.insert("Live Stream BitRate", entries({"2 Mbps", "1 Mbps"}, "rate"));
        root.insert("Live Stream Window Size", entries({"720", "480"}, "size"));
        QJsonObject dropdown;
        dropdown.insert("Resolution", entries({"4K", "1080p"}, "res"));
        dropdown.insert("FOV", entries({"Wide", "Linear"}, "fov"));
        root.insert("dropdown", dropdown);
        writeProfile("hero6", root);
        writeFile("gopro_default.json", "{\"Version\": \"hero6\"}");

        startWindow();
        QCOMPARE(itemTexts(child<QComboBox>("comboBoxVideo")),
                 (QStringList{"Mango", "apple", "zebra"}));
        QCOMPARE(child<QComboBox>("comboBoxVideo")->itemData(1).toString(), testUrl("mode/apple"));
        QCOMPARE(itemTexts(child<QComboBox>("comboBoxLiveview_BitRate")),
                 (QStringList{"1 Mbps", "2 Mbps"}));
        QCOMPARE(itemTexts(child<QComboBox>("comboBoxLiveView_WindowSize")),
                 (QStringList{"480", "720"}));
        QCOMPARE(itemTexts(child<QComboBox>("comboBoxSettings_ISO")),
                 (QStringList{"FOV", "Resolution"}));
        // The second setting type is chosen and its first option sent at once.
        QCOMPARE(child<QComboBox>("comboBoxSettings_ISO")->currentIndex(), 1);
        QCOMPARE(itemTexts(child<QComboBox>("comboBoxChangeTo")), (QStringList{"1080p", "4K"}));
        QCOMPARE(child<QComboBox>("comboBoxChangeTo")->currentText(), QString("1080p"));
        // The reply to that command brings the camera online, which applies the model once
        // more: every command sent is that first option, nothing from filling the selectors.
        QTRY_VERIFY_WITH_TIMEOUT(!testCommands().isEmpty(), 3000);
        waitOnline();
        const QStringList sent = testCommands();
        QCOMPARE(sent.count("/test/res/1080p"), sent.size());
    }

    void onlyTheFirstFourModesSend()
    {
        QJsonObject root;
        root.insert("Mode", entries({"a1", "a2", "a3", "a4", "a5"}, "mode"));
        writeProfile("hero5", root);
        // Started without the camera: the window takes it for unreachable.
        QVERIFY(CamSim::leaveNetwork());
        startWindow();
        auto* modes = child<QComboBox>("comboBoxVideo");
        QVERIFY(CamSim::joinNetwork());

        // Profile choices are sent even while the camera is taken for unreachable.
        modes->setCurrentIndex(2);
        QVERIFY(m_sim.waitForRequest("/test/mode/a3", 3000));
        QCOMPARE(m_prompts->count(), 0);
        waitOnline();
        m_sim.clearLog();

        modes->setCurrentIndex(4); // the fifth: shown, but nothing sent
        QTest::qWait(400);
        QVERIFY(testCommands().isEmpty());
        modes->setCurrentIndex(3);
        QVERIFY(m_sim.waitForRequest("/test/mode/a4", 3000));
        modes->setCurrentIndex(0);
        QVERIFY(m_sim.waitForRequest("/test/mode/a1", 3000));
        QCOMPARE(testCommands(), (QStringList{"/test/mode/a4", "/test/mode/a1"}));
    }

    void choosingSettingTypeSendsItsFirstOption()
    {
        QJsonObject dropdown;
        dropdown.insert("Alpha", entries({"x", "y"}, "alpha"));
        dropdown.insert("Beta", entries({"p", "q"}, "beta"));
        dropdown.insert("Empty", QJsonObject());
        QJsonObject root;
        root.insert("dropdown", dropdown);
        writeProfile("hero5", root);
        startWindow();
        QTRY_VERIFY_WITH_TIMEOUT(testCommands().contains("/test/beta/p"), 3000);
        waitOnline();
        m_sim.clearLog();

        auto* types = child<QComboBox>("comboBoxSettings_ISO");
        auto* options = child<QComboBox>("comboBoxChangeTo");
        types->setCurrentIndex(0);
        QTRY_COMPARE_WITH_TIMEOUT(testCommands().size(), 1, 3000);
        QCOMPARE(testCommands().last(), QString("/test/alpha/x"));
        QCOMPARE(options->currentText(), QString("x"));

        options->setCurrentIndex(1);
        QTRY_COMPARE_WITH_TIMEOUT(testCommands().size(), 2, 3000);
        QCOMPARE(testCommands().last(), QString("/test/alpha/y"));

        // A type without options leaves the option selector empty and sends nothing, not
        // even an empty request.
        m_sim.clearLog();
        types->setCurrentIndex(2);
        QCOMPARE(options->count(), 0);
        QTest::qWait(400);
        QVERIFY(m_sim.targets(80).filter("/test/").isEmpty());
    }

    void singleSettingTypeLeavesOptionsEmpty()
    {
        QJsonObject dropdown;
        dropdown.insert("Only", entries({"x"}, "only"));
        QJsonObject root;
        root.insert("dropdown", dropdown);
        writeProfile("hero5", root);
        startWindow();
        QCOMPARE(child<QComboBox>("comboBoxSettings_ISO")->currentIndex(), -1);
        QCOMPARE(child<QComboBox>("comboBoxChangeTo")->count(), 0);
        QTest::qWait(400);
        QVERIFY(testCommands().isEmpty());
    }

    void missingProfileStillAppliesTheModel()
    {
        writeFile("gopro_default.json", "{\"Version\": \"hero11\"}");
        startWindow();
        for (const char* box : {"comboBoxVideo", "comboBoxSettings_ISO", "comboBoxChangeTo",
                                "comboBoxLiveview_BitRate", "comboBoxLiveView_WindowSize"})
            QCOMPARE(child<QComboBox>(box)->count(), 0);
        // Model 11 polls the newer keep-alive.
        QVERIFY(m_sim.waitForRequest("/gopro/camera/keep_alive", 5000));
        QVERIFY(m_sim.waitForRequest("/gp/gpMediaList", 1000));
        QCOMPARE(QJsonDocument::fromJson(readFile("gopro_default.json"))["Version"].toString(),
                 QString("hero11"));
    }

    void defaultFileIsRewrittenIndentedWithItsMembers()
    {
        writeFile("hero5_cmds.json", "{}");
        writeFile("hero8_cmds.json", "{}");
        writeFile("gopro_default.json", "{\"zeta\":1,\"Version\":\"hero8\",\"alpha\":[1,2]}");
        startWindow();
        QCOMPARE(child<QComboBox>("comboModel")->currentText(), QString("hero8"));

        child<QComboBox>("comboModel")->setCurrentText("hero5");
        const QByteArray written = readFile("gopro_default.json");
        const QJsonObject root = QJsonDocument::fromJson(written).object();
        QCOMPARE(root["Version"].toString(), QString("hero5"));
        QCOMPARE(root["zeta"].toInt(), 1);
        QCOMPARE(root["alpha"].toArray().size(), 2);
        QVERIFY(written.contains("\n    \"alpha\""));
        QVERIFY(written.indexOf("\"Version\"") < written.indexOf("\"zeta\""));
    }

    void defaultVersionNotAStringStartsWithHero5()
    {
        writeFile("gopro_default.json", "{\"Version\": 7}");
        startWindow();
        QCOMPARE(QJsonDocument::fromJson(readFile("gopro_default.json"))["Version"].toString(),
                 QString("hero5"));
    }

    void defaultFileNotAnObjectIsNeverRewritten_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("array") << QByteArray("[\"hero9\"]");
        QTest::newRow("broken") << QByteArray("{\"Version\": \"hero9\"");
    }
    void defaultFileNotAnObjectIsNeverRewritten()
    {
        QFETCH(QByteArray, content);
        writeFile("hero9_cmds.json", "{}");
        writeFile("gopro_default.json", content);
        startWindow();
        QCOMPARE(child<QComboBox>("comboModel")->currentText(), QString("hero9"));
        child<QComboBox>("comboModel")->setCurrentText("hero9");
        QCOMPARE(readFile("gopro_default.json"), content);
        QCOMPARE(m_prompts->count(), 0);
    }

    void missingDefaultFileIsNotCreated()
    {
        writeFile("hero7_cmds.json", "{}");
        startWindow();
        QVERIFY(!QFile::exists(m_ref.filePath("gopro_default.json")));
        QCOMPARE(m_prompts->count(), 0);
    }

    // Installed system-wide, the program's folder is not the user's to write: the model is
    // remembered in the user's configuration folder. Only when that fails too is the user
    // told, once, however long the box stays open while the camera keeps answering.
    void readOnlyInstallRemembersModelForTheUser()
    {
        const QByteArray profile = "{\"Mode\": {\"Video\": \"http://10.5.5.9/test/v\", "
                                   "\"Photo\": \"http://10.5.5.9/test/p\"}}";
        writeFile("hero5_cmds.json", profile);
        writeFile("hero7_cmds.json", profile);
        writeFile("gopro_default.json", "{\"Version\": \"hero5\"}");
        const QString userFile = DefaultModelFile::userFilePath();
        const QString userFolder = QFileInfo(userFile).absolutePath();
        testsupport::unmount(userFolder);
        QDir(userFolder).removeRecursively();
        const QString why = testsupport::mountReadOnly(m_ref.path());
        if (!why.isEmpty())
            QSKIP(qPrintable("cannot make the profile folder read-only: " + why));

        startWindow();
        waitOnline();
        child<QComboBox>("comboModel")->setCurrentText("hero7");
        QTest::qWait(100);
        QCOMPARE(m_prompts->count(), 0);
        QCOMPARE(DefaultModelFile(QString(), userFile).version(), QString("hero7"));
        QCOMPARE(readFile("gopro_default.json"), QByteArray("{\"Version\": \"hero5\"}"));
        m_window.reset();
        startWindow();
        QCOMPARE(child<QComboBox>("comboModel")->currentText(), QString("hero7"));
        m_window.reset();

        QVERIFY(QDir().mkpath(userFolder));
        const QString whyUser = testsupport::mountReadOnly(userFolder);
        m_prompts->holdOpen(7000);
        if (whyUser.isEmpty()) {
            startWindow();
            QTRY_VERIFY_WITH_TIMEOUT(m_prompts->count() > 0, 3000);
            m_prompts->holdOpen(0);
            m_window->findChild<QComboBox*>("comboModel")->setCurrentText("hero5");
        }
        testsupport::unmount(userFolder);
        testsupport::unmount(m_ref.path());
        if (!whyUser.isEmpty())
            QSKIP(qPrintable("cannot make the configuration folder read-only: " + whyUser));
        QCOMPARE(m_prompts->count(), 1);
        QCOMPARE(m_prompts->requests().first().title, QString("Velkamo"));
        QCOMPARE(m_prompts->requests().first().text, QString("write config failed!"));
        // The camera came online while the box was open and applied the model again: still
        // every entry once, and a choice sends once.
        QVERIFY(m_sim.countRequests("/gp/gpControl/status") >= 2);
        QCOMPARE(itemTexts(child<QComboBox>("comboBoxVideo")), QStringList({"Photo", "Video"}));
        m_sim.clearLog();
        child<QComboBox>("comboBoxVideo")->setCurrentIndex(1);
        QVERIFY(m_sim.waitForRequest("/test/v", 3000));
        QTest::qWait(300);
        QCOMPARE(m_sim.targets().count("80 /test/v"), 1);
    }

    void defaultModelWithoutEntryStillApplied()
    {
        writeFile("hero5_cmds.json", "{}");
        writeFile("hero7_cmds.json", "{}");
        writeFile("gopro_default.json", "{\"Version\": \"hero12\"}");
        startWindow();
        QCOMPARE(child<QComboBox>("comboModel")->currentText(), QString("hero5"));
        QVERIFY(m_sim.waitForRequest("/gopro/camera/keep_alive", 5000)); // model 12
    }

    void applyingTwiceConnectsOnce()
    {
        writeFile("hero5_cmds.json", "{\"Mode\": {\"Video\": \"http://10.5.5.9/test/v\", "
                                     "\"Photo\": \"http://10.5.5.9/test/p\"}}");
        writeFile("hero6_cmds.json", "{}");
        startWindow();
        auto* model = child<QComboBox>("comboModel");
        model->setCurrentText("hero6");
        model->setCurrentText("hero5");
        QVERIFY(QMetaObject::invokeMethod(m_window.get(), "slotVersionChanged",
                                          Q_ARG(QString, "hero5")));
        // Wait until the camera counts as reachable, then one click must send one command.
        waitOnline();
        m_sim.clearLog();
        child<QCheckBox>("checkBox_vc")->click();
        child<QComboBox>("comboBoxVideo")->setCurrentIndex(1);
        QVERIFY(m_sim.waitForRequest("/test/v", 3000));
        QVERIFY(m_sim.waitForRequest("/gp/gpControl/setting/86/1", 3000));
        QTest::qWait(500);
        QCOMPARE(m_sim.targets().count("80 /gp/gpControl/setting/86/1"), 1);
        QCOMPARE(m_sim.targets().count("80 /test/v"), 1);
    }
};

VELKAMO_TEST_MAIN(TestModelProfiles)
#include "tst_modelprofiles.moc"
