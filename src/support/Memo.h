#pragma once
// A multi-line text field without a face: the working and diagnostic texts of the
// tasks (the request, the last reply, the payment forms...). Text() is the text
// exactly as held; Add() appends one line followed by CR LF, as a memo's line list
// does, so a text built by Add() has a line break after every line, the last one too.

#include <QString>
#include <QStringList>

class TMemo {
  public:
    [[nodiscard]] const QString& Text() const { return m_text; }
    void SetText(const QString& text) { m_text = text; }
    void Clear() { m_text.clear(); }
    void Add(const QString& line) {
        m_text += line;
        m_text += QStringLiteral("\r\n");
    }
    // The lines, split at CR LF, LF or CR; a final line break adds no empty line.
    [[nodiscard]] QStringList Lines() const;
    // The lines as a memo saves them to a file: each followed by CR LF.
    [[nodiscard]] QString LinesText() const;
    [[nodiscard]] bool IsEmpty() const { return m_text.isEmpty(); }

  private:
    QString m_text;
};
