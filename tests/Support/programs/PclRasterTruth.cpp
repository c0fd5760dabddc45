// The PCL side of cvk_raster_truth: a small decoder of PCL raster written
// for the tests, apart from the parser's reader, that measures what a job's
// rows put on paper by the colour rule (PrinterLanguageParser/Parser/
// ColourRule.h):
// - colour planes (ESC * r # U: -4 KCMY, -3 CMY, 3 RGB, 1 K; ESC * g # W
//   format 2: components of 2 to 4 levels, a plane a bit), rows compressed
//   in modes 0, 1, 2, 3 and 9, their inks compared over square ink cells
//   (black ignored: neutral whatever its amount; RGB's planes are light, their
//   ink where a bit is clear); moves down (ESC & a + # V) are blank rows;
// - 24-bit pixels (ESC * v # W direct by pixel, RGB or CMY), dot by dot;
// - ESC * g # W format 6 (hpcups' PCL 3 GUI, Ghostscript's DesignJet and
//   Business Inkjet): RGB pixels in mode 10 (Mode10Truth.cpp), dot by dot,
//   beside a black plane that is passed over.
// Pages end at a form feed or ESC E. Anything else it cannot measure (another
// configuration or compression) makes the job undecoded.
#include "tests/Support/programs/PclRasterTruth.h"

#include "PrinterLanguageParser/Parser/ColourRule.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <map>
#include <set>
#include <string>

namespace {

namespace Rule = RawPrintData::ColourRule;

using Bytes = std::vector<unsigned char>;

// One colour component of the planes: its planes (low bit first) and levels.
struct Component {
    enum class Ink { Black, Cyan, Magenta, Yellow } ink;
    int planes = 1;
    int levels = 2;
};

class Decoder {
public:
    explicit Decoder(const Bytes& job) : mJob(job) {}

    bool Run(std::vector<PageTruth>& pages)
    {
        mPages = &pages;
        while (mAt < mJob.size()) {
            const unsigned char c = mJob[mAt++];
            if (c == 0x0C) {
                EndPage();
            } else if (c == 0x1B && !Escape()) {
                return false;
            }
        }
        EndPage();
        return !mFailed;
    }

private:
    // One escape sequence after ESC; false at a sequence it cannot measure.
    bool Escape()
    {
        if (mAt >= mJob.size())
            return true;
        const unsigned char first = mJob[mAt++];
        if (first == 'E') {
            EndPage();
            return true;
        }
        if (first < 0x21 || first > 0x2F)
            return true;  // two-byte sequence
        if (mAt >= mJob.size())
            return true;
        const unsigned char group = mJob[mAt];
        if (group >= 0x60 && group <= 0x7E)
            ++mAt;
        for (;;) {
            // A value, then a parameter character; upper case ends the sequence.
            size_t start = mAt;
            while (mAt < mJob.size() && (std::isdigit(mJob[mAt]) || mJob[mAt] == '-' || mJob[mAt] == '+' ||
                                         mJob[mAt] == '.'))
                ++mAt;
            if (mAt >= mJob.size() || mJob[mAt] < 0x40 || mJob[mAt] > 0x7E)
                return true;  // cut short: the byte is read again
            const long value = std::strtol(std::string(mJob.begin() + static_cast<long>(start),
                                                       mJob.begin() + static_cast<long>(mAt)).c_str(),
                                           nullptr, 10);
            const unsigned char parameter = mJob[mAt++];
            const bool last = parameter >= 0x40 && parameter <= 0x5E;
            const char upper = static_cast<char>(last ? parameter : parameter - 0x20);
            const bool down = mJob[start] == '+';
            if (!Command(first, group, upper, value, down))
                return false;
            // Ghostscript's DeskJet drivers go on with a row's planes after
            // an upper-case V or Y: "ESC * b 0 V 0 v 7 w", "ESC * b 2 Y v 7 w".
            if (last && first == '*' && group == 'b' && mAt < mJob.size() &&
                (std::isdigit(mJob[mAt]) || mJob[mAt] == 'v' || mJob[mAt] == 'w'))
                continue;
            if (last || parameter < 0x60 || parameter > 0x7E)
                return true;
        }
    }

    // The data that follows a command, clipped to the job.
    Bytes Data(long length)
    {
        const size_t take = std::min(static_cast<size_t>(std::max(length, 0L)), mJob.size() - mAt);
        Bytes data(mJob.begin() + static_cast<long>(mAt), mJob.begin() + static_cast<long>(mAt + take));
        mAt += take;
        return data;
    }

    // down: the value is a move down from where the cursor is.
    bool Command(unsigned char first, unsigned char group, char command, long value, bool down)
    {
        // The cursor moved down (in decipoints, or in PCL units of 1/300
        // inch): the rows it passes over are blank rows of the raster.
        const long moved = !down || value <= 0                           ? 0
                           : first == '&' && group == 'a' && command == 'V' ? value * mDpi / 720
                           : first == '*' && group == 'p' && command == 'Y' ? value * mDpi / 300
                                                                             : 0;
        if (moved > 0) {
            mRow += static_cast<size_t>(moved);
            mSeeds.clear();
        }
        if (first == '*' && group == 't' && command == 'R') {
            mDpi = value > 0 ? value : 75;
        } else if (first == '*' && group == 'r' && command == 'U') {
            SimplePlanes(value);
        } else if (first == '*' && group == 'r' && (command == 'A' || command == 'B' || command == 'C')) {
            mSeeds.clear();
            mRgb.clear();
            mPlane = 0;
        } else if (first == '*' && group == 'b' && command == 'M') {
            mMode = value;
        } else if (first == '*' && group == 'b' && command == 'Y') {
            mSeeds.clear();
            mRgb.clear();
            mRow += value > 0 ? static_cast<size_t>(value) : 0;
        } else if (first == '*' && group == 'b' && (command == 'V' || command == 'W')) {
            return Plane(Data(value), command == 'W');
        } else if (first == '*' && group == 'g' && command == 'W') {
            return Configure(Data(value));
        } else if (first == '*' && group == 'v' && command == 'W') {
            return ConfigureImage(Data(value));
        } else if ((first == '(' || first == ')') && group == 's' && command == 'W') {
            Data(value);  // font data
        } else if (first == '&' && group == 'p' && command == 'X') {
            Data(value);  // transparent print data
        } else if (first == '*' && group == 'c' && command == 'W') {
            Data(value);  // pattern data
        } else if (first == '%' && (command == 'A' || command == 'B')) {
            // HP-GL/2 or RTL: not read here.
            if (command == 'B' && value >= 0)
                return false;
        }
        return true;
    }

    void SimplePlanes(long planes)
    {
        mPixels = false;
        mPlaneModes.clear();
        mLight = false;
        mComponents.clear();
        using Ink = Component::Ink;
        if (planes == -4)
            mComponents = {{Ink::Black}, {Ink::Cyan}, {Ink::Magenta}, {Ink::Yellow}};
        else if (planes == -3 || planes == 3)
            mComponents = {{Ink::Cyan}, {Ink::Magenta}, {Ink::Yellow}};
        else
            mComponents = {{Ink::Black}};
        // Red, green and blue planes set a bit for light: the ink is where
        // it is clear (of the bytes sent; the rest of a row is paper).
        mLight = planes == 3;
        mCellDpi = mDpi;
    }

    // ESC * g # W format 2: black alone, CMY or KCMY, each with resolution
    // and levels.
    bool Configure(const Bytes& data)
    {
        if (!data.empty() && data[0] == 6)
            return ConfigureFormat6(data);
        mPlaneModes.clear();
        if (data.size() < 2 || data[0] != 2)
            return false;
        const size_t count = data[1];
        if (count != 1 && count != 3 && count != 4)
            return false;
        if (data.size() < 2 + 6 * count)
            return false;
        using Ink = Component::Ink;
        const Ink order[4] = {Ink::Black, Ink::Cyan, Ink::Magenta, Ink::Yellow};
        mComponents.clear();
        mPixels = false;
        mLight = false;
        mCellDpi = 0;
        for (size_t index = 0; index < count; ++index) {
            const unsigned char* entry = data.data() + 2 + 6 * index;
            const int dpi = entry[0] << 8 | entry[1];
            const int levels = entry[4] << 8 | entry[5];
            if (levels < 2 || levels > 4 || dpi <= 0)
                return false;
            const Ink ink = order[count == 3 ? index + 1 : index];
            mComponents.push_back({ink, levels > 2 ? 2 : 1, levels});
            if (ink != Ink::Black) {
                mCellDpi = dpi;
                mDpi = dpi;
            }
        }
        if (mCellDpi == 0)
            mCellDpi = mDpi;
        // Black at twice the colour's resolution sends two rows a row.
        for (size_t index = 0; index < count; ++index) {
            const unsigned char* entry = data.data() + 2 + 6 * index;
            const int dpi = entry[2] << 8 | entry[3];
            if (mComponents[index].ink == Ink::Black && dpi > mCellDpi && dpi % mCellDpi == 0)
                mComponents[index].planes *= dpi / static_cast<int>(mCellDpi);
        }
        return true;
    }

    // ESC * g # W format 6: components of eight bytes (resolution across and
    // down, compression, orientation, bits, planes): black of one bit, and
    // RGB of 24 bits (0x20) in mode 10, a plane each.
    bool ConfigureFormat6(const Bytes& data)
    {
        const size_t count = data.size() >= 4 ? static_cast<size_t>(data[2] << 8 | data[3]) : 0;
        if (count == 0 || data.size() < 4 + 8 * count)
            return false;
        mComponents.clear();
        mPlaneModes.clear();
        mRgb.clear();
        mPixels = true;
        mLight = false;
        bool rgb = false;
        for (size_t index = 0; index < count; ++index) {
            const unsigned char* entry = data.data() + 4 + 8 * index;
            if (entry[6] == 0x20 && entry[4] == 10 && entry[7] == 1) {
                rgb = true;
                mDpi = entry[0] << 8 | entry[1];
            } else if (entry[6] != 1 || entry[7] != 1) {
                return false;
            }
            mPlaneModes.push_back(entry[6] == 0x20 ? -1 : entry[4]);
        }
        return rgb && mDpi > 0;
    }

    // ESC * v # W: 24-bit pixels direct by pixel are measured dot by dot.
    bool ConfigureImage(const Bytes& data)
    {
        if (data.size() < 6)
            return false;
        mComponents.clear();
        mPlaneModes.clear();
        mLight = false;
        mPixels = data[1] == 3 && data[3] == 8 && data[4] == 8 && data[5] == 8 && data[0] <= 1;
        if (mPixels)
            return true;
        // Three one-bit planes, direct by plane: RGB or CMY.
        if (data[1] == 2 && data[3] == 1 && data[4] == 1 && data[5] == 1 && data[0] <= 1) {
            SimplePlanes(data[0] == 0 ? 3 : -3);
            return true;
        }
        return false;
    }

    // Decodes one plane's row by a compression mode over its seed row.
    bool Decompress(const Bytes& data, Bytes& seed, long mode)
    {
        switch (mode) {
        case 0:
            seed = data;
            return true;
        case 1: {
            seed.clear();
            for (size_t at = 0; at + 1 < data.size(); at += 2)
                seed.insert(seed.end(), data[at] + 1u, data[at + 1]);
            return true;
        }
        case 2: {
            seed.clear();
            for (size_t at = 0; at < data.size();) {
                const int control = static_cast<signed char>(data[at++]);
                if (control >= 0) {
                    const size_t take = std::min<size_t>(control + 1u, data.size() - at);
                    seed.insert(seed.end(), data.begin() + static_cast<long>(at),
                                data.begin() + static_cast<long>(at + take));
                    at += take;
                } else if (control != -128 && at < data.size()) {
                    seed.insert(seed.end(), 1u - control, data[at++]);
                }
            }
            return true;
        }
        case 3: {
            size_t position = 0;
            for (size_t at = 0; at < data.size();) {
                const unsigned char command = data[at++];
                size_t count = (command >> 5) + 1u;
                size_t offset = command & 0x1F;
                if (offset == 31)
                    while (at < data.size() && (offset += data[at++], data[at - 1] == 255)) {
                    }
                position += offset;
                for (; count > 0 && at < data.size(); --count, ++position) {
                    if (seed.size() <= position)
                        seed.resize(position + 1, 0);
                    seed[position] = data[at++];
                }
            }
            return true;
        }
        case 9: {
            size_t position = 0;
            for (size_t at = 0; at < data.size();) {
                const unsigned char command = data[at++];
                const bool run = command & 0x80;
                size_t offset = run ? (command >> 5) & 3 : (command >> 3) & 15;
                size_t count = run ? (command & 31) : (command & 7);
                const size_t offsetMore = run ? 3 : 15;
                const size_t countMore = run ? 31 : 7;
                if (offset == offsetMore)
                    while (at < data.size() && (offset += data[at++], data[at - 1] == 255)) {
                    }
                if (count == countMore)
                    while (at < data.size() && (count += data[at++], data[at - 1] == 255)) {
                    }
                count += run ? 2 : 1;
                position += offset;
                if (run) {
                    if (at >= data.size())
                        break;
                    const unsigned char byte = data[at++];
                    if (seed.size() < position + count)
                        seed.resize(position + count, 0);
                    std::fill_n(seed.begin() + static_cast<long>(position), count, byte);
                    position += count;
                } else {
                    for (; count > 0 && at < data.size(); --count, ++position) {
                        if (seed.size() <= position)
                            seed.resize(position + 1, 0);
                        seed[position] = data[at++];
                    }
                }
            }
            return true;
        }
        default:
            return false;
        }
    }

    bool Plane(const Bytes& data, bool last)
    {
        if (mSeeds.size() <= mPlane)
            mSeeds.resize(mPlane + 1);
        // Format 6 gives each plane its compression; -1 for RGB pixels.
        const long mode = mPlane < mPlaneModes.size() ? mPlaneModes[mPlane] : mMode;
        if (!(mode == -1 ? DecodeMode10Row(data, mRgb) : Decompress(data, mSeeds[mPlane], mode))) {
            mFailed = true;
            return false;
        }
        ++mPlane;
        if (last) {
            Row();
            mPlane = 0;
            ++mRow;
        }
        return true;
    }

    // Measures the row just completed.
    void Row()
    {
        mPageHasRows = true;
        if (mPixels && !mPlaneModes.empty()) {
            for (const uint32_t pixel : mRgb)
                if (!Rule::IsNeutral(static_cast<int>(pixel >> 16), static_cast<int>(pixel >> 8 & 0xFF),
                                     static_cast<int>(pixel & 0xFF)))
                    ++mDots;
            mDotDpi = mDpi;
            return;
        }
        if (mPixels) {
            const Bytes& row = mSeeds.empty() ? Bytes() : mSeeds[0];
            for (size_t at = 0; at + 2 < row.size(); at += 3)
                if (!Rule::IsNeutral(row[at], row[at + 1], row[at + 2]))
                    ++mDots;
            mDotDpi = mDpi;
            return;
        }
        // Amounts are kept by quarter cell (half a cell's side each way).
        const uint32_t cell = (Rule::InkCellDots(mCellDpi) + 1) / 2;
        const size_t cellRow = mRow / cell;
        size_t plane = 0;
        for (const Component& component : mComponents) {
            const size_t first = plane;
            plane += static_cast<size_t>(component.planes);
            if (component.ink == Component::Ink::Black)
                continue;
            const int channel = static_cast<int>(component.ink) - 1;
            const size_t bytes = plane <= mSeeds.size() ? mSeeds[first].size() : 0;
            for (size_t byte = 0; byte < bytes; ++byte) {
                for (int bit = 0; bit < 8; ++bit) {
                    int level = 0;
                    for (int p = 0; p < component.planes; ++p) {
                        const Bytes& row = mSeeds[first + static_cast<size_t>(p)];
                        if (byte < row.size() && ((row[byte] ^ (mLight ? 0xFF : 0)) >> (7 - bit) & 1))
                            level |= 1 << p;
                    }
                    if (level == 0)
                        continue;
                    const size_t x = byte * 8 + static_cast<size_t>(bit);
                    const double amount = 255.0 * std::min(level, component.levels - 1) / (component.levels - 1);
                    mCells[{cellRow, x / cell}][channel] += amount;
                }
            }
        }
    }

    void EndPage()
    {
        if (!mPageHasRows)
            return;
        PageTruth page;
        if (mDotDpi > 0) {
            const double dotMm = Rule::MM_PER_INCH / static_cast<double>(mDotDpi > 0 ? mDotDpi : mDpi);
            page.dots = mDots;
            page.mm2 = static_cast<double>(mDots) * dotMm * dotMm;
        }
        // Cells of two quarters a side, at every quarter: a quarter in a
        // cell whose inks part puts the ink by which its own amounts part.
        const uint32_t quarter = (Rule::InkCellDots(mCellDpi) + 1) / 2;
        const double row = 255.0 * 2 * quarter, full = row * 2 * quarter;
        const double dotMm = Rule::MM_PER_INCH / static_cast<double>(mCellDpi);
        const auto amounts = [this](size_t r, size_t c) {
            const auto found = mCells.find({r, c});
            return found == mCells.end() ? std::array<double, 3>{} : found->second;
        };
        std::set<std::pair<size_t, size_t>> colour;
        for (const auto& [where, inks] : mCells) {
            for (size_t r = where.first == 0 ? 0 : where.first - 1; r <= where.first; ++r)
                for (size_t c = where.second == 0 ? 0 : where.second - 1; c <= where.second; ++c) {
                    std::array<double, 3> sum{};
                    for (size_t dr = 0; dr < 2; ++dr)
                        for (size_t dc = 0; dc < 2; ++dc)
                            for (size_t ink = 0; ink < 3; ++ink)
                                sum[ink] += amounts(r + dr, c + dc)[ink];
                    const double high = *std::max_element(sum.begin(), sum.end());
                    const double low = *std::min_element(sum.begin(), sum.end());
                    if (Rule::InkCellIsColour(high - low, high, full, row))
                        for (size_t dr = 0; dr < 2; ++dr)
                            for (size_t dc = 0; dc < 2; ++dc)
                                colour.insert({r + dr, c + dc});
                }
        }
        for (const auto& where : colour) {
            const std::array<double, 3> inks = amounts(where.first, where.second);
            const double dots =
                (*std::max_element(inks.begin(), inks.end()) - *std::min_element(inks.begin(), inks.end())) / 255.0;
            page.dots += static_cast<uint64_t>(dots + 0.5);
            page.mm2 += dots * dotMm * dotMm;
        }
        page.colour = page.mm2 >= Rule::MINIMUM_COLOUR_AREA_MM2 * (1 - 1e-9);
        mPages->push_back(page);
        mPageHasRows = false;
        mCells.clear();
        mDots = 0;
        mRow = 0;
        mSeeds.clear();
        mRgb.clear();
    }

    const Bytes& mJob;
    size_t mAt = 0;
    std::vector<PageTruth>* mPages = nullptr;
    long mDpi = 75;
    long mCellDpi = 75;
    long mDotDpi = 0;
    long mMode = 0;
    bool mPixels = false;
    bool mLight = false;
    bool mFailed = false;
    bool mPageHasRows = false;
    std::vector<Component> mComponents = {{Component::Ink::Black}};
    std::vector<Bytes> mSeeds;
    // Format 6: each plane's compression (-1 the RGB pixels), and the last
    // row of RGB pixels.
    std::vector<long> mPlaneModes;
    std::vector<uint32_t> mRgb;
    size_t mPlane = 0;
    size_t mRow = 0;
    uint64_t mDots = 0;
    std::map<std::pair<size_t, size_t>, std::array<double, 3>> mCells;
};

}  // namespace

bool DecodePclRaster(const std::vector<unsigned char>& job, std::vector<PageTruth>& pages)
{
    return Decoder(job).Run(pages);
}
