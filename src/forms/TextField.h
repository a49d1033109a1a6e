#pragma once
// The in-house text field (txtKiv): text plus a typed value, a code format, look-up and
// description queries. The queries are only stored here: the host runs them.
#include "forms/Control.h"

namespace tesmira::forms {

class TextField : public Control {
public:
    // How value() reads the text and setValue() writes it.
    enum class Kind { Text, Number, Date };

    using Control::Control;

    const std::string& text() const { return m_text; }
    // Code and user alike: onChange fires only when the text actually changes.
    void setText(std::string text);

    Kind kind() const { return m_kind; }
    void setKind(Kind kind) { m_kind = kind; }
    // Display format of a Number field's value (a Format pattern; empty: as CStr).
    const std::string& numberFormat() const { return m_numberFormat; }
    void setNumberFormat(std::string pattern) { m_numberFormat = std::move(pattern); }
    // Text: the text. Number: the text read back (formatted text included), empty text
    // as null (reads as 0), unreadable text as VB's Val would. Date: the dd-mm-yyyy or ISO
    // date, null when empty; unreadable text throws Error.
    Value value() const;
    // Writes the value as text (through numberFormat for numbers, dd-mm-yyyy for dates).
    void setValue(const Value& v);

    // Code format (mask) applied to what the user types and confirms; see vb::formatCode.
    const std::string& codeFormat() const { return m_codeFormat; }
    void setCodeFormat(std::string mask) { m_codeFormat = std::move(mask); }
    // Typing limit in characters (UTF-8 aware); 0 = none. Code is not limited.
    int maxLength() const { return m_maxLength; }
    void setMaxLength(int n) { m_maxLength = n < 0 ? 0 : n; }

    // SQL listing CLAVE, DESCRIPCION for the pick list.
    std::string lookupQuery;
    // The host installs this to show the look-up list; it answers the chosen key, "" when none.
    std::function<std::string(TextField&)> lookupHook;
    // F2 (or the look-up of a desktop): the host's list, then the chosen key typed and
    // confirmed as the user would. Nothing without a query or a hook; throws Error, as the
    // other user actions do, when the field cannot take input.
    void userLookup();
    // Names the catalogue (as "la sucursal") whose look-up must list a key the user types;
    // empty: any text is taken. Code setting the text is never checked.
    std::string keyCatalog;
    // The host installs this: true when the look-up lists the key; otherwise it tells the
    // user why and answers false, and the field keeps the text it had.
    std::function<bool(TextField&, const std::string& key)> keyCheckHook;
    // Description query, '?' standing for the key, and the field that shows its result.
    std::string sql;
    std::string sqlControlResultado;
    // The host installs this to run the description query into sqlControlResultado; it runs
    // on refresh() and whenever the text changes, before onChange.
    std::function<void(TextField&)> refreshHook;
    void refresh();

    std::function<void()> onChange;
    std::function<void()> onEnter;
    std::function<void()> onLeave;

    // The user replaces the text: cut to maxLength, code format applied, the key checked
    // against its catalogue (see keyCatalog), then setText.
    // Throws Error when the field is disabled, hidden or locked.
    void userType(std::string_view text);
    // F2 opens the look-up after the key events.
    void userKey(int key, int shift) override;
    // The user confirms: the code format is applied to the text, then onEnter.
    void userEnter();
    void userLeave();

    std::string shownText() const override { return m_text; }
    Value shownValue() const override;

private:
    std::string m_text;
    Kind m_kind = Kind::Text;
    std::string m_numberFormat;
    std::string m_codeFormat;
    int m_maxLength = 0;
};

} // namespace tesmira::forms
