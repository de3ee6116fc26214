// Users look a message up in the zip's readme or the manual page: each of the tool's console
// texts must be quoted in both, its fixed pieces word for word (an example stands where a name
// or a number is printed).
#include "app/console_texts.h"
#include "image/console_texts.h"
#include "midi/console_texts.h"
#include "platform/pause.h"
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

TEST(DocumentedMessages, EveryConsoleTextIsQuotedInTheReadmeAndTheManualPage)
{
    const char* const texts[] = {APP_CONSOLE_TEXTS, IMAGE_CONSOLE_TEXTS, MIDI_CONSOLE_TEXTS,
                                 PROTOCOL_CONSOLE_TEXTS, PAUSE_PROMPT};
    const std::string readme = Collapsed(ReadDocument(TAMBRELL_README_TXT));
    const std::string manual = Collapsed(ManualPageText(ReadDocument(TAMBRELL_MANUAL_PAGE)));
    for (const char* text : texts) {
        for (const std::string& piece : FixedPieces(text)) {
            EXPECT_NE(readme.find(piece), std::string::npos) << "README.txt lacks \"" << piece << '"';
            EXPECT_NE(manual.find(piece), std::string::npos) << "the manual lacks \"" << piece << '"';
        }
    }
}

}  // namespace
