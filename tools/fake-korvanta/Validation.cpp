#include "Validation.h"

#include <simdjson.h>

#include <regex>
#include <set>
#include <vector>

namespace fake {

namespace {

using simdjson::dom::element;
using simdjson::dom::element_type;

enum class Kind { String, Number, Integer, Boolean, StringOrNull, Objects };

struct Member {
    const char* name;
    Kind kind;
    const std::vector<Member>* items = nullptr; // for Kind::Objects
};

const std::vector<Member> kItem = {
    {"codigoArticulo", Kind::String}, {"codigoBarras", Kind::String}, {"descripcionArticulo", Kind::String},
    {"cantidad", Kind::Number},       {"importeUnitario", Kind::Number}, {"importe", Kind::Number},
    {"descuento", Kind::Number},      {"recargo", Kind::Number},
};

const std::vector<Member> kPayment = {
    {"codigoTipoPago", Kind::Integer},         {"codigoMoneda", Kind::String},
    {"importe", Kind::Number},                 {"cotizacion", Kind::Number},
    {"documentoCliente", Kind::StringOrNull},  {"bin", Kind::StringOrNull},
    {"ultimosDigitosTarjeta", Kind::StringOrNull}, {"numeroAutorizacion", Kind::StringOrNull},
    {"codigoTarjeta", Kind::StringOrNull},
};

const std::vector<Member> kMovement = {
    {"fecha", Kind::String},           {"numero", Kind::String},
    {"detalles", Kind::Objects, &kItem}, {"descuentoTotal", Kind::Number},
    {"recargoTotal", Kind::Number},    {"codigoMoneda", Kind::String},
    {"cotizacion", Kind::Number},      {"total", Kind::Number},
    {"documentoCliente", Kind::StringOrNull}, {"cancelacion", Kind::Boolean},
    {"pagos", Kind::Objects, &kPayment},
};

const std::vector<Member> kClosing = {
    {"montoVentaLiquida", Kind::Number},     {"cantidadMovimientos", Kind::Integer},
    {"montoCancelaciones", Kind::Number},    {"cantidadCancelaciones", Kind::Integer},
    {"fechaVentas", Kind::String},
};

const char* kindText(Kind k) {
    switch (k) {
    case Kind::String: return "a string";
    case Kind::Number: return "a number";
    case Kind::Integer: return "an integer";
    case Kind::Boolean: return "true or false";
    case Kind::StringOrNull: return "a string or null";
    case Kind::Objects: return "an array of objects";
    }
    return "";
}

bool hasKind(const element& v, Kind k) {
    const element_type t = v.type();
    switch (k) {
    case Kind::String: return t == element_type::STRING;
    case Kind::Number: return t == element_type::INT64 || t == element_type::UINT64 || t == element_type::DOUBLE;
    case Kind::Integer: return t == element_type::INT64 || t == element_type::UINT64;
    case Kind::Boolean: return t == element_type::BOOL;
    case Kind::StringOrNull: return t == element_type::STRING || t == element_type::NULL_VALUE;
    case Kind::Objects: return t == element_type::ARRAY;
    }
    return false;
}

// Checks the object's members against the table; where names it in the reason.
std::string checkObject(const element& value, const std::vector<Member>& members, const std::string& where) {
    simdjson::dom::object object;
    if (value.get(object) != simdjson::SUCCESS) return where + " must be an object";
    std::set<std::string, std::less<>> seen;
    for (const auto field : object) {
        const std::string key(field.key);
        const std::string path = where.empty() ? key : where + "." + key;
        if (!seen.insert(key).second) return "member \"" + path + "\" appears twice";
        const Member* m = nullptr;
        for (const auto& candidate : members)
            if (key == candidate.name) m = &candidate;
        if (!m) return "unknown member \"" + path + "\"";
        if (!hasKind(field.value, m->kind)) return "member \"" + path + "\" must be " + kindText(m->kind);
        if (m->kind == Kind::Objects) {
            simdjson::dom::array items;
            if (field.value.get(items) != simdjson::SUCCESS) return "member \"" + path + "\" must be an array";
            size_t i = 0;
            for (const element item : items) {
                const std::string r = checkObject(item, *m->items, path + "[" + std::to_string(i++) + "]");
                if (!r.empty()) return r;
            }
        }
    }
    for (const auto& m : members) {
        if (!seen.count(m.name)) {
            const std::string path = where.empty() ? m.name : where + "." + m.name;
            return "member \"" + path + "\" is missing";
        }
    }
    return {};
}

// Parses the body as one JSON document; empty reason when it parses.
std::string parse(simdjson::dom::parser& parser, std::string_view body, element& root) {
    const auto err = parser.parse(body.data(), body.size()).get(root);
    if (err) return std::string("not valid JSON: ") + simdjson::error_message(err);
    return {};
}

std::string textOf(const element& root, const char* key) {
    return std::string(root[key].get_string().value_unsafe());
}

} // namespace

MovementCheck checkMovement(std::string_view body) {
    MovementCheck c;
    simdjson::dom::parser parser;
    element root;
    c.error = parse(parser, body, root);
    if (c.error.empty()) c.error = checkObject(root, kMovement, "");
    if (!c.error.empty()) return c;
    c.numero = textOf(root, "numero");
    c.fecha = textOf(root, "fecha");
    static const std::regex numero(R"(-?[0-9]+)");
    static const std::regex fecha(
        R"([0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}(\.[0-9]+)?(Z|[+-][0-9]{2}:?[0-9]{2})?)");
    static const std::regex moneda(R"([0-9]{3})");
    if (!std::regex_match(c.numero, numero))
        c.error = "member \"numero\" must be a ticket number, got \"" + c.numero + "\"";
    else if (!std::regex_match(c.fecha, fecha))
        c.error = "member \"fecha\" must be a date-time like 2020-06-10T15:12:00.000-0300, got \"" + c.fecha + "\"";
    else if (!std::regex_match(textOf(root, "codigoMoneda"), moneda))
        c.error = "member \"codigoMoneda\" must be a three-digit currency code";
    else if (root["cancelacion"].get_bool().value_unsafe() != (c.numero[0] == '-'))
        c.error = "member \"cancelacion\" must be true exactly when \"numero\" starts with \"-\"";
    return c;
}

std::string checkClosing(std::string_view body) {
    simdjson::dom::parser parser;
    element root;
    std::string error = parse(parser, body, root);
    if (error.empty()) error = checkObject(root, kClosing, "");
    if (!error.empty()) return error;
    static const std::regex day(R"([0-9]{4}-(0[1-9]|1[0-2])-(0[1-9]|[12][0-9]|3[01]))");
    const std::string fechaVentas = textOf(root, "fechaVentas");
    if (!std::regex_match(fechaVentas, day))
        return "member \"fechaVentas\" must be a day like 2020-06-10, got \"" + fechaVentas + "\"";
    for (const char* count : {"cantidadMovimientos", "cantidadCancelaciones"}) {
        const element v = root[count].value_unsafe();
        if (v.type() == element_type::INT64 && v.get_int64().value_unsafe() < 0)
            return std::string("member \"") + count + "\" must not be negative";
    }
    return {};
}

} // namespace fake
