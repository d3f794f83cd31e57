#include "history/RirekiForm.h"

#include "core/AppContext.h"
#include "core/AppState.h"
#include "core/Conversions.h"
#include "core/Dialogs.h"
#include "core/Errors.h"
#include "core/Services.h"
#include "race/EvaluationDisplay.h"
#include "records/HistoryCsv.h"
#include "records/HistoryFields.h"
#include "shell/Controls.h"
#include "shell/ErrorTrap.h"
#include "shell/Placement.h"
#include "store/Database.h"
#include "store/Recordset.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <cmath>

namespace {

const QString NotPickedMessage = QStringLiteral("レース履歴を選択してから実行して下さい");

[[noreturn]] void raiseRecordDeleted() {
    throw KorvaneError(ErrorNumber::RecordDeleted, programErrorSource(),
                       QStringLiteral("レコードは削除されています。"));
}

} // namespace

RirekiForm::RirekiForm(AppContext& ctx, QWidget* parent)
    : FormWindow(ctx, WindowId::RirekiForm, QStringLiteral("レース履歴"), parent) {
    setObjectName(QStringLiteral("RirekiForm"));
    buildMenu();
    buildLayout();
    Form_Load();
}

// Record sets are members declared after the database, so they go first.
RirekiForm::~RirekiForm() = default;

void RirekiForm::buildMenu() {
    const auto topAction = [this](const QString& name, const QString& caption,
                                  void (RirekiForm::*handler)()) {
        addMenuCommand(name, caption, [this, handler] { (this->*handler)(); });
    };
    topAction(QStringLiteral("Menu_Close"), QStringLiteral("終了(&X)"), &RirekiForm::Menu_Close_Click);
    topAction(QStringLiteral("Menu_Edit"), QStringLiteral("順位更新(&E)"), &RirekiForm::Menu_Edit_Click);
    // "Mneu" is the control's name as it has always been spelled.
    topAction(QStringLiteral("Mneu_Delete"), QStringLiteral("履歴削除(&D)"), &RirekiForm::Mneu_Delete_Click);
    topAction(QStringLiteral("Menu_Print"), QStringLiteral("印刷(&P)"), &RirekiForm::Menu_Print_Click);
    topAction(QStringLiteral("Menu_Toukei"), QStringLiteral("統計(&S)"), &RirekiForm::Menu_Toukei_Click);
    QMenu* file = controls::addMenu(menuBar(), QStringLiteral("Menu_File"), QStringLiteral("ﾌｧｲﾙ(&F)"));
    controls::addAction(file, this, QStringLiteral("Menu_CsvExport"), QStringLiteral("CSV出力(&O)..."),
                        [this] { Menu_CsvExport_Click(); });
    addHelpMenu();
}

void RirekiForm::buildLayout() {
    const AppState& state = m_ctx.state;
    QWidget* client = createClientArea();

    m_pictureWaku = controls::framedBox(client, QStringLiteral("PictureWaku"), 8, 8, 617, 409);

    m_labelRireki = new QLabel(QStringLiteral("レース履歴"), m_pictureWaku);
    m_labelRireki->setObjectName(QStringLiteral("LabelRireki"));
    setControlFont(state, m_labelRireki, gothicFace(), 12, true);
    placeControl(m_labelRireki, 100, 24, 8, 16);

    m_comboRireki = new QComboBox(m_pictureWaku);
    m_comboRireki->setObjectName(QStringLiteral("ComboRireki"));
    setControlFont(state, m_comboRireki, proportionalGothicFace(), 12, true);
    placeControl(state, m_comboRireki, 12, 497, 104, 16);
    connect(m_comboRireki, &QComboBox::activated, this, [this](int) { ComboRireki_Click(); });

    m_pictureHyouji = controls::framedBox(m_pictureWaku, QStringLiteral("PictureHyouji"), 8, 56, 593, 337);
    // The heading and every cell share one font: set on the frame before they are made, they take it
    // from there instead of each setting its own (a hundred font changes are a good part of the opening).
    setControlFont(state, m_pictureHyouji, gothicFace(), 9);

    m_labelMidashi = new QLabel(
        QStringLiteral(
            "No.　出身　　　期　　名前　　　　 　　　　　生年月日　　　　身体評価　感情評価　知性評価　順位"),
        m_pictureHyouji);
    m_labelMidashi->setObjectName(QStringLiteral("LabelMidashi"));
    placeControl(m_labelMidashi, 577, 15, 8, 16);

    QFont orderFont = m_pictureHyouji->font();
    orderFont.setBold(true);
    for (int i = 0; i < RowCount; ++i) {
        Row& row = m_rows[i];
        row.strip = controls::framedBox(
            m_pictureHyouji, controls::indexedName(QStringLiteral("PictureGyo"), i), 8, 40 + 32 * i, 577, 33);

        const auto label = [&](const QString& name, int left, int width, Qt::Alignment alignment) {
            auto* l = new QLabel(row.strip);
            l->setObjectName(controls::indexedName(name, i));
            l->setAlignment(alignment | Qt::AlignVCenter);
            placeControl(l, width, 25, left, 2);
            // Empty until a race is picked, a cell draws nothing: it is shown with the first race, so
            // that the window does not show and paint ninety empty labels as it opens.
            l->hide();
            return l;
        };
        row.no = label(QStringLiteral("LabelNo"), 0, 15, Qt::AlignRight);
        row.shozokuMei = label(QStringLiteral("LabelShozokuMei"), 24, 46, Qt::AlignLeft);
        row.ki = label(QStringLiteral("LabelKi"), 80, 35, Qt::AlignRight);
        row.namae = label(QStringLiteral("LabelNamae"), 124, 122, Qt::AlignLeft);
        row.seiNen = label(QStringLiteral("LabelSeiNen"), 256, 33, Qt::AlignRight);
        row.seiTuki = label(QStringLiteral("LabelSeiTuki"), 291, 27, Qt::AlignRight);
        row.seiHi = label(QStringLiteral("LabelSeiHi"), 320, 27, Qt::AlignRight);
        row.body = label(QStringLiteral("LabelBody"), 360, 55, Qt::AlignRight);
        row.heart = label(QStringLiteral("LabelHeart"), 416, 55, Qt::AlignRight);
        row.intel = label(QStringLiteral("LabelIntel"), 472, 55, Qt::AlignRight);

        row.jyuni = new QLineEdit(row.strip);
        row.jyuni->setObjectName(controls::indexedName(QStringLiteral("TextJyuni"), i));
        row.jyuni->setAlignment(Qt::AlignRight);
        row.jyuni->setFont(orderFont);
        placeControl(row.jyuni, 33, 25, 536, 2);
    }
}

void RirekiForm::Form_Load() {
    runTrapped(m_ctx.dialogs, [this] {
        m_db = std::make_unique<Database>(m_ctx.state.databasePath());
        m_affiliation = m_db->openRecordset(QStringLiteral("T_所属"));
        fillCombo();
    });
}

void RirekiForm::fillCombo() {
    // The list shows a few columns of every race, read once; a race's nine slots are read when it is
    // picked, and the stored race when it is changed.
    QStringList items;
    try {
        m_db->readColumns(QStringLiteral("Q_レース履歴"),
                          {QStringLiteral("履歴ID"), QStringLiteral("調査年"), QStringLiteral("調査月"),
                           QStringLiteral("調査日"), QStringLiteral("競輪場名"), QStringLiteral("レースNO")},
                          [&items](const QVariantList& values) {
                              const auto text = [&values](int column) {
                                  return conv::trimBlanks(conv::valueText(values.at(column)));
                              };
                              items << text(0) + QStringLiteral(" ： ") + text(1) + QLatin1Char('.') +
                                           text(2) + QLatin1Char('.') + text(3) + QStringLiteral("　") +
                                           text(4) + QStringLiteral("競輪　第") + text(5) +
                                           QStringLiteral("レース");
                          });
    } catch (const KorvaneError&) {
        // The races listed before a row that cannot be read stay listed.
        m_comboRireki->addItems(items);
        throw;
    }
    if (items.isEmpty()) {
        m_ctx.dialogs.message(QStringLiteral("レース履歴がありません。レース履歴登録後実行して下さい\r"));
        return;
    }
    m_comboRireki->addItems(items);
    // No race is shown until the user picks one.
    m_comboRireki->setCurrentIndex(-1);
}

std::unique_ptr<Recordset> RirekiForm::openRace(const QString& name, double id) {
    // An ID that is not a whole number in range matches no race.
    if (!std::isfinite(id) || id != std::floor(id) || std::abs(id) > 1e15)
        return m_db->openRecordset(name, {}, 0);
    return m_db->openRecordset(name, {{QStringLiteral("履歴ID"), static_cast<qint64>(id)}});
}

void RirekiForm::ComboRireki_Click() {
    runTrapped(m_ctx.dialogs, [this] {
        m_racePicked = true;
        if (!m_affiliation)
            return;
        const double id = conv::numericValue(conv::trimLeadingBlanks(m_comboRireki->currentText()));
        if (m_comboRireki->count() == 0)
            return;
        std::unique_ptr<Recordset> race = openRace(QStringLiteral("Q_レース履歴"), id);
        if (m_query)
            m_query->close();
        m_query = std::move(race);
        // The race was deleted since the list was read (here, in another window or process): the rows
        // of the race shown before must not stand under its caption.
        if (m_query->eof()) {
            clearRows();
            raiseRecordDeleted();
        }
        LabelDisp();
    });
}

void RirekiForm::clearRows() {
    for (Row& row : m_rows) {
        for (QLabel* cell : {row.no, row.shozokuMei, row.ki, row.namae, row.seiNen, row.seiTuki, row.seiHi})
            cell->clear();
        for (QLabel* value : {row.body, row.heart, row.intel})
            clearEvaluation(value);
        row.jyuni->clear();
    }
}

void RirekiForm::LabelDisp() {
    if (m_rows[0].no->isHidden()) {
        for (Row& row : m_rows) {
            for (QLabel* cell : {row.no, row.shozokuMei, row.ki, row.namae, row.seiNen, row.seiTuki,
                                 row.seiHi, row.body, row.heart, row.intel})
                cell->show();
        }
    }
    for (int i = 0; i < RowCount; ++i) {
        const int n = i + 1;
        const auto slot = [n](const QString& stem) { return history::slotField(stem, n); };
        Row& row = m_rows[i];
        row.no->setText(QString::number(n));
        const history::SlotState state = history::slotState(*m_query, n);
        if (state != history::SlotState::Racer) {
            // No racer to show: the slot number only, and the order stored for a racer since deleted.
            for (QLabel* cell : {row.shozokuMei, row.ki, row.namae, row.seiNen, row.seiTuki, row.seiHi})
                cell->clear();
            for (QLabel* value : {row.body, row.heart, row.intel})
                clearEvaluation(value);
            row.jyuni->setText(state == history::SlotState::RacerGone
                                   ? history::fieldText(*m_query, slot(QStringLiteral("結果")))
                                   : QString());
            continue;
        }
        row.shozokuMei->setText(
            conv::valueText(ShozokuMei(history::fieldInt16(*m_query, slot(QStringLiteral("所属ID"))))));
        row.ki->setText(history::fieldText(*m_query, slot(QStringLiteral("期"))));
        row.namae->setText(history::fieldText(*m_query, slot(QStringLiteral("名前"))));
        row.seiNen->setText(history::fieldText(*m_query, slot(QStringLiteral("生年"))));
        row.seiTuki->setText(history::fieldText(*m_query, slot(QStringLiteral("生月"))));
        row.seiHi->setText(history::fieldText(*m_query, slot(QStringLiteral("生日"))));
        row.jyuni->setText(history::fieldText(*m_query, slot(QStringLiteral("結果"))));
        const bio::Evaluations values = history::slotEvaluations(*m_query, n);
        showEvaluation(row.body, values.physical);
        showEvaluation(row.heart, values.emotional);
        showEvaluation(row.intel, values.intellectual);
    }
}

QVariant RirekiForm::ShozokuMei(qint16 id) {
    if (m_affiliation->recordCount() == 0)
        return {};
    for (m_affiliation->moveFirst(); !m_affiliation->eof(); m_affiliation->moveNext()) {
        if (history::fieldInt16(*m_affiliation, QStringLiteral("所属ID")) == id)
            return m_affiliation->field(QStringLiteral("所属名"));
    }
    return {};
}

bool RirekiForm::refusedBeforePick() {
    // A pick whose race could not be read leaves nothing to act on either; one whose race was gone
    // names it as deleted again.
    if (m_racePicked && m_query) {
        if (m_query->eof())
            raiseRecordDeleted();
        return false;
    }
    m_ctx.dialogs.message(NotPickedMessage);
    return true;
}

bool RirekiForm::findPickedInHistory() {
    const double id = history::fieldDouble(*m_query, QStringLiteral("履歴ID"));
    std::unique_ptr<Recordset> stored = openRace(QStringLiteral("T_レース履歴"), id);
    if (m_history)
        m_history->close();
    m_history = std::move(stored);
    // The race was deleted since the pick (here or in another window): say so rather than do nothing.
    if (m_history->eof())
        raiseRecordDeleted();
    return true;
}

void RirekiForm::Menu_Edit_Click() {
    runTrapped(m_ctx.dialogs, [this] {
        if (refusedBeforePick())
            return;
        if (m_ctx.dialogs.question(QStringLiteral("履歴テーブルを更新しますか。"),
                                   QStringLiteral("履歴テーブル更新")) == Dialogs::Answer::No)
            return;
        // Every text is read before the edit starts, so a text that cannot be read leaves no edit open.
        std::array<double, RowCount> orders{};
        for (int i = 0; i < RowCount; ++i)
            orders[i] = conv::numericValue(m_rows[i].jyuni->text());
        if (!findPickedInHistory())
            return;
        m_history->edit();
        try {
            for (int i = 0; i < RowCount; ++i)
                m_history->setField(history::slotField(QStringLiteral("結果"), i + 1), orders[i]);
            m_history->update();
        } catch (...) {
            if (m_history->isEditing())
                m_history->cancelUpdate();
            throw;
        }
    });
}

void RirekiForm::Mneu_Delete_Click() {
    runTrapped(m_ctx.dialogs, [this] {
        if (refusedBeforePick())
            return;
        if (m_ctx.dialogs.question(QStringLiteral("履歴テーブルを削除しますか。"),
                                   QStringLiteral("履歴テーブル削除")) == Dialogs::Answer::No)
            return;
        if (findPickedInHistory())
            m_history->deleteCurrent();
    });
}

void RirekiForm::Menu_CsvExport_Click() {
    runTrapped(m_ctx.dialogs, [this] {
        if (m_db)
            records::exportHistoryCsv(m_ctx, *m_db);
    });
}

void RirekiForm::Menu_Toukei_Click() {
    m_ctx.navigator.open(WindowId::ToukeiForm);
}

void RirekiForm::Menu_Close_Click() {
    close();
}

void RirekiForm::Form_Unload() {
    closeStore({&m_query, &m_history, &m_affiliation}, m_db);
}
