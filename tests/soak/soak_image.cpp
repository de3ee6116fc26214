#include "tests/soak/soak_image.h"

#include "tests/support/image_text.h"

#include <cctype>

size_t SoakImage::Bytes() const
{
    size_t bytes = 0;
    for (const auto& record : records) bytes += record.size();
    return bytes;
}

std::vector<uint8_t> SoakImage::Concatenated() const
{
    std::vector<uint8_t> all;
    for (const auto& record : records) all.insert(all.end(), record.begin(), record.end());
    return all;
}

static size_t RandomPayloadSize(std::mt19937_64& random)
{
    switch (random() % 8) {
    case 0: return random() % 4;                        // records of 4 to 7 bytes
    case 1: return 23 * (1 + random() % 4) - 4;         // whole frames only
    case 2: return 23 * (1 + random() % 4) - 3;         // one byte into a new frame
    case 3: return 200 + random() % 1800;               // large
    default: return random() % 120;
    }
}

// Text the reader takes: either case, one or more items to a line, LF or CR LF.
static std::string RandomLayout(const std::vector<uint8_t>& bytes, std::mt19937_64& random)
{
    std::string text = ToImageText(bytes, 1 + random() % 40);
    if (random() % 2) {
        for (char& c : text) c = char(std::tolower(uint8_t(c)));
    }
    if (random() % 2) {
        std::string lf;
        for (char c : text) {
            if (c != '\r') lf += c;
        }
        text = lf;
    }
    return text;
}

SoakImage RandomImage(std::mt19937_64& random)
{
    SoakImage image;
    size_t count = random() % 10 == 0 ? 20 + random() % 40 : 1 + random() % 8;
    while (image.records.size() < count) {
        std::vector<uint8_t> payload(RandomPayloadSize(random));
        for (uint8_t& byte : payload) byte = uint8_t(random());
        std::vector<uint8_t> record = MakeRecord(payload);
        // Neighbours differ, so a record the device was sent twice is told from two records.
        if (!image.records.empty() && image.records.back() == record) continue;
        image.records.push_back(record);
    }
    image.text = RandomLayout(image.Concatenated(), random);
    return image;
}
