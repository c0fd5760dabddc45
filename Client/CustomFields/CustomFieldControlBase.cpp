#include "Client/CustomFields/CustomFieldControlBase.h"

#include "Core/CVModels/CustomField.h"

uint64_t CustomFieldControlBase::fieldId() const
{
    return _customField.Id;
}

std::string CustomFieldControlBase::fieldName() const
{
    return _customField.Name;
}

void CustomFieldControlBase::mTellDelegate(CustomFieldControl& changed)
{
    if (_delegate != nullptr)
        _delegate->customFieldControlSelectionChanged(changed);
}
