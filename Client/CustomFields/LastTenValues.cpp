#include "Client/CustomFields/LastTenValues.h"

#include "Core/CVModels/CustomField.h"
#include "Core/CVModels/CustomFieldValue.h"
#include "CoreLogger/ComponentLog.h"
#include "Platform/Qt/UserDefaults.h"

#include <QVariantList>
#include <QVariantMap>

#include <algorithm>
#include <iterator>

using Log = ComponentLog<LogComponents::ClientUserInterface>;

namespace {

const QString kFieldId = QStringLiteral("FieldId");
const QString kValueId = QStringLiteral("ValueId");
const QString kParentValueId = QStringLiteral("ParentValueId");
const QString kCode = QStringLiteral("Code");
const QString kDescription = QStringLiteral("Description");

LastTenEntry EntryFromRecord(const QVariantMap& record)
{
    LastTenEntry entry;
    entry.FieldId = record.value(kFieldId).toLongLong();
    entry.ValueId = record.value(kValueId).toLongLong();
    entry.ParentValueId = record.value(kParentValueId).toLongLong();
    entry.Code = record.value(kCode).toString().toStdString();
    entry.Description = record.value(kDescription).toString().toStdString();
    return entry;
}

QVariantMap RecordFromEntry(const LastTenEntry& entry)
{
    return {{kFieldId, static_cast<qlonglong>(entry.FieldId)},
            {kValueId, static_cast<qlonglong>(entry.ValueId)},
            {kParentValueId, static_cast<qlonglong>(entry.ParentValueId)},
            {kCode, QString::fromStdString(entry.Code)},
            {kDescription, QString::fromStdString(entry.Description)}};
}

}  // namespace

LastTenValues::LastTenValues(const CVClientData::CustomField& field, uint64_t parentValueId)
{
    loadFromUserPrefs(field, parentValueId);
}

void LastTenValues::loadFromUserPrefs(const CVClientData::CustomField& field, uint64_t parentValueId)
{
    lastTen.clear();
    prefsKey = QStringLiteral("LastTen/%1/%2").arg(field.Id).arg(parentValueId);
    const QVariantList stored = Platform::UserDefaults::Value(prefsKey).toList();
    for (const QVariant& record : stored) {
        if (record.typeId() != QMetaType::QVariantMap) {
            Log::Error("LastTenValues::loadFromUserPrefs - ignoring a stored entry of %s that is not a record",
                       prefsKey.toStdString());
            continue;
        }
        lastTen.push_back(EntryFromRecord(record.toMap()));
    }
}

void LastTenValues::saveToUserPrefs()
{
    QVariantList records;
    for (const LastTenEntry& entry : lastTen)
        records.push_back(RecordFromEntry(entry));
    if (!Platform::UserDefaults::SetValue(prefsKey, records))
        Log::Error("LastTenValues::saveToUserPrefs - cannot write %s", Platform::UserDefaults::FilePath());
}

void LastTenValues::addValue(const CVClientData::CustomFieldValue& value)
{
    const auto valueId = static_cast<int64_t>(value.ValueId);
    auto match = std::find_if(lastTen.begin(), lastTen.end(), [&](const LastTenEntry& entry) {
        return entry.ValueId == valueId || SameCode(entry.Code, value.Code);
    });
    if (match != lastTen.end()) {
        std::rotate(lastTen.begin(), match, std::next(match));
        return;
    }
    // A list read from an edited file may hold more than ten; it shrinks to
    // ten here like a full one.
    while (lastTen.size() >= Capacity)
        lastTen.pop_back();
    LastTenEntry entry;
    entry.FieldId = static_cast<int64_t>(value.FieldId);
    entry.ValueId = valueId;
    entry.ParentValueId = static_cast<int64_t>(value.ParentValueId);
    entry.Code = value.Code;
    entry.Description = value.Description;
    lastTen.insert(lastTen.begin(), std::move(entry));
}

void LastTenValues::removeValueAtIndex(size_t index)
{
    if (index < lastTen.size())
        lastTen.erase(lastTen.begin() + static_cast<std::ptrdiff_t>(index));
}

void LastTenValues::removeValuesNotInField(const CVClientData::CustomField& field,
                                           CVClientData::ICustomFieldSource& dataAccess)
{
    std::erase_if(lastTen, [&](const LastTenEntry& entry) {
        if (field.FindCustomFieldValueIndex(static_cast<uint64_t>(entry.ValueId)) >= 0)
            return false;
        return !field.LookupCustomFieldValue(entry.Code, static_cast<uint64_t>(entry.ParentValueId), dataAccess);
    });
}

bool LastTenValues::SameCode(const std::string& left, const std::string& right)
{
    return QString::fromStdString(left).compare(QString::fromStdString(right), Qt::CaseInsensitive) == 0;
}
