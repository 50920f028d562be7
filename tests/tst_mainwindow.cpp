// The main window as a user meets it: its widgets, tool bar, tip line, dialogs and the
// Chinese translation.

#include "camerastatusview.h"
#include "camsim.h"
#include "logcapture.h"
#include "mainwindow.h"
#include "promptrecorder.h"
#include "systemfilepath.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QStatusBar>
#include <QToolBar>
#include <QTranslator>
#include <memory>

// Receives the URLs the window asks the desktop to open.
class UrlSink : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void openUrl(const QUrl& url) { urls << url; }
};

class TestMainWindow : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<PromptRecorder> m_prompts;
    std::unique_ptr<MainWindow> m_window;

    template<typename T>
    T* child(const QString& name)
    {
        T* widget = m_window->findChild<T*>(name);
        if (!widget)
            qFatal("no widget %s", qPrintable(name));
        return widget;
    }

private slots:
    void initTestCase()
    {
        testsupport::installFreshDataTree();
        // No camera in these tests: the window stays offline.
        QVERIFY(CamSim::leaveNetwork());
    }

    void init()
    {
        m_prompts.reset(new PromptRecorder);
        m_window.reset(new MainWindow);
    }

    void cleanup()
    {
        m_window.reset();
        m_prompts.reset();
    }

    void formWidgetsAndTexts_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("className");
        QTest::addColumn<QString>("text");
        QTest::newRow("capture box") << "groupBoxCaptureControl" << "QGroupBox" << "Capture Control";
        QTest::newRow("preview box") << "groupBoxLiveViewControl" << "QGroupBox" << "Preview Control";
        QTest::newRow("general box") << "groupBoxMISC" << "QGroupBox" << "General Control";
        QTest::newRow("settings box") << "groupBoxSetting" << "QGroupBox" << "Settings";
        QTest::newRow("start") << "pbStart_Capture" << "QPushButton" << "Start";
        QTest::newRow("stop") << "pbStop" << "QPushButton" << "Stop";
        QTest::newRow("bitrate") << "label" << "QLabel" << "BitRate";
        QTest::newRow("window size") << "label_2" << "QLabel" << "Window Size";
        QTest::newRow("change to") << "label_3" << "QLabel" << "Change To";
        QTest::newRow("voice") << "label_4" << "QLabel" << "Voice Control";
        QTest::newRow("quik") << "label_5" << "QLabel" << "Quik Capture";
        QTest::newRow("gps") << "label_6" << "QLabel" << "GPS Tag";
        QTest::newRow("live start") << "pbStart_LiveView" << "QPushButton" << "Start";
        QTest::newRow("live stop") << "pbStopLiveView" << "QPushButton" << "Stop";
        QTest::newRow("3rd") << "checkBox_3rdPreview" << "QCheckBox" << "3rd";
        QTest::newRow("vc") << "checkBox_vc" << "QCheckBox" << "";
        QTest::newRow("qc") << "checkBox_qc" << "QCheckBox" << "";
        QTest::newRow("gps box") << "checkBox_gps" << "QCheckBox" << "";
        QTest::newRow("refresh") << "pbRefresh" << "QPushButton" << "";
        QTest::newRow("download") << "pbDownload" << "QPushButton" << "";
        QTest::newRow("delete") << "pbDelete" << "QPushButton" << "";
        QTest::newRow("tip line") << "label_fileName" << "QLabel" << "";
        QTest::newRow("video") << "comboBoxVideo" << "QComboBox" << "";
        QTest::newRow("types") << "comboBoxSettings_ISO" << "QComboBox" << "";
        QTest::newRow("options") << "comboBoxChangeTo" << "QComboBox" << "";
        QTest::newRow("rates") << "comboBoxLiveview_BitRate" << "QComboBox" << "";
        QTest::newRow("sizes") << "comboBoxLiveView_WindowSize" << "QComboBox" << "";
        QTest::newRow("slider") << "horizontalSlider" << "QSlider" << "";
        QTest::newRow("grid") << "scrollAreaPictureView" << "QScrollArea" << "";
        QTest::newRow("tool bar") << "mainToolBar" << "QToolBar" << "";
        QTest::newRow("status bar") << "statusBar" << "QStatusBar" << "";
    }
    void formWidgetsAndTexts()
    {
        QFETCH(QString, name);
        QFETCH(QString, className);
        QFETCH(QString, text);
        QWidget* widget = child<QWidget>(name);
        QCOMPARE(QString(widget->metaObject()->className()), className);
        if (auto* box = qobject_cast<QGroupBox*>(widget))
            QCOMPARE(box->title(), text);
        else if (auto* label = qobject_cast<QLabel*>(widget))
            QVERIFY(label->text() == text || name == "label_fileName");
        else if (auto* button = qobject_cast<QAbstractButton*>(widget))
            QCOMPARE(button->text(), text);
    }

    void windowBasics()
    {
        QCOMPARE(m_window->windowTitle(), QString("Velkamo"));
        QCOMPARE(m_window->size(), QSize(901, 542));
        QVERIFY(!m_window->windowIcon().isNull());
        QCOMPARE(child<QSlider>("horizontalSlider")->minimum(), 2);
        QCOMPARE(child<QSlider>("horizontalSlider")->maximum(), 8);
        QVERIFY(child<QCheckBox>("checkBox_3rdPreview")->isChecked());
        QCOMPARE(child<QWidget>("checkBox_3rdPreview")->toolTip(),
                 QString("<html><head/><body><p>Activate the camera video stream and view it in "
                         "3rd applications (VLC, ffmpeg, etc.)</p></body></html>"));
        QCOMPARE(child<QWidget>("pbRefresh")->styleSheet(),
                 QString("background-color: #262a36;\nborder-width: 0px;\n\nhover: {\n"
                         "\tborder-image:url(:/image/image/download.png);\n};"));
        QCOMPARE(child<QWidget>("pbDelete")->toolTip(), QString("Delete"));
    }

    // The slider and the column count agree from the start: the resize log line divides the
    // central widget's width by the column count.
    void sliderAndColumnsAgreeAtStart()
    {
        QCOMPARE(child<QSlider>("horizontalSlider")->value(), 4);
        LogCapture log;
        m_window->show();
        m_window->resize(1000, 600);
        QTRY_VERIFY(log.contains(QString::number(
            child<QWidget>("centralWidget")->width() / 4 - 2)));
    }

    void focusOrder()
    {
        const QStringList order = {
            "comboBoxVideo", "pbStart_Capture", "pbStop", "comboBoxLiveview_BitRate",
            "comboBoxLiveView_WindowSize", "pbStart_LiveView", "checkBox_3rdPreview",
            "pbStopLiveView", "checkBox_vc", "checkBox_qc", "checkBox_gps",
            "comboBoxSettings_ISO", "comboBoxChangeTo", "horizontalSlider", "pbRefresh",
            "pbDownload", "pbDelete", "scrollAreaPictureView"};
        for (int i = 0; i + 1 < order.size(); ++i) {
            // The chain also holds widgets that never take focus (group boxes): skip them.
            QWidget* next = child<QWidget>(order[i])->nextInFocusChain();
            while (!(next->focusPolicy() & Qt::TabFocus))
                next = next->nextInFocusChain();
            QVERIFY2(next == child<QWidget>(order[i + 1]),
                     qPrintable(order[i] + " -> " + next->objectName()));
        }
    }

    void toolBar()
    {
        m_window->show();
        auto* bar = child<QToolBar>("mainToolBar");
        const QList<QAction*> actions = bar->actions();
        QVERIFY(actions.size() >= 6);
        auto* label = qobject_cast<QLabel*>(bar->widgetForAction(actions.at(0)));
        QVERIFY(label);
        QCOMPARE(label->text(), QString("Select GoPro "));
        QCOMPARE(bar->widgetForAction(actions.at(1)), child<QWidget>("comboModel"));

        struct Button { const char* name; const char* tip; bool visible; };
        const Button buttons[] = {
            {"pbPowerOff", "Power off the camera.", false},
            {"pbFormat", "Format SD card.", true},
            {"pbGuide", "connection guide.", true},
            {"pbAbout", "show the app information.", true},
        };
        for (int i = 0; i < 4; ++i) {
            auto* button = child<QPushButton>(buttons[i].name);
            QCOMPARE(bar->widgetForAction(actions.at(2 + i)), button);
            QCOMPARE(button->toolTip(), QString(buttons[i].tip));
            QCOMPARE(button->isVisible(), buttons[i].visible);
            QCOMPARE(button->iconSize(), QSize(16, 16));
            QVERIFY(!button->icon().pixmap(16, 16).isNull());
        }
    }

    void iconsAreReadableAt16Pixels_data()
    {
        QTest::addColumn<QString>("file");
        for (const char* name : {"gopro.ico", "power.png", "format.png", "guide.png", "about.png",
                                 "refresh.png", "download.png", "delete.png"})
            QTest::newRow(name) << QString(":/image/image/") + name;
    }
    void iconsAreReadableAt16Pixels()
    {
        QFETCH(QString, file);
        const QImage image = QIcon(file).pixmap(16, 16).toImage();
        QVERIFY(!image.isNull());
        // Something is drawn: not a blank square.
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                colours.insert(image.pixel(x, y));
        QVERIFY2(colours.size() > 3, qPrintable(file));
    }

    void tipAnimatesWhileTheCameraIsAway()
    {
        auto* tip = child<QLabel>("label_fileName");
        QStringList seen;
        QElapsedTimer timer;
        timer.start();
        while (seen.size() < 6 && timer.elapsed() < 6000) {
            QTest::qWait(20);
            if (seen.isEmpty() || seen.last() != tip->text())
                seen << tip->text();
        }
        const QStringList cycle = {"connecting to WiFi", "connecting to WiFi.",
                                   "connecting to WiFi..", "connecting to WiFi..."};
        QVERIFY(seen.size() >= 6);
        const int start = cycle.indexOf(seen.at(1));
        QVERIFY2(start >= 0, qPrintable(seen.join('|')));
        for (int i = 1; i < 6; ++i)
            QCOMPARE(seen.at(i), cycle.at((start + i - 1) % 4));
    }

    void aboutBox()
    {
        child<QPushButton>("pbAbout")->click();
        QCOMPARE(m_prompts->count(), 1);
        const Prompt::Request about = m_prompts->requests().first();
        QCOMPARE(about.kind, Prompt::Kind::About);
        QCOMPARE(about.title, QString("About"));
        QVERIFY(about.text.startsWith("version: 1.0"));
        QVERIFY(about.text.contains("<br><br>website: <a href=\"http"));
    }

    void connectionGuideOpensTheInstalledFile()
    {
        UrlSink sink;
        QDesktopServices::setUrlHandler("file", &sink, "openUrl");
        LogCapture log;
        child<QPushButton>("pbGuide")->click();
        QDesktopServices::unsetUrlHandler("file");

        QCOMPARE(sink.urls.size(), 1);
        const QUrl url = sink.urls.first();
        QVERIFY(url.isLocalFile());
        QCOMPARE(url.toLocalFile(), path::refDir().absoluteFilePath("guide.html"));
        QVERIFY(QFileInfo(url.toLocalFile()).isFile());
        QVERIFY(log.contains("Show Connection Guide"));
        QCOMPARE(m_prompts->count(), 0);
    }

    // Every text of the window, its tool bar and its message boxes is translated.
    void chineseTranslationCoversTheWindow()
    {
        m_window.reset();
        QTranslator translator;
        QVERIFY(translator.load(path::translationFile(QLocale::Chinese)));
        qApp->installTranslator(&translator);
        m_window.reset(new MainWindow);

        QStringList untranslated;
        const auto check = [&](const QString& english, const QString& shown) {
            if (!english.isEmpty() && shown == english)
                untranslated << english;
        };
        check("Capture Control", child<QGroupBox>("groupBoxCaptureControl")->title());
        check("Preview Control", child<QGroupBox>("groupBoxLiveViewControl")->title());
        check("General Control", child<QGroupBox>("groupBoxMISC")->title());
        check("Settings", child<QGroupBox>("groupBoxSetting")->title());
        check("Start", child<QPushButton>("pbStart_Capture")->text());
        check("Stop", child<QPushButton>("pbStop")->text());
        check("BitRate", child<QLabel>("label")->text());
        check("Window Size", child<QLabel>("label_2")->text());
        check("Change To", child<QLabel>("label_3")->text());
        check("Voice Control", child<QLabel>("label_4")->text());
        check("Quik Capture", child<QLabel>("label_5")->text());
        check("GPS Tag", child<QLabel>("label_6")->text());
        check("Refresh", child<QWidget>("pbRefresh")->toolTip());
        check("Download", child<QWidget>("pbDownload")->toolTip());
        check("Delete", child<QWidget>("pbDelete")->toolTip());
        check("Format SD card.", child<QWidget>("pbFormat")->toolTip());
        check("connection guide.", child<QWidget>("pbGuide")->toolTip());
        check("show the app information.", child<QWidget>("pbAbout")->toolTip());
        check("Power off the camera.", child<QWidget>("pbPowerOff")->toolTip());

        // The camera at a glance, as a status reply fills it.
        auto* glance = m_window->findChild<CameraStatusView*>("cameraStatus");
        QVERIFY(glance);
        CameraStatus status = CameraStatus::parse(
            R"({"status":{"2":4,"8":1,"13":5,"33":0,"34":480,"35":4980,"54":12011718,"70":42}})",
            CameraStatus::Family::GpControl);
        glance->showStatus(status);
        check("42 % · charging", child<QLabel>("labelBattery")->text());
        check("12.3 GB free · 1 h 23 min of video · 480 photos", child<QLabel>("labelCard")->text());
        check("● REC 0:05", child<QLabel>("labelRecording")->text());
        status.card = CameraStatus::Card::Missing;
        glance->showStatus(status);
        check("no card", child<QLabel>("labelCard")->text());

        // Message boxes: the offline warning and the format question.
        child<QPushButton>("pbStart_Capture")->click();
        m_prompts->answerNext(QMessageBox::Cancel);
        child<QPushButton>("pbFormat")->click();
        QCOMPARE(m_prompts->count(), 2);
        check("warning", m_prompts->requests().at(0).title);
        check("Maybe connection is lost.", m_prompts->requests().at(0).text);
        check("CAUTION: Are you sure to format?", m_prompts->requests().at(1).text);

        // Real Chinese: the capture box title is written in CJK characters.
        const QString title = child<QGroupBox>("groupBoxCaptureControl")->title();
        qApp->removeTranslator(&translator);
        QVERIFY2(untranslated.isEmpty(), qPrintable(untranslated.join(", ")));
        QVERIFY(std::any_of(title.begin(), title.end(),
                            [](QChar c) { return c.unicode() >= 0x4e00 && c.unicode() <= 0x9fff; }));
    }
};

VELKAMO_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
