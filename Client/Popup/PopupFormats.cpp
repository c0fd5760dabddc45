#include "Client/Popup/PopupFormats.h"

#include "Platform/Qt/LocalizedStrings.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// The locale's medium date: its long date without the weekday and with the
// month's short name ("MMM d, yyyy", "d. MMM yyyy").
QString MediumDateFormat(const QLocale& locale)
{
    QString format = locale.dateFormat(QLocale::LongFormat);
    format.remove(QRegularExpression(QStringLiteral("dddd[^dMy]*")));
    format.replace(QStringLiteral("MMMM"), QStringLiteral("MMM"));
    return format.trimmed();
}

// The locale's short time, always without seconds (some locales keep them).
QString ShortTimeFormat(const QLocale& locale)
{
    QString format = locale.timeFormat(QLocale::ShortFormat);
    format.remove(QRegularExpression(QStringLiteral("[^hHmaAp]ss")));
    return format;
}

}  // namespace

PopupFormats::PopupFormats(uint64_t decimalPlaces, QLocale locale)
    : mintDecimalPlaces(static_cast<int>(std::min<uint64_t>(decimalPlaces, MaxDecimalPlaces))),
      mLocale(std::move(locale)),
      mstrCurrencyFormat(Platform::LocalizedStrings::Text(QStringLiteral("Currency_Symbol")))
{
}

QString PopupFormats::number(double value) const
{
    return mLocale.toString(value, 'f', mintDecimalPlaces);
}

QString PopupFormats::currency(double value) const
{
    return mstrCurrencyFormat.arg(number(value));
}

QString PopupFormats::count(double value) const
{
    return mLocale.toString(value, 'f', QLocale::FloatingPointShortest);
}

QString PopupFormats::dateTime(const QDateTime& utc) const
{
    QDateTime local = utc.toLocalTime();
    return mLocale.toString(local.date(), MediumDateFormat(mLocale)) + QLatin1Char(' ')
           + mLocale.toString(local.time(), ShortTimeFormat(mLocale));
}

int PopupFormats::costBoxDecimals() const
{
    return mintDecimalPlaces >= 2 && mintDecimalPlaces <= 4 ? mintDecimalPlaces : 3;
}

// Plain digits, like the pattern "0.00": no group separators.
QString PopupFormats::costBoxText(double value) const
{
    QLocale plain = mLocale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    return plain.toString(value, 'f', costBoxDecimals());
}

std::optional<double> PopupFormats::costBoxValue(const QString& text) const
{
    bool ok = false;
    double value = mLocale.toDouble(text.trimmed(), &ok);
    if (!ok)
        value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value) || value < 0.0)
        return std::nullopt;
    return value;
}

QString PopupFormats::costBoxExample() const
{
    return mLocale.toString(0.25, 'f', 2);
}
