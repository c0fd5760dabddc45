#pragma once

#include <string>

// Print jobs whose data a reader may not count whole, as users and drivers
// make them, for the tests of what is billed for them. Each knows how many
// pages a printer prints of it.
namespace TestSupport {

// A PDF of blank A4 pages whose page tree is damaged as named.
enum class PageTreeDamage {
    None,
    HugeCount,   // the root's /Count is 99999999999999999999
    OwnKid,      // the root lists itself among its /Kids
};
std::string PdfOfPages(int pages, PageTreeDamage damage = PageTreeDamage::None);

// PostScript of numbered A4 pages from Ghostscript's ps2write (run here);
// empty when it cannot be made.
std::string Ps2writeJob(int pages);

// The Universal Exit Language that ends a job, as vendor PPDs send it.
inline constexpr const char* JobEndEscape = "\x1b%-12345X";

// A job in a language the parser does not read, entered by PJL as drivers
// of such printers send it.
inline constexpr char PjlUnreadLanguageJob[] =
    "\x1b%-12345X@PJL JOB\r\n@PJL ENTER LANGUAGE=ZJS\r\nJZJZ\x00\x00\x00\x10\x01\x02page data\x1b%-12345X"
    "@PJL EOJ\r\n\x1b%-12345X";

// A PJL status request: a job that holds no page.
inline constexpr const char* PjlStatusRequest = "\x1b%-12345X@PJL INFO STATUS\r\n\x1b%-12345X";

}  // namespace TestSupport
