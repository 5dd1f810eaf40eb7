#include "config/IniFile.h"

#include "config/WholeFile.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

namespace vorelle {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsIniBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && IsIniBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsIniBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

std::string_view WithoutMark(std::string_view text)
{
    return text.starts_with(kByteOrderMark) ? text.substr(kByteOrderMark.size()) : text;
}

// The name of a "[Section]" line.
std::optional<std::string_view> SectionOf(std::string_view line)
{
    line = Trimmed(WithoutMark(line));
    if (!line.starts_with('['))
        return std::nullopt;
    const std::size_t close = line.find(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    return Trimmed(line.substr(1, close - 1));
}

// The key of a "key=value" line; none for comments and other lines.
std::optional<std::string_view> KeyOf(std::string_view line)
{
    line = Trimmed(line);
    if (line.empty() || line.front() == ';' || line.front() == '#')
        return std::nullopt;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos)
        return std::nullopt;
    return Trimmed(line.substr(0, equals));
}

std::string_view ValueOf(std::string_view line)
{
    std::string_view value = Trimmed(line.substr(line.find('=') + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.substr(1, value.size() - 2);
    return value;
}

std::string Encoded(std::string_view value)
{
    const bool quoted = !value.empty() && (IsIniBlank(value.front()) || IsIniBlank(value.back()) ||
                                           (value.size() >= 2 && value.front() == '"' && value.back() == '"'));
    return quoted ? "\"" + std::string(value) + "\"" : std::string(value);
}

std::string SystemReason(const std::filesystem::path& file, int error)
{
    return file.string() + ": " + std::strerror(error);
}

}  // namespace

IniFile::IniFile(std::string_view text)
{
    while (!text.empty()) {
        const std::size_t newline = text.find('\n');
        std::string_view line = text.substr(0, newline);
        std::string end;
        if (newline != std::string_view::npos) {
            end = "\n";
            if (line.ends_with('\r')) {
                line.remove_suffix(1);
                end = "\r\n";
            }
            text.remove_prefix(newline + 1);
        } else {
            text = {};
        }
        lines_.push_back({std::string(line), std::move(end)});
    }
}

std::string IniFile::Text() const
{
    std::string text;
    for (const Line& line : lines_)
        text += line.text + line.end;
    return text;
}

std::optional<IniFile::Position> IniFile::Find(std::string_view section, std::string_view key) const
{
    std::optional<Position> found;
    bool inSection = false;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (const std::optional<std::string_view> name = SectionOf(lines_[i].text)) {
            // Only the first section of the name counts.
            if (found)
                break;
            inSection = SameName(*name, section);
            if (inSection)
                found = Position{i + 1, std::nullopt};
            continue;
        }
        const std::optional<std::string_view> lineKey = KeyOf(lines_[i].text);
        if (!inSection || !lineKey)
            continue;
        found->sectionEnd = i + 1;
        if (!found->key && SameName(*lineKey, key))
            found->key = i;
    }
    return found;
}

std::string IniFile::NewLineEnd() const
{
    return !lines_.empty() && lines_.front().end == "\r\n" ? "\r\n" : "\n";
}

std::optional<std::string> IniFile::Value(std::string_view section, std::string_view key) const
{
    const std::optional<Position> at = Find(section, key);
    if (!at || !at->key)
        return std::nullopt;
    return std::string(ValueOf(lines_[*at->key].text));
}

bool IniFile::Set(std::string_view section, std::string_view key, std::string_view value)
{
    if (value.find_first_of("\r\n") != std::string_view::npos)
        return false;
    const std::string entry = std::string(key) + "=" + Encoded(value);
    const std::optional<Position> at = Find(section, key);
    if (at && at->key) {
        std::string& text = lines_[*at->key].text;
        const std::size_t equals = text.find('=');
        const std::size_t valueStart = text.find_first_not_of(" \t", equals + 1);
        text = text.substr(0, valueStart == std::string::npos ? equals + 1 : valueStart) + Encoded(value);
        return true;
    }
    const std::string end = NewLineEnd();
    if (!lines_.empty() && lines_.back().end.empty())
        lines_.back().end = end;
    if (at) {
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at->sectionEnd), Line{entry, end});
        return true;
    }
    if (!lines_.empty() && !Trimmed(lines_.back().text).empty())
        lines_.push_back({"", end});
    lines_.push_back({"[" + std::string(section) + "]", end});
    lines_.push_back({entry, end});
    return true;
}

std::optional<bool> ReadIniSwitch(std::string_view text)
{
    for (const char* on : {"1", "true", "yes", "on"})
        if (SameName(text, on))
            return true;
    for (const char* off : {"0", "false", "no", "off"})
        if (SameName(text, off))
            return false;
    return std::nullopt;
}

bool ReadTextFile(const std::filesystem::path& file, std::string& text, std::string& error)
{
    std::error_code missing;
    if (!std::filesystem::exists(file, missing) && !missing) {
        text.clear();
        return true;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        error = SystemReason(file, errno);
        return false;
    }
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        error = SystemReason(file, errno);
        return false;
    }
    return true;
}

bool WriteTextFileWhole(const std::filesystem::path& file, std::string_view text, std::filesystem::perms mode,
                        std::string& error)
{
    WholeFileWriter writer(file);
    if (writer.Write(text) && writer.Commit(mode))
        return true;
    error = writer.Error();
    return false;
}

}  // namespace vorelle
