#include "host/services/LoteCapturado.h"

#include "base/Text.h"
#include "base/Value.h"
#include "base/Vb.h"

#include <algorithm>
#include <vector>

namespace tesmira::host {

std::string LoteCapturado::texto() const
{
    return clave + "@" + Value(cantidad1).toString() + "@" + Value(cantidad2).toString() + "@" + caducidad + "@" + "@" +
           fecha + "@";
}

LoteCapturado LoteCapturado::lee(std::string_view pieza)
{
    std::vector<std::string> campos(1);
    for (char ch : pieza) {
        if (ch == '@')
            campos.emplace_back();
        else
            campos.back() += ch;
    }
    campos.resize(std::max<size_t>(campos.size(), 6));
    std::string_view clave = campos[0];
    while (!clave.empty() && clave.front() == ' ')
        clave.remove_prefix(1);
    return {std::string(withoutTrailingBlanks(clave)), vb::val(campos[1]), vb::val(campos[2]), campos[3], campos[5]};
}

} // namespace tesmira::host
