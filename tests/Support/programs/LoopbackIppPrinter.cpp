// A small IPP Everywhere printer on loopback for the tests: it answers
// Get-Printer-Attributes with what a driverless colour, two-sided A4/Letter
// printer reports (PDF, PWG Raster, Apple Raster), and takes Print-Job,
// writing each document to <folder>/job-<n>.data and the job's attributes to
// <folder>/job-<n>.txt. It needs no DNS-SD. Usage:
//     cvk_loopback_ipp_printer <port> <folder> [raster-only]
// With "raster-only" it takes no PDF, as many AirPrint printers do, so that
// a queue made for it sends raster.
// Port 0 takes a free port; the port it listens on is written to standard
// output as "port <n>".
// It serves, a thread a connection, until it is ended with SIGTERM.
#include <cups/cups.h>
#include <cups/ipp.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <atomic>
#include <fstream>
#include <string>
#include <thread>

namespace {

std::atomic<int> gintNextJob = 1;
bool gblnRasterOnly = false;

void AddPrinterAttributes(ipp_t* response, const std::string& uri)
{
    static const char* const formats[] = {"application/pdf", "image/pwg-raster", "image/urf",
                                          "application/octet-stream"};
    static const char* const media[] = {"iso_a4_210x297mm", "na_letter_8.5x11in"};
    static const char* const colorModes[] = {"monochrome", "color"};
    static const char* const sides[] = {"one-sided", "two-sided-long-edge", "two-sided-short-edge"};
    static const char* const rasterTypes[] = {"sgray_8", "srgb_8"};
    static const char* const urf[] = {"V1.4", "CP1", "W8", "SRGB24", "RS300", "DM1"};
    static const char* const versions[] = {"1.1", "2.0"};
    static const int operations[] = {IPP_OP_PRINT_JOB, IPP_OP_VALIDATE_JOB, IPP_OP_CANCEL_JOB,
                                     IPP_OP_GET_JOB_ATTRIBUTES, IPP_OP_GET_PRINTER_ATTRIBUTES};
    static const int qualities[] = {IPP_QUALITY_DRAFT, IPP_QUALITY_NORMAL, IPP_QUALITY_HIGH};
    ippAddString(response, IPP_TAG_PRINTER, IPP_TAG_URI, "printer-uri-supported", nullptr, uri.c_str());
    ippAddString(response, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "uri-security-supported", nullptr, "none");
    ippAddString(response, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "uri-authentication-supported", nullptr, "none");
    ippAddString(response, IPP_TAG_PRINTER, IPP_TAG_NAME, "printer-name", nullptr, "Loopback");
    ippAddString(response, IPP_TAG_PRINTER, IPP_TAG_TEXT, "printer-make-and-model", nullptr, "Loopback Everywhere");
    ippAddString(response, IPP_TAG_PRINTER, IPP_TAG_TEXT, "printer-info", nullptr, "Loopback Everywhere");
    ippAddInteger(response, IPP_TAG_PRINTER, IPP_TAG_ENUM, "printer-state", IPP_PSTATE_IDLE);
    ippAddString(response, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "printer-state-reasons", nullptr, "none");
    ippAddBoolean(response, IPP_TAG_PRINTER, "printer-is-accepting-jobs", 1);
    ippAddInteger(response, IPP_TAG_PRINTER, IPP_TAG_INTEGER, "printer-up-time", 1);
    ippAddStrings(response, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "ipp-versions-supported", 2, nullptr, versions);
    ippAddIntegers(response, IPP_TAG_PRINTER, IPP_TAG_ENUM, "operations-supported", 5, operations);
    ippAddString(response, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "compression-supported", nullptr, "none");
    ippAddString(response, IPP_TAG_PRINTER, IPP_TAG_CHARSET, "charset-configured", nullptr, "utf-8");
    ippAddString(response, IPP_TAG_PRINTER, IPP_TAG_CHARSET, "charset-supported", nullptr, "utf-8");
    ippAddString(response, IPP_TAG_PRINTER, IPP_TAG_LANGUAGE, "natural-language-configured", nullptr, "en");
    ippAddString(response, IPP_TAG_PRINTER, IPP_TAG_LANGUAGE, "generated-natural-language-supported", nullptr,
                 "en");
    ippAddStrings(response, IPP_TAG_PRINTER, IPP_TAG_MIMETYPE, "document-format-supported",
                  gblnRasterOnly ? 3 : 4, nullptr, gblnRasterOnly ? formats + 1 : formats);
    ippAddString(response, IPP_TAG_PRINTER, IPP_TAG_MIMETYPE, "document-format-default", nullptr,
                 "application/octet-stream");
    ippAddBoolean(response, IPP_TAG_PRINTER, "color-supported", 1);
    ippAddStrings(response, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "media-supported", 2, nullptr, media);
    ippAddString(response, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "media-default", nullptr, media[0]);
    ippAddString(response, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "media-ready", nullptr, media[0]);
    ippAddStrings(response, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "print-color-mode-supported", 2, nullptr, colorModes);
    ippAddString(response, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "print-color-mode-default", nullptr, "color");
    ippAddStrings(response, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "sides-supported", 3, nullptr, sides);
    ippAddString(response, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "sides-default", nullptr, "one-sided");
    ippAddRange(response, IPP_TAG_PRINTER, "copies-supported", 1, 99);
    ippAddInteger(response, IPP_TAG_PRINTER, IPP_TAG_INTEGER, "copies-default", 1);
    ippAddIntegers(response, IPP_TAG_PRINTER, IPP_TAG_ENUM, "print-quality-supported", 3, qualities);
    ippAddInteger(response, IPP_TAG_PRINTER, IPP_TAG_ENUM, "print-quality-default", IPP_QUALITY_NORMAL);
    ippAddResolution(response, IPP_TAG_PRINTER, "printer-resolution-supported", IPP_RES_PER_INCH, 300, 300);
    ippAddResolution(response, IPP_TAG_PRINTER, "printer-resolution-default", IPP_RES_PER_INCH, 300, 300);
    ippAddResolution(response, IPP_TAG_PRINTER, "pwg-raster-document-resolution-supported", IPP_RES_PER_INCH, 300,
                     300);
    ippAddStrings(response, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "pwg-raster-document-type-supported", 2, nullptr,
                  rasterTypes);
    ippAddString(response, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "pwg-raster-document-sheet-back", nullptr, "normal");
    ippAddStrings(response, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "urf-supported", 6, nullptr, urf);
    ippAddString(response, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "pdl-override-supported", nullptr, "attempted");
    ippAddInteger(response, IPP_TAG_PRINTER, IPP_TAG_ENUM, "finishings-supported", IPP_FINISHINGS_NONE);
    ippAddInteger(response, IPP_TAG_PRINTER, IPP_TAG_ENUM, "finishings-default", IPP_FINISHINGS_NONE);
}

// Writes a job's attributes, one "name=value" line each.
void RecordJob(const std::string& folder, int job, ipp_t* request)
{
    std::ofstream out(folder + "/job-" + std::to_string(job) + ".txt");
    for (ipp_attribute_t* attr = ippFirstAttribute(request); attr != nullptr; attr = ippNextAttribute(request)) {
        if (ippGetName(attr) == nullptr)
            continue;
        char value[1024];
        ippAttributeString(attr, value, sizeof value);
        out << ippGetName(attr) << "=" << value << "\n";
    }
}

void AddJobAttributes(ipp_t* response, int job, const std::string& uri)
{
    ippAddInteger(response, IPP_TAG_JOB, IPP_TAG_INTEGER, "job-id", job);
    ippAddString(response, IPP_TAG_JOB, IPP_TAG_URI, "job-uri", nullptr, (uri + "/" + std::to_string(job)).c_str());
    ippAddInteger(response, IPP_TAG_JOB, IPP_TAG_ENUM, "job-state", IPP_JSTATE_COMPLETED);
    ippAddString(response, IPP_TAG_JOB, IPP_TAG_KEYWORD, "job-state-reasons", nullptr, "job-completed-successfully");
}

// Answers one request on the connection; false when the connection is over.
bool Serve(http_t* http, const std::string& folder, const std::string& uri)
{
    char resource[1024];
    http_state_t state = httpReadRequest(http, resource, sizeof resource);
    if (state == HTTP_STATE_WAITING)
        return true;
    if (state != HTTP_STATE_POST)
        return false;
    http_status_t status;
    while ((status = httpUpdate(http)) == HTTP_STATUS_CONTINUE) {
    }
    if (status != HTTP_STATUS_OK)
        return false;
    // A client that waits to be told to send its body is told so.
    if (httpGetExpect(http) == HTTP_STATUS_CONTINUE && httpWriteResponse(http, HTTP_STATUS_CONTINUE) != 0)
        return false;
    ipp_t* request = ippNew();
    if (ippRead(http, request) != IPP_STATE_DATA) {
        ippDelete(request);
        return false;
    }
    ipp_t* response = ippNewResponse(request);
    const ipp_op_t operation = ippGetOperation(request);
    std::printf("%s\n", ippOpString(operation));
    std::fflush(stdout);
    if (operation == IPP_OP_GET_PRINTER_ATTRIBUTES) {
        AddPrinterAttributes(response, uri);
    } else if (operation == IPP_OP_PRINT_JOB) {
        const int job = gintNextJob++;
        RecordJob(folder, job, request);
        std::ofstream data(folder + "/job-" + std::to_string(job) + ".data", std::ios::binary);
        char buffer[65536];
        ssize_t got;
        while (httpGetState(http) == HTTP_STATE_POST_RECV && (got = httpRead2(http, buffer, sizeof buffer)) > 0)
            data.write(buffer, got);
        AddJobAttributes(response, job, uri);
    } else if (operation == IPP_OP_GET_JOB_ATTRIBUTES) {
        ipp_attribute_t* id = ippFindAttribute(request, "job-id", IPP_TAG_INTEGER);
        AddJobAttributes(response, id != nullptr ? ippGetInteger(id, 0) : 0, uri);
    } else if (operation != IPP_OP_VALIDATE_JOB && operation != IPP_OP_CANCEL_JOB) {
        ippSetStatusCode(response, IPP_STATUS_ERROR_OPERATION_NOT_SUPPORTED);
    }
    // Whatever of a document is left unread goes before the answer.
    char rest[4096];
    while (httpGetState(http) == HTTP_STATE_POST_RECV && httpRead2(http, rest, sizeof rest) > 0) {
    }
    httpClearFields(http);
    httpSetField(http, HTTP_FIELD_CONTENT_TYPE, "application/ipp");
    httpSetLength(http, ippLength(response));
    bool ok = httpWriteResponse(http, HTTP_STATUS_OK) == 0;
    ok = ok && ippWrite(http, response) == IPP_STATE_DATA;
    ippDelete(request);
    ippDelete(response);
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3 || argc > 4 || (argc == 4 && std::string(argv[3]) != "raster-only")) {
        std::fprintf(stderr, "usage: %s port folder [raster-only]\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[2];
    gblnRasterOnly = argc == 4;
    std::signal(SIGPIPE, SIG_IGN);
    http_addrlist_t* addresses = httpAddrGetList("127.0.0.1", AF_INET, argv[1]);
    int listener = addresses != nullptr ? httpAddrListen(&addresses->addr, std::atoi(argv[1])) : -1;
    httpAddrFreeList(addresses);
    sockaddr_in bound{};
    socklen_t length = sizeof bound;
    if (listener < 0 || getsockname(listener, reinterpret_cast<sockaddr*>(&bound), &length) != 0) {
        std::fprintf(stderr, "cannot listen on 127.0.0.1:%s\n", argv[1]);
        return 1;
    }
    const std::string port = std::to_string(ntohs(bound.sin_port));
    const std::string uri = "ipp://127.0.0.1:" + port + "/ipp/print";
    std::printf("port %s\n", port.c_str());
    std::fflush(stdout);
    // One thread a connection: the ipp backend watches the printer on a
    // second connection while it sends the job on the first.
    for (;;) {
        http_t* http = httpAcceptConnection(listener, 1);
        if (http == nullptr)
            continue;
        std::thread([http, folder, uri] {
            while (Serve(http, folder, uri)) {
            }
            httpClose(http);
        }).detach();
    }
}
