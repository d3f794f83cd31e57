// The printed velodrome list "競輪場一覧表": ID and name of every velodrome in the view's order.

#include "core/AppContext.h"
#include "masters/KeirinjyoForm.h"
#include "masters/ListReport.h"
#include "store/Database.h"

void KeirinjyoForm::Keirinjyo_Print() {
    const masters::ListReport report{
        QStringLiteral("競輪場一覧表"),
        QStringLiteral("Q_競輪場"),
        {{10, QStringLiteral("競輪場")}},
        {{10, QStringLiteral("競輪場ID"), 4}, {15, QStringLiteral("競輪場名"), 12}}};
    masters::printListReport(m_ctx.printer, m_ctx.dialogs, m_db.get(), report);
}
