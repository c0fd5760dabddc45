#include "Client/Popup/PlaceholderFieldControl.h"

#include <QComboBox>
#include <QVBoxLayout>

// An empty, disabled drop-down across the top of the row: the row is there,
// but offers nothing to choose yet.
PlaceholderFieldControl::PlaceholderFieldControl(Kind kind, const CVClientData::CustomField& field, QWidget* parent)
    : QWidget(parent), mKind(kind), mField(field)
{
    setObjectName(QStringLiteral("customFieldControl%1").arg(field.Id));
    auto* box = new QComboBox(this);
    box->setObjectName(QStringLiteral("placeholder"));
    box->setEnabled(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(box, 0, Qt::AlignTop);
    layout->addStretch(1);
}
