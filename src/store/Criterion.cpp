#include "store/Criterion.h"

#include <QRegularExpression>

namespace store {

std::optional<Criterion> parseCriterion(const QString& text) {
    // A broken surrogate pair is no text a window builds; say so rather than rely on the matcher.
    if (!text.isValidUtf16())
        return std::nullopt;
    static const QRegularExpression form(QStringLiteral("^\\s*([^\\s=]+)\\s*=\\s*([+-]?[0-9]{1,6})\\s*$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const qint64 number = match.captured(2).toLongLong();
    if (number < -32768 || number > 32767)
        return std::nullopt;
    return Criterion{match.captured(1), static_cast<qint16>(number)};
}

} // namespace store
