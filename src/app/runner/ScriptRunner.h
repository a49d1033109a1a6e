#pragma once
// vn003-script's interpreter: drives the screen as a user would, one command a line, and
// reports to an output stream (message boxes as they happen, prints, FAIL and ERROR lines,
// and the closing "N passed, M failed" line).
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tesmira::host {
class CamposAdicionales;
struct DocumentoImpreso;
struct Entorno;
} // namespace tesmira::host
namespace tesmira::vn003 {
class frmVN003;
}

namespace tesmira::app {

class ScriptRunner {
public:
    // With a database file, works on it (it must exist); without one, on a fresh demo
    // database in a temporary file removed with the runner. Throws Error when the database
    // cannot be opened or created.
    explicit ScriptRunner(std::ostream& out, const std::optional<std::string>& databasePath = std::nullopt);
    // The desktop window runs scripts too: once the script opens the screen, the host shows it
    // and runs its load and activation (instead of the runner) through this, and answers the
    // toolbar's additional fields it installed on the screen.
    using ShowScreen = std::function<host::CamposAdicionales&(vn003::frmVN003&, host::Entorno&)>;
    ScriptRunner(std::ostream& out, const std::string& databasePath, ShowScreen show);
    ~ScriptRunner();
    ScriptRunner(const ScriptRunner&) = delete;
    ScriptRunner& operator=(const ScriptRunner&) = delete;

    // Runs the script to its end or to its first error line. Answers the exit code:
    // 0 all well, 1 an expect failed, 2 a malformed command or an action the screen refused.
    int run(std::istream& script);

    // Opens the screen as `open` does, unless a script already did.
    void ensureOpen();
    // Where printed documents are written.
    std::string outputFolder() const;
    // What the screen printed, in order.
    const std::vector<host::DocumentoImpreso>& printed() const;

    int passed() const;
    int failed() const;

private:
    struct State;
    std::unique_ptr<State> m;
};

} // namespace tesmira::app
