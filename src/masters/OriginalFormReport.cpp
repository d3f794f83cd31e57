// The printed roster "個別名簿一覧表": name and birth date of every person, the birth year as its four
// Western digits. The month and day stand one column right of their headings. The name takes the
// cells up to the birth year, so that a full-width name is never overprinted by it.

#include "core/AppContext.h"
#include "masters/ListReport.h"
#include "masters/OriginalForm.h"
#include "store/Database.h"

void OriginalForm::Meibo_Print() {
    const masters::ListReport report{QStringLiteral("個別名簿一覧表"),
                                     QStringLiteral("T_個別名簿"),
                                     {{10, QStringLiteral("名前")},
                                      {24, QStringLiteral("生年")},
                                      {30, QStringLiteral("生月")},
                                      {36, QStringLiteral("生日")}},
                                     {{10, QStringLiteral("名前"), 13, masters::ListReport::Field::Cells},
                                      {24, QStringLiteral("生年"), 4},
                                      {31, QStringLiteral("生月"), 4},
                                      {37, QStringLiteral("生日"), 4}}};
    masters::printListReport(m_ctx.printer, m_ctx.dialogs, m_db.get(), report);
}
