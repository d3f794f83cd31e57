#include "race/SearchPanel.h"

#include "core/AppState.h"
#include "race/NumberPickerModel.h"
#include "shell/Controls.h"
#include "shell/Placement.h"
#include "store/Database.h"
#include "store/Recordset.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace {

struct PrefectureButton {
    const char16_t* caption;
    int left;
    int top;
};

// The buttons draw a rough map of Japan: the north-east at the top right, Okinawa at the bottom left.
// Index k - 1 holds the button of 所属ID k.
constexpr PrefectureButton prefectureButtons[SearchPanel::PrefectureCount] = {
    {u"北海道", 312, 8},   {u"青森", 288, 8},     {u"秋田", 272, 40},  {u"岩手", 296, 40},
    {u"宮城", 296, 72},    {u"山形", 272, 72},    {u"福島", 280, 104}, {u"群馬", 256, 136},
    {u"栃木", 280, 136},   {u"茨城", 304, 136},   {u"埼玉", 256, 168}, {u"東京", 280, 168},
    {u"千葉", 304, 168},   {u"神奈川", 256, 200}, {u"山梨", 232, 168}, {u"長野", 232, 136},
    {u"静岡", 232, 200},   {u"愛知", 208, 200},   {u"岐阜", 208, 168}, {u"三重", 184, 232},
    {u"新潟", 256, 104},   {u"富山", 232, 104},   {u"石川", 208, 136}, {u"福井", 184, 136},
    {u"滋賀", 184, 168},   {u"京都", 160, 136},   {u"奈良", 184, 200}, {u"大阪", 160, 168},
    {u"和歌山", 160, 200}, {u"兵庫", 136, 136},   {u"岡山", 112, 136}, {u"広島", 88, 136},
    {u"山口", 64, 136},    {u"島根", 88, 104},    {u"鳥取", 112, 104}, {u"徳島", 128, 208},
    {u"愛媛", 104, 176},   {u"香川", 128, 176},   {u"高知", 104, 208}, {u"福岡", 72, 176},
    {u"長崎", 24, 192},    {u"佐賀", 48, 176},    {u"大分", 72, 208},  {u"熊本", 48, 208},
    {u"宮崎", 72, 240},    {u"鹿児島", 48, 240},  {u"沖縄", 16, 240},
};

// Ten columns of five rows; index = column * 5 + row. Empty captions are buttons without a kana.
constexpr const char16_t* kanaCaptions[SearchPanel::KanaCount] = {
    u"ｱ", u"ｲ", u"ｳ", u"ｴ", u"ｵ", u"ｶ", u"ｷ", u"ｸ", u"ｹ", u"ｺ", u"ｻ", u"ｼ", u"ｽ", u"ｾ", u"ｿ", u"ﾀ", u"ﾁ",
    u"ﾂ", u"ﾃ", u"ﾄ", u"ﾅ", u"ﾆ", u"ﾇ", u"ﾈ", u"ﾉ", u"ﾊ", u"ﾋ", u"ﾌ", u"ﾍ", u"ﾎ", u"ﾏ", u"ﾐ", u"ﾑ", u"ﾒ",
    u"ﾓ", u"ﾔ", u"",  u"ﾕ", u"",  u"ﾖ", u"ﾗ", u"ﾘ", u"ﾙ", u"ﾚ", u"ﾛ", u"ﾜ", u"",  u"",  u"",  u"ﾝ",
};

} // namespace

void WrappingButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.drawText(rect().adjusted(1, 1, -1, -1), Qt::AlignCenter | Qt::TextWrapAnywhere, caption);
}

SearchPanel::SearchPanel(const AppState& state, QWidget* frame, controls::Pickers pickers)
    : QObject(frame) {
    const QString face = proportionalGothicFace();

    for (int k = 1; k <= PrefectureCount; ++k) {
        auto* button = new WrappingButton(prefectureCaption(k), frame);
        button->setObjectName(controls::indexedName(QStringLiteral("Kenmei"), k));
        setControlFont(state, button, face, 8);
        const QPoint at = prefecturePosition(k);
        placeControl(button, 25, 32, at.x(), at.y());
        connect(button, &QPushButton::clicked, this, [this, k] { emit prefectureClicked(k); });
        m_kenmei[k - 1] = button;
    }

    m_checkSelect = new QCheckBox(QStringLiteral("県･期 AND 検索"), frame);
    m_checkSelect->setObjectName(QStringLiteral("CheckSelect"));
    setControlFont(state, m_checkSelect, face, 9);
    placeControl(m_checkSelect, 113, 25, 223, 248);

    for (int i = 0; i < 3; ++i) {
        static constexpr int boxes[3][4] = {{16, 278, 125, 30}, {146, 278, 115, 30}, {266, 278, 70, 30}};
        m_picNo[i] = controls::framedBox(frame, controls::indexedName(QStringLiteral("PicNo"), i),
                                         boxes[i][0], boxes[i][1], boxes[i][2], boxes[i][3]);
        // The first two hold the pickers.
        if (pickers == controls::Pickers::Slim && i < 2)
            controls::holdSlimPickers(m_picNo[i]);
    }

    m_labelToban = new QLabel(QStringLiteral("登番検索"), m_picNo[0]);
    m_labelToban->setObjectName(QStringLiteral("LabelToban"));
    setControlFont(state, m_labelToban, face, 9);
    placeControl(m_labelToban, 50, 20, 6, 6);
    auto* toban = new controls::ListCombo(m_picNo[0]);
    m_comboToban = toban;
    m_comboToban->setObjectName(QStringLiteral("ComboToban"));
    setControlFont(state, m_comboToban, face, 9);
    placeControl(state, m_comboToban, 9, 55, 60, 2);
    connect(toban, &controls::ListCombo::chosen, this, [this] { emit registrationChosen(); });

    m_labelKi = new QLabel(QStringLiteral("期検索"), m_picNo[1]);
    m_labelKi->setObjectName(QStringLiteral("LabelKi"));
    setControlFont(state, m_labelKi, face, 9);
    placeControl(m_labelKi, 50, 20, 6, 6);
    auto* ki = new controls::ListCombo(m_picNo[1]);
    m_comboKi = ki;
    m_comboKi->setObjectName(QStringLiteral("ComboKi"));
    setControlFont(state, m_comboKi, face, 9);
    placeControl(state, m_comboKi, 9, 55, 50, 2);
    connect(ki, &controls::ListCombo::chosen, this, [this] { emit termChosen(); });

    m_command500 = new QPushButton(QStringLiteral("一覧検索"), m_picNo[2]);
    m_command500->setObjectName(QStringLiteral("Command500"));
    setControlFont(state, m_command500, face, 8);
    placeControl(m_command500, 60, 20, 4, 2);
    connect(m_command500, &QPushButton::clicked, this, [this] { emit listAllClicked(); });

    for (int k = 0; k < KanaCount; ++k) {
        auto* button = new QPushButton(kanaCaption(k), frame);
        button->setObjectName(controls::indexedName(QStringLiteral("ComboNamae"), k));
        setControlFont(state, button, face, 10);
        placeControl(button, 33, 17, 16 + 32 * (k / 5), 313 + 16 * (k % 5));
        // Inactive buttons are shown greyed, so the table keeps its shape.
        button->setEnabled(kanaActive(k));
        connect(button, &QPushButton::clicked, this, [this, k] { emit kanaClicked(k); });
        m_kana[k] = button;
    }
}

QString SearchPanel::kanaCaption(int k) {
    if (k < 0 || k >= KanaCount)
        return {};
    return QString::fromUtf16(kanaCaptions[k]);
}

bool SearchPanel::kanaActive(int k) {
    return k >= 0 && k < KanaCount && k != 36 && k != 38 && k < 46;
}

QString SearchPanel::prefectureCaption(int k) {
    if (k < 1 || k > PrefectureCount)
        return {};
    return QString::fromUtf16(prefectureButtons[k - 1].caption);
}

QPoint SearchPanel::prefecturePosition(int k) {
    if (k < 1 || k > PrefectureCount)
        return {};
    return {prefectureButtons[k - 1].left, prefectureButtons[k - 1].top};
}

bool SearchPanel::combined() const {
    return m_checkSelect->checkState() == Qt::Checked;
}

void SearchPanel::fillRegistrationNumbers(Database& db, std::function<Database*()> database) {
    const QString view = QStringLiteral("Q_登番");
    const auto load = [database = std::move(database), view](int rows) {
        QList<int> numbers;
        Database* source = database();
        if (!source || !source->isOpen())
            return numbers;
        std::unique_ptr<Recordset> set = source->openRecordset(view, {}, rows);
        numbers.reserve(set->recordCount());
        for (; !set->eof(); set->moveNext())
            numbers.append(set->field(QStringLiteral("登番")).toInt());
        set->close();
        return numbers;
    };
    // Q_登番 lists every racer: counting the table reads its smallest index, the view its whole rows.
    m_comboToban->setModel(new NumberPickerModel(db.countRows(QStringLiteral("T_選手")), load, m_comboToban));
    m_comboToban->setCurrentIndex(-1);
}
