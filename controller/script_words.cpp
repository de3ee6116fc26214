#include "controller/script_words.h"

#include "controller/firmware_setup.h"

#include <cctype>
#include <sstream>
#include <stdexcept>

void ReadScript(const std::string& script, const std::vector<StatementReader>& readers)
{
    std::string lines = script;
    for (char& c : lines) {
        if (c == '\n') c = ';';
    }
    for (const std::string& statement : Split(lines, ';')) {
        if (statement.empty()) continue;
        size_t equals = statement.find('=');
        try {
            if (equals == std::string::npos) throw std::invalid_argument("no '='");
            const std::string key = Trim(statement.substr(0, equals));
            const std::string value = Trim(statement.substr(equals + 1));
            bool taken = false;
            for (size_t i = 0; i < readers.size() && !taken; ++i) taken = readers[i](key, value);
            if (!taken) throw std::invalid_argument("unknown key");
        } catch (const std::invalid_argument& problem) {
            throw std::invalid_argument("'" + statement + "': " + problem.what());
        }
    }
}

std::string Trim(const std::string& text)
{
    size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream stream(text);
    while (std::getline(stream, part, separator)) parts.push_back(Trim(part));
    return parts;
}

uint32_t Number(const std::string& text)
{
    if (text.empty() || text.size() > 9 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        throw std::invalid_argument("not a number: '" + text + "'");
    }
    return uint32_t(std::stoul(text));
}

uint32_t NumberOrAlways(const std::string& text)
{
    return text == "always" ? ALWAYS : Number(text);
}

uint8_t HexByte(const std::string& text)
{
    if (text.empty() || text.size() > 2 || !std::isxdigit(uint8_t(text[0])) ||
        !std::isxdigit(uint8_t(text.back()))) {
        throw std::invalid_argument("not a hex byte: '" + text + "'");
    }
    return uint8_t(std::stoul(text, nullptr, 16));
}

std::vector<uint8_t> HexBytes(const std::string& text)
{
    std::vector<uint8_t> bytes;
    std::istringstream stream(text);
    std::string item;
    while (stream >> item) bytes.push_back(HexByte(item));
    if (bytes.empty()) throw std::invalid_argument("no bytes");
    return bytes;
}
