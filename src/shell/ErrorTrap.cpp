#include "shell/ErrorTrap.h"

#include "core/Conversions.h"
#include "core/Dialogs.h"
#include "core/Errors.h"

#include <new>

QString errorTrapMessage(const KorvaneError& error, bool extraBlank) {
    return QStringLiteral("エラー番号 ") + conv::signedStyle(error.number()) +
           (extraBlank ? QStringLiteral(" ") : QString()) + error.source() +
           QStringLiteral(" でエラーが発生しました。 ") + QLatin1Char('\r') + error.description();
}

void showTrappedError(Dialogs& dialogs, const KorvaneError& error, bool extraBlank) {
    dialogs.message(errorTrapMessage(error, extraBlank), QStringLiteral("エラー"));
}

bool runTrapped(Dialogs& dialogs, const std::function<void()>& body, bool extraBlank) {
    try {
        body();
        return true;
    } catch (const KorvaneError& error) {
        showTrappedError(dialogs, error, extraBlank);
    } catch (const std::bad_alloc&) {
        showTrappedError(dialogs,
                         KorvaneError(7, programErrorSource(), QStringLiteral("メモリが不足しています。")),
                         extraBlank);
    }
    return false;
}
