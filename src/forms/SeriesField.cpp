#include "forms/SeriesField.h"

#include "base/SetIfDifferent.h"

namespace tesmira::forms {

void SeriesField::setBranch(std::string branch)
{
    if (setIfDifferent(m_branch, std::move(branch)))
        changed();
}

void SeriesField::setFolio(std::string folio)
{
    if (setIfDifferent(m_folio, std::move(folio)))
        changed();
}

void SeriesField::setSeriesCode(std::string code)
{
    if (setIfDifferent(m_seriesCode, std::move(code)))
        changed();
}

void SeriesField::setSeriesNumber(int32_t number)
{
    if (setIfDifferent(m_seriesNumber, number))
        changed();
}

bool SeriesField::Valida()
{
    m_lastError.clear();
    if (!validationHook) {
        m_lastError = "No hay validación de series disponible";
        return false;
    }
    std::string error;
    if (validationHook(*this, error))
        return true;
    m_lastError = error.empty() ? "La serie no es válida" : std::move(error);
    return false;
}

} // namespace tesmira::forms
