#pragma once

#include <cctype>
#include <concepts>
#include <ostream>
#include <string>
#include <string_view>

// Tables of test cases whose rows carry a `Name`. A test file brings the
// printer in with `using TestSupport::operator<<;` inside its own namespace,
// so that GoogleTest shows a row by its name rather than a dump of its bytes,
// and names the instantiated cases with TestSupport::CaseName():
//     INSTANTIATE_TEST_SUITE_P(Cases, Suite, ::testing::ValuesIn(Rows), TestSupport::CaseName());
namespace TestSupport {

template <typename Case>
concept NamedCase = requires(const Case& test) {
    { test.Name } -> std::convertible_to<std::string_view>;
};

// Prints a row as its name.
template <NamedCase Case>
std::ostream& operator<<(std::ostream& out, const Case& test)
{
    return out << std::string_view(test.Name);
}

// Names an instantiated case after its row; characters a test name cannot
// hold become underscores.
struct CaseName {
    template <typename Info>
    std::string operator()(const Info& info) const
    {
        std::string name(std::string_view(info.param.Name));
        for (char& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return name;
    }
};

}  // namespace TestSupport
