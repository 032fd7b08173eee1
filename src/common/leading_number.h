#pragma once

#include <QString>

namespace lexivo {

// The numeric value of a text box or a list entry: the number at its start (leading blanks skipped, a sign and a
// fraction allowed), 0 when the text does not start with a number. "12abc" gives 12, "abc" and "" give 0.
double LeadingNumber(const QString& text);

}  // namespace lexivo
