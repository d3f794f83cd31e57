#pragma once

#include <QString>
#include <optional>

namespace store {

// A find-first criterion: one field equal to a 16-bit integer.
struct Criterion {
    QString field;
    qint16 value = 0;
};

// Reads the forms the windows build, "期=5" and "選手ID = 1234": a field name without blanks or
// '=', an equals sign with or without blanks around it, an optionally signed number of at most six
// ASCII digits within -32768..32767, blanks (ASCII white space) before and after. Anything else,
// a text with a broken surrogate pair among it, gives nothing.
std::optional<Criterion> parseCriterion(const QString& text);

} // namespace store
