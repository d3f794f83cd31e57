#include "BiorForm.h"

#include "AppContext.h"
#include "AppState.h"
#include "ChartPictures.h"
#include "Dialogs.h"
#include "ErrorTrap.h"
#include "Placement.h"
#include "Services.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr double t(double twips) {
    return twips / 15.0;
}

QString controlName(const char* name, int index) {
    return QString::fromLatin1(name) + QLatin1Char('(') + QString::number(index) + QLatin1Char(')');
}

// A legend box: the cycle's glyph with its name beside it.
class LegendBox : public QWidget {
public:
    LegendBox(int cycle, QWidget* parent)
        : QWidget(parent)
        , m_cycle(cycle) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        painter.setPen(QColor(128, 128, 128));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
        chart::drawGlyph(painter, m_cycle, QPointF(3, 3));
    }

private:
    int m_cycle;
};

} // namespace

OverviewChart::OverviewChart(QWidget* parent)
    : QWidget(parent) {
    setCursor(Qt::PointingHandCursor);
}

void OverviewChart::addGlyphs(const std::array<chart::Glyph, 3>& glyphs) {
    for (const chart::Glyph& glyph : glyphs)
        m_glyphs.append(glyph);
    update();
}

void OverviewChart::setAxesDrawn(bool drawn) {
    m_axes = drawn;
    update();
}

void OverviewChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    for (const chart::Glyph& glyph : m_glyphs)
        chart::drawGlyph(painter, glyph.cycle, glyph.topLeft);
    if (m_axes) {
        painter.setPen(QPen(Qt::black, 1));
        painter.drawLine(QPointF(0, t(850)), QPointF(t(2800), t(850)));
        painter.drawLine(QPointF(t(1400), 0), QPointF(t(1400), t(1700)));
    }
    painter.setPen(QColor(128, 128, 128));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void OverviewChart::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

BiorForm::BiorForm(AppContext& ctx, QWidget* parent)
    : QMainWindow(parent)
    , m_ctx(ctx) {
    setWindowTitle(QStringLiteral("バイオリズム一覧"));
    setObjectName(QStringLiteral("BiorForm"));
    buildMenu();
    buildLayout();
    sizeAndCentre(this, 632, 434);
    runTrapped(m_ctx.dialogs, [this] { drawCharts(); });
}

void BiorForm::buildMenu() {
    QAction* close = menuBar()->addAction(QStringLiteral("終了(&X)"));
    close->setObjectName(QStringLiteral("Menu_Close"));
    connect(close, &QAction::triggered, this, [this] { Menu_Close_Click(); });

    QMenu* detail = menuBar()->addMenu(QStringLiteral("明細表示(&H)"));
    detail->setObjectName(QStringLiteral("Menu_Meisai"));
    const QStringList captions = {
        QStringLiteral("上左(&Q)"), QStringLiteral("上中(&W)"), QStringLiteral("上右(&E)"), QString(),
        QStringLiteral("中左(&A)"), QStringLiteral("中中(&S)"), QStringLiteral("中右(&D)"), QString(),
        QStringLiteral("下左(&Z)"), QStringLiteral("下中(&X)"), QStringLiteral("下右(&C)")};
    for (int i = 0; i < captions.size(); ++i) {
        QAction* entry = captions[i].isEmpty() ? detail->addSeparator() : detail->addAction(captions[i]);
        entry->setObjectName(controlName("Menu_disp", i));
        if (!entry->isSeparator())
            connect(entry, &QAction::triggered, this, [this, i] { Menu_disp_Click(i); });
    }
}

void BiorForm::buildLayout() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);
    const AppState& state = m_ctx.state;

    auto* background = new QLabel(client);
    background->setObjectName(QStringLiteral("PictureHaikei"));
    placeControl(background, 617, 425, 8, 0);
    background->setPixmap(chart::overviewBackground(QSize(617, 425)));

    for (int k = 0; k < ChartCount; ++k) {
        const int row = k / 3;
        const int column = k % 3;
        auto* name = new QLabel(client);
        name->setObjectName(controlName("LabelNamae", k));
        setControlFont(state, name, gothicFace(), 9);
        placeControl(name, 75, 17, 12 + 200 * column, 5 + 136 * row);
        m_names[k] = name;

        auto* picture = new OverviewChart(client);
        picture->setObjectName(controlName("PictureBior", k));
        placeControl(picture, 187, 113, 12 + 200 * column, 24 + 136 * row);
        connect(picture, &OverviewChart::clicked, this, [this, k] { PictureBior_Click(k); });
        m_charts[k] = picture;
    }

    const QStringList legend = {QStringLiteral("身体"), QStringLiteral("感情"), QStringLiteral("知性")};
    for (int i = 0; i < 3; ++i) {
        auto* box = new LegendBox(chart::Cycles[i], client);
        box->setObjectName(controlName("PictureBikou", i));
        placeControl(box, 40, 18, 490 + 40 * i, 5);
        auto* label = new QLabel(legend[i], box);
        label->setObjectName(controlName("LabelBikou", i));
        setControlFont(state, label, gothicFace(), 8);
        placeControl(label, 24, 16, 15, 1);
    }
}

void BiorForm::drawCharts() {
    const AppState& state = m_ctx.state;
    for (int k = 0; k < ChartCount; ++k) {
        const PersonSlot& person = state.selectedPersons[k];
        if (person.birthYear != 0) {
            for (int column = 0; column < chart::OverviewDays; ++column)
                m_charts[k]->addGlyphs(chart::overviewGlyphs(state.surveyDate, column, person));
        }
        m_names[k]->setText(person.name);
        m_charts[k]->setAxesDrawn(true);
    }
}

int BiorForm::slotOfMenuEntry(int index) {
    if (index < 0 || index > 10 || index == 3 || index == 7)
        return -1;
    return index < 3 ? index : index < 7 ? index - 1 : index - 2;
}

void BiorForm::openDetail(int slot) {
    m_ctx.state.chartSlot = static_cast<qint16>(slot);
    m_ctx.navigator.open(WindowId::Bior2Form);
}

void BiorForm::Menu_disp_Click(int index) {
    const int slot = slotOfMenuEntry(index);
    if (slot >= 0)
        openDetail(slot);
}

void BiorForm::PictureBior_Click(int slot) {
    openDetail(slot);
}

void BiorForm::Menu_Close_Click() {
    close();
}

void BiorForm::closeEvent(QCloseEvent* event) {
    event->accept();
    m_ctx.navigator.closed(WindowId::BiorForm);
}
