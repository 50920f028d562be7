#include "firstscreen.h"

#include "cameraroster.h"
#include "theme.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace {

QLabel* wrapped(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

} // namespace

FirstScreen::FirstScreen(CameraRoster* roster, QWidget* grid, QWidget* parent)
    : QScrollArea(parent)
    , m_roster(roster)
    , m_grid(grid)
{
    setObjectName(QStringLiteral("firstScreen"));
    // Scrolls rather than grows: the window must fit a small screen at any scaling.
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    // Its buttons and link take the focus, not the page.
    setFocusPolicy(Qt::NoFocus);
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("firstScreenPage"));
    auto* layout = new QGridLayout(page);
    layout->setColumnStretch(0, 1);
    layout->setHorizontalSpacing(18);
    layout->setVerticalSpacing(12);

    // Marked up: the style sheet sets every label's font, over any font set here.
    auto* title = new QLabel(QStringLiteral("<big><b>%1</b></big>").arg(tr("No camera answers yet").toHtmlEscaped()), page);
    title->setObjectName(QStringLiteral("firstScreenTitle"));
    layout->addWidget(title, 0, 0, 1, 2);
    layout->addWidget(wrapped(tr("Connect one of these ways; its files show here once it answers."), page), 1, 0, 1, 2);

    auto* bluetooth = new QPushButton(tr("Bluetooth set-up…"), page);
    bluetooth->setObjectName(QStringLiteral("pbFirstBluetooth"));
    bluetooth->setToolTip(tr("Find cameras over Bluetooth; then choose one in the tool bar and press Connect."));
    connect(bluetooth, &QPushButton::clicked, this, &FirstScreen::bluetoothAsked);
    m_homeNetwork = new QPushButton(tr("Home network set-up…"), page);
    m_homeNetwork->setObjectName(QStringLiteral("pbFirstHomeNetwork"));
    connect(m_homeNetwork, &QPushButton::clicked, this, &FirstScreen::homeNetworkAsked);
    setHomeNetworkUsable(false);
    const struct {
        QString way;
        QString how;
        QPushButton* button;
    } ways[] = {
        {tr("The camera's Wi-Fi"),
         tr("Switch on the camera's wireless connections and join its network (named like "
            "GP24645504) in this computer's network settings. Or let Bluetooth set-up read its "
            "name and password from the camera and join it for you."),
         bluetooth},
        {tr("A USB cable"),
         tr("Plug the camera in, switched on: Velkamo finds it by itself within seconds. HERO8 "
            "and HERO9 first need USB Connection set to GoPro Connect on the camera."),
         nullptr},
        {tr("Your home network"),
         tr("A HERO12 or later once put on your home network is found there by itself. To put "
            "one there, connect it over Bluetooth first."),
         m_homeNetwork},
    };
    int row = 2;
    for (const auto& [way, how, button] : ways) {
        auto* heading = new QLabel(QStringLiteral("<b>%1</b>").arg(way.toHtmlEscaped()), page);
        layout->addWidget(heading, row++, 0, 1, 2);
        layout->addWidget(wrapped(how, page), row, 0);
        if (button)
            layout->addWidget(button, row, 1, Qt::AlignTop);
        ++row;
    }
    auto* guide = new QLabel(page);
    guide->setObjectName(QStringLiteral("firstScreenGuide"));
    guide->setText(Theme::link(QStringLiteral("guide"), tr("Connection guide")) + QLatin1Char(' ')
                   + tr("(F1): every way, step by step."));
    guide->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    connect(guide, &QLabel::linkActivated, this, &FirstScreen::guideAsked);
    layout->addWidget(guide, row++, 0, 1, 2);
    layout->setRowStretch(row, 1);
    setWidget(page);
    // The window's own dark ground shows through, not the palette's light one.
    page->setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);

    connect(roster, &CameraRoster::answering, this, &FirstScreen::follow);
    connect(roster, &CameraRoster::listChanged, this, &FirstScreen::follow);
    follow();
}

void FirstScreen::setHomeNetworkUsable(bool usable)
{
    m_homeNetwork->setEnabled(usable);
    m_homeNetwork->setToolTip(usable ? tr("Put the camera connected over Bluetooth on your home network.")
                                     : tr("Connect a HERO12 or later over Bluetooth first."));
}

void FirstScreen::follow()
{
    const QList<Camera*>& cameras = m_roster->cameras();
    const bool anyAnswers = std::any_of(cameras.begin(), cameras.end(), [](const Camera* camera) { return camera->isOnline(); });
    m_grid->setVisible(anyAnswers);
    setVisible(!anyAnswers);
}
