// vn003-script: runs a scenario against the delivery-note screen without a window.
//   vn003-script [--db FILE] SCRIPT|-
#include "app/runner/ScriptRunner.h"

#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::optional<std::string> database;
    std::optional<std::string> script;
    bool usage = false;
    for (size_t i = 0; i < args.size() && !usage; ++i) {
        if (args[i] == "--db" && i + 1 < args.size() && !database)
            database = args[++i];
        else if (script || (args[i] != "-" && args[i].rfind("--", 0) == 0))
            usage = true;
        else
            script = args[i];
    }
    if (usage || !script) {
        std::cerr << "uso: vn003-script [--db ARCHIVO] GUION|-\n";
        return 2;
    }
    try {
        std::ifstream file;
        if (*script != "-") {
            file.open(*script);
            if (!file)
                throw std::runtime_error("No se puede leer el guion " + *script);
        }
        tesmira::app::ScriptRunner runner(std::cout, database);
        return runner.run(*script == "-" ? std::cin : file);
    } catch (const std::exception& e) {
        std::cerr << "vn003-script: " << e.what() << '\n';
        return 2;
    }
}
