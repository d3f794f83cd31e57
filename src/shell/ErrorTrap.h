#pragma once

#include "core/Errors.h"

#include <QString>
#include <exception>
#include <functional>

class Dialogs;

// The common error message: "エラー番号 " + number in signed style + source + " でエラーが発生しました。 "
// + carriage return + description. extraBlank puts one more blank between number and source,
// as some windows have always done.
QString errorTrapMessage(const KorvaneError& error, bool extraBlank = false);

// Any exception as the error the trap shows: the program's own errors as they are, others numbered as
// the old runtime numbered the same failure (7 out of memory, 9 index out of range, 51 anything else).
KorvaneError trappedError(std::exception_ptr caught);

// Runs a handler body; an error raised inside ends the body and is shown as the common error
// message (OK only, no icon, titled "エラー"). Returns false when an error was shown.
bool runTrapped(Dialogs& dialogs, const std::function<void()>& body, bool extraBlank = false);

// Shows the common error message for an error already caught.
void showTrappedError(Dialogs& dialogs, const KorvaneError& error, bool extraBlank = false);
