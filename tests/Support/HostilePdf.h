#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace TestSupport {

// Writes small PDF files by hand, objects given as text, for jobs that no
// PDF library would write: streams that decode to gigabytes, forms nested
// deep, object streams. Objects are numbered from 1 in the order added.
class PdfText {
public:
    // Adds an object (its text between "obj" and "endobj"); its number.
    int Add(std::string body);
    // Replaces the text of an object added before.
    void Set(int number, std::string body);
    // Adds a stream of already encoded data with its dictionary's entries
    // (Length is added).
    int AddStream(const std::string& entries, const std::string& data);
    // Puts an object into an object stream instead of the file's body; the
    // cross-reference then is a stream. Returns its number.
    int AddCompressed(std::string body);
    // Adds the object stream that holds the compressed objects, with its
    // data as given (encoded with the filter entries) instead of theirs
    // when data is not empty, and where the objects begin in it when first
    // is not 0.
    int AddObjectStream(const std::string& filterEntries = "", const std::string& data = "", size_t first = 0);

    // A catalog with a page tree over one page object per content given:
    // each page is A4 with the resources given, and draws its own stream.
    // Returns the text of the file.
    static std::string Pages(const std::vector<std::string>& contents, const std::string& resources = "<< >>");

    // The file, with the given catalog.
    std::string Finish(int catalog) const;

    // The text of the compressed objects' stream: their numbers and offsets,
    // then the objects.
    std::string ObjectStreamText() const;

private:
    std::vector<std::string> mvecBodies;  // empty for an object in the object stream
    std::vector<int> mvecCompressed;      // numbers of the objects in the object stream
    int mintObjectStream = 0;
};

// A zlib stream of the head, count copies of a byte, then the tail, made in
// pieces: a gigabyte of zeros takes about a megabyte.
std::string DeflatedRun(const std::string& head, char byte, uint64_t count, const std::string& tail = "");

// Hostile jobs of a few hundred kilobytes at most, and what a reader that
// holds its bounds finds in them.
namespace HostilePdf {

constexpr uint64_t MiB = 1024 * 1024;

// One page whose content decodes to the given zero bytes, then paints red.
std::string ZerosThenRed(uint64_t zeros);
// One page that draws the first of a chain of forms, each drawing the next
// after its own padding of spaces; the last paints grey.
std::string NestedForms(int forms, uint64_t padding);
// Pages that each draw the one form, grey after its padding of spaces.
std::string FormOnEveryPage(int pages, uint64_t padding);
// Tiny grey pages, their objects packed in a compressed object stream.
std::string TinyPages(int pages);
// One page whose object lies in an object stream that decodes to the given
// bytes of spaces before it.
std::string ObjectStreamBomb(uint64_t padding);

// An RGB JPEG of a grey photo-like picture (gradient and noise, every pixel
// with red, green and blue equal), with a square of the given side in
// colour at its centre when the side is not 0; its chroma at half the
// resolution, as cameras write it, or at full resolution.
std::string GreyPhotoJpeg(int width, int height, int colourSide = 0, bool subsampled = true);
// One page showing a DeviceRGB image, Flate-compressed, whose every pixel
// is the same grey.
std::string GreyFlateImage(int width, int height);
// Pages that each show one of the JPEGs over the whole page, in DeviceRGB.
std::string PhotoPages(const std::vector<std::string>& jpegs, int width, int height);

}  // namespace HostilePdf

}  // namespace TestSupport
