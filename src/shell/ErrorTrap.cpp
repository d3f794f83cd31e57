#include "shell/ErrorTrap.h"

#include "core/Conversions.h"
#include "core/Dialogs.h"
#include "core/Errors.h"

#include <new>
#include <stdexcept>

QString errorTrapMessage(const KorvaneError& error, bool extraBlank) {
    return QStringLiteral("エラー番号 ") + conv::signedStyle(error.number()) +
           (extraBlank ? QStringLiteral(" ") : QString()) + error.source() +
           QStringLiteral(" でエラーが発生しました。 ") + QLatin1Char('\r') + error.description();
}

void showTrappedError(Dialogs& dialogs, const KorvaneError& error, bool extraBlank) {
    dialogs.message(errorTrapMessage(error, extraBlank), QStringLiteral("エラー"));
}

KorvaneError trappedError(std::exception_ptr caught) {
    // Errors from the language's own library get the numbers the old runtime gave the same failures.
    try {
        std::rethrow_exception(caught);
    } catch (const KorvaneError& error) {
        return error;
    } catch (const std::bad_alloc&) {
        return KorvaneError(7, programErrorSource(), QStringLiteral("メモリが不足しています。"));
    } catch (const std::out_of_range&) {
        return KorvaneError(9, programErrorSource(), QStringLiteral("インデックスが有効範囲にありません。"));
    } catch (const std::overflow_error&) {
        return KorvaneError(ErrorNumber::Overflow, programErrorSource(),
                            QStringLiteral("オーバーフローしました。"));
    } catch (const std::invalid_argument&) {
        return KorvaneError(5, programErrorSource(),
                            QStringLiteral("プロシージャの呼び出し、または引数が不正です。"));
    } catch (const std::exception& error) {
        return KorvaneError(
            51, programErrorSource(),
            QStringLiteral("内部エラーです。 (%1)").arg(QString::fromLocal8Bit(error.what())));
    } catch (...) {
        return KorvaneError(51, programErrorSource(), QStringLiteral("内部エラーです。"));
    }
}

bool runTrapped(Dialogs& dialogs, const std::function<void()>& body, bool extraBlank) {
    try {
        body();
        return true;
    } catch (...) {
        showTrappedError(dialogs, trappedError(std::current_exception()), extraBlank);
    }
    return false;
}
