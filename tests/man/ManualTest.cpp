// Each manual offers exactly what its program's --help offers: every command,
// every option, and every name an option takes from a fixed list ("NAME is
// one of: ..."). Each offer is written as the command line that uses it, e.g.
// "vorelle2-cli live --json" or "vorelle2 --show max-min".
#include "support/NamedCase.h"
#include "support/RunProgram.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace vorelle {
namespace {

using Offers = std::set<std::string>;

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The options a line names: words that start with one or two dashes and a
// letter or digit ("--units" of "--units T,P,W,R,L", both of "-h, --help").
std::vector<std::string> OptionsIn(const std::string& text)
{
    static const std::regex option(R"((?:^|[\s,"])(--?[A-Za-z0-9][A-Za-z0-9-]*))");
    std::vector<std::string> found;
    for (std::sregex_iterator it(text.begin(), text.end(), option), end; it != end; ++it)
        found.push_back((*it)[1]);
    return found;
}

// The names after "one of:" in an option's description, up to the sentence's end.
std::vector<std::string> NamesIn(const std::string& description)
{
    const std::size_t at = description.find("one of:");
    if (at == std::string::npos)
        return {};
    const std::string list = description.substr(at + 7, description.find_first_of(".(", at) - at - 7);
    static const std::regex name(R"([a-z0-9][a-z0-9-]*)");
    std::vector<std::string> found;
    for (std::sregex_iterator it(list.begin(), list.end(), name), end; it != end; ++it)
        found.push_back(it->str());
    return found;
}

// One --help text: option lines are indented by two blanks and start with a
// dash, their description runs on in lines indented further; the lines under
// "Commands:" are indented by two blanks and start with a command's name.
void ReadHelp(const std::string& help, const std::string& prefix, Offers& offers, std::vector<std::string>& commands)
{
    const std::vector<std::string> lines = Lines(help);
    bool inCommands = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.empty() || line[0] != ' ') {
            inCommands = line == "Commands:";
            continue;
        }
        if (line.rfind("  -", 0) == 0) {
            const std::size_t columnEnd = line.find("  ", 2);
            const std::vector<std::string> options = OptionsIn(line.substr(0, columnEnd));
            for (const std::string& option : options)
                offers.insert(prefix + " " + option);
            std::string description = columnEnd == std::string::npos ? "" : line.substr(columnEnd);
            while (i + 1 < lines.size() && lines[i + 1].rfind("   ", 0) == 0) {
                const std::string& more = lines[++i];
                description += " " + more.substr(more.find_first_not_of(' '));
            }
            for (const std::string& name : NamesIn(description))
                offers.insert(prefix + " " + options.back() + " " + name);
        } else if (inCommands && line.rfind("  ", 0) == 0 && line[2] != ' ') {
            const std::string command = line.substr(2, line.find(' ', 2) - 2);
            commands.push_back(command);
            offers.insert(prefix + " " + command);
        }
    }
}

// Everything the --help of `program` (the words that run it) offers, and the
// own --help of each command it lists, and of theirs.
void AddHelpOffers(const std::string& program, const std::string& name, Offers& offers)
{
    const test::ProgramRun help = test::RunProgram(program + " --help", true);
    EXPECT_EQ(help.status, 0) << help.output;
    std::vector<std::string> commands;
    ReadHelp(help.output, name, offers, commands);
    for (const std::string& command : commands)
        AddHelpOffers(program + " " + command, name + " " + command, offers);
}

Offers HelpOffers(const std::string& program, const std::string& name)
{
    Offers offers;
    AddHelpOffers(program, name, offers);
    return offers;
}

// Roff text as read: "\-" is a dash, font changes and quotes are dropped.
std::string Plain(std::string text)
{
    text = std::regex_replace(text, std::regex(R"(\\f[BIRP])"), "");
    text = std::regex_replace(text, std::regex(R"(\\-)"), "-");
    text.erase(std::remove(text.begin(), text.end(), '"'), text.end());
    return text;
}

// Everything a manual offers: the tags of the .TP paragraphs under OPTIONS
// are the program's options, each .SS under COMMANDS is a command with its
// options as the tags of its own .TP paragraphs, and the tags of a list
// indented (.RS) under an option are the names that option takes.
Offers ManualOffers(const std::string& manual, const std::string& name)
{
    Offers offers;
    std::string prefix;  // empty outside OPTIONS and COMMANDS
    std::string lastOption;
    std::string section;
    int indent = 0;
    bool tagFollows = false;
    for (const std::string& raw : Lines(manual)) {
        const std::string line = Plain(raw);
        const std::string macro = line.substr(0, line.find(' '));
        const std::string text = line.find(' ') == std::string::npos ? "" : line.substr(line.find(' ') + 1);
        if (macro == ".SH") {
            section = text;
            prefix = section == "OPTIONS" ? name : "";
        } else if (macro == ".SS" && section == "COMMANDS") {
            prefix = name + " " + text;
            offers.insert(prefix);
        } else if (macro == ".RS") {
            ++indent;
        } else if (macro == ".RE") {
            --indent;
        } else if (macro == ".TP") {
            tagFollows = true;
            continue;
        } else if (tagFollows && !prefix.empty()) {
            const std::string tag = macro.rfind('.', 0) == 0 ? text : line;
            if (indent == 0) {
                const std::vector<std::string> options = OptionsIn(tag);
                for (const std::string& option : options)
                    offers.insert(prefix + " " + option);
                if (!options.empty())
                    lastOption = options.back();
            } else if (indent == 1 && !lastOption.empty()) {
                offers.insert(prefix + " " + lastOption + " " + tag.substr(0, tag.find(' ')));
            }
        }
        tagFollows = false;
    }
    return offers;
}

std::string Missing(const Offers& from, const Offers& in)
{
    std::string missing;
    for (const std::string& offer : from)
        if (!in.count(offer))
            missing += "\n    " + offer;
    return missing;
}

struct ManualCase : test::NamedCase {
    std::string program;  // the command line that runs it
};

class ManualTest : public ::testing::TestWithParam<ManualCase> {};

TEST_P(ManualTest, OffersWhatTheProgramsHelpOffers)
{
    const ManualCase& c = GetParam();
    const std::string manualFile = std::string(VORELLE2_SOURCE_DIR) + "/man/" + c.name + ".1";
    const Offers manual = ManualOffers(test::ReadWhole(manualFile), c.name);
    const Offers help = HelpOffers(c.program, c.name);
    ASSERT_FALSE(manual.empty()) << manualFile << " offers nothing";
    ASSERT_FALSE(help.empty()) << c.name << " --help offers nothing";
    const std::string notInManual = Missing(help, manual);
    EXPECT_TRUE(notInManual.empty()) << "offered by " << c.name << "'s --help, missing from " << manualFile << ":"
                                     << notInManual;
    const std::string notInHelp = Missing(manual, help);
    EXPECT_TRUE(notInHelp.empty()) << "in " << manualFile << ", offered by no --help of " << c.name << ":"
                                   << notInHelp;
}

INSTANTIATE_TEST_SUITE_P(Manuals, ManualTest,
                         ::testing::Values(
#ifdef VORELLE2_PROGRAM
                             ManualCase{"vorelle2", "QT_QPA_PLATFORM=offscreen " VORELLE2_PROGRAM},
#endif
                             ManualCase{"vorelle2-cli", VORELLE2_CLI}),
                         test::CaseName{});

// The readers themselves, on texts shaped like the programs' and the
// manuals': an offer the other side lacks is named with its command line.
TEST(ManualReadersTest, NameEachOfferAsItsCommandLine)
{
    const std::string help = "Usage: p COMMAND\n"
                             "\n"
                             "Commands:\n"
                             "  go [--fast]    go somewhere\n"
                             "\n"
                             "Options:\n"
                             "  -h, --help           Displays help.\n"
                             "  --show <NAME>        Open NAME. NAME is one of: basic-settings,\n"
                             "                       max-min, about (the last shows --version).\n"
                             "  --units T,P,W   three codes\n";
    Offers offers;
    std::vector<std::string> commands;
    ReadHelp(help, "p", offers, commands);
    EXPECT_EQ(commands, std::vector<std::string>{"go"});
    EXPECT_EQ(offers, (Offers{"p go", "p -h", "p --help", "p --show", "p --show basic-settings", "p --show max-min",
                              "p --show about", "p --units"}));

    const std::string manual = ".SH OPTIONS\n"
                               ".TP\n"
                               ".BR \\-h \", \" \\-\\-help\n"
                               "Help.\n"
                               ".TP\n"
                               ".BI \\-\\-show \" NAME\"\n"
                               "One of:\n"
                               ".RS\n"
                               ".TP\n"
                               ".B basic\\-settings\n"
                               "The settings; see\n"
                               ".B \\-\\-units\n"
                               ".RE\n"
                               ".SH COMMANDS\n"
                               ".SS go\n"
                               ".TP\n"
                               ".B \\-\\-fast\n"
                               ".SH EXIT STATUS\n"
                               ".TP\n"
                               ".B \\-\\-not\\-an\\-option\n";
    EXPECT_EQ(ManualOffers(manual, "p"), (Offers{"p -h", "p --help", "p --show", "p --show basic-settings", "p go", "p go --fast"}));
    EXPECT_EQ(Missing({"p a", "p b"}, {"p b"}), "\n    p a");
}

}  // namespace
}  // namespace vorelle
