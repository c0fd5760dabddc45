#include "Client/CustomFields/LastEntryUsed.h"

#include "Core/CVModels/CustomField.h"
#include "Core/CVModels/CustomFieldValue.h"
#include "CoreLogger/ComponentLog.h"
#include "Platform/Qt/UserDefaults.h"

using Log = ComponentLog<LogComponents::ClientUserInterface>;

LastEntryUsed::LastEntryUsed(const CVClientData::CustomField& field, uint64_t parentValueId)
{
    loadFromUserPrefs(field, parentValueId);
}

void LastEntryUsed::loadFromUserPrefs(const CVClientData::CustomField& field, uint64_t)
{
    prefsKey = QStringLiteral("Field%1Value").arg(field.Id);
    mlngLastEntry = Platform::UserDefaults::Value(prefsKey).toLongLong();
}

void LastEntryUsed::saveToUserPrefs()
{
    if (!Platform::UserDefaults::SetValue(prefsKey, static_cast<qlonglong>(mlngLastEntry)))
        Log::Error("LastEntryUsed::saveToUserPrefs - cannot write %s", Platform::UserDefaults::FilePath());
}

void LastEntryUsed::addValue(const CVClientData::CustomFieldValue& value)
{
    mlngLastEntry = static_cast<int64_t>(value.ValueId);
}
