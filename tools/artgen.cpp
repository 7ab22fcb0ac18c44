// Draws the program's artwork and writes it into res/. Deterministic: the
// same bytes on every run. It refuses to write art whose transparent colour
// could be confused with a drawn pixel once the display converts it.
//   artgen <res directory> [contact-sheet.ppm]
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

typedef std::vector<uint8_t> Bytes;

struct Rgb {
    double r, g, b;
};

struct Entry {
    uint8_t r, g, b;
};

[[noreturn]] void Fail(const std::string& why)
{
    fprintf(stderr, "artgen: %s\n", why.c_str());
    exit(1);
}

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

// A colour table as bitmaps store it: blue, green, red, a zero.
void PutColours(Bytes& b, const std::vector<Entry>& colours)
{
    for (const Entry& e : colours) {
        b.push_back(e.b);
        b.push_back(e.g);
        b.push_back(e.r);
        b.push_back(0);
    }
}

void WriteFile(const std::string& path, const Bytes& bytes)
{
    FILE* f = fopen(path.c_str(), "wb");
    if (!f || fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || fclose(f) != 0)
        Fail("cannot write " + path);
}

double Clamp(double v, double lo = 0.0, double hi = 1.0) { return v < lo ? lo : v > hi ? hi : v; }
Rgb Mix(Rgb a, Rgb b, double t) { return { a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t }; }
Rgb Scale(Rgb a, double k) { return { a.r * k, a.g * k, a.b * k }; }

// ---------------------------------------------------------------------------
// The shared palette of the sprite sheets. The saucer sheet "IDB_MARS4" gives
// the display palette in 8-bit modes, where entries 0 to 11 stay the
// system's: every colour the art uses lies in 12 to 245.

const Rgb kSaucerKey = { 255, 0, 0 };
const Rgb kStarKey = { 254, 255, 255 };
const int kSaucerKeyIndex = 12;
const int kStarKeyIndex = 13;

struct Ramp {
    int first, count;
    Rgb from, to;
};

// The numbers that shape the palette: one ramp per material.
const Ramp kMetal = { 14, 64, { 16, 20, 30 }, { 236, 240, 250 } };
const Ramp kHull = { 78, 32, { 12, 10, 32 }, { 120, 104, 170 } };
const Ramp kGlass = { 110, 48, { 4, 26, 56 }, { 200, 248, 255 } };
const Ramp kYellow = { 158, 16, { 48, 36, 4 }, { 255, 232, 96 } };
const Ramp kRed = { 174, 16, { 48, 6, 6 }, { 255, 84, 64 } };
const Ramp kGreen = { 190, 16, { 4, 40, 14 }, { 120, 255, 150 } };
const Ramp kStarWhite = { 206, 16, { 30, 30, 42 }, { 236, 238, 250 } };
const Ramp kStarGold = { 222, 8, { 44, 38, 12 }, { 250, 236, 160 } };
const Ramp kGrey = { 230, 16, { 10, 10, 10 }, { 200, 200, 200 } };
const Ramp* const kRamps[] = { &kMetal, &kHull, &kGlass, &kYellow, &kRed, &kGreen, &kStarWhite, &kStarGold, &kGrey };

// The platform's static colours around the art's range (never pure black).
const Entry kSystemLow[12] = { { 0, 0, 0 },       { 128, 0, 0 },     { 0, 128, 0 },     { 128, 128, 0 },
                               { 0, 0, 128 },     { 128, 0, 128 },   { 0, 128, 128 },   { 192, 192, 192 },
                               { 192, 220, 192 }, { 166, 202, 240 }, { 42, 63, 170 },   { 42, 63, 255 } };
const Entry kSystemHigh[10] = { { 255, 251, 240 }, { 160, 160, 164 }, { 128, 128, 128 }, { 255, 0, 0 },
                                { 0, 255, 0 },     { 255, 255, 0 },   { 0, 0, 255 },     { 255, 0, 255 },
                                { 0, 255, 255 },   { 255, 255, 255 } };

Entry ToEntry(Rgb c)
{
    return { static_cast<uint8_t>(std::lround(Clamp(c.r, 0, 255))), static_cast<uint8_t>(std::lround(Clamp(c.g, 0, 255))),
             static_cast<uint8_t>(std::lround(Clamp(c.b, 0, 255))) };
}

std::vector<Entry> SpritePalette()
{
    std::vector<Entry> pal(256);
    for (int i = 0; i < 12; ++i)
        pal[i] = kSystemLow[i];
    for (int i = 0; i < 10; ++i)
        pal[246 + i] = kSystemHigh[i];
    pal[kSaucerKeyIndex] = ToEntry(kSaucerKey);
    pal[kStarKeyIndex] = ToEntry(kStarKey);
    for (const Ramp* r : kRamps)
        for (int i = 0; i < r->count; ++i)
            pal[r->first + i] = ToEntry(Mix(r->from, r->to, r->count > 1 ? double(i) / (r->count - 1) : 0));
    for (int i = 1; i < 256; ++i)
        if (pal[i].r == 0 && pal[i].g == 0 && pal[i].b == 0)
            Fail("palette entry " + std::to_string(i) + " is black: only entry 0 may be");
    return pal;
}

double Distance2(Entry a, Entry b)
{
    double dr = a.r - b.r, dg = a.g - b.g, db = a.b - b.b;
    return dr * dr + dg * dg + db * db;
}

// The entry of the whole palette nearest to a colour.
int NearestEntry(const std::vector<Entry>& pal, Entry e)
{
    int best = 0;
    double bestD = 1e30;
    for (int i = 0; i < static_cast<int>(pal.size()); ++i) {
        double d = Distance2(pal[i], e);
        if (d < bestD) {
            bestD = d;
            best = i;
        }
    }
    return best;
}

// The art entry nearest to a colour, among the ramps of the given materials.
int Nearest(const std::vector<Entry>& pal, Rgb c, std::initializer_list<const Ramp*> ramps)
{
    Entry e = ToEntry(c);
    int best = -1;
    double bestD = 1e30;
    for (const Ramp* r : ramps)
        for (int i = r->first; i < r->first + r->count; ++i) {
            double d = Distance2(pal[i], e);
            if (d < bestD) {
                bestD = d;
                best = i;
            }
        }
    return best;
}

// ---------------------------------------------------------------------------
// Images: 8-bit indexes, top row first.

struct Image {
    int width, height;
    std::vector<uint8_t> pixels;
    Image(int w, int h, uint8_t fill) : width(w), height(h), pixels(size_t(w) * h, fill) {}
    uint8_t& At(int x, int y) { return pixels[size_t(y) * width + x]; }
    uint8_t At(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

// One row in run-length encoded 8-bit form: runs of a repeated index, and
// literal stretches of three or more in absolute mode.
void EncodeRow(const uint8_t* row, int width, Bytes& out)
{
    int i = 0;
    while (i < width) {
        int run = 1;
        while (i + run < width && run < 255 && row[i + run] == row[i])
            ++run;
        if (run >= 2) {
            out.push_back(static_cast<uint8_t>(run));
            out.push_back(row[i]);
            i += run;
            continue;
        }
        int lit = 1;
        while (i + lit < width && lit < 255) {
            if (i + lit + 1 < width && row[i + lit] == row[i + lit + 1])
                break;
            ++lit;
        }
        if (lit < 3) {
            for (int k = 0; k < lit; ++k) {
                out.push_back(1);
                out.push_back(row[i + k]);
            }
        } else {
            out.push_back(0);
            out.push_back(static_cast<uint8_t>(lit));
            out.insert(out.end(), row + i, row + i + lit);
            if (lit & 1)
                out.push_back(0);
        }
        i += lit;
    }
}

Bytes EncodeRle8(const Image& img)
{
    Bytes out;
    for (int y = img.height - 1; y >= 0; --y) {
        EncodeRow(&img.pixels[size_t(y) * img.width], img.width, out);
        out.push_back(0);
        out.push_back(y == 0 ? 1 : 0);  // end of bitmap, or end of line
    }
    return out;
}

// The decoder the loader's platform applies, to prove each file reads back.
Image DecodeRle8(const Bytes& data, int width, int height)
{
    Image img(width, height, 0);
    int x = 0, y = height - 1;
    size_t p = 0;
    while (p + 1 < data.size()) {
        uint8_t n = data[p++], v = data[p++];
        if (n > 0) {
            for (int k = 0; k < n; ++k)
                img.At(x++, y) = v;
        } else if (v == 0) {
            x = 0;
            --y;
        } else if (v == 1) {
            break;
        } else if (v == 2) {
            x += data[p++];
            y -= data[p++];
        } else {
            for (int k = 0; k < v; ++k)
                img.At(x++, y) = data[p++];
            if (v & 1)
                ++p;
        }
    }
    return img;
}

Bytes Bitmap8(const Image& img, const std::vector<Entry>& pal, bool rle)
{
    Bytes bits;
    if (rle) {
        bits = EncodeRle8(img);
        Image back = DecodeRle8(bits, img.width, img.height);
        if (back.pixels != img.pixels)
            Fail("run-length encoding does not read back");
    } else {
        int stride = (img.width + 3) & ~3;
        for (int y = img.height - 1; y >= 0; --y) {
            for (int x = 0; x < stride; ++x)
                bits.push_back(x < img.width ? img.At(x, y) : 0);
        }
    }
    Bytes file;
    uint32_t offset = 14 + 40 + 256 * 4;
    file.push_back('B');
    file.push_back('M');
    Put32(file, offset + static_cast<uint32_t>(bits.size()));
    Put32(file, 0);
    Put32(file, offset);
    Put32(file, 40);
    Put32(file, static_cast<uint32_t>(img.width));
    Put32(file, static_cast<uint32_t>(img.height));
    Put16(file, 1);
    Put16(file, 8);
    Put32(file, rle ? 1 : 0);  // BI_RLE8 or BI_RGB
    Put32(file, static_cast<uint32_t>(bits.size()));
    Put32(file, 2835);
    Put32(file, 2835);
    Put32(file, 256);
    Put32(file, 0);
    PutColours(file, pal);
    file.insert(file.end(), bits.begin(), bits.end());
    return file;
}

// ---------------------------------------------------------------------------
// Keys must stay keys after the display converts the art: no drawn pixel may
// become the key's value in a 5-6-5 surface (truncating or rounding), in an
// 8-bit display mode (nearest entry of the display palette) or at 32 bits.

uint16_t To565(Entry e, bool round)
{
    auto q = [round](int v, int bits) {
        int max = (1 << bits) - 1;
        return round ? std::min(max, (v * max + 127) / 255) : v >> (8 - bits);
    };
    return static_cast<uint16_t>((q(e.r, 5) << 11) | (q(e.g, 6) << 5) | q(e.b, 5));
}

void CheckKey(const std::string& name, const Image& img, const std::vector<Entry>& pal, int keyIndex)
{
    if (img.At(0, 0) != keyIndex)
        Fail(name + ": the top-left pixel is not the background");
    Entry key = pal[keyIndex];
    for (uint8_t index : img.pixels) {
        if (index == keyIndex)
            continue;
        Entry e = pal[index];
        if (e.r == key.r && e.g == key.g && e.b == key.b)
            Fail(name + ": a drawn pixel has the key colour");
        for (bool round : { false, true })
            if (To565(e, round) == To565(key, round))
                Fail(name + ": a drawn pixel becomes the key at 16 bits");
        // In 8-bit modes the display palette is the system's 0 to 11 and
        // this palette's other non-black entries.
        Entry near = pal[NearestEntry(pal, e)];
        if (near.r == key.r && near.g == key.g && near.b == key.b)
            Fail(name + ": a drawn pixel becomes the key at 8 bits");
    }
}

// ---------------------------------------------------------------------------
// The saucer: a metallic disc seen slightly from above, a glass dome and a
// ring of six lights. Over the eight frames of a sheet the ring turns once.

struct SaucerShape {
    double cy = 0.12, rx = 0.94, ry = 0.30;           // disc
    double domeY = -0.04, domeRx = 0.42, domeRy = 0.46;
    double bulgeY = 0.33, bulgeRx = 0.36, bulgeRy = 0.13;
    double lightRadius = 0.09;
    int lights = 5;
};
const SaucerShape kSaucer;

struct Sample {
    bool inside;
    Rgb colour;
};

Sample Light(double u, double v, double angle, int colourIndex, double depth, const Sample& under)
{
    static const Rgb colours[3] = { { 255, 232, 96 }, { 255, 84, 64 }, { 120, 255, 150 } };
    double lx = kSaucer.rx * 0.86 * std::cos(angle);
    double ly = kSaucer.cy + kSaucer.ry * 0.86 * std::sin(angle);
    double r = kSaucer.lightRadius * (0.75 + 0.25 * depth);
    double d = std::hypot(u - lx, (v - ly) * 1.3);
    if (d > r)
        return under;
    Rgb c = Scale(colours[colourIndex], (0.55 + 0.45 * depth) * (1.0 - 0.45 * d / r));
    return { true, c };
}

Sample SaucerAt(double u, double v, int frame)
{
    const SaucerShape& s = kSaucer;
    Sample out = { false, { 0, 0, 0 } };
    double bu = u / s.bulgeRx, bv = (v - s.bulgeY) / s.bulgeRy;
    if (bu * bu + bv * bv <= 1.0)
        out = { true, Mix(Rgb{ 40, 36, 70 }, Rgb{ 96, 90, 140 }, Clamp(0.6 - 0.5 * bv - 0.3 * bu)) };

    double du = u / s.rx, dv = (v - s.cy) / s.ry;
    double e = std::sqrt(du * du + dv * dv);
    if (e <= 1.0) {
        // Lit from the upper left; the rim darkens, the underside more so.
        double light = Clamp(0.62 - 0.35 * du - 0.45 * dv + 0.25 * (1 - e));
        Rgb c = Mix(Rgb{ 40, 46, 62 }, Rgb{ 236, 240, 250 }, light);
        if (e > 0.80)
            c = Mix(Rgb{ 34, 30, 70 }, Rgb{ 120, 104, 170 }, Clamp(0.55 - 0.4 * dv - 0.3 * du));
        if (dv > 0.35 && e > 0.55)
            c = Scale(c, 0.7);
        out = { true, c };
    }

    double turn = 2 * M_PI * frame / 8.0;
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < s.lights; ++i) {
            double a = 2 * M_PI * i / s.lights + turn;
            bool front = std::sin(a) >= 0;
            if (front != (pass == 1))
                continue;
            out = Light(u, v, a, i % 3, 0.5 + 0.5 * std::sin(a), out);
        }
        if (pass == 0) {
            double gu = u / s.domeRx, gv = (v - s.domeY) / s.domeRy;
            if (gu * gu + gv * gv <= 1.0 && v <= s.cy - 0.02) {
                double t = Clamp(0.25 + 0.6 * (1 - (gv + 1) / 2) - 0.25 * gu);
                Rgb c = Mix(Rgb{ 6, 40, 80 }, Rgb{ 120, 220, 255 }, t);
                double hu = (u + 0.16) / 0.12, hv = (v + 0.26) / 0.08;
                if (hu * hu + hv * hv <= 1.0)
                    c = Rgb{ 200, 248, 255 };
                if (gu * gu + gv * gv > 0.82)
                    c = Scale(c, 0.75);
                out = { true, c };
            }
        }
    }
    return out;
}

// Four by four samples a pixel; edges fade towards the black sky, and a
// pixel mostly outside the saucer stays background.
void DrawSaucer(Image& img, const std::vector<Entry>& pal, int left, int top, int size, int frame)
{
    const int n = 4;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            Rgb sum = { 0, 0, 0 };
            int covered = 0;
            for (int sy = 0; sy < n; ++sy)
                for (int sx = 0; sx < n; ++sx) {
                    double u = ((x + (sx + 0.5) / n) / size) * 2 - 1;
                    double v = ((y + (sy + 0.5) / n) / size) * 2 - 1;
                    Sample s = SaucerAt(u, v, frame);
                    if (s.inside) {
                        sum = { sum.r + s.colour.r, sum.g + s.colour.g, sum.b + s.colour.b };
                        ++covered;
                    }
                }
            double coverage = double(covered) / (n * n);
            if (coverage < 0.35)
                continue;
            Rgb c = Scale(sum, 1.0 / (n * n));
            img.At(left + x, top + y) = static_cast<uint8_t>(
                Nearest(pal, c, { &kMetal, &kHull, &kGlass, &kYellow, &kRed, &kGreen }));
        }
}

Image SaucerSheet(const std::vector<Entry>& pal, int size, int columns, int rows)
{
    Image img(size * columns, size * rows, kSaucerKeyIndex);
    for (int f = 0; f < 8; ++f)
        DrawSaucer(img, pal, (f % columns) * size, (f / columns) * size, size, f);
    return img;
}

// Three small stars: a round one, a four-pointed sparkle and a faint gold one.
Image StarSheet(const std::vector<Entry>& pal)
{
    Image img(24, 8, kStarKeyIndex);
    for (int f = 0; f < 3; ++f)
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                double dx = x - 3.5, dy = y - 3.5;
                double r = std::hypot(dx, dy);
                double i = 0;
                if (f == 0)
                    i = Clamp(1.15 - r / 2.2);
                else if (f == 1)
                    i = std::max(Clamp(1.0 - r / 1.4),
                                 (std::fabs(dx) < 0.6 || std::fabs(dy) < 0.6) ? Clamp(1.0 - r / 4.0) : 0.0);
                else
                    i = 0.8 * Clamp(1.0 - r / 1.6);
                if (i < 0.12)
                    continue;
                const Ramp& ramp = f == 2 ? kStarGold : kStarWhite;
                img.At(f * 8 + x, y) = static_cast<uint8_t>(Nearest(pal, Mix(ramp.from, ramp.to, i), { &ramp }));
            }
    return img;
}

// ---------------------------------------------------------------------------
// The maker's logo: a night-blue medallion with a white peak and a rising
// saucer, and the name TOLMERE beneath it. Its own palette: 0 black, 255
// white, blues and greys between.

std::vector<Entry> LogoPalette()
{
    std::vector<Entry> pal(256);
    pal[0] = { 0, 0, 0 };
    pal[255] = { 255, 255, 255 };
    for (int i = 1; i < 128; ++i)
        pal[i] = ToEntry(Mix(Rgb{ 4, 10, 40 }, Rgb{ 110, 170, 255 }, (i - 1) / 126.0));
    for (int i = 128; i < 255; ++i)
        pal[i] = ToEntry(Mix(Rgb{ 20, 20, 24 }, Rgb{ 250, 250, 250 }, (i - 128) / 126.0));
    return pal;
}

// A 5 x 7 font for the letters of the name.
const char* Glyph(char c)
{
    switch (c) {
    case 'T': return "11111001000010000100001000010000100";
    case 'O': return "01110100011000110001100011000101110";
    case 'L': return "10000100001000010000100001000011111";
    case 'M': return "10001110111010110001100011000110001";
    case 'E': return "11111100001000011110100001000011111";
    case 'R': return "11110100011000111110101001001010001";
    }
    return "00000000000000000000000000000000000";
}

Image Logo()
{
    const int w = 110, h = 120;
    std::vector<Entry> pal = LogoPalette();
    Image img(w, h, 0);
    const double cx = 55, cy = 50, radius = 46;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            Rgb sum = { 0, 0, 0 };
            for (int s = 0; s < 16; ++s) {
                double px = x + (s % 4 + 0.5) / 4, py = y + (s / 4 + 0.5) / 4;
                double r = std::hypot(px - cx, py - cy);
                Rgb c = { 0, 0, 0 };
                if (r <= radius) {
                    c = Mix(Rgb{ 8, 20, 70 }, Rgb{ 40, 90, 190 }, Clamp((cy + radius - py) / (2 * radius)));
                    if (r > radius - 3)
                        c = { 235, 235, 240 };
                    // the peak
                    double peak = 64 - 28 * (1 - std::fabs(px - 50) / 30);
                    if (py > peak && py < 84 && std::fabs(px - 50) < 30)
                        c = Mix(Rgb{ 60, 70, 90 }, Rgb{ 240, 240, 245 }, Clamp((84 - py) / 40 + (50 - px) / 80));
                    // the saucer above it
                    double su = (px - 74) / 13, sv = (py - 30) / 4;
                    if (su * su + sv * sv <= 1)
                        c = Mix(Rgb{ 120, 120, 130 }, Rgb{ 250, 250, 250 }, Clamp(0.6 - 0.5 * sv));
                    double du = (px - 74) / 5.5, dv = (py - 27.5) / 4.5;
                    if (du * du + dv * dv <= 1 && py < 30)
                        c = { 150, 200, 255 };
                }
                sum = { sum.r + c.r, sum.g + c.g, sum.b + c.b };
            }
            img.At(x, y) = static_cast<uint8_t>(NearestEntry(pal, ToEntry(Scale(sum, 1.0 / 16))));
        }
    const char* name = "TOLMERE";
    int left = (w - (7 * 12 - 2)) / 2;
    for (int k = 0; k < 7; ++k) {
        const char* g = Glyph(name[k]);
        for (int gy = 0; gy < 7; ++gy)
            for (int gx = 0; gx < 5; ++gx)
                if (g[gy * 5 + gx] == '1')
                    for (int s = 0; s < 4; ++s)
                        img.At(left + k * 12 + gx * 2 + s % 2, 103 + gy * 2 + s / 2) = 255;
    }
    return img;
}

// ---------------------------------------------------------------------------
// Cursors.

Bytes CursorFile(int hotX, int hotY, int bitCount, const std::vector<Entry>& colours,
                 const std::vector<uint8_t>& indexes, const std::vector<bool>& transparent)
{
    Bytes image;
    Put32(image, 40);
    Put32(image, 32);
    Put32(image, 64);  // colour and mask
    Put16(image, 1);
    Put16(image, static_cast<unsigned>(bitCount));
    for (int i = 0; i < 6; ++i)
        Put32(image, 0);
    PutColours(image, colours);
    for (int y = 31; y >= 0; --y)
        for (int x = 0; x < 32; x += 8 / bitCount) {
            uint8_t byte = 0;
            for (int k = 0; k < 8 / bitCount; ++k)
                byte = static_cast<uint8_t>(byte << bitCount | indexes[y * 32 + x + k]);
            image.push_back(byte);
        }
    for (int y = 31; y >= 0; --y)
        for (int x = 0; x < 32; x += 8) {
            uint8_t byte = 0;
            for (int k = 0; k < 8; ++k)
                byte = static_cast<uint8_t>(byte << 1 | (transparent[y * 32 + x + k] ? 1 : 0));
            image.push_back(byte);
        }
    Bytes file;
    Put16(file, 0);
    Put16(file, 2);
    Put16(file, 1);
    file.push_back(32);
    file.push_back(32);
    file.push_back(bitCount == 4 ? 16 : 0);
    file.push_back(0);
    Put16(file, static_cast<unsigned>(hotX));
    Put16(file, static_cast<unsigned>(hotY));
    Put32(file, static_cast<uint32_t>(image.size()));
    Put32(file, 6 + 16);
    file.insert(file.end(), image.begin(), image.end());
    return file;
}

// Every pixel transparent, so no pointer shows over the full-screen saver.
Bytes TransparentCursor()
{
    return CursorFile(0, 0, 1, { { 0, 0, 0 }, { 255, 255, 255 } }, std::vector<uint8_t>(1024, 0),
                      std::vector<bool>(1024, true));
}

// A white pointing hand, shaded light grey, outlined black; the hot spot is
// the tip of the index finger.
Bytes HandCursor()
{
    auto inHand = [](int x, int y) {
        if (x >= 13 && x <= 15 && y >= 4 && y <= 17)
            return true;  // index finger
        if (x >= 17 && x <= 19 && y >= 11 && y <= 17)
            return true;
        if (x >= 21 && x <= 23 && y >= 12 && y <= 18)
            return true;
        if (x >= 25 && x <= 26 && y >= 14 && y <= 19)
            return true;
        if (x >= 11 && x <= 26 && y >= 16 && y <= 25)
            return x >= 11 + (y < 19 ? 2 : 0);
        if (x >= 12 && x <= 24 && y >= 26 && y <= 29)
            return true;
        double t = Clamp(((x - 6.0) * 5 + (y - 16.0) * 6) / 61.0);
        return std::hypot(x - (6 + 5 * t), y - (16 + 6 * t)) < 1.7;  // thumb
    };
    std::vector<uint8_t> idx(1024, 0);
    std::vector<bool> transparent(1024, true);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            bool in = inHand(x, y);
            bool edge = !in && ((x > 0 && inHand(x - 1, y)) || (x < 31 && inHand(x + 1, y)) ||
                                (y > 0 && inHand(x, y - 1)) || (y < 31 && inHand(x, y + 1)));
            if (in) {
                transparent[y * 32 + x] = false;
                bool shade = (x < 31 && !inHand(x + 1, y)) || (y < 31 && !inHand(x, y + 1));
                idx[y * 32 + x] = shade ? 7 : 15;
            } else if (edge) {
                transparent[y * 32 + x] = false;
                idx[y * 32 + x] = 0;
            }
        }
    if (transparent[4 * 32 + 14] || idx[4 * 32 + 14] != 15 || !transparent[0])
        Fail("the hand's hot spot is not on the fingertip");
    static const Entry vga[16] = { { 0, 0, 0 },       { 128, 0, 0 },   { 0, 128, 0 },   { 128, 128, 0 },
                                   { 0, 0, 128 },     { 128, 0, 128 }, { 0, 128, 128 }, { 192, 192, 192 },
                                   { 128, 128, 128 }, { 255, 0, 0 },   { 0, 255, 0 },   { 255, 255, 0 },
                                   { 0, 0, 255 },     { 255, 0, 255 }, { 0, 255, 255 }, { 255, 255, 255 } };
    return CursorFile(14, 4, 4, std::vector<Entry>(vga, vga + 16), idx, transparent);
}

// ---------------------------------------------------------------------------
// A contact sheet of every picture, enlarged, on the black sky.

void ContactSheet(const std::string& path, const std::vector<std::pair<const Image*, const std::vector<Entry>*>>& images,
                  const std::vector<int>& keys)
{
    const int scale = 2, gap = 8;
    int w = 0, h = gap;
    for (auto& im : images) {
        w = std::max(w, im.first->width * scale + 2 * gap);
        h += im.first->height * scale + gap;
    }
    std::vector<uint8_t> rgb(size_t(w) * h * 3, 0);
    int top = gap;
    for (size_t n = 0; n < images.size(); ++n) {
        const Image& img = *images[n].first;
        const std::vector<Entry>& pal = *images[n].second;
        for (int y = 0; y < img.height * scale; ++y)
            for (int x = 0; x < img.width * scale; ++x) {
                int index = img.At(x / scale, y / scale);
                if (index == keys[n])
                    continue;
                uint8_t* p = &rgb[(size_t(top + y) * w + gap + x) * 3];
                p[0] = pal[index].r;
                p[1] = pal[index].g;
                p[2] = pal[index].b;
            }
        top += img.height * scale + gap;
    }
    FILE* f = fopen(path.c_str(), "wb");
    if (!f)
        Fail("cannot write " + path);
    fprintf(f, "P6\n%d %d\n255\n", w, h);
    fwrite(rgb.data(), 1, rgb.size(), f);
    fclose(f);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 3) {
        fprintf(stderr, "usage: artgen <res directory> [contact-sheet.ppm]\n");
        return 2;
    }
    std::string dir = argv[1];
    std::vector<Entry> pal = SpritePalette();

    struct Sheet {
        const char* file;
        int size, columns, rows;
        bool rle;
    };
    const Sheet sheets[] = {
        { "mars1.bmp", 24, 8, 1, false },
        { "mars2.bmp", 40, 8, 1, true },
        { "mars3.bmp", 80, 4, 2, true },
        { "mars4.bmp", 160, 4, 2, true },
    };
    std::vector<Image> images;
    for (const Sheet& s : sheets) {
        images.push_back(SaucerSheet(pal, s.size, s.columns, s.rows));
        CheckKey(s.file, images.back(), pal, kSaucerKeyIndex);
        WriteFile(dir + "/" + s.file, Bitmap8(images.back(), pal, s.rle));
    }
    Image stars = StarSheet(pal);
    CheckKey("stars.bmp", stars, pal, kStarKeyIndex);
    WriteFile(dir + "/stars.bmp", Bitmap8(stars, pal, false));

    std::vector<Entry> logoPal = LogoPalette();
    Image logo = Logo();
    WriteFile(dir + "/logo.bmp", Bitmap8(logo, logoPal, true));
    WriteFile(dir + "/transparent.cur", TransparentCursor());
    WriteFile(dir + "/hand.cur", HandCursor());

    if (argc == 3)
        ContactSheet(argv[2],
                     { { &images[0], &pal }, { &images[1], &pal }, { &images[2], &pal }, { &images[3], &pal },
                       { &stars, &pal }, { &logo, &logoPal } },
                     { kSaucerKeyIndex, kSaucerKeyIndex, kSaucerKeyIndex, kSaucerKeyIndex, kStarKeyIndex, -1 });
    return 0;
}
