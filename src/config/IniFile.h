#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorelle {

// A configuration file of "[Section]" headers and "key=value" lines, read and
// changed one key at a time while every other line, comment, blank and line
// end stays exactly as it was. Names of sections and keys match in any case,
// as Windows reads them; the first of two equal keys counts. A value is
// trimmed, and one pair of double quotes around it is taken off, so a value
// with blanks at either end is written quoted.
class IniFile {
public:
    explicit IniFile(std::string_view text = {});

    std::string Text() const;

    std::optional<std::string> Value(std::string_view section, std::string_view key) const;

    // Changes the key's value in place, or adds the key at the end of its
    // section, or the section at the end of the file. A value with a line
    // break cannot be kept in such a file: false, and nothing changes.
    bool Set(std::string_view section, std::string_view key, std::string_view value);

private:
    struct Line {
        std::string text;  // without its line end
        std::string end;   // "\n", "\r\n" or "" (the last line)
    };
    struct Position {
        std::size_t sectionEnd;         // one past the section's last key or header
        std::optional<std::size_t> key; // the key's line
    };

    std::optional<Position> Find(std::string_view section, std::string_view key) const;
    std::string NewLineEnd() const;

    std::vector<Line> lines_;
};

// A switch's value: 1, true, yes or on; 0, false, no or off; in any case.
// None for any other text.
std::optional<bool> ReadIniSwitch(std::string_view text);

// Reads a whole file; a file that does not exist reads as empty. False with
// the system's reason when it exists but cannot be read.
bool ReadTextFile(const std::filesystem::path& file, std::string& text, std::string& error);

// Writes `text` as the whole of `file`, with the permissions `mode`, as
// WholeFileWriter does. False with the system's reason when it cannot;
// `file` is then unchanged.
bool WriteTextFileWhole(const std::filesystem::path& file, std::string_view text, std::filesystem::perms mode,
                        std::string& error);

}  // namespace vorelle
