#include "tests/Support/Gui/RememberedValues.h"

#include "Platform/Qt/UserDefaults.h"

#include <QString>
#include <QVariantList>
#include <QVariantMap>

#include <gtest/gtest.h>

namespace TestSupport {

namespace {

QString LastTenKey(uint64_t fieldId, uint64_t parentValueId)
{
    return QStringLiteral("LastTen/%1/%2").arg(fieldId).arg(parentValueId);
}

}  // namespace

void Remember(uint64_t fieldId, uint64_t parentValueId, const std::vector<std::pair<std::string, int64_t>>& codes)
{
    QVariantList records;
    for (const auto& [code, id] : codes)
        records.push_back(QVariantMap{{"FieldId", static_cast<qlonglong>(fieldId)},
                                      {"ValueId", static_cast<qlonglong>(id)},
                                      {"ParentValueId", static_cast<qlonglong>(parentValueId)},
                                      {"Code", QString::fromStdString(code)},
                                      {"Description", QString::fromStdString(code + " text")}});
    ASSERT_TRUE(Platform::UserDefaults::SetValue(LastTenKey(fieldId, parentValueId), records));
}

std::vector<std::string> RememberedCodes(uint64_t fieldId, uint64_t parentValueId)
{
    std::vector<std::string> codes;
    const QVariantList records = Platform::UserDefaults::Value(LastTenKey(fieldId, parentValueId)).toList();
    for (const QVariant& record : records)
        codes.push_back(record.toMap().value("Code").toString().toStdString());
    return codes;
}

void RememberLastEntry(uint64_t fieldId, int64_t valueId)
{
    ASSERT_TRUE(Platform::UserDefaults::SetValue(QStringLiteral("Field%1Value").arg(fieldId),
                                                 static_cast<qlonglong>(valueId)));
}

}  // namespace TestSupport
