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
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPushButton>
#include <QSaveFile>
#include <QScatterSeries>
#include <QStandardPaths>
#include <QTableWidget>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <map>

namespace {

QColor cycleColour(int cycle) {
    const QColor colours[history::CycleCount] = {chart::physicalColor(), chart::emotionalColor(),
                                                 chart::cubeFaceColor()};
    return colours[cycle];
}

// Where a cycle's points stand beside the position.
double dodged(int cycle, int position) {
    return position + 1 + (cycle - 1) * 0.2;
}

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

// Where the save dialogs open: the folder of the last export in this run, or the user's documents.
QString& exportFolder() {
    static QString folder;
    return folder;
}

QString startFolder() {
    if (!exportFolder().isEmpty())
        return exportFolder();
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir(documents).exists() ? documents : QDir::homePath();
}

// Figures behind fewer starters than this vary too much to read: their cells are greyed.
const QColor ThinText(150, 150, 150);

// Fills a table from its texts: the first textColumns columns are words, the others figures.
void fillGrid(QTableWidget* grid, const QList<QStringList>& table, int textColumns,
              const std::function<bool(int, int)>& thin) {
    grid->setHorizontalHeaderLabels(table.first());
    for (int row = 1; row < table.size(); ++row) {
        for (int column = 0; column < table[row].size(); ++column) {
            auto* item = new QTableWidgetItem(table[row][column]);
            item->setTextAlignment(column < textColumns ? Qt::AlignLeft | Qt::AlignVCenter
                                                        : Qt::AlignRight | Qt::AlignVCenter);
            if (thin(row - 1, column))
                item->setForeground(ThinText);
            grid->setItem(row - 1, column, item);
        }
    }
}

QTableWidget* makeGrid(const AppState& state, QWidget* parent, const QString& name, int rows,
                       const std::vector<int>& widths, const QRect& where) {
    auto* grid = new QTableWidget(rows, static_cast<int>(widths.size()), parent);
    grid->setObjectName(name);
    setControlFont(state, grid, gothicFace(), 9);
    placeControl(grid, where.width(), where.height(), where.left(), where.top());
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setMinimumSectionSize(16);
    grid->verticalHeader()->setDefaultSectionSize(21);
    grid->horizontalHeader()->setFixedHeight(22);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    for (size_t column = 0; column < widths.size(); ++column)
        grid->setColumnWidth(static_cast<int>(column), widths[column]);
    return grid;
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
    QWidget* client = createClientArea(toukeiform::Client.width(), toukeiform::Client.height());
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

    m_grid = makeGrid(state, client, QStringLiteral("GridToukei"), history::PositionCount,
                      {40, 44, 80, 80, 80}, toukeiform::GridToukei);
    buildChart();
    m_tests = makeGrid(state, client, QStringLiteral("GridKentei"), 3 * history::CycleCount,
                       {40, 68, 52, 130, 130, 130, 60, 64, 60}, toukeiform::GridKentei);
    // A cycle's name, p-values and correlation stand once for its three rows.
    for (int k = 0; k < history::CycleCount; ++k)
        for (int column : {0, 6, 7, 8})
            m_tests->setSpan(3 * k, column, 3, 1);

    table.add(toukeiform::bottomLayout());
    m_note = table.get<QLabel>(QStringLiteral("LabelChuui"));
    m_summary = table.get<QLabel>(QStringLiteral("LabelSetsumei"));
    for (QLabel* label : {m_note, m_summary}) {
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    m_commandGazou = table.get<QPushButton>(QStringLiteral("CommandGazou"));
    m_commandCsv = table.get<QPushButton>(QStringLiteral("CommandCsv"));
    connect(m_commandGazou, &QPushButton::clicked, this, [this] { CommandGazou_Click(); });
    connect(m_commandCsv, &QPushButton::clicked, this, [this] { CommandCsv_Click(); });
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

    // Positions on whole numbers, the three cycles set a little apart so that their bars do not hide
    // each other.
    m_axisX = new QValueAxis(m_chart);
    m_axisX->setRange(0.5, history::PositionCount + 0.5);
    m_axisX->setTickType(QValueAxis::TicksDynamic);
    m_axisX->setTickAnchor(1);
    m_axisX->setTickInterval(1);
    m_axisX->setLabelFormat(QStringLiteral("%.0f"));
    m_axisX->setTitleText(QStringLiteral("着順"));
    // Each cycle's value divided by its amplitude runs from -1 to 1: a fixed scale on which noise
    // looks as small as it is.
    m_axisY = new QValueAxis(m_chart);
    m_axisY->setRange(-1, 1);
    m_axisY->setTickCount(5);
    m_axisY->setLabelFormat(QStringLiteral("%.1f"));
    m_axisY->setTitleText(QStringLiteral("平均評価値÷振幅（95%区間）"));
    for (QValueAxis* axis : {m_axisX, m_axisY}) {
        axis->setLabelsFont(small);
        axis->setTitleFont(small);
        m_chart->addAxis(axis, axis == m_axisX ? Qt::AlignBottom : Qt::AlignLeft);
    }

    // The cycles keep the colours the chart windows give them.
    for (int k = 0; k < history::CycleCount; ++k) {
        auto* points = new QScatterSeries(m_chart);
        points->setName(history::cycleName(k));
        points->setPen(QPen(cycleColour(k), 1));
        points->setBrush(cycleColour(k));
        points->setMarkerSize(7);
        m_chart->addSeries(points);
        points->attachAxis(m_axisX);
        points->attachAxis(m_axisY);
        m_points[k] = points;
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

history::StatisticsFilter ToukeiForm::currentFilter() const {
    history::StatisticsFilter filter;
    const QVariant venue = m_comboBasho->currentData();
    if (venue.isValid())
        filter.venueId = static_cast<qint16>(venue.toInt());
    filter.fromKey = dateKey(m_dateKaishi->date());
    filter.toKey = dateKey(m_dateShuryo->date());
    return filter;
}

void ToukeiForm::showFigures() {
    const history::StatisticsFilter filter = currentFilter();
    // A range that ends before it starts holds no races: say so rather than show empty figures.
    const bool inverted = filter.fromKey > filter.toKey;
    m_figures = inverted ? history::Figures{} : history::computeFigures(m_races, filter);
    showTables(inverted);
    m_summary->setText(inverted ? QStringLiteral("調査日の範囲が逆です。開始日を終了日より前にしてください。")
                                : history::summaryLine(m_figures));
    m_commandGazou->setEnabled(!inverted);
    m_commandCsv->setEnabled(!inverted);
    showChart();
}

void ToukeiForm::showTables(bool inverted) {
    const history::Figures& f = m_figures;
    const QList<QStringList> means = history::figureTable(f);
    const QList<QStringList> tests = history::testTable(f);
    fillGrid(m_grid, inverted ? QList<QStringList>{means.first()} : means, 1,
             [&](int row, int column) { return column >= 2 && f.positionCount[row] < history::ThinCell; });
    fillGrid(m_tests, inverted ? QList<QStringList>{tests.first()} : tests, 2, [&](int row, int column) {
        const history::CycleFigures& cycle = f.cycles[row / 3];
        if (column < 3 || column > 5)
            return false;
        const int group = row % 3 == 1 ? cycle.other[0].total : cycle.caution[0].total;
        return group < history::ThinCell;
    });
    if (inverted) {
        m_grid->clearContents();
        m_tests->clearContents();
    }
    QString note = QStringLiteral("±は95%区間の半分の幅です。灰色の欄は %1 人未満で、ぶれの大きい値です。")
                       .arg(history::ThinCell);
    if (f.unborn > 0)
        note += QStringLiteral("生年月日がレースの日より後の選手 %1 人は数えていません。").arg(f.unborn);
    m_note->setText(note);
}

void ToukeiForm::showChart() {
    for (QLineSeries* line : m_lines) {
        m_chart->removeSeries(line);
        delete line;
    }
    m_lines.clear();
    const auto addLine = [this](int k, const QList<QPointF>& points, qreal width) {
        auto* line = new QLineSeries(m_chart);
        line->setPen(QPen(cycleColour(k), width));
        line->append(points);
        m_chart->addSeries(line);
        line->attachAxis(m_axisX);
        line->attachAxis(m_axisY);
        for (QLegendMarker* marker : m_chart->legend()->markers(line))
            marker->setVisible(false);
        m_lines.push_back(line);
    };
    for (int k = 0; k < history::CycleCount; ++k) {
        const double amplitude = history::cycleAmplitude(k);
        QList<QPointF> points;
        QList<QPointF> run;
        for (int p = 0; p <= history::PositionCount; ++p) {
            // A position nobody finished in breaks the line.
            if (p == history::PositionCount || m_figures.positionCount[p] == 0) {
                if (run.size() > 1)
                    addLine(k, run, 1.5);
                run.clear();
                continue;
            }
            const double x = dodged(k, p);
            const double mean = m_figures.positionMean[k][p] / amplitude;
            points.append(QPointF(x, mean));
            run.append(QPointF(x, mean));
            const double margin = m_figures.positionMargin[k][p] / amplitude;
            if (margin <= 0)
                continue;
            // A capped bar from the interval's low end to its high end, kept on the axis.
            const double low = std::max(-1.0, mean - margin);
            const double high = std::min(1.0, mean + margin);
            const double cap = 0.06;
            addLine(k,
                    {QPointF(x - cap, high), QPointF(x + cap, high), QPointF(x, high), QPointF(x, low),
                     QPointF(x - cap, low), QPointF(x + cap, low)},
                    1);
        }
        m_points[k]->replace(points);
    }
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

QString ToukeiForm::chooseSavePath(const QString& title, const QString& fileName, const QString& filter,
                                   const QString& suffix) {
    QString path = m_choosePath(title, QDir(startFolder()).filePath(fileName), filter);
    if (path.isEmpty())
        return {};
    // "pic.jpg" would get PNG bytes under a JPEG name: the file's kind goes on its end.
    if (QFileInfo(path).suffix().compare(suffix, Qt::CaseInsensitive) != 0)
        path += QLatin1Char('.') + suffix;
    exportFolder() = QFileInfo(path).absolutePath();
    return path;
}

void ToukeiForm::CommandGazou_Click() {
    runTrapped(m_ctx.dialogs, [this] {
        const QString path = chooseSavePath(ImageTitle, QStringLiteral("バイオリズム統計.png"),
                                            QStringLiteral("PNG 画像 (*.png)"), QStringLiteral("png"));
        if (path.isEmpty())
            return;
        // The whole window: filters, tables, chart and summary belong together.
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        const QString failure = centralWidget()->grab().save(&buffer, "PNG")
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
                                            QStringLiteral("CSV ファイル (*.csv)"), QStringLiteral("csv"));
        if (path.isEmpty())
            return;
        const QString filterText = history::describeFilter(m_races, currentFilter());
        const QString failure =
            saveWhole(path, history::tableCsv(history::reportTable(m_figures, filterText)));
        if (!failure.isEmpty())
            m_ctx.dialogs.critical(
                QStringLiteral("表をファイル %1 に保存できませんでした。\r\n%2").arg(path, failure),
                CsvTitle);
    });
}

void ToukeiForm::Menu_Close_Click() {
    close();
}
