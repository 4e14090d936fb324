#pragma once

#include <new>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "app_state.h"
#include "create_typ.h"
#include "shell.h"
#include "style_drift.h"

namespace tessaro {

// What a Create TYP or a style check is handed, and the messages of what it found.

// What `work` returns; none when it ran out of memory (also a thread that found none for its stack).
template <typename Work>
auto unless_out_of_memory(Work&& work) -> std::optional<decltype(work())> {
    try {
        return work();
    } catch (const std::bad_alloc&) {
    } catch (const std::system_error& e) {
        if (e.code() != std::errc::resource_unavailable_try_again) throw;
    }
    return std::nullopt;
}

// A Create TYP of the state's style, sections, options and TYP text path.
CreateTypRequest create_typ_request(const AppState& state);

// How a run ended, for what the window does next.
enum class RunEnd {
    NotStarted,  // nothing written; the editor's button stays off
    NotWritten,  // the text could not be written
    Incomplete,  // written, but short of what could not be read: to look at only
    Created,
};

// Tells what a run met on its way, in its order, and how it ended. Include files
// left out that were named before (`told`: no rule file includes them) are not named again.
RunEnd tell_report(Shell& shell, const CreateTypReport& report, const std::string& typ_path,
                   const std::vector<std::string>& told = {});

// The problems a style check adds to the preview: what could not be read, and
// where the text and the style differ.
std::vector<std::string> style_check_lines(const StyleTypes& style, const TypDocument& document);

}  // namespace tessaro
