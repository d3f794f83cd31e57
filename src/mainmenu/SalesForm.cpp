#include "mainmenu/SalesForm.h"

#include "core/AppState.h"
#include "core/Services.h"
#include "mainmenu/RacePictures.h"
#include "shell/Controls.h"
#include "shell/Placement.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <cmath>
#include <numbers>

namespace {

constexpr int PictureWidth = 384;
constexpr int PictureHeight = 150;
constexpr int FrameMs = 40;

struct Cycle {
    int days;
    QColor colour;
    const char16_t* name;
};
const Cycle cycles[] = {
    {23, QColor(220, 40, 40), u"身体 23日"},
    {28, QColor(30, 130, 40), u"感情 28日"},
    {33, QColor(40, 70, 210), u"知性 33日"},
};

} // namespace

SalesPicture::SalesPicture(QWidget* parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("PictureSales"));
}

void SalesPicture::advance() {
    ++m_frame;
    update();
}

void SalesPicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), QColor(252, 250, 240));
    const double mid = height() / 2.0 - 8;
    const double amplitude = height() / 2.0 - 30;
    const double pixelsPerDay = 6.0;

    p.setPen(QPen(QColor(170, 170, 170), 1, Qt::DashLine));
    p.drawLine(QPointF(0, mid), QPointF(width(), mid));

    // The waves move one pixel a frame, so a day passes every six frames; they start some twenty
    // years after a birth so that the three are out of step, as in anyone's chart.
    const double shift = m_frame + 7305 * pixelsPerDay;
    for (const Cycle& cycle : cycles) {
        QPainterPath wave;
        for (int x = 0; x <= width(); x += 2) {
            const double day = (x + shift) / pixelsPerDay;
            const double y = mid - amplitude * std::sin(2 * std::numbers::pi * day / cycle.days);
            if (x == 0)
                wave.moveTo(x, y);
            else
                wave.lineTo(x, y);
        }
        p.setPen(QPen(cycle.colour, 2));
        p.setBrush(Qt::NoBrush);
        p.drawPath(wave);
    }

    // A rider crosses the picture along the bottom, four pixels a frame, and comes round again.
    const int span = width() + 32;
    const int riderX = (m_frame * 4) % span - 32;
    p.fillRect(QRectF(0, height() - 16, width(), 16), QColor(196, 180, 160));
    p.drawPixmap(riderX, height() - 40,
                 racepictures::riderPicture(m_frame / span % racepictures::RiderCount + 1, true));

    QFont font(gothicFace());
    font.setPixelSize(12);
    p.setFont(font);
    int x = 8;
    for (const Cycle& cycle : cycles) {
        p.setPen(cycle.colour);
        p.drawText(QPointF(x, 14), QString::fromUtf16(cycle.name));
        x += 78;
    }
}

SalesForm::SalesForm(AppContext& ctx, QWidget* parent)
    : FormWindow(ctx, WindowId::SalesForm, QStringLiteral("作者ソフト紹介"), parent) {
    setObjectName(QStringLiteral("SalesForm"));
    QMenu* menu = controls::addMenu(menuBar(), QStringLiteral("Menu_File"), QStringLiteral("ﾌｧｲﾙ(&F)"));
    controls::addAction(menu, this, QStringLiteral("Menu_Close"), QStringLiteral("閉じる(&X)"),
                        [this] { CommandClose_Click(); });
    QWidget* client = createClientArea(400, 330, QString());

    auto* title = new QLabel(QStringLiteral("コルヴァン Ver2.10"), client);
    title->setObjectName(QStringLiteral("LabelTitle"));
    setControlFont(ctx.state, title, gothicFace(), 16, true);
    title->setStyleSheet(QStringLiteral("color: #1c3f8c;"));
    placeControl(title, 384, 28, 8, 8);

    m_picture = new SalesPicture(client);
    placeControl(m_picture, PictureWidth, PictureHeight, 8, 40);

    auto* text = new QLabel(client);
    text->setObjectName(QStringLiteral("LabelText"));
    text->setWordWrap(true);
    setControlFont(ctx.state, text, proportionalGothicFace(), 9);
    text->setText(
        QStringLiteral("競輪ファンのためのバイオリズム・ソフトです。\n"
                       "レースの調査日に出走する選手（最大９人）の身体・感情・知性を計算して表にし、"
                       "グラフと注意メッセージで調子の波を見せます。\n"
                       "選手・競輪場の管理、レース履歴と着順の記録、個別調査と印刷もできます。"));
    placeControl(text, 384, 84, 8, 196);

    m_commandClose = new QPushButton(QStringLiteral("閉じる"), client);
    m_commandClose->setObjectName(QStringLiteral("CommandClose"));
    setControlFont(ctx.state, m_commandClose, proportionalGothicFace(), 9);
    placeControl(m_commandClose, 89, 33, 303, 288);
    connect(m_commandClose, &QPushButton::clicked, this, &SalesForm::CommandClose_Click);

    m_timer1.setObjectName(QStringLiteral("Timer1"));
    m_timer1.setInterval(FrameMs);
    connect(&m_timer1, &QTimer::timeout, this, &SalesForm::Timer1_Timer);
}

void SalesForm::CommandClose_Click() {
    close();
}

void SalesForm::Timer1_Timer() {
    m_picture->advance();
}

void SalesForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    m_timer1.start();
}

void SalesForm::hideEvent(QHideEvent* event) {
    m_timer1.stop();
    QMainWindow::hideEvent(event);
}

void SalesForm::Form_Unload() {
    m_timer1.stop();
}
