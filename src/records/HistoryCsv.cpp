#include "records/HistoryCsv.h"

#include "core/AppContext.h"
#include "core/AppState.h"
#include "core/Conversions.h"
#include "core/Csv.h"
#include "core/Dialogs.h"
#include "records/HistoryFields.h"
#include "store/Database.h"
#include "store/Recordset.h"

#include <QDir>

namespace records {

namespace {

constexpr int SlotCount = 9;

QString text(const Recordset& set, const QString& field) {
    return conv::valueText(set.field(field));
}

} // namespace

QStringList historyCsvHeader() {
    QStringList header{QStringLiteral("調査年月日"), QStringLiteral("競輪場"), QStringLiteral("レースNO")};
    for (int n = 1; n <= SlotCount; ++n)
        for (const QString& stem : {QStringLiteral("選手ID"), QStringLiteral("名前"), QStringLiteral("身体"),
                                    QStringLiteral("感情"), QStringLiteral("知性"), QStringLiteral("順位")})
            header << stem + QString::number(n);
    return header;
}

QByteArray historyCsv(Recordset& races) {
    csv::Writer writer;
    writer.record(historyCsvHeader());
    if (races.recordCount() == 0)
        return writer.bytes();
    for (races.moveFirst(); !races.eof(); races.moveNext()) {
        writer.field(text(races, QStringLiteral("調査年")) + QLatin1Char('/') +
                     text(races, QStringLiteral("調査月")) + QLatin1Char('/') +
                     text(races, QStringLiteral("調査日")));
        writer.field(conv::trimBlanks(text(races, QStringLiteral("競輪場名"))));
        writer.field(text(races, QStringLiteral("レースNO")));
        for (int n = 1; n <= SlotCount; ++n) {
            const history::SlotState state = history::slotState(races, n);
            if (state == history::SlotState::Empty) {
                for (int k = 0; k < 6; ++k)
                    writer.field(QString());
                continue;
            }
            writer.field(history::fieldText(races, history::slotField(QStringLiteral("選手"), n)));
            if (state == history::SlotState::RacerGone) {
                for (int k = 0; k < 4; ++k)
                    writer.field(QString());
            } else {
                writer.field(history::fieldText(races, history::slotField(QStringLiteral("名前"), n)));
                const bio::Evaluations values = history::slotEvaluations(races, n);
                for (const double value : {values.physical, values.emotional, values.intellectual})
                    writer.field(conv::formatAmount(value));
            }
            writer.field(history::fieldText(races, history::slotField(QStringLiteral("結果"), n)));
        }
        writer.endRecord();
    }
    return writer.bytes();
}

void exportHistoryCsv(AppContext& ctx, Database& db) {
    const QString title = QStringLiteral("CSV出力");
    const QString path =
        ctx.dialogs.saveFileName(title, ctx.state.appPath + QStringLiteral("レース履歴.csv"),
                                 QStringLiteral("CSV ファイル (*.csv);;すべてのファイル (*)"));
    if (path.isEmpty())
        return;
    std::unique_ptr<Recordset> races = db.openRecordset(QStringLiteral("Q_レース履歴"));
    const QString failure = csv::saveWhole(path, historyCsv(*races));
    if (!failure.isEmpty())
        ctx.dialogs.critical(QStringLiteral("ファイル %1 に書き出せませんでした。\r\n%2")
                                 .arg(QDir::toNativeSeparators(path), failure),
                             title);
}

} // namespace records
