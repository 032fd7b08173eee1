#include "common/leading_number.h"

#include <QStringView>

namespace lexivo {

namespace {

bool IsAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

}  // namespace

double LeadingNumber(const QString& text) {
    qsizetype i = 0;
    const qsizetype size = text.size();
    while (i < size && (text[i] == u' ' || text[i] == u'\t')) ++i;

    const qsizetype start = i;
    if (i < size && (text[i] == u'+' || text[i] == u'-')) ++i;
    qsizetype digits = 0;
    while (i < size && IsAsciiDigit(text[i])) {
        ++i;
        ++digits;
    }
    qsizetype end = i;
    if (i < size && text[i] == u'.') {
        ++i;
        while (i < size && IsAsciiDigit(text[i])) {
            ++i;
            ++digits;
        }
        // "5." reads as 5: only keep the point when digits follow it.
        if (i > end + 1) end = i;
    }
    if (digits == 0) return 0;

    // The matched text is a plain decimal; QStringView::toDouble reads it independently of the locale and rounds
    // correctly. A text of hundreds of digits overflows to infinity, which is still the sensible limit.
    return QStringView(text).mid(start, end - start).toDouble();
}

}  // namespace lexivo
