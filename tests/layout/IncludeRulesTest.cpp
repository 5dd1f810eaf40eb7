// The house rules of the source tree: dependencies point one way (nothing but
// the program includes the program's folder) and the core library stays plain
// C++ that builds and runs without Qt.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vorelle {
namespace {

namespace fs = std::filesystem;

const fs::path kSourceRoot = fs::path(VORELLE2_SOURCE_DIR) / "src";

std::vector<std::string> Lines(const fs::path& file)
{
    std::ifstream in(file);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The project headers a file includes ("folder/Name.h"), and the system
// headers (<...>).
struct Includes {
    std::vector<std::string> project;
    std::vector<std::string> system;
};

std::string_view WithoutLeadingBlanks(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    return text;
}

// Read by hand rather than with <regex>, whose std::function members g++ 12
// warns about under AddressSanitizer, which fails the sanitizer build.
Includes IncludesOf(const fs::path& file)
{
    constexpr std::string_view kInclude = "include";
    Includes found;
    for (const std::string& line : Lines(file)) {
        std::string_view rest = WithoutLeadingBlanks(line);
        if (!rest.starts_with('#'))
            continue;
        rest = WithoutLeadingBlanks(rest.substr(1));
        if (!rest.starts_with(kInclude))
            continue;
        rest = WithoutLeadingBlanks(rest.substr(kInclude.size()));
        const char close = rest.starts_with('"') ? '"' : rest.starts_with('<') ? '>' : '\0';
        const std::size_t end = close ? rest.find(close, 1) : std::string_view::npos;
        if (end == std::string_view::npos || end == 1)
            continue;
        (close == '"' ? found.project : found.system).emplace_back(rest.substr(1, end - 1));
    }
    return found;
}

bool IsQtHeader(const std::string& header)
{
    return (header.size() > 1 && header[0] == 'Q' && std::isupper(static_cast<unsigned char>(header[1]))) ||
           header.rfind("Qt", 0) == 0 || header.rfind("qt", 0) == 0;
}

std::vector<fs::path> SourceFiles()
{
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(kSourceRoot)) {
        const std::string extension = entry.path().extension().string();
        if (entry.is_regular_file() && (extension == ".h" || extension == ".cpp"))
            files.push_back(entry.path());
    }
    return files;
}

TEST(IncludeRulesTest, OnlyTheProgramIncludesTheProgramsFolder)
{
    const std::size_t filesChecked = SourceFiles().size();
    ASSERT_GT(filesChecked, 50u) << "the source tree was not found at " << kSourceRoot;
    for (const fs::path& file : SourceFiles()) {
        const fs::path folder = fs::relative(file, kSourceRoot).begin()->string();
        if (folder == "app")
            continue;
        for (const std::string& header : IncludesOf(file).project)
            EXPECT_NE(header.rfind("app/", 0), 0u) << fs::relative(file, kSourceRoot) << " includes " << header;
    }
}

// Folders that depend on another only one way round: the stores know nothing
// of the card's recordings or of the graph, and the graph reads the store,
// never the card's recordings.
TEST(IncludeRulesTest, TheGraphAndTheStoreNeverIncludeTheCardsRecordings)
{
    const std::pair<std::string, std::string> forbidden[] = {
        {"graph", "recordings/"}, {"store", "recordings/"}, {"store", "graph/"}};
    for (const fs::path& file : SourceFiles()) {
        const std::string folder = fs::relative(file, kSourceRoot).begin()->string();
        for (const auto& [from, to] : forbidden) {
            if (folder != from)
                continue;
            for (const std::string& header : IncludesOf(file).project)
                EXPECT_NE(header.rfind(to, 0), 0u) << fs::relative(file, kSourceRoot) << " includes " << header;
        }
    }
}

// Calls `check` with each file `file` reaches through project headers,
// however deep (itself first), and what that file includes.
void ForEachReached(const fs::path& file, std::set<fs::path>& seen,
                    const std::function<void(const fs::path&, const Includes&)>& check)
{
    if (!seen.insert(file).second)
        return;
    const Includes includes = IncludesOf(file);
    check(file, includes);
    for (const std::string& header : includes.project)
        if (fs::exists(kSourceRoot / header))
            ForEachReached(kSourceRoot / header, seen, check);
}

// Catches a Qt header reached through a helper header too.
void CheckPlainCpp(const fs::path& file, std::set<fs::path>& seen, const fs::path& origin)
{
    ForEachReached(file, seen, [&](const fs::path& through, const Includes& includes) {
        for (const std::string& header : includes.system)
            EXPECT_FALSE(IsQtHeader(header)) << origin << " reaches Qt through " << through << " (<" << header << ">)";
        for (const std::string& header : includes.project)
            EXPECT_NE(header.rfind("ui_", 0), 0u) << origin << " reaches a form through " << through;
    });
}

// The program and its dialogs talk to a console through its door and never
// know the simulator: the door's folder alone builds it.
TEST(IncludeRulesTest, TheProgramAndTheDialogsNeverReachTheSimulator)
{
    for (const fs::path& file : SourceFiles()) {
        const fs::path relative = fs::relative(file, kSourceRoot);
        if (relative.begin()->string() != "app" && !file.stem().string().ends_with("Dialog"))
            continue;
        std::set<fs::path> seen;
        ForEachReached(file, seen, [&](const fs::path& through, const Includes& includes) {
            for (const std::string& header : includes.project)
                EXPECT_NE(header.rfind("sim/", 0), 0u) << relative << " reaches " << header << " through " << fs::relative(through, kSourceRoot);
        });
    }
}

TEST(IncludeRulesTest, CoreSourcesNeverReachQt)
{
    const std::vector<std::string> coreSources = Lines(VORELLE2_CORE_SOURCES);
    ASSERT_GT(coreSources.size(), 20u) << "no core source list at " << VORELLE2_CORE_SOURCES;
    for (const std::string& source : coreSources) {
        if (source.empty())
            continue;
        std::set<fs::path> seen;
        CheckPlainCpp(source, seen, fs::relative(source, kSourceRoot));
    }
}

}  // namespace
}  // namespace vorelle
