// Every shipped model profile, driven through the real window against a simulated camera of
// that model: each capture mode and each option the selectors offer must be a request the
// camera accepts.

#include "camsim.h"
#include "mainwindow.h"
#include "promptrecorder.h"
#include "systemfilepath.h"
#include "testsupport.h"

#include <QComboBox>
#include <QLabel>
#include <memory>

class TestShippedProfiles : public QObject
{
    Q_OBJECT

private:
    template<typename T>
    static T* child(QWidget* window, const char* name)
    {
        T* widget = window->findChild<T*>(QLatin1String(name));
        if (!widget)
            qFatal("no widget %s", name);
        return widget;
    }

private slots:
    void initTestCase()
    {
        testsupport::installFreshDataTree();
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
        const QDir ref = path::refDir();
        testsupport::writeDefaultModel(QStringLiteral("hero%1").arg(model));

        CamSim sim;
        QVERIFY(sim.start({"--model", QString::number(model), "--ref", ref.path()}));
        PromptRecorder prompts;
        MainWindow window;
        QCOMPARE(child<QComboBox>(&window, "comboModel")->currentText(),
                 QStringLiteral("hero%1").arg(model));

        // Online once the first poll was answered.
        QTRY_VERIFY_WITH_TIMEOUT(sim.countRequests("/gp/gpControl/status") > 0
                                     || sim.countRequests("/gopro/camera/keep_alive") > 0,
                                 8000);
        QTRY_VERIFY_WITH_TIMEOUT(child<QLabel>(&window, "label_fileName")->text().isEmpty(), 3000);
        sim.clearLog();

        int sent = 0;
        auto* modes = child<QComboBox>(&window, "comboBoxVideo");
        QVERIFY(modes->count() >= 1);
        // Choosing the current entry sends nothing, so walk backwards to index 0.
        for (int i = qMin(modes->count(), 4) - 1; i >= 0; --i) {
            if (modes->currentIndex() != i) {
                modes->setCurrentIndex(i);
                ++sent;
            }
        }
        auto* types = child<QComboBox>(&window, "comboBoxSettings_ISO");
        auto* options = child<QComboBox>(&window, "comboBoxChangeTo");
        QVERIFY(types->count() >= 2);
        for (int t = 0; t < types->count(); ++t) {
            if (types->currentIndex() != t) {
                types->setCurrentIndex(t); // sends the first option at once
                ++sent;
            }
            for (int o = 1; o < options->count(); ++o) {
                options->setCurrentIndex(o);
                ++sent;
            }
        }
        for (const char* name : {"comboBoxLiveview_BitRate", "comboBoxLiveView_WindowSize"}) {
            auto* box = child<QComboBox>(&window, name);
            for (int i = box->count() - 1; i >= 0; --i) {
                if (box->currentIndex() != i) {
                    box->setCurrentIndex(i);
                    ++sent;
                }
            }
        }

        const auto isCommand = [](const QJsonObject& entry) {
            const QString path = entry["path"].toString();
            return path != "/gp/gpControl/status" && path != "/gopro/camera/keep_alive"
                && path != "/gopro/camera/state" && path != "/gp/gpMediaList";
        };
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                int commands = 0;
                for (const QJsonValue& value : sim.requests())
                    commands += isCommand(value.toObject()) ? 1 : 0;
                return commands >= sent;
            }(),
            20000);
        QStringList refused;
        for (const QJsonValue& value : sim.requests()) {
            const QJsonObject entry = value.toObject();
            if (isCommand(entry) && entry["status"].toInt() != 200)
                refused << QString("%1 %2").arg(entry["status"].toInt()).arg(entry["target"].toString());
        }
        QVERIFY2(refused.isEmpty(), qPrintable(refused.join('\n')));
        QCOMPARE(prompts.count(), 0);
    }
};

VELKAMO_TEST_MAIN(TestShippedProfiles)
#include "tst_shippedprofiles.moc"
