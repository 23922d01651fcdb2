// Lines of the information and statistics browsers: a bold label column and a value
// column, in the toolkit browser's formatting codes, with outside text made harmless.
#pragma once
#include <cstdint>
#include <string>

/// The text with every control character (tab, line end, ...) replaced by a space: in a
/// browser line a tab would open a new column, whose leading '@' codes the browser would
/// obey, and a line end would draw over the next line. A '@' inside the value is shown
/// as it stands, since the browser reads codes only at the start of a column.
std::string browser_safe(const std::string& text);

/// "@b@S12" + label + ":\t@S12 " + value, the value made browser_safe.
std::string info_line(const std::string& label, const std::string& value);

/// A file size for the "Size" line: below 1 MiB in KB, otherwise in MB, with 3
/// significant digits in the stream's default notation ("117 KB", "2.5 MB", "1e+03 KB").
std::string file_size_text(uint64_t bytes);
