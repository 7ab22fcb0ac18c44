// Writes the small bitmaps the palette tests carry as resources: a 4-bit
// one, an 8-bit one with black entries, one with a 12-byte header and a
// 24-bit one.   make_test_bitmaps <directory>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

typedef std::vector<uint8_t> Bytes;

void Put(Bytes& b, uint32_t v, int n)
{
    for (int i = 0; i < n; ++i)
        b.push_back((v >> (8 * i)) & 0xFF);
}

void Write(const std::string& path, const Bytes& info, const Bytes& bits)
{
    Bytes file;
    file.push_back('B');
    file.push_back('M');
    Put(file, static_cast<uint32_t>(14 + info.size() + bits.size()), 4);
    Put(file, 0, 4);
    Put(file, static_cast<uint32_t>(14 + info.size()), 4);
    file.insert(file.end(), info.begin(), info.end());
    file.insert(file.end(), bits.begin(), bits.end());
    FILE* f = fopen(path.c_str(), "wb");
    fwrite(file.data(), 1, file.size(), f);
    fclose(f);
}

Bytes Header(int bitCount, uint32_t clrUsed)
{
    Bytes h;
    Put(h, 40, 4);
    Put(h, 4, 4);
    Put(h, 4, 4);
    Put(h, 1, 2);
    Put(h, static_cast<uint32_t>(bitCount), 2);
    Put(h, 0, 4);
    Put(h, 0, 4);
    Put(h, 0, 4);
    Put(h, 0, 4);
    Put(h, clrUsed, 4);
    Put(h, 0, 4);
    return h;
}

// Entry i: blue 255 - i, green i, red 1 + i / 2 (never black).
void Table(Bytes& b, int n, int firstBlack, int lastBlack)
{
    for (int i = 0; i < n; ++i) {
        bool black = i >= firstBlack && i <= lastBlack;
        b.push_back(black ? 0 : static_cast<uint8_t>(255 - i));
        b.push_back(black ? 0 : static_cast<uint8_t>(i));
        b.push_back(black ? 0 : static_cast<uint8_t>(1 + i / 2));
        b.push_back(0);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    std::string dir = argv[1];

    Bytes four = Header(4, 0);
    Table(four, 16, -1, -1);
    Write(dir + "/test4bit.bmp", four, Bytes(4 * 4, 0x11));

    Bytes eight = Header(8, 256);
    Table(eight, 256, 20, 29);
    Write(dir + "/testblack.bmp", eight, Bytes(4 * 4, 0x22));

    // Its pixels stop half way.
    Write(dir + "/testshort.bmp", eight, Bytes(4 * 2, 0x22));

    Bytes core;
    Put(core, 12, 4);
    Put(core, 4, 2);
    Put(core, 4, 2);
    Put(core, 1, 2);
    Put(core, 8, 2);
    for (int i = 0; i < 256; ++i) {
        core.push_back(200);
        core.push_back(100);
        core.push_back(50);
    }
    Write(dir + "/testcore.bmp", core, Bytes(4 * 4, 0x33));

    Write(dir + "/test24bit.bmp", Header(24, 0), Bytes(4 * 4 * 3, 0x44));
    return 0;
}
