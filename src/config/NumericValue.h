#pragma once
// TNumericValue: the value of a numeric setting. A text put into it keeps only
// its digits and a sign in first place; its value is the whole number the text
// reads as, 0 when empty or outside the 32-bit signed range.

#include <QString>

class TNumericValue {
  public:
    TNumericValue() = default;
    explicit TNumericValue(const QString& text) { setText(text); }

    [[nodiscard]] const QString& text() const { return m_text; }
    void setText(const QString& text);
    [[nodiscard]] qint32 value() const;

    friend bool operator==(const TNumericValue&, const TNumericValue&) = default;

  private:
    QString m_text;
};
