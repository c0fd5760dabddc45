#include "Uninstaller/UninstallWindow.h"

#include "Platform/Qt/FontScale.h"
#include "Platform/Qt/LocalizedStrings.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kWindowWidth = 520;  // at the desktop's usual font; larger fonts widen it, within the screen
// Room for five lines of help text, so that the window keeps its size
// whichever text it shows.
constexpr int kHelpLines = 5;
constexpr qreal kWelcomeScale = 1.3;

QLabel* MakeLabel(QWidget* parent, const char* name)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const char* titleKey)
{
    auto* button = new QPushButton(Platform::LocalizedStrings::Text(QString::fromLatin1(titleKey)), parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

}  // namespace

UninstallWindow::UninstallWindow()
    : mWelcomeText(MakeLabel(this, "welcomeText")),
      mHelpText(MakeLabel(this, "helpText")),
      mUninstallProgress(new QProgressBar(this)),
      mCancelButton(MakeButton(this, "cancelButton", "Cancel_Button")),
      mUninstallButton(MakeButton(this, "uninstallButton", "Uninstall_Button"))
{
    setObjectName(QStringLiteral("window"));
    const int designWidth = Platform::FontScaled(*this, kWindowWidth);
    setFixedWidth(Platform::FontScaledWithin(*this, kWindowWidth));

    QFont welcomeFont = mWelcomeText->font();
    welcomeFont.setBold(true);
    welcomeFont.setPointSizeF(welcomeFont.pointSizeF() * kWelcomeScale);
    mWelcomeText->setFont(welcomeFont);
    mHelpText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // A window narrowed to fit its screen wraps the text onto more lines.
    const int lines = (kHelpLines * designWidth + width() - 1) / width();
    mHelpText->setMinimumHeight(mHelpText->fontMetrics().lineSpacing() * lines);

    mUninstallProgress->setObjectName(QStringLiteral("uninstallProgress"));
    mUninstallProgress->setTextVisible(false);
    // Hiding the indicator leaves its place, so the buttons do not move.
    QSizePolicy keepPlace = mUninstallProgress->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    mUninstallProgress->setSizePolicy(keepPlace);
    mUninstallProgress->hide();

    mUninstallButton->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(mCancelButton);
    buttons->addWidget(mUninstallButton);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 16);
    layout->setSpacing(12);
    layout->addWidget(mWelcomeText);
    layout->addWidget(mHelpText, 1);
    layout->addWidget(mUninstallProgress);
    layout->addLayout(buttons);
}
