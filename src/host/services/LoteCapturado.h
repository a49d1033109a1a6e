#pragma once
// One lot as a grid cell carries it to the note writer: "LOT@qty1@qty2@expiry@@date@", the
// quantities in control units 1 and 2, dates as the screen shows them. A cell may join
// several with "|"; a bare key ("L-2601") is a lot whose quantities the line itself gives.
#include <string>
#include <string_view>

namespace tesmira::host {

struct LoteCapturado {
    std::string clave;
    double cantidad1 = 0;
    double cantidad2 = 0;
    std::string caducidad;
    std::string fecha;

    std::string texto() const;
    // Missing fields read as empty or 0; the key loses its surrounding blanks.
    static LoteCapturado lee(std::string_view pieza);
};

} // namespace tesmira::host
