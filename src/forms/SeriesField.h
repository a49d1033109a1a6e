#pragma once
// The invoice-series control (SerieKiv): the branch whose series it lists and the series
// the user picked. Checking the series needs the database, so Valida() asks a hook the
// host installs.
#include "forms/Control.h"

#include <cstdint>

namespace tesmira::forms {

class SeriesField : public Control {
public:
    using Control::Control;

    const std::string& branch() const { return m_branch; }
    void setBranch(std::string branch);
    // The invoice folio text as shown, the series code and the series number.
    const std::string& folio() const { return m_folio; }
    void setFolio(std::string folio);
    const std::string& seriesCode() const { return m_seriesCode; }
    void setSeriesCode(std::string code);
    int32_t seriesNumber() const { return m_seriesNumber; }
    void setSeriesNumber(int32_t number);

    // Answers whether the series may be used now; on false it sets the error text.
    std::function<bool(SeriesField&, std::string& error)> validationHook;
    // True when the hook accepts; without a hook the series cannot be checked: false.
    bool Valida();
    const std::string& lastError() const { return m_lastError; }

    std::string shownText() const override { return m_folio; }

private:
    std::string m_branch, m_folio, m_seriesCode, m_lastError;
    int32_t m_seriesNumber = 0;
};

} // namespace tesmira::forms
