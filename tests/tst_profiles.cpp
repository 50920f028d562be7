// Consistency check of the shipped camera profiles (install/ref/hero*_cmds.json) against
// what the public camera API documents for each model. A typo in a setting id or option, a
// URL of the wrong family or port, or a label choice that makes the program send something
// unwanted on model change shows up here, without a camera.

#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>

namespace {

const QString kRefDir = QStringLiteral(VELKAMO_SOURCE_DIR "/install/ref");

const QStringList kShipped = {
    QStringLiteral("hero5"),  QStringLiteral("hero6"),  QStringLiteral("hero7"),
    QStringLiteral("hero8"),  QStringLiteral("hero9"),  QStringLiteral("hero10"),
    QStringLiteral("hero11"), QStringLiteral("hero12"), QStringLiteral("hero13")};

QSet<int> ids(std::initializer_list<int> list) { return QSet<int>(list); }

QSet<int> range(int from, int to, QSet<int> set = {})
{
    for (int i = from; i <= to; ++i)
        set.insert(i);
    return set;
}

// Setting ids the API documents per model.
QSet<int> documentedSettings(int model)
{
    switch (model) {
    case 5:
        return range(1, 8) + range(10, 17) + range(21, 48) + range(59, 62) + range(64, 71)
               + range(73, 78) + range(80, 89) + range(91, 99) + ids({19, 51, 52, 54, 57});
    case 6:
        return range(1, 6) + range(10, 17) + range(21, 32) + range(34, 48) + range(59, 62)
               + range(64, 71) + range(80, 89) + range(94, 104)
               + ids({8, 19, 51, 52, 54, 57, 73, 75, 76, 78, 91, 92});
    case 7:
        return range(1, 6) + range(10, 17) + range(21, 32) + range(34, 48) + range(59, 62)
               + range(64, 71) + range(80, 89) + range(94, 99) + range(102, 109)
               + ids({8, 19, 51, 54, 57, 73, 75, 76, 78, 91, 92, 111, 112});
    case 8:
        return ids({2, 3, 62, 64, 118, 121});
    default:
        break;
    }
    const QSet<int> common = ids({2, 3, 5, 30, 32, 43, 59, 88, 91, 121, 122, 123, 125, 128,
                                  134, 135, 156, 157, 167, 168});
    switch (model) {
    case 9: return common + ids({83, 162});
    case 10: return common + ids({83, 162, 173});
    case 11: return common + ids({83, 150, 151, 162}) + range(175, 180);
    case 12:
        return common + ids({108, 171, 172, 175, 176, 178, 179, 182, 183, 184, 186, 187})
               + range(189, 193);
    case 13:
        return common + ids({83, 108, 171, 172, 175, 176, 178, 179, 180, 182, 183, 184, 186, 187,
                             189, 191, 192, 193, 216, 219, 223, 227, 232, 233, 234});
    default: return {};
    }
}

// Documented options of the settings that matter most and differ most between models.
QSet<int> documentedOptions(int model, int setting)
{
    static const QSet<int> bitRates = ids({250000, 400000, 600000, 700000, 800000, 1000000,
                                           1200000, 1600000, 2000000, 2400000, 2500000, 4000000});
    static const QSet<int> ogpFps = ids({0, 1, 2, 5, 6, 8, 9, 10, 13});
    if (model <= 8 && setting == 62)
        return bitRates;
    if (model <= 8 && setting == 64)
        return range(0, 9);
    const QHash<int, QHash<int, QSet<int>>> table = {
        {5, {{2, ids({1, 4, 6, 7, 9, 10, 12, 17})}, {3, range(0, 12)},
             {4, range(0, 4)}, {17, ids({0, 8, 9, 10})}}},
        {6, {{2, ids({1, 4, 6, 7, 9, 12, 18})}, {3, range(0, 13)},
             {4, ids({0, 3, 4})}, {17, ids({0, 10})}}},
        {7, {{2, ids({1, 4, 6, 7, 9, 10, 12, 18})}, {3, range(0, 13)},
             {4, ids({0, 3, 4})}, {17, ids({0, 10})}, {111, ids({0, 1, 7, 8, 9})}}},
        {8, {{2, ids({1, 4, 6, 7, 9, 18})}, {3, ids({0, 1, 2, 5, 6, 8, 9, 10, 13})},
             {121, ids({0, 3, 4, 6})}, {118, range(0, 8)}}},
        {9, {{2, ids({1, 4, 6, 7, 9, 18, 24})}, {3, ogpFps},
             {121, ids({0, 2, 3, 4, 7, 8})}, {135, ids({0, 1, 2, 3})}}},
        {10, {{2, ids({1, 4, 6, 9, 18, 25, 100})}, {3, ogpFps},
              {121, ids({0, 2, 3, 4, 7, 8})}, {135, ids({0, 2, 3, 100})}}},
        {11, {{2, ids({1, 4, 6, 9, 18, 26, 27, 28, 100})}, {3, ogpFps},
              {121, ids({0, 3, 4, 7, 8, 9, 10})}, {135, ids({0, 1, 3, 4})}}},
        {12, {{2, ids({1, 4, 9, 18, 100, 107, 108, 109, 110, 111})}, {3, ogpFps},
              {121, ids({0, 3, 4, 7, 8, 9, 10, 11})}, {135, ids({0, 1, 4})}}},
        {13, {{2, ids({1, 4, 9, 12, 35, 36, 37, 38, 100}) + range(107, 113)},
              {3, ogpFps + ids({15, 16, 17})},
              {121, ids({0, 2, 3, 4, 8, 9, 10, 12, 13, 14, 104})}, {135, ids({0, 1, 4})}}},
    };
    return table.value(model).value(setting);
}

// Capture-mode and other non-setting commands the API documents, per family.
bool isDocumentedCommand(int model, const QString& url)
{
    static const QRegularExpression subMode(
        QStringLiteral("^http://10\\.5\\.5\\.9/gp/gpControl/command/sub_mode\\?mode=(\\d)&sub_mode=(\\d)$"));
    static const QRegularExpression gpControl(QStringLiteral(
        "^http://10\\.5\\.5\\.9/gp/gpControl/command/(set_mode\\?p=100[012]|system/locate\\?p=[01]"
        "|digital_zoom\\?range_pcnt=(\\d+))$"));
    static const QRegularExpression openGoPro(QStringLiteral(
        "^http://10\\.5\\.5\\.9:8080/gopro/camera/(presets/set_group\\?id=100[012]"
        "|digital_zoom\\?percent=(\\d+))$"));
    if (model >= 9) {
        const auto m = openGoPro.match(url);
        return m.hasMatch() && (m.captured(2).isEmpty() || m.captured(2).toInt() <= 100);
    }
    if (const auto m = subMode.match(url); m.hasMatch()) {
        const QString pair = m.captured(1) + m.captured(2);
        QStringList valid = {"00", "01", "03", "11", "12", "20", "21", "22"};
        if (model == 5)
            valid << "02";
        if (model >= 7)
            valid << "04";
        return valid.contains(pair);
    }
    const auto m = gpControl.match(url);
    if (!m.hasMatch())
        return false;
    if (url.contains(QLatin1String("set_mode")))
        return model == 8;
    if (url.contains(QLatin1String("digital_zoom")))
        return (model == 6 || model == 7) && m.captured(2).toInt() <= 100;
    return true;
}

// The commands a model change may send without asking: they leave the capture untouched.
bool isHarmless(const QString& url)
{
    static const QStringList harmless = {
        QStringLiteral("http://10.5.5.9/gp/gpControl/command/system/locate?p=0"),
        QStringLiteral("http://10.5.5.9/gp/gpControl/command/digital_zoom?range_pcnt=0"),
        QStringLiteral("http://10.5.5.9:8080/gopro/camera/digital_zoom?percent=0")};
    return harmless.contains(url);
}

bool isVideoMode(const QString& url)
{
    return url.endsWith(QLatin1String("sub_mode?mode=0&sub_mode=0"))
           || url.endsWith(QLatin1String("set_mode?p=1000"))
           || url.endsWith(QLatin1String("set_group?id=1000"));
}

bool isPhotoMode(const QString& url)
{
    return url.endsWith(QLatin1String("sub_mode?mode=1&sub_mode=1"))
           || url.endsWith(QLatin1String("set_mode?p=1001"))
           || url.endsWith(QLatin1String("set_group?id=1001"));
}

int modelNumber(const QString& name) { return name.mid(4).toInt(); }

} // namespace

class TestProfiles : public QObject
{
    Q_OBJECT

private:
    QJsonObject load(const QString& name, QByteArray* raw = nullptr)
    {
        QFile file(kRefDir + QLatin1Char('/') + name + QLatin1String("_cmds.json"));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        const QByteArray data = file.readAll();
        if (raw)
            *raw = data;
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(data, &error);
        if (error.error != QJsonParseError::NoError)
            qWarning() << name << "offset" << error.offset << error.errorString();
        return doc.isObject() ? doc.object() : QJsonObject();
    }

    // Checks one command URL. Returns its setting id, -1 for a command that is no setting,
    // or -2 with the reason in *error.
    static int checkCommand(int model, const QJsonValue& value, QString* error)
    {
        static const QRegularExpression gpSetting(
            QStringLiteral("^http://10\\.5\\.5\\.9/gp/gpControl/setting/(\\d+)/(\\d+)$"));
        static const QRegularExpression ogpSetting(QStringLiteral(
            "^http://10\\.5\\.5\\.9:8080/gopro/camera/setting\\?setting=(\\d+)&option=(\\d+)$"));
        if (!value.isString()) {
            *error = QStringLiteral("command is not a string");
            return -2;
        }
        const QString url = value.toString();
        const QUrl parsed(url, QUrl::StrictMode);
        if (!parsed.isValid() || parsed.host() != QLatin1String("10.5.5.9")
            || parsed.port(80) != (model >= 9 ? 8080 : 80)
            || !parsed.path().startsWith(model >= 9 ? QLatin1String("/gopro/")
                                                    : QLatin1String("/gp/gpControl/"))) {
            *error = QLatin1String("wrong family or port: ") + url;
            return -2;
        }
        const auto m = (model >= 9 ? ogpSetting : gpSetting).match(url);
        if (!m.hasMatch()) {
            if (isDocumentedCommand(model, url))
                return -1;
            *error = QLatin1String("undocumented command: ") + url;
            return -2;
        }
        const int setting = m.captured(1).toInt();
        const int option = m.captured(2).toInt();
        if (!documentedSettings(model).contains(setting)) {
            *error = QLatin1String("undocumented setting: ") + url;
            return -2;
        }
        const QSet<int> options = documentedOptions(model, setting);
        if (!options.isEmpty() && !options.contains(option)) {
            *error = QLatin1String("undocumented option: ") + url;
            return -2;
        }
        return setting;
    }

private slots:
    void allModelsShipped()
    {
        const QStringList files = QDir(kRefDir).entryList({QStringLiteral("hero*_cmds.json")},
                                                          QDir::Files);
        QStringList names;
        for (const QString& file : files)
            names << file.section(QLatin1Char('_'), 0, 0);
        names.sort();
        QStringList expected = kShipped;
        expected.sort();
        QCOMPARE(names, expected);
    }

    void defaultFileNamesShippedProfile()
    {
        QFile file(kRefDir + QLatin1String("/gopro_default.json"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QJsonDocument doc = QJsonDocument::fromJson(file.readAll());
        QVERIFY(doc.isObject());
        const QJsonValue version = doc.object().value(QLatin1String("Version"));
        QVERIFY(version.isString());
        QVERIFY2(kShipped.contains(version.toString()), qPrintable(version.toString()));
    }

    void profile_data()
    {
        QTest::addColumn<QString>("name");
        for (const QString& name : kShipped)
            QTest::newRow(qPrintable(name)) << name;
    }

    void profile()
    {
        QFETCH(QString, name);
        const int model = modelNumber(name);
        QByteArray raw;
        const QJsonObject root = load(name, &raw);
        QVERIFY2(!root.isEmpty(), "profile missing, unparsable or not an object");

        int commands = 0;

        // Capture modes: every entry must send, so no more than the four that do.
        const QJsonObject modes = root.value(QLatin1String("Mode")).toObject();
        QVERIFY(!modes.isEmpty());
        QVERIFY2(modes.size() <= 4, "modes past the fourth never send a command");
        QSet<QString> modeUrls;
        bool video = false;
        bool photo = false;
        for (auto it = modes.begin(); it != modes.end(); ++it) {
            QString error;
            QVERIFY2(checkCommand(model, it.value(), &error) == -1,
                     qPrintable(QLatin1String("Mode/") + it.key() + ": " + error));
            modeUrls.insert(it.value().toString());
            video = video || isVideoMode(it.value().toString());
            photo = photo || isPhotoMode(it.value().toString());
            ++commands;
        }
        QCOMPARE(modeUrls.size(), modes.size());
        QVERIFY2(video && photo, "the modes must include video and photo");

        // Setting types: each non-empty, one setting id per type, no repeated command.
        const QJsonObject dropdown = root.value(QLatin1String("dropdown")).toObject();
        QVERIFY(dropdown.size() >= 2);
        for (auto type = dropdown.begin(); type != dropdown.end(); ++type) {
            QVERIFY2(type.value().isObject(), qPrintable(type.key()));
            const QJsonObject options = type.value().toObject();
            QVERIFY2(!options.isEmpty(), qPrintable(type.key()));
            QSet<QString> urls;
            QSet<int> settings;
            for (auto opt = options.begin(); opt != options.end(); ++opt) {
                QString error;
                const int setting = checkCommand(model, opt.value(), &error);
                QVERIFY2(setting != -2, qPrintable(type.key() + '/' + opt.key() + ": " + error));
                settings.insert(setting);
                urls.insert(opt.value().toString());
                ++commands;
            }
            QVERIFY2(urls.size() == options.size(), qPrintable(type.key() + " repeats a command"));
            QVERIFY2(settings.size() == 1, qPrintable(type.key() + " mixes settings"));
        }

        // Applying a model sends the first option of the second setting type at once.
        const QStringList types = dropdown.keys();
        const QJsonObject second = dropdown.value(types.at(1)).toObject();
        const QString sentOnApply = second.begin().value().toString();
        QVERIFY2(isHarmless(sentOnApply), qPrintable(types.at(1) + ": " + sentOnApply));

        // Live stream tuning exists only in the older family.
        const QStringList streamMembers = {QStringLiteral("Live Stream BitRate"),
                                           QStringLiteral("Live Stream Window Size")};
        for (const QString& member : streamMembers) {
            if (model >= 9) {
                QVERIFY2(!root.contains(member), qPrintable(member));
                continue;
            }
            const QJsonObject options = root.value(member).toObject();
            QVERIFY2(!options.isEmpty(), qPrintable(member));
            const int wanted = member.endsWith(QLatin1String("BitRate")) ? 62 : 64;
            for (auto it = options.begin(); it != options.end(); ++it) {
                QString error;
                QVERIFY2(checkCommand(model, it.value(), &error) == wanted,
                         qPrintable(member + '/' + it.key() + ": " + error));
                ++commands;
            }
        }

        // A label written twice in one object silently drops a command when parsed.
        QVERIFY2(raw.count("\"http://") == commands, "a label appears twice in one object");
    }
};

VELKAMO_TEST_MAIN(TestProfiles)
#include "tst_profiles.moc"
