#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "conversion.h"
#include "file_io.h"
#include "support/recording_shell.h"
#include "support/temp_dir.h"

namespace tessaro::test {

// One section writer run over a rule text written to a temporary file; the
// TYP text it appended comes back as bytes.
struct WriterRun {
    TempDir dir;
    RecordingShell shell;
    AppState state;
    MtRandom random{1};
    WriterRun() { state.typ_path = dir / "out.txt"; }
    // Writes the rule file (none when rules is empty) and runs the writer on it.
    template <typename Writer>
    std::string run(Writer writer, const std::string& rules, const std::string& name = "rules") {
        const std::string path = rules.empty() ? dir / name : dir.write(name, rules);
        Conversion cv(state, shell, random);
        writer(cv, path);
        std::string out = read_bytes(state.typ_path);  // "" when no file was written
        std::filesystem::remove(state.typ_path);
        return out;
    }
};

// Splits at CR LF.
std::vector<std::string> crlf_lines(const std::string& text);

}  // namespace tessaro::test
