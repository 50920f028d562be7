#include "bleinterface.h"
#include "hardwareinfo.h"
#include "testsupport.h"

#include <QtTest>

using testsupport::hardwareInfoReply;

class TestHardwareInfo : public QObject
{
    Q_OBJECT

private slots:
    void feed_data();
    void feed();
    void slices_data();
    void slices();
};

void TestHardwareInfo::feed_data()
{
    // steps: one letter per packet: M model, P pending, I ignored, i ignored with the reply
    // still pending, A abandon() instead of feeding. Packets beyond the steps must be ignored.
    QTest::addColumn<QList<QByteArray>>("packets");
    QTest::addColumn<QString>("steps");
    QTest::addColumn<int>("number");
    const QList<QByteArray> hero12 = hardwareInfoReply(QByteArray::fromHex("0000003E"), "HERO12 Black");
    const QList<QByteArray> hero13 = hardwareInfoReply(QByteArray(9, '\1'), "HERO13 Black");
    QTest::newRow("name whole in the start packet") << hero12 << "M" << 12;
    QTest::newRow("blank in the next packet") << hardwareInfoReply(QByteArray(8, '\1'), "HERO12 Black") << "PM" << 12;
    QTest::newRow("number cut by the packet end") << hero13 << "PM" << 13;
    QTest::newRow("name without blank") << hardwareInfoReply(QByteArray::fromHex("00000015"), "HERO9") << "M" << 9;
    QTest::newRow("HERO only in the network name")
        << hardwareInfoReply(QByteArray::fromHex("00000041"), "Max 360", "HERO5 Black") << "" << 0;
    QTest::newRow("other reply in between, then a lost packet")
        << QList<QByteArray>{hero13.at(0), QByteArray::fromHex("021700"), hero13.at(2), hero13.at(3)}
        << "PiII" << 0;
    // When the rest never comes, the number cut short ("HERO1") is not taken.
    QTest::newRow("rest never comes") << QList<QByteArray>{hero13.at(0), {}, hero13.at(1)} << "PAI" << 0;

    const QByteArray head = QByteArray::fromHex("20113C00");
    const auto one = [](const QByteArray& packet) { return QList<QByteArray>{packet}; };
    QTest::newRow("text: HERO12 and a blank") << one(head + "..HERO12 Black") << "M" << 12;
    QTest::newRow("text: no blank until the end") << one(head + "HERO11") << "M" << 11;
    QTest::newRow("text: not a number") << one(head + "HEROic one") << "M" << 0;
    QTest::newRow("status not success") << one(QByteArray::fromHex("20113C01") + "HERO12 Black") << "" << 0;
    QTest::newRow("longer reply header") << one(QByteArray::fromHex("21113C00") + "HERO12 Black") << "" << 0;
    QTest::newRow("other command") << one(QByteArray::fromHex("20113B00") + "HERO12 Black") << "" << 0;
    QTest::newRow("lower-case hero") << one(head + "hero12 Black") << "" << 0;
    QTest::newRow("no HERO") << one(head + "Max 360") << "" << 0;
    QTest::newRow("short reply") << one(QByteArray::fromHex("021700")) << "" << 0;
    QTest::newRow("empty") << one(QByteArray()) << "" << 0;
}

void TestHardwareInfo::feed()
{
    QFETCH(QList<QByteArray>, packets);
    QFETCH(QString, steps);
    QFETCH(int, number);

    HardwareInfo info;
    for (int i = 0; i < packets.size(); ++i) {
        const QChar step = i < steps.size() ? steps.at(i) : QLatin1Char('I');
        if (step == QLatin1Char('A')) {
            info.abandon();
        } else {
            const HardwareInfo::Outcome outcome = info.feed(packets.at(i));
            const HardwareInfo::Outcome expected = step == QLatin1Char('M') ? HardwareInfo::Outcome::Model
                : step == QLatin1Char('P')                                  ? HardwareInfo::Outcome::Pending
                                                                            : HardwareInfo::Outcome::Ignored;
            QVERIFY2(outcome == expected, qPrintable(QStringLiteral("packet %1").arg(i)));
        }
        QCOMPARE(info.isPending(), step == QLatin1Char('P') || step == QLatin1Char('i'));
    }
    QCOMPARE(info.modelNumber(), number);
    if (steps.contains(QLatin1Char('M')))
        QCOMPARE(info.modelName(), QStringLiteral("hero%1").arg(number));
}

void TestHardwareInfo::slices_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<QList<int>>("sizes");
    QTest::newRow("empty") << 0 << QList<int>{};
    QTest::newRow("short command") << 2 << QList<int>{2};
    QTest::newRow("two full slices") << 40 << QList<int>{20, 20};
    QTest::newRow("rest in a third") << 45 << QList<int>{20, 20, 5};
}

void TestHardwareInfo::slices()
{
    QFETCH(int, length);
    QFETCH(QList<int>, sizes);
    QByteArray data;
    for (int i = 0; i < length; ++i)
        data.append(char(i));
    const QList<QByteArray> parts = BLEInterface::slices(data);
    QCOMPARE(parts.size(), sizes.size());
    for (int i = 0, at = 0; i < parts.size(); at += sizes.at(i), ++i)
        QCOMPARE(parts.at(i), data.mid(at, sizes.at(i)));
}

VELKAMO_TEST_MAIN(TestHardwareInfo)
#include "tst_hardwareinfo.moc"
