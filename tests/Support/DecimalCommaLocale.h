#pragma once

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace TestSupport {

// Sets the process's numeric locale to one that writes a decimal comma
// (de_DE.UTF-8, which scripts/install-dependencies generates), as the
// client's windows set the user's locale, and restores the previous one when
// it goes. Active() is false when no such locale is installed.
class DecimalCommaLocale {
public:
    static constexpr const char* Name = "de_DE.UTF-8";

    DecimalCommaLocale() : mstrPrevious(std::setlocale(LC_NUMERIC, nullptr))
    {
        mblnActive = std::setlocale(LC_NUMERIC, Name) != nullptr;
    }
    ~DecimalCommaLocale() { std::setlocale(LC_NUMERIC, mstrPrevious.c_str()); }
    DecimalCommaLocale(const DecimalCommaLocale&) = delete;
    DecimalCommaLocale& operator=(const DecimalCommaLocale&) = delete;

    bool Active() const { return mblnActive; }

private:
    std::string mstrPrevious;
    bool mblnActive = false;
};

// Runs the checks as the process starts, then again with a decimal comma set.
// A missing locale is a failure, not a skip: the checks are what keeps a
// decimal comma from the server.
template <typename Checks>
void InEveryNumericLocale(Checks checks)
{
    checks();
    DecimalCommaLocale comma;
    ASSERT_TRUE(comma.Active()) << DecimalCommaLocale::Name
                                << " is not installed; scripts/install-dependencies generates it";
    SCOPED_TRACE(DecimalCommaLocale::Name);
    checks();
}

}  // namespace TestSupport
