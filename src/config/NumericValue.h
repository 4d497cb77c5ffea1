#pragma once
// TNumericEdit: the value held by a numeric edit of the settings form. A text put
// into it keeps only its digits and a sign in first place; its value is the whole
// number the text reads as, 0 when empty or outside the 32-bit signed range.

#include <QString>

class TNumericEdit {
  public:
    TNumericEdit() = default;
    explicit TNumericEdit(const QString& text) { setText(text); }

    [[nodiscard]] const QString& text() const { return m_text; }
    void setText(const QString& text);
    [[nodiscard]] qint32 value() const;

    friend bool operator==(const TNumericEdit&, const TNumericEdit&) = default;

  private:
    QString m_text;
};
