#include "config/NumericValue.h"

void TNumericValue::setText(const QString& text) {
    QString kept;
    kept.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const bool digit = c >= u'0' && c <= u'9';
        const bool leadingSign = i == 0 && (c == u'-' || c == u'+');
        if (digit || leadingSign) kept += c;
    }
    m_text = kept;
}

qint32 TNumericValue::value() const {
    bool ok = false;
    const int number = m_text.toInt(&ok);
    return ok ? number : 0;
}
