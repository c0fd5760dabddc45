#pragma once

#include "Client/CustomFields/CustomFieldControl.h"
#include "Core/CVModels/CustomField.h"
#include "tests/Support/Gui/ModalScript.h"
#include "tests/Support/Gui/RememberedValues.h"
#include "tests/WebService/WebServiceFixture.h"

#include <QComboBox>
#include <QStringList>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

#include <string>
#include <vector>

namespace ControlTests {

using CVClientData::CustomField;
using CVClientData::CustomFieldValue;

// A value as the server sends it.
CustomFieldValue Value(uint64_t fieldId, uint64_t valueId, const std::string& code, const std::string& description,
                       uint64_t parentValueId = 0);

// A field with its current values.
CustomField Field(uint64_t id, const std::string& name, std::vector<CustomFieldValue> values = {},
                  uint64_t parentId = 0);

// Field 1 "Account" as the stand-in knows it: A100 to A104, ids 101 to 105.
CustomField AccountField();

using TestSupport::Remember;
using TestSupport::RememberedCodes;

QStringList Items(const QComboBox& box);

// The id of the control's value; 0 when it has none.
uint64_t ChosenId(CustomFieldControl& control);

using TestSupport::ChooseInList;

// The five controls, as the pop-up makes them by field type.
enum class Kind { SearchableDropDown, SearchableField, NonValidatedField, SimpleDropDown, OptionField };

// Records the notices of the controls it is the delegate of.
class RecordingDelegate : public CustomFieldControlDelegate {
public:
    void customFieldControlSelectionChanged(CustomFieldControl& control) override { notices.push_back(&control); }
    std::vector<CustomFieldControl*> notices;
};

// A private root, a stand-in server and the web service, and a plain window
// shown on the offscreen screen for the controls under test.
class ControlTest : public WebServiceTests::WebServiceTest {
protected:
    void SetUp() override;

    // The search requests the stand-in received, parsed.
    std::vector<nlohmann::json> SearchRequests() const;

    // A frame in the window, 350 wide and 25 high.
    static QRect Row(int y = 10) { return QRect(10, y, 350, 25); }

    // A control of the kind for the field in the window, at the row (option
    // fields 40 high), with the recording delegate.
    std::unique_ptr<CustomFieldControl> Make(Kind kind, CustomField& field, bool userCanAddCodes = false, int y = 10);

    QWidget mWindow;
    RecordingDelegate mDelegate;
};

}  // namespace ControlTests
