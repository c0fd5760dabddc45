#include "Core/CVModels/JobOptions.h"
#include "Core/CVModels/Printer.h"
#include "Core/CVModels/User.h"

#include <gtest/gtest.h>

namespace {

using nlohmann::json;

TEST(UserJson, AllowanceIsRequiredAndNested)
{
    CVClientData::User user;
    EXPECT_THROW(user.FromJson(json::parse(R"({"Id":4})")), json::out_of_range);
    EXPECT_THROW(user.FromJson(json::parse(R"({"Allowance":3})")), json::type_error);

    user.FromJson(json::parse(R"({"Id":4,"Allowance":{},"BatchMode":2,"ServiceAuthToken":"t"})"));
    EXPECT_EQ(user.Id, 4u);
    EXPECT_EQ(user.Type, 0);
    EXPECT_DOUBLE_EQ(user.BWBalanceRemaining, 0.0);
    EXPECT_EQ(user.BatchMode, 2);
    EXPECT_EQ(user.ServiceAuthToken, "t");

    user.FromJson(json::parse(
        R"({"Allowance":{"Type":5,"BWBalanceRemaining":1.5,"ColorBalanceRemaining":2.5,
            "BWBalanceOverdraft":3,"ColorBalanceOverdraft":4},"Type":9})"));
    EXPECT_EQ(user.Type, 5);
    EXPECT_DOUBLE_EQ(user.BWBalanceRemaining, 1.5);
    EXPECT_DOUBLE_EQ(user.ColorBalanceRemaining, 2.5);
    EXPECT_DOUBLE_EQ(user.BWBalanceOverdraft, 3.0);
    EXPECT_DOUBLE_EQ(user.ColorBalanceOverdraft, 4.0);
}

TEST(UserJson, NewUserDumpsAllowanceEvenWhenZero)
{
    json dumped;
    CVClientData::User().ToJson(dumped);
    ASSERT_TRUE(dumped.contains("Allowance"));
    EXPECT_EQ(dumped["Allowance"].size(), 5u);
    EXPECT_FALSE(dumped.contains("Type"));
    EXPECT_TRUE(dumped["Allowance"]["BWBalanceRemaining"].is_number_float());
    EXPECT_EQ(dumped.size(), 19u);
}

TEST(PrinterJson, UriIsCopiedButNeverSerialised)
{
    CVClientData::Printer printer;
    printer.Name = "Office";
    printer.PrinterUri = "ipp://localhost/printers/office";
    printer.SecureQueueId = 12;
    json dumped;
    printer.ToJson(dumped);
    EXPECT_EQ(dumped.size(), 16u);
    EXPECT_EQ(dumped.dump().find("ipp://"), std::string::npos);
    CVClientData::Printer copy = printer;
    EXPECT_EQ(copy.PrinterUri, printer.PrinterUri);

    CVClientData::Printer back;
    back.FromJson(dumped);
    EXPECT_EQ(back.SecureQueueId, 12u);
    EXPECT_EQ(back.Name, "Office");
    EXPECT_TRUE(back.PrinterUri.empty());
}

TEST(JobOptionsJson, FieldsListIsRequiredAndLateFlagReadsBitZero)
{
    CVClientData::JobOptions options;
    EXPECT_TRUE(options.CanPopLate());
    EXPECT_THROW(options.FromJson(json::object()), json::out_of_range);

    options.FromJson(json::parse(R"({"CustomField":[{"Id":3,"Name":"Dept"},{"Id":4}],"SpecialProcessingFlags":3})"));
    ASSERT_EQ(options.CustomField.size(), 2u);
    EXPECT_EQ(options.CustomField[0].Name, "Dept");
    EXPECT_FALSE(options.CanPopLate());
    // Read with the readers' defaults, not the constructor's.
    EXPECT_FALSE(options.IsSpoolerJob);

    options.SpecialProcessingFlags = 2;
    EXPECT_TRUE(options.CanPopLate());
}

}  // namespace
