// The custom-field controls as the job pop-up lays them out, the search
// dialog of a searchable field on its first page of results, and the sheet
// that adds a value. The values come from a loopback stand-in server.
#include "Client/CustomFields/CustomFieldComboBox.h"
#include "Client/CustomFields/CustomFieldSearchWindow.h"
#include "Client/CustomFields/NonValidatedField.h"
#include "Client/CustomFields/OptionField.h"
#include "Client/CustomFields/SearchableDropDown.h"
#include "Client/CustomFields/SearchableField.h"
#include "Client/CustomFields/SimpleDropDown.h"
#include "Core/CVModels/CustomField.h"
#include "Core/WebServiceConnection/WebDataService.h"
#include "tests/Screenshots/Screenshots.h"
#include "tests/StandInServer/DefaultAnswers.h"
#include "tests/StandInServer/StandInServer.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

#include <nlohmann/json.hpp>

#include <deque>

namespace {

using CVClientData::CustomField;
using CVClientData::CustomFieldValue;
using nlohmann::json;

const char* const kMatters[][2] = {
    {"M-1041", "Harbour lease renewal"},    {"M-1042", "Harbour lease, rent review"},
    {"M-1057", "Northgate acquisition"},    {"M-1063", "Staff handbook update"},
    {"M-1070", "Warehouse insurance claim"}, {"M-1088", "Supplier contract, Lindqvist"},
    {"M-1090", "Trademark filing, Corvo"},  {"M-1102", "Annual accounts 2024"},
    {"M-1117", "Office move, third floor"}, {"M-1121", "Data protection audit"},
};

// A stand-in whose search answers three pages of matters, and the web
// service that talks to it; both live as long as the program.
CVClientData::WebDataService& Service()
{
    static StandIn::StandInServer server;
    static CVClientData::WebDataService service;
    static bool ready = [] {
        server.SetResponder("PUT", "printapi/customfields/values/search", [](const StandIn::RecordedRequest& request) {
            json search = json::parse(request.body);
            if (search.value("FieldId", 0) != 7)
                return StandIn::DefaultResponder("PUT", "printapi/customfields/values/search")(request);
            search["PageCount"] = 3;
            search["MatchingValues"] = json::array();
            unsigned long id = 7000;
            for (const auto& matter : kMatters)
                search["MatchingValues"].push_back({{"FieldId", 7}, {"ValueId", ++id}, {"Code", matter[0]},
                                                    {"Description", matter[1]}, {"Modifier", json::object()}});
            return StandIn::Answer::Json(200, search.dump());
        });
        service.SetServiceUrl(server.BaseUrl());
        service.SetCaBundle(server.CaFile());
        return true;
    }();
    static_cast<void>(ready);
    return service;
}

CustomFieldValue Value(uint64_t field, uint64_t id, const char* code, const char* description)
{
    CustomFieldValue value;
    value.FieldId = field;
    value.ValueId = id;
    value.Code = code;
    value.Description = description;
    return value;
}

// Fields live as long as their controls, which live as long as the program.
CustomField& NewField(uint64_t id, const char* name, std::vector<CustomFieldValue> values, uint64_t parentId = 0)
{
    static std::deque<CustomField> fields;
    CustomField& field = fields.emplace_back();
    field.Id = id;
    field.Name = name;
    field.ParentId = parentId;
    for (const CustomFieldValue& value : values)
        field.AddCustomFieldValue(value);
    return field;
}

CustomField& Accounts()
{
    std::vector<CustomFieldValue> values;
    for (uint64_t i = 0; i < 5; ++i)
        values.push_back(Value(1, 101 + i, ("A10" + std::to_string(i)).c_str(), ("Account " + std::to_string(i)).c_str()));
    return NewField(1, "Account", values);
}

// A caption as the pop-up sets it: right-aligned, 100 wide, left of its control.
void Caption(QWidget& window, const char* text, int y)
{
    auto* label = new QLabel(QString::fromUtf8(text), &window);
    label->setGeometry(10, y + 4, 100, 17);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

std::unique_ptr<QWidget> ControlRows()
{
    auto window = std::make_unique<QWidget>();
    window->setWindowTitle("Custom fields");
    window->resize(474, 190);
    CVClientData::WebDataService& service = Service();
    const QRect row(114, 0, 350, 25);

    Caption(*window, "Account:", 12);
    auto* account = new SearchableField(row.translated(0, 12), Accounts(), service, true, window.get());
    Caption(*window, "Project:", 43);
    auto* project = new SearchableDropDown(row.translated(0, 43), NewField(2, "Project", {}, 1), service, true, window.get());
    project->setParentControl(account);
    const CustomFieldValue chosenAccount = Value(1, 101, "A100", "Account 0");
    account->setSelectedValue(&chosenAccount);
    const CustomFieldValue chosenProject = Value(2, 202, "P201", "Project one");
    project->setSelectedValue(&chosenProject);

    Caption(*window, "Cost centre:", 74);
    auto* centres = new SimpleDropDown(row.translated(0, 74),
                                       NewField(3, "Cost centre", {Value(3, 301, "CC10", "Sales"),
                                                                   Value(3, 302, "CC20", "Marketing"),
                                                                   Value(3, 303, "CC30", "Engineering")}),
                                       service, window.get());
    centres->setCurrentIndex(2);

    Caption(*window, "Finish:", 105);
    auto* finish = new OptionField(QRect(114, 105, 350, 40),
                                   NewField(4, "Finish", {Value(4, 401, "D", "Draft"), Value(4, 402, "F", "Final")}),
                                   service, window.get());
    finish->setSelectedValue(nullptr);

    Caption(*window, "Reference:", 153);
    auto* reference = new NonValidatedField(row.translated(0, 153), NewField(5, "Reference", {}), service, window.get());
    const CustomFieldValue typed = Value(5, 0, "PO-4471", "");
    reference->setSelectedValue(&typed);
    return window;
}

// The window that holds a control whose dialog is pictured. It is never
// destroyed: the pictured dialog is its child and goes first.
QWidget& HoldingWindow()
{
    auto* window = new QWidget;
    window->resize(474, 60);
    return *window;
}

std::unique_ptr<QWidget> SearchDialog()
{
    QWidget& window = HoldingWindow();
    auto* matters = new SearchableField(QRect(114, 12, 350, 25), NewField(7, "Matter", {}), Service(), true, &window);
    QTimer::singleShot(0, [matters] {
        CustomFieldSearchWindow* dialog = matters->searchWindow();
        dialog->_searchField->setText("M-1");
        dialog->_doSearchButton->click();
        dialog->_searchResults->selectRow(2);
        dialog->done(QDialog::Rejected);
    });
    matters->showSearchDialog();
    return std::unique_ptr<QWidget>(matters->searchWindow());
}

std::unique_ptr<QWidget> AddSheet()
{
    QWidget& window = HoldingWindow();
    window.show();
    auto* accounts = new SearchableDropDown(QRect(114, 12, 350, 25), Accounts(), Service(), true, &window);
    accounts->addNewCode();
    auto* sheet = window.findChild<QDialog*>("addPanel");
    sheet->findChild<QLineEdit*>("valueCode")->setText("A210");
    sheet->findChild<QLineEdit*>("valueDescription")->setText("Account for the Lisbon office");
    return std::unique_ptr<QWidget>(sheet);
}

const Screenshots::Registration kControls("custom-field-controls", ControlRows);
const Screenshots::Registration kSearch("custom-field-search", SearchDialog);
const Screenshots::Registration kAdd("custom-field-add", AddSheet);

}  // namespace
