#pragma once
// The whole-job floor's movement document: a plain string builder that writes
// a sale's movement document member by member into one std::string, one
// member a line (each line ended by CR LF), amounts with two decimals; the
// same members and rules as the program's document (item discounts, change
// taken from the first payment that exceeds it, payment kinds by name).

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace bench {

struct PlainItem {
    std::string code, barcode, name; // in the database's character set (WIN1252)
    double quantity = 0, unitPrice = 0, total = 0, discount = 0;
};

struct PlainSale {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    long number = 0;
    double discount = 0, surcharge = 0, total = 0, change = 0;
    std::string customer; // empty: null
    std::string payments; // "name^amount" lines; empty: one line cashForm^total
    std::string cashForm;
    std::vector<PlainItem> items;
};

class MovementWriter {
  public:
    // The document of `s`, valid until the next call.
    const std::string& write(const PlainSale& s) {
        d.clear();
        char moment[48];
        std::snprintf(moment, sizeof moment, "\"%04d-%02d-%02dT%02d:%02d:%02d.000-0300\"", s.year, s.month, s.day,
                      s.hour, s.minute, s.second);
        line("{");
        member("fecha", moment);
        member("numero", "\"" + std::to_string(s.number) + "\"");
        line("\"detalles\":[");
        double itemDiscounts = 0;
        const char* separator = "";
        for (const PlainItem& i : s.items) {
            const bool discounted = i.discount > 0;
            d += separator;
            line("{");
            member("codigoArticulo", quoted(i.code));
            member("codigoBarras", quoted(i.barcode));
            member("descripcionArticulo", quoted(i.name));
            member("cantidad", quantity(i.quantity));
            member("importeUnitario", amount(discounted ? round2(round2(i.total + i.discount) / i.quantity) : i.unitPrice));
            member("importe", amount(i.total));
            member("descuento", amount(discounted ? i.discount : 0));
            member("recargo", "0.00", false);
            line("}");
            if (discounted) itemDiscounts = round2(itemDiscounts + i.discount);
            separator = ",";
        }
        line("],");
        member("descuentoTotal", amount(s.discount + itemDiscounts));
        member("recargoTotal", amount(s.surcharge));
        member("codigoMoneda", "\"986\"");
        member("cotizacion", "1.00");
        member("total", amount(s.total));
        member("documentoCliente", s.customer.empty() ? std::string("null") : quoted(s.customer));
        member("cancelacion", "false");
        line("\"pagos\":[");
        payments(s);
        line("]");
        line("}");
        return d;
    }

  private:
    void payments(const PlainSale& s) {
        const std::string lines = s.payments.find_first_not_of(" \r\n") == std::string::npos
                                      ? s.cashForm + "^" + amount(s.total)
                                      : s.payments;
        double change = s.change;
        const char* separator = "";
        size_t start = 0;
        while (start < lines.size()) {
            size_t end = lines.find_first_of("\r\n", start);
            if (end == std::string::npos) end = lines.size();
            const std::string_view payment(lines.data() + start, end - start);
            start = end + 1;
            if (payment.find_first_not_of(' ') == std::string_view::npos) continue;
            const size_t caret = payment.find('^');
            const std::string_view name = payment.substr(0, caret);
            std::string text(caret == std::string_view::npos ? std::string_view() : payment.substr(caret + 1));
            for (char& c : text)
                if (c == ',') c = '.';
            double value = std::strtod(text.c_str(), nullptr);
            if (change > 0 && change < value) {
                value = round2(value - change);
                change = 0;
            }
            d += separator;
            line("{");
            member("codigoTipoPago", std::to_string(paymentKind(name)));
            member("codigoMoneda", "\"986\"");
            member("importe", amount(value));
            member("cotizacion", "1.00");
            member("documentoCliente", "null");
            member("bin", "null");
            member("ultimosDigitosTarjeta", "null");
            member("numeroAutorizacion", "null");
            member("codigoTarjeta", "null", false);
            line("}");
            separator = ",";
        }
    }

    static int paymentKind(std::string_view name) {
        std::string lower(name);
        for (char& c : lower) c = char(std::tolower(static_cast<unsigned char>(c)));
        const auto has = [&lower](const char* word) { return lower.find(word) != std::string::npos; };
        if (has("credito") || has("cr\xe9" "dito") || has("10")) return 10;
        if (has("debito") || has("d\xe9" "bito") || has("13")) return 13;
        if (has("cheque") || has("11")) return 11;
        return 9;
    }

    void line(std::string_view text) {
        d += text;
        d += "\r\n";
    }
    void member(const char* name, std::string_view value, bool comma = true) {
        d += '"';
        d += name;
        d += "\":";
        d += value;
        if (comma) d += ',';
        d += "\r\n";
    }

    static double round2(double v) { return std::round(v * 100 + (v >= 0 ? 1e-9 : -1e-9)) / 100; }
    static std::string amount(double v) {
        char text[32];
        std::snprintf(text, sizeof text, "%.2f", round2(v));
        return text;
    }
    static std::string quantity(double v) {
        char text[32];
        std::snprintf(text, sizeof text, "%.3f", v);
        std::string q(text);
        q.erase(q.find_last_not_of('0') + 1);
        if (q.back() == '.') q.pop_back();
        return q;
    }
    // A JSON string of WIN1252 bytes (taken as Latin-1), in UTF-8.
    static std::string quoted(std::string_view bytes) {
        std::string q = "\"";
        for (const char ch : bytes) {
            const auto c = static_cast<unsigned char>(ch);
            if (c == '"' || c == '\\') {
                q += '\\';
                q += char(c);
            } else if (c < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", c);
                q += escape;
            } else if (c >= 0x80) {
                q += char(0xC0 | (c >> 6));
                q += char(0x80 | (c & 0x3F));
            } else {
                q += char(c);
            }
        }
        return q + '"';
    }

    std::string d;
};

} // namespace bench
