#include "Journal.h"

#include "JsonText.h"

#include <QDateTime>
#include <QString>

#include <stdexcept>

namespace fake {

namespace {

// Now in UTC as 2024-01-31T12:34:56.789Z.
std::string utcNow() {
    return QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs).toStdString();
}

// Bytes as ISO-8859-1 text, written in UTF-8.
std::string latin1(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), qsizetype(bytes.size())).toStdString();
}

// UTF-8 text as it is; other bytes read as ISO-8859-1.
std::string text(const std::string& bytes) {
    return isUtf8(bytes) ? bytes : latin1(bytes);
}

} // namespace

Journal::Journal(const std::string& path) {
    if (path.empty()) return;
    m_file = std::fopen(path.c_str(), "ab");
    if (!m_file) throw std::runtime_error("cannot open the journal file " + path);
}

Journal::~Journal() {
    if (m_file) std::fclose(m_file);
}

void Journal::freeze() {
    m_mutex.lock(); // never unlocked: the process is ending
}

void Journal::write(const JournalEntry& e) {
    if (!m_file) return;
    std::string line = "{\"time\":" + jsonQuote(utcNow()) + ",\"connection\":" + std::to_string(e.connection) +
                       ",\"method\":" + jsonQuote(e.method) + ",\"path\":" + jsonQuote(text(e.path)) +
                       ",\"target\":" + jsonQuote(text(e.target)) + ",\"headers\":[";
    for (size_t i = 0; i < e.headers.size(); ++i) {
        if (i) line += ',';
        const auto& [name, value] = e.headers[i];
        line += '[' + jsonQuote(name) + ',' + jsonQuote(latin1(value)) + ']';
    }
    line += "],";
    line += isUtf8(e.body) ? "\"body\":" + jsonQuote(e.body) : "\"bodyBase64\":" + jsonQuote(base64(e.body));
    line += ",\"endpoint\":" + jsonQuote(e.endpoint) + ",\"status\":" + std::to_string(e.status) +
            ",\"reason\":" + jsonQuote(e.reason) + "}\n";
    const std::lock_guard<std::mutex> lock(m_mutex);
    std::fwrite(line.data(), 1, line.size(), m_file);
    std::fflush(m_file);
}

} // namespace fake
