// Looks at two captures of the running saver (binary PPM, taken a second
// apart) and says whether they show what the saver should: a mostly black
// screen, stars that stay where they are, saucers, and motion between them.
// Built with the host compiler; exits 1 when a capture falls short.
//   shotcheck <first.ppm> <second.ppm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct Image {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
};

bool ReadPpm(const char* path, Image& image)
{
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maxValue = 0;
    in >> magic >> image.width >> image.height >> maxValue;
    in.get();
    if (!in || magic != "P6" || maxValue != 255 || image.width <= 0 || image.height <= 0)
        return false;
    image.rgb.resize(size_t(image.width) * image.height * 3);
    in.read(reinterpret_cast<char*>(image.rgb.data()), std::streamsize(image.rgb.size()));
    return bool(in);
}

// The saucers' own materials, which no star has: the bluish hull and glass
// and the red and green lights. Stars are near-white or gold.
bool SaucerColoured(int r, int g, int b)
{
    return b >= r + 30 || r >= g + 60 || g >= r + 60;
}

} // namespace

int main(int argc, char** argv)
{
    Image a, b;
    if (argc != 3 || !ReadPpm(argv[1], a) || !ReadPpm(argv[2], b) || a.width != b.width || a.height != b.height) {
        std::fprintf(stderr, "usage: shotcheck <first.ppm> <second.ppm> (two captures of one screen)\n");
        return 2;
    }
    const size_t pixels = size_t(a.width) * a.height;
    size_t black = 0, saucer = 0, still = 0, changed = 0;
    for (size_t i = 0; i < pixels; ++i) {
        const unsigned char* p = &a.rgb[i * 3];
        const unsigned char* q = &b.rgb[i * 3];
        const bool dark = p[0] == 0 && p[1] == 0 && p[2] == 0;
        const bool same = p[0] == q[0] && p[1] == q[1] && p[2] == q[2];
        black += dark;
        if (!same)
            ++changed;
        if (SaucerColoured(p[0], p[1], p[2]))
            ++saucer;
        else if (!dark && same)
            ++still;
    }
    std::printf("captures %dx%d: black %.1f%%, saucer-coloured %zu, unchanged lit %zu, changed %zu\n", a.width,
                a.height, 100.0 * black / pixels, saucer, still, changed);
    int failures = 0;
    auto require = [&failures](bool ok, const char* what) {
        if (!ok) {
            std::printf("FAILED: %s\n", what);
            ++failures;
        }
    };
    require(black * 10 >= pixels * 7, "at least 70% of the screen is black");
    require(saucer >= 200, "saucers are on the screen");
    require(still >= 200, "stars stay lit where they are");
    require(changed >= 200, "the second capture differs from the first");
    return failures ? 1 : 0;
}
