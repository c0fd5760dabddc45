#pragma once

#include <QString>

#include <functional>
#include <optional>

namespace CVClientData {
class User;
}

// How a window writes the numbers of a balance: the whole text of a money
// balance, and one page count.
struct BalanceNumberFormats {
    std::function<QString(double)> money;
    std::function<QString(double)> pages;
};

// What remains of the user's allowance, by its type: money (1) as the
// window writes it; pages (2), black-and-white pages (3), colour pages (4,
// from the colour balance) or both (5), each with its own text. None for a
// user without a balance (0) or of a type this client does not know, which
// each window shows in its own way.
std::optional<QString> BalanceRemainingText(const CVClientData::User& user, const BalanceNumberFormats& formats);
