#include "tests/Support/HostilePdf.h"

#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>

#include <stdexcept>

namespace TestSupport {

namespace {

// Raw deflate of the data; full flush keeps the piece independent of what
// came before, finish ends the stream.
std::string RawDeflate(const std::string& data, int flush)
{
    z_stream stream{};
    if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("deflateInit2");
    std::string out(deflateBound(&stream, data.size()) + 64, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, flush);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

std::string BigEndian(uint64_t value, int bytes)
{
    std::string text;
    for (int index = bytes - 1; index >= 0; --index)
        text += static_cast<char>((value >> (8 * index)) & 0xFF);
    return text;
}

}  // namespace

std::string DeflatedRun(const std::string& head, char byte, uint64_t count, const std::string& tail)
{
    constexpr uint64_t PIECE = 16u * 1024u * 1024u;
    const std::string piece(count >= PIECE ? PIECE : 0, byte);
    const std::string deflatedPiece = RawDeflate(piece, Z_FULL_FLUSH);
    const uLong piecesSum =
        adler32(adler32(0, nullptr, 0), reinterpret_cast<const Bytef*>(piece.data()), static_cast<uInt>(piece.size()));
    std::string out = "\x78\xDA" + RawDeflate(head, Z_FULL_FLUSH);
    uLong sum = adler32(adler32(0, nullptr, 0), reinterpret_cast<const Bytef*>(head.data()),
                        static_cast<uInt>(head.size()));
    for (uint64_t left = count; left > 0;) {
        if (left >= PIECE) {
            out += deflatedPiece;
            sum = adler32_combine(sum, piecesSum, PIECE);
            left -= PIECE;
        } else {
            const std::string rest(left, byte);
            out += RawDeflate(rest, Z_FULL_FLUSH);
            sum = adler32(sum, reinterpret_cast<const Bytef*>(rest.data()), static_cast<uInt>(rest.size()));
            left = 0;
        }
    }
    out += RawDeflate(tail, Z_FINISH);
    sum = adler32(sum, reinterpret_cast<const Bytef*>(tail.data()), static_cast<uInt>(tail.size()));
    return out + BigEndian(sum, 4);
}

int PdfText::Add(std::string body)
{
    mvecBodies.push_back(std::move(body));
    return static_cast<int>(mvecBodies.size());
}

void PdfText::Set(int number, std::string body)
{
    mvecBodies.at(static_cast<size_t>(number - 1)) = std::move(body);
}

int PdfText::AddStream(const std::string& entries, const std::string& data)
{
    return Add("<< " + entries + " /Length " + std::to_string(data.size()) + " >>\nstream\n" + data + "\nendstream");
}

int PdfText::AddCompressed(std::string body)
{
    const int number = Add(std::move(body));
    mvecCompressed.push_back(number);
    return number;
}

std::string PdfText::ObjectStreamText() const
{
    std::string header;
    std::string objects;
    for (int number : mvecCompressed) {
        header += std::to_string(number) + " " + std::to_string(objects.size()) + " ";
        objects += mvecBodies[static_cast<size_t>(number - 1)] + "\n";
    }
    return header + "\n" + objects;
}

int PdfText::AddObjectStream(const std::string& filterEntries, const std::string& data, size_t first)
{
    const std::string text = ObjectStreamText();
    if (first == 0)
        first = text.find('\n') + 1;
    mintObjectStream = AddStream("/Type /ObjStm /N " + std::to_string(mvecCompressed.size()) + " /First " +
                                     std::to_string(first) + " " + filterEntries,
                                 data.empty() ? text : data);
    return mintObjectStream;
}

std::string PdfText::Pages(const std::vector<std::string>& contents, const std::string& resources)
{
    PdfText pdf;
    const int catalog = pdf.Add("");
    const int tree = pdf.Add("");
    std::string kids;
    for (const std::string& content : contents) {
        const int stream = pdf.AddStream("", content);
        kids += std::to_string(pdf.Add("<< /Type /Page /Parent " + std::to_string(tree) +
                                       " 0 R /MediaBox [0 0 595 842] /Resources " + resources + " /Contents " +
                                       std::to_string(stream) + " 0 R >>")) +
                " 0 R ";
    }
    pdf.Set(catalog, "<< /Type /Catalog /Pages " + std::to_string(tree) + " 0 R >>");
    pdf.Set(tree, "<< /Type /Pages /Count " + std::to_string(contents.size()) + " /Kids [" + kids + "] >>");
    return pdf.Finish(catalog);
}

std::string PdfText::Finish(int catalog) const
{
    std::string file = "%PDF-1.7\n%\xE2\xE3\xCF\xD3\n";
    std::vector<size_t> offsets(mvecBodies.size() + 1, 0);
    std::vector<int> indexInStream(mvecBodies.size() + 1, -1);
    for (size_t index = 0; index < mvecCompressed.size(); ++index)
        indexInStream[static_cast<size_t>(mvecCompressed[index])] = static_cast<int>(index);
    for (size_t number = 1; number <= mvecBodies.size(); ++number) {
        if (indexInStream[number] >= 0 && mintObjectStream != 0)
            continue;
        offsets[number] = file.size();
        file += std::to_string(number) + " 0 obj\n" + mvecBodies[number - 1] + "\nendobj\n";
    }
    const size_t count = mvecBodies.size() + 1;
    if (mintObjectStream == 0) {
        const size_t xref = file.size();
        file += "xref\n0 " + std::to_string(count) + "\n0000000000 65535 f \n";
        for (size_t number = 1; number < count; ++number) {
            const std::string offset = std::to_string(offsets[number]);
            file += std::string(10 - offset.size(), '0') + offset + " 00000 n \n";
        }
        file += "trailer\n<< /Size " + std::to_string(count) + " /Root " + std::to_string(catalog) +
                " 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
        return file;
    }
    // A cross-reference stream, itself the last object.
    std::string entries = BigEndian(0, 1) + BigEndian(0, 4) + BigEndian(65535, 2);
    for (size_t number = 1; number < count; ++number) {
        if (indexInStream[number] >= 0)
            entries += BigEndian(2, 1) + BigEndian(static_cast<uint64_t>(mintObjectStream), 4) +
                       BigEndian(static_cast<uint64_t>(indexInStream[number]), 2);
        else
            entries += BigEndian(1, 1) + BigEndian(offsets[number], 4) + BigEndian(0, 2);
    }
    const size_t xref = file.size();
    entries += BigEndian(1, 1) + BigEndian(xref, 4) + BigEndian(0, 2);
    file += std::to_string(count) + " 0 obj\n<< /Type /XRef /Size " + std::to_string(count + 1) + " /W [1 4 2] /Root " +
            std::to_string(catalog) + " 0 R /Length " + std::to_string(entries.size()) + " >>\nstream\n" + entries +
            "\nendstream\nendobj\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    return file;
}

namespace HostilePdf {

namespace {

std::string Ref(int number)
{
    return std::to_string(number) + " 0 R";
}

// A catalog and page tree over pages made by the callback from the tree's
// number, in a file of its own.
template <typename MakePage> std::string Document(PdfText& pdf, int pages, MakePage makePage, bool packed = false)
{
    const int catalog = packed ? pdf.AddCompressed("") : pdf.Add("");
    const int tree = packed ? pdf.AddCompressed("") : pdf.Add("");
    std::string kids;
    for (int page = 0; page < pages; ++page)
        kids += Ref(makePage(tree)) + " ";
    pdf.Set(catalog, "<< /Type /Catalog /Pages " + Ref(tree) + " >>");
    pdf.Set(tree, "<< /Type /Pages /Count " + std::to_string(pages) + " /Kids [" + kids + "] >>");
    if (packed) {
        const std::string text = pdf.ObjectStreamText();
        pdf.AddObjectStream("/Filter /FlateDecode", DeflatedRun(text, ' ', 0));
    }
    return pdf.Finish(catalog);
}

std::string PageText(int tree, const std::string& resources, int contents)
{
    return "<< /Type /Page /Parent " + Ref(tree) + " /MediaBox [0 0 595 842] /Resources " + resources +
           " /Contents " + Ref(contents) + " >>";
}

}  // namespace

std::string ZerosThenRed(uint64_t zeros)
{
    PdfText pdf;
    const int content = pdf.AddStream("/Filter /FlateDecode", DeflatedRun("", '\0', zeros, "\n1 0 0 rg 0 0 99 99 re f\n"));
    return Document(pdf, 1, [&](int tree) { return pdf.Add(PageText(tree, "<< >>", content)); });
}

std::string NestedForms(int forms, uint64_t padding)
{
    PdfText pdf;
    int next = 0;
    for (int form = forms; form >= 1; --form) {
        const std::string tail = next == 0 ? "\n0.5 g 0 0 9 9 re f\n" : "\n/F Do\n";
        const std::string resources = next == 0 ? "<< >>" : "<< /XObject << /F " + Ref(next) + " >> >>";
        next = pdf.AddStream("/Type /XObject /Subtype /Form /BBox [0 0 99 99] /Resources " + resources +
                                 " /Filter /FlateDecode",
                             DeflatedRun("", ' ', padding, tail));
    }
    const int content = pdf.AddStream("", "/F Do");
    const std::string resources = "<< /XObject << /F " + Ref(next) + " >> >>";
    return Document(pdf, 1, [&](int tree) { return pdf.Add(PageText(tree, resources, content)); });
}

std::string FormOnEveryPage(int pages, uint64_t padding)
{
    PdfText pdf;
    const int form = pdf.AddStream("/Type /XObject /Subtype /Form /BBox [0 0 99 99] /Resources << >> /Filter /FlateDecode",
                                   DeflatedRun("", ' ', padding, "\n0.5 g 0 0 9 9 re f\n"));
    const int resources = pdf.Add("<< /XObject << /F " + Ref(form) + " >> >>");
    return Document(pdf, pages, [&](int tree) {
        const int content = pdf.AddStream("", "q /F Do Q");
        return pdf.Add(PageText(tree, Ref(resources), content));
    });
}

std::string TinyPages(int pages)
{
    PdfText pdf;
    const int content = pdf.AddStream("", "0.5 g 0 0 9 9 re f");
    return Document(
        pdf, pages, [&](int tree) { return pdf.AddCompressed(PageText(tree, "<< >>", content)); }, true);
}

std::string ObjectStreamBomb(uint64_t padding)
{
    PdfText pdf;
    const int content = pdf.AddStream("", "1 0 0 rg 0 0 9 9 re f");
    const int catalog = pdf.Add("");
    const int tree = pdf.Add("");
    const int page = pdf.AddCompressed(PageText(tree, "<< >>", content));
    pdf.Set(catalog, "<< /Type /Catalog /Pages " + Ref(tree) + " >>");
    pdf.Set(tree, "<< /Type /Pages /Count 1 /Kids [" + Ref(page) + "] >>");
    // The page's object lies after the padding.
    const std::string header = std::to_string(page) + " " + std::to_string(padding) + "\n";
    const std::string object = PageText(tree, "<< >>", content);
    pdf.AddObjectStream("/Filter /FlateDecode", DeflatedRun(header, ' ', padding, object), header.size());
    return pdf.Finish(catalog);
}

std::string GreyPhotoJpeg(int width, int height, int colourSide, bool subsampled)
{
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* memory = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &memory, &size);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 85, TRUE);
    if (!subsampled)
        cinfo.comp_info[0].h_samp_factor = cinfo.comp_info[0].v_samp_factor = 1;
    jpeg_start_compress(&cinfo, TRUE);
    std::string row(static_cast<size_t>(width) * 3, '\0');
    uint32_t noise = 12345;
    const int left = (width - colourSide) / 2;
    const int top = (height - colourSide) / 2;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            noise = noise * 1103515245u + 12345u;
            const int grey = ((x + y) * 255 / (width + height) + static_cast<int>((noise >> 16) % 48)) % 256;
            const bool colour = colourSide > 0 && x >= left && x < left + colourSide && y >= top && y < top + colourSide;
            row[static_cast<size_t>(x) * 3] = static_cast<char>(colour ? 220 : grey);
            row[static_cast<size_t>(x) * 3 + 1] = static_cast<char>(colour ? 40 : grey);
            row[static_cast<size_t>(x) * 3 + 2] = static_cast<char>(colour ? 40 : grey);
        }
        JSAMPROW rows[] = {reinterpret_cast<JSAMPROW>(row.data())};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::string jpeg(reinterpret_cast<const char*>(memory), size);
    jpeg_destroy_compress(&cinfo);
    std::free(memory);
    return jpeg;
}

std::string GreyFlateImage(int width, int height)
{
    PdfText pdf;
    const int image = pdf.AddStream("/Type /XObject /Subtype /Image /Width " + std::to_string(width) + " /Height " +
                                        std::to_string(height) +
                                        " /ColorSpace /DeviceRGB /BitsPerComponent 8 /Filter /FlateDecode",
                                    DeflatedRun("", '\x80', uint64_t{3} * static_cast<uint64_t>(width) * height));
    const int content = pdf.AddStream("", "q 595 0 0 842 0 0 cm /I Do Q");
    return Document(pdf, 1, [&](int tree) {
        return pdf.Add(PageText(tree, "<< /XObject << /I " + Ref(image) + " >> >>", content));
    });
}

std::string PhotoPages(const std::vector<std::string>& jpegs, int width, int height)
{
    PdfText pdf;
    size_t next = 0;
    return Document(pdf, static_cast<int>(jpegs.size()), [&](int tree) {
        const int image = pdf.AddStream("/Type /XObject /Subtype /Image /Width " + std::to_string(width) + " /Height " +
                                            std::to_string(height) +
                                            " /ColorSpace /DeviceRGB /BitsPerComponent 8 /Filter /DCTDecode",
                                        jpegs[next++]);
        const int content = pdf.AddStream("", "q 595 0 0 842 0 0 cm /I Do Q");
        return pdf.Add(PageText(tree, "<< /XObject << /I " + Ref(image) + " >> >>", content));
    });
}

}  // namespace HostilePdf

}  // namespace TestSupport
