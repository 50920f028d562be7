// The main window's own parts: the grid's start, the first screen, the tool bar, the about
// box, the connection guide, the tab order and the Chinese translation covering the window.

#include "camerastatusview.h"
#include "camsim.h"
#include "elidingcombobox.h"
#include "languages.h"
#include "mainwindow.h"
#include "promptrecorder.h"
#include "systemfilepath.h"
#include "testsupport.h"
#include "theme.h"
#include <QDesktopServices>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QToolBar>
#include <QToolButton>
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

    void cleanup()
    {
        qApp->setStyleSheet(QString());
    }

    // The program, its version and licence; its link readable on the dark style.
    void aboutBox()
    {
        child<QPushButton>("pbAbout")->click();
        QCOMPARE(m_prompts->count(), 1);
        const Prompt::Request about = m_prompts->requests().first();
        QCOMPARE(about.kind, Prompt::Kind::About);
        QVERIFY(about.text.startsWith("version: " VELKAMO_VERSION));
        QVERIFY(about.text.contains("<br><br>website: <a href=\"http"));
        for (const char* named : {"Velkamo", "GNU General Public License, version 3"})
            QVERIFY2(about.text.contains(named), named);

        QFile qss(testsupport::appRoot() + "/qss/common.qss");
        QVERIFY(qss.open(QIODevice::ReadOnly));
        qApp->setStyleSheet(QString::fromLatin1(qss.readAll()));
        QMessageBox box(QMessageBox::NoIcon, about.title, about.text);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        const QImage shown = box.grab().toImage();
        const QColor background = shown.pixel(2, 2);
        // The link is the only blue there.
        double link = 0;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                if (const QColor c = shown.pixel(x, y); c.blue() > c.red() + 60)
                    link = std::max(link, Theme::contrast(c, background));
        QVERIFY2(link >= Theme::kTextContrast, qPrintable(QString("the link %1:1").arg(link)));
    }

    // While no camera answers, the grid's place says how to connect, with a button for each way
    // that has one and the guide; the tool bar's lists keep both ends of their text, so that a
    // camera's "offline" stays in view. A camera that answers takes the place back.
    void firstScreenAndToolBar_data()
    {
        QTest::addColumn<bool>("chinese");
        QTest::newRow("English") << false;
        QTest::newRow("Chinese") << true;
    }
    void firstScreenAndToolBar()
    {
        QFETCH(bool, chinese);
        m_window.reset();
        QFile qss(testsupport::appRoot() + "/qss/common.qss");
        QVERIFY(qss.open(QIODevice::ReadOnly));
        qApp->setStyleSheet(QString::fromLatin1(qss.readAll()));
        std::unique_ptr<Languages> language;
        if (chinese)
            language = std::make_unique<Languages>(QLocale::Chinese);
        m_window.reset(new MainWindow);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        auto* grid = child<QWidget>("scrollAreaPictureView");
        QVERIFY(testsupport::showsFirstScreen(m_window.get()) && !grid->isVisible());
        // Its text reads on the window's dark ground.
        auto* title = child<QLabel>("firstScreenTitle");
        const QWidget* first = child<QWidget>("firstScreen");
        const QImage page = m_window->grab(QRect(first->mapTo(m_window.get(), QPoint()), first->size())).toImage();
        const QColor ground = page.pixel(page.width() - 12, page.height() - 12);
        QVERIFY2(Theme::contrast(title->palette().color(QPalette::WindowText), ground) >= Theme::kTextContrast,
                 qPrintable(ground.name()));

        // Bluetooth set-up starts: without an adapter here, it says so.
        child<QPushButton>("pbFirstBluetooth")->click();
        QCOMPARE(m_prompts->count(), 1);
        QCOMPARE(m_prompts->requests().first().title, QString("Alert"));
        // The home network is set up for a camera connected over Bluetooth only.
        QVERIFY(!child<QPushButton>("pbFirstHomeNetwork")->isEnabled());
        UrlSink sink;
        QDesktopServices::setUrlHandler("file", &sink, "openUrl");
        auto* guide = child<QLabel>("firstScreenGuide");
        QTest::mouseClick(guide, Qt::LeftButton, {}, guide->contentsRect().topLeft() + QPoint(8, guide->height() / 2));
        QDesktopServices::unsetUrlHandler("file");
        QCOMPARE(sink.urls.size(), 1);
        QCOMPARE(sink.urls.first().toLocalFile(), path::refDir().absoluteFilePath("guide.html"));

        CamSim sim;
        QVERIFY(sim.start({"--model", "11"}));
        QVERIFY(CamSim::joinNetwork());
        QTRY_VERIFY_WITH_TIMEOUT(grid->isVisible() && !testsupport::showsFirstScreen(m_window.get()), 10000);
        QVERIFY(CamSim::leaveNetwork());
        QTRY_VERIFY_WITH_TIMEOUT(testsupport::showsFirstScreen(m_window.get()) && !grid->isVisible(), 15000);

        // "Wi-Fi · HERO11 Black · …461 — offline": its end in view, the whole of it in its tip.
        auto* cameras = child<QComboBox>("comboCameras");
        const QString offline = QCoreApplication::translate("Camera", "offline");
        QTRY_VERIFY_WITH_TIMEOUT(cameras->currentText().endsWith(offline), 5000);
        const QString shown = cameras->property("shownText").toString();
        QVERIFY2(shown.endsWith(offline) && shown.left(3) == cameras->currentText().left(3), qPrintable(shown));
        QVERIFY(cameras->toolTip().contains(cameras->currentText()));
        // Nothing in the tool bar is drawn wider than it is: no text cut mid-word.
        for (QWidget* item : m_window->findChild<QToolBar*>("mainToolBar")->findChildren<QWidget*>()) {
            if (!item->isVisible())
                continue;
            QString text;
            int room = item->contentsRect().width();
            if (auto* box = qobject_cast<ElidingComboBox*>(item)) {
                text = box->shownText();
                QStyleOptionComboBox option;
                option.initFrom(box);
                room = box->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, box).width();
            } else if (auto* label = qobject_cast<QLabel*>(item)) {
                text = label->text();
            } else if (auto* button = qobject_cast<QAbstractButton*>(item)) {
                const auto* tool = qobject_cast<QToolButton*>(item);
                if (!tool || tool->toolButtonStyle() != Qt::ToolButtonIconOnly)
                    text = button->text();
            } else if (qobject_cast<QComboBox*>(item)) {
                QFAIL(qPrintable(item->objectName() + " cuts its text at the end"));
            }
            QVERIFY2(item->fontMetrics().horizontalAdvance(text) <= room,
                     qPrintable(QString("%1: \"%2\" in %3 px").arg(item->objectName(), text).arg(room)));
        }
    }

    // Tab goes as the window reads: the tool bar, the panels left to right, the card's row, then
    // the ways in that stand in the grid's place.
    void tabFollowsTheLayout()
    {
        m_window->resize(1600, 800);
        m_window->show();
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        const char* const layout[] = {"comboCameras", "pbCameraInfo", "checkBoxAllCameras", "comboModel",
            "pbGuide", "pbAbout", "pbBluetoothScan", "comboDevices", "pbBluetoothConnect", "pbHomeNetwork",
            "comboBoxVideo", "pbStart_Capture", "pbStop", "comboBoxLiveview_BitRate",
            "comboBoxLiveView_WindowSize", "pbStart_LiveView", "checkBox_3rdPreview", "pbStopLiveView",
            "checkBox_vc", "checkBox_qc", "checkBox_gps", "checkBox_clock", "comboBoxSettings_ISO",
            "comboBoxChangeTo", "horizontalSlider", "pbRefresh", "pbDownload", "pbDownloadMenu", "pbDelete",
            "pbFormat", "pbFirstBluetooth", "pbFirstHomeNetwork", "firstScreenGuide"};
        QStringList expected;
        for (const char* name : layout) {
            const QWidget* widget = child<QWidget>(name);
            if (widget->isVisible() && widget->isEnabled() && (widget->focusPolicy() & Qt::TabFocus))
                expected << name;
        }
        QVERIFY(expected.size() > 20);
        child<QWidget>(expected.first())->setFocus();
        QStringList walked{expected.first()};
        while (walked.size() < expected.size()) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            walked << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(walked, expected);
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
            {"pbFormat", "Format card…"}, {"pbGuide", "connection guide."},
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
