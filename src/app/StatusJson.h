#pragma once
// The status report as one JSON object (--status --json), written by a small
// writer that keeps the members in the order given. The members are listed in
// the README, section "Monitoring".

#include "app/StatusFigures.h"
#include "app/StatusVerdict.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace status {

// Writes JSON text in UTF-8, compact, the commas placed by the writer.
//   JsonWriter w; w.beginObject().key("a").number(1).endObject();  // {"a":1}
class JsonWriter {
  public:
    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray();
    JsonWriter& endArray();
    JsonWriter& key(const QString& name);
    JsonWriter& string(const QString& text);
    JsonWriter& number(qint64 value);
    JsonWriter& boolean(bool value);
    JsonWriter& null();
    [[nodiscard]] const QByteArray& bytes() const { return m_out; }

  private:
    void beforeValue();
    void quoted(const QString& text);

    QByteArray m_out;
    std::vector<bool> m_first; // per open container: nothing written in it yet
    bool m_afterKey = false;
};

// The report; one line, ended by a line feed.
[[nodiscard]] QByteArray reportJson(const Report& report, const Verdict& verdict,
                                    const Thresholds& thresholds);

} // namespace status
