#include "tests/Support/Gui/LayoutCheck.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QWidget>

#include <algorithm>

namespace TestSupport {

namespace {

// The room a button's text and icon need besides themselves.
constexpr int kButtonPadding = 8;

std::string NameOf(const QWidget& widget)
{
    QString name = widget.objectName();
    if (name.isEmpty()) {
        if (auto* label = qobject_cast<const QLabel*>(&widget))
            name = QStringLiteral("\"%1\"").arg(label->text().left(40));
        else if (auto* button = qobject_cast<const QAbstractButton*>(&widget))
            name = QStringLiteral("\"%1\"").arg(button->text());
    }
    return std::string(widget.metaObject()->className()) + " " + name.toStdString();
}

// Widgets whose children Qt lays out itself.
bool IsComposite(const QWidget& widget)
{
    return qobject_cast<const QComboBox*>(&widget) != nullptr ||
           qobject_cast<const QAbstractScrollArea*>(&widget) != nullptr ||
           qobject_cast<const QLineEdit*>(&widget) != nullptr ||
           qobject_cast<const QAbstractSpinBox*>(&widget) != nullptr;
}

// A separator line may cross what it separates by its frame.
bool IsLine(const QWidget& widget)
{
    auto* frame = qobject_cast<const QFrame*>(&widget);
    return frame != nullptr && (frame->frameShape() == QFrame::HLine || frame->frameShape() == QFrame::VLine);
}

void CheckText(const QWidget& widget, std::vector<std::string>& problems)
{
    const QSize size = widget.size();
    if (auto* label = qobject_cast<const QLabel*>(&widget)) {
        if (label->text().isEmpty() || (!label->toolTip().isEmpty() && label->toolTip() == label->text()))
            return;
        const int width = label->contentsRect().width();
        const QSize text = label->fontMetrics().size(0, label->text());
        const int needed = label->wordWrap() ? label->heightForWidth(size.width()) : text.height();
        if ((!label->wordWrap() && text.width() > width) || needed > size.height() + 1)
            problems.push_back(NameOf(widget) + " clips its text (" + std::to_string(text.width()) + "x" +
                               std::to_string(needed) + " in " + std::to_string(size.width()) + "x" +
                               std::to_string(size.height()) + ")");
        return;
    }
    if (auto* button = qobject_cast<const QAbstractButton*>(&widget)) {
        int width = button->fontMetrics().horizontalAdvance(button->text()) + kButtonPadding;
        if (!button->icon().isNull())
            width += button->iconSize().width();
        const int height = std::max(button->fontMetrics().height(), button->icon().isNull() ? 0 : button->iconSize().height());
        if (width > size.width() || height > size.height())
            problems.push_back(NameOf(widget) + " clips its text or image");
        return;
    }
    if (qobject_cast<const QLineEdit*>(&widget) != nullptr || qobject_cast<const QComboBox*>(&widget) != nullptr) {
        if (widget.fontMetrics().height() + 4 > size.height())
            problems.push_back(NameOf(widget) + " is too low for its font (" + std::to_string(size.height()) + ")");
    }
}

std::string SizeText(const QSize& size)
{
    return std::to_string(size.width()) + "x" + std::to_string(size.height());
}

// The screen's room (less its panels) holds the whole window, frame and all.
void CheckScreen(const QWidget& window, std::vector<std::string>& problems)
{
    const QScreen* screen = window.screen();
    if (screen == nullptr)
        return;
    const QSize room = screen->availableGeometry().size();
    const QSize size = window.frameGeometry().size();
    if (size.width() > room.width() || size.height() > room.height())
        problems.push_back(NameOf(window) + " (" + SizeText(size) + ") is larger than its screen (" + SizeText(room) +
                           ")");
}

// What a scroll area's viewport cannot show of its content, its scroll bar
// must reach: the content scrolls to its end both ways.
void CheckScrolling(const QScrollArea& area, std::vector<std::string>& problems)
{
    const QSize content = area.widget()->size();
    const QSize shown = area.viewport()->size();
    struct Axis {
        int hidden;
        const QScrollBar* bar;
        Qt::ScrollBarPolicy policy;
    } axes[] = {{content.width() - shown.width(), area.horizontalScrollBar(), area.horizontalScrollBarPolicy()},
                {content.height() - shown.height(), area.verticalScrollBar(), area.verticalScrollBarPolicy()}};
    for (const Axis& axis : axes)
        if (axis.hidden > 0 && (axis.policy == Qt::ScrollBarAlwaysOff || axis.bar->maximum() < axis.hidden))
            problems.push_back(NameOf(area) + " cannot scroll to the end of its content (" + SizeText(content) +
                               " in " + SizeText(shown) + ")");
}

void CheckChildren(const QWidget& parent, std::vector<std::string>& problems)
{
    std::vector<const QWidget*> shown;
    for (QObject* object : parent.children()) {
        auto* child = qobject_cast<QWidget*>(object);
        if (child == nullptr || child->isWindow() || !child->isVisibleTo(&parent))
            continue;
        shown.push_back(child);
        if (!parent.rect().contains(child->geometry()))
            problems.push_back(NameOf(*child) + " lies outside " + NameOf(parent));
        CheckText(*child, problems);
        // The widgets a scroll area scrolls lie within its content, of
        // which the viewport shows a part.
        auto* scroller = qobject_cast<const QScrollArea*>(child);
        if (scroller != nullptr && scroller->widget() != nullptr) {
            CheckScrolling(*scroller, problems);
            CheckChildren(*scroller->widget(), problems);
        } else if (!IsComposite(*child)) {
            CheckChildren(*child, problems);
        }
    }
    for (size_t i = 0; i < shown.size(); ++i) {
        for (size_t j = i + 1; j < shown.size(); ++j) {
            if (IsLine(*shown[i]) || IsLine(*shown[j]))
                continue;
            if (shown[i]->geometry().intersects(shown[j]->geometry()))
                problems.push_back(NameOf(*shown[i]) + " overlaps " + NameOf(*shown[j]));
        }
    }
}

}  // namespace

std::vector<std::string> LayoutProblems(const QWidget& window)
{
    std::vector<std::string> problems;
    if (window.isWindow())
        CheckScreen(window, problems);
    CheckChildren(window, problems);
    return problems;
}

}  // namespace TestSupport
