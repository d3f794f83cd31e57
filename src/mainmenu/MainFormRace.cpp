// The main menu's decorative race: six riders, six laps, random speeds and lanes.
#include "core/AppState.h"
#include "core/Conversions.h"
#include "core/Services.h"
#include "mainmenu/MainForm.h"
#include "mainmenu/RacePictures.h"
#include "shell/Placement.h"

#include <QLabel>
#include <QPaintEvent>
#include <QPalette>
#include <QPushButton>
#include <algorithm>
#include <cmath>

namespace {

struct AngleWindow {
    int low;
    int high;
    bool contains(int a) const { return low <= a && a <= high; }
};

bool inAny(const auto& windows, int a) {
    return std::any_of(std::begin(windows), std::end(windows),
                       [a](const AngleWindow& w) { return w.contains(a); });
}

// Where a rider leaves the left end for the bottom straight: a new lane on the outer half.
constexpr AngleWindow leftEndWindows[] = {{-370, -350},   {-730, -710},   {-1090, -1070},
                                          {-1450, -1430}, {-1810, -1790}, {-2170, -2150}};
// Where a rider leaves the right end for the back straight: a new lane, turned to the left.
constexpr AngleWindow rightEndWindows[] = {{-190, -170},   {-550, -530},   {-910, -890},
                                           {-1270, -1250}, {-1630, -1610}, {-1990, -1970}};
// Rider 1's angle moves the lap counter from state i to i + 1 inside window i.
constexpr AngleWindow lapWindows[] = {{-119, -91},    {-469, -451},   {-829, -811},
                                      {-1189, -1171}, {-1549, -1531}, {-1909, -1891}};
constexpr AngleWindow standingsWindows[] = {{-189, -171},   {-369, -351},   {-549, -531},
                                            {-729, -711},   {-909, -891},   {-1089, -1071},
                                            {-1449, -1251}, {-1809, -1611}, {-2169, -1971}};
constexpr AngleWindow startWindow{-110, -90};
constexpr AngleWindow startBanner{-269, -91};
constexpr AngleWindow last2Banner{-1709, -1531};
constexpr AngleWindow last1Banner{-2069, -1891};
constexpr int FinishAngle = -2250;

} // namespace

void MainForm::buildRace() {
    const AppState& state = m_ctx.state;
    m_pictureRace = new QLabel(centralWidget());
    m_pictureRace->setObjectName(QStringLiteral("PictureRace"));
    placeControl(m_pictureRace, 417, 363, 8, 56);
    // The ground colour stands until the track is drawn.
    m_pictureRace->setAutoFillBackground(true);
    QPalette ground = m_pictureRace->palette();
    ground.setColor(QPalette::Window, racepictures::groundColour());
    m_pictureRace->setPalette(ground);

    for (int i = 0; i < RiderCount * 2; ++i) {
        auto* image = new QLabel(m_pictureRace);
        image->setObjectName(QStringLiteral("ImageSenshu(%1)").arg(i));
        placeControl(image, 32, 32, 352, 24 * i);
        image->setVisible(false);
        m_imageSenshu.at(std::size_t(i)) = image;
    }
    for (int i = 0; i < RiderCount; ++i) {
        auto* rider = new QLabel(m_pictureRace);
        rider->setObjectName(QStringLiteral("Senshu(%1)").arg(i));
        rider->setAttribute(Qt::WA_TranslucentBackground);
        m_pose.at(std::size_t(i)) = i + RiderCount;
        placeControl(rider, 32, 32, 176, 192 + 16 * i);
        m_senshu.at(std::size_t(i)) = rider;
    }

    m_labelJyuni = new QLabel(m_pictureRace);
    m_labelJyuni->setObjectName(QStringLiteral("LabelJyuni"));
    setControlFont(state, m_labelJyuni, gothicFace(), 20, true);
    placeControl(m_labelJyuni, 153, 33, 128, 136);
    m_labelJyuni->setAlignment(Qt::AlignCenter);
    m_labelJyuni->setStyleSheet(
        QStringLiteral("color: #ffe34d; background: rgb(20, 40, 90); border: 2px solid #ffe34d;"));
    m_labelJyuni->setVisible(false);

    auto rowLabel = [this, &state](const QString& name, const QString& caption, int width, int left,
                                   bool boxed) {
        auto* label = new QLabel(caption, m_pictureRace);
        label->setObjectName(name);
        setControlFont(state, label, gothicFace(), 12);
        placeControl(label, width, 25, left, 320);
        label->setAlignment(Qt::AlignCenter);
        label->setStyleSheet(boxed
                                 ? QStringLiteral("background: white; color: black; border: 1px solid #555;")
                                 : QStringLiteral("color: white;"));
        return label;
    };
    m_labelSyukaiMei = rowLabel(QStringLiteral("LabelSyukaiMei"), QStringLiteral("周回"), 41, 136, false);
    m_labelSyukai = rowLabel(QStringLiteral("LabelSyukai"), QStringLiteral("0"), 25, 176, true);
    m_labelResultMei = rowLabel(QStringLiteral("LabelResultMei"), QStringLiteral("順位"), 41, 216, false);
    m_labelResult = rowLabel(QStringLiteral("LabelResult"), QString(), 65, 256, true);

    m_commandStart = new QPushButton(QStringLiteral("Start"), m_pictureRace);
    m_commandStart->setObjectName(QStringLiteral("CommandStart"));
    setControlFont(state, m_commandStart, proportionalGothicFace(), 10);
    placeControl(m_commandStart, 65, 25, 336, 320);
    connect(m_commandStart, &QPushButton::clicked, this, &MainForm::CommandStart_Click);

    m_timer1.setObjectName(QStringLiteral("Timer1"));
    connect(&m_timer1, &QTimer::timeout, this, &MainForm::Timer1_Timer);
}

// Antialiased pictures take a while to draw: the menu shows first and they follow.
void MainForm::paintEvent(QPaintEvent* event) {
    FormWindow::paintEvent(event);
    if (!m_picturesReady && !m_picturesQueued) {
        m_picturesQueued = true;
        QTimer::singleShot(0, this, &MainForm::preparePictures);
    }
}

void MainForm::preparePictures() {
    if (m_picturesReady)
        return;
    m_picturesReady = true;
    m_pictureRace->setPixmap(racepictures::trackPicture(QSize(417, 363)));
    for (int i = 0; i < RiderCount * 2; ++i)
        m_imageSenshu.at(std::size_t(i))
            ->setPixmap(racepictures::riderPicture(i % RiderCount + 1, i >= RiderCount));
    for (int i = 0; i < RiderCount; ++i)
        m_senshu.at(std::size_t(i))
            ->setPixmap(m_imageSenshu.at(std::size_t(m_pose.at(std::size_t(i))))->pixmap());
}

void MainForm::setTimerInterval(int milliseconds) {
    // An interval of 0 stops the timer; a new interval starts counting afresh.
    if (milliseconds == 0) {
        m_timer1.stop();
        return;
    }
    if (!m_timer1.isActive() || m_timer1.interval() != milliseconds)
        m_timer1.start(milliseconds);
}

void MainForm::showRider(int index, int left, int top) {
    preparePictures();
    QLabel* rider = m_senshu.at(std::size_t(index));
    rider->setPixmap(m_imageSenshu.at(std::size_t(m_pose.at(std::size_t(index))))->pixmap());
    placeControl(rider, 32, 32, left, top);
    rider->setVisible(true);
}

// "Start" (again at any time) puts every rider back on the line and starts the 200 ms ticks.
void MainForm::CommandStart_Click() {
    for (int i = 0; i < RiderCount; ++i) {
        const auto k = std::size_t(i);
        m_pose.at(k) = i + RiderCount;
        showRider(i, 176, 192 + 16 * i);
        m_angle.at(k) = -90;
        m_lane.at(k) = 0;
        m_finished.at(k) = 0;
    }
    m_lapState = 0;
    m_finishOrder.clear();
    m_labelResult->clear();
    setTimerInterval(200);
}

// One tick. Random numbers are drawn from ctx.random in this order: for each rider 1..6, one for its
// advance (not once it is past the finish), one for a new lane when it enters an end window, and one
// for the jitter of its height; nothing else draws.
void MainForm::Timer1_Timer() {
    for (int i = 0; i < RiderCount; ++i) {
        const auto k = std::size_t(i);
        if (m_angle.at(k) < FinishAngle)
            m_angle.at(k) = qint16(m_angle.at(k) - 10);
        else
            m_angle.at(k) = qint16(m_angle.at(k) - (int(std::floor(m_ctx.random.next() * 15)) + 5));
        const int a = m_angle.at(k);

        if (startWindow.contains(a)) {
            m_pose.at(k) = i + RiderCount;
            m_lane.at(k) = conv::toInt16(i * 60.0 / 6.0 + 60.0);
        } else if (inAny(leftEndWindows, a)) {
            m_pose.at(k) = i + RiderCount;
            m_lane.at(k) = qint16(int(std::floor(m_ctx.random.next() * 60 + 1)) + 60);
        } else if (inAny(rightEndWindows, a)) {
            m_pose.at(k) = i;
            m_lane.at(k) = qint16(int(std::floor(m_ctx.random.next() * 60 + 1)) + 70);
        }

        const double t = a * 3.141592 / 180.0;
        const int left = conv::toInt16(193.0 - std::cos(t) * 175.0);
        const int top =
            conv::toInt16(std::floor(m_ctx.random.next() * 10) + 136.0 - m_lane.at(k) * std::sin(t));
        showRider(i, left, top);
    }

    const int a = m_angle.at(0);
    for (int state = 0; state < int(std::size(lapWindows)); ++state) {
        if (m_lapState == state && lapWindows[state].contains(a)) {
            m_lapState = qint16(state + 1);
            break;
        }
    }

    if (startBanner.contains(a)) {
        m_labelJyuni->setText(QStringLiteral("Start !"));
        m_labelJyuni->setVisible(true);
    } else if (last2Banner.contains(a)) {
        m_labelJyuni->setText(QStringLiteral("Last 2 !"));
        m_labelJyuni->setVisible(true);
        setTimerInterval(100);
    } else if (last1Banner.contains(a)) {
        m_labelJyuni->setText(QStringLiteral("Last 1 !"));
        m_labelJyuni->setVisible(true);
        setTimerInterval(50);
    } else {
        m_labelJyuni->setVisible(false);
    }

    if (inAny(standingsWindows, a))
        refreshStandings();

    for (int i = 0; i < RiderCount; ++i) {
        const auto k = std::size_t(i);
        if (m_angle.at(k) < FinishAngle && m_finished.at(k) == 0) {
            m_finished.at(k) = 1;
            m_finishOrder += QString::number(i + 1);
        }
    }
    if (m_finishOrder.size() >= 2) {
        refreshStandings();
        setTimerInterval(0);
        const QString standings = m_labelResult->text();
        m_labelJyuni->setVisible(true);
        m_labelJyuni->setText(QStringLiteral("Goal ! ") + standings.at(0) + QLatin1Char('-') +
                              standings.at(1));
    }

    m_labelSyukai->setText(QString::number(m_lapState));
}

// Riders by how far they have come (smallest angle first), by the exchange sort the race has always
// used, written as their numbers one after another.
void MainForm::refreshStandings() {
    struct Entry {
        int rider;
        qint16 angle;
    };
    std::array<Entry, RiderCount> table{};
    for (int i = 0; i < RiderCount; ++i)
        table.at(std::size_t(i)) = {i + 1, m_angle.at(std::size_t(i))};
    for (std::size_t j = 0; j + 1 < table.size(); ++j) {
        for (std::size_t k = j + 1; k < table.size(); ++k) {
            if (table.at(k).angle < table.at(j).angle)
                std::swap(table.at(k), table.at(j));
        }
    }
    QString text;
    for (const Entry& entry : table)
        text += QString::number(entry.rider);
    m_labelResult->setText(text);
}
