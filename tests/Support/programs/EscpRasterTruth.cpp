// The Epson side of cvk_raster_truth: a small decoder of ESC/P 2 and ESC/P
// colour raster written for the tests, apart from the parser's reader, that
// places every dot of every ink on the page and measures what reaches the
// paper by the colour rule (PrinterLanguageParser/Parser/ColourRule.h):
// - ESC i (an ink of its own), ESC . (the ink ESC r or ESC ( r selects),
//   uncompressed or run-length encoded, one or two bits a dot, and the bit
//   images ESC *, ESC K, ESC L, ESC Y, ESC Z of ESC/P (Ghostscript's epsonc);
// - placed by ESC ( U, ESC ( D, ESC ( v, ESC ( V, ESC ( $, ESC $, ESC \,
//   ESC J, line spacing and line feeds, carriage returns and tabs;
// - each dot the area of the data's grid (its width, and the finer of its
//   rows' spacing and the vertical unit);
// - light inks as their ink, red, orange, blue, violet and green as the two
//   inks they mix, black inks and the gloss optimiser neutral;
// - heads whose inks sit one above the other (banks of nozzles) print each
//   ink's data a whole number of its blocks' heights away from where it was
//   sent: each of cyan, magenta and yellow sent in blocks of a millimetre or
//   more is laid over the ink with the most dots at the multiple (up to
//   three either way) where their rows' dots overlap most;
// - cyan, magenta and yellow compared over the rule's ink cells of 2 mm
//   sliding by 1 mm, as the PCL decoder does.
// Pages end at a form feed. Any command, compression or text it does not
// know makes the job undecoded.
#include "tests/Support/programs/EscpRasterTruth.h"

#include "PrinterLanguageParser/Parser/ColourRule.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <map>
#include <set>
#include <string_view>

namespace {

namespace Rule = RawPrintData::ColourRule;

using Bytes = std::vector<unsigned char>;

// The rows of the page: 2880 to the inch, fine enough for every Epson grid.
constexpr double ROWS_PER_INCH = 2880;
// Quarters of an ink cell: 1 mm squares.
constexpr double QUARTER_MM = Rule::INK_CELL_MM / 2;

// The components: cyan, magenta, yellow and inks that are colours of their
// own (of a code not known).
constexpr size_t CYAN = 0, MAGENTA = 1, YELLOW = 2, OTHER = 3, COMPONENTS = 4;
using Amounts = std::array<double, COMPONENTS>;
// What an ink adds to: up to two components, COMPONENTS for none.
using InkParts = std::array<size_t, 2>;
constexpr InkParts NEUTRAL = {COMPONENTS, COMPONENTS};

// An ESC i or ESC ( r colour code: the low four bits name the ink, the high
// ones its shade (light, dark, matte, photo).
InkParts InkOfCode(unsigned code)
{
    switch (code & 0x0F) {
    case 0:  // black
    case 5:  // black inks of other shades
    case 6:
    case 9:  // gloss optimiser
        return NEUTRAL;
    case 1:
        return {MAGENTA, COMPONENTS};
    case 2:
        return {CYAN, COMPONENTS};
    case 4:
        return {YELLOW, COMPONENTS};
    case 7:   // red
    case 10:  // orange
        return {MAGENTA, YELLOW};
    case 8:  // blue
        return {CYAN, MAGENTA};
    case 11:  // green
        return {CYAN, YELLOW};
    default:
        return {OTHER, COMPONENTS};
    }
}

// ESC r n: black, magenta, cyan, violet, yellow, red, green.
InkParts InkOfSelection(unsigned n)
{
    const unsigned value = n >= '0' && n <= '6' ? n - '0' : n;
    static constexpr std::array<InkParts, 7> SELECTED = {{NEUTRAL,
                                                          {MAGENTA, COMPONENTS},
                                                          {CYAN, COMPONENTS},
                                                          {CYAN, MAGENTA},
                                                          {YELLOW, COMPONENTS},
                                                          {MAGENTA, YELLOW},
                                                          {CYAN, YELLOW}}};
    return value < SELECTED.size() ? SELECTED[value] : InkParts{OTHER, COMPONENTS};
}

uint16_t Le16(const Bytes& job, size_t at)
{
    return static_cast<uint16_t>(job[at] | job[at + 1] << 8);
}

class Decoder {
public:
    explicit Decoder(const Bytes& job) : mJob(job) {}

    bool Run(std::vector<PageTruth>& pages)
    {
        mPages = &pages;
        Reset();
        while (mAt < mJob.size()) {
            const unsigned char c = mJob[mAt++];
            bool known = true;
            switch (c) {
            case 0x0C:
                EndPage();
                break;
            case '\r':
                mX = 0;
                break;
            case '\n':
                mY += mLineSpacing;
                break;
            case '\t':
                Tab();
                break;
            case 0x1B:
                known = Escape();
                break;
            default:
                known = c < ' ';  // other controls change nothing here; text is not read
                break;
            }
            if (!known)
                return false;
        }
        if (mPageMarked)
            EndPage();
        return !pages.empty();
    }

private:
    void Reset()
    {
        mVerticalUnit = mHorizontalUnit = mRowPitch = mDotWidth = 1.0 / 360;
        mLineSpacing = 1.0 / 6;
        mCharacterWidth = 0.1;
        mX = 0;
        mInk = NEUTRAL;
        mTabs.clear();
    }

    bool Has(size_t count) const { return mAt + count <= mJob.size(); }

    // One command after ESC; false at one it does not know or that is cut.
    bool Escape()
    {
        if (!Has(1))
            return false;
        const unsigned char command = mJob[mAt++];
        static constexpr std::string_view NO_PARAMETER = "@PMgEFGHT45O02p";
        static constexpr std::string_view ONE_PARAMETER = "UlQxk!Rtaq-NwWS%&sJ+3Ar";
        if (command == 0x01)
            return Ejl();
        if (command == '(')
            return Parenthesis();
        if (command == 'i')
            return RasterI();
        if (command == '.')
            return RasterDot();
        if (command == '*' || command == 'K' || command == 'L' || command == 'Y' || command == 'Z')
            return BitImage(command);
        if (command == '$' || command == '\\') {
            if (!Has(2))
                return false;
            const auto value = Le16(mJob, mAt);
            mAt += 2;
            mX = command == '$' ? value * mHorizontalUnit
                                : mX + static_cast<int16_t>(value) * mHorizontalUnit;
            return true;
        }
        if (command == 'C') {
            if (!Has(1))
                return false;
            mAt += mJob[mAt] == 0 ? 2 : 1;
            return true;
        }
        if (command == 'D' || command == 'B')
            return TabStops(command == 'D');
        if (NO_PARAMETER.find(static_cast<char>(command)) != std::string_view::npos) {
            if (command == '@')
                Reset();
            else if (command == 'P' || command == 'M' || command == 'g')
                mCharacterWidth = command == 'P' ? 0.1 : command == 'M' ? 1.0 / 12 : 1.0 / 15;
            else if (command == '0' || command == '2')
                mLineSpacing = command == '0' ? 1.0 / 8 : 1.0 / 6;
            return true;
        }
        if (ONE_PARAMETER.find(static_cast<char>(command)) != std::string_view::npos) {
            if (!Has(1))
                return false;
            const unsigned n = mJob[mAt++];
            if (command == 'J')
                mY += n / 180.0;
            else if (command == '+')
                mLineSpacing = n / 360.0;
            else if (command == '3')
                mLineSpacing = n / 180.0;
            else if (command == 'A')
                mLineSpacing = n / 60.0;
            else if (command == 'r')
                mInk = InkOfSelection(n);
            return true;
        }
        return false;
    }

    // EJL lines: up to and including the line feed, while they start "@EJL".
    bool Ejl()
    {
        do {
            const auto feed = std::find(mJob.begin() + static_cast<long>(mAt), mJob.end(), '\n');
            if (feed == mJob.end())
                return false;
            mAt = static_cast<size_t>(feed - mJob.begin()) + 1;
        } while (Has(4) && std::memcmp(mJob.data() + mAt, "@EJL", 4) == 0);
        return true;
    }

    bool Parenthesis()
    {
        if (!Has(3))
            return false;
        const unsigned char letter = mJob[mAt];
        const size_t count = Le16(mJob, mAt + 1);
        const size_t p = mAt + 3;
        if (!Has(3 + count))
            return false;
        mAt = p + count;
        const auto number = [this, p, count]() -> double {
            if (count == 2)
                return static_cast<int16_t>(Le16(mJob, p));
            return static_cast<int32_t>(static_cast<uint32_t>(Le16(mJob, p)) |
                                        static_cast<uint32_t>(Le16(mJob, p + 2)) << 16);
        };
        switch (letter) {
        case 'R': {
            // Remote mode: its commands up to ESC NUL NUL NUL.
            static constexpr unsigned char END[] = {0x1B, 0, 0, 0};
            const auto found = std::search(mJob.begin() + static_cast<long>(mAt), mJob.end(), END, END + 4);
            if (found == mJob.end())
                return false;
            mAt = static_cast<size_t>(found - mJob.begin()) + 4;
            return true;
        }
        case 'U':
            if (count == 1 && mJob[p] != 0) {
                mVerticalUnit = mHorizontalUnit = mJob[p] / 3600.0;
            } else if (count == 5 && Le16(mJob, p + 3) != 0) {
                const double base = Le16(mJob, p + 3);
                mVerticalUnit = mJob[p + 1] / base;
                mHorizontalUnit = mJob[p + 2] / base;
            }
            return true;
        case 'D':
            if (count == 4 && Le16(mJob, p) != 0) {
                const double base = Le16(mJob, p);
                mRowPitch = mJob[p + 2] / base;
                mDotWidth = mJob[p + 3] / base;
            }
            return true;
        case 'v':
        case 'V':
        case '$':
            if (count != 2 && count != 4)
                return true;
            if (letter == 'v')
                mY += number() * mVerticalUnit;
            else if (letter == 'V')
                mY = number() * mVerticalUnit;
            else
                mX = number() * mHorizontalUnit;
            return true;
        case 'r':
            if (count >= 2)
                mInk = InkOfCode(static_cast<unsigned>(mJob[p] << 4 | mJob[p + 1]));
            return true;
        default:
            return true;  // paper, margins, dot sizes, modes: nothing placed
        }
    }

    // Raster bytes of a block, decompressed; false when cut or not known.
    bool BlockBytes(unsigned compression, size_t length, Bytes& out)
    {
        out.clear();
        if (compression == 0) {
            if (!Has(length))
                return false;
            out.assign(mJob.begin() + static_cast<long>(mAt), mJob.begin() + static_cast<long>(mAt + length));
            mAt += length;
            return true;
        }
        if (compression != 1)
            return false;
        while (out.size() < length) {
            if (!Has(2))
                return false;
            const unsigned control = mJob[mAt++];
            if (control >= 128) {
                out.insert(out.end(), 257 - control, mJob[mAt++]);
            } else {
                if (!Has(control + 1))
                    return false;
                out.insert(out.end(), mJob.begin() + static_cast<long>(mAt),
                           mJob.begin() + static_cast<long>(mAt + control + 1));
                mAt += control + 1;
            }
        }
        out.resize(length);
        return true;
    }

    // ESC i r c b nL nH mL mH and its rows.
    bool RasterI()
    {
        if (!Has(7))
            return false;
        const unsigned code = mJob[mAt], compression = mJob[mAt + 1], bits = mJob[mAt + 2];
        const size_t bytesPerRow = Le16(mJob, mAt + 3), rows = Le16(mJob, mAt + 5);
        mAt += 7;
        if (bits != 1 && bits != 2)
            return false;
        Bytes data;
        if (!BlockBytes(compression, bytesPerRow * rows, data))
            return false;
        Place(InkOfCode(code), data, bytesPerRow, rows, bits, mRowPitch, mDotWidth,
              std::min(mRowPitch, mVerticalUnit));
        return true;
    }

    // ESC . c v h m nL nH and its rows, in the selected ink.
    bool RasterDot()
    {
        if (!Has(6))
            return false;
        const unsigned compression = mJob[mAt];
        const double pitch = mJob[mAt + 1] / 3600.0, width = mJob[mAt + 2] / 3600.0;
        const size_t rows = mJob[mAt + 3], dots = Le16(mJob, mAt + 4);
        mAt += 6;
        if (pitch <= 0 || width <= 0)
            return false;
        const size_t bytesPerRow = (dots + 7) / 8;
        Bytes data;
        if (!BlockBytes(compression, bytesPerRow * rows, data))
            return false;
        Place(mInk, data, bytesPerRow, rows, 1, pitch, width, std::min(pitch, mVerticalUnit));
        return true;
    }

    // ESC * m nL nH, ESC K/L/Y/Z nL nH: columns of 8 or 24 dots, top bit
    // first, in the selected ink.
    bool BitImage(unsigned char command)
    {
        unsigned mode = command == 'K' ? 0 : command == 'L' ? 1 : command == 'Y' ? 2 : 3;
        if (command == '*') {
            if (!Has(1))
                return false;
            mode = mJob[mAt++];
        }
        if (!Has(2))
            return false;
        const size_t columns = Le16(mJob, mAt);
        mAt += 2;
        static const std::map<unsigned, double> DENSITY = {{0, 60},   {1, 120},  {2, 120},  {3, 240},  {4, 80},
                                                           {6, 90},   {32, 60},  {33, 120}, {38, 90},  {39, 180},
                                                           {40, 360}, {71, 180}, {72, 360}, {73, 360}};
        const auto density = DENSITY.find(mode);
        if (density == DENSITY.end())
            return false;
        // 8 pins 1/60 inch apart, 24 at 1/180, or 48 at 1/360.
        const size_t bytesPerColumn = mode >= 64 ? 6 : mode >= 32 ? 3 : 1;
        const double pin = mode >= 64 ? 1.0 / 360 : mode >= 32 ? 1.0 / 180 : 1.0 / 60;
        if (!Has(columns * bytesPerColumn))
            return false;
        const double width = 1.0 / density->second;
        mPageMarked = true;
        for (size_t column = 0; column < columns; ++column) {
            for (size_t byte = 0; byte < bytesPerColumn; ++byte) {
                const unsigned value = mJob[mAt + column * bytesPerColumn + byte];
                for (unsigned bit = 0; bit < 8 && value != 0; ++bit)
                    if (value >> (7 - bit) & 1)
                        AddDot(mInk, mX + static_cast<double>(column) * width,
                               mY + static_cast<double>(byte * 8 + bit) * pin, width, pin);
            }
        }
        mAt += columns * bytesPerColumn;
        mX += static_cast<double>(columns) * width;
        return true;
    }

    bool TabStops(bool horizontal)
    {
        if (horizontal)
            mTabs.clear();
        for (size_t count = 0; count <= 32; ++count) {
            if (!Has(1))
                return false;
            const unsigned column = mJob[mAt++];
            if (column == 0)
                return true;
            if (horizontal)
                mTabs.push_back(column * mCharacterWidth);
        }
        return true;
    }

    void Tab()
    {
        for (const double stop : mTabs)
            if (stop > mX + 1e-9) {
                mX = stop;
                return;
            }
    }

    // The rows of a block from the print position, which then moves past them.
    void Place(InkParts ink, const Bytes& data, size_t bytesPerRow, size_t rows, unsigned bits, double pitch,
               double width, double height)
    {
        const unsigned dotsPerByte = 8 / bits, mask = (1u << bits) - 1;
        mPageMarked = true;
        for (const size_t part : ink)
            if (part < 3 && ink[1] == COMPONENTS)
                mBlockRows[part] = static_cast<double>(rows) * pitch * ROWS_PER_INCH;
        for (size_t row = 0; ink != NEUTRAL && row < rows; ++row) {
            const double y = mY + static_cast<double>(row) * pitch;
            for (size_t byte = 0; byte < bytesPerRow; ++byte) {
                const unsigned value = data[row * bytesPerRow + byte];
                for (unsigned dot = 0; dot < dotsPerByte && value != 0; ++dot)
                    if (value >> (8 - bits * (dot + 1)) & mask)
                        AddDot(ink, mX + static_cast<double>(byte * dotsPerByte + dot) * width, y, width, height);
            }
        }
        mX += static_cast<double>(bytesPerRow * dotsPerByte) * width;
    }

    void AddDot(InkParts ink, double x, double y, double width, double height)
    {
        if (ink == NEUTRAL || x < 0 || y < 0)
            return;
        const double area = width * height * Rule::MM_PER_INCH * Rule::MM_PER_INCH;
        mDotHeightMm = height * Rule::MM_PER_INCH;
        mDotAreaMm2 = area;
        const auto row = static_cast<int64_t>(std::llround(y * ROWS_PER_INCH));
        const auto column = static_cast<size_t>(x * Rule::MM_PER_INCH / QUARTER_MM);
        std::vector<Amounts>& cells = mRows[row];
        if (cells.size() <= column)
            cells.resize(column + 1);
        for (const size_t part : ink)
            if (part < COMPONENTS)
                cells[column][part] += area;
    }

    // Of cyan, magenta and yellow, how many rows each lands below where it
    // was sent: the whole number of its last block's heights (up to three)
    // where its rows' dots overlap most those of the ink with the most dots
    // (the nearer shift when two overlap as much).
    std::array<int64_t, 3> Shifts() const
    {
        std::array<std::map<int64_t, double>, 3> profiles;
        std::array<double, 3> totals{};
        for (const auto& [row, cells] : mRows)
            for (const Amounts& cell : cells)
                for (size_t ink = 0; ink < 3; ++ink)
                    if (cell[ink] > 0) {
                        profiles[ink][row] += cell[ink];
                        totals[ink] += cell[ink];
                    }
        std::array<int64_t, 3> shifts{};
        const size_t reference = static_cast<size_t>(std::max_element(totals.begin(), totals.end()) - totals.begin());
        if (profiles[reference].empty())
            return shifts;
        const int64_t first = profiles[reference].begin()->first;
        const int64_t last = profiles[reference].rbegin()->first;
        std::vector<double> dense(static_cast<size_t>(last - first + 1));
        for (const auto& [row, amount] : profiles[reference])
            dense[static_cast<size_t>(row - first)] = amount;
        for (size_t ink = 0; ink < 3; ++ink) {
            if (ink == reference || profiles[ink].empty())
                continue;
            // Only banks of nozzles sit apart: a block of at least a
            // millimetre, moved by a whole number of its heights.
            const double height = mBlockRows[ink];
            if (height < ROWS_PER_INCH / Rule::MM_PER_INCH)
                continue;
            double best = 0;
            for (const int banks : {0, 1, -1, 2, -2, 3, -3}) {
                const auto shift = static_cast<int64_t>(std::llround(banks * height));
                double overlap = 0;
                for (const auto& [row, amount] : profiles[ink]) {
                    const int64_t at = row + shift;
                    if (at >= first && at <= last)
                        overlap += std::min(amount, dense[static_cast<size_t>(at - first)]);
                }
                if (overlap > best) {
                    best = overlap;
                    shifts[ink] = shift;
                }
            }
        }
        return shifts;
    }

    void EndPage()
    {
        PageTruth page;
        const std::array<int64_t, 3> shifts = Shifts();
        // The quarters' amounts, each ink where it lands.
        std::map<std::pair<int64_t, size_t>, Amounts> quarters;
        for (const auto& [row, cells] : mRows) {
            for (size_t column = 0; column < cells.size(); ++column) {
                for (size_t part = 0; part < COMPONENTS; ++part) {
                    if (cells[column][part] <= 0)
                        continue;
                    const int64_t landed = row + (part < 3 ? shifts[part] : 0);
                    const auto quarterRow = static_cast<int64_t>(
                        std::floor(static_cast<double>(landed) / ROWS_PER_INCH * Rule::MM_PER_INCH / QUARTER_MM));
                    quarters[{quarterRow, column}][part] += cells[column][part];
                }
            }
        }
        const auto amounts = [&quarters](int64_t r, size_t c) {
            const auto found = quarters.find({r, c});
            return found == quarters.end() ? Amounts{} : found->second;
        };
        // Cells of two quarters a side, at every quarter: a quarter in a
        // cell whose inks part puts the ink by which its own amounts part.
        const double full = Rule::INK_CELL_MM * Rule::INK_CELL_MM;
        const double row = Rule::INK_CELL_MM * mDotHeightMm;
        std::set<std::pair<int64_t, size_t>> colour;
        for (const auto& [where, inks] : quarters) {
            for (int64_t r = where.first - 1; r <= where.first; ++r)
                for (size_t c = where.second == 0 ? 0 : where.second - 1; c <= where.second; ++c) {
                    Amounts sum{};
                    for (int64_t dr = 0; dr < 2; ++dr)
                        for (size_t dc = 0; dc < 2; ++dc)
                            for (size_t ink = 0; ink < 3; ++ink)
                                sum[ink] += amounts(r + dr, c + dc)[ink];
                    const double high = std::max({sum[CYAN], sum[MAGENTA], sum[YELLOW]});
                    const double low = std::min({sum[CYAN], sum[MAGENTA], sum[YELLOW]});
                    if (Rule::InkCellIsColour(high - low, high, full, row))
                        for (int64_t dr = 0; dr < 2; ++dr)
                            for (size_t dc = 0; dc < 2; ++dc)
                                colour.insert({r + dr, c + dc});
                }
            page.mm2 += inks[OTHER];
        }
        for (const auto& where : colour) {
            const Amounts inks = amounts(where.first, where.second);
            page.mm2 += std::max({inks[CYAN], inks[MAGENTA], inks[YELLOW]}) -
                        std::min({inks[CYAN], inks[MAGENTA], inks[YELLOW]});
        }
        page.dots = mDotAreaMm2 > 0 ? static_cast<uint64_t>(page.mm2 / mDotAreaMm2 + 0.5) : 0;
        page.colour = page.mm2 >= Rule::MINIMUM_COLOUR_AREA_MM2 * (1 - 1e-9);
        mPages->push_back(page);
        mRows.clear();
        mBlockRows = {};
        mPageMarked = false;
        mY = 0;
        mX = 0;
    }

    const Bytes& mJob;
    size_t mAt = 0;
    std::vector<PageTruth>* mPages = nullptr;
    double mVerticalUnit = 0, mHorizontalUnit = 0, mRowPitch = 0, mDotWidth = 0;
    double mLineSpacing = 0, mCharacterWidth = 0;
    double mX = 0, mY = 0;
    double mDotHeightMm = Rule::MM_PER_INCH / 360, mDotAreaMm2 = 0;
    bool mPageMarked = false;
    // Of cyan, magenta and yellow, the height of their last block in rows.
    std::array<double, 3> mBlockRows{};
    InkParts mInk = NEUTRAL;
    std::vector<double> mTabs;
    // The page's dots by row (ROWS_PER_INCH) and quarter column.
    std::map<int64_t, std::vector<Amounts>> mRows;
};

}  // namespace

bool IsEscpJob(const std::vector<unsigned char>& job)
{
    size_t at = 0;
    while (at < job.size() && at < 4096 && job[at] == 0)
        ++at;
    return at + 1 < job.size() && job[at] == 0x1B && (job[at + 1] == '@' || job[at + 1] == 0x01);
}

bool DecodeEscpRaster(const std::vector<unsigned char>& job, std::vector<PageTruth>& pages)
{
    return Decoder(job).Run(pages);
}
