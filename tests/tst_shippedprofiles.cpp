// The shipped profiles against the rules, through the real window and a simulated camera of
// each model: every model shipped, entries in the file's order with none lost to a twin, no
// mode past the four that send, nothing sent on applying, every choice accepted.

#include "camsim.h"
#include "defaultmodelfile.h"
#include "mainwindow.h"
#include "promptrecorder.h"
#include "systemfilepath.h"
#include "testsupport.h"

#include <QComboBox>
#include <QLabel>
#include <functional>

namespace {

// Everything but polls, the media list and the clock, as "STATUS PORT TARGET".
QStringList commands(CamSim& sim)
{
    // Questions, which change nothing on the camera, and its clock, set whenever it comes online.
    static const QStringList notCommands = {"/gp/gpControl/status", "/gopro/camera/keep_alive",
                                            "/gopro/camera/state", "/gp/gpMediaList", "/gopro/media/list",
                                            "/gopro/camera/info", "/gp/gpControl/info",
                                            "/gp/gpControl/command/setup/date_time",
                                            "/gopro/camera/set_date_time", "/gopro/camera/get_date_time"};
    QStringList result;
    for (const QJsonValue& value : sim.requests()) {
        const QJsonObject entry = value.toObject();
        if (!notCommands.contains(entry["path"].toString()))
            result << QString("%1 %2 %3").arg(entry["status"].toInt()).arg(entry["port"].toInt())
                          .arg(entry["target"].toString());
    }
    return result;
}

} // namespace

class TestShippedProfiles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { testsupport::installFreshDataTree(); }

    // The model a fresh install starts with has a profile (each model's own is opened by its
    // row below).
    void startModelShipped()
    {
        const QDir ref = path::refDir();
        const QString start = DefaultModelFile(ref.filePath("gopro_default.json")).version();
        QVERIFY2(QFileInfo(ref.filePath(start + "_cmds.json")).isFile(), qPrintable(start));
    }

    void everyChoiceIsAccepted_data()
    {
        QTest::addColumn<int>("model");
        for (int model = 5; model <= 13; ++model)
            QTest::addRow("hero%d", model) << model;
    }
    void everyChoiceIsAccepted()
    {
        QFETCH(int, model);
        const QString name = QStringLiteral("hero%1").arg(model);
        testsupport::writeDefaultModel(name);
        QFile file(path::refDir().filePath(name + "_cmds.json"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray raw = file.readAll();

        CamSim sim;
        QVERIFY(sim.start({"--model", QString::number(model), "--ref", path::refDir().path()}));
        PromptRecorder prompts;
        MainWindow window;
        const auto box = [&window](const char* name) {
            return window.findChild<QComboBox*>(QLatin1String(name));
        };
        QCOMPARE(box("comboModel")->currentText(), name);
        QTRY_VERIFY_WITH_TIMEOUT(sim.countRequests("/gp/gpControl/status") > 0
                                     || sim.countRequests("/gopro/camera/keep_alive") > 0,
                                 8000);
        QTRY_VERIFY_WITH_TIMEOUT(!testsupport::showsFirstScreen(&window), 3000);

        // Applying the model (at start, and again on the camera's first answer) changes
        // nothing on the camera: the panels show their defaults without sending them.
        QTest::qWait(300);
        QVERIFY2(commands(sim).isEmpty(), qPrintable(commands(sim).join('\n')));
        sim.clearLog();

        QVERIFY2(box("comboBoxVideo")->count() <= 4, "modes past the fourth never send");
        if (model >= 9) // the newer cameras' stream is not tuned by these requests
            QCOMPARE(box("comboBoxLiveview_BitRate")->count()
                         + box("comboBoxLiveView_WindowSize")->count(), 0);
        int entries = 0;
        int sent = 0;
        // Each entry chosen once, walking backwards from the last; a setting type chosen
        // sends nothing.
        const auto walk = [&](QComboBox* selector, const std::function<void()>& then, qsizetype from) {
            // In the file's order: each label (a value, or a type's object) after the one before.
            qsizetype at = from;
            for (int i = 0; i < selector->count(); ++i) {
                const QString label = selector->itemText(i);
                at = raw.indexOf(QString("\"%1\": %2").arg(label, then ? "{" : "\"http").toUtf8(), at);
                QVERIFY2(at >= 0, qPrintable(label + " out of the file's order"));
            }
            entries += then ? 0 : selector->count();
            for (int i = selector->count() - 1; i >= 0; --i) {
                sent += !then;
                testsupport::choose(selector, i);
                if (then)
                    then();
            }
        };
        const auto objectOf = [&raw](const QString& member) { return raw.indexOf(("\"" + member + "\": {").toUtf8()); };
        walk(box("comboBoxVideo"), nullptr, objectOf("Mode"));
        walk(box("comboBoxLiveview_BitRate"), nullptr, objectOf("Live Stream BitRate"));
        walk(box("comboBoxLiveView_WindowSize"), nullptr, objectOf("Live Stream Window Size"));
        walk(box("comboBoxSettings_ISO"), [&] {
            walk(box("comboBoxChangeTo"), nullptr, objectOf(box("comboBoxSettings_ISO")->currentText()));
        }, objectOf("dropdown"));
        QVERIFY2(raw.count("\"http://") == entries, "a label appears twice in one object");

        QTRY_VERIFY_WITH_TIMEOUT(commands(sim).size() >= sent, 20000);
        // Accepted, and of the model's own request family.
        const QString family = model >= 9 ? "200 8080 /gopro/" : "200 80 /gp/gpControl/";
        QStringList refused = commands(sim);
        refused.removeIf([&](const QString& command) { return command.startsWith(family); });
        QVERIFY2(refused.isEmpty(), qPrintable(refused.join('\n')));
        QCOMPARE(prompts.count(), 0);
    }
};

VELKAMO_TEST_MAIN(TestShippedProfiles)
#include "tst_shippedprofiles.moc"
