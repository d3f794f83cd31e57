#include "biorhythm/BiorForm.h"

#include "biorhythm/ChartPictures.h"
#include "core/AppContext.h"
#include "core/AppState.h"
#include "core/Dialogs.h"
#include "core/Services.h"
#include "shell/Controls.h"
#include "shell/ErrorTrap.h"
#include "shell/Placement.h"

#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr double t(double twips) {
    return twips / 15.0;
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

void OverviewChart::clearGlyphs() {
    m_glyphs.clear();
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
    : FormWindow(ctx, WindowId::BiorForm, QStringLiteral("バイオリズム一覧"), parent) {
    setObjectName(QStringLiteral("BiorForm"));
    buildMenu();
    buildLayout();
    runTrapped(m_ctx.dialogs, [this] { Form_Load(); });
}

void BiorForm::buildMenu() {
    addMenuCommand(QStringLiteral("Menu_Close"), QStringLiteral("終了(&X)"), [this] { Menu_Close_Click(); });
    QMenu* detail =
        controls::addMenu(menuBar(), QStringLiteral("Menu_Meisai"), QStringLiteral("明細表示(&H)"));
    const QStringList captions = {
        QStringLiteral("上左(&Q)"), QStringLiteral("上中(&W)"), QStringLiteral("上右(&E)"), QString(),
        QStringLiteral("中左(&A)"), QStringLiteral("中中(&S)"), QStringLiteral("中右(&D)"), QString(),
        QStringLiteral("下左(&Z)"), QStringLiteral("下中(&X)"), QStringLiteral("下右(&C)")};
    for (int i = 0; i < captions.size(); ++i) {
        QAction* entry = captions[i].isEmpty() ? detail->addSeparator() : detail->addAction(captions[i]);
        entry->setObjectName(controls::indexedName(QStringLiteral("Menu_disp"), i));
        if (!entry->isSeparator())
            connect(entry, &QAction::triggered, this, [this, i] { Menu_disp_Click(i); });
    }
}

void BiorForm::buildLayout() {
    QWidget* client = createClientArea();
    const AppState& state = m_ctx.state;

    auto* background = new QLabel(client);
    background->setObjectName(QStringLiteral("PictureHaikei"));
    placeControl(background, 617, 425, 8, 0);
    background->setPixmap(chart::overviewBackground(QSize(617, 425)));

    for (int k = 0; k < ChartCount; ++k) {
        const int row = k / 3;
        const int column = k % 3;
        auto* name = new QLabel(client);
        name->setObjectName(controls::indexedName(QStringLiteral("LabelNamae"), k));
        setControlFont(state, name, gothicFace(), 9);
        placeControl(name, 75, 17, 12 + 200 * column, 5 + 136 * row);
        m_names[k] = name;

        auto* picture = new OverviewChart(client);
        picture->setObjectName(controls::indexedName(QStringLiteral("PictureBior"), k));
        placeControl(picture, 187, 113, 12 + 200 * column, 24 + 136 * row);
        connect(picture, &OverviewChart::clicked, this, [this, k] { PictureBior_Click(k); });
        m_charts[k] = picture;
    }

    const QStringList legend = {QStringLiteral("身体"), QStringLiteral("感情"), QStringLiteral("知性")};
    for (int i = 0; i < 3; ++i) {
        auto* box = new LegendBox(chart::Cycles[i], client);
        box->setObjectName(controls::indexedName(QStringLiteral("PictureBikou"), i));
        placeControl(box, 40, 18, 490 + 40 * i, 5);
        auto* label = new QLabel(legend[i], box);
        label->setObjectName(controls::indexedName(QStringLiteral("LabelBikou"), i));
        setControlFont(state, label, gothicFace(), 8);
        placeControl(label, 24, 16, 15, 1);
    }
}

void BiorForm::Form_Load() {
    const AppState& state = m_ctx.state;
    for (int k = 0; k < ChartCount; ++k) {
        const PersonSlot& person = state.selectedPersons[k];
        m_charts[k]->clearGlyphs();
        if (person.birthYear != 0) {
            for (int column = 0; column < chart::OverviewDays; ++column)
                m_charts[k]->addGlyphs(chart::overviewGlyphs(state.surveyDate, column, person));
        }
        m_names[k]->setText(person.name);
        m_charts[k]->setAxesDrawn(true);
    }
}

void BiorForm::SurveyDate_Change() {
    runTrapped(m_ctx.dialogs, [this] { Form_Load(); });
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
