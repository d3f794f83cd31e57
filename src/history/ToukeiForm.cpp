#include "history/ToukeiForm.h"

#include "biorhythm/ChartPictures.h"
#include "core/AppContext.h"
#include "core/AppState.h"
#include "core/Dialogs.h"
#include "history/ToukeiFormLayout.h"
#include "shell/ErrorTrap.h"
#include "shell/Placement.h"

#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateEdit>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLegend>
#include <QLineSeries>
#include <QPushButton>
#include <QSaveFile>
#include <QTableWidget>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <map>

namespace {

const QString ImageTitle = QStringLiteral("画像保存");
const QString CsvTitle = QStringLiteral("CSV出力");

int dateKey(QDate date) {
    return date.year() * 10000 + date.month() * 100 + date.day();
}

QDate keyDate(int key) {
    return QDate(key / 10000, key / 100 % 100, key % 100);
}

// Writes the whole file or leaves whatever was there untouched.
QString saveWhole(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return file.errorString();
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

} // namespace

ToukeiForm::ToukeiForm(AppContext& ctx, QWidget* parent)
    : FormWindow(ctx, WindowId::ToukeiForm, QStringLiteral("バイオリズム統計"), parent) {
    setObjectName(QStringLiteral("ToukeiForm"));
    m_choosePath = [this](const QString& title, const QString& suggested, const QString& filter) {
        return QFileDialog::getSaveFileName(this, title, suggested, filter);
    };
    buildMenu();
    buildLayout();
    Form_Load();
}

ToukeiForm::~ToukeiForm() = default;

void ToukeiForm::buildMenu() {
    addMenuCommand(QStringLiteral("Menu_Close"), QStringLiteral("終了(&X)"), [this] { Menu_Close_Click(); });
    addHelpMenu();
}

void ToukeiForm::buildLayout() {
    const AppState& state = m_ctx.state;
    QWidget* client = createClientArea();
    controls::Table table(state, client, toukeiform::filterLayout());
    m_comboBasho = table.get<QComboBox>(QStringLiteral("ComboBasho"));
    connect(m_comboBasho, &QComboBox::currentIndexChanged, this, [this](int) { ComboBasho_Click(); });

    const auto dateEdit = [&](const QString& name, const QRect& where) {
        auto* edit = new QDateEdit(client);
        edit->setObjectName(name);
        edit->setDisplayFormat(QStringLiteral("yyyy.MM.dd"));
        edit->setCalendarPopup(true);
        setControlFont(state, edit, proportionalGothicFace(), 9);
        placeControl(edit, where.width(), where.height(), where.left(), where.top());
        return edit;
    };
    m_dateKaishi = dateEdit(QStringLiteral("DateKaishi"), toukeiform::DateKaishi);
    m_dateShuryo = dateEdit(QStringLiteral("DateShuryo"), toukeiform::DateShuryo);
    connect(m_dateKaishi, &QDateEdit::dateChanged, this, [this](QDate) { DateKaishi_Change(); });
    connect(m_dateShuryo, &QDateEdit::dateChanged, this, [this](QDate) { DateShuryo_Change(); });

    m_grid = new QTableWidget(history::PositionCount + 3, 5, client);
    m_grid->setObjectName(QStringLiteral("GridToukei"));
    setControlFont(state, m_grid, gothicFace(), 9);
    placeControl(m_grid, toukeiform::GridToukei.width(), toukeiform::GridToukei.height(),
                 toukeiform::GridToukei.left(), toukeiform::GridToukei.top());
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setMinimumSectionSize(16);
    m_grid->verticalHeader()->setDefaultSectionSize(21);
    m_grid->horizontalHeader()->setFixedHeight(22);
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    const int widths[] = {122, 40, 45, 45, 46};
    for (int column = 0; column < 5; ++column)
        m_grid->setColumnWidth(column, widths[column]);

    buildChart();
    table.add(toukeiform::bottomLayout());
    m_summary = table.get<QLabel>(QStringLiteral("LabelSetsumei"));
    m_summary->setWordWrap(true);
    m_summary->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    connect(table.get<QPushButton>(QStringLiteral("CommandGazou")), &QPushButton::clicked, this,
            [this] { CommandGazou_Click(); });
    connect(table.get<QPushButton>(QStringLiteral("CommandCsv")), &QPushButton::clicked, this,
            [this] { CommandCsv_Click(); });
}

void ToukeiForm::buildChart() {
    m_chart = new QChart();
    m_chartView = new QChartView(m_chart, centralWidget());
    m_chartView->setObjectName(QStringLiteral("ChartToukei"));
    m_chartView->setRenderHint(QPainter::Antialiasing);
    m_chartView->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    placeControl(m_chartView, toukeiform::ChartToukei.width(), toukeiform::ChartToukei.height(),
                 toukeiform::ChartToukei.left(), toukeiform::ChartToukei.top());
    // The chart's texts take the view's font, scaled as every control's font is.
    setControlFont(m_ctx.state, m_chartView, proportionalGothicFace(), 8);
    const QFont small = m_chartView->font();

    m_chart->setMargins(QMargins(2, 2, 2, 2));
    m_chart->setBackgroundRoundness(0);
    m_chart->legend()->setAlignment(Qt::AlignBottom);
    m_chart->legend()->setFont(small);

    m_axisX = new QValueAxis(m_chart);
    m_axisX->setRange(1, history::PositionCount);
    m_axisX->setTickCount(history::PositionCount);
    m_axisX->setLabelFormat(QStringLiteral("%d"));
    m_axisX->setTitleText(QStringLiteral("着順"));
    m_axisY = new QValueAxis(m_chart);
    m_axisY->setLabelFormat(QStringLiteral("%.1f"));
    m_axisY->setTitleText(QStringLiteral("平均評価値"));
    for (QValueAxis* axis : {m_axisX, m_axisY}) {
        axis->setLabelsFont(small);
        axis->setTitleFont(small);
        m_chart->addAxis(axis, axis == m_axisX ? Qt::AlignBottom : Qt::AlignLeft);
    }

    // The cycles keep the colours the chart windows give them.
    const QString names[history::CycleCount] = {QStringLiteral("身体"), QStringLiteral("感情"),
                                                QStringLiteral("知性")};
    const QColor colours[history::CycleCount] = {chart::physicalColor(), chart::emotionalColor(),
                                                 chart::cubeFaceColor()};
    for (int k = 0; k < history::CycleCount; ++k) {
        auto* series = new QLineSeries(m_chart);
        series->setName(names[k]);
        series->setPen(QPen(colours[k], 2));
        series->setPointsVisible(true);
        m_chart->addSeries(series);
        series->attachAxis(m_axisX);
        series->attachAxis(m_axisY);
        m_series[k] = series;
    }
}

void ToukeiForm::Form_Load() {
    runTrapped(m_ctx.dialogs, [this] { m_races = history::loadCountedRaces(m_ctx.state.databasePath()); });
    fillFilters();
    showFigures();
}

void ToukeiForm::fillFilters() {
    m_filling = true;
    std::map<qint16, QString> venues;
    int first = 0;
    int last = 0;
    for (const history::CountedRace& race : m_races) {
        QString& name = venues[race.venueId];
        if (name.isEmpty())
            name = race.venueName.trimmed();
        if (!keyDate(race.surveyKey).isValid())
            continue;
        first = first == 0 ? race.surveyKey : std::min(first, race.surveyKey);
        last = std::max(last, race.surveyKey);
    }
    m_comboBasho->clear();
    m_comboBasho->addItem(QStringLiteral("全競輪場"));
    for (const auto& [id, name] : venues)
        m_comboBasho->addItem(name.isEmpty() ? QStringLiteral("競輪場ID %1").arg(id) : name, QVariant(id));
    m_comboBasho->setCurrentIndex(0);
    const QDate today = m_ctx.clock.today();
    m_dateKaishi->setDate(first == 0 ? today : keyDate(first));
    m_dateShuryo->setDate(last == 0 ? today : keyDate(last));
    m_filling = false;
}

void ToukeiForm::showFigures() {
    history::StatisticsFilter filter;
    const QVariant venue = m_comboBasho->currentData();
    if (venue.isValid())
        filter.venueId = static_cast<qint16>(venue.toInt());
    filter.fromKey = dateKey(m_dateKaishi->date());
    filter.toKey = dateKey(m_dateShuryo->date());
    m_figures = history::computeFigures(m_races, filter);

    const QList<QStringList> table = history::figureTable(m_figures);
    m_grid->setHorizontalHeaderLabels(table.first());
    for (int row = 1; row < table.size(); ++row) {
        for (int column = 0; column < table[row].size(); ++column) {
            auto* item = new QTableWidgetItem(table[row][column]);
            item->setTextAlignment(column == 0 ? Qt::AlignLeft | Qt::AlignVCenter
                                               : Qt::AlignRight | Qt::AlignVCenter);
            m_grid->setItem(row - 1, column, item);
        }
    }
    m_summary->setText(history::summaryLine(m_figures));
    showChart();
}

void ToukeiForm::showChart() {
    double largest = 0;
    for (int k = 0; k < history::CycleCount; ++k) {
        QList<QPointF> points;
        for (int p = 0; p < history::PositionCount; ++p) {
            if (m_figures.positionCount[p] == 0)
                continue;
            const double mean = m_figures.positionMean[k][p];
            points.append(QPointF(p + 1, mean));
            largest = std::max(largest, std::abs(mean));
        }
        m_series[k]->replace(points);
    }
    // Symmetric about 0, so that a cycle above or below the middle shows at a glance.
    const double bound = std::max(1.0, std::ceil(largest));
    m_axisY->setRange(-bound, bound);
    m_axisY->setTickCount(5);
}

void ToukeiForm::ComboBasho_Click() {
    if (!m_filling)
        showFigures();
}

void ToukeiForm::DateKaishi_Change() {
    if (!m_filling)
        showFigures();
}

void ToukeiForm::DateShuryo_Change() {
    if (!m_filling)
        showFigures();
}

QString ToukeiForm::chooseSavePath(const QString& title, const QString& fileName, const QString& filter) {
    return m_choosePath(title, m_ctx.state.appPath + fileName, filter);
}

void ToukeiForm::CommandGazou_Click() {
    runTrapped(m_ctx.dialogs, [this] {
        const QString path = chooseSavePath(ImageTitle, QStringLiteral("バイオリズム統計.png"),
                                            QStringLiteral("PNG 画像 (*.png)"));
        if (path.isEmpty())
            return;
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        const QString failure = m_chartView->grab().save(&buffer, "PNG")
                                    ? saveWhole(path, bytes)
                                    : QStringLiteral("PNG 画像を作れませんでした。");
        if (!failure.isEmpty())
            m_ctx.dialogs.critical(
                QStringLiteral("画像をファイル %1 に保存できませんでした。\r\n%2").arg(path, failure),
                ImageTitle);
    });
}

void ToukeiForm::CommandCsv_Click() {
    runTrapped(m_ctx.dialogs, [this] {
        const QString path = chooseSavePath(CsvTitle, QStringLiteral("バイオリズム統計.csv"),
                                            QStringLiteral("CSV ファイル (*.csv)"));
        if (path.isEmpty())
            return;
        const QString failure = saveWhole(path, history::tableCsv(history::figureTable(m_figures)));
        if (!failure.isEmpty())
            m_ctx.dialogs.critical(
                QStringLiteral("表をファイル %1 に保存できませんでした。\r\n%2").arg(path, failure),
                CsvTitle);
    });
}

void ToukeiForm::Menu_Close_Click() {
    close();
}
