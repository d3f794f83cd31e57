#include "race/DispForm.h"

#include "core/AppContext.h"
#include "core/AppState.h"
#include "core/Conversions.h"
#include "core/Dialogs.h"
#include "core/Errors.h"
#include "core/Services.h"
#include "race/EvaluationDisplay.h"
#include "race/RaceCaptions.h"
#include "race/RaceReport.h"
#include "records/Biorhythm.h"
#include "shell/Controls.h"
#include "shell/ErrorTrap.h"
#include "shell/Placement.h"
#include "store/Database.h"
#include "store/Recordset.h"

#include <QFrame>
#include <QLabel>
#include <QMenuBar>

namespace {

// The column heading exactly as the table has always shown it, full-width and ASCII blanks included.
QString midashiCaption() {
    return QString::fromUtf16(
        u"No.\u3000所属\u3000 \u3000 \u3000期\u3000\u3000名前\u3000\u3000 \u3000\u3000\u3000\u3000"
        u"生年\u3000生月\u3000生日 血液型  身体評価\u3000感情評価\u3000知性評価");
}

} // namespace

DispForm::DispForm(AppContext& ctx, QWidget* parent)
    : FormWindow(ctx, WindowId::DispForm, QStringLiteral("表示"), parent) {
    setObjectName(QStringLiteral("DispForm"));
    buildMenu();
    buildLayout();
    runTrapped(m_ctx.dialogs, [this] { Form_Load(); });
}

DispForm::~DispForm() = default;

void DispForm::buildMenu() {
    struct Entry {
        const char* name;
        const char16_t* caption;
        void (DispForm::*handler)();
    };
    const Entry entries[] = {{"Menu_Close", u"終了(&X)", &DispForm::Menu_Close_Click},
                             {"Menu_Add", u"履歴登録(&A)", &DispForm::Menu_Add_Click},
                             {"Menu_Print", u"印刷(&P)", &DispForm::Menu_Print_Click},
                             {"Menu_Disp", u"グラフ(&G)", &DispForm::Menu_Disp_Click}};
    for (const Entry& entry : entries)
        addMenuCommand(QString::fromLatin1(entry.name), QString::fromUtf16(entry.caption),
                       [this, handler = entry.handler] { (this->*handler)(); });
}

void DispForm::buildLayout() {
    QWidget* client = createClientArea();
    const AppState& state = m_ctx.state;

    QFrame* frame = controls::framedBox(client, QStringLiteral("PictureWaku"), 8, 8, 617, 409);
    for (int i = 0; i < 2; ++i) {
        auto* label = new QLabel(frame);
        label->setObjectName(controls::indexedName(QStringLiteral("LabelDisp"), i));
        setControlFont(state, label, proportionalGothicFace(), 12);
        placeControl(label, 160, 20, 16 + 168 * i, 16);
        m_header[i] = label;
    }

    QFrame* table = controls::framedBox(frame, QStringLiteral("PictureHyouji"), 8, 56, 593, 337);
    auto* heading = new QLabel(midashiCaption(), table);
    heading->setObjectName(QStringLiteral("LabelMidashi"));
    setControlFont(state, heading, gothicFace(), 9);
    placeControl(heading, 570, 17, 16, 16);

    struct Column {
        const char* name;
        int left;
        int width;
        QLabel* Row::*member;
    };
    const Column columns[] = {
        {"LabelNo", 2, 25, &Row::no},
        {"LabelShozokuMei", 32, 65, &Row::affiliation},
        {"LabelKi", 104, 35, &Row::term},
        {"LabelNamae", 144, 97, &Row::name},
        {"LabelSeiNen", 248, 33, &Row::birthYear},
        {"LabelSeiTuki", 283, 27, &Row::birthMonth},
        {"LabelSeiHi", 312, 27, &Row::birthDay},
        {"LabelBladType", 347, 47, &Row::bloodType},
        {"LabelBody", 400, 53, &Row::physical},
        {"LabelHeart", 456, 53, &Row::emotional},
        {"LabelIntel", 512, 53, &Row::intellectual},
    };
    for (int i = 0; i < RowCount; ++i) {
        Row& row = m_rows[i];
        row.strip = new QFrame(table);
        row.strip->setObjectName(controls::indexedName(QStringLiteral("PictureGyo"), i));
        row.strip->setFrameStyle(QFrame::Box | QFrame::Plain);
        row.strip->setLineWidth(1);
        placeControl(row.strip, 580, 33, 8, 32 + 32 * i);
        // Every row in one face: a first row in another font reads as a different kind of row.
        const QString face = proportionalGothicFace();
        for (const Column& column : columns) {
            auto* label = new QLabel(row.strip);
            label->setObjectName(controls::indexedName(QString::fromLatin1(column.name), i));
            setControlFont(state, label, face, 9);
            placeControl(label, column.width, 25, column.left, 2);
            label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            row.*column.member = label;
        }
        for (QLabel* value : {row.physical, row.emotional, row.intellectual})
            value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
}

void DispForm::Form_Load() {
    const AppState& state = m_ctx.state;
    m_db = std::make_unique<Database>(state.databasePath());
    // Registration only adds a race: none of the stored ones is read.
    m_history = m_db->openRecordset(QStringLiteral("T_レース履歴"), {}, 0);
    m_velodromes = m_db->openRecordset(QStringLiteral("T_競輪場"));

    m_header[0]->setText(surveyDateCaption(state.surveyDate));
    m_header[1]->setText(raceCaption(state.surveyVenue, state.surveyRaceNo));
    fillRows();
}

void DispForm::SurveyDate_Change() {
    m_header[0]->setText(surveyDateCaption(m_ctx.state.surveyDate));
    runTrapped(m_ctx.dialogs, [this] { fillRows(); });
}

void DispForm::fillRows() {
    const AppState& state = m_ctx.state;
    const int count = racereport::raceRowCount(state);
    for (int i = 0; i < count; ++i) {
        const PersonSlot& person = state.selectedPersons[i];
        Row& row = m_rows[i];
        row.no->setText(QString::number(i + 1));
        row.affiliation->setText(person.affiliation);
        row.term->setText(QString::number(person.term));
        row.name->setText(person.name);
        row.birthYear->setText(QString::number(person.birthYear));
        row.birthMonth->setText(QString::number(person.birthMonth));
        row.birthDay->setText(QString::number(person.birthDay));
        row.bloodType->setText(person.bloodType);
        const bio::Evaluations values = racereport::evaluationsOf(state, person);
        showEvaluation(row.physical, values.physical);
        showEvaluation(row.emotional, values.emotional);
        showEvaluation(row.intellectual, values.intellectual);
    }
}

Recordset& DispForm::velodromes() {
    if (!m_velodromes) {
        throw KorvaneError(ErrorNumber::StoreFailure, programErrorSource(),
                           QStringLiteral("データベースが開かれていません。"));
    }
    return *m_velodromes;
}

QVariant DispForm::KeirinjyoID(const QString& name) {
    Recordset& set = velodromes();
    const QString wanted = conv::trimBlanks(name);
    if (set.bof() && set.eof())
        return {};
    set.moveFirst();
    while (!set.eof()) {
        const QVariant stored = set.field(QStringLiteral("競輪場名"));
        if (!stored.isNull() && conv::trimBlanks(stored.toString()) == wanted)
            return set.field(QStringLiteral("競輪場ID"));
        set.moveNext();
    }
    return {};
}

void DispForm::Menu_Add_Click() {
    runTrapped(m_ctx.dialogs, [this] {
        const AppState& state = m_ctx.state;
        const QVariant id = KeirinjyoID(state.surveyVenue);
        if (id.isNull() || id.toLongLong() == 0) {
            m_ctx.dialogs.message(QStringLiteral("競輪場名を選択していないので履歴登録出来ません"));
            return;
        }
        if (m_ctx.dialogs.question(QStringLiteral("履歴テーブルへ登録しますか。"),
                                   QStringLiteral("履歴テーブル登録")) == Dialogs::Answer::No)
            return;
        if (!m_history) {
            throw KorvaneError(ErrorNumber::StoreFailure, programErrorSource(),
                               QStringLiteral("データベースが開かれていません。"));
        }
        racereport::addRaceHistory(*m_history, state, id);
    });
}

void DispForm::Menu_Print_Click() {
    runTrapped(m_ctx.dialogs, [this] {
        if (m_ctx.dialogs.question(QStringLiteral("ﾊﾞｲｵﾘｽﾞﾑｸﾞﾗﾌを印刷しますか。\r\n"),
                                   QStringLiteral("ﾊﾞｲｵﾘｽﾞﾑｸﾞﾗﾌ印刷")) == Dialogs::Answer::No)
            return;
        if (!racereport::printRaceTable(m_ctx.printer, m_ctx.state))
            m_ctx.dialogs.message(QStringLiteral("該当レコードがありません"));
    });
}

void DispForm::Menu_Disp_Click() {
    m_ctx.navigator.open(WindowId::BiorForm);
}

void DispForm::Menu_Close_Click() {
    close();
}

void DispForm::Form_Unload() {
    closeStore({&m_history, &m_velodromes}, m_db);
}
