#include "Core/CVModels/SerializableModel.h"

#include "Common/DecimalText.h"
#include "Common/NumberConversion.h"
#include "Common/PrivateFileWriter.h"
#include "Common/StringFormat.h"
#include "Core/CVModels/DateUtil.h"
#include "CoreLogger/ComponentLog.h"

#include <cmath>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using Log = ComponentLog<LogComponents::CoreGeneral>;

namespace CVClientData {
namespace {

using json = nlohmann::json;

// Larger record files are taken for damage rather than read into memory.
constexpr off_t MaximumRecordFileSize = 16 * 1024 * 1024;

// Record files nest a few levels deep; a deeper item is damage, and refusing
// it keeps the recursive CBOR decoder from exhausting the stack.
constexpr int MaximumNesting = 64;

// Walks a CBOR item without building it, failing on damage or deep nesting.
class NestingCheck : public nlohmann::json_sax<json> {
public:
    bool null() override { return true; }
    bool boolean(bool) override { return true; }
    bool number_integer(number_integer_t) override { return true; }
    bool number_unsigned(number_unsigned_t) override { return true; }
    bool number_float(number_float_t, const string_t&) override { return true; }
    bool string(string_t&) override { return true; }
    bool binary(binary_t&) override { return true; }
    bool start_object(std::size_t) override { return ++mintDepth <= MaximumNesting; }
    bool key(string_t&) override { return true; }
    bool end_object() override { return --mintDepth >= 0; }
    bool start_array(std::size_t) override { return ++mintDepth <= MaximumNesting; }
    bool end_array() override { return --mintDepth >= 0; }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override { return false; }

private:
    int mintDepth = 0;
};

// True when the bytes are exactly one CBOR item of bounded nesting.
bool IsSoundCborItem(const std::vector<uint8_t>& bytes)
{
    NestingCheck check;
    return json::sax_parse(bytes.begin(), bytes.end(), &check, json::input_format_t::cbor, /*strict=*/true);
}

// Reads a whole regular file; false with errno set when it cannot be read.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info {};
    bool ok = fstat(fd, &info) == 0;
    if (ok && (!S_ISREG(info.st_mode) || info.st_size > MaximumRecordFileSize)) {
        errno = S_ISREG(info.st_mode) ? EFBIG : EINVAL;
        ok = false;
    }
    if (ok) {
        bytes.resize(static_cast<size_t>(info.st_size));
        size_t done = 0;
        while (ok && done < bytes.size()) {
            ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                ok = false;  // a file that shrank while being read is taken as damaged
            else
                done += static_cast<size_t>(got);
        }
    }
    int savedErrno = errno;
    ::close(fd);
    errno = savedErrno;
    return ok;
}

}  // namespace

// The value under a key when the object has it and it is not null.
const json* SerializableModel::OptionalValue(const json& object, const std::string& key)
{
    if (!object.is_object())
        return nullptr;
    auto found = object.find(key);
    if (found == object.end() || found->is_null())
        return nullptr;
    return &*found;
}

// The value under a key, which must be present and of the given kind.
const json& SerializableModel::RequiredValue(const json& object, const std::string& key, json::value_t kind)
{
    const json& value = object.at(key);
    if (value.type() != kind)
        throw json::type_error::create(
            302, stringFormat("type must be %s, but is %s", json(kind).type_name(), value.type_name()), &value);
    return value;
}

json SerializableModel::RecordToJson(const SerializableModel& record)
{
    json object = json::object();
    record.ToJson(object);
    return object;
}

std::string SerializableModel::SafeJsonToString(const json& object, const std::string& key)
{
    const json* value = OptionalValue(object, key);
    if (value == nullptr || !value->is_string())
        return std::string();
    return value->get_ref<const std::string&>();
}

namespace {

// Any JSON number converted into T with clamping; other kinds give 0.
template <typename T>
T NumberAs(const json* value)
{
    if (value == nullptr)
        return 0;
    switch (value->type()) {
    case json::value_t::number_integer:
        return ClampToInteger<T>(value->get<json::number_integer_t>());
    case json::value_t::number_unsigned:
        return ClampToInteger<T>(value->get<json::number_unsigned_t>());
    case json::value_t::number_float:
        return ClampToInteger<T>(value->get<json::number_float_t>());
    default:
        return 0;
    }
}

}  // namespace

int32_t SerializableModel::SafeJsonToInt(const json& object, const std::string& key)
{
    return NumberAs<int32_t>(OptionalValue(object, key));
}

int64_t SerializableModel::SafeJsonToLong(const json& object, const std::string& key)
{
    return NumberAs<int64_t>(OptionalValue(object, key));
}

uint64_t SerializableModel::SafeJsonToULong(const json& object, const std::string& key)
{
    return NumberAs<uint64_t>(OptionalValue(object, key));
}

double SerializableModel::SafeJsonToDouble(const json& object, const std::string& key)
{
    const json* value = OptionalValue(object, key);
    if (value == nullptr || !value->is_number())
        return 0.0;
    // JSON has no NaN or infinity; a record file that holds one (damaged or
    // forged) reads as 0, as a mistyped value does.
    double number = value->get<double>();
    return std::isfinite(number) ? number : 0.0;
}

bool SerializableModel::SafeJsonToBool(const json& object, const std::string& key)
{
    const json* value = OptionalValue(object, key);
    return value != nullptr && value->is_boolean() && value->get<bool>();
}

// An OLE Automation date given as text, or failing that as a number.
std::tm SerializableModel::SafeJsonToDateTime(const json& object, const std::string& key)
{
    std::string text = SafeJsonToString(object, key);
    if (text.empty())
        text = FixedDecimalText(SafeJsonToDouble(object, key), 6);
    return DateUtil::ConvertCOMStringToStruct(text);
}

// Encodes the record as CBOR and replaces the file with it.
bool SerializableModel::WriteToBinaryFile(const std::string& path, PrivateFileWriter::Durability durability) const
{
    Log::Debug("Writing binary job file: %s", path);
    json object = json::object();
    ToJson(object);
    Log::Debug("     job instance serialized.");

    std::vector<uint8_t> bytes = json::to_cbor(object);
    // A cache that already holds these bytes is left as it is: replacing it
    // with the same record costs a new file and a rename in its folder on
    // every job, and changes nothing. A record kept nowhere else is always
    // written, so that it reaches the disk.
    if (durability == PrivateFileWriter::Durability::Cache && PrivateFileWriter::Holds(path, bytes)) {
        Log::Debug("End writing binary job file: unchanged.");
        return true;
    }
    PrivateFileWriter file;
    bool ok = file.Open(path);
    if (ok)
        Log::Debug("     File is open");
    ok = ok && file.Write(bytes) && file.Commit(durability);
    if (!ok)
        Log::Error("Unable to write binary job file. %s", file.GetError());
    file.Close();
    Log::Debug("End writing binary job file.");
    return ok;
}

// Puts back the values a failed read may have changed. A record whose reader
// needs keys its writer does not write cannot be restored fully; that is logged.
void SerializableModel::mRestoreFrom(const json& snapshot)
{
    try {
        FromJson(snapshot);
    } catch (const std::exception& error) {
        Log::Error("Unable to restore the record: %s", error.what());
    }
}

// Decodes the file completely before the record is touched.
bool SerializableModel::LoadFromBinaryFile(const std::string& path)
{
    Log::Debug("Reading binary job file : %s", path);
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, bytes)) {
        Log::Debug("Unable to read binary job file: %s", std::strerror(errno));
        Log::Debug("End reading binary job file.");
        return false;
    }
    Log::Debug("    file is open");
    bool ok = LoadFromBinaryData(bytes, path);
    Log::Debug("End reading binary job file.");
    return ok;
}

bool SerializableModel::LoadFromBinaryData(const std::vector<uint8_t>& bytes, const std::string& path)
{
    Log::Debug("     parsing file contents");
    json decoded(json::value_t::discarded);
    if (IsSoundCborItem(bytes))
        decoded = json::from_cbor(bytes, /*strict=*/true, /*allow_exceptions=*/false);
    if (decoded.is_discarded()) {
        Log::Error("Binary job file is damaged: %s", path);
        return false;
    }
    // A file that lacks a required part stops FromJson half-way; the record
    // is then restored from its own dump taken beforehand.
    json snapshot = json::object();
    ToJson(snapshot);
    try {
        FromJson(decoded);
        return true;
    } catch (const std::exception& error) {
        Log::Error("Binary job file %s does not hold this record: %s", path, error.what());
        mRestoreFrom(snapshot);
        return false;
    }
}

}  // namespace CVClientData
