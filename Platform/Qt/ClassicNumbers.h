#pragma once

namespace Platform {

// Made right after the application object: Qt sets the C library's locale
// from the user's environment at start, so that the windows follow the
// user's language. The numbers the programs send to the server and write to
// files and to the log keep the classic form (a decimal point whatever the
// user's locale), so the numeric category goes back to "C". Windows show
// numbers through QLocale, which follows the user's locale regardless.
void KeepClassicNumbers();

}  // namespace Platform
