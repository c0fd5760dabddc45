#include "Client/BalanceRemainingText.h"

#include "Core/CVModels/User.h"
#include "Platform/Qt/LocalizedStrings.h"

using CVClientData::User;
using Platform::LocalizedStrings;

std::optional<QString> BalanceRemainingText(const User& user, const BalanceNumberFormats& formats)
{
    switch (user.Type) {
    case User::CostBalance:
        return formats.money(user.BWBalanceRemaining);
    case User::PageBalance:
        return LocalizedStrings::Format("Balance_Format_Pages", formats.pages(user.BWBalanceRemaining));
    case User::BWPageBalance:
        return LocalizedStrings::Format("Balance_Format_BW_Pages", formats.pages(user.BWBalanceRemaining));
    case User::ColorPageBalance:
        return LocalizedStrings::Format("Balance_Format_Color_Pages", formats.pages(user.ColorBalanceRemaining));
    case User::BothPageBalances:
        return LocalizedStrings::Format("Balance_Format_BW_And_Color_Pages", formats.pages(user.BWBalanceRemaining),
                                        formats.pages(user.ColorBalanceRemaining));
    default:
        return std::nullopt;
    }
}
