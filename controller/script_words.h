#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The words of a setup script (TAMBRELL_SIM): statements "key=value" separated by ';' or new
// lines. Each reader throws std::invalid_argument saying what is wrong with its text.

// Takes a statement when its key is the reader's own, and says whether it was.
using StatementReader = std::function<bool(const std::string& key, const std::string& value)>;
// Offers every statement to the readers in turn; throws std::invalid_argument naming the
// statement that none takes or that one cannot read.
void ReadScript(const std::string& script, const std::vector<StatementReader>& readers);

std::string Trim(const std::string& text);
// The parts between the separators, each trimmed.
std::vector<std::string> Split(const std::string& text, char separator);
uint32_t Number(const std::string& text);
// A number, or "always".
uint32_t NumberOrAlways(const std::string& text);
// One or two hex digits.
uint8_t HexByte(const std::string& text);
// Hex bytes separated by spaces; at least one.
std::vector<uint8_t> HexBytes(const std::string& text);
