#include "tests/Support/UncountableJobs.h"

#include "tests/Support/ChildProgram.h"
#include "tests/Support/TempRoot.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace TestSupport {

std::string PdfOfPages(int pages, PageTreeDamage damage)
{
    // Objects: 1 the catalogue, 2 the page tree's root, 3... the pages.
    std::string kids = damage == PageTreeDamage::OwnKid ? "2 0 R " : "";
    for (int page = 0; page < pages; ++page)
        kids += std::to_string(page + 3) + " 0 R ";
    const std::string count = damage == PageTreeDamage::HugeCount ? "99999999999999999999" : std::to_string(pages);
    std::vector<std::string> objects = {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [ " + kids + "] /Count " + count + " /MediaBox [0 0 595 842] >>",
    };
    for (int page = 0; page < pages; ++page)
        objects.push_back("<< /Type /Page /Parent 2 0 R >>");
    std::string pdf = "%PDF-1.4\n";
    std::vector<size_t> offsets;
    for (size_t index = 0; index < objects.size(); ++index) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(index + 1) + " 0 obj\n" + objects[index] + "\nendobj\n";
    }
    const size_t xref = pdf.size();
    pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (size_t offset : offsets) {
        char line[32];
        std::snprintf(line, sizeof line, "%010zu 00000 n \n", offset);
        pdf += line;
    }
    pdf += "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n"
           + std::to_string(xref) + "\n%%EOF\n";
    return pdf;
}

std::string Ps2writeJob(int pages)
{
    // A folder of the real machine: a test's private root may be in place.
    char folderName[] = "/tmp/cvk-ps2write-XXXXXX";
    if (mkdtemp(folderName) == nullptr)
        return {};
    const std::string folder = folderName;
    const std::string source = folder + "/pages.ps";
    const std::string output = folder + "/ps2write.ps";
    WriteFileText(source, "%!PS\n/Helvetica findfont 24 scalefont setfont\n1 1 " + std::to_string(pages)
                              + " { 72 720 moveto (Page ) show 3 string cvs show showpage } for\n");
    ProgramResult result = RunProgram({"/usr/bin/gs", "-q", "-dSAFER", "-dNOPAUSE", "-dBATCH", "-sDEVICE=ps2write",
                                       "-sPAPERSIZE=a4", "-sOutputFile=" + output, source});
    std::string job = result.status == 0 && std::filesystem::exists(output) ? ReadFileText(output) : std::string();
    std::filesystem::remove_all(folder);
    return job;
}

}  // namespace TestSupport
