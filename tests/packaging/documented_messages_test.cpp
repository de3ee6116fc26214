// Users look a message up in the README, the zip's readme or the manual page: each of the tool's
// console texts must be quoted in them, its fixed pieces word for word (an example stands where a
// name or a number is printed), and the three message lists must be one list.
#include "app/console_texts.h"
#include "image/console_texts.h"
#include "midi/console_texts.h"
#include "os/pause.h"
#include "protocol/console_texts.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string Collapsed(const std::string& text)
{
    std::istringstream words(text);
    std::string word, collapsed;
    while (words >> word) collapsed += (collapsed.empty() ? "" : " ") + word;
    return collapsed;
}

std::string ReadDocument(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << path;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
}

// The manual page as a reader sees its words: requests' arguments without their quotes, the
// escapes the page uses turned into their characters, font changes dropped.
std::string ManualPageText(const std::string& roff)
{
    std::istringstream lines(roff);
    std::string line, text;
    while (std::getline(lines, line)) {
        if (!line.empty() && line[0] == '.') {
            size_t arguments = line.find(' ');
            line = arguments == std::string::npos ? "" : line.substr(arguments + 1);
            ReplaceAll(line, "\"", "");
        }
        text += line + "\n";
    }
    for (const char* font : {"\\fB", "\\fI", "\\fR", "\\fP"}) ReplaceAll(text, font, "");
    ReplaceAll(text, "\\-", "-");
    ReplaceAll(text, "\\(aq", "'");
    ReplaceAll(text, "\\&", "");
    ReplaceAll(text, "\\e", "\\");
    return text;
}

// The fixed pieces of a printf format: cut at each conversion and line end, "%%" as the "%" it
// prints.
std::vector<std::string> FixedPieces(const std::string& format)
{
    std::vector<std::string> pieces(1);
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '\n' || format[i] == '\r') {
            pieces.emplace_back();
        } else if (format[i] == '%' && i + 1 < format.size() && format[i + 1] != '%') {
            pieces.emplace_back();
            ++i;
        } else {
            pieces.back() += format[i];
            if (format[i] == '%') ++i;
        }
    }
    std::vector<std::string> fixed;
    for (const std::string& piece : pieces) {
        if (!Collapsed(piece).empty()) fixed.push_back(Collapsed(piece));
    }
    return fixed;
}

// The lines of `text` after the one that begins with `heading` (none when there is no such line),
// up to the first that begins with `next`, without a trailing CR.
std::vector<std::string> SectionLines(const std::string& text, const std::string& heading,
                                      const std::string& next)
{
    std::vector<std::string> section;
    const size_t start = text.find("\n" + heading);
    if (start == std::string::npos) return section;
    std::istringstream lines(text.substr(start + 1));
    std::string line;
    std::getline(lines, line);
    while (std::getline(lines, line) && (next.empty() || line.rfind(next, 0) != 0)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        section.push_back(line);
    }
    return section;
}

// The README's message table: the messages in backquotes in the first column of its rows.
std::vector<std::string> ReadmeTableMessages(const std::string& markdown)
{
    std::vector<std::string> messages;
    for (const std::string& line : SectionLines(markdown, "## What the tool prints", "## ")) {
        if (line.rfind("| `", 0) != 0) continue;
        const std::string cell = line.substr(2, line.find(" | ") - 2);
        for (size_t open = cell.find('`'); open != std::string::npos;) {
            const size_t close = cell.find('`', open + 1);
            messages.push_back(Collapsed(cell.substr(open + 1, close - open - 1)));
            open = cell.find('`', close + 1);
        }
    }
    return messages;
}

// The zip's readme: in its section of messages, each line that is not indented is a message; an
// indented one explains those above it, and a line in capitals starts the next section.
std::vector<std::string> ZipReadmeMessages(const std::string& text)
{
    std::vector<std::string> messages;
    for (const std::string& line : SectionLines(text, "WHAT THE TOOL PRINTS", "")) {
        if (line.empty() || line[0] == ' ') continue;
        if (line.find_first_of("abcdefghijklmnopqrstuvwxyz") == std::string::npos) break;
        messages.push_back(Collapsed(line));
    }
    return messages;
}

// The manual page: the tags of DIAGNOSTICS, each a bold line after ".TP".
std::vector<std::string> ManualPageMessages(const std::string& roff)
{
    std::vector<std::string> messages;
    std::string previous;
    for (const std::string& line : SectionLines(roff, ".SH DIAGNOSTICS", ".SH")) {
        if (previous == ".TP" && line.rfind(".B ", 0) == 0) {
            messages.push_back(Collapsed(ManualPageText(line)));
        }
        previous = line;
    }
    return messages;
}

// Each fixed piece of `texts` is somewhere in `document`.
template <size_t N>
void ExpectQuoted(const char* const (&texts)[N], const std::string& document, const char* name)
{
    for (const char* text : texts) {
        for (const std::string& piece : FixedPieces(text)) {
            EXPECT_NE(document.find(piece), std::string::npos) << name << " lacks \"" << piece << '"';
        }
    }
}

TEST(DocumentedMessages, EveryConsoleTextIsQuotedAndTheThreeListsAreOne)
{
    const char* const texts[] = {APP_CONSOLE_TEXTS, IMAGE_CONSOLE_TEXTS, MIDI_CONSOLE_TEXTS,
                                 PROTOCOL_CONSOLE_TEXTS, PAUSE_PROMPT};
    ExpectQuoted(texts, Collapsed(ReadDocument(TAMBRELL_README_TXT)), "README.txt");
    ExpectQuoted(texts, Collapsed(ManualPageText(ReadDocument(TAMBRELL_MANUAL_PAGE))), "the manual");

    const std::vector<std::string> table = ReadmeTableMessages(ReadDocument(TAMBRELL_README_MD));
    EXPECT_EQ(ZipReadmeMessages(ReadDocument(TAMBRELL_README_TXT)), table) << "README.txt";
    EXPECT_EQ(ManualPageMessages(ReadDocument(TAMBRELL_MANUAL_PAGE)), table) << "the manual";
    // What an update prints; the options' answers (help, version, usage, --list) are not listed.
    const char* const updateTexts[] = {TEXT_BANNER,          IMAGE_CONSOLE_TEXTS,   TEXT_NO_DEVICE,
                                       TEXT_MANY_DEVICES,    TEXT_NO_NAMED_DEVICE,  TEXT_MIDI_IN_DEVICE,
                                       TEXT_MIDI_OUT_DEVICE, TEXT_MIDI_IN_MISSING,  TEXT_MIDI_OUT_MISSING,
                                       PROTOCOL_CONSOLE_TEXTS, PAUSE_PROMPT};
    std::string listed;
    for (const std::string& message : table) listed += message + "\n";
    ExpectQuoted(updateTexts, listed, "the README's table");
}

}  // namespace
