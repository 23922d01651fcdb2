// The path named by text dropped on a viewer or on the main window's browsing area.
#pragma once
#include <string>

/// File managers drop "file://" + path + line break; other sources drop a bare path.
/// Returns the path: the "file://" prefix removed (and then its %XX escapes decoded, as
/// URIs carry them), and as many characters dropped from the end as the text holds
/// carriage returns and line feeds.
std::string dropped_text_to_path(const std::string& text);
