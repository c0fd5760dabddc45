#include "Client/Popup/ElidingLabel.h"

#include <QPainter>
#include <QStringList>
#include <QStyle>

ElidingLabel::ElidingLabel(QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
}

void ElidingLabel::setText(const QString& text)
{
    QLabel::setText(text);
    mUpdateToolTip();
}

QString ElidingLabel::shownText() const
{
    const int width = contentsRect().width();
    QStringList lines = text().split(QLatin1Char('\n'));
    for (QString& line : lines)
        line = fontMetrics().elidedText(line, Qt::ElideRight, width);
    return lines.join(QLatin1Char('\n'));
}

void ElidingLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    style()->drawItemText(&painter, contentsRect(), static_cast<int>(alignment()), palette(), isEnabled(),
                          shownText(), foregroundRole());
}

void ElidingLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    mUpdateToolTip();
}

// A text shown whole needs no tooltip.
void ElidingLabel::mUpdateToolTip()
{
    setToolTip(isElided() ? text() : QString());
}
