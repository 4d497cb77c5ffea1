#pragma once
// Strict checks of the documents the service receives: the body must be one
// JSON value (RFC 8259, UTF-8) holding exactly the members of the document,
// each once and of its type. A failed check gives the reason for the 400 reply.

#include <string>
#include <string_view>

namespace fake {

struct MovementCheck {
    std::string error; // empty when the document is valid
    std::string numero;
    std::string fecha;
};

// A sale or cancellation movement: "fecha" (date-time text), "numero" (ticket
// number text, "-" for a cancellation), "detalles" (item objects),
// "descuentoTotal", "recargoTotal", "codigoMoneda", "cotizacion", "total",
// "documentoCliente" (text or null), "cancelacion" (boolean), "pagos"
// (payment objects).
[[nodiscard]] MovementCheck checkMovement(std::string_view body);

// A daily closing: "montoVentaLiquida", "cantidadMovimientos" (integer),
// "montoCancelaciones", "cantidadCancelaciones" (integer), "fechaVentas"
// (YYYY-MM-DD). Returns the reason, empty when valid.
[[nodiscard]] std::string checkClosing(std::string_view body);

} // namespace fake
