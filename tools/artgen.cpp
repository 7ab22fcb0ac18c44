// Draws the program's artwork and writes it into res/. Deterministic: the
// same bytes on every run.
//   artgen <res directory>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

typedef std::vector<uint8_t> Bytes;

void Put16(Bytes& b, unsigned v)
{
    b.push_back(v & 0xFF);
    b.push_back((v >> 8) & 0xFF);
}

void Put32(Bytes& b, uint32_t v)
{
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

bool WriteFile(const std::string& path, const Bytes& bytes)
{
    FILE* f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
}

// A 32 x 32 monochrome cursor: AND mask all ones, XOR mask all zeros, so
// every pixel leaves the screen as it is.
Bytes TransparentCursor()
{
    Bytes image;
    Put32(image, 40);      // biSize
    Put32(image, 32);      // biWidth
    Put32(image, 64);      // biHeight: XOR and AND masks
    Put16(image, 1);       // biPlanes
    Put16(image, 1);       // biBitCount
    for (int i = 0; i < 6; ++i)
        Put32(image, 0);   // compression, size, resolution, colours
    Put32(image, 0x000000);
    Put32(image, 0xFFFFFF);
    image.insert(image.end(), 32 * 4, 0x00);  // XOR mask
    image.insert(image.end(), 32 * 4, 0xFF);  // AND mask

    Bytes file;
    Put16(file, 0);
    Put16(file, 2);  // cursor
    Put16(file, 1);
    file.push_back(32);
    file.push_back(32);
    file.push_back(0);
    file.push_back(0);
    Put16(file, 0);  // hot spot x
    Put16(file, 0);  // hot spot y
    Put32(file, static_cast<uint32_t>(image.size()));
    Put32(file, 6 + 16);
    file.insert(file.end(), image.begin(), image.end());
    return file;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: artgen <res directory>\n");
        return 2;
    }
    std::string dir = argv[1];
    if (!WriteFile(dir + "/transparent.cur", TransparentCursor())) {
        fprintf(stderr, "artgen: cannot write into %s\n", dir.c_str());
        return 1;
    }
    return 0;
}
