#include "biorhythm/Bior2Form.h"

#include "biorhythm/ChartGeometry.h"
#include "biorhythm/ChartPictures.h"
#include "core/AppContext.h"
#include "core/AppState.h"
#include "core/Conversions.h"
#include "core/Errors.h"
#include "core/Services.h"
#include "records/Biorhythm.h"
#include "shell/Controls.h"
#include "shell/ErrorTrap.h"
#include "shell/Placement.h"

#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>

namespace {

const char* markerStem(int cycle) {
    return cycle == 23 ? "ImageBody" : cycle == 28 ? "ImageSoul" : "ImageIntel";
}

int pixel(double value) {
    return static_cast<int>(conv::roundHalfEven(value));
}

// A legend box: the cycle's marker, small, in the left 20 pixels.
class LegendBox : public QWidget {
public:
    LegendBox(int cycle, QWidget* parent)
        : QWidget(parent)
        , m_marker(chart::markerPicture(cycle)) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.fillRect(rect(), Qt::white);
        painter.setPen(QColor(128, 128, 128));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
        painter.drawPixmap(QRect(2, 3, 17, 20), m_marker);
    }

private:
    QPixmap m_marker;
};

} // namespace

void DetailChart::setGridLines(bool on) {
    m_grid = on;
    update();
}

void DetailChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(QRect(0, 0, 560, 346), Qt::white);
    if (m_grid) {
        painter.setPen(QPen(QColor(192, 192, 192), 1));
        for (int line = 1; line <= chart::DetailDays; ++line) {
            const double x = chart::gridLineX(line);
            painter.drawLine(QPointF(x, 20), QPointF(x, 326));
        }
    }
    painter.setPen(QPen(Qt::black, 1));
    painter.drawLine(0, 173, 560, 173);
    painter.drawLine(280, 0, 280, 346);
}

Bior2Form::Bior2Form(AppContext& ctx, QWidget* parent)
    : FormWindow(ctx, WindowId::Bior2Form, QStringLiteral("バイオリズム個別明細"), parent) {
    setObjectName(QStringLiteral("Bior2Form"));
    addMenuCommand(QStringLiteral("Menu_Close"), QStringLiteral("終了(&X)"), [this] { Menu_Close_Click(); });
    buildLayout();
    Set_Graph(0);
}

void Bior2Form::buildLayout() {
    // Two pixels wider than the other windows, as it has always been.
    QWidget* client = createClientArea(WorkWidth + 2, WorkHeight);
    const AppState& state = m_ctx.state;

    auto* frame = new QLabel(client);
    frame->setObjectName(QStringLiteral("PictureWaku"));
    placeControl(frame, 597, 417, 16, 0);
    frame->setPixmap(chart::detailFrame(QSize(597, 417)));

    m_chart = new DetailChart(frame);
    m_chart->setObjectName(QStringLiteral("PictureBior"));
    placeControl(m_chart, 560, 346, 16, 56);
    m_chart->setGridLines(state.gridLines != 0);

    m_name = new QLabel(frame);
    m_name->setObjectName(QStringLiteral("LabelNamae"));
    setControlFont(state, m_name, gothicFace(), 9);
    placeControl(m_name, 170, 25, 16, 8);

    m_date = new QLabel(frame);
    m_date->setObjectName(QStringLiteral("LabelChoHi"));
    setControlFont(state, m_date, gothicFace(), 9);
    placeControl(m_date, 65, 13, 266, 40);
    m_date->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);

    m_message = new QLabel(frame);
    m_message->setObjectName(QStringLiteral("LabelMSG"));
    setControlFont(state, m_message, gothicFace(), 9);
    placeControl(m_message, 245, 17, 16, 36);
    m_message->setStyleSheet(QStringLiteral("color: rgb(192, 0, 0);"));
    m_message->setVisible(false);

    const QStringList legend = {QStringLiteral("身体"), QStringLiteral("感情"), QStringLiteral("知性")};
    for (int i = 0; i < 3; ++i) {
        auto* box = new LegendBox(chart::Cycles[i], frame);
        box->setObjectName(controls::indexedName(QStringLiteral("PictureBikou"), i));
        placeControl(box, 67, 25, 371 + 69 * i, 8);
        auto* label = new QLabel(legend[i], box);
        label->setObjectName(controls::indexedName(QStringLiteral("LabelBikou"), i));
        setControlFont(state, label, proportionalGothicFace(), 9);
        placeControl(label, 49, 25, 20, 0);
        label->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    }

    const QStringList captions = {QStringLiteral("前月"), QStringLiteral("前日"), QStringLiteral("翌日"),
                                  QStringLiteral("翌月"), QStringLiteral("縦線"), QStringLiteral("MSG")};
    for (int i = 0; i < captions.size(); ++i) {
        auto* button = new QPushButton(captions[i], frame);
        button->setObjectName(controls::indexedName(QStringLiteral("CommandChoYMD"), i));
        if (i < 4)
            placeControl(state, button, 9, 40, 25, 200 + 40 * i, 8);
        else
            placeControl(state, button, 9, 40, 25, 528, i == 4 ? 64 : 89);
        button->raise();
        connect(button, &QPushButton::clicked, this, [this, i] { CommandChoYMD_Click(i); });
    }

    // The design-time templates: element 21 of each marker array, never shown.
    for (int cycle : chart::Cycles) {
        auto* model = new QLabel(m_chart);
        model->setObjectName(controls::indexedName(QString::fromLatin1(markerStem(cycle)), MarkerCount));
        model->setPixmap(chart::markerPicture(cycle));
        model->resize(chart::markerSize());
        model->setVisible(false);
        markersOf(cycle)[MarkerCount] = model;
    }
}

std::array<QLabel*, Bior2Form::MarkerCount + 1>& Bior2Form::markersOf(int cycle) {
    return cycle == 23 ? m_body : cycle == 28 ? m_soul : m_intel;
}

QLabel* Bior2Form::marker(int cycle, int index) const {
    const auto& markers = cycle == 23 ? m_body : cycle == 28 ? m_soul : m_intel;
    return markers.at(index);
}

void Bior2Form::Set_Graph([[maybe_unused]] qint16 flag) {
    runTrapped(m_ctx.dialogs, [this] { drawChart(); });
}

void Bior2Form::drawChart() {
    const AppState& state = m_ctx.state;
    if (state.chartSlot < 0 || state.chartSlot >= AppState::SlotCount)
        throw KorvaneError(9, programErrorSource(), QStringLiteral("インデックスが有効範囲にありません。"));
    const PersonSlot& person = state.selectedPersons[static_cast<std::size_t>(state.chartSlot)];
    m_chart->update();
    m_name->setText(person.name);
    m_date->setText(QString::number(state.surveyDate.year) + QLatin1Char('.') +
                    QString::number(state.surveyDate.month) + QLatin1Char('.') +
                    QString::number(state.surveyDate.day));

    if (person.birthYear == 0) {
        for (int cycle : chart::Cycles) {
            for (int i = 0; i < MarkerCount; ++i) {
                if (QLabel* m = markersOf(cycle)[i])
                    m->setVisible(false);
            }
        }
    } else {
        for (int i = 0; i < MarkerCount; ++i) {
            const chart::DayPhases phases =
                chart::phasesOn(state.surveyDate, i - chart::DetailCentre, person);
            for (std::size_t k = 0; k < chart::Cycles.size(); ++k) {
                const int cycle = chart::Cycles[k];
                auto& markers = markersOf(cycle);
                // Markers are made on the first drawing that reaches them.
                if (!markers[i]) {
                    QLabel* model = markers[MarkerCount];
                    markers[i] = new QLabel(m_chart);
                    markers[i]->setObjectName(
                        controls::indexedName(QString::fromLatin1(markerStem(cycle)), i));
                    markers[i]->resize(model->size());
                }
                const double top = chart::detailTop(chart::cycleSine(phases.phase[k], cycle));
                markers[i]->move(pixel(chart::detailLeft(i)), pixel(top));
                markers[i]->setPixmap(markers[MarkerCount]->pixmap());
                markers[i]->setVisible(true);
            }
            if (i == chart::DetailCentre)
                Set_LabelMsg(phases.phase[0], phases.phase[1], phases.phase[2]);
        }
    }

    m_chart->setGridLines(state.gridLines != 0);
    m_message->setVisible(state.messageShown != 0);
}

void Bior2Form::Set_LabelMsg(double physicalPhase, double emotionalPhase, double intellectualPhase) {
    m_message->setText(bio::CautionMessage(bio::MessageLevel(physicalPhase, bio::Physical),
                                           bio::MessageLevel(emotionalPhase, bio::Emotional),
                                           bio::MessageLevel(intellectualPhase, bio::Intellectual)));
}

void Bior2Form::CommandChoYMD_Click(int index) {
    runTrapped(m_ctx.dialogs, [this, index] {
        AppState& state = m_ctx.state;
        switch (index) {
        case 0:
            state.surveyDate = chart::previousMonth(state.surveyDate);
            Set_Graph(1);
            m_ctx.navigator.surveyDateChanged(WindowId::Bior2Form);
            break;
        case 1:
            state.surveyDate = chart::previousDay(state.surveyDate);
            Set_Graph(1);
            m_ctx.navigator.surveyDateChanged(WindowId::Bior2Form);
            break;
        case 2:
            state.surveyDate = chart::nextDay(state.surveyDate);
            Set_Graph(1);
            m_ctx.navigator.surveyDateChanged(WindowId::Bior2Form);
            break;
        case 3:
            state.surveyDate = chart::nextMonth(state.surveyDate);
            Set_Graph(1);
            m_ctx.navigator.surveyDateChanged(WindowId::Bior2Form);
            break;
        case 4:
            state.gridLines = state.gridLines == 0 ? -1 : 0;
            Set_Graph(state.gridLines != 0 ? 2 : 1);
            break;
        case 5:
            state.messageShown = state.messageShown == 0 ? -1 : 0;
            m_message->setVisible(state.messageShown != 0);
            break;
        default:
            break;
        }
    });
}

void Bior2Form::Menu_Close_Click() {
    close();
}
