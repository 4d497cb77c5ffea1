// Benchmark of JsonToDataset against a bare simdjson walk of the same document.
//
//   json_adapter [repetitions=20] [megabytes=5]
//
// Generates a promotions array like the service's (nested "detalles" with
// conditions, benefits and articles), fills tblJson1 with it N times, and
// walks the same document N times with a bare on-demand loop that visits
// every member at every level (strings unescaped, numbers as raw text).
// Prints the fastest pass of each in thread CPU time and their ratio; the
// goal is adapter/bare <= 3. The last line, "RESULT json_adapter key=value ...",
// holds the figures for scripts/bench.

#include "support/JsonTables.h"
#include "support/JsonToDataset.h"

#include <QString>

#include <simdjson.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <ctime>

namespace {

namespace od = simdjson::ondemand;

// Small deterministic generator, so every run measures the same document.
struct Random {
    std::uint64_t state = 0x9E3779B97F4A7C15ULL;
    std::uint32_t next() {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return static_cast<std::uint32_t>(state >> 11);
    }
    int between(int lo, int hi) { return lo + static_cast<int>(next() % static_cast<std::uint32_t>(hi - lo + 1)); }
};

const char* const kWords[] = {"Café", "Leite", "Pão", "Açúcar", "Arroz", "Feijão", "Sabão", "Óleo", "Macarrão",
                              "Biscoito", "Chá", "Suco", "Água", "Manteiga", "Queijo", "Presunto"};
const char* const kKinds[] = {"Descuento_Fijo", "Precio_fijo", "Lleva_paga", "Adicional_descuento",
                              "Adicional_regalo", "Descuento_Variable"};

std::string words(Random& r, int count) {
    std::string s;
    for (int i = 0; i < count; ++i) {
        if (i) s += ' ';
        s += kWords[r.next() % std::size(kWords)];
    }
    return s;
}

std::string articles(Random& r) {
    std::string s = "[";
    const int n = r.between(1, 12);
    for (int i = 0; i < n; ++i) {
        if (i) s += ',';
        s += R"({"nombre":")" + words(r, r.between(1, 4)) + " " + std::to_string(r.between(100, 999)) +
             R"( g","codigoBarras":"789)" + std::to_string(1000000000 + r.next() % 899999999) + R"("})";
    }
    return s + "]";
}

std::string groups(Random& r) {
    std::string s = R"({"grupos":[)";
    const int n = r.between(1, 2);
    for (int i = 0; i < n; ++i) {
        if (i) s += ',';
        s += R"({"articulos":)" + articles(r) + R"(,"cantidad":)" + std::to_string(r.between(1, 6)) + "}";
    }
    return s + "]}";
}

std::string promotion(Random& r, int id) {
    const int month = r.between(1, 12);
    char from[64];
    char to[64];
    std::snprintf(from, sizeof from, "2024-%02d-%02dT08:00:00.000-03:00", month, r.between(1, 28));
    std::snprintf(to, sizeof to, "2024-%02d-%02dT23:59:59.000-03:00", std::min(12, month + 1), r.between(1, 28));
    std::string s = "{\n  \"id\": " + std::to_string(id);
    s += ",\n  \"titulo\": \"" + words(r, r.between(2, 6)) + " \\\"oferta\\\"\"";
    s += ",\n  \"descripcion\": \"" + words(r, r.between(3, 12)) + "\"";
    s += ",\n  \"tipo\": \"" + std::string(kKinds[r.next() % std::size(kKinds)]) + "\"";
    s += ",\n  \"autor\": {\"nombre\": \"" + words(r, 2) + "\"}";
    s += ",\n  \"vigenciaDesde\": \"" + std::string(from) + "\"";
    s += ",\n  \"vigenciaHasta\": \"" + std::string(to) + "\"";
    s += ",\n  \"limitePromocionesPorTicket\": " + (r.next() % 4 == 0 ? std::string("null") : std::to_string(r.between(1, 9)));
    s += ",\n  \"detalles\": {\"condiciones\": " + groups(r) + ", \"beneficios\": " + groups(r);
    s += ", \"precio\": " + std::to_string(r.between(1, 9999)) + "." + std::to_string(r.between(10, 99));
    s += ", \"descuento\": " + std::to_string(r.between(0, 50)) + ", \"paga\": " + std::to_string(r.between(1, 5)) + "}";
    s += ",\n  \"activa\": true\n}";
    return s;
}

std::string promotionsArray(std::size_t bytes, int& count) {
    Random r;
    std::string doc = "[";
    count = 0;
    while (doc.size() < bytes) {
        if (count) doc += ",\n";
        doc += promotion(r, 1000 + count);
        ++count;
    }
    return doc + "]";
}

// The bare walk: every value at every level; returns a checksum.
std::size_t walk(od::value value) {
    switch (value.type()) {
    case od::json_type::object: {
        std::size_t sum = 0;
        for (auto field : value.get_object()) {
            sum += std::string_view(field.unescaped_key()).size();
            sum += walk(field.value());
        }
        return sum;
    }
    case od::json_type::array: {
        std::size_t sum = 0;
        for (auto element : value.get_array()) sum += walk(element.value());
        return sum;
    }
    case od::json_type::string: return std::string_view(value.get_string()).size();
    case od::json_type::number: return value.raw_json_token().size();
    case od::json_type::boolean: return bool(value.get_bool()) ? 1 : 0;
    case od::json_type::null: return value.is_null() ? 0 : 1;
    }
    return 0;
}

double cpuMilliseconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

// Like the adapter, the bare walk reuses its parser between passes.
std::size_t bareWalk(const std::string& json) {
    static od::parser parser;
    const simdjson::padded_string padded(json);
    od::document doc = parser.iterate(padded);
    std::size_t sum = 0;
    for (auto element : doc.get_array()) sum += walk(element.value());
    return sum;
}

}  // namespace

int main(int argc, char** argv) {
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    const int megabytes = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    try {
        int count = 0;
        const std::string json = promotionsArray(static_cast<std::size_t>(megabytes) * 1024 * 1024, count);
        const QString text = QString::fromStdString(json);
        const QByteArray utf8 = QByteArray::fromStdString(json);
        std::unique_ptr<TMemTable> table(newPromotionsTable());
        std::printf("document: %d promotions, %.2f MB UTF-8; %d passes each\n"
                    "simdjson: stage 1 kernel %s, on-demand walk kernel %s\n",
                    count, static_cast<double>(json.size()) / (1024.0 * 1024.0), repetitions,
                    simdjson::get_active_implementation()->name().c_str(),
                    simdjson::builtin_implementation()->name().c_str());

        // One pass of each before timing: first-touch allocations, caches.
        JsonToDataset(*table, text);
        if (table->RecordCount() != count) {
            std::fprintf(stderr, "tblJson1 holds %d rows, expected %d\n", table->RecordCount(), count);
            return 1;
        }
        std::size_t checksum = bareWalk(json);

        // The passes alternate, so a busy machine slows both alike; each
        // figure is the fastest pass (least disturbed) in thread CPU time.
        double bare = 1e300, adapter = 1e300, adapterUtf8 = 1e300;
        for (int i = 0; i < repetitions; ++i) {
            double start = cpuMilliseconds();
            checksum += bareWalk(json);
            bare = std::min(bare, cpuMilliseconds() - start);

            start = cpuMilliseconds();
            table->Close();  // as every caller does before a refill
            JsonToDataset(*table, text);
            adapter = std::min(adapter, cpuMilliseconds() - start);

            start = cpuMilliseconds();
            table->Close();
            JsonToDatasetUtf8(*table, utf8);
            adapterUtf8 = std::min(adapterUtf8, cpuMilliseconds() - start);
        }

        std::printf("bare on-demand walk          : %8.2f ms (checksum %zu)\n", bare, checksum);
        std::printf("JsonToDataset (QString text) : %8.2f ms  ratio %.2f\n", adapter, adapter / bare);
        std::printf("JsonToDatasetUtf8 (bytes)    : %8.2f ms  ratio %.2f\n", adapterUtf8, adapterUtf8 / bare);
        std::printf("goal: adapter/bare <= 3 -> %s\n", adapter / bare <= 3.0 ? "met" : "NOT met");
        std::printf("RESULT json_adapter promotions=%d megabytes=%.2f passes=%d bare_ms=%.2f adapter_ms=%.2f "
                    "adapter_utf8_ms=%.2f ratio=%.3f ratio_utf8=%.3f\n",
                    count, static_cast<double>(json.size()) / (1024.0 * 1024.0), repetitions, bare, adapter,
                    adapterUtf8, adapter / bare, adapterUtf8 / bare);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "json_adapter: %s\n", e.what());
        return 1;
    }
}
