#include "Client/CustomFields/NonValidatedField.h"
#include "Client/CustomFields/OptionField.h"
#include "Client/CustomFields/SearchableDropDown.h"
#include "Client/CustomFields/SearchableField.h"
#include "Client/CustomFields/SimpleDropDown.h"
#include "Client/Popup/ElidingLabel.h"
#include "Client/Popup/PendingJobGrid.h"
#include "Client/Popup/PopupWindow.h"
#include "Core/CVModels/ClientJob.h"
#include "Core/CVModels/ClientSettings.h"
#include "Core/CVModels/LocalFiles/ClientLogo.h"
#include "Core/Services/CustomFieldService.h"
#include "Core/WebServiceConnection/WebDataService.h"
#include "CoreLogger/DebugScope.h"
#include "Platform/Qt/FontScale.h"
#include "Platform/Qt/LocalizedStrings.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFontMetricsF>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>

#include <algorithm>
#include <cmath>
#include <optional>

// Building the window in code. Rows are placed from the bottom up, as the
// window's coordinates count them: the buttons, a separator, the pages and
// user rows, a separator, the costs, the comment, the custom fields, the job
// (or the pending grid), and the logo in the band left at the top. The
// window's height is worked out first from the rows it will hold.
//
// The numbers below are the layout at the desktop's usual 9 point font.
// A larger font (or captions that need more room) scales the whole window,
// so that no text is clipped and the rows keep their proportions.
//
// The buttons with the separator above them form a bar of their own below
// the rows. Where the screen is too small for the whole window (a scaled
// desktop on a small screen), the rows scroll and the bar stays in view.

namespace {

constexpr auto kComponent = LogComponents::ClientUserInterface;

constexpr int kCaptionX = 10;
constexpr int kCaptionWidth = 100;
constexpr int kLineHeight = 17;
constexpr int kValueX = 114;
constexpr int kValueWidth = 350;
constexpr int kShortValueWidth = 100;
constexpr int kSecondCaptionX = 225;
constexpr int kSecondValueX = 329;
constexpr int kFieldGap = 4;        // between a caption and its value
constexpr int kRightMargin = 10;
constexpr int kRowGap = 6;          // between consecutive rows
constexpr int kControlGap = 3;      // between consecutive custom-field controls
constexpr int kControlHeight = 25;
constexpr int kCaptionRaise = 3;    // a caption's bottom above its control's
constexpr int kOptionFieldHeight = 40;
constexpr int kCommentHeight = 53;
constexpr int kCostBoxWidth = 100;
constexpr int kCostBoxHeight = 22;
constexpr int kCostBoxGaps[2] = {4, 3};  // below the added-cost row, below the unit-cost row
constexpr int kSeparatorX = 10;
constexpr int kSeparatorWidth = 454;
constexpr int kBottomSeparatorY = 46;
constexpr int kButtonBarHeight = kBottomSeparatorY + 1;
constexpr int kButtonY = 8;
constexpr int kButtonHeight = 32;
constexpr int kFirstButtonX = 396;
constexpr int kButtonGap = 4;
constexpr int kPrintWidth = 68;
constexpr int kCancelJobWidth = 120;
constexpr int kCancelWidth = 76;
constexpr int kBatchWidth = 80;
constexpr int kSnoozeWidth = 80;
constexpr int kLogoWidth = PopupWindow::ContentWidth;
constexpr int kLogoHeight = 88;
constexpr int kLogoMargin = 4;  // above and below the image
constexpr int kGridX = 10;
constexpr int kGridWidth = 454;
// The grid takes the band of the printer and document rows and the height
// the pending mode adds.
constexpr int kGridHeight =
    2 * (kLineHeight + kRowGap) + PopupWindow::PendingGridHeight - PopupWindow::BaseHeight - kRowGap;

QString Text(const char* key)
{
    return Platform::LocalizedStrings::Text(QString::fromLatin1(key));
}

// How much larger than its numbers the window is laid out for the font:
// as much as the font is higher than the one they were made for, and at
// least enough for the window's own captions and typical page counts to
// fit their places. Never smaller.
double LayoutScale(const QFont& font)
{
    const QFontMetricsF metrics(font);
    double scale = Platform::FontScale(font);
    auto fit = [&](const QString& text, int room) { scale = std::max(scale, metrics.horizontalAdvance(text) / room); };
    for (const char* key : {"Client_Popup_Label_Printer", "Client_Popup_Label_Document", "Client_Popup_Label_Comment",
                            "Client_Popup_Label_BW_Unit_Cost", "Client_Popup_Label_Color_Unit_Cost",
                            "Client_Popup_Label_Added_Cost", "Client_Popup_Label_Job_Cost", "Client_Popup_Label_User",
                            "Client_Popup_Label_Balance", "Client_Popup_Label_Pages", "Client_Popup_Label_Total"})
        fit(Text(key), kCaptionWidth);
    fit(Text("Client_Popup_Label_Pages_BW_And_Color").arg(8).arg(2), kShortValueWidth);
    return scale;
}

// The widget that takes typing first in a row's input: the input itself or
// the first enabled part of it that takes the focus by the keyboard; none
// for a button.
QWidget* FirstInput(QWidget& input)
{
    if (qobject_cast<QPushButton*>(&input) != nullptr)
        return nullptr;
    if (input.focusPolicy() & Qt::TabFocus)
        return &input;
    for (QWidget* part : input.findChildren<QWidget*>()) {
        if ((part->focusPolicy() & Qt::TabFocus) && part->isEnabled() && !part->isHidden()
            && qobject_cast<QPushButton*>(part) == nullptr)
            return part;
    }
    return nullptr;
}

// The comment box: Return presses Print, as in every other input of the
// window, and never puts a line break into the comment that the server gets.
class CommentBox : public QPlainTextEdit {
public:
    using QPlainTextEdit::QPlainTextEdit;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            event->ignore();  // the window presses its default button
            return;
        }
        QPlainTextEdit::keyPressEvent(event);
    }
};

// The widgets of an input that take the focus by Tab, in reading order: the
// input itself when it takes it, else its parts, row by row, left to right.
void AppendTabStops(QWidget& input, std::vector<QWidget*>& stops)
{
    if (input.focusPolicy() & Qt::TabFocus) {
        stops.push_back(&input);
        return;
    }
    QList<QWidget*> parts = input.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    std::stable_sort(parts.begin(), parts.end(), [](const QWidget* a, const QWidget* b) {
        return a->y() != b->y() ? a->y() < b->y() : a->x() < b->x();
    });
    for (QWidget* part : parts)
        if (!part->isHidden() && !part->isWindow())
            AppendTabStops(*part, stops);
}

// The height of the control a custom field gets by its type: a pair of
// options for type 2 when the field has two values, a drop-down for type 1
// when it has any, a one-line control for types 0, 3 and 4. None for a
// field without a row.
std::optional<int> ControlHeight(const CVClientData::CustomField& field)
{
    switch (field.Type) {
    case 0:
    case 3:
    case 4:
        return kControlHeight;
    case 1:
        return field.HasCustomFieldValues() ? std::optional<int>(kControlHeight) : std::nullopt;
    case 2:
        return field.CountCustomFieldValues() >= 2 ? std::optional<int>(kOptionFieldHeight) : std::nullopt;
    default:
        return std::nullopt;
    }
}

// A logo is made for a light window, as the shipped one's dark-blue name
// is: on a dark window it lies on a light card of its own, else it would be
// nearly invisible. Scaled to fit the room both ways.
QPixmap LegibleLogo(const QPixmap& image, const QSize& room, const QPalette& palette)
{
    if (palette.color(QPalette::Window).lightness() >= 128)
        return image.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    constexpr int kCardPadding = 6;
    constexpr double kCardRadius = 8.0;
    const QSize inner = room - QSize(2 * kCardPadding, 2 * kCardPadding);
    if (inner.isEmpty())
        return image.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    const QPixmap scaled = image.scaled(inner, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QPixmap card(scaled.size() + QSize(2 * kCardPadding, 2 * kCardPadding));
    card.fill(Qt::transparent);
    QPainter painter(&card);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xf5, 0xf6, 0xf8));
    painter.drawRoundedRect(QRectF(card.rect()), kCardRadius, kCardRadius);
    painter.drawPixmap(kCardPadding, kCardPadding, scaled);
    return card;
}

// In a window whose rows scroll, the wheel over a list that the user has
// not clicked into scrolls the rows, as everywhere else in them, rather
// than changing the list's choice unseen.
class WheelScrollsRows : public QObject {
public:
    explicit WheelScrollsRows(QScrollArea& scroller) : QObject(&scroller), mScroller(scroller) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Wheel || static_cast<QWidget*>(watched)->hasFocus())
            return false;
        QCoreApplication::sendEvent(mScroller.verticalScrollBar(), event);
        return true;
    }

private:
    QScrollArea& mScroller;
};

}  // namespace

// Converts the window's coordinates, which count from the bottom, to the
// content view's, which count from the top, scaled for the font. Edges are
// scaled, not sizes, so that widgets that meet in the numbers meet on the
// screen and never overlap by a rounded pixel.
class PopupWindow::Placer {
public:
    Placer(QWidget& content, int height, double scale) : mContent(content), mintHeight(height), mdblScale(scale) {}

    template <typename Widget>
    Widget* place(Widget* widget, int x, int y, int width, int height) const
    {
        widget->setGeometry(frame(x, y, width, height));
        return widget;
    }

    QRect frame(int x, int y, int width, int height) const
    {
        const int left = scaled(x);
        const int top = scaled(mintHeight) - scaled(y + height);
        return QRect(left, top, scaled(x + width) - left, scaled(mintHeight) - scaled(y) - top);
    }
    int scaled(int length) const { return static_cast<int>(std::lround(length * mdblScale)); }

    QWidget& content() const { return mContent; }
    // In the layout's numbers.
    int height() const { return mintHeight; }
    double scale() const { return mdblScale; }

private:
    QWidget& mContent;
    const int mintHeight;
    const double mdblScale;
};

void PopupWindow::setDecimalFormat()
{
    DebugScope scope(kComponent, "-[PopupWindow setDecimalFormat]");
    mFormats = PopupFormats(mSettings().NumberDecimalPlaces);
}

// The job's custom fields as the server defines them; none without a job or
// a server connection.
void PopupWindow::mLoadCustomFields()
{
    _customFieldsForJob.clear();
    if (_printJob != nullptr && _webDataService != nullptr)
        CVCoreDataServices::CustomFieldService(*_webDataService).LoadAllCustomFieldsForJob(*_printJob, _customFieldsForJob);
}

// Every custom field of a type with a row counts, also one whose row the
// window leaves out for want of values.
int PopupWindow::calculatePopupHeight()
{
    DebugScope scope(kComponent, "-[PopupWindow calculatePopupHeight]");
    mLoadCustomFields();
    const CVClientData::User& owner = mUser();
    int height = mShowsGrid() ? PendingGridHeight : BaseHeight;
    if (owner.ShowCosts)
        height += CostRowsHeight + (owner.AllowCostOverride ? CostOverrideExtraHeight : 0);
    if (owner.ShowComments)
        height += CommentRowHeight;
    if (owner.Type == CVClientData::User::BothPageBalances)
        height += BothBalancesExtraHeight;
    for (auto field = _customFieldsForJob.rbegin(); field != _customFieldsForJob.rend(); ++field) {
        if (field->Type < 0 || field->Type > 4)
            continue;
        if (_webDataService != nullptr)
            field->LoadAllCustomFieldValues(*_webDataService, 0);
        height += field->Type == 2 ? OptionFieldRowHeight : FieldRowHeight;
    }
    return height;
}

void PopupWindow::createWindow()
{
    DebugScope scope(kComponent, "-[PopupWindow createWindow]");
    // The controls refer to the fields, which are loaded anew below.
    customFieldControls.clear();
    delete mContentView;
    user = userBalance = pageCounts = totalUnits = printer = document = totalCost = nullptr;
    addedCosts = bwUnitCost = colorUnitCost = CostInput();
    comments = nullptr;
    pendingJobsGrid = nullptr;
    pendingJobsGridView = nullptr;
    mGridModel = nullptr;

    const QString brand = Platform::LocalizedStrings::Text(QStringLiteral("Quorvel"), QStringLiteral("Branding"));
    const char* title = !isPendingMode()           ? "Client_New_Job_Popup_Title"
                        : mPendingJobCount() == 1 ? "Client_Pending_Job_Single_Title"
                                                  : "Client_Pending_Job_Multiple_Title";
    setWindowTitle(Text(title).arg(brand));

    const int height = calculatePopupHeight();
    mLoadCustomFields();
    mContentView = new QWidget(this);
    mContentView->setObjectName(QStringLiteral("contentView"));
    auto* rows = new QWidget(mContentView);
    rows->setObjectName(QStringLiteral("rows"));
    auto* bar = new QWidget(mContentView);
    bar->setObjectName(QStringLiteral("buttonBar"));
    const double scale = LayoutScale(font());
    // The rows keep the window's coordinates; the bar counts from its own
    // bottom, which is the window's.
    Placer placer(*rows, height, scale);
    Placer barPlacer(*bar, kButtonBarHeight, scale);
    const int barHeight = barPlacer.scaled(kButtonBarHeight);
    rows->resize(placer.scaled(ContentWidth), placer.scaled(height) - barHeight);
    bar->resize(rows->width(), barHeight);

    mPlaceButtons(barPlacer);
    mMakeSeparator(barPlacer, kBottomSeparatorY);
    int cursor = kButtonBarHeight;
    cursor = mPlaceUserRows(placer, cursor);
    cursor = mPlaceCostRows(placer, cursor);
    cursor = mPlaceComment(placer, cursor);
    cursor = mPlaceCustomFieldRows(placer, cursor);
    cursor = mPlaceJobRows(placer, cursor);
    mPlaceLogo(placer, cursor);
    mFitToScreen(*rows, *bar);
    mSetKeyboardOrder(*bar);
    mContentView->show();
}

// The whole window where the screen has room for it, the rows above the
// bar. Else the window takes the room there is: the rows scroll (a scroll
// bar beside them, and below them when they are also too wide), and the
// bar below keeps the buttons in view at the window's right edge.
void PopupWindow::mFitToScreen(QWidget& rows, QWidget& bar)
{
    const QSize whole(rows.width(), rows.height() + bar.height());
    const QSize room = Platform::ScreenRoom(*this);
    if (whole.width() <= room.width() && whole.height() <= room.height()) {
        rows.move(0, 0);
        bar.move(0, rows.height());
        mContentView->setGeometry(QRect(QPoint(0, 0), whole));
        setFixedSize(whole);
        return;
    }
    auto* scroller = new QScrollArea(mContentView);
    scroller->setObjectName(QStringLiteral("rowsScroller"));
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setWidget(&rows);
    auto* wheel = new WheelScrollsRows(*scroller);
    for (QComboBox* list : rows.findChildren<QComboBox*>()) {
        list->setFocusPolicy(Qt::StrongFocus);  // not taken by the wheel
        list->installEventFilter(wheel);
    }
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scroller);
    const bool tall = whole.height() > room.height();
    const bool wide = whole.width() + (tall ? scrollBar : 0) > room.width();
    const QSize size(std::min(whole.width() + (tall ? scrollBar : 0), room.width()),
                     std::min(whole.height() + (wide ? scrollBar : 0), room.height()));
    scroller->setGeometry(0, 0, size.width(), size.height() - bar.height());
    // The buttons keep their distance from the right edge; the separator
    // spans the window as before.
    const int shift = size.width() - whole.width();
    QList<QPushButton*> buttons;
    for (QWidget* part : bar.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (auto* button = qobject_cast<QPushButton*>(part)) {
            button->move(button->x() + shift, button->y());
            buttons.append(button);
        } else {
            part->resize(part->width() + shift, part->height());
        }
    }
    mNarrowButtons(buttons, LayoutScale(font()));
    bar.setGeometry(0, size.height() - bar.height(), size.width(), bar.height());
    mContentView->setGeometry(QRect(QPoint(0, 0), size));
    setFixedSize(size);
}

// Buttons that would reach past the window's left margin (many of them in a
// large font on a small screen) keep their order and right edge and take
// only the width their text needs.
void PopupWindow::mNarrowButtons(QList<QPushButton*> buttons, double scale)
{
    const int margin = static_cast<int>(kCaptionX * scale);
    std::sort(buttons.begin(), buttons.end(), [](QPushButton* a, QPushButton* b) { return a->x() > b->x(); });
    if (buttons.isEmpty() || buttons.back()->x() >= margin)
        return;
    int right = buttons.front()->geometry().right() + 1;
    const int gap = static_cast<int>(kButtonGap * scale);
    for (QPushButton* button : buttons) {
        const int width = std::min(button->width(), button->sizeHint().width());
        button->setGeometry(right - width, button->y(), width, button->height());
        right -= width + gap;
    }
}

// A person works the window from the top down: the pending jobs' grid, the
// custom fields, the comment, the unit costs and the added cost, then the
// buttons from left to right. Each input counts with the parts of it that
// take the focus (a field's box and its add button), left to right, since
// Qt orders the widgets that take the focus, not the views that hold them.
// The first of them that takes typing has the focus when the window opens,
// so that the user can start at once.
void PopupWindow::mSetKeyboardOrder(QWidget& bar)
{
    std::vector<QWidget*> order;
    if (pendingJobsGrid != nullptr)
        AppendTabStops(*pendingJobsGrid, order);
    for (auto control = customFieldControls.rbegin(); control != customFieldControls.rend(); ++control)
        AppendTabStops((*control)->widget(), order);
    for (QWidget* input : std::initializer_list<QWidget*>{comments, bwUnitCost.box, colorUnitCost.box, addedCosts.box})
        if (input != nullptr)
            AppendTabStops(*input, order);
    QList<QPushButton*> buttons = bar.findChildren<QPushButton*>(QString(), Qt::FindDirectChildrenOnly);
    std::sort(buttons.begin(), buttons.end(), [](QPushButton* a, QPushButton* b) { return a->x() < b->x(); });
    order.insert(order.end(), buttons.begin(), buttons.end());
    for (size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    for (QWidget* input : order) {
        if (QWidget* typing = FirstInput(*input)) {
            typing->setFocus();
            break;
        }
    }
}

// Right to left: Print (Save), Cancel, Batch for a manual batch, Snooze
// where the user may snooze and is identified automatically.
void PopupWindow::mPlaceButtons(Placer& placer)
{
    const CVClientData::User& owner = mUser();
    struct Button {
        const char* key;
        const char* name;
        int width;
        void (PopupWindow::*action)();
    };
    std::vector<Button> buttons;
    buttons.push_back({isPendingMode() ? "Save_Button" : "Print_Button", "allowPrintJob", kPrintWidth,
                       &PopupWindow::allowPrintJob});
    buttons.push_back(isPendingMode()
                          ? Button{"Cancel_Button", "cancelPrintJob", kCancelWidth, &PopupWindow::cancelPrintJob}
                          : Button{"Cancel_Job_Button", "cancelPrintJob", kCancelJobWidth, &PopupWindow::cancelPrintJob});
    if (owner.BatchMode == 1)
        buttons.push_back({"Batch_Button", "setManualBatch", kBatchWidth, &PopupWindow::setManualBatch});
    if (owner.AllowSnooze && mSettings().AuthenticationType == 0)
        buttons.push_back({"Snooze_Button", "snoozePrintJob", kSnoozeWidth, &PopupWindow::snoozePrintJob});

    int right = kFirstButtonX + kPrintWidth;
    for (const Button& button : buttons) {
        auto* pushButton = new QPushButton(Text(button.key), &placer.content());
        pushButton->setObjectName(QString::fromLatin1(button.name));
        pushButton->setAutoDefault(false);
        placer.place(pushButton, right - button.width, kButtonY, button.width, kButtonHeight);
        connect(pushButton, &QPushButton::clicked, this, button.action);
        right -= button.width + kButtonGap;
    }
    placer.content().findChild<QPushButton*>(QStringLiteral("allowPrintJob"))->setDefault(true);
}

// The pages row (unless the job pops up before its pages are known), the
// user row with the balance where the user has one, and a separator.
int PopupWindow::mPlaceUserRows(Placer& placer, int cursor)
{
    const CVClientData::User& owner = mUser();
    if (_printJob == nullptr || !_printJob->PrinterPopEarly) {
        int y = cursor + kRowGap;
        mMakeCaption(placer, "Client_Popup_Label_Pages", kCaptionX, y);
        pageCounts = mMakeValue(placer, "pageCounts", kValueX, y, kShortValueWidth);
        mMakeCaption(placer, "Client_Popup_Label_Total", kSecondCaptionX, y);
        int totalValueX = kSecondCaptionX + kCaptionWidth + kFieldGap;
        totalUnits = mMakeValue(placer, "totalUnits", totalValueX, y, ContentWidth - kRightMargin - totalValueX);
        cursor = y + kLineHeight;
    }
    // A balance of both kinds of pages has a line for each, level with the
    // user's name at the top.
    const int balanceLines = owner.Type == CVClientData::User::BothPageBalances ? 2 : 1;
    int y = cursor + kRowGap;
    int top = y + (balanceLines - 1) * kLineHeight;
    mMakeCaption(placer, "Client_Popup_Label_User", kCaptionX, top);
    if (owner.Type != CVClientData::User::NoBalance) {
        user = mMakeValue(placer, "user", kValueX, top, kSecondCaptionX - kFieldGap - kValueX);
        mMakeCaption(placer, "Client_Popup_Label_Balance", kSecondCaptionX, top);
        userBalance = mMakeValue(placer, "userBalance", kSecondValueX, y, ContentWidth - kRightMargin - kSecondValueX,
                                 balanceLines);
    } else {
        user = mMakeValue(placer, "user", kValueX, y, kValueWidth);
    }
    cursor = y + balanceLines * kLineHeight + kRowGap;
    mMakeSeparator(placer, cursor);
    return cursor + 1;
}

// Two rows: the added cost with the job's cost (which a job that pops up
// before its pages are known does not have), and above it the unit costs.
int PopupWindow::mPlaceCostRows(Placer& placer, int cursor)
{
    const CVClientData::User& owner = mUser();
    if (!owner.ShowCosts)
        return cursor;
    const bool editable = owner.AllowCostOverride;
    const int rowHeight = editable ? kCostBoxHeight : kLineHeight;
    const int captionLift = editable ? kCaptionRaise : 0;
    const bool showJobCost = _printJob == nullptr || !_printJob->PrinterPopEarly;

    int y = cursor + (editable ? kCostBoxGaps[0] : kRowGap);
    mMakeCaption(placer, "Client_Popup_Label_Added_Cost", kCaptionX, y + captionLift);
    addedCosts = mMakeCostInput(placer, "addedCosts", kValueX, y);
    if (showJobCost) {
        mMakeCaption(placer, "Client_Popup_Label_Job_Cost", kSecondCaptionX, y + captionLift);
        totalCost = mMakeValue(placer, "totalCost", kSecondValueX, y + captionLift,
                               ContentWidth - kRightMargin - kSecondValueX);
    }
    cursor = y + rowHeight;

    y = cursor + (editable ? kCostBoxGaps[1] : kRowGap);
    mMakeCaption(placer, "Client_Popup_Label_BW_Unit_Cost", kCaptionX, y + captionLift);
    bwUnitCost = mMakeCostInput(placer, "bwUnitCost", kValueX, y);
    mMakeCaption(placer, "Client_Popup_Label_Color_Unit_Cost", kSecondCaptionX, y + captionLift);
    colorUnitCost = mMakeCostInput(placer, "colorUnitCost", kSecondValueX, y);
    return y + rowHeight;
}

int PopupWindow::mPlaceComment(Placer& placer, int cursor)
{
    if (!mUser().ShowComments)
        return cursor;
    int y = cursor + kRowGap;
    comments = placer.place(new CommentBox(&placer.content()), kValueX, y, kValueWidth, kCommentHeight);
    comments->setObjectName(QStringLiteral("comments"));
    comments->setTabChangesFocus(true);
    mMakeCaption(placer, "Client_Popup_Label_Comment", kCaptionX, y + kCommentHeight - kLineHeight);
    return y + kCommentHeight;
}

// From the last field to the first, so that the first lands at the top. A
// dependent field (type 0 or 4 with a parent) is held until the nearest
// field above it without a parent and of type 0 or 4, whose control becomes
// its parent control; the child then hears of the parent's changes and
// passes them on to the window.
int PopupWindow::mPlaceCustomFieldRows(Placer& placer, int cursor)
{
    FieldControl* held = nullptr;
    for (auto field = _customFieldsForJob.rbegin(); field != _customFieldsForJob.rend(); ++field) {
        if (_webDataService != nullptr)
            field->LoadAllCustomFieldValues(*_webDataService, 0);
        const std::optional<int> height = ControlHeight(*field);
        if (!height || _webDataService == nullptr)
            continue;

        const QString caption = QStringLiteral("%1:").arg(QString::fromStdString(field->Name));
        const bool options = *height == kOptionFieldHeight;
        const int y = cursor + (options ? kRowGap : kControlGap);
        FieldControl* control =
            mMakeFieldControl(*field, placer.frame(kValueX, y, kValueWidth, *height), &placer.content());
        // An option field's caption is level with its first option.
        const int captionY = options ? y + kOptionFieldHeight - kLineHeight : y + kCaptionRaise;
        mMakeCaption(placer, nullptr, kCaptionX, captionY)->setText(caption);
        cursor = y + *height;
        control->setDelegate(this);
        customFieldControls.push_back(control);

        const bool linkable = field->Type == 0 || field->Type == 4;
        if (linkable && field->ParentId != 0) {
            held = control;
        } else if (linkable) {
            if (field->Type == 0)
                field->LoadAllCustomFieldValues(*_webDataService, 0);
            if (held != nullptr)
                held->setParentControl(control);
            held = nullptr;
        }
    }
    return cursor;
}

PopupWindow::FieldControl* PopupWindow::mMakeFieldControl(CVClientData::CustomField& field, const QRect& frame,
                                                         QWidget* parent)
{
    CVClientData::WebDataService& service = *_webDataService;
    const bool userCanAddCodes = mUser().UserCanAddCodes;
    switch (field.Type) {
    case 0:
        return new SearchableDropDown(frame, field, service, userCanAddCodes, parent);
    case 1:
        return new SimpleDropDown(frame, field, service, parent);
    case 2:
        return new OptionField(frame, field, service, parent);
    case 3:
        return new NonValidatedField(frame, field, service, parent);
    default:  // 4: a field with many values, listed whole under a parent
        if (field.ParentId != 0)
            return new SearchableDropDown(frame, field, service, userCanAddCodes, parent);
        return new SearchableField(frame, field, service, userCanAddCodes, parent);
    }
}

// The printer and document rows, or the pending grid in their place when
// more than one job waits.
int PopupWindow::mPlaceJobRows(Placer& placer, int cursor)
{
    if (mShowsGrid()) {
        int y = cursor + kRowGap;
        mGridModel = new PendingJobGridModel(*this);
        pendingJobsGridView = PendingJobGridModel::makeGridView(*mGridModel, &placer.content(), pendingJobsGrid);
        mGridModel->setParent(pendingJobsGrid);
        placer.place(pendingJobsGridView, kGridX, y, kGridWidth, kGridHeight);
        return y + kGridHeight;
    }
    int y = cursor + kRowGap;
    mMakeCaption(placer, "Client_Popup_Label_Document", kCaptionX, y);
    document = mMakeValue(placer, "document", kValueX, y, kValueWidth);
    cursor = y + kLineHeight;
    y = cursor + kRowGap;
    mMakeCaption(placer, "Client_Popup_Label_Printer", kCaptionX, y);
    printer = mMakeValue(placer, "printer", kValueX, y, kValueWidth);
    return y + kLineHeight;
}

// The logo fills the band above the rows, up to its full height, scaled to
// fit both ways: the shipped logo while the server's standard one is in
// use, else the server's image (the shipped one when that cannot be read).
void PopupWindow::mPlaceLogo(Placer& placer, int cursor)
{
    const int height = std::clamp(placer.height() - cursor, 0, kLogoHeight);
    auto* logo = placer.place(new QLabel(&placer.content()), 0, placer.height() - height, kLogoWidth, height);
    logo->setObjectName(QStringLiteral("logo"));
    logo->setAlignment(Qt::AlignCenter);
    QPixmap image;
    if (_logo != nullptr && !_logo->IsStandardLogo()) {
        if (std::optional<std::string> path = _logo->GetLogoFilePath())
            image.load(QString::fromStdString(*path));
    }
    if (image.isNull())
        image.load(QStringLiteral(":/images/clientlogo.png"));
    if (!image.isNull() && height > 2 * kLogoMargin)
        logo->setPixmap(LegibleLogo(image, QSize(placer.scaled(kLogoWidth), placer.scaled(height - 2 * kLogoMargin)),
                                    palette()));
}

// A cost as an editable box when the user may override it, else a label.
PopupWindow::CostInput PopupWindow::mMakeCostInput(Placer& placer, const char* name, int x, int y)
{
    CostInput input;
    if (!mUser().AllowCostOverride) {
        input.label = mMakeValue(placer, name, x, y, kCostBoxWidth);
        return input;
    }
    input.box = placer.place(new QLineEdit(&placer.content()), x, y, kCostBoxWidth, kCostBoxHeight);
    input.box->setObjectName(QString::fromLatin1(name));
    QLineEdit* box = input.box;
    connect(box, &QLineEdit::editingFinished, this, [this, box] { controlTextDidEndEditing(box); });
    return input;
}

// A caption: right-aligned, wrapping, named by its key (or unnamed when the
// text is set by the caller).
QLabel* PopupWindow::mMakeCaption(Placer& placer, const char* key, int x, int y)
{
    auto* caption = placer.place(new QLabel(&placer.content()), x, y, kCaptionWidth, kLineHeight);
    if (key != nullptr) {
        caption->setObjectName(QString::fromLatin1(key));
        caption->setText(Text(key));
    }
    caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    caption->setTextFormat(Qt::PlainText);
    caption->setWordWrap(true);
    return caption;
}

// A value that does not fit is cut with "…" and shown whole in its tooltip.
ElidingLabel* PopupWindow::mMakeValue(Placer& placer, const char* name, int x, int y, int width, int lines)
{
    auto* value = placer.place(new ElidingLabel(&placer.content()), x, y, width, lines * kLineHeight);
    value->setObjectName(QString::fromLatin1(name));
    value->setAlignment(Qt::AlignLeading | (lines == 1 ? Qt::AlignVCenter : Qt::AlignTop));
    return value;
}

void PopupWindow::mMakeSeparator(Placer& placer, int y)
{
    auto* line = placer.place(new QFrame(&placer.content()), kSeparatorX, y, kSeparatorWidth, 1);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    QPalette palette = line->palette();
    palette.setColor(QPalette::WindowText, palette.color(QPalette::Mid));
    line->setPalette(palette);
}
