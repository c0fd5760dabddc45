// The CUPS library in cvkhook, loaded once a job first needs it.
//
// cupsd starts one hook per job, and every job waits for that start. The CUPS
// library brings some thirty libraries of its own (GnuTLS, Kerberos, Avahi,
// D-Bus), whose loading and set-up cost more than the rest of the hook's
// start; yet the hook calls it only for the page data (raster streams, the
// job's options, the queue's PPD), after the client asked for them. So the
// program links none of it: these definitions of the ten functions it calls
// stand in for the library's own, load it on their first call and pass every
// call on. The rest of the code calls CUPS as anywhere else.
//
// A library that cannot be loaded ends the hook with the status that makes
// cupsd retry the job later: the page data cannot be judged without it, and
// a job must not print unjudged while its client waits for the data.
#include "CoreLogger/ComponentLog.h"
#include "hook/SchedulerMessages.h"

#include <cups/backend.h>
#include <cups/cups.h>
#include <cups/raster.h>

#include <dlfcn.h>
#include <unistd.h>

// The PPD API is deprecated in libcups but is what the hook reads a queue's
// PPD with.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/ppd.h>

namespace {

using Log = ComponentLog<LogComponents::CoreCups>;

// The library's run-time name (its soname), as the linker would have named it.
constexpr const char* kCupsLibrary = "libcups.so.2";

[[noreturn]] void CannotUseCups(const char* what)
{
    Log::Error("The CUPS library cannot be used (%s); the job is tried again later.", what);
    SchedulerMessages::Error(std::string("The CUPS library cannot be used (") + what
                             + "); the job is tried again later.");
    _exit(CUPS_BACKEND_RETRY);
}

void* CupsLibrary()
{
    static void* library = [] {
        void* handle = dlopen(kCupsLibrary, RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) {
            const char* error = dlerror();
            CannotUseCups(error != nullptr ? error : kCupsLibrary);
        }
        return handle;
    }();
    return library;
}

// The library's own function of that name, with the type of its declaration.
template <typename Function>
Function Real(const char* name)
{
    void* address = dlsym(CupsLibrary(), name);
    if (address == nullptr)
        CannotUseCups(name);
    return reinterpret_cast<Function>(address);
}

}  // namespace

// Each resolves the library's function once and calls it.
#define CVK_CUPS_REAL(name) static const auto real = Real<decltype(&::name)>(#name)

extern "C" {

int cupsParseOptions(const char* arg, int num_options, cups_option_t** options)
{
    CVK_CUPS_REAL(cupsParseOptions);
    return real(arg, num_options, options);
}

const char* cupsGetOption(const char* name, int num_options, cups_option_t* options)
{
    CVK_CUPS_REAL(cupsGetOption);
    return real(name, num_options, options);
}

void cupsFreeOptions(int num_options, cups_option_t* options)
{
    CVK_CUPS_REAL(cupsFreeOptions);
    real(num_options, options);
}

cups_raster_t* cupsRasterOpenIO(cups_raster_iocb_t iocb, void* ctx, cups_mode_t mode)
{
    CVK_CUPS_REAL(cupsRasterOpenIO);
    return real(iocb, ctx, mode);
}

unsigned cupsRasterReadHeader2(cups_raster_t* r, cups_page_header2_t* h)
{
    CVK_CUPS_REAL(cupsRasterReadHeader2);
    return real(r, h);
}

unsigned cupsRasterReadPixels(cups_raster_t* r, unsigned char* p, unsigned len)
{
    CVK_CUPS_REAL(cupsRasterReadPixels);
    return real(r, p, len);
}

const char* cupsRasterErrorString(void)
{
    CVK_CUPS_REAL(cupsRasterErrorString);
    return real();
}

void cupsRasterClose(cups_raster_t* r)
{
    CVK_CUPS_REAL(cupsRasterClose);
    real(r);
}

ppd_file_t* ppdOpenFile(const char* filename)
{
    CVK_CUPS_REAL(ppdOpenFile);
    return real(filename);
}

void ppdClose(ppd_file_t* ppd)
{
    CVK_CUPS_REAL(ppdClose);
    real(ppd);
}

}  // extern "C"
