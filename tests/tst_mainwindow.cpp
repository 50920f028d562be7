// The main window's own parts: the grid's start, the about box, the connection guide and
// the Chinese translation covering the window.

#include "camerastatusview.h"
#include "camsim.h"
#include "languages.h"
#include "mainwindow.h"
#include "promptrecorder.h"
#include "systemfilepath.h"
#include "testsupport.h"
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
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
        m_prompts.reset(); // one recorder at a time: each takes the boxes over
        m_prompts.reset(new PromptRecorder);
        m_window.reset(new MainWindow);
    }

    void aboutBox()
    {
        child<QPushButton>("pbAbout")->click();
        QCOMPARE(m_prompts->count(), 1);
        const Prompt::Request about = m_prompts->requests().first();
        QCOMPARE(about.kind, Prompt::Kind::About);
        QVERIFY(about.text.startsWith("version: 1.0"));
        QVERIFY(about.text.contains("<br><br>website: <a href=\"http"));
    }

    void connectionGuideOpensTheInstalledFile_data()
    {
        QTest::addColumn<bool>("byKey");
        QTest::newRow("button") << false;
        QTest::newRow("F1") << true;
    }
    void connectionGuideOpensTheInstalledFile()
    {
        QFETCH(bool, byKey);
        UrlSink sink;
        QDesktopServices::setUrlHandler("file", &sink, "openUrl");
        if (byKey) {
            m_window->show();
            m_window->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
            QTest::keyClick(m_window.get(), Qt::Key_F1);
        } else {
            child<QPushButton>("pbGuide")->click();
        }
        QDesktopServices::unsetUrlHandler("file");
        QCOMPARE(sink.urls.size(), 1);
        QCOMPARE(sink.urls.first().toLocalFile(), path::refDir().absoluteFilePath("guide.html"));
        QVERIFY(QFileInfo(sink.urls.first().toLocalFile()).isFile());
        QCOMPARE(m_prompts->count(), 0);
    }

    // The window opens where and as large as it was closed, maximized included; the first
    // time no larger than the screen.
    void sizeAndPlaceAreRemembered()
    {
        QSettings(QSettings::IniFormat, QSettings::UserScope, "velkamo", "velkamo").remove("window");
        m_window.reset(new MainWindow);
        const QSize screen = m_window->screen()->availableGeometry().size();
        QVERIFY(m_window->width() <= screen.width() && m_window->height() <= screen.height());
        m_window->show();
        m_window->setGeometry(40, 60, 700, 500);
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        const QRect left = m_window->geometry();
        QVERIFY(m_window->close());
        m_window.reset(new MainWindow);
        QCOMPARE(m_window->size(), left.size());
        m_window->showMaximized();
        QVERIFY(m_window->close());
        m_window.reset(new MainWindow);
        QVERIFY(m_window->windowState() & Qt::WindowMaximized);
    }

    // Every text of the window, its tool bar, its status view and its message boxes is
    // translated, into real Chinese.
    void chineseTranslationCoversTheWindow()
    {
        m_window.reset();
        auto chinese = std::make_unique<Languages>(QLocale::Chinese);
        m_window.reset(new MainWindow);

        auto* glance = m_window->findChild<CameraStatusView*>("cameraStatus");
        glance->showStatus(CameraStatus::parse(
            R"({"status":{"2":4,"8":1,"13":5,"33":0,"34":480,"35":4980,"54":12011718,"70":42}})",
            CameraStatus::Family::GpControl));
        child<QPushButton>("pbStart_Capture")->click();
        m_prompts->answerNext(QMessageBox::Cancel);
        child<QPushButton>("pbFormat")->click();
        QCOMPARE(m_prompts->count(), 2);
        const QString english[][2] = {{"groupBoxCaptureControl", "Capture Control"},
            {"groupBoxLiveViewControl", "Preview Control"}, {"groupBoxMISC", "General Control"},
            {"groupBoxSetting", "Settings"}, {"pbStart_Capture", "Start"}, {"pbStop", "Stop"},
            {"label", "BitRate"}, {"label_2", "Window Size"}, {"label_3", "Change To"},
            {"label_4", "Voice Control"}, {"label_5", "Quik Capture"}, {"label_6", "GPS Tag"},
            {"pbRefresh", "Refresh"}, {"labelPerRow", "Thumbnails per row"}, {"pbDownload", "Download"}, {"pbDelete", "Delete"},
            {"pbChangeFolder", "Change…"}, {"checkBoxHideDownloaded", "Leave out of the grid the files already in the download folder"},
            {"pbFormat", "Format SD card."}, {"pbGuide", "connection guide."},
            {"pbAbout", "show the app information."}, {"pbPowerOff", "Power off the camera."},
            {"labelBattery", "42 % · charging"}, {"labelRecording", "● REC 0:05"},
            {"labelCard", "12.3 GB free · 1 h 23 min of video · 480 photos"},
            {"pbCameraInfo", "Which camera this is: model, firmware, serial, how it is reached, its clock."},
            {"cameraStatus", "Click for the camera's information."}};
        QStringList untranslated;
        for (const auto& [name, text] : english) {
            QWidget* widget = child<QWidget>(name);
            QString shown = widget->toolTip();
            if (auto* box = qobject_cast<QGroupBox*>(widget))
                shown = box->title();
            else if (auto* label = qobject_cast<QLabel*>(widget))
                shown = label->text();
            else if (auto* button = qobject_cast<QPushButton*>(widget); button && !button->text().isEmpty())
                shown = button->text();
            if (shown == text)
                untranslated << text;
        }
        for (const Prompt::Request& box : m_prompts->requests())
            if (box.text == "Maybe connection is lost." || box.title == "warning" || box.text.startsWith("CAUTION"))
                untranslated << box.title + ": " + box.text;
            else if (box.informativeText.contains("on its card"))
                untranslated << box.informativeText;
        // Qt's own buttons and dialogs speak the same language.
        const QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        if (buttons.button(QDialogButtonBox::Cancel)->text() != QString::fromUtf8("取消"))
            untranslated << buttons.button(QDialogButtonBox::Cancel)->text();
        const QString title = child<QGroupBox>("groupBoxCaptureControl")->title();
        chinese.reset();
        QVERIFY2(untranslated.isEmpty(), qPrintable(untranslated.join(", ")));
        QVERIFY(std::any_of(title.begin(), title.end(),
                            [](QChar c) { return c.unicode() >= 0x4e00 && c.unicode() <= 0x9fff; }));
    }
};

VELKAMO_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
