// The dark style as drawn: real controls under the shipped style sheet, enabled, focused and
// disabled, their pixels held to the contrast rule (text 4.5:1, outlines and the focus ring
// 3:1) and to looking disabled when they are.

#include "testsupport.h"
#include "theme.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QStyleOptionButton>
#include <QVBoxLayout>

#include <algorithm>
#include <map>

namespace {

// The colour most pixels of image have.
QColor mostCommon(const QImage& image)
{
    std::map<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ++counts[image.pixel(x, y)];
    return QColor(std::max_element(counts.begin(), counts.end(),
                                   [](const auto& a, const auto& b) { return a.second < b.second; })->first);
}

// The strongest contrast any pixel of image has against background.
double strongest(const QImage& image, const QColor& background)
{
    double best = 1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            best = std::max(best, Theme::contrast(image.pixel(x, y), background));
    return best;
}

} // namespace

class TestStyle : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        testsupport::installFreshDataTree();
        QFile qss(testsupport::appRoot() + "/qss/common.qss");
        QVERIFY(qss.open(QIODevice::ReadOnly));
        qApp->setStyleSheet(QString::fromLatin1(qss.readAll()));
    }

    void contrastRatio_data()
    {
        QTest::addColumn<QColor>("a");
        QTest::addColumn<QColor>("b");
        QTest::addColumn<double>("ratio");
        QTest::newRow("black on white") << QColor(Qt::black) << QColor(Qt::white) << 21.0;
        QTest::newRow("same colour") << QColor("#3a4154") << QColor("#3a4154") << 1.0;
        QTest::newRow("order does not matter") << QColor(Qt::white) << QColor(Qt::black) << 21.0;
        // Just under the 4.5 line: the classic grey on white.
        QTest::newRow("#777 on white") << QColor("#777777") << QColor(Qt::white) << 4.48;
        QTest::newRow("pure blue on white") << QColor(Qt::blue) << QColor(Qt::white) << 8.59;
    }
    void contrastRatio()
    {
        QFETCH(QColor, a);
        QFETCH(QColor, b);
        QFETCH(double, ratio);
        QVERIFY2(std::abs(Theme::contrast(a, b) - ratio) < 0.01, qPrintable(QString::number(Theme::contrast(a, b))));
    }

    // Each control on a panel, as the window's are: its text readable, its outline seen, its
    // focus ring seen against both its unfocused look and the panel, and dimmed when disabled.
    void controlsReadAndShowTheirState_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("hasText");
        for (const char* kind : {"button", "check box", "list", "combo box", "line edit"})
            QTest::newRow(kind) << QString(kind) << true;
        // As in the window's panels: the text is a label beside it.
        QTest::newRow("check box alone") << QString("check box alone") << false;
        QTest::newRow("slider") << QString("slider") << false;
    }
    void controlsReadAndShowTheirState()
    {
        QFETCH(QString, kind);
        QFETCH(bool, hasText);
        QGroupBox panel;
        auto* layout = new QVBoxLayout(&panel);
        auto* elsewhere = new QPushButton("elsewhere", &panel);
        layout->addWidget(elsewhere);
        QWidget* control = nullptr;
        if (kind == "button") {
            control = new QPushButton("Download", &panel);
        } else if (kind.startsWith("check box")) {
            control = new QCheckBox(kind == "check box" ? "GPS Tag" : "", &panel);
        } else if (kind == "list") {
            auto* list = new QListWidget(&panel);
            list->addItems({"HERO12 Black", "HERO11 Black"});
            list->setFixedHeight(60);
            control = list;
        } else if (kind == "combo box") {
            auto* box = new QComboBox(&panel);
            box->addItems({"1080p", "4K"});
            control = box;
        } else if (kind == "line edit") {
            control = new QLineEdit("GP24645504", &panel);
        } else {
            control = new QSlider(Qt::Horizontal, &panel);
            static_cast<QSlider*>(control)->setValue(50);
        }
        layout->addWidget(control, 0, Qt::AlignLeft);
        panel.resize(260, 200);
        panel.show();
        panel.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&panel));

        // Where its outline (and its ring, a pixel further in) runs: the box itself, or the
        // check box's indicator.
        QRect frame = control->rect();
        if (auto* box = qobject_cast<QCheckBox*>(control)) {
            QStyleOptionButton option;
            option.initFrom(box);
            frame = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
        }
        const QPoint outline(frame.left(), frame.center().y());
        const QPoint ring = outline + QPoint(1, 0);
        // Drawn on the panel, as in the window: what the control leaves clear shows the panel.
        const auto look = [&] { return panel.grab(control->geometry()).toImage().convertToFormat(QImage::Format_RGB32); };
        const QColor surface = panel.grab().toImage().pixel(control->geometry().left() - 3, control->geometry().center().y());

        elsewhere->setFocus();
        const QImage plain = look();
        // The text inside the box, or beside the check box's indicator on the panel.
        const QImage inside = qobject_cast<QCheckBox*>(control) ? plain : plain.copy(frame.adjusted(3, 3, -3, -3));
        const QColor fill = mostCommon(inside);
        if (hasText)
            QVERIFY2(strongest(inside, fill) >= Theme::kTextContrast,
                     qPrintable(QString("text %1:1 on %2").arg(strongest(inside, fill)).arg(fill.name())));
        else
            QVERIFY2(strongest(plain, surface) >= Theme::kOutlineContrast, "barely seen");
        if (kind != "slider")
            QVERIFY2(Theme::contrast(plain.pixel(outline), surface) >= Theme::kOutlineContrast,
                     qPrintable(QString("outline %1 on %2").arg(QColor(plain.pixel(outline)).name(), surface.name())));

        control->setFocus();
        QVERIFY(control->hasFocus());
        const QImage focused = look();
        const QColor ringColour = focused.pixel(ring);
        QVERIFY2(Theme::contrast(ringColour, plain.pixel(ring)) >= Theme::kOutlineContrast
                     && Theme::contrast(ringColour, surface) >= Theme::kOutlineContrast,
                 qPrintable(QString("ring %1 where %2 was, on %3")
                                .arg(ringColour.name(), QColor(plain.pixel(ring)).name(), surface.name())));

        control->setEnabled(false);
        const QImage disabled = look();
        // Dimmed: what stood out most stands out clearly less.
        const double before = strongest(plain, surface);
        const double after = strongest(disabled, surface);
        QVERIFY2(after < before * 0.7, qPrintable(QString("%1:1 enabled, %2:1 disabled").arg(before).arg(after)));
    }
};

VELKAMO_TEST_MAIN(TestStyle)
#include "tst_style.moc"
