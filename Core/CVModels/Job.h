#pragma once

#include "Core/CVModels/CostModifier.h"
#include "Core/CVModels/CustomFieldValue.h"
#include "Core/CVModels/JobCalculations.h"
#include "Core/CVModels/JobCosting.h"
#include "Core/CVModels/JobOptions.h"
#include "Core/CVModels/PageSet.h"
#include "Core/CVModels/Printer.h"
#include "Core/CVModels/SerializableModel.h"
#include "Core/CVModels/User.h"

#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace CVClientData {

// The print job record sent to the server: who printed what on which printer,
// its page sets and costing, custom-field values, options and flags.
class Job : public SerializableModel {
public:
    Job() = default;
    Job(const Job&) = default;
    Job& operator=(const Job&) = default;
    ~Job() override = default;

    void ToJson(nlohmann::json& json) const override;

    // Scalars take the readers' defaults when missing (not the constructor's).
    // "ProcessModifier", "UserModifier" and "Costing" are required; "Options",
    // "User", "Printer", "CustomValues" and "DefaultPageSet" are read when
    // present; the server's job form adds "DeviceId", "DeviceDisplayName" and
    // "UserId".
    void FromJson(const nlohmann::json& json) override;

    virtual CVClientData::User& GetUser() { return mUser; }
    virtual CVClientData::Printer& GetPrinter() { return mPrinter; }
    const CVClientData::User& GetUser() const { return mUser; }
    const CVClientData::Printer& GetPrinter() const { return mPrinter; }

    std::string GetComputerName() const { return mstrComputerName; }
    // Stores the name with every "." replaced by "_".
    void SetComputerName(const std::string& name);

    // Track options 1 (with pop-up) and 2 (silently) are tracked.
    bool IsTracked() const { return TrackOption == 1 || TrackOption == 2; }

    // The first value for the field, when it names a value (a value id or a
    // code); later values of the same field are not looked at.
    std::optional<CustomFieldValue> GetCustomFieldValue(uint64_t fieldId) const;
    // Replaces the first value of the same field, or appends a copy.
    void SetCustomFieldValue(const CustomFieldValue& value);
    // Removes the first value of the field.
    void ClearCustomFieldValue(uint64_t fieldId);

    // Takes what the user entered in the pop-up from another job: the comment,
    // the cost overrides and, unless it is this job, the custom-field values.
    void CopyUserEnterableMembersFrom(const Job& other);

    // Appends a page set; colour pages count as black-and-white ones when the
    // printer cannot print colour or the job is not in colour.
    void AddPageSet(const std::string& sizeName, int32_t width, int32_t height, int32_t bwPages, int32_t colorPages,
                    int32_t pageUnits);

    void CopyFrom(const Job& other) { *this = other; }

    // Prices the job with its modifiers: the rules' "ProcessModifier", the
    // "UserModifier", then each custom value's modifier in list order. A job
    // without page sets leaves the calculations as they were.
    void UpdateCalcs(JobCalculations& calculations) const;

    // Whether a custom value's budget cannot pay the cost: the first such
    // value (list order) gives out its field id.
    bool CustomFieldsOverBudget(double cost, uint64_t* fieldId = nullptr) const;

    uint64_t Id = 0;
    int32_t TransactionFrom = 1;
    int32_t JobType = 1;
    std::string ProcessName;
    std::string OperatingSystem;
    std::string Comments;
    std::string DocumentName;
    bool ColorMode = false;
    bool PrintedToFile = false;
    bool PrinterPopEarly = false;
    int32_t TrackOption = 1;  // CVTrackOption
    std::tm DatePrinted{};
    bool UpdateBalances = true;
    CostModifier ProcessModifier;
    CostModifier UserModifier;
    JobCosting Costing;
    JobOptions Options;
    std::vector<CustomFieldValue> CustomValues;
    int32_t SecureOption = 0;  // CVSecureOption; not 0 means secured
    uint64_t CupsId = 0;
    uint64_t CUPSNumberOfPages = 0;
    PageSet DefaultPageSet;
    bool FoundJobColorInfo = false;
    bool FoundJobDuplexInfo = false;

private:
    CVClientData::User mUser;
    CVClientData::Printer mPrinter;
    std::string mstrComputerName;
};

}  // namespace CVClientData
